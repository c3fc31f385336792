#include "sim/ControlDevice.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "net/AddressText.h"
#include "protocol/ByteOrder.h"
#include "protocol/MessageTypes.h"
#include "protocol/ShortMessage.h"

namespace vantelsor::sim {
namespace {

const char* TypeName(uint8_t type) {
    switch (type) {
        case msg::kVersionCheck:
            return "version check";
        case msg::kKeyRequest:
            return "key request";
        case msg::kLogin:
            return "login";
        case msg::kVideoSettings:
            return "video settings";
        case msg::kStreamControl:
            return "stream control";
        case msg::kNetworkSettings:
            return "network settings";
        case msg::kUserWrite:
            return "user write";
        case msg::kUserList:
            return "user list";
        case msg::kControlRequest:
            return "control request";
        case msg::kLoginRecord:
            return "record";
        case msg::kLogRead:
            return "log read";
        case msg::kLogClear:
            return "log clear";
        case msg::kHeartbeat:
            return "heartbeat";
        case msg::kControlLost:
            return "ack";
        case msg::kReboot:
            return "reboot";
        case msg::kLockState:
            return "lock state";
        case msg::kIdentity:
            return "identity";
        case msg::kFirmwareStart:
            return "firmware start";
        case msg::kFirmwareBlock:
            return "firmware block";
        case msg::kFirmwareVersion:
            return "firmware version";
        case msg::kSleepTime:
            return "sleep time";
        case msg::kKeyboard:
            return "keyboard";
        case msg::kKeyboardSealed:
            return "keyboard sealed";
        case msg::kMouse:
            return "mouse";
        case msg::kMouseSealed:
            return "mouse sealed";
        default:
            return "unknown";
    }
}

std::string Hex(uint32_t value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, value);
    return text;
}

// The first `length` bytes of a field (at most 16), non-printable bytes escaped,
// so that hostile names cannot break a trace line.
std::string FieldText(const login::PlainField& field) {
    const int n = std::min<int>(field.length, login::kFieldSize);
    std::string text;
    for (int i = 0; i < n; ++i) {
        const uint8_t c = field.bytes[i];
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            text += static_cast<char>(c);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            text += escaped;
        }
    }
    return text;
}

bool FieldEquals(const login::PlainField& field, const std::string& text) {
    return field.length == text.size() && field.length <= login::kFieldSize &&
           std::memcmp(field.bytes.data(), text.data(), text.size()) == 0;
}

std::vector<uint8_t> Short(uint8_t type, uint8_t value) {
    const ShortMessage m = BuildShortMessage(type, value);
    return {m.begin(), m.end()};
}

ControlDevice::Outcome Note(std::string text) {
    ControlDevice::Outcome out;
    out.text = std::move(text);
    return out;
}

ControlDevice::Outcome Reply(std::string text, uint8_t type, uint8_t status) {
    ControlDevice::Outcome out;
    out.text = std::move(text) + " -> " + Hex(status, 2);
    out.reply = Short(type, status);
    return out;
}

}  // namespace

ControlDevice::ControlDevice(const SimConfig& config)
    : config_(config),
      model_(config_),
      target_(config.screenWidth, config.screenHeight, config.lockLeds),
      random_(std::random_device{}()) {}

void ControlDevice::Open(int connection) {
    Session& s = sessions_[connection];
    s = Session{};
    if (config_.fixedKey) {
        s.key = *config_.fixedKey;
    } else {
        for (uint8_t& b : s.key) b = static_cast<uint8_t>(random_());
    }
}

void ControlDevice::Close(int connection) {
    auto it = sessions_.find(connection);
    if (it == sessions_.end()) return;
    EndLogin(connection, it->second);
    sessions_.erase(it);
}

void ControlDevice::CloseAll() {
    sessions_.clear();
    holder_.reset();
}

std::optional<ControlDevice::LoginOf> ControlDevice::LoggedIn(int connection) const {
    const auto it = sessions_.find(connection);
    if (it == sessions_.end() || !it->second.loggedIn) return std::nullopt;
    return LoginOf{it->second.user, it->second.key};
}

