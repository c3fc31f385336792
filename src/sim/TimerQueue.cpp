#include "sim/TimerQueue.h"

#include <climits>

namespace vantelsor::sim {

void TimerQueue::Add(uint32_t delayMs, Timer timer) {
    timers_.emplace(Clock::now() + std::chrono::milliseconds(delayMs), std::move(timer));
}

int TimerQueue::NextTimeoutMs(Clock::time_point now) const {
    if (timers_.empty()) return -1;
    const auto due = timers_.begin()->first;
    if (due <= now) return 0;
    // Rounded up, so that the loop does not wake a moment early and spin.
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(due - now).count();
    return ms > INT_MAX ? INT_MAX : static_cast<int>(ms);
}

std::vector<TimerQueue::Timer> TimerQueue::TakeDue(Clock::time_point now) {
    std::vector<Timer> due;
    auto end = timers_.upper_bound(now);
    for (auto it = timers_.begin(); it != end; ++it) due.push_back(std::move(it->second));
    timers_.erase(timers_.begin(), end);
    return due;
}

void TimerQueue::DropReplies() {
    std::erase_if(timers_, [](const auto& entry) { return entry.second.kind == Timer::kReply; });
}

}  // namespace vantelsor::sim
