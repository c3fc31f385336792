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

ConsoleLink::ConsoleLink(NetSession* session, SessionInfo* info, EventSink* sink,
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
            replyArea_ = {data[0], data[1]};
            replyType_ = data[0];
            return 1;
        case msg::kIdentity:
        case msg::kFirmwareVersion:
            KeepReply(data, length);
            replyType_ = data[0];
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

// Both replies take the rest of the read: only what fits their areas is kept,
// zero-filled so that a short reply never shows bytes of an earlier one.
void ConsoleLink::KeepReply(const uint8_t* data, int length) {
    std::lock_guard lock(areasLock_);
    if (data[0] == msg::kIdentity) {
        identityReply_.fill(0);
        std::memcpy(identityReply_.data(), data,
                    static_cast<size_t>(std::min<int>(length, identityReply_.size())));
        identityLength_ = length;
    } else {
        versionReply_.fill(0);
        std::memcpy(versionReply_.data(), data,
                    static_cast<size_t>(std::min<int>(length, versionReply_.size())));
        versionLength_ = length;
    }
}

identity::Identity ConsoleLink::identityReply() const {
    std::lock_guard lock(areasLock_);
    return identity::ParseMessage(identityReply_.data(),
                                  std::min<int>(identityLength_, identityReply_.size()));
}

std::string ConsoleLink::versionText() const {
    std::lock_guard lock(areasLock_);
    return identity::VersionText(versionReply_.data(),
                                 std::min<int>(versionLength_, versionReply_.size()));
}

ControlRightResult ConsoleLink::TakeControlRight() {
    const ShortMessage request = BuildShortMessage(msg::kControlRequest);
    session_->ResetReply();
    session_->Send(request.data(), request.size());
    const uint32_t wait = session_->WaitReply(timing_.replyTimeoutMs);
    if (wait == kWaitTimeout) return ControlRightResult::kTimeout;
    if (wait != kWaitSignalled) return ControlRightResult::kOther;
    switch (replyArea_[1]) {
        case msg::kStatusOk:
            info_->hasControlRight = 1;
            return ControlRightResult::kGranted;
        case msg::kStatusRefused:
            return ControlRightResult::kBusy;
        default:
            return ControlRightResult::kOther;
    }
}

void ConsoleLink::AcknowledgeRightLost() {
    const ShortMessage ack = BuildShortMessage(msg::kControlLost);
    session_->Send(ack.data(), ack.size());
    info_->hasControlRight = 0;
}

void ConsoleLink::Reboot() {
    const ShortMessage request = BuildShortMessage(msg::kReboot);
    session_->Send(request.data(), request.size());
}

std::optional<uint8_t> ConsoleLink::QueryLockState() {
    if (session_->keepAlivePaused.load() != 0) return std::nullopt;
    std::unique_lock lock(lockMutex_);
    const uint32_t before = lockReplies_;
    lock.unlock();
    const ShortMessage poll = BuildShortMessage(msg::kLockState);
    session_->Send(poll.data(), poll.size());
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