int ControlDevice::LoggedInCount() const {
    return static_cast<int>(std::count_if(sessions_.begin(), sessions_.end(),
                                          [](const auto& entry) { return entry.second.loggedIn; }));
}

std::string ControlDevice::Describe(uint8_t type) {
    char text[48];
    std::snprintf(text, sizeof text, "%02X %s", type, TypeName(type));
    return text;
}

ControlDevice::Outcome ControlDevice::Receive(int connection, const uint8_t* message, int length) {
    const uint8_t type = message[0];
    auto it = sessions_.find(connection);
    if (it == sessions_.end() || length < 1) return Note(Describe(type) + ": no such connection");
    Session& s = it->second;
    switch (type) {
        case msg::kVersionCheck:
            return VersionCheck(message);
        case msg::kKeyRequest:
            return KeyRequest(s);
        case msg::kLogin:
            return Login(connection, s, message);
        case msg::kHeartbeat: {
            Outcome out = Note(Describe(type));
            out.reply = Short(msg::kHeartbeat, msg::kStatusOk);
            return out;
        }
        default:
            break;
    }
    if (!s.loggedIn) return Note(Describe(type) + ": not logged in");
    switch (type) {
        case msg::kControlRequest:
            return ControlRequest(connection);
        case msg::kControlLost:
            return Acknowledge(s);
        case msg::kLoginRecord:
            return Record(message);
        case msg::kLockState:
            return LockState();
        case msg::kKeyboard:
        case msg::kKeyboardSealed:
        case msg::kMouse:
        case msg::kMouseSealed:
            return Input(connection, s, message, length);
        case msg::kReboot: {
            Outcome out = Note(Describe(type));
            out.reboot = true;
            return out;
        }
        default:
            if (AdminResponder::Handles(type)) return Administer(s, message, length);
            // Well framed, answered by later versions of the device.
            return Note(Describe(type) + " (not handled)");
    }
}

ControlDevice::Outcome ControlDevice::VersionCheck(const uint8_t* message) const {
    return Reply(Describe(msg::kVersionCheck) + " " + Hex(GetU16(message + 2), 4),
                 msg::kVersionCheck, config_.versionStatus);
}

ControlDevice::Outcome ControlDevice::KeyRequest(const Session& session) const {
    const auto reply = login::BuildKeyReply(session.key, msg::kStatusOk);
    Outcome out = Note(Describe(msg::kKeyRequest) + " -> key ");
    for (uint8_t b : session.key) {
        char digits[3];
        std::snprintf(digits, sizeof digits, "%02X", b);
        out.text += digits;
    }
    out.reply.emplace(reply.begin(), reply.end());
    return out;
}

ControlDevice::Outcome ControlDevice::Login(int connection, Session& session,
                                            const uint8_t* message) {
    const login::LoginRequest request = login::ParseLogin(session.key, message);
    // A repeated login on the same connection replaces the previous one, so its
    // slot and operation right do not count against itself.
    EndLogin(connection, session);
    const Account* account = nullptr;
    uint8_t status = CheckLogin(connection, request, &account);
    if (config_.loginStatus) status = *config_.loginStatus;
    if (login::ClassifyLoginStatus(status) == login::LoginVerdict::kAccepted) {
        session.loggedIn = true;
        session.user = account ? account->name : FieldText(request.user);
        session.userType = login::UserTypeOf(status);
        if (login::HasControlRight(status) && !holder_) holder_ = connection;
    }
    // The password is never part of the trace.
    return Reply(Describe(msg::kLogin) + " user=" + FieldText(request.user) +
                     " len=" + std::to_string(request.user.length),
                 msg::kLogin, status);
}

