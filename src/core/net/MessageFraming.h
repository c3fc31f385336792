// How the control stream from the device is cut into messages.
#pragma once

#include <cstdint>
#include <cstring>

#include "protocol/MessageLengths.h"

namespace vantelsor {

// Length of the message whose type byte is `type`, given `available` bytes from
// that byte to the end of what is buffered: the fixed length of the device's
// message of that type (protocol/MessageLengths.h). Types without a fixed length
// have no length field at this layer: they take everything that is buffered.
constexpr int MessageLength(uint8_t type, int available) {
    const msg::LengthRule rule = msg::ReplyRule(type);
    return rule.framing == msg::Framing::kFixed ? rule.size : available;
}

// Length of the message that starts at `p`, with `available` (at least 1) bytes
// buffered from there. More than `available` means: wait for more bytes.
//
// The user list (0xA8) and the log (0xAB) replies say how long they are: the
// list by its record count, the log by its data length. Both are cut by that
// length once their header is in (before, the length is the header's size), so
// that a reply arrives whole however the stream was split, and a short reply
// that arrives meanwhile (a lock-state poll's answer, say) stays a message of
// its own.
constexpr int64_t FramedLength(const uint8_t* p, int available) {
    const msg::LengthRule rule = msg::ReplyRule(p[0]);
    if (rule.framing == msg::Framing::kCounted) return msg::CountedLength(rule, p, available);
    return MessageLength(p[0], available);
}

// What the cutter keeps between reads besides the pending bytes.
struct FramingState {
    // The most a message may have: the receive buffer's size. A self-sized
    // reply longer than this (a log, in practice) cannot be held; its header is
    // delivered alone (its reader sees the length and refuses it) and the rest
    // of it is skipped.
    int capacity = 65536;
    int64_t skip = 0;  // bytes of such an oversized reply still to be dropped
};

// Cuts the `total` bytes at the start of `buffer` into messages and calls
// deliver(data, length) for each complete one, in order. An incomplete message
// at the end is moved to the start of the buffer; returns its length (the new
// count of pending bytes, 0 when everything was delivered), always less than
// state.capacity, so the next read always has room.
template <typename Deliver>
int CutMessages(uint8_t* buffer, int total, FramingState& state, Deliver&& deliver) {
    int offset = 0;
    while (total > 0) {
        if (state.skip > 0) {
            const int dropped = state.skip < total ? static_cast<int>(state.skip) : total;
            state.skip -= dropped;
            offset += dropped;
            total -= dropped;
            continue;
        }
        const int64_t len = FramedLength(buffer + offset, total);
        const msg::LengthRule rule = msg::ReplyRule(buffer[offset]);
        // Only a self-sized reply can announce more than the buffer holds, once
        // its header is in.
        if (len > state.capacity && rule.framing == msg::Framing::kCounted && total >= rule.size) {
            const int header = rule.size;
            deliver(buffer + offset, header);
            state.skip = len - header;
            offset += header;
            total -= header;
            continue;
        }
        if (total < len) {
            std::memmove(buffer, buffer + offset, static_cast<size_t>(total));
            return total;
        }
        deliver(buffer + offset, static_cast<int>(len));
        offset += static_cast<int>(len);
        total -= static_cast<int>(len);
    }
    return 0;
}

// The same over one complete buffer, with no state kept.
template <typename Deliver>
int CutMessages(uint8_t* buffer, int total, Deliver&& deliver) {
    FramingState state;
    return CutMessages(buffer, total, state, deliver);
}

}  // namespace vantelsor
