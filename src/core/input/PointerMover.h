// Moves the target's relative pointer toward the operator's: the device takes
// movements, not positions, so the client keeps where the operator points
// (targetX/Y, picture pixels) and where it believes the target's pointer is
// (sentX/Y), and a pointer thread closes the gap in steps of at most 80 counts
// per axis, one message per step period. Button and wheel events go through a
// one-slot mailbox that wakes the thread and are sent first, without movement.
// Homing drives the target's pointer into its top-left corner so that both
// positions are known to be (0, 0).
//
// Threads: the user-interface thread writes targetX/Y, the mailbox and the
// flags; the pointer thread reads them and writes sentX/Y and the mailbox. Each
// shared member is an atomic read and written whole; no lock. Start, Stop,
// HomePointer and SyncPointer belong to the user-interface thread; HomePointer
// runs while the pointer thread keeps running (InputForwarder serialises the
// sends).
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

namespace vantelsor {

class InputForwarder;

class PointerMover {
  public:
    static constexpr int kMaxStep = 80;      // counts per axis and message
    static constexpr int kWheelDelta = 120;  // raw wheel data of one notch
    // The homing at the console's start covers the largest target screen.
    static constexpr int kStartHomeWidth = 1280;
    static constexpr int kStartHomeHeight = 1024;

    // `forwarder` must outlive this object; its timing gives the step period.
    explicit PointerMover(InputForwarder* forwarder);
    ~PointerMover();  // stops the thread
    PointerMover(const PointerMover&) = delete;
    PointerMover& operator=(const PointerMover&) = delete;

    void Start();
    // Ends the thread and waits for it.
    void Stop();

    // One pass of the pointer thread's loop (without its wait).
    void Step();

    // Drives the target's pointer at least w by h counts up and to the left,
    // one step message per step period, on the calling thread.
    void HomePointer(int width, int height);
    // Homes over the picture's size, then both positions are (0, 0). The window
    // moves the local cursor to the picture's corner.
    void SyncPointer(int pictureWidth, int pictureHeight);
    // Where the operator points, in target pixels.
    void SetTarget(int x, int y);
    // A raw mouse record (raw button flags, signed wheel data in 120ths of a
    // notch) while the pointer is over the picture: replaces what the mailbox
    // holds and wakes the thread when there is a button or a wheel turn.
    void OnRawMouse(uint32_t buttonFlags, int16_t buttonData);

    std::atomic<int32_t> sentX{0}, sentY{0};
    std::atomic<int32_t> targetX{0}, targetY{0};
    std::atomic<uint32_t> rawButtons{0};
    std::atomic<int8_t> rawWheel{0};
    std::atomic<int> pointerInside{0};  // the local pointer is over the picture
    std::atomic<int> pointerFollow{0};  // pointer moves set the target position

  private:
    void Run();
    void Signal();

    InputForwarder* forwarder_;
    std::mutex eventLock_;  // pointerEvent_ and running_
    std::condition_variable eventChanged_;
    bool pointerEvent_ = false;  // auto-reset: consumed by the wait that sees it
    bool running_ = false;
    std::thread thread_;
};

}  // namespace vantelsor
