#include "protocol/UserMessages.h"

#include <algorithm>
#include <cstring>

#include "protocol/ByteOrder.h"
#include "protocol/MessageTypes.h"
#include "res/Strings.h"

namespace vantelsor::users {
namespace {

// Offset of field k's length in the 0xA7 request; its bytes follow.
constexpr int FieldAt(int k) {
    return 2 + k * (2 + kFieldSize);
}

// Record k's offsets in the list reply.
constexpr int RecordAt(int k) {
    return kListHeaderSize + k * kRecordSize;
}
constexpr int kNameLengthOffset = 0;
constexpr int kNameOffset = 2;
constexpr int kTypeOffset = 18;

}  // namespace

Field PackUserField(std::string_view text) {
    return login::MakeField(text);
}

std::string UserRecord::NameText() const {
    const size_t n = std::min<size_t>(nameLength, kFieldSize);
    return std::string(reinterpret_cast<const char*>(name.data()), n);
}

const char* UserTypeText(uint16_t userType) {
    return userType == kOrdinaryUser ? res::kOrdinaryUserType : res::kAdministratorType;
}

std::array<uint8_t, kListRequestSize> BuildUserListRequest() {
    return {msg::kUserList, 0};
}

std::array<uint8_t, kWriteSize> BuildUserWrite(const SessionKey& key, const UserWrite& write) {
    std::array<uint8_t, kWriteSize> m{};
    m[0] = msg::kUserWrite;
    m[1] = write.mode;
    for (int k = 0; k < kFieldCount; ++k) {
        const Field& f = write.fields[k];
        if (f.length == 0) continue;  // an empty field stays all zeros, nothing enciphered
        PutU16(&m[FieldAt(k)], f.length);
        FieldCipher::EncryptBlocks(key.data(), f.bytes.data(), &m[FieldAt(k) + 2], kFieldSize);
    }
    return m;
}

UserWrite ParseUserWrite(const SessionKey& key, const uint8_t* message) {
    UserWrite w;
    w.mode = message[1];
    for (int k = 0; k < kFieldCount; ++k) {
        Field& f = w.fields[k];
        f.length = GetU16(message + FieldAt(k));
        if (f.length == 0) continue;
        FieldCipher::DecryptBlocks(key.data(), message + FieldAt(k) + 2, f.bytes.data(),
                                   kFieldSize);
    }
    return w;
}

std::vector<uint8_t> BuildUserList(const std::vector<UserRecord>& records) {
    const size_t n = std::min<size_t>(records.size(), 255);
    std::vector<uint8_t> m(kListHeaderSize + n * kRecordSize, 0);
    m[0] = msg::kUserList;
    m[kListCountOffset] = static_cast<uint8_t>(n);
    for (size_t k = 0; k < n; ++k) {
        uint8_t* r = &m[RecordAt(static_cast<int>(k))];
        PutU16(r + kNameLengthOffset, records[k].nameLength);
        std::copy(records[k].name.begin(), records[k].name.end(), r + kNameOffset);
        PutU16(r + kTypeOffset, records[k].userType);
    }
    return m;
}

bool ParseUserList(const uint8_t* reply, int length, std::vector<UserRecord>* out) {
    // Work on a zero-filled copy of the receive area: a short reply reads as zeros
    // and nothing past the area is ever read.
    std::array<uint8_t, kListReplySize> area{};
    std::memcpy(area.data(), reply, static_cast<size_t>(std::clamp(length, 0, kListReplySize)));
    const int n = std::min<int>(area[kListCountOffset], kMaxRecords);
    std::vector<UserRecord> records;
    for (int k = 0; k < n; ++k) {
        const uint8_t* r = &area[RecordAt(k)];
        const uint16_t nameLength = GetU16(r + kNameLengthOffset);
        if (nameLength > kMaxNameLength) return false;
        UserRecord rec;
        rec.nameLength = std::min<uint16_t>(nameLength, kFieldSize);
        std::copy(r + kNameOffset, r + kNameOffset + rec.nameLength, rec.name.begin());
        rec.userType = GetU16(r + kTypeOffset);
        records.push_back(rec);
    }
    *out = std::move(records);
    return true;
}

}  // namespace vantelsor::users
