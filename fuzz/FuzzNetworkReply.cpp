// A hostile device's network settings replies, cut as the receive thread cuts
// the stream; the parsed values go through the dialog's checks and texts.
#include <cstdint>
#include <vector>

#include "admin/AdminRules.h"
#include "net/MessageFraming.h"
#include "protocol/NetworkMessages.h"

using namespace vantelsor;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0 || size > 65536) return 0;
    std::vector<uint8_t> buffer(data, data + size);
    CutMessages(buffer.data(), static_cast<int>(buffer.size()), [&](const uint8_t* m, int n) {
        uint8_t kind = 0;
        network::NetworkConfig c;
        if (!network::ParseNetworkMessage(m, n, &kind, &c)) return;
        rules::NetworkInput input{rules::FormatMac(c.mac), c.ipAddress, c.subnetMask, c.gateway};
        rules::MacBytes mac{};
        rules::CheckNetwork(input, &mac);
        if (mac != c.mac) __builtin_trap();  // the MAC text always reads back as read
    });
    // The MAC parser on the raw bytes as text.
    rules::MacBytes mac{};
    rules::ParseMac(std::string_view(reinterpret_cast<const char*>(data), size), &mac);
    return 0;
}
