#include "protocol/LogMessages.h"

#include "protocol/ByteOrder.h"
#include "protocol/MessageTypes.h"

namespace vantelsor::userlog {
ShortMessage BuildReadRequest() {
    return {msg::kLogRead, 0};
}

ShortMessage BuildClearRequest() {
    return {msg::kLogClear, 0};
}

ShortMessage BuildClearReply(uint8_t status) {
    return {msg::kLogClear, status};
}

std::vector<uint8_t> BuildLogReply(const std::vector<login::LoginRecord>& records) {
    std::vector<uint8_t> m(kHeaderSize, 0);
    m[0] = msg::kLogRead;
    PutU32(&m[kLengthOffset], static_cast<uint32_t>(records.size() * kRecordSize));
    for (const login::LoginRecord& r : records) {
        auto bytes = login::BuildLoginRecord(r);
        bytes[0] = 0;  // the type byte of the 0xAA message is not part of a log record
        m.insert(m.end(), bytes.begin(), bytes.end());
    }
    return m;
}

uint32_t DataLength(const uint8_t* header) {
    return GetU32(header + kLengthOffset);
}

LogParse ParseLogReply(const uint8_t* reply, int length, std::vector<login::LoginRecord>* out) {
    out->clear();
    if (length < kHeaderSize) return LogParse::kIncomplete;
    const uint32_t n = DataLength(reply) / kRecordSize;
    if (n > kMaxRecords) return LogParse::kTooManyRecords;
    if (kHeaderSize + n * kRecordSize > static_cast<uint32_t>(length)) return LogParse::kIncomplete;
    for (uint32_t i = 0; i < n; ++i) {
        out->push_back(login::ParseLoginRecord(reply + kHeaderSize + i * kRecordSize));
    }
    return LogParse::kOk;
}

}  // namespace vantelsor::userlog
