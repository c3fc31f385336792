// How the control stream from the device is cut into messages.
#pragma once

#include <cstdint>
#include <cstring>

namespace vantelsor {

// The user list (0xA8) and the log (0xAB) replies say how long they are: the
// list by its record count, the log by its data length. Both are cut by that
// length once their header is in, so that a reply arrives whole however the
// stream was split, and a short reply that arrives meanwhile (a lock-state
// poll's answer, say) stays a message of its own.
inline constexpr int kUserListHeaderSize = 2;
inline constexpr int kUserListRecordSize = 20;
inline constexpr int kLogReplyHeaderSize = 6;

// Length of the message whose type byte is `type`, given `available` bytes from
// that byte to the end of what is buffered. Types without a fixed length have no
// length field at this layer: they take everything that is buffered.
constexpr int MessageLength(uint8_t type, int available) {
    switch (type) {
        case 0xA1:
        case 0xA3:
        case 0xA7:
        case 0xA9:
        case 0xAC:
        case 0xAD:
        case 0xAE:
        case 0xAF:
        case 0xB1:
            return 2;
        case 0xA2:
            return 10;
        case 0xA4:
            return 6;
        case 0xA6:
            return 24;
        default:
            return available;
    }
}

// Length of the message that starts at `p`, with `available` (at least 1) bytes
// buffered from there. More than `available` means: wait for more bytes. For a
// self-sized reply whose header is incomplete it is the header's size.
constexpr int64_t FramedLength(const uint8_t* p, int available) {
    switch (p[0]) {
        case 0xA8:
            if (available < kUserListHeaderSize) return kUserListHeaderSize;
            return kUserListHeaderSize + int64_t{kUserListRecordSize} * p[1];
        case 0xAB:
            if (available < kLogReplyHeaderSize) return kLogReplyHeaderSize;
            return kLogReplyHeaderSize + ((int64_t{p[2]} << 24) | (int64_t{p[3]} << 16) |
                                          (int64_t{p[4]} << 8) | int64_t{p[5]});
        default:
            return MessageLength(p[0], available);
    }
}

// What the cutter keeps between reads besides the pending bytes.
struct FramingState {
    // The most a message may have: the receive buffer's size. A log reply
    // longer than this cannot be held; its header is delivered alone (its
    // reader sees the length and refuses it) and the rest of it is skipped.
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
        if (len > state.capacity) {
            deliver(buffer + offset, kLogReplyHeaderSize);
            state.skip = len - kLogReplyHeaderSize;
            offset += kLogReplyHeaderSize;
            total -= kLogReplyHeaderSize;
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
