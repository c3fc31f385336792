// How the device cuts the client's byte stream into messages. Every message the
// client sends has a known length, so the device side can check the framing of
// everything it receives (a message of an unknown type is a framing fault).
#pragma once

#include <cstdint>

#include "protocol/MessageLengths.h"

namespace vantelsor {

inline constexpr int kUnknownRequest = -1;

// Length of the client message starting at `p` with `available` bytes buffered:
// may exceed `available` (wait for more), or kUnknownRequest. The lengths are the
// request column of protocol/MessageLengths.h; a firmware chunk (0xB4) says its
// own length once its first 4 bytes are in (7 + n: header, index, flag, data).
constexpr int RequestLength(const uint8_t* p, int available) {
    const msg::LengthRule rule = msg::RequestRule(p[0]);
    switch (rule.framing) {
        case msg::Framing::kFixed:
            return rule.size;
        case msg::Framing::kCounted:
            // Counts of at most 16 bits: the length always fits.
            return static_cast<int>(msg::CountedLength(rule, p, available));
        default:
            return kUnknownRequest;
    }
}

}  // namespace vantelsor
