#include "admin/SleepTime.h"

#include <algorithm>
#include <cstring>

#include "net/NetSession.h"
#include "net/ReplyExchange.h"
#include "protocol/MessageTypes.h"
#include "protocol/SleepMessages.h"

namespace vantelsor {

int KSetSleepDlgHandler::OnMessage(const uint8_t* data, int length) {
    return owner_->OnSleepMessage(data, length);
}

SleepTime::SleepTime(NetSession& session, const Timing& timing)
    : session_(session), timing_(timing) {}

int SleepTime::OnSleepMessage(const uint8_t* data, int length) {
    if (length < 1 || data[0] != msg::kSleepTime) return 0;
    // The reply takes the rest of the read: only the area's 4 bytes are kept.
    reply_.Keep(data, length);
    return 1;
}

AdminOutcome SleepTime::Ask(const uint8_t* request, int length, int* minutes) {
    const AdminOutcome wait = OutcomeOf(
        Exchange(session_, request, length, timing_.replyTimeoutMs, reply_, msg::kSleepTime));
    if (wait != AdminOutcome::kOk) return wait;
    const KeptReply reply = reply_.Copy();
    *minutes =
        reply.length > sleeptime::kMinutesInReply ? reply.at(sleeptime::kMinutesInReply) : -1;
    return AdminOutcome::kOk;
}

AdminOutcome SleepTime::Read(int* minutes) {
    const auto request = sleeptime::BuildReadRequest();
    int value = 0;
    const AdminOutcome o = Ask(request.data(), request.size(), &value);
    *minutes = o == AdminOutcome::kOk && value >= 0 ? value : 0;
    return o;
}

AdminOutcome SleepTime::Write(int minutes) {
    const auto request = sleeptime::BuildWriteRequest(static_cast<uint8_t>(minutes));
    int echoed = -1;
    const AdminOutcome o = Ask(request.data(), request.size(), &echoed);
    if (o != AdminOutcome::kOk) return o;
    // A reply too short to echo the value has not confirmed it either.
    return echoed == (minutes & 0xFF) ? AdminOutcome::kOk : AdminOutcome::kSleepFailed;
}

}  // namespace vantelsor
