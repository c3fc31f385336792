// How the device cuts the client's byte stream into messages. Every message the
// client sends has a known length, so the device side can check the framing of
// everything it receives (a message of an unknown type is a framing fault).
#pragma once

#include <cstdint>

#include "protocol/ByteOrder.h"

namespace vantelsor {

inline constexpr int kUnknownRequest = -1;

// Length of the client message starting at `p` with `available` bytes buffered:
// may exceed `available` (wait for more), or kUnknownRequest.
constexpr int RequestLength(const uint8_t* p, int available) {
    switch (p[0]) {
        case 0xA1:
            return 4;
        case 0xA2:
            return 10;
        case 0xA3:
            return 38;
        case 0xA4:
            return 6;
        case 0xA6:
            return 24;
        case 0xA7:
            return 74;
        case 0xA8:
        case 0xA9:
        case 0xAB:
        case 0xAC:
        case 0xAD:
        case 0xAF:
        case 0xB0:
        case 0xB1:
            return 2;
        case 0xAA:
            return 36;
        case 0xB2:
            return 35;
        case 0xB3:
            return 3;
        case 0xB4:
            return available < 4 ? 4 : 4 + GetU16(p + 2);  // 7 + n: header, index, flag, data
        case 0xB5:
            return 5;
        case 0xB6:
            return 4;
        case 0xE8:
        case 0xE9:
            return 18;
        case 0xEE:
        case 0xEF:
            return 10;
        default:
            return kUnknownRequest;
    }
}

}  // namespace vantelsor
