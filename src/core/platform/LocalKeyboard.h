// The local keyboard's lock keys: reading NumLock, CapsLock and ScrollLock and
// toggling them, so that they can be brought in line with the target's LEDs.
// The X11 backend reads the Xkb indicators and toggles with XTest key events;
// where there is no display the no-op backend reports all three off.
//
// LockState may be called from any thread (the control receive thread reads it);
// Toggle from the user-interface thread.
#pragma once

#include <cstdint>
#include <memory>

namespace vantelsor {

class LocalKeyboard {
  public:
    static constexpr uint8_t kNumLock = 1;
    static constexpr uint8_t kCapsLock = 2;
    static constexpr uint8_t kScrollLock = 4;

    virtual ~LocalKeyboard() = default;
    // Bit 0 NumLock, bit 1 CapsLock, bit 2 ScrollLock: the lock keys now on.
    virtual uint8_t LockState() = 0;
    // Presses and releases one lock key (kNumLock, kCapsLock or kScrollLock);
    // false when no key event could be synthesised (then none will come back).
    virtual bool Toggle(uint8_t lockKey) = 0;
};

// The platform's keyboard: X11 when built with it and a display can be opened
// (`display` null means $DISPLAY), otherwise the no-op.
std::unique_ptr<LocalKeyboard> OpenLocalKeyboard(const char* display = nullptr);
std::unique_ptr<LocalKeyboard> NoLocalKeyboard();

}  // namespace vantelsor
