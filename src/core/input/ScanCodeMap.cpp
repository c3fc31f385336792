#include "input/ScanCodeMap.h"

#include <array>

#include "input/VirtualKeys.h"

namespace vantelsor {
namespace {

struct Entry {
    uint16_t evdev;
    uint8_t virtualKey;
};

// evdev codes from the kernel's input-event-codes.h. Right Ctrl, Shift and Alt
// give the generic codes, which the tables send as the left-hand keys; keypad
// Enter is Enter. Keys the tables do not know (the ISO key beside left Shift,
// media keys) are absent.
constexpr Entry kEntries[] = {
    {1, vk::kEscape},
    {2, '1'},
    {3, '2'},
    {4, '3'},
    {5, '4'},
    {6, '5'},
    {7, '6'},
    {8, '7'},
    {9, '8'},
    {10, '9'},
    {11, '0'},
    {12, vk::kOemMinus},
    {13, vk::kOemPlus},
    {14, vk::kBack},
    {15, vk::kTab},
    {16, 'Q'},
    {17, 'W'},
    {18, 'E'},
    {19, 'R'},
    {20, 'T'},
    {21, 'Y'},
    {22, 'U'},
    {23, 'I'},
    {24, 'O'},
    {25, 'P'},
    {26, vk::kOem4},
    {27, vk::kOem6},
    {28, vk::kReturn},
    {29, vk::kControl},
    {30, 'A'},
    {31, 'S'},
    {32, 'D'},
    {33, 'F'},
    {34, 'G'},
    {35, 'H'},
    {36, 'J'},
    {37, 'K'},
    {38, 'L'},
    {39, vk::kOem1},
    {40, vk::kOem7},
    {41, vk::kOem3},
    {42, vk::kShift},
    {43, vk::kOem5},
    {44, 'Z'},
    {45, 'X'},
    {46, 'C'},
    {47, 'V'},
    {48, 'B'},
    {49, 'N'},
    {50, 'M'},
    {51, vk::kOemComma},
    {52, vk::kOemPeriod},
    {53, vk::kOem2},
    {54, vk::kShift},
    {55, vk::kMultiply},
    {56, vk::kMenu},
    {57, vk::kSpace},
    {58, vk::kCapital},
    {59, vk::kF1},
    {60, vk::kF1 + 1},
    {61, vk::kF1 + 2},
    {62, vk::kF1 + 3},
    {63, vk::kF1 + 4},
    {64, vk::kF1 + 5},
    {65, vk::kF7},
    {66, vk::kF1 + 7},
    {67, vk::kF1 + 8},
    {68, vk::kF1 + 9},
    {69, vk::kNumLock},
    {70, vk::kScroll},
    {71, vk::kNumpad0 + 7},
    {72, vk::kNumpad0 + 8},
    {73, vk::kNumpad0 + 9},
    {74, vk::kSubtract},
    {75, vk::kNumpad0 + 4},
    {76, vk::kNumpad0 + 5},
    {77, vk::kNumpad0 + 6},
    {78, vk::kAdd},
    {79, vk::kNumpad0 + 1},
    {80, vk::kNumpad0 + 2},
    {81, vk::kNumpad0 + 3},
    {82, vk::kNumpad0},
    {83, vk::kDecimal},
    {87, vk::kF1 + 10},
    {88, vk::kF1 + 11},
    {96, vk::kReturn},
    {97, vk::kControl},
    {98, vk::kDivide},
    {99, vk::kSnapshot},
    {100, vk::kMenu},
    {102, vk::kHome},
    {103, vk::kUp},
    {104, vk::kPrior},
    {105, vk::kLeft},
    {106, vk::kRight},
    {107, vk::kEnd},
    {108, vk::kDown},
    {109, vk::kNext},
    {110, vk::kInsert},
    {111, vk::kDelete},
    {119, vk::kPause},
    {125, vk::kLWin},
    {126, vk::kRWin},
    {127, vk::kApps},
};

constexpr uint32_t kTableSize = 128;

constexpr std::array<uint8_t, kTableSize> BuildTable() {
    std::array<uint8_t, kTableSize> table{};
    for (const Entry& e : kEntries) table[e.evdev] = e.virtualKey;
    return table;
}

constexpr std::array<uint8_t, kTableSize> kTable = BuildTable();

}  // namespace

int VirtualKeyFromEvdev(uint32_t evdevCode) {
    return evdevCode < kTableSize ? kTable[evdevCode] : 0;
}

int VirtualKeyFromX11Keycode(uint32_t keycode) {
    return keycode < kX11KeycodeOffset ? 0 : VirtualKeyFromEvdev(keycode - kX11KeycodeOffset);
}

}  // namespace vantelsor
