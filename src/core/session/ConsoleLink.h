// The console's side of the control connection without its window: it installs
// the console's handler while the console is open and runs the console's
// commands on the device (operation right, reboot, lock-state poll). Each
// lock-state reply is compared with the local lock keys: while a check is
// armed (once per focus gain) a difference is posted as kLockKeysDiffer. Its
// handler also keeps the latest identity (0xB2) and firmware version (0xB5)
// replies for the device-information command, and the 0xA7 status for the
// own-account change.
//
// Commands run on the user-interface thread and may block up to the reply
// time-out. OnControlMessage runs on the stream receive thread: it copies the
// reply the command waits for, or posts an event through the sink.
#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

#include "net/ScopedHandler.h"
#include "protocol/IdentityMessages.h"
#include "session/EventSink.h"
#include "session/KTCPViewHandler.h"
#include "session/Timing.h"

namespace vantelsor {

class LocalKeyboard;
class NetSession;
struct SessionInfo;

enum class ControlRightResult {
    kGranted,  // "成功获取操作权！"; the session now holds the right
    kBusy,     // "操作权被占用！"
    kTimeout,  // "通讯超时！"
    kOther,    // another status, or the wait failed: nothing is shown
};

class ConsoleLink {
  public:
    ConsoleLink(NetSession* session, SessionInfo* info, EventSink* sink, const Timing& timing = {});
    ~ConsoleLink();
    ConsoleLink(const ConsoleLink&) = delete;
    ConsoleLink& operator=(const ConsoleLink&) = delete;

    // Installs the console's handler, keeping the one it replaces; Close puts
    // that one back.
    void Open();
    void Close();

    ControlRightResult TakeControlRight();
    // The device took the right away: acknowledge and stop sending input. The
    // caller releases the held keys first.
    void AcknowledgeRightLost();
    void Reboot();
    // Polls the target's lock LEDs and waits for the answer: bit 0 NumLock,
    // bit 1 CapsLock, bit 2 ScrollLock; nothing when no consistent reply came in
    // time. Sends nothing (and gives nothing) while the session's keepAlivePaused
    // is set, as during a firmware transfer.
    std::optional<uint8_t> QueryLockState();

    // The local keyboard the lock-state replies are compared with; null (the
    // default) compares nothing. Set before Open; it must outlive this object.
    void SetLocalKeyboard(LocalKeyboard* keyboard) { keyboard_ = keyboard; }
    // Armed on focus gain, disarmed on focus loss: at most one kLockKeysDiffer
    // per arming. Any thread.
    void ArmLockSync(bool armed) { lockSyncArmed_ = armed; }
    bool lockSyncArmed() const { return lockSyncArmed_; }

    // From KTCPViewHandler, on the stream receive thread.
    int OnControlMessage(const uint8_t* data, int length);

    uint8_t replyStatus() const { return replyArea_[1]; }
    // The type of the last message that completed a request (0 before any):
    // tells which reply area the last wait filled.
    uint8_t replyType() const { return replyType_.load(); }
    // The latest 0xB2 reply (missing bytes read as zeros) and the version text
    // of the latest 0xB5 reply. Read after the wait has returned.
    identity::Identity identityReply() const;
    std::string versionText() const;

  private:
    void CheckLockState(uint8_t status);
    void KeepReply(const uint8_t* data, int length);

    NetSession* session_;
    SessionInfo* info_;
    EventSink* sink_;
    Timing timing_;
    KTCPViewHandler handler_{this};
    std::optional<ScopedHandler> installed_;  // while open

    std::array<uint8_t, 2> replyArea_{};  // type and status of the last 0xA7, 0xA9 or 0xAE reply
    std::atomic<uint8_t> replyType_{0};

    mutable std::mutex areasLock_;  // the two areas below
    std::array<uint8_t, identity::kMessageSize> identityReply_{};
    int identityLength_ = 0;
    std::array<uint8_t, identity::kVersionReplySize> versionReply_{};
    int versionLength_ = 0;

    // The lock-state reply never completes the request the user-interface
    // thread waits for; it is kept apart, with its own wake-up.
    std::mutex lockMutex_;
    std::condition_variable lockChanged_;
    uint32_t lockReplies_ = 0;
    uint8_t lockStatus_ = 0;

    LocalKeyboard* keyboard_ = nullptr;
    std::atomic<bool> lockSyncArmed_{false};
};

}  // namespace vantelsor
