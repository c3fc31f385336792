#include "net/ReplySlot.h"

#include <algorithm>

namespace vantelsor {

void ReplySlot::Keep(const uint8_t* data, int length) {
    if (length < 1) return;
    std::lock_guard guard(lock_);
    const size_t n = std::min(static_cast<size_t>(length), bytes_.size());
    std::copy(data, data + n, bytes_.begin());
    std::fill(bytes_.begin() + static_cast<std::ptrdiff_t>(n), bytes_.end(), 0);
    type_ = data[0];
    length_ = length;
}

void ReplySlot::Clear() {
    std::lock_guard guard(lock_);
    std::fill(bytes_.begin(), bytes_.end(), 0);
    type_ = 0;
    length_ = 0;
}

uint8_t ReplySlot::type() const {
    std::lock_guard guard(lock_);
    return type_;
}

KeptReply ReplySlot::Copy() const {
    std::lock_guard guard(lock_);
    return KeptReply{type_, length_, bytes_};
}

}  // namespace vantelsor
