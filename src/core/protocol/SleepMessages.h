// The sleep time message 0xB6: 4 bytes each way, the minutes in byte 2 of the
// reply (byte 3 of a write request).
#pragma once

#include <array>
#include <cstdint>

namespace vantelsor::sleeptime {

inline constexpr int kMessageSize = 4;
inline constexpr int kMinutesInReply = 2;

// Read: B6 00 00 00. Write: B6 00 01 minutes.
std::array<uint8_t, kMessageSize> BuildReadRequest();
std::array<uint8_t, kMessageSize> BuildWriteRequest(uint8_t minutes);
bool IsWriteRequest(const uint8_t* request);
uint8_t RequestedMinutes(const uint8_t* request);
// Device side: B6 00 minutes 00.
std::array<uint8_t, kMessageSize> BuildReply(uint8_t minutes);

}  // namespace vantelsor::sleeptime
