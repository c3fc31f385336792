#include "sim/VideoService.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>

#include "net/AddressText.h"
#include "protocol/StreamControl.h"
#include "protocol/VideoDatagram.h"
#include "sim/VideoEncoder.h"

namespace vantelsor::sim {

namespace vd = videodatagram;
using Clock = std::chrono::steady_clock;

namespace {

std::string LocalClock() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[16];
    std::strftime(text, sizeof text, "%H:%M:%S", &local);
    return text;
}

std::string Peer(uint32_t address, uint16_t port) {
    return AddressText(address) + ":" + std::to_string(port);
}

}  // namespace

VideoService::VideoService(const SimConfig& config, Hooks hooks)
    : config_(config),
      hooks_(std::move(hooks)),
      width_(TargetScreen(config.screenWidth, config.screenHeight).width()),
      height_(TargetScreen(config.screenWidth, config.screenHeight).height()),
      faults_(config.videoFaults),
      policy_(config.faultSeed),
      screen_(config.screenWidth, config.screenHeight) {}

VideoService::~VideoService() {
    Stop();
}

bool VideoService::Start(std::string* error) {
    std::lock_guard lock(lock_);
    if (thread_.joinable()) return true;
    UniqueFd fd(::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!fd) {
        *error = std::string("cannot create the video socket: ") + std::strerror(errno);
        return false;
    }
    // No SO_REUSEADDR: on a datagram socket it would let a second device bind the same
    // address and port and silently take the first one's start datagrams, where a
    // taken port has to stop the start (the demo then tries its next address).
    // A datagram socket leaves nothing behind that a restart would have to wait for.
    // A key frame goes out as one burst of datagrams.
    const int sendBuffer = 4 << 20;
    ::setsockopt(fd.get(), SOL_SOCKET, SO_SNDBUF, &sendBuffer, sizeof sendBuffer);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = htonl(config_.listenAddress);
    sa.sin_port = htons(boundPort_ ? boundPort_ : config_.videoPort);
    if (::bind(fd.get(), reinterpret_cast<const sockaddr*>(&sa), sizeof sa) != 0) {
        *error = "cannot bind the video port " + Peer(config_.listenAddress, ntohs(sa.sin_port)) +
                 ": " + std::strerror(errno);
        return false;
    }
    socklen_t length = sizeof sa;
    ::getsockname(fd.get(), reinterpret_cast<sockaddr*>(&sa), &length);
    boundPort_ = ntohs(sa.sin_port);
    fd_ = std::move(fd);
    stopping_ = false;
    wake_.Clear();
    thread_ = std::thread(&VideoService::Loop, this);
    return true;
}

void VideoService::Stop() {
    {
        std::lock_guard lock(lock_);
        if (!thread_.joinable()) return;
        stopping_ = true;
    }
    wake_.Raise();
    thread_.join();
    std::lock_guard lock(lock_);
    streams_.clear();
    fd_.Reset();
}

uint16_t VideoService::VideoPort() const {
    std::lock_guard lock(lock_);
    return boundPort_;
}

void VideoService::EndConnection(int connection) {
    std::lock_guard lock(lock_);
    std::erase_if(streams_,
                  [&](const auto& entry) { return entry.second.connection == connection; });
}

void VideoService::EndAll() {
    std::lock_guard lock(lock_);
    streams_.clear();
}

void VideoService::SetFaults(const VideoFaults& faults) {
    std::lock_guard lock(lock_);
    faults_ = faults;
}

int VideoService::StreamCount() const {
    std::lock_guard lock(lock_);
    return static_cast<int>(streams_.size());
}

uint32_t VideoService::FramesEncoded() const {
    std::lock_guard lock(lock_);
    return framesEncoded_;
}

VideoRate VideoService::RateInUse() const {
    std::lock_guard lock(lock_);
    return rateInUse_;
}

uint32_t VideoService::DatagramsSent() const {
    std::lock_guard lock(lock_);
    return injected_.sent;
}

VideoFaultCounts VideoService::Injected() const {
    std::lock_guard lock(lock_);
    return injected_;
}

VideoFaultCounts VideoService::InjectedTo(int connection) const {
    std::lock_guard lock(lock_);
    VideoFaultCounts sum;
    for (const auto& [peer, stream] : streams_) {
        if (stream.connection != connection) continue;
        sum.sent += stream.counts.sent;
        sum.lost += stream.counts.lost;
        sum.damaged += stream.counts.damaged;
        sum.duplicated += stream.counts.duplicated;
        sum.reordered += stream.counts.reordered;
    }
    return sum;
}

SceneState VideoService::CurrentScene() const {
    SceneState scene = hooks_.scene ? hooks_.scene() : SceneState{};
    scene.clock = config_.fixedClock.empty() ? LocalClock() : config_.fixedClock;
    return scene;
}

std::vector<uint8_t> VideoService::RenderNow() const {
    TargetScreen screen(config_.screenWidth, config_.screenHeight);
    screen.Render(CurrentScene());
    return screen.pixels();
}

void VideoService::Loop() {
    Clock::time_point next = Clock::now();
    for (;;) {
        int timeout = -1;
        int fd = -1;
        {
            std::lock_guard lock(lock_);
            if (stopping_) return;
            fd = fd_.get();
            const auto period =
                std::chrono::milliseconds(1000 / std::max(1, int{rateInUse_.frameRate}));
            const auto now = Clock::now();
            if (streams_.empty()) {
                next = now;  // the first picture goes out as soon as someone asks
            } else {
                // Never catch up with a burst after a stall: at most one period behind.
                if (next + period < now) next = now;
                timeout = static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(
                                               std::max(next - now, Clock::duration{}))
                                               .count());
            }
            if (timeout == 0) next += period;
        }
        if (timeout == 0) {
            SendFrame();
            continue;
        }
        pollfd fds[2] = {{fd, POLLIN, 0}, {wake_.fd(), POLLIN, 0}};
        if (::poll(fds, 2, timeout) < 0 && errno != EINTR) return;
        if (fds[1].revents & POLLIN) wake_.Clear();
        if (fds[0].revents & POLLIN) Receive();
    }
}

