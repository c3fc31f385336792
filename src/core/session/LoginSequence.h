// The start and end of a session without its windows: connect, version check,
// key exchange and login, the login record, the heartbeat, and at exit the
// logout record and the settings write-back. The desktop client drives it from
// its dialogs, vantelsorctl from its flags.
//
// The session: this object owns the control connection (NetSession) for its
// whole life; the console, its window and the administration owners borrow it
// and must be gone before it is. A refused attempt replaces it with a fresh one
// (a connection serves one connect), which is safe because nothing borrows the
// session before a login is accepted.
//
// Threads: Connect and Login are exchanges with the device that block up to
// the reply time-out; they run on any thread, one at a time (a window waits for
// them on a helper thread). CancelConnect is for another thread while Connect
// blocks. What touches the settings or the session record's placement
// (RememberAddress, AdoptAcceptedLogin, Exit) runs on the settings' thread, the
// user-interface thread of the desktop client.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "net/NetSession.h"
#include "protocol/LoginMessages.h"
#include "protocol/MessageTypes.h"
#include "session/EventSink.h"
#include "session/Heartbeat.h"
#include "session/KAppHandler.h"
#include "session/SessionInfo.h"
#include "session/Timing.h"

namespace vantelsor {

class SettingsStore;

enum class LoginResult {
    kAccepted,
    kTimeout,              // no reply in time: the program ends
    kClientVersionHigher,  // version mismatch: the program ends
    kServerVersionHigher,
    kBadCredentials,  // refusals: the session is discarded, the login dialog comes again
    kAlreadyLoggedIn,
    kSlotsFull,
    kRefused,  // a refusal the device gives no reason for (no message)
};

// The text the user is shown for a result, or null when there is none.
const char* LoginResultMessage(LoginResult result);
// A refused login returns to the login dialog; every other failure ends the program.
bool IsRefusal(LoginResult result);

struct Credentials {
    uint32_t deviceAddress = 0;  // host order
    int32_t encryptionFlags = 0;
    std::string user;  // bytes as sent; at most 16 are used
    std::string password;
};

class LoginSequence {
  public:
    // `settings` may be null (nothing is remembered then).
    explicit LoginSequence(SettingsStore* settings, const Timing& timing = {});
    ~LoginSequence();
    LoginSequence(const LoginSequence&) = delete;
    LoginSequence& operator=(const LoginSequence&) = delete;

    // Opens the control connection.
    bool Connect(uint32_t address, uint16_t port = msg::kControlPort);
    // After a successful Connect: the address joins the recent ones.
    void RememberAddress(uint32_t address);
    // From another thread while Connect blocks: aborts it (Connect returns false).
    void CancelConnect();

    // The exchange on an open connection. Accepted: the session is filled, the
    // login record sent, the heartbeat running. Refused: the attempt is discarded
    // (handler, session record and connection), so the next attempt reconnects.
    LoginResult Login(const Credentials& credentials);
    // After an accepted Login: the user joins the recent ones and the session
    // record takes the saved placement, topmost and cursor mode.
    void AdoptAcceptedLogin();

    // Where a lost connection is posted; null until there is someone to tell.
    void SetEventSink(EventSink* sink) { sink_ = sink; }

    // Stops the heartbeat, sends the logout record (with an open connection and a
    // logged-in user), closes the connection and writes the placement back.
    // Ends this object's use; the destructor calls it when nobody did.
    void Exit();

    NetSession& session() { return *session_; }
    SessionInfo* info() const { return info_.get(); }
    bool loggedIn() const { return accepted_; }
    // Status byte of the last 0xA1 or 0xA3 reply.
    uint8_t lastStatus() const { return lastStatus_; }

  private:
    // One request/reply exchange; true when the expected reply came in time.
    bool Request(const uint8_t* message, int length, uint8_t expected);
    LoginResult Exchange(const Credentials& credentials);
    void Accept(uint8_t status);
    void SendRecord(uint16_t event);
    void DiscardAttempt();

    SettingsStore* settings_;
    Timing timing_;
    std::unique_ptr<NetSession> session_ = std::make_unique<NetSession>();
    bool ended_ = false;
    std::unique_ptr<SessionInfo> info_;
    std::unique_ptr<KAppHandler> loginHandler_;
    std::unique_ptr<Heartbeat> heartbeat_;
    std::atomic<EventSink*> sink_{nullptr};
    bool accepted_ = false;
    bool placementRead_ = false;
    uint8_t lastStatus_ = 0;
};

}  // namespace vantelsor
