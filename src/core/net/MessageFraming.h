// How the control stream from the device is cut into messages.
#pragma once

#include <cstdint>
#include <cstring>

namespace vantelsor {

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

// Cuts the `total` bytes at the start of `buffer` into messages and calls
// deliver(data, length) for each complete one, in order. An incomplete message
// at the end is moved to the start of the buffer; returns its length (the new
// count of pending bytes, 0 when everything was delivered).
template <typename Deliver>
int CutMessages(uint8_t* buffer, int total, Deliver&& deliver) {
    int offset = 0;
    while (total > 0) {
        const int len = MessageLength(buffer[offset], total);
        if (total < len) {
            std::memmove(buffer, buffer + offset, static_cast<size_t>(total));
            return total;
        }
        deliver(buffer + offset, len);
        offset += len;
        total -= len;
    }
    return 0;
}

}  // namespace vantelsor
