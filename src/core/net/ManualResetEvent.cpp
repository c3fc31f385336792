#include "net/ManualResetEvent.h"

#include <chrono>

namespace vantelsor {

void ManualResetEvent::Set() {
    {
        std::lock_guard lock(mutex_);
        signalled_ = true;
    }
    changed_.notify_all();
}

void ManualResetEvent::Reset() {
    std::lock_guard lock(mutex_);
    signalled_ = false;
}

bool ManualResetEvent::IsSet() const {
    std::lock_guard lock(mutex_);
    return signalled_;
}

uint32_t ManualResetEvent::Wait(uint32_t ms) {
    std::unique_lock lock(mutex_);
    const bool ok =
        changed_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return signalled_; });
    return ok ? kWaitSignalled : kWaitTimeout;
}

}  // namespace vantelsor
