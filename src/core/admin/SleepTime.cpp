#include "admin/SleepTime.h"

#include <algorithm>
#include <cstring>

#include "admin/RequestReply.h"
#include "net/NetSession.h"
#include "protocol/MessageTypes.h"
#include "protocol/SleepMessages.h"

namespace vantelsor {

int KSetSleepDlgHandler::OnMessage(const uint8_t* data, int length) {
    return owner_->OnSleepMessage(data, length);
}

SleepTime::SleepTime(NetSession* session, const Timing& timing)
    : session_(session), timing_(timing) {}

int SleepTime::OnSleepMessage(const uint8_t* data, int length) {
    if (length < 1 || data[0] != msg::kSleepTime) return 0;
    std::lock_guard lock(lock_);
    reply_.fill(0);
    // The reply takes the rest of the read: only the 4 bytes of the area are kept.
    std::memcpy(reply_.data(), data, static_cast<size_t>(std::min<int>(length, reply_.size())));
    replyLength_ = length;
    return 1;
}

AdminOutcome SleepTime::Exchange(const uint8_t* request, int length, int* minutes) {
    const AdminOutcome wait = RequestReply(session_, request, length, timing_.replyTimeoutMs);
    if (wait != AdminOutcome::kOk) return wait;
    std::lock_guard lock(lock_);
    *minutes = replyLength_ > sleeptime::kMinutesInReply ? reply_[sleeptime::kMinutesInReply] : -1;
    return AdminOutcome::kOk;
}

AdminOutcome SleepTime::Read(int* minutes) {
    const auto request = sleeptime::BuildReadRequest();
    int value = 0;
    const AdminOutcome o = Exchange(request.data(), request.size(), &value);
    *minutes = o == AdminOutcome::kOk && value >= 0 ? value : 0;
    return o;
}

AdminOutcome SleepTime::Write(int minutes) {
    const auto request = sleeptime::BuildWriteRequest(static_cast<uint8_t>(minutes));
    int echoed = -1;
    const AdminOutcome o = Exchange(request.data(), request.size(), &echoed);
    if (o != AdminOutcome::kOk) return o;
    // A reply too short to echo the value has not confirmed it either.
    return echoed == (minutes & 0xFF) ? AdminOutcome::kOk : AdminOutcome::kSleepFailed;
}

}  // namespace vantelsor
