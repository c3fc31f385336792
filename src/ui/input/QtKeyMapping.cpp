#include "ui/input/QtKeyMapping.h"

#include <QKeyEvent>

#include "input/ScanCodeMap.h"
#include "input/VirtualKeys.h"

namespace vantelsor::ui {
namespace {

struct KeyRow {
    int qtKey;
    int virtualKey;
};

// Keys named the same on the keypad and elsewhere that are different keys.
const KeyRow kKeypadRows[] = {
    {Qt::Key_0, vk::kNumpad0},         {Qt::Key_1, vk::kNumpad0 + 1},
    {Qt::Key_2, vk::kNumpad0 + 2},     {Qt::Key_3, vk::kNumpad0 + 3},
    {Qt::Key_4, vk::kNumpad0 + 4},     {Qt::Key_5, vk::kNumpad0 + 5},
    {Qt::Key_6, vk::kNumpad0 + 6},     {Qt::Key_7, vk::kNumpad0 + 7},
    {Qt::Key_8, vk::kNumpad0 + 8},     {Qt::Key_9, vk::kNumpad0 + 9},
    {Qt::Key_Asterisk, vk::kMultiply}, {Qt::Key_Plus, vk::kAdd},
    {Qt::Key_Minus, vk::kSubtract},    {Qt::Key_Period, vk::kDecimal},
    {Qt::Key_Comma, vk::kDecimal},  // a decimal comma keypad
    {Qt::Key_Slash, vk::kDivide},      {Qt::Key_Enter, vk::kReturn},
};

// Everything else; shifted symbols are the US keys that type them.
const KeyRow kRows[] = {
    {Qt::Key_Escape, vk::kEscape},
    {Qt::Key_Tab, vk::kTab},
    {Qt::Key_Backtab, vk::kTab},
    {Qt::Key_Backspace, vk::kBack},
    {Qt::Key_Return, vk::kReturn},
    {Qt::Key_Enter, vk::kReturn},
    {Qt::Key_Insert, vk::kInsert},
    {Qt::Key_Delete, vk::kDelete},
    {Qt::Key_Pause, vk::kPause},
    {Qt::Key_Print, vk::kSnapshot},
    {Qt::Key_SysReq, vk::kSnapshot},
    {Qt::Key_Home, vk::kHome},
    {Qt::Key_End, vk::kEnd},
    {Qt::Key_Left, vk::kLeft},
    {Qt::Key_Up, vk::kUp},
    {Qt::Key_Right, vk::kRight},
    {Qt::Key_Down, vk::kDown},
    {Qt::Key_PageUp, vk::kPrior},
    {Qt::Key_PageDown, vk::kNext},
    {Qt::Key_Shift, vk::kShift},
    {Qt::Key_Control, vk::kControl},
    {Qt::Key_Alt, vk::kMenu},
    {Qt::Key_AltGr, vk::kMenu},
    {Qt::Key_Meta, vk::kLWin},
    {Qt::Key_Super_L, vk::kLWin},
    {Qt::Key_Super_R, vk::kRWin},
    {Qt::Key_Menu, vk::kApps},
    {Qt::Key_CapsLock, vk::kCapital},
    {Qt::Key_NumLock, vk::kNumLock},
    {Qt::Key_ScrollLock, vk::kScroll},
    {Qt::Key_Space, vk::kSpace},
    {Qt::Key_Exclam, '1'},
    {Qt::Key_At, '2'},
    {Qt::Key_NumberSign, '3'},
    {Qt::Key_Dollar, '4'},
    {Qt::Key_Percent, '5'},
    {Qt::Key_AsciiCircum, '6'},
    {Qt::Key_Ampersand, '7'},
    {Qt::Key_Asterisk, '8'},
    {Qt::Key_ParenLeft, '9'},
    {Qt::Key_ParenRight, '0'},
    {Qt::Key_Minus, vk::kOemMinus},
    {Qt::Key_Underscore, vk::kOemMinus},
    {Qt::Key_Equal, vk::kOemPlus},
    {Qt::Key_Plus, vk::kOemPlus},
    {Qt::Key_BracketLeft, vk::kOem4},
    {Qt::Key_BraceLeft, vk::kOem4},
    {Qt::Key_BracketRight, vk::kOem6},
    {Qt::Key_BraceRight, vk::kOem6},
    {Qt::Key_Backslash, vk::kOem5},
    {Qt::Key_Bar, vk::kOem5},
    {Qt::Key_Semicolon, vk::kOem1},
    {Qt::Key_Colon, vk::kOem1},
    {Qt::Key_Apostrophe, vk::kOem7},
    {Qt::Key_QuoteDbl, vk::kOem7},
    {Qt::Key_QuoteLeft, vk::kOem3},
    {Qt::Key_AsciiTilde, vk::kOem3},
    {Qt::Key_Comma, vk::kOemComma},
    {Qt::Key_Less, vk::kOemComma},
    {Qt::Key_Period, vk::kOemPeriod},
    {Qt::Key_Greater, vk::kOemPeriod},
    {Qt::Key_Slash, vk::kOem2},
    {Qt::Key_Question, vk::kOem2},
};

template <size_t N>
int Find(const KeyRow (&rows)[N], int key) {
    for (const KeyRow& r : rows) {
        if (r.qtKey == key) return r.virtualKey;
    }
    return 0;
}

}  // namespace

int VirtualKeyFromQtKey(int key, bool keypad) {
    if (keypad) {
        if (const int found = Find(kKeypadRows, key)) return found;
    }
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)) {
        return key;  // the same codes as the virtual keys
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12) return vk::kF1 + (key - Qt::Key_F1);
    return Find(kRows, key);
}

int VirtualKeyFromKeyEvent(const QKeyEvent& event) {
    if (const quint32 scanCode = event.nativeScanCode()) {
        if (const int found = VirtualKeyFromX11Keycode(scanCode)) return found;
    }
    return VirtualKeyFromQtKey(event.key(), event.modifiers().testFlag(Qt::KeypadModifier));
}

}  // namespace vantelsor::ui
