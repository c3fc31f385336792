#include "protocol/IdentityMessages.h"

#include <algorithm>
#include <cstring>

#include "protocol/MessageTypes.h"

namespace vantelsor::identity {
namespace {

constexpr int kKindAt = 2;  // request: read or write; reply: status
constexpr int kUidAt = 3;
constexpr int kNameAt = 19;
constexpr int kMinorAt = 2;
constexpr int kMajorAt = 3;

}  // namespace

Text PackText(std::string_view text) {
    Text t{};
    std::memcpy(t.data(), text.data(), std::min<size_t>(text.size(), kTextSize));
    return t;
}

std::string TextOf(const Text& field) {
    const auto end = std::find(field.begin(), field.end(), 0);
    return std::string(field.begin(), end);
}

std::array<uint8_t, kMessageSize> BuildReadRequest() {
    return {msg::kIdentity, 0, kRead};
}

std::array<uint8_t, kMessageSize> BuildWriteRequest(const Text& uid, const Text& name) {
    std::array<uint8_t, kMessageSize> m{msg::kIdentity, 0, kWrite};
    std::copy(uid.begin(), uid.end(), m.begin() + kUidAt);
    std::copy(name.begin(), name.end(), m.begin() + kNameAt);
    return m;
}

std::array<uint8_t, kMessageSize> BuildReply(const Identity& identity) {
    std::array<uint8_t, kMessageSize> m = BuildWriteRequest(identity.uid, identity.name);
    m[kKindAt] = identity.status;
    return m;
}

Identity ParseMessage(const uint8_t* data, int length) {
    std::array<uint8_t, kMessageSize> area{};
    std::memcpy(area.data(), data, static_cast<size_t>(std::clamp(length, 0, kMessageSize)));
    Identity id;
    id.status = area[kKindAt];
    std::copy(area.begin() + kUidAt, area.begin() + kUidAt + kTextSize, id.uid.begin());
    std::copy(area.begin() + kNameAt, area.begin() + kNameAt + kTextSize, id.name.begin());
    return id;
}

uint8_t RequestKind(const uint8_t* request) {
    return request[kKindAt];
}

std::array<uint8_t, kVersionRequestSize> BuildVersionRequest() {
    return {msg::kFirmwareVersion, 0, 0, 0, 0};
}

std::array<uint8_t, kVersionReplySize> BuildVersionReply(uint8_t major, uint8_t minor) {
    std::array<uint8_t, kVersionReplySize> m{msg::kFirmwareVersion, 0};
    m[kMinorAt] = minor;
    m[kMajorAt] = major;
    return m;
}

std::string VersionText(const uint8_t* reply, int length) {
    const int major = length > kMajorAt ? reply[kMajorAt] : 0;
    const int minor = length > kMinorAt ? reply[kMinorAt] : 0;
    return std::to_string(major) + "." + std::to_string(minor);
}

}  // namespace vantelsor::identity
