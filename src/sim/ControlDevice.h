// The device's side of the control protocol, without sockets: accounts and
// logins, the operation right, the user log, the target's keyboard and mouse
// (TargetInput) with its lock LEDs; the administration messages go to its
// AdminResponder over its DeviceModel. DeviceSim cuts
// each connection's stream into messages, hands them here one at a time and
// sends what comes back.
//
// Not thread-safe: the owner serialises every call (DeviceSim calls it under
// its lock, from its loop thread and from the accessors).
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "protocol/LoginMessages.h"
#include "sim/AdminResponder.h"
#include "sim/DeviceModel.h"
#include "sim/SimConfig.h"
#include "sim/TargetInput.h"

namespace vantelsor::sim {

class ControlDevice {
  public:
    // A message the device sends of its own accord (0xAF to the previous holder).
    struct Event {
        int connection = 0;
        std::vector<uint8_t> bytes;
    };
    struct Outcome {
        std::string text;                           // the trace text: the message and its effect
        std::optional<std::vector<uint8_t>> reply;  // to the sender, if the message has one
        std::vector<Event> events;                  // to send before the reply
        bool reboot = false;                        // drop every connection and listen again later
    };

    explicit ControlDevice(const SimConfig& config);

    // A new connection gets its key (fixed or fresh) and is not logged in.
    void Open(int connection);
    // Ends the connection's login; a holder of the operation right frees it.
    void Close(int connection);
    void CloseAll();

    // One whole message as RequestLength cuts it from `connection`'s stream.
    Outcome Receive(int connection, const uint8_t* message, int length);
    // The trace text of a message the device does not act on ("A3 login").
    static std::string Describe(uint8_t type);

    void SetLockLeds(uint8_t leds) { target_.SetLockLeds(leds); }
    const TargetInput& target() const { return target_; }
    const std::vector<login::LoginRecord>& userLog() const { return model_.state().log; }
    const DeviceState& state() const { return model_.state(); }
    // Why the state file could not be used ("" when all is well).
    const std::string& modelError() const { return model_.error(); }
    int LoggedInCount() const;
    // The user name and session key of a logged-in connection.
    struct LoginOf {
        std::string user;
        SessionKey key{};
    };
    std::optional<LoginOf> LoggedIn(int connection) const;
    std::optional<int> controlHolder() const { return holder_; }

  private:
    struct Session {
        SessionKey key{};
        bool loggedIn = false;
        std::string user;
        uint16_t userType = 0;
        bool ackAwaited = false;  // sent 0xAF, no acknowledgement yet
    };

    Outcome VersionCheck(const uint8_t* message) const;
    Outcome KeyRequest(const Session& session) const;
    Outcome Login(int connection, Session& session, const uint8_t* message);
    uint8_t CheckLogin(int connection, const login::LoginRequest& request,
                       const Account** account) const;
    Outcome ControlRequest(int connection);
    Outcome Acknowledge(Session& session) const;
    Outcome Record(const uint8_t* message);
    Outcome LockState() const;
    Outcome Input(int connection, const Session& session, const uint8_t* message, int length);
    Outcome Administer(Session& session, const uint8_t* message, int length);
    void EndLogin(int connection, Session& session);

    SimConfig config_;
    std::map<int, Session> sessions_;
    std::optional<int> holder_;  // the connection holding the operation right
    DeviceModel model_;
    AdminResponder admin_{&model_, config_};
    TargetInput target_;
    std::mt19937_64 random_;
};

}  // namespace vantelsor::sim
