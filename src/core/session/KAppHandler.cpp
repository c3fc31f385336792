#include "session/KAppHandler.h"

#include <algorithm>

#include "protocol/LoginMessages.h"
#include "protocol/MessageTypes.h"

namespace vantelsor {

void KAppHandler::Expect(uint8_t type) {
    std::lock_guard lock(mutex_);
    expected_ = type;
}

uint8_t KAppHandler::lastStatus() const {
    std::lock_guard lock(mutex_);
    return lastReply_[1];
}

int KAppHandler::OnMessage(const uint8_t* data, int length) {
    std::lock_guard lock(mutex_);
    if (length < 1 || data[0] != expected_) return 0;
    if (data[0] == msg::kKeyRequest) {
        if (length < login::kKeyMessageSize) return 0;
        std::copy(data + 2, data + login::kKeyMessageSize, sessionKey_->begin());
    } else {
        lastReply_.fill(0);
        std::copy(data, data + std::min<int>(length, lastReply_.size()), lastReply_.begin());
    }
    expected_ = 0;
    return 1;
}

}  // namespace vantelsor
