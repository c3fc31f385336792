// The console's side of the control connection without its window: it installs
// the console's handler while the console is open and runs the console's
// commands on the device (operation right, reboot, lock-state poll). Each
// lock-state reply is compared with the local lock keys: while a check is
// armed (once per focus gain) a difference is posted as kLockKeysDiffer. Its
// handler also keeps the reply that ends a request (0xA7, 0xA9, 0xAE, 0xB2 or
// 0xB5) for the operation right, the device-information command and the
// own-account change.
//
// Requests block up to the reply time-out. RequestControlRight and Ask run on
// any thread, one at a time, on the session's reply event, so that a window can
// wait for them on a helper thread; QueryLockState waits on its own, so the
// poll thread runs it beside them. What changes the session record
// (AdoptControlRight, AcknowledgeRightLost) belongs to the user-interface
// thread. OnControlMessage runs on the stream receive thread: it keeps the
// reply a request waits for, or posts an event through the sink.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

#include "net/ReplyExchange.h"
#include "net/ReplySlot.h"
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
    ConsoleLink(NetSession& session, SessionInfo* info, EventSink* sink, const Timing& timing = {});
    ~ConsoleLink();
    ConsoleLink(const ConsoleLink&) = delete;
    ConsoleLink& operator=(const ConsoleLink&) = delete;

    // Installs the console's handler, keeping the one it replaces; Close puts
    // that one back.
    void Open();
    void Close();

    // The 0xA9 exchange alone: the session record is left as it was.
    ControlRightResult RequestControlRight();
    // A granted right is held from now on (the input paths send again).
    void AdoptControlRight(ControlRightResult result);
    // Both, for a caller that runs on one thread.
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

    // A request answered through this handler (0xA7, 0xB2 or 0xB5): kReplied
    // only when the reply that ended the wait is of type `expected`.
    template <class Bytes>
    ExchangeResult Ask(const Bytes& request, uint8_t expected) {
        return Exchange(session_, request, timing_.replyTimeoutMs, reply_, expected);
    }
    // Status byte of the reply that ended the last request.
    uint8_t replyStatus() const { return reply_.Copy().at(1); }
    // The reply that ended the last request read as 0xB2 (missing bytes read as
    // zeros) and as the version text of 0xB5. Read after the wait has returned.
    identity::Identity identityReply() const;
    std::string versionText() const;

  private:
    void CheckLockState(uint8_t status);

    NetSession& session_;
    SessionInfo* info_;
    EventSink* sink_;
    Timing timing_;
    KTCPViewHandler handler_{this};
    std::optional<ScopedHandler> installed_;  // while open

    // The last 0xA7, 0xA9, 0xAE, 0xB2 or 0xB5 reply; 0xB2 is the longest.
    ReplySlot reply_{identity::kMessageSize};

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
