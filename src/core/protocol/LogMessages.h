// The device's user log: the read 0xAB with its long reply and the clear 0xAC.
// A log record has the layout of the login record 0xAA (its first two bytes
// unused), so records are read and written with login::LoginRecord.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "protocol/LoginMessages.h"
#include "protocol/ShortMessage.h"

namespace vantelsor::userlog {

inline constexpr int kHeaderSize = 6;
// The reply's data length L: 32 bits, big-endian, ending the header.
inline constexpr int kLengthOffset = 2;
inline constexpr int kLengthFieldSize = 4;
static_assert(kLengthOffset + kLengthFieldSize == kHeaderSize);
inline constexpr int kRecordSize = 36;
inline constexpr int kMaxRecords = 1000;
// The client's buffer: the header and 1000 records.
inline constexpr int kBufferSize = kHeaderSize + kMaxRecords * kRecordSize;  // 36,006
inline constexpr uint8_t kStatusCleared = 0x00;
inline constexpr uint8_t kStatusClearFailed = 0xFF;

ShortMessage BuildReadRequest();
ShortMessage BuildClearRequest();
ShortMessage BuildClearReply(uint8_t status);

// Device side: AB 00, data length, records.
std::vector<uint8_t> BuildLogReply(const std::vector<login::LoginRecord>& records);

// The data length L of a reply header (at least kHeaderSize bytes).
uint32_t DataLength(const uint8_t* header);

enum class LogParse {
    kOk,
    kTooManyRecords,  // more than 1000: not shown
    kIncomplete,      // fewer bytes than the header announces
};
// Reads the L / 36 records of a reply held in `length` bytes.
LogParse ParseLogReply(const uint8_t* reply, int length, std::vector<login::LoginRecord>* out);

}  // namespace vantelsor::userlog
