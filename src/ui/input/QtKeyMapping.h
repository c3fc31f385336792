// The thin Qt side of the key mapping: the Windows virtual-key code for a Qt
// key event. By physical position when the event carries a native scan code
// (an XKB keycode on X11 and Wayland), otherwise from the Qt key and the keypad
// modifier as a US keyboard would produce them. User-interface thread.
#pragma once

#include <Qt>

class QKeyEvent;

namespace vantelsor::ui {

// 0 for a key the tables cannot send.
int VirtualKeyFromKeyEvent(const QKeyEvent& event);
// The fallback alone: from a Qt key, keypad or not.
int VirtualKeyFromQtKey(int key, bool keypad);

}  // namespace vantelsor::ui
