#include "protocol/VideoSettingsMessages.h"

#include "protocol/ByteOrder.h"
#include "protocol/MessageTypes.h"

namespace vantelsor::videoset {
namespace {

constexpr int kBitRateAt = 2;
constexpr int kFrameRateAt = 4;

}  // namespace

std::array<uint8_t, kMessageSize> BuildReadRequest() {
    return {msg::kVideoSettings, kRead};
}

std::array<uint8_t, kMessageSize> BuildWriteRequest(VideoRate rate) {
    return BuildReply(kWrite, rate.bitRate, rate.frameRate);
}

std::array<uint8_t, kMessageSize> BuildReply(uint8_t kind, uint16_t bitRate, uint16_t frameRate) {
    std::array<uint8_t, kMessageSize> m{msg::kVideoSettings, kind};
    PutU16(&m[kBitRateAt], bitRate);
    PutU16(&m[kFrameRateAt], frameRate);
    return m;
}

VideoRate ParseRates(const uint8_t* message) {
    VideoRate r;
    r.bitRate = GetU16(message + kBitRateAt);
    r.frameRate = GetU16(message + kFrameRateAt);
    return r;
}

}  // namespace vantelsor::videoset
