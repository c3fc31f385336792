#include "session/ConsoleLink.h"

#include <algorithm>
#include <chrono>
#include <cstring>

#include "net/NetSession.h"
#include "platform/LocalKeyboard.h"
#include "protocol/MessageTypes.h"
#include "protocol/ShortMessage.h"
#include "session/SessionInfo.h"

namespace vantelsor {

int KTCPViewHandler::OnMessage(const uint8_t* data, int length) {
    return owner_->OnControlMessage(data, length);
}

ConsoleLink::ConsoleLink(NetSession& session, SessionInfo* info, EventSink* sink,
                         const Timing& timing)
    : session_(session), info_(info), sink_(sink), timing_(timing) {}

ConsoleLink::~ConsoleLink() {
    Close();
}

void ConsoleLink::Open() {
    if (!installed_) installed_.emplace(session_, &handler_);
}

void ConsoleLink::Close() {
    installed_.reset();
}

int ConsoleLink::OnControlMessage(const uint8_t* data, int length) {
    if (length < 2) return 0;
    switch (data[0]) {
        case msg::kUserWrite:
        case msg::kControlRequest:
        case msg::kEmptyReply:
        case msg::kIdentity:
        case msg::kFirmwareVersion:
            // Replies take the rest of the read: only what fits the area is kept.
            reply_.Keep(data, length);
            return 1;
        case msg::kControlLost:
            if (sink_) sink_->Post(DeviceEvent::kControlRightLost, 0);
            return 1;
        case msg::kLockState: {
            {
                std::lock_guard lock(lockMutex_);
                lockStatus_ = data[1];
                ++lockReplies_;
            }
            lockChanged_.notify_all();
            CheckLockState(data[1]);
            // Never completes the request the user-interface thread may be waiting for.
            return 0;
        }
        default:
            return 0;
    }
}

// Both nibbles carry the target's three lock LEDs; a reply where they differ
// is not trusted. The sync is disarmed before posting, so the replies that
// follow every second cannot post again until the next focus gain.
void ConsoleLink::CheckLockState(uint8_t status) {
    const uint8_t target = status & 0x0F;
    if (!keyboard_ || target != (status >> 4)) return;
    const uint8_t local = keyboard_->LockState() & 0x07;
    if (local == target) return;
    bool armed = true;
    if (!lockSyncArmed_.compare_exchange_strong(armed, false)) return;
    if (sink_) sink_->Post(DeviceEvent::kLockKeysDiffer, static_cast<uint32_t>(local ^ target));
}

identity::Identity ConsoleLink::identityReply() const {
    const KeptReply reply = reply_.Copy();
    return identity::ParseMessage(reply.bytes.data(), reply.stored());
}

std::string ConsoleLink::versionText() const {
    const KeptReply reply = reply_.Copy();
    return identity::VersionText(reply.bytes.data(),
                                 std::min<int>(reply.stored(), identity::kVersionReplySize));
}

ControlRightResult ConsoleLink::RequestControlRight() {
    const ShortMessage request = BuildShortMessage(msg::kControlRequest);
    const ExchangeResult exchange = Ask(request, msg::kControlRequest);
    if (exchange == ExchangeResult::kTimeout) return ControlRightResult::kTimeout;
    // A closed connection or a data-less 0xAE reply carries no verdict: nothing is granted.
    if (exchange != ExchangeResult::kReplied) return ControlRightResult::kOther;
    switch (replyStatus()) {
        case msg::kStatusOk:
            return ControlRightResult::kGranted;
        case msg::kStatusRefused:
            return ControlRightResult::kBusy;
        default:
            return ControlRightResult::kOther;
    }
}

void ConsoleLink::AdoptControlRight(ControlRightResult result) {
    if (result == ControlRightResult::kGranted) info_->hasControlRight = 1;
}

ControlRightResult ConsoleLink::TakeControlRight() {
    const ControlRightResult result = RequestControlRight();
    AdoptControlRight(result);
    return result;
}

void ConsoleLink::AcknowledgeRightLost() {
    const ShortMessage ack = BuildShortMessage(msg::kControlLost);
    session_.Send(ack.data(), ack.size());
    info_->hasControlRight = 0;
}

void ConsoleLink::Reboot() {
    const ShortMessage request = BuildShortMessage(msg::kReboot);
    session_.Send(request.data(), request.size());
}

std::optional<uint8_t> ConsoleLink::QueryLockState() {
    if (session_.keepAlivePaused.load() != 0) return std::nullopt;
    std::unique_lock lock(lockMutex_);
    const uint32_t before = lockReplies_;
    lock.unlock();
    const ShortMessage poll = BuildShortMessage(msg::kLockState);
    session_.Send(poll.data(), poll.size());
    lock.lock();
    if (!lockChanged_.wait_for(lock, std::chrono::milliseconds(timing_.replyTimeoutMs),
                               [&] { return lockReplies_ != before; })) {
        return std::nullopt;
    }
    // Both nibbles carry the same three bits; a reply where they differ is not trusted.
    if ((lockStatus_ & 0x0F) != (lockStatus_ >> 4)) return std::nullopt;
    return static_cast<uint8_t>(lockStatus_ & 0x07);
}

}  // namespace vantelsor