void VideoService::Receive() {
    uint8_t buffer[256];
    sockaddr_in from{};
    socklen_t fromLength = sizeof from;
    const ssize_t n = ::recvfrom(fd_.get(), buffer, sizeof buffer, 0,
                                 reinterpret_cast<sockaddr*>(&from), &fromLength);
    if (n <= 0) return;
    const uint32_t address = ntohl(from.sin_addr.s_addr);
    const uint16_t port = ntohs(from.sin_port);
    const std::vector<uint8_t> datagram(buffer, buffer + n);
    const auto request = streamcontrol::Parse(buffer, static_cast<int>(n));
    if (!request) {
        if (hooks_.record) {
            hooks_.record(0, datagram,
                          "video port: ignored a datagram from " + Peer(address, port));
        }
        return;
    }
    const auto grant = hooks_.authorise ? hooks_.authorise(request->userName, address)
                                        : std::optional<StreamGrant>{};
    const bool start = request->action == streamcontrol::kStart;
    std::string text = std::string("A5 ") + (start ? "start" : "stop") +
                       " user=" + request->userName + " to " + Peer(address, port);
    {
        std::lock_guard lock(lock_);
        if (!start) {
            streams_.erase({address, port});
        } else if (grant) {
            Stream& stream = streams_[{address, port}];
            stream.connection = grant->connection;
            stream.address = address;
            stream.port = port;
            stream.key = grant->key;
            keyFrameDue_ = true;  // a new viewer needs a picture to start from
        } else {
            text += ": no such user logged in from there, refused";
        }
    }
    if (hooks_.record) hooks_.record(grant ? grant->connection : 0, datagram, text);
}

void VideoService::SendFrame() {
    const SceneState scene = CurrentScene();
    screen_.Render(scene);
    if (!config_.pictureFile.empty() && !(writtenScene_ && *writtenScene_ == scene)) {
        // A picture that cannot be written is tried again with the next one.
        if (screen_.WritePpm(config_.pictureFile)) writtenScene_ = scene;
    }
    const VideoRate rate = hooks_.rate ? hooks_.rate() : VideoRate{};
    bool keyFrame = false;
    {
        std::lock_guard lock(lock_);
        rateInUse_ = rate;
        keyFrame = keyFrameDue_;
        keyFrameDue_ = false;
    }
    if (!encoder_ || rate != encoderRate_) {
        encoder_ = std::make_unique<VideoEncoder>(screen_.width(), screen_.height(), rate,
                                                  config_.keyInterval);
        encoderRate_ = rate;
        keyFrame = true;
    }
    if (!encoder_->Encode(screen_.yuv().data(), keyFrame, accessUnit_) || accessUnit_.empty()) {
        return;
    }
    const int size = static_cast<int>(accessUnit_.size());
    std::lock_guard lock(lock_);
    ++framesEncoded_;
    if (size > vd::kMaxFragments * vd::kFragmentPayload) {
        // Does not fit the datagram format; the next picture starts afresh.
        keyFrameDue_ = true;
        return;
    }
    const uint32_t frame = frameNumber_++;
    for (auto& [peer, stream] : streams_) {
        int fragment = 0;
        vd::CutFrame(stream.key, frame, accessUnit_.data(), size,
                     [&](uint8_t* datagram, int length) {
                         SendToStream(stream, frame, fragment++, datagram, length);
                     });
        // A datagram held back from the frame's last fragment follows it.
        SendHeld(stream);
    }
}

void VideoService::SendToStream(Stream& stream, uint32_t frame, int fragment, uint8_t* datagram,
                                int length) {
    const DatagramFate fate = policy_.Datagram(faults_, frame, fragment);
    if (fate.lost) {
        ++stream.counts.lost;
        ++injected_.lost;
        return;
    }
    if (fate.damaged) datagram[vd::kVersionOffset] = 0x40;
    if (fate.reordered && stream.held.empty()) {
        stream.held.assign(datagram, datagram + length);
        stream.heldDamaged = fate.damaged;
        return;
    }
    SendTo(stream, datagram, length, fate.damaged);
    if (fate.duplicated && SendTo(stream, datagram, length, fate.damaged)) {
        ++stream.counts.duplicated;
        ++injected_.duplicated;
    }
    SendHeld(stream);
}

void VideoService::SendHeld(Stream& stream) {
    if (stream.held.empty()) return;
    if (SendTo(stream, stream.held.data(), static_cast<int>(stream.held.size()),
               stream.heldDamaged)) {
        ++stream.counts.reordered;
        ++injected_.reordered;
    }
    stream.held.clear();
}

bool VideoService::SendTo(Stream& stream, const uint8_t* datagram, int length, bool damaged) {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(stream.address);
    to.sin_port = htons(stream.port);
    if (::sendto(fd_.get(), datagram, static_cast<size_t>(length), 0,
                 reinterpret_cast<const sockaddr*>(&to), sizeof to) != length) {
        return false;
    }
    for (VideoFaultCounts* counts : {&stream.counts, &injected_}) {
        ++counts->sent;
        if (damaged) ++counts->damaged;
    }
    return true;
}

}  // namespace vantelsor::sim
