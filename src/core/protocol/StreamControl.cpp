#include "protocol/StreamControl.h"

#include <algorithm>
#include <cstring>

#include "protocol/ByteOrder.h"
#include "protocol/MessageTypes.h"

namespace vantelsor::streamcontrol {

namespace {
constexpr int kActionOffset = 1;
constexpr int kNameLengthOffset = 2;
constexpr int kNameOffset = 4;
}  // namespace

Datagram Build(uint8_t action, const uint8_t* name, uint16_t nameLength) {
    Datagram out{};
    const uint16_t length = std::min<uint16_t>(nameLength, kNameCapacity);
    out[0] = msg::kStreamControl;
    out[kActionOffset] = action;
    PutU16(out.data() + kNameLengthOffset, length);
    if (length > 0) std::memcpy(out.data() + kNameOffset, name, length);
    return out;
}

std::optional<Request> Parse(const uint8_t* data, int length) {
    if (data == nullptr || length != kSize || data[0] != msg::kStreamControl) return std::nullopt;
    const uint8_t action = data[kActionOffset];
    const uint16_t nameLength = GetU16(data + kNameLengthOffset);
    if ((action != kStart && action != kStop) || nameLength > kNameCapacity) return std::nullopt;
    Request request;
    request.action = action;
    request.userName.assign(reinterpret_cast<const char*>(data + kNameOffset), nameLength);
    return request;
}

}  // namespace vantelsor::streamcontrol
