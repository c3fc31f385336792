#include "input/PointerMover.h"

#include <algorithm>
#include <chrono>

#include "input/InputForwarder.h"

namespace vantelsor {
namespace {

int ClampStep(int32_t delta) {
    return std::clamp<int32_t>(delta, -PointerMover::kMaxStep, PointerMover::kMaxStep);
}

}  // namespace

PointerMover::PointerMover(InputForwarder* forwarder) : forwarder_(forwarder) {}

PointerMover::~PointerMover() {
    Stop();
}

void PointerMover::Start() {
    if (thread_.joinable()) return;
    {
        std::lock_guard lock(eventLock_);
        running_ = true;
        pointerEvent_ = false;
    }
    thread_ = std::thread(&PointerMover::Run, this);
}

void PointerMover::Stop() {
    if (!thread_.joinable()) return;
    {
        std::lock_guard lock(eventLock_);
        running_ = false;
        pointerEvent_ = true;
    }
    eventChanged_.notify_all();
    thread_.join();
}

void PointerMover::Run() {
    const auto period = std::chrono::milliseconds(forwarder_->timing().pointerStepMs);
    std::unique_lock lock(eventLock_);
    while (running_) {
        lock.unlock();
        Step();
        lock.lock();
        eventChanged_.wait_for(lock, period, [&] { return pointerEvent_; });
        pointerEvent_ = false;
    }
}

void PointerMover::Step() {
    // Taking the mailbox with an exchange: an event that arrives while this one
    // is being sent stays for the next pass instead of being wiped out after it.
    const uint32_t buttons = rawButtons.exchange(0);
    const int8_t wheel = rawWheel.exchange(0);
    if (buttons != 0 || wheel != 0) {
        forwarder_->SendMouse(buttons, 0, 0, wheel);
        return;
    }
    const int dx = ClampStep(targetX - sentX);
    const int dy = ClampStep(targetY - sentY);
    if (dx == 0 && dy == 0) return;
    forwarder_->SendMouse(0, dx, dy, 0);
    // Advanced whether or not the message went out: without the operation right
    // the target does not move, and SyncPointer brings the two together later.
    sentX += dx;
    sentY += dy;
}

void PointerMover::HomePointer(int width, int height) {
    const uint32_t pace = forwarder_->timing().pointerStepMs;
    auto step = [&](int dx, int dy) {
        forwarder_->SendMouse(0, dx, dy, 0);
        forwarder_->Sleep(pace);
    };
    while (width > kMaxStep && height > kMaxStep) {
        step(-kMaxStep, -kMaxStep);
        width -= kMaxStep;
        height -= kMaxStep;
    }
    if (width > 0) {
        for (int i = (width - 1) / kMaxStep + 1; i > 0; --i) step(-kMaxStep, 0);
    }
    if (height > 0) {
        for (int i = (height - 1) / kMaxStep + 1; i > 0; --i) step(0, -kMaxStep);
    }
}

void PointerMover::SyncPointer(int pictureWidth, int pictureHeight) {
    HomePointer(pictureWidth, pictureHeight);
    sentX = 0;
    sentY = 0;
    targetX = 0;
    targetY = 0;
}

void PointerMover::SetTarget(int x, int y) {
    targetX = x;
    targetY = y;
}

void PointerMover::OnRawMouse(uint32_t buttonFlags, int16_t buttonData) {
    if (!pointerInside) return;
    // Saturated, not truncated to 8 bits: a turn too large for one message must
    // be dropped by the range check, not wrap around into the other direction.
    const auto wheel = static_cast<int8_t>(std::clamp(buttonData / kWheelDelta, -128, 127));
    rawButtons = buttonFlags;
    rawWheel = wheel;
    if (buttonFlags != 0 || wheel != 0) Signal();
}

void PointerMover::Signal() {
    {
        std::lock_guard lock(eventLock_);
        pointerEvent_ = true;
    }
    eventChanged_.notify_all();
}

}  // namespace vantelsor
