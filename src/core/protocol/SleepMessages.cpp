#include "protocol/SleepMessages.h"

#include "protocol/MessageTypes.h"

namespace vantelsor::sleeptime {
namespace {

constexpr int kKindAt = 2;
constexpr int kValueAt = 3;
constexpr uint8_t kWrite = 1;

}  // namespace

std::array<uint8_t, kMessageSize> BuildReadRequest() {
    return {msg::kSleepTime, 0, 0, 0};
}

std::array<uint8_t, kMessageSize> BuildWriteRequest(uint8_t minutes) {
    return {msg::kSleepTime, 0, kWrite, minutes};
}

bool IsWriteRequest(const uint8_t* request) {
    return request[kKindAt] == kWrite;
}

uint8_t RequestedMinutes(const uint8_t* request) {
    return request[kValueAt];
}

std::array<uint8_t, kMessageSize> BuildReply(uint8_t minutes) {
    return {msg::kSleepTime, 0, minutes, 0};
}

}  // namespace vantelsor::sleeptime
