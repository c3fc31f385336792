// The account messages: the user list 0xA8 and the account write 0xA7 (add,
// modify, delete), built and parsed here for both ends of the wire.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "crypto/FieldCipher.h"
#include "protocol/LoginMessages.h"

namespace vantelsor::users {

inline constexpr int kFieldSize = 16;
inline constexpr int kFieldCount = 4;
inline constexpr int kWriteSize = 74;
inline constexpr int kListRequestSize = 2;
inline constexpr int kListHeaderSize = 2;
// The list reply's record count: one byte, ending the header.
inline constexpr int kListCountOffset = 1;
inline constexpr int kListCountSize = 1;
static_assert(kListCountOffset + kListCountSize == kListHeaderSize);
inline constexpr int kRecordSize = 20;
inline constexpr int kMaxRecords = 50;
// The client's receive area for the list: type, count and 50 records.
inline constexpr int kListReplySize = kListHeaderSize + kMaxRecords * kRecordSize;  // 1002
// A record whose name length is above this ends the reading of the list.
inline constexpr int kMaxNameLength = 50;

enum WriteMode : uint8_t { kAdd = 1, kModify = 2, kDelete = 3 };

// 0xA7 reply statuses.
inline constexpr uint8_t kStatusOk = 0x00;
inline constexpr uint8_t kStatusNameExists = 0xFF;  // add: the name is taken
inline constexpr uint8_t kStatusDeleteFailed = 0xFF;
inline constexpr uint8_t kStatusWriteFailed = 0xFE;
inline constexpr uint8_t kStatusOldPasswordWrong = 0xFC;

inline constexpr uint16_t kAdministrator = 1;
inline constexpr uint16_t kOrdinaryUser = 2;

using Field = login::PlainField;

// A text as it travels in a 16-byte field: its bytes (UTF-8 stands for the ANSI
// code page here), at most 16, zero-filled, with that count as its length.
// Callers pass at most 16 characters of 0-9, a-z and A-Z, as the dialogs allow.
Field PackUserField(std::string_view text);

// One account as the client keeps it.
struct UserRecord {
    uint16_t nameLength = 0;  // 0..16
    std::array<uint8_t, kFieldSize> name{};
    uint16_t userType = kOrdinaryUser;

    std::string NameText() const;  // the first nameLength bytes
    bool operator==(const UserRecord&) const = default;
};

// "普通用户" for 2, "管理员" for every other value.
const char* UserTypeText(uint16_t userType);

std::array<uint8_t, kListRequestSize> BuildUserListRequest();

// The four fields of a write; a field of length 0 stays all zeros on the wire.
struct UserWrite {
    uint8_t mode = kAdd;
    std::array<Field, kFieldCount> fields{};
};
// Fields of length > 0 are enciphered with the session key; the lengths stay plain.
std::array<uint8_t, kWriteSize> BuildUserWrite(const SessionKey& key, const UserWrite& write);
// Device side: `message` holds kWriteSize bytes.
UserWrite ParseUserWrite(const SessionKey& key, const uint8_t* message);

// Device side: the list reply, 2 + 20 N bytes; at most 255 records are sent.
std::vector<uint8_t> BuildUserList(const std::vector<UserRecord>& records);

// Reads the list from a reply of `length` bytes (what is missing reads as zeros;
// at most kMaxRecords records are read). False, with *out untouched, when a
// record's name length is above kMaxNameLength. Name lengths 17..50 keep 16 bytes.
bool ParseUserList(const uint8_t* reply, int length, std::vector<UserRecord>* out);

}  // namespace vantelsor::users
