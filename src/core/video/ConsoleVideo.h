// The console's video path: from the datagrams of the video channel to pictures on a
// FrameBlitter, with the picture's geometry in the window and the stale-picture check.
// The console window owns one for as long as it shows the device's screen.
//
// Threads:
//   - OnVideoDatagram runs on the video receive thread (through KUDPViewHandler): it
//     reassembles, deciphers, decodes, converts and blits, and never waits for the
//     user-interface thread.
//   - Start, Stop, SetClientRect, Scroll, CheckStale and the accessors run on the
//     user-interface thread. The layout they share with the receive thread is guarded
//     by a lock held only for a few integer operations.
// Ownership: the assembler's slots, the picture buffer and the presenter's bitmap are
// allocated once at construction; nothing is allocated per datagram or per picture.
// The session, the session record and the blitter are borrowed and must outlive it.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

#include "net/KNetHandler.h"
#include "session/SessionInfo.h"
#include "session/Timing.h"
#include "video/ConsoleGeometry.h"
#include "video/FragmentAssembler.h"
#include "video/FramePresenter.h"
#include "video/H264Decode.h"

namespace vantelsor {

class NetSession;
class ConsoleVideo;

// The video channel's handler while a console shows the stream.
class KUDPViewHandler : public KNetHandler {
  public:
    explicit KUDPViewHandler(ConsoleVideo* view) : view_(view) {}
    // Video receive thread: 1 when the datagram was taken, 0 when it was rejected.
    int OnMessage(const uint8_t* data, int length) override;

  private:
    ConsoleVideo* const view_;
};

class ConsoleVideo {
  public:
    // Picture buffer sizes by video mode: the largest picture, 1280 x 1024.
    static constexpr size_t kPictureBytes420 = 1280 * 1024 * 3 / 2;  // 1,966,080
    static constexpr size_t kPictureBytes422 = 1280 * 1024 * 2;      // 2,621,440
    static size_t PictureBufferSize(int videoMode);

    // What the receive thread has seen, for diagnostics.
    struct Counters {
        uint32_t datagrams = 0;
        uint32_t rejected = 0;  // not video fragments, or of frames already gone
        uint32_t frames = 0;    // complete frames taken
        uint32_t pictures = 0;  // pictures decoded and drawn
    };

    enum class Axis { kHorizontal, kVertical };
    struct ScrollBars {
        ScrollBarRange horizontal;
        ScrollBarRange vertical;
    };

    // A null decoder means the libavcodec one. The decoder is opened here.
    ConsoleVideo(const SessionInfo& info, FrameBlitter* blitter,
                 std::unique_ptr<H264Decode> decoder = nullptr, Timing timing = {});
    ~ConsoleVideo();
    ConsoleVideo(const ConsoleVideo&) = delete;
    ConsoleVideo& operator=(const ConsoleVideo&) = delete;

    // Opens the session's video channel, installs this console's datagram handler and
    // asks the device to stream (0xA5, 1). False when the channel cannot be opened.
    bool Start(NetSession& session);
    // Asks the device to stop (0xA5, 2), puts the previous handler back and closes the
    // video channel, so that no datagram reaches this console afterwards. Idempotent.
    void Stop();

    // Video receive thread.
    int OnVideoDatagram(const uint8_t* data, int length);

    // The window's client area changed: re-reads it and returns both scroll bars.
    ScrollBars SetClientRect(const Rect& client);
    // Scrolling on one axis; returns the new offset (the bar's new position). The new
    // offset shows with the next picture.
    int Scroll(Axis axis, ScrollCode code, int thumb = 0);
    // Timer tick: true when the window has to be erased because no picture came for
    // the stale period after one was shown.
    bool CheckStale(uint32_t now);

    PictureLayout layout() const;
    Counters counters() const;
    bool pictureShown() const { return pictureShown_.load(); }
    uint32_t lastPictureTick() const { return lastPictureTick_.load(); }
    const FragmentAssembler& assembler() const { return assembler_; }
    // The last decoded picture, planar as the video mode lays it out.
    const uint8_t* pictureBuffer() const { return pictureBuffer_.get(); }

  private:
    void Present(int width, int height);
    void SendStreamControl(uint8_t action);

    const SessionInfo& info_;
    FrameBlitter* const blitter_;
    const Timing timing_;
    FragmentAssembler assembler_;
    std::unique_ptr<H264Decode> decoder_;
    FramePresenter presenter_;
    const size_t pictureBytes_;
    std::unique_ptr<uint8_t[]> pictureBuffer_;
    // AddFragment deciphers in place; the channel's datagram is the receive thread's,
    // so it is copied here first (one datagram, at most a header and a full payload).
    std::unique_ptr<uint8_t[]> datagram_;

    mutable std::mutex layoutLock_;
    PictureLayout layout_;
    std::atomic<bool> pictureShown_{false};
    std::atomic<uint32_t> datagrams_{0}, rejected_{0}, frames_{0}, pictures_{0};
    std::atomic<uint32_t> lastPictureTick_;

    KUDPViewHandler handler_{this};
    NetSession* session_ = nullptr;
    KNetHandler* previousHandler_ = nullptr;
};

}  // namespace vantelsor
