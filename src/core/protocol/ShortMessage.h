// The two-byte messages: a type byte and one status or argument byte
// (heartbeat, operation right, reboot, lock-state poll and their replies).
#pragma once

#include <array>
#include <cstdint>

namespace vantelsor {

inline constexpr int kShortMessageSize = 2;

using ShortMessage = std::array<uint8_t, kShortMessageSize>;

constexpr ShortMessage BuildShortMessage(uint8_t type, uint8_t value = 0) {
    return {type, value};
}

}  // namespace vantelsor
