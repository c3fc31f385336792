// The simulated target computer's keyboard and mouse: reads the keyboard and
// mouse event messages (plain or sealed), checks their checksum, and keeps
// what a target would see: the held keys (HID report), the text typed with a
// US layout, the lock LEDs (toggled by presses of the lock keys), and a
// relative pointer clamped to the screen with its buttons and wheel.
//
// Not thread-safe: ControlDevice's owner serialises every call.
#pragma once

#include <cstdint>
#include <string>

#include "crypto/FieldCipher.h"
#include "protocol/InputMessages.h"

namespace vantelsor::sim {

struct TargetPointer {
    int x = 0;
    int y = 0;
    uint8_t buttons = 0;  // bit 0 left, bit 1 right, bit 2 middle
    int wheel = 0;        // notches turned in all, positive away from the user
};

class TargetInput {
  public:
    // Typed text beyond this is dropped from the front.
    static constexpr size_t kMaxTypedText = 65536;

    // The pointer starts in the middle of the screen.
    TargetInput(int screenWidth, int screenHeight, uint8_t lockLeds);

    // One message of type 0xE8, 0xE9, 0xEF or 0xEE, deciphered with `key` when
    // sealed; returns its reading for the trace. A message with a wrong
    // checksum or a short one changes nothing.
    std::string Receive(const SessionKey& key, const uint8_t* message, int length);

    const std::string& typedText() const { return typed_; }
    const TargetPointer& pointer() const { return pointer_; }
    const input::HidReport& report() const { return report_; }
    uint8_t lockLeds() const { return lockLeds_; }
    void SetLockLeds(uint8_t leds) { lockLeds_ = leds & 7; }

  private:
    std::string Keyboard(const SessionKey& key, const uint8_t* message, int length);
    std::string Mouse(const SessionKey& key, const uint8_t* message, int length);
    // The effect of one press of the key with HID usage `usage`; the note for the trace.
    std::string Press(uint8_t usage, const input::HidReport& before);
    void Type(char c);

    int width_;
    int height_;
    uint8_t lockLeds_;
    input::HidReport report_{};
    std::string typed_;
    TargetPointer pointer_;
};

}  // namespace vantelsor::sim
