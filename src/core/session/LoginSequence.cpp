#include "session/LoginSequence.h"

#include <algorithm>
#include <cstring>
#include <ctime>

#include "net/ReplyExchange.h"
#include "res/Strings.h"
#include "session/LocalAddress.h"
#include "settings/SettingsStore.h"

namespace vantelsor {

const char* LoginResultMessage(LoginResult result) {
    switch (result) {
        case LoginResult::kAccepted:
            return nullptr;
        case LoginResult::kTimeout:
            return res::kCommTimeout;
        case LoginResult::kClientVersionHigher:
            return res::kClientVersionHigher;
        case LoginResult::kServerVersionHigher:
            return res::kServerVersionHigher;
        case LoginResult::kBadCredentials:
            return res::kBadUserOrPassword;
        case LoginResult::kAlreadyLoggedIn:
            return res::kUserAlreadyLoggedIn;
        case LoginResult::kSlotsFull:
            return res::kLoginSlotsFull;
        case LoginResult::kRefused:
            return nullptr;
    }
    return nullptr;
}

bool IsRefusal(LoginResult result) {
    switch (result) {
        case LoginResult::kBadCredentials:
        case LoginResult::kAlreadyLoggedIn:
        case LoginResult::kSlotsFull:
        case LoginResult::kRefused:
            return true;
        default:
            return false;
    }
}

LoginSequence::LoginSequence(SettingsStore* settings, const Timing& timing)
    : settings_(settings), timing_(timing) {}

LoginSequence::~LoginSequence() {
    Exit();
}

bool LoginSequence::Connect(uint32_t address, uint16_t port) {
    return session_->Connect(address, port);
}

void LoginSequence::RememberAddress(uint32_t address) {
    if (settings_) settings_->AddRecentAddress(address);
}

void LoginSequence::CancelConnect() {
    session_->CloseControl();
}

bool LoginSequence::Request(const uint8_t* message, int length, uint8_t expected) {
    loginHandler_->Expect(expected);
    const ExchangeResult result =
        vantelsor::Exchange(*session_, message, length, timing_.replyTimeoutMs);
    loginHandler_->Expect(0);
    lastStatus_ = loginHandler_->lastStatus();
    // A closed connection (no event to wait on) is as good as no reply.
    return result == ExchangeResult::kReplied;
}

LoginResult LoginSequence::Login(const Credentials& credentials) {
    const LoginResult result = Exchange(credentials);
    if (IsRefusal(result)) DiscardAttempt();
    return result;
}

LoginResult LoginSequence::Exchange(const Credentials& c) {
    info_ = std::make_unique<SessionInfo>(c.deviceAddress, c.encryptionFlags);
    loginHandler_ = std::make_unique<KAppHandler>(&info_->sessionKey);
    session_->SetHandler(loginHandler_.get());

    const auto version = login::BuildVersionCheck();
    if (!Request(version.data(), version.size(), msg::kVersionCheck)) {
        return LoginResult::kTimeout;
    }
    if (lastStatus_ == login::kStatusClientHigher) return LoginResult::kClientVersionHigher;
    if (lastStatus_ == login::kStatusServerHigher) return LoginResult::kServerVersionHigher;

    const auto keyRequest = login::BuildKeyRequest();
    if (!Request(keyRequest.data(), keyRequest.size(), msg::kKeyRequest)) {
        return LoginResult::kTimeout;
    }

    const login::PlainField user = login::MakeField(c.user);
    const auto request = login::BuildLogin(info_->sessionKey, user, login::MakeField(c.password));
    if (!Request(request.data(), request.size(), msg::kLogin)) {
        return LoginResult::kTimeout;
    }
    const uint8_t status = lastStatus_;
    switch (login::ClassifyLoginStatus(status)) {
        case login::LoginVerdict::kAccepted:
            info_->userNameLength = user.length;
            info_->userName = user.bytes;
            Accept(status);
            return LoginResult::kAccepted;
        case login::LoginVerdict::kBadCredentials:
            return LoginResult::kBadCredentials;
        case login::LoginVerdict::kAlreadyLoggedIn:
            return LoginResult::kAlreadyLoggedIn;
        case login::LoginVerdict::kSlotsFull:
            return LoginResult::kSlotsFull;
        case login::LoginVerdict::kRefused:
            return LoginResult::kRefused;
    }
    return LoginResult::kRefused;
}

void LoginSequence::Accept(uint8_t status) {
    info_->userType = login::UserTypeOf(status);
    info_->hasControlRight = login::HasControlRight(status) ? 1 : 0;
    accepted_ = true;
    SendRecord(login::kEventLogin);

    heartbeat_ = std::make_unique<Heartbeat>(*session_, timing_, &sink_);
    heartbeat_->Start();
}

void LoginSequence::AdoptAcceptedLogin() {
    if (!accepted_ || !info_ || !settings_) return;
    const auto* bytes = reinterpret_cast<const char*>(info_->userName.data());
    settings_->AddRecentUser(std::string(bytes, strnlen(bytes, info_->userName.size())));
    info_->topmost = settings_->GetTopmost();
    info_->left = settings_->GetLeft();
    info_->top = settings_->GetTop();
    info_->width = settings_->GetWidth();
    info_->height = settings_->GetHeight();
    info_->maximized = settings_->GetMaximized();
    info_->localCursorOn = settings_->GetLocalCursorOn();
    placementRead_ = true;
}

void LoginSequence::SendRecord(uint16_t event) {
    login::LoginRecord record;
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    record.year = static_cast<uint16_t>(utc.tm_year + 1900);
    record.month = static_cast<uint16_t>(utc.tm_mon + 1);
    record.day = static_cast<uint16_t>(utc.tm_mday);
    record.hour = static_cast<uint16_t>(utc.tm_hour);
    record.minute = static_cast<uint16_t>(utc.tm_min);
    record.clientAddress = LocalAddress();
    record.user.length = info_->userNameLength;
    record.user.bytes = info_->userName;
    record.event = event;
    const auto m = login::BuildLoginRecord(record);
    session_->Send(m.data(), m.size());
}

// The attempt leaves nothing behind: no handler, no record, no connection, so
// the next attempt starts on a fresh, unconnected session.
void LoginSequence::DiscardAttempt() {
    session_->SetHandler(nullptr);
    loginHandler_.reset();
    info_.reset();
    session_ = std::make_unique<NetSession>();
}

void LoginSequence::Exit() {
    if (ended_) return;
    ended_ = true;
    if (heartbeat_) heartbeat_->Stop();
    if (session_->IsControlOpen() && info_ && info_->userNameLength != 0) {
        SendRecord(login::kEventLogout);
    }
    session_->SetHandler(nullptr);
    loginHandler_.reset();
    if (heartbeat_) heartbeat_->Uninstall();
    heartbeat_.reset();
    session_->Close();
    // Only an adopted login read the placement from the settings; writing back
    // the untouched zeros of a failed attempt would wipe the saved placement.
    if (info_ && placementRead_ && settings_) {
        settings_->SetTopmost(info_->topmost);
        settings_->SetLeft(info_->left);
        settings_->SetTop(info_->top);
        settings_->SetWidth(info_->width);
        settings_->SetHeight(info_->height);
        settings_->SetMaximized(info_->maximized);
        settings_->SetLocalCursorOn(info_->localCursorOn);
    }
    info_.reset();
    accepted_ = false;
}

}  // namespace vantelsor
