#include "video/ConsoleVideo.h"

#include <algorithm>
#include <cstring>

#include "net/NetSession.h"
#include "protocol/StreamControl.h"
#include "protocol/VideoDatagram.h"
#include "video/LibavH264Decode.h"

namespace vantelsor {

namespace {
constexpr int kDatagramBytes = videodatagram::kHeaderSize + videodatagram::kFragmentPayload;
}  // namespace

int KUDPViewHandler::OnMessage(const uint8_t* data, int length) {
    return view_->OnVideoDatagram(data, length);
}

size_t ConsoleVideo::PictureBufferSize(int videoMode) {
    if (videoMode == FramePresenter::kMode420) return kPictureBytes420;
    if (videoMode == FramePresenter::kMode422) return kPictureBytes422;
    return 0;
}

ConsoleVideo::ConsoleVideo(const SessionInfo& info, FrameBlitter* blitter,
                           std::unique_ptr<H264Decode> decoder, Timing timing)
    : info_(info),
      blitter_(blitter),
      timing_(timing),
      decoder_(decoder ? std::move(decoder) : std::make_unique<LibavH264Decode>()),
      presenter_(info.videoMode, blitter),
      pictureBytes_(PictureBufferSize(info.videoMode)),
      pictureBuffer_(std::make_unique<uint8_t[]>(pictureBytes_)),
      datagram_(std::make_unique<uint8_t[]>(kDatagramBytes)),
      lastPictureTick_(TickCount()) {
    decoder_->Open();
}

ConsoleVideo::~ConsoleVideo() {
    Stop();
}

bool ConsoleVideo::Start(NetSession& session) {
    if (session_ != nullptr) return true;
    if (!session.IsVideoChannelOpen() && !session.OpenVideoChannel()) return false;
    session_ = &session;
    previousHandler_ = session.SetVideoHandler(&handler_);
    SendStreamControl(streamcontrol::kStart);
    return true;
}

void ConsoleVideo::Stop() {
    if (session_ == nullptr) return;
    SendStreamControl(streamcontrol::kStop);
    session_->SetVideoHandler(previousHandler_);
    // Joins the receive thread: no datagram reaches this console after this line.
    session_->CloseVideoChannel();
    session_ = nullptr;
    previousHandler_ = nullptr;
}

void ConsoleVideo::SendStreamControl(uint8_t action) {
    const auto datagram = streamcontrol::Build(action, info_.userName.data(), info_.userNameLength);
    session_->SendDatagram(datagram.data(), static_cast<int>(datagram.size()), info_.deviceAddress,
                           static_cast<uint16_t>(info_.udpPort));
}

int ConsoleVideo::OnVideoDatagram(const uint8_t* data, int length) {
    if (data == nullptr || length <= 0) return 0;
    // A datagram longer than a header and a full payload carries nothing more that the
    // assembler reads.
    const int kept = std::min(length, kDatagramBytes);
    std::memcpy(datagram_.get(), data, static_cast<size_t>(kept));
    const int result = assembler_.AddFragment(datagram_.get(), kept, info_.sessionKey);
    datagrams_.fetch_add(1, std::memory_order_relaxed);
    if (result == FragmentAssembler::kRejected) {
        rejected_.fetch_add(1, std::memory_order_relaxed);
        return 0;
    }
    if (result != FragmentAssembler::kCompleted) return 1;

    const uint8_t* frame = nullptr;
    int size = 0;
    if (!assembler_.TakeFrame(&frame, &size)) return 1;
    frames_.fetch_add(1, std::memory_order_relaxed);
    int width = 0;
    int height = 0;
    int decoded =
        decoder_->Decode(frame, size, pictureBuffer_.get(), pictureBytes_, &width, &height);
    // Drain every picture the frame yields. Any other result ends the loop, so a decoder
    // that keeps failing cannot hold the receive thread.
    while (decoded == H264Decode::kPicture) {
        Present(width, height);
        decoded =
            decoder_->Decode(nullptr, length, pictureBuffer_.get(), pictureBytes_, &width, &height);
    }
    return 1;
}

void ConsoleVideo::Present(int width, int height) {
    PixelRect destination;
    PixelRect source;
    bool moved = false;
    {
        std::lock_guard lock(layoutLock_);
        moved = ApplyPictureSize(layout_, width, height);
        const Rect& r = layout_.pictureRect;
        destination = {r.left, r.top, r.width(), r.height()};
        source = {layout_.scrollX, layout_.scrollY, r.width(), r.height()};
    }
    if (moved) blitter_->PictureAreaChanged();
    lastPictureTick_ = TickCount();
    presenter_.Draw(pictureBuffer_.get(), width, height, destination, source);
    pictureShown_ = true;
    pictures_.fetch_add(1, std::memory_order_relaxed);
}

ConsoleVideo::Counters ConsoleVideo::counters() const {
    return {datagrams_.load(), rejected_.load(), frames_.load(), pictures_.load()};
}

ConsoleVideo::ScrollBars ConsoleVideo::SetClientRect(const Rect& client) {
    std::lock_guard lock(layoutLock_);
    layout_.clientRect = NormalisedClientRect(client.left, client.top, client.right, client.bottom);
    const Rect& c = layout_.clientRect;
    return {ScrollBarFor(layout_.pictureWidth, c.width()),
            ScrollBarFor(layout_.pictureHeight, c.height())};
}

int ConsoleVideo::Scroll(Axis axis, ScrollCode code, int thumb) {
    std::lock_guard lock(layoutLock_);
    const bool horizontal = axis == Axis::kHorizontal;
    int& offset = horizontal ? layout_.scrollX : layout_.scrollY;
    const int client = horizontal ? layout_.clientRect.width() : layout_.clientRect.height();
    const int picture = horizontal ? layout_.pictureWidth : layout_.pictureHeight;
    offset = ScrollPosition(code, offset, thumb, client, picture);
    return offset;
}

bool ConsoleVideo::CheckStale(uint32_t now) {
    if (now - lastPictureTick_.load() <= timing_.stalePictureMs) return false;
    const bool erase = pictureShown_.exchange(false);
    lastPictureTick_ = now;
    return erase;
}

PictureLayout ConsoleVideo::layout() const {
    std::lock_guard lock(layoutLock_);
    return layout_;
}

}  // namespace vantelsor
