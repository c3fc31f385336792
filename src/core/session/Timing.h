// The timing constants of the protocol. Production uses these values; tests
// (and vantelsorctl's --reply-timeout) may pass shorter ones.
#pragma once

#include <cstdint>

namespace vantelsor {

inline constexpr uint32_t kReplyTimeoutMs = 20000;
inline constexpr uint32_t kLogTimeoutMs = 40000;  // the whole user log
inline constexpr uint32_t kHeartbeatPeriodMs = 90000;
inline constexpr uint32_t kHeartbeatVerdictMs = 20000;
inline constexpr uint32_t kHeartbeatPollMs = 100;
inline constexpr uint32_t kStaleCheckPeriodMs = 500;  // the console's picture timer
inline constexpr uint32_t kStalePictureMs = 30000;     // no picture this long: blank it

struct Timing {
    uint32_t replyTimeoutMs = kReplyTimeoutMs;
    uint32_t logTimeoutMs = kLogTimeoutMs;
    uint32_t heartbeatPeriodMs = kHeartbeatPeriodMs;
    uint32_t heartbeatVerdictMs = kHeartbeatVerdictMs;
    uint32_t heartbeatPollMs = kHeartbeatPollMs;
    uint32_t stalePictureMs = kStalePictureMs;
};

// Milliseconds of a monotonic clock, wrapping like a 32-bit tick counter;
// differences are taken in unsigned 32-bit arithmetic.
uint32_t TickCount();

}  // namespace vantelsor
