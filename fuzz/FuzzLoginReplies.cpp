// Whatever a hostile device sends during the login: the stream is cut as the
// receive thread cuts it and every message is offered to the login handler while
// it expects each reply type in turn; the device side parses the same bytes as
// login requests and login records.
#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

#include "net/MessageFraming.h"
#include "protocol/LoginMessages.h"
#include "protocol/RequestFraming.h"
#include "session/KAppHandler.h"

using namespace vantelsor;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0 || size > 65536) return 0;
    std::vector<uint8_t> buffer(data, data + size);
    SessionKey key{};
    KAppHandler handler(&key);
    const uint8_t expected[] = {0xA1, 0xA2, 0xA3};
    int step = 0;
    CutMessages(buffer.data(), static_cast<int>(buffer.size()), [&](const uint8_t* m, int n) {
        handler.Expect(expected[step % 3]);
        if (handler.OnMessage(m, n)) {
            login::ClassifyLoginStatus(handler.lastStatus());
            ++step;
        }
        // The device side of the same bytes.
        const int length = RequestLength(m, n);
        if (length == login::kLoginSize && n >= length) login::ParseLogin(key, m);
        if (length == login::kRecordSize && n >= length) login::ParseLoginRecord(m);
    });
    return 0;
}
