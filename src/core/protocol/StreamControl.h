// The datagram that starts or stops the device's video stream to a client (0xA5),
// sent by the client to the device's video port. Built (client side) and read
// (device side) here and nowhere else. Stateless; any thread may call these.
//
// Layout: type 0xA5, action (1 start, 2 stop), user-name length (big-endian, 2
// bytes), the user name in 16 bytes, zero-padded.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace vantelsor::streamcontrol {

inline constexpr int kSize = 20;
inline constexpr int kNameCapacity = 16;
inline constexpr uint8_t kStart = 1;
inline constexpr uint8_t kStop = 2;

using Datagram = std::array<uint8_t, kSize>;

// `nameLength` above the field's 16 bytes is cut to 16, both in the length field and
// in the bytes copied, so the datagram never claims more name than it carries.
Datagram Build(uint8_t action, const uint8_t* name, uint16_t nameLength);

struct Request {
    uint8_t action = 0;
    std::string userName;
};

// Reads a received datagram; nullopt when it is not a stream-control datagram (wrong
// type or size, a name length above 16, an action other than start or stop).
std::optional<Request> Parse(const uint8_t* data, int length);

}  // namespace vantelsor::streamcontrol
