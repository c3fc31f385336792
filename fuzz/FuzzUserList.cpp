// A hostile device's user list: the stream cut as the receive thread cuts it,
// each 0xA8 message kept as the account dialog's handler keeps it and read as a
// list; the device side parses the same bytes as account writes.
#include <array>
#include <cstdint>
#include <vector>

#include "net/MessageFraming.h"
#include "protocol/UserMessages.h"

using namespace vantelsor;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0 || size > 65536) return 0;
    std::vector<uint8_t> buffer(data, data + size);
    const SessionKey key{1, 2, 3, 4, 5, 6, 7, 8};
    CutMessages(buffer.data(), static_cast<int>(buffer.size()), [&](const uint8_t* m, int n) {
        std::vector<users::UserRecord> records;
        if (users::ParseUserList(m, n, &records)) {
            for (const auto& r : records) {
                if (r.nameLength > users::kFieldSize) __builtin_trap();
                (void)r.NameText();
            }
        }
        if (n >= users::kWriteSize) users::ParseUserWrite(key, m);
    });
    return 0;
}
