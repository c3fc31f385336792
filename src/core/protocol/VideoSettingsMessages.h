// The video settings message 0xA4, 6 bytes in both directions.
#pragma once

#include <array>
#include <cstdint>

namespace vantelsor {

// The stream's rates as the device keeps them.
struct VideoRate {
    uint16_t frameRate = 25;  // frames per second
    uint16_t bitRate = 1024;  // the device's bit-rate unit

    bool operator==(const VideoRate&) const = default;
};

}  // namespace vantelsor

namespace vantelsor::videoset {

inline constexpr int kMessageSize = 6;
inline constexpr uint8_t kRead = 1;
inline constexpr uint8_t kWrite = 2;
inline constexpr uint16_t kFailure = 0xFFFF;  // a reply field the device could not take

// Read: A4 01 00 00 00 00. Write: A4 02, bit rate, frame rate.
std::array<uint8_t, kMessageSize> BuildReadRequest();
std::array<uint8_t, kMessageSize> BuildWriteRequest(VideoRate rate);
// Device side: the rates now in force, or kFailure in a field.
std::array<uint8_t, kMessageSize> BuildReply(uint8_t kind, uint16_t bitRate, uint16_t frameRate);

// Bytes 2..5 of a whole message (either direction).
VideoRate ParseRates(const uint8_t* message);

}  // namespace vantelsor::videoset
