// Turns key presses and releases into keyboard event messages: keeps the HID
// boot report of the keys held on the target and the list of keys whose
// release is still owed, and writes the plain 18-byte 0xE8 message (PS/2 set 2
// bytes, the report after the event, checksum).
//
// Not thread-safe: its owner uses it from one thread (the user-interface thread).
#pragma once

#include <array>
#include <cstdint>

#include "protocol/InputMessages.h"

namespace vantelsor {

class KeyboardEncoder {
  public:
    static constexpr int kMaxHeldKeys = 8;

    KeyboardEncoder() { Reset(); }

    // Empties the report and the held-key list.
    void Reset();
    // Writes the plain message for one press (down) or release of `virtualKey`
    // and updates the report and the held keys; false, with nothing changed and
    // nothing written, for a key outside the table.
    bool BuildKeyMessage(int virtualKey, bool down, input::KeyMessageBytes* out, int* outLength);
    // Writes the release of the first held key, with an all-zero report, and
    // drops that key from the list; false when no key is held. The report
    // itself is left for the caller to clear once the list is empty.
    bool BuildReleaseMessage(input::KeyMessageBytes* out, int* outLength);
    int HeldCount() const { return heldCount_; }
    void ClearReport() { report_.fill(0); }

    const input::HidReport& report() const { return report_; }
    const std::array<uint8_t, kMaxHeldKeys>& heldKeys() const { return heldKeys_; }

  private:
    void UpdateReport(uint8_t usage, bool down);
    void UpdateHeldKeys(uint8_t virtualKey, bool down);
    static void Finish(input::KeyMessageBytes* out, int* outLength);

    input::HidReport report_;
    std::array<uint8_t, kMaxHeldKeys> heldKeys_;
    int heldCount_;
};

}  // namespace vantelsor
