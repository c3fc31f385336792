// A hostile device's log replies: the stream cut at read boundaries the input
// chooses (the framing joins a log reply however it is split), each 0xAB
// message stored as the log handler stores it, parsed and formatted.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "admin/LogRecordText.h"
#include "net/MessageFraming.h"
#include "protocol/LogMessages.h"

using namespace vantelsor;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2 || size > 200000) return 0;
    const size_t readSize = data[0] * 64 + 1;
    data += 1;
    size -= 1;
    static std::vector<uint8_t> buffer(65536);
    FramingState state;
    int pending = 0;
    std::vector<uint8_t> logBuffer(userlog::kBufferSize);
    for (size_t at = 0; at < size;) {
        const size_t n = std::min({readSize, size - at, buffer.size() - pending});
        std::memcpy(buffer.data() + pending, data + at, n);
        at += n;
        pending = CutMessages(buffer.data(), pending + static_cast<int>(n), state,
                              [&](const uint8_t* m, int len) {
                                  if (m[0] != 0xAB || len < userlog::kHeaderSize) return;
                                  const int stored = std::min(len, userlog::kBufferSize);
                                  std::memcpy(logBuffer.data(), m, stored);
                                  std::vector<login::LoginRecord> records;
                                  if (userlog::ParseLogReply(logBuffer.data(), stored, &records) ==
                                      userlog::LogParse::kOk) {
                                      for (const auto& r : records) FormatLogRecord(r);
                                  }
                              });
        if (pending < 0 || pending >= state.capacity) __builtin_trap();
    }
    return 0;
}
