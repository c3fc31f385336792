// A hostile device's identity and version replies, cut as the receive thread
// cuts the stream and kept in the console's fixed areas.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

#include "net/MessageFraming.h"
#include "protocol/IdentityMessages.h"

using namespace vantelsor;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0 || size > 65536) return 0;
    std::vector<uint8_t> buffer(data, data + size);
    CutMessages(buffer.data(), static_cast<int>(buffer.size()), [&](const uint8_t* m, int n) {
        if (m[0] == 0xB2) {
            std::array<uint8_t, identity::kMessageSize> area{};
            std::memcpy(area.data(), m, std::min<size_t>(n, area.size()));
            const identity::Identity id =
                identity::ParseMessage(area.data(), std::min<int>(n, area.size()));
            if (identity::TextOf(id.uid).size() > 16 || identity::TextOf(id.name).size() > 16) {
                __builtin_trap();
            }
        } else if (m[0] == 0xB5) {
            std::array<uint8_t, identity::kVersionReplySize> area{};
            std::memcpy(area.data(), m, std::min<size_t>(n, area.size()));
            identity::VersionText(area.data(), std::min<int>(n, area.size()));
        }
    });
    return 0;
}
