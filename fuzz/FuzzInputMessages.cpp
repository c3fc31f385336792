// Whatever a client sends as keyboard and mouse messages: the device side opens
// them (plain or sealed), decodes the set 2 bytes and acts on them as the
// simulated target does.
#include <cstdint>
#include <vector>

#include "input/KeyTables.h"
#include "protocol/InputMessages.h"
#include "protocol/RequestFraming.h"
#include "sim/TargetInput.h"

using namespace vantelsor;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 65536) return 0;
    const SessionKey key{1, 2, 3, 4, 5, 6, 7, 8};
    sim::TargetInput target(1280, 1024, 0);
    size_t offset = 0;
    while (offset < size) {
        const uint8_t* m = data + offset;
        const int available = static_cast<int>(size - offset);
        int length = RequestLength(m, available);
        if (length <= 0 || length > available) length = available;
        input::KeyEventFields key2;
        if (input::OpenKeyMessage(key, m, length, &key2) != input::InputVerdict::kWrongType) {
            input::DecodeSet2(key2.set2);
        }
        input::MouseEventFields mouse;
        if (input::OpenMouseMessage(key, m, length, &mouse) == input::InputVerdict::kOk) {
            input::MouseHalvesAgree(mouse);
        }
        if (m[0] >= 0xE8) target.Receive(key, m, length);
        offset += static_cast<size_t>(length);
    }
    return 0;
}
