// Turns button changes, movement and wheel notches into mouse event messages:
// keeps the target's button state and writes the plain 10-byte 0xEF message
// (PS/2 packet, HID boot-mouse report, checksum).
//
// Not thread-safe: its owner serialises the calls (InputForwarder holds a lock).
#pragma once

#include <cstdint>

#include "protocol/InputMessages.h"

namespace vantelsor {

class MouseEncoder {
  public:
    // Raw-input button flags; other bits are ignored.
    static constexpr uint32_t kLeftDown = 0x01;
    static constexpr uint32_t kLeftUp = 0x02;
    static constexpr uint32_t kRightDown = 0x04;
    static constexpr uint32_t kRightUp = 0x08;
    static constexpr uint32_t kMiddleDown = 0x10;
    static constexpr uint32_t kMiddleUp = 0x20;
    static constexpr int kWheelMin = -8;  // notches toward the user
    static constexpr int kWheelMax = 6;   // notches away from the user

    void Reset() { buttons_ = 0; }
    // dx, dy in screen orientation (positive right and down), each within
    // -128..127; wheel positive away from the user. False, with the buttons
    // unchanged and nothing written, when the wheel is outside -8..+6.
    bool BuildMouseMessage(uint32_t flags, int dx, int dy, int8_t wheel,
                           input::MouseMessageBytes* out, int* outLength);
    // Bit 0 left, bit 1 right, bit 2 middle.
    uint8_t buttons() const { return buttons_; }

  private:
    static uint8_t ApplyFlags(uint8_t state, uint32_t flags);

    uint8_t buttons_ = 0;
};

}  // namespace vantelsor