uint8_t ControlDevice::CheckLogin(int connection, const login::LoginRequest& request,
                                  const Account** account) const {
    const auto& accounts = model_.state().accounts;
    const auto found = std::find_if(accounts.begin(), accounts.end(), [&](const Account& a) {
        return FieldEquals(request.user, a.name);
    });
    if (found == accounts.end()) return login::kStatusBadUser;
    if (!FieldEquals(request.password, found->password)) return login::kStatusBadPassword;
    for (const auto& [other, s] : sessions_) {
        if (other != connection && s.loggedIn && s.user == found->name) {
            return login::kStatusAlreadyLoggedIn;
        }
    }
    if (LoggedInCount() >= config_.loginSlots) return login::kStatusNoFreeSlot;
    *account = &*found;
    const uint8_t type = static_cast<uint8_t>(found->type & 0x7F);
    return holder_ ? type : static_cast<uint8_t>(type | login::kControlRightBit);
}

ControlDevice::Outcome ControlDevice::ControlRequest(int connection) {
    const std::string text = Describe(msg::kControlRequest);
    if (config_.controlBusy) {
        return Reply(text, msg::kControlRequest, msg::kStatusRefused);
    }
    if (holder_ == connection) {
        Outcome out = Reply(text, msg::kControlRequest, msg::kStatusOk);
        out.text += " (already held)";
        return out;
    }
    Outcome out = Reply(text, msg::kControlRequest, msg::kStatusOk);
    if (holder_) {
        // The previous holder is told first, so it stops sending input before
        // the new holder starts.
        out.events.push_back({*holder_, Short(msg::kControlLost, msg::kStatusOk)});
        sessions_[*holder_].ackAwaited = true;
        out.text += " (taken from conn=" + std::to_string(*holder_) + ")";
    }
    holder_ = connection;
    return out;
}

ControlDevice::Outcome ControlDevice::Acknowledge(Session& session) const {
    Outcome out = Note(Describe(msg::kControlLost));
    if (!session.ackAwaited) out.text += " (not asked)";
    session.ackAwaited = false;
    return out;
}

ControlDevice::Outcome ControlDevice::Record(const uint8_t* message) {
    const login::LoginRecord r = login::ParseLoginRecord(message);
    model_.AddLogRecord(r);
    char date[48];
    std::snprintf(date, sizeof date, "%04u-%02u-%02u %02u:%02u", r.year, r.month, r.day, r.hour,
                  r.minute);
    std::string event = r.event == login::kEventLogin    ? "login"
                        : r.event == login::kEventLogout ? "logout"
                                                         : "event=" + std::to_string(r.event);
    std::string text = Describe(msg::kLoginRecord) + " " + date + " " +
                       AddressText(GetU32(r.clientAddress.data())) + " " + FieldText(r.user);
    if (r.user.length > login::kFieldSize) text += " (len=" + std::to_string(r.user.length) + ")";
    return Note(text + " " + event);
}

ControlDevice::Outcome ControlDevice::LockState() const {
    const uint8_t leds = target_.lockLeds();
    return Reply(Describe(msg::kLockState), msg::kLockState,
                 static_cast<uint8_t>(leds | leds << 4));
}

// Only the holder of the operation right works the target's keyboard and mouse.
ControlDevice::Outcome ControlDevice::Input(int connection, const Session& session,
                                            const uint8_t* message, int length) {
    const std::string text = Describe(message[0]);
    if (holder_ != connection) return Note(text + ": no operation right, ignored");
    return Note(text + target_.Receive(session.key, message, length));
}

ControlDevice::Outcome ControlDevice::Administer(Session& session, const uint8_t* message,
                                                 int length) {
    const AdminResponder::Requester requester{session.user, session.userType, session.key};
    AdminResponder::Answer a = admin_.Receive(requester, message, length);
    if (a.renamedFrom) {
        for (auto& [id, s] : sessions_) {
            if (s.loggedIn && s.user == *a.renamedFrom) s.user = *a.renamedTo;
        }
    }
    Outcome out = Note(Describe(message[0]) + a.text);
    out.reply = std::move(a.reply);
    return out;
}

void ControlDevice::EndLogin(int connection, Session& session) {
    if (holder_ == connection) holder_.reset();
    session.loggedIn = false;
    session.user.clear();
    session.userType = 0;
    session.ackAwaited = false;
}

}  // namespace vantelsor::sim
