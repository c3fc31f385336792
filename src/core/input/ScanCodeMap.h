// Physical key position to Windows virtual-key code: the key at a position is
// sent as the key of the US keyboard at that position, whatever the local
// layout, and the target reads it with its own layout. Indexed by Linux evdev
// key codes; X11 keycodes (what a key event carries as its native scan code on
// X11) are evdev codes plus 8. Pure functions: any thread.
#pragma once

#include <cstdint>

namespace vantelsor {

inline constexpr uint32_t kX11KeycodeOffset = 8;

// 0 for a key without a virtual key in the key tables.
int VirtualKeyFromEvdev(uint32_t evdevCode);
int VirtualKeyFromX11Keycode(uint32_t keycode);

}  // namespace vantelsor
