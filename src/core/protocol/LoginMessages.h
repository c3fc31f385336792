// The login exchange (version check 0xA1, key request 0xA2, login 0xA3) and the
// login/logout record 0xAA: built and parsed here for both ends of the wire.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "crypto/FieldCipher.h"

namespace vantelsor::login {

inline constexpr uint16_t kProtocolVersion = 0x0100;
inline constexpr int kFieldSize = 16;  // user name and password fields
inline constexpr int kVersionCheckSize = 4;
inline constexpr int kKeyMessageSize = 10;
inline constexpr int kLoginSize = 38;
inline constexpr int kRecordSize = 36;

// 0xA1 reply statuses.
inline constexpr uint8_t kStatusClientHigher = 0xFF;
inline constexpr uint8_t kStatusServerHigher = 0xFE;

// 0xA3 reply statuses other than acceptance.
inline constexpr uint8_t kStatusBadPassword = 0xFF;
inline constexpr uint8_t kStatusBadUser = 0xFE;
inline constexpr uint8_t kStatusAlreadyLoggedIn = 0xFD;
inline constexpr uint8_t kStatusNoFreeSlot = 0xFC;
inline constexpr uint8_t kControlRightBit = 0x80;

inline constexpr uint16_t kEventLogin = 1;
inline constexpr uint16_t kEventLogout = 2;

using Field = std::array<uint8_t, kFieldSize>;

// A text's bytes, at most 16 of them, zero-padded to a field.
struct PlainField {
    uint16_t length = 0;
    Field bytes{};
};
PlainField MakeField(std::string_view text);

std::array<uint8_t, kVersionCheckSize> BuildVersionCheck(uint16_t version = kProtocolVersion);
std::array<uint8_t, kKeyMessageSize> BuildKeyRequest();
std::array<uint8_t, kKeyMessageSize> BuildKeyReply(const SessionKey& key, uint8_t status = 0);
std::array<uint8_t, kLoginSize> BuildLogin(const SessionKey& key, const PlainField& user,
                                           const PlainField& password);

// What a login request carries, deciphered with the session key (device side).
struct LoginRequest {
    PlainField user;
    PlainField password;
};
LoginRequest ParseLogin(const SessionKey& key, const uint8_t* message);

enum class LoginVerdict { kAccepted, kBadCredentials, kAlreadyLoggedIn, kSlotsFull, kRefused };
LoginVerdict ClassifyLoginStatus(uint8_t status);
// For an accepted status: 1 administrator, 2 ordinary user.
inline uint16_t UserTypeOf(uint8_t status) {
    return status & 0x7F;
}
inline bool HasControlRight(uint8_t status) {
    return (status & kControlRightBit) != 0;
}

struct LoginRecord {
    uint16_t year = 0, month = 0, day = 0, hour = 0, minute = 0;  // UTC
    std::array<uint8_t, 4> clientAddress{};                       // network order
    PlainField user;
    uint16_t event = kEventLogin;
};
std::array<uint8_t, kRecordSize> BuildLoginRecord(const LoginRecord& record);
LoginRecord ParseLoginRecord(const uint8_t* message);

}  // namespace vantelsor::login
