// The physical-key table against the kernel's own key codes.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "input/KeyTables.h"
#include "input/ScanCodeMap.h"
#include "input/VirtualKeys.h"

namespace vantelsor::test {
namespace {

constexpr const char* kEventCodes = "/usr/include/linux/input-event-codes.h";

// KEY_* names and their values, as the header defines them.
std::map<std::string, uint32_t> KernelKeyCodes() {
    std::map<std::string, uint32_t> codes;
    std::ifstream in(kEventCodes);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string define, name, value;
        if (!(words >> define >> name >> value) || define != "#define") continue;
        if (name.rfind("KEY_", 0) != 0 || value.empty() || !std::isdigit(value[0])) continue;
        codes[name] = static_cast<uint32_t>(std::stoul(value, nullptr, 0));
    }
    return codes;
}

struct Expected {
    const char* name;
    int virtualKey;
};

// The key at each position of a US keyboard and the virtual key it sends.
const Expected kExpected[] = {
    {"KEY_ESC", vk::kEscape},
    {"KEY_1", '1'},
    {"KEY_2", '2'},
    {"KEY_3", '3'},
    {"KEY_4", '4'},
    {"KEY_5", '5'},
    {"KEY_6", '6'},
    {"KEY_7", '7'},
    {"KEY_8", '8'},
    {"KEY_9", '9'},
    {"KEY_0", '0'},
    {"KEY_MINUS", vk::kOemMinus},
    {"KEY_EQUAL", vk::kOemPlus},
    {"KEY_BACKSPACE", vk::kBack},
    {"KEY_TAB", vk::kTab},
    {"KEY_Q", 'Q'},
    {"KEY_W", 'W'},
    {"KEY_E", 'E'},
    {"KEY_R", 'R'},
    {"KEY_T", 'T'},
    {"KEY_Y", 'Y'},
    {"KEY_U", 'U'},
    {"KEY_I", 'I'},
    {"KEY_O", 'O'},
    {"KEY_P", 'P'},
    {"KEY_LEFTBRACE", vk::kOem4},
    {"KEY_RIGHTBRACE", vk::kOem6},
    {"KEY_ENTER", vk::kReturn},
    {"KEY_LEFTCTRL", vk::kControl},
    {"KEY_A", 'A'},
    {"KEY_S", 'S'},
    {"KEY_D", 'D'},
    {"KEY_F", 'F'},
    {"KEY_G", 'G'},
    {"KEY_H", 'H'},
    {"KEY_J", 'J'},
    {"KEY_K", 'K'},
    {"KEY_L", 'L'},
    {"KEY_SEMICOLON", vk::kOem1},
    {"KEY_APOSTROPHE", vk::kOem7},
    {"KEY_GRAVE", vk::kOem3},
    {"KEY_LEFTSHIFT", vk::kShift},
    {"KEY_BACKSLASH", vk::kOem5},
    {"KEY_Z", 'Z'},
    {"KEY_X", 'X'},
    {"KEY_C", 'C'},
    {"KEY_V", 'V'},
    {"KEY_B", 'B'},
    {"KEY_N", 'N'},
    {"KEY_M", 'M'},
    {"KEY_COMMA", vk::kOemComma},
    {"KEY_DOT", vk::kOemPeriod},
    {"KEY_SLASH", vk::kOem2},
    {"KEY_RIGHTSHIFT", vk::kShift},
    {"KEY_KPASTERISK", vk::kMultiply},
    {"KEY_LEFTALT", vk::kMenu},
    {"KEY_SPACE", vk::kSpace},
    {"KEY_CAPSLOCK", vk::kCapital},
    {"KEY_F1", vk::kF1},
    {"KEY_F2", vk::kF1 + 1},
    {"KEY_F3", vk::kF1 + 2},
    {"KEY_F4", vk::kF1 + 3},
    {"KEY_F5", vk::kF1 + 4},
    {"KEY_F6", vk::kF1 + 5},
    {"KEY_F7", vk::kF7},
    {"KEY_F8", vk::kF1 + 7},
    {"KEY_F9", vk::kF1 + 8},
    {"KEY_F10", vk::kF1 + 9},
    {"KEY_F11", vk::kF1 + 10},
    {"KEY_F12", vk::kF1 + 11},
    {"KEY_NUMLOCK", vk::kNumLock},
    {"KEY_SCROLLLOCK", vk::kScroll},
    {"KEY_KP7", vk::kNumpad0 + 7},
    {"KEY_KP8", vk::kNumpad0 + 8},
    {"KEY_KP9", vk::kNumpad0 + 9},
    {"KEY_KPMINUS", vk::kSubtract},
    {"KEY_KP4", vk::kNumpad0 + 4},
    {"KEY_KP5", vk::kNumpad0 + 5},
    {"KEY_KP6", vk::kNumpad0 + 6},
    {"KEY_KPPLUS", vk::kAdd},
    {"KEY_KP1", vk::kNumpad0 + 1},
    {"KEY_KP2", vk::kNumpad0 + 2},
    {"KEY_KP3", vk::kNumpad0 + 3},
    {"KEY_KP0", vk::kNumpad0},
    {"KEY_KPDOT", vk::kDecimal},
    {"KEY_KPENTER", vk::kReturn},
    {"KEY_RIGHTCTRL", vk::kControl},
    {"KEY_KPSLASH", vk::kDivide},
    {"KEY_SYSRQ", vk::kSnapshot},
    {"KEY_RIGHTALT", vk::kMenu},
    {"KEY_HOME", vk::kHome},
    {"KEY_UP", vk::kUp},
    {"KEY_PAGEUP", vk::kPrior},
    {"KEY_LEFT", vk::kLeft},
    {"KEY_RIGHT", vk::kRight},
    {"KEY_END", vk::kEnd},
    {"KEY_DOWN", vk::kDown},
    {"KEY_PAGEDOWN", vk::kNext},
    {"KEY_INSERT", vk::kInsert},
    {"KEY_DELETE", vk::kDelete},
    {"KEY_PAUSE", vk::kPause},
    {"KEY_LEFTMETA", vk::kLWin},
    {"KEY_RIGHTMETA", vk::kRWin},
    {"KEY_COMPOSE", vk::kApps},
    // Keys the tables have no code for send nothing.
    {"KEY_102ND", 0},
    {"KEY_MUTE", 0},
    {"KEY_F13", 0},
    {"KEY_KPEQUAL", 0},
    {"KEY_RESERVED", 0},
};

TEST(ScanCodeMap, AgreesWithTheKernelsKeyCodes) {
    const auto codes = KernelKeyCodes();
    ASSERT_GT(codes.size(), 200u) << "cannot read " << kEventCodes;
    for (const Expected& e : kExpected) {
        SCOPED_TRACE(e.name);
        const auto found = codes.find(e.name);
        ASSERT_NE(found, codes.end());
        EXPECT_EQ(VirtualKeyFromEvdev(found->second), e.virtualKey);
        // On X11 the native scan code is the keycode, 8 above the kernel's code.
        EXPECT_EQ(VirtualKeyFromX11Keycode(found->second + 8), e.virtualKey);
    }
}

TEST(ScanCodeMap, EveryKeyOfTheTablesHasAPosition) {
    std::set<int> reached;
    for (uint32_t code = 0; code < 1024; ++code) {
        const int key = VirtualKeyFromEvdev(code);
        if (key == 0) continue;
        EXPECT_TRUE(input::IsKnownKey(key)) << "code " << code << " gives unknown key " << key;
        reached.insert(key);
    }
    for (int key = 0; key < input::kKeyTableSize; ++key) {
        // 0xE0 is a code without a key on any keyboard.
        if (input::IsKnownKey(key) && key != vk::kCodeE0) {
            EXPECT_TRUE(reached.count(key)) << "no position sends key " << key;
        }
    }
    EXPECT_EQ(VirtualKeyFromX11Keycode(0), 0);
    EXPECT_EQ(VirtualKeyFromX11Keycode(7), 0);
    EXPECT_EQ(VirtualKeyFromX11Keycode(0xFFFFFFFF), 0);
}

}  // namespace
}  // namespace vantelsor::test
