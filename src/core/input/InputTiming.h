// The pacing of keyboard and mouse messages. Production uses these values;
// tests may pass shorter ones, and may watch the pacing sleeps through `sleep`.
#pragma once

#include <cstdint>
#include <functional>

namespace vantelsor {

inline constexpr uint32_t kKeyDelayMs = 2;     // before a key message
inline constexpr uint32_t kSysKeyDelayMs = 1;  // before a system-key (Alt) message
inline constexpr uint32_t kKeySequencePaceMs =
    200;                                        // after each release-all or fixed-sequence message
inline constexpr uint32_t kPointerStepMs = 45;  // between pointer steps
inline constexpr uint32_t kLockPollPeriodMs = 1000;  // between lock-state polls

struct InputTiming {
    uint32_t keyDelayMs = kKeyDelayMs;
    uint32_t sysKeyDelayMs = kSysKeyDelayMs;
    uint32_t keySequencePaceMs = kKeySequencePaceMs;
    uint32_t pointerStepMs = kPointerStepMs;
    uint32_t lockPollPeriodMs = kLockPollPeriodMs;
    // The pacing sleeps of the calling thread go through this when it is set
    // (the pointer thread's and the poll thread's waits do not).
    std::function<void(uint32_t ms)> sleep;
};

}  // namespace vantelsor
