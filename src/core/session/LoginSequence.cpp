#include "session/LoginSequence.h"

#include <algorithm>
#include <cstring>
#include <ctime>

#include "net/NetSession.h"
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
    : settings_(settings), timing_(timing), session_(NetSession::Instance()) {}

LoginSequence::~LoginSequence() {
    Exit();
}

bool LoginSequence::Connect(uint32_t address, uint16_t port) {
    if (!session_->Connect(address, port)) return false;
    if (settings_) settings_->AddRecentAddress(address);
    return true;
}

void LoginSequence::CancelConnect() {
    session_->CloseControl();
}

bool LoginSequence::Request(const uint8_t* message, int length, uint8_t expected) {
    loginHandler_->Expect(expected);
    session_->ResetReply();
    session_->Send(message, length);
    const uint32_t result = session_->WaitReply(timing_.replyTimeoutMs);
    loginHandler_->Expect(0);
    lastStatus_ = loginHandler_->lastStatus();
    // A closed connection (no event to wait on) is as good as no reply.
    return result == kWaitSignalled;
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
            Accept(user, status);
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

void LoginSequence::Accept(const login::PlainField& user, uint8_t status) {
    info_->userNameLength = user.length;
    info_->userName = user.bytes;
    info_->userType = login::UserTypeOf(status);
    info_->hasControlRight = login::HasControlRight(status) ? 1 : 0;
    accepted_ = true;
    if (settings_) {
        const auto* bytes = reinterpret_cast<const char*>(user.bytes.data());
        settings_->AddRecentUser(std::string(bytes, strnlen(bytes, user.bytes.size())));
    }
    SendRecord(login::kEventLogin);

    heartbeat_ = std::make_unique<Heartbeat>(session_, timing_, &sink_);
    heartbeat_->Start();

    if (settings_) {
        info_->topmost = settings_->GetTopmost();
        info_->left = settings_->GetLeft();
        info_->top = settings_->GetTop();
        info_->width = settings_->GetWidth();
        info_->height = settings_->GetHeight();
        info_->maximized = settings_->GetMaximized();
        info_->localCursorOn = settings_->GetLocalCursorOn();
    }
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

void LoginSequence::DiscardAttempt() {
    session_->SetHandler(nullptr);
    loginHandler_.reset();
    info_.reset();
    NetSession::DestroyInstance();
    session_ = NetSession::Instance();
}

void LoginSequence::Exit() {
    if (!session_) return;  // already done
    if (heartbeat_) heartbeat_->Stop();
    if (session_->IsControlOpen() && info_ && info_->userNameLength != 0) {
        SendRecord(login::kEventLogout);
    }
    session_->SetHandler(nullptr);
    loginHandler_.reset();
    if (heartbeat_) heartbeat_->Uninstall();
    heartbeat_.reset();
    NetSession::DestroyInstance();
    session_ = nullptr;
    // Only an accepted login read the placement from the settings; writing back
    // the untouched zeros of a failed attempt would wipe the saved placement.
    if (info_ && accepted_ && settings_) {
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
