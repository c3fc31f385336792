// The console's drawing surface: the video receive thread copies each picture
// into a newest-wins slot and asks the window to repaint; the user-interface
// thread paints the newest picture it finds. Pictures the painter never saw
// are skipped. The receive thread never waits for painting: the two threads
// share only the slot exchange, a few pointer swaps under a lock.
//
// Blit and PictureAreaChanged: video receive thread. TakeNewest and the
// callbacks: user-interface thread. The widget (the callbacks' context) must
// outlive the stream: stop the video before destroying it.
#pragma once

#include <QImage>
#include <QObject>
#include <QRect>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>

#include "ui/support/UiThreadCall.h"
#include "video/FrameBlitter.h"

namespace vantelsor::ui {

struct ConsolePicture {
    QImage image;  // the visible part of the picture, 1:1
    QRect destination;
    std::chrono::steady_clock::time_point blitted;
    // When the datagram that completed the picture's frame arrived, where a
    // measurement asks for it (SetArrivalClock); else the blit time.
    std::chrono::steady_clock::time_point arrival;
};

class QtFrameBlitter : public FrameBlitter {
  public:
    // `repaint` and `areaChanged` run queued on `context`'s thread; construct on it.
    QtFrameBlitter(QObject* context, std::function<void()> repaint,
                   std::function<void()> areaChanged);

    bool Blit(const BitmapHeader& header, const uint8_t* bitmap, const PixelRect& source,
              const PixelRect& destination) override;
    void PictureAreaChanged() override;

    // The newest picture not yet taken, swapped into `front`; false when none came.
    bool TakeNewest(ConsolePicture& front);

    uint32_t blitted() const { return blitted_.load(); }

    // For measurements: read on the receive thread at each blit, it tells when
    // the frame's last datagram arrived. Set before the stream starts.
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    void SetArrivalClock(Clock clock) { arrivalClock_ = std::move(clock); }

  private:
    UiThreadCall repaint_;
    UiThreadCall areaChanged_;
    Clock arrivalClock_;

    ConsolePicture back_;  // the receive thread's own
    std::mutex slotLock_;
    ConsolePicture ready_;  // guarded by slotLock_
    bool fresh_ = false;    // guarded by slotLock_
    std::atomic<bool> repaintPosted_{false};
    std::atomic<uint32_t> blitted_{0};
};

}  // namespace vantelsor::ui
