// Which key of a US keyboard types a printable ASCII character, and whether
// Shift is needed: how vantelsorctl types text on the target. Pure functions.
#pragma once

#include <optional>

namespace vantelsor {

struct KeyStroke {
    int virtualKey = 0;
    bool shift = false;
};

// Nothing for a character outside 0x20..0x7E.
std::optional<KeyStroke> KeyStrokeFor(char c);

}  // namespace vantelsor
