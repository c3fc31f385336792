// The key tables: for every Windows virtual-key code 0..224, its PS/2 scan-code
// set 2 make code (bit 7 set for an E0-prefixed key) and its USB HID usage; a
// zero entry means the key is not in the table. Pause has no set 2 entry (it
// sends a fixed sequence) and F7's make code 0x83 is the one plain code with
// bit 7 set; both are handled apart by Set2Sequence. The generic Shift, Ctrl
// and Alt codes are the left-hand keys.
//
// Constant data and pure functions: any thread.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "protocol/InputMessages.h"

namespace vantelsor::input {

inline constexpr int kKeyTableSize = 225;
using KeyTable = std::array<uint8_t, kKeyTableSize>;

const KeyTable& Set2Table();
const KeyTable& HidTable();

// True for a virtual key that produces messages (both table entries present).
bool IsKnownKey(int virtualKey);

// The set 2 bytes of one press (down) or release of `virtualKey`, zero-filled;
// nothing for a key without a set 2 entry.
std::optional<Set2Bytes> Set2Sequence(int virtualKey, bool down);

// The reverse, as the device reads it: which key a set 2 sequence presses or
// releases. Eight zero bytes are Pause's release.
struct Set2Key {
    int virtualKey = 0;
    bool down = false;
};
std::optional<Set2Key> DecodeSet2(const Set2Bytes& bytes);

}  // namespace vantelsor::input
