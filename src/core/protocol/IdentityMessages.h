// Device information: identity and name 0xB2 (read and write) and the firmware
// version 0xB5. Nothing here is enciphered.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace vantelsor::identity {

inline constexpr int kTextSize = 16;
inline constexpr int kMessageSize = 35;  // request and reply
inline constexpr int kVersionRequestSize = 5;
inline constexpr int kVersionReplySize = 4;
inline constexpr uint8_t kRead = 0;
inline constexpr uint8_t kWrite = 1;
inline constexpr uint8_t kStatusOk = 0;

using Text = std::array<uint8_t, kTextSize>;

// The text's first bytes (at most 16, UTF-8 standing for the ANSI code page), zero-filled.
Text PackText(std::string_view text);
// The bytes up to the first zero, at most 16.
std::string TextOf(const Text& field);

struct Identity {
    uint8_t status = kStatusOk;  // replies only
    Text uid{};
    Text name{};
};

// Read: B2 00 00 and 32 zeros. Write: B2 00 01 UID name.
std::array<uint8_t, kMessageSize> BuildReadRequest();
std::array<uint8_t, kMessageSize> BuildWriteRequest(const Text& uid, const Text& name);
// Device side: B2 00 status UID name.
std::array<uint8_t, kMessageSize> BuildReply(const Identity& identity);
// A request or a reply of `length` bytes; missing bytes read as zeros.
Identity ParseMessage(const uint8_t* data, int length);
uint8_t RequestKind(const uint8_t* request);

std::array<uint8_t, kVersionRequestSize> BuildVersionRequest();
// Device side: B5 00 minor major.
std::array<uint8_t, kVersionReplySize> BuildVersionReply(uint8_t major, uint8_t minor);
// "major.minor": byte 3, a dot, byte 2 (a reply shorter than 4 bytes reads zeros).
std::string VersionText(const uint8_t* reply, int length);

}  // namespace vantelsor::identity
