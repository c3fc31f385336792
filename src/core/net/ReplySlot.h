// The reply area of a request's handler: the latest reply it took, whatever its
// type, under a lock of its own. The handler keeps a reply on the stream
// receive thread before the reply event is set; the waiting thread reads it
// after the wait. Nothing beyond the area's capacity is stored, and a short
// reply reads as zeros past its end, never as bytes of an earlier one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

namespace vantelsor {

// A copy of a kept reply: `bytes` has the slot's capacity, zero past what came.
struct KeptReply {
    uint8_t type = 0;  // 0: none since the last Clear
    int length = 0;    // as delivered, which may exceed the capacity
    std::vector<uint8_t> bytes;

    // Byte i of the area; 0 past its end.
    uint8_t at(size_t i) const { return i < bytes.size() ? bytes[i] : 0; }
    // How many of the delivered bytes the area holds.
    int stored() const { return length < int(bytes.size()) ? length : int(bytes.size()); }
};

class ReplySlot {
  public:
    explicit ReplySlot(size_t capacity) : bytes_(capacity) {}
    ReplySlot(const ReplySlot&) = delete;
    ReplySlot& operator=(const ReplySlot&) = delete;

    // Stream receive thread: keeps `data` (length >= 1), its first byte as the type.
    void Keep(const uint8_t* data, int length);
    // Waiting thread, before sending: no reply yet (type 0, area zero).
    void Clear();
    uint8_t type() const;
    KeptReply Copy() const;

  private:
    mutable std::mutex lock_;
    uint8_t type_ = 0;
    int length_ = 0;
    std::vector<uint8_t> bytes_;
};

}  // namespace vantelsor
