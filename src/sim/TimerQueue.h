// The simulator's pending work with a due time: delayed replies, the end of a
// reboot, the end of a pause in accepting. The loop thread sleeps in poll()
// until the earliest one is due.
//
// Not thread-safe: DeviceSim uses it under its lock.
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <vector>

namespace vantelsor::sim {

class TimerQueue {
  public:
    using Clock = std::chrono::steady_clock;

    struct Timer {
        enum Kind { kReply, kListenAgain, kResumeAccept };
        Kind kind = kReply;
        int connection = 0;          // kReply: whom to send to (gone by then: dropped)
        std::vector<uint8_t> bytes;  // kReply: what to send
    };

    void Add(uint32_t delayMs, Timer timer);
    // Milliseconds until the earliest timer is due (0 if one is), -1 when none is pending.
    int NextTimeoutMs(Clock::time_point now) const;
    // Removes and returns the timers due at `now`, earliest first (ties in the order added).
    std::vector<Timer> TakeDue(Clock::time_point now);
    // Drops every pending reply; a pending kListenAgain stays.
    void DropReplies();
    void Clear() { timers_.clear(); }

  private:
    std::multimap<Clock::time_point, Timer> timers_;
};

}  // namespace vantelsor::sim
