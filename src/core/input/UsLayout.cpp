#include "input/UsLayout.h"

#include <cstring>

#include "input/VirtualKeys.h"

namespace vantelsor {
namespace {

struct Punctuation {
    int virtualKey;
    char plain;
    char shifted;
};

constexpr Punctuation kPunctuation[] = {
    {vk::kOem3, '`', '~'},      {vk::kOemMinus, '-', '_'}, {vk::kOemPlus, '=', '+'},
    {vk::kOem4, '[', '{'},      {vk::kOem6, ']', '}'},     {vk::kOem5, '\\', '|'},
    {vk::kOem1, ';', ':'},      {vk::kOem7, '\'', '"'},    {vk::kOemComma, ',', '<'},
    {vk::kOemPeriod, '.', '>'}, {vk::kOem2, '/', '?'},
};

// The shifted characters of the digit keys 0..9.
constexpr char kShiftedDigits[] = ")!@#$%^&*(";

}  // namespace

std::optional<KeyStroke> KeyStrokeFor(char c) {
    if (c >= 'a' && c <= 'z') return KeyStroke{c - 'a' + 'A', false};
    if (c >= 'A' && c <= 'Z') return KeyStroke{c, true};
    if (c >= '0' && c <= '9') return KeyStroke{c, false};
    if (c == ' ') return KeyStroke{vk::kSpace, false};
    if (c == '\0') return std::nullopt;
    if (const char* p = std::strchr(kShiftedDigits, c)) {
        return KeyStroke{'0' + static_cast<int>(p - kShiftedDigits), true};
    }
    for (const Punctuation& p : kPunctuation) {
        if (c == p.plain) return KeyStroke{p.virtualKey, false};
        if (c == p.shifted) return KeyStroke{p.virtualKey, true};
    }
    return std::nullopt;
}

}  // namespace vantelsor
