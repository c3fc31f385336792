#include "protocol/LoginMessages.h"

#include <algorithm>
#include <cstring>

#include "crypto/FieldCipher.h"
#include "protocol/ByteOrder.h"
#include "protocol/MessageTypes.h"

namespace vantelsor::login {
namespace {

// Offsets of the 0xA3 login.
constexpr int kUserLengthAt = 2;
constexpr int kUserAt = 4;
constexpr int kPasswordLengthAt = 20;
constexpr int kPasswordAt = 22;

// Offsets of the 0xAA record.
constexpr int kYearAt = 2;
constexpr int kMonthAt = 4;
constexpr int kDayAt = 6;
constexpr int kHourAt = 8;
constexpr int kMinuteAt = 10;
constexpr int kAddressAt = 12;
constexpr int kRecordUserLengthAt = 16;
constexpr int kRecordUserAt = 18;
constexpr int kEventAt = 34;

PlainField ReadField(const uint8_t* lengthAt, const uint8_t* bytesAt) {
    PlainField f;
    f.length = GetU16(lengthAt);
    std::memcpy(f.bytes.data(), bytesAt, kFieldSize);
    return f;
}

}  // namespace

PlainField MakeField(std::string_view text) {
    PlainField f;
    const size_t n = std::min<size_t>(text.size(), kFieldSize);
    std::memcpy(f.bytes.data(), text.data(), n);
    f.length = static_cast<uint16_t>(n);
    return f;
}

std::array<uint8_t, kVersionCheckSize> BuildVersionCheck(uint16_t version) {
    std::array<uint8_t, kVersionCheckSize> m{msg::kVersionCheck, 0};
    PutU16(&m[2], version);
    return m;
}

std::array<uint8_t, kKeyMessageSize> BuildKeyRequest() {
    return {msg::kKeyRequest};
}

std::array<uint8_t, kKeyMessageSize> BuildKeyReply(const SessionKey& key, uint8_t status) {
    std::array<uint8_t, kKeyMessageSize> m{msg::kKeyRequest, status};
    std::copy(key.begin(), key.end(), m.begin() + 2);
    return m;
}

std::array<uint8_t, kLoginSize> BuildLogin(const SessionKey& key, const PlainField& user,
                                           const PlainField& password) {
    std::array<uint8_t, kLoginSize> m{msg::kLogin, 0};
    PutU16(&m[kUserLengthAt], user.length);
    FieldCipher::EncryptBlocks(key.data(), user.bytes.data(), &m[kUserAt], kFieldSize);
    PutU16(&m[kPasswordLengthAt], password.length);
    FieldCipher::EncryptBlocks(key.data(), password.bytes.data(), &m[kPasswordAt], kFieldSize);
    return m;
}

LoginRequest ParseLogin(const SessionKey& key, const uint8_t* message) {
    LoginRequest r;
    r.user = ReadField(message + kUserLengthAt, message + kUserAt);
    FieldCipher::DecryptBlocks(key.data(), r.user.bytes.data(), r.user.bytes.data(), kFieldSize);
    r.password = ReadField(message + kPasswordLengthAt, message + kPasswordAt);
    FieldCipher::DecryptBlocks(key.data(), r.password.bytes.data(), r.password.bytes.data(),
                               kFieldSize);
    return r;
}

LoginVerdict ClassifyLoginStatus(uint8_t status) {
    const int type = status & 0x7F;
    if (type == 1 || type == 2) return LoginVerdict::kAccepted;
    switch (status) {
        case kStatusBadPassword:
        case kStatusBadUser:
            return LoginVerdict::kBadCredentials;
        case kStatusAlreadyLoggedIn:
            return LoginVerdict::kAlreadyLoggedIn;
        case kStatusNoFreeSlot:
            return LoginVerdict::kSlotsFull;
        default:
            return LoginVerdict::kRefused;
    }
}

std::array<uint8_t, kRecordSize> BuildLoginRecord(const LoginRecord& r) {
    std::array<uint8_t, kRecordSize> m{msg::kLoginRecord, 0};
    PutU16(&m[kYearAt], r.year);
    PutU16(&m[kMonthAt], r.month);
    PutU16(&m[kDayAt], r.day);
    PutU16(&m[kHourAt], r.hour);
    PutU16(&m[kMinuteAt], r.minute);
    std::copy(r.clientAddress.begin(), r.clientAddress.end(), m.begin() + kAddressAt);
    PutU16(&m[kRecordUserLengthAt], r.user.length);
    std::copy(r.user.bytes.begin(), r.user.bytes.end(), m.begin() + kRecordUserAt);
    PutU16(&m[kEventAt], r.event);
    return m;
}

LoginRecord ParseLoginRecord(const uint8_t* m) {
    LoginRecord r;
    r.year = GetU16(m + kYearAt);
    r.month = GetU16(m + kMonthAt);
    r.day = GetU16(m + kDayAt);
    r.hour = GetU16(m + kHourAt);
    r.minute = GetU16(m + kMinuteAt);
    std::copy(m + kAddressAt, m + kAddressAt + 4, r.clientAddress.begin());
    r.user = ReadField(m + kRecordUserLengthAt, m + kRecordUserAt);
    r.event = GetU16(m + kEventAt);
    return r;
}

}  // namespace vantelsor::login
