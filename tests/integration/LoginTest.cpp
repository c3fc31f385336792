// The login sequence against the simulated device over loopback.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "ScratchFolder.h"
#include "SimFixture.h"
#include "net/AddressText.h"
#include "net/NetSession.h"
#include "protocol/MessageTypes.h"
#include "res/Strings.h"
#include "session/LoginSequence.h"
#include "settings/SettingsStore.h"

namespace vantelsor::test {
namespace {

class LoginTest : public SimFixture {
  protected:
    LoginTest() {
        settings.SetFilePath(folder.File("config.ini"));
        timing.replyTimeoutMs = 2000;
    }

    Credentials As(const std::string& user, const std::string& password) const {
        Credentials c;
        c.deviceAddress = config.listenAddress;
        c.encryptionFlags = 3;
        c.user = user;
        c.password = password;
        return c;
    }

    std::vector<std::string> RecentUsers() const {
        std::vector<std::string> v;
        settings.LoadRecentUsers(&v);
        return v;
    }
    std::vector<std::string> RecentAddresses() const {
        std::vector<std::string> v;
        settings.LoadRecentAddresses(&v);
        return v;
    }

    ScratchFolder folder;
    SettingsStore settings;
    Timing timing;
};

TEST_F(LoginTest, AcceptedLoginFillsTheSessionRecordsItAndLogsOutAtExit) {
    StartDevice();
    LoginSequence login(&settings, timing);
    ASSERT_TRUE(login.Connect(config.listenAddress));
    login.RememberAddress(config.listenAddress);
    ASSERT_EQ(login.Login(As("admin", "admin123")), LoginResult::kAccepted);
    // The exchange (which a window runs on a helper thread) leaves the settings
    // alone; the user-interface thread adopts the login afterwards.
    EXPECT_TRUE(RecentUsers().empty());
    EXPECT_EQ(login.info()->width, 0);
    login.AdoptAcceptedLogin();

    const SessionInfo& info = *login.info();
    EXPECT_EQ(info.userType, SessionInfo::kAdministrator);
    EXPECT_EQ(info.hasControlRight, 1);
    EXPECT_EQ(info.userNameLength, 5);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(info.userName.data())), "admin");
    EXPECT_EQ(info.encryptionFlags, 3);
    EXPECT_NE(info.sessionKey, (SessionKey{}));
    EXPECT_EQ(RecentUsers(), std::vector<std::string>{"admin"});
    EXPECT_EQ(RecentAddresses(), std::vector<std::string>{AddressText(config.listenAddress)});

    ASSERT_TRUE(WaitReceived(msg::kLoginRecord, 1));
    login.Exit();
    ASSERT_TRUE(WaitReceived(msg::kLoginRecord, 2));
    const auto log = device->UserLog();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].event, login::kEventLogin);
    EXPECT_EQ(log[1].event, login::kEventLogout);
    EXPECT_EQ(log[1].user.length, log[0].user.length);
    EXPECT_EQ(log[1].user.bytes, log[0].user.bytes);
    // The exit wrote back the placement read at login (the defaults here).
    EXPECT_EQ(settings.GetWidth(), 800);
    EXPECT_EQ(settings.GetLocalCursorOn(), 1);
}

TEST_F(LoginTest, UserTypeAndOperationRightComeFromTheStatus) {
    struct Case {
        const char* user;
        const char* password;
        std::optional<uint8_t> forced;
        uint16_t type;
        int right;
    };
    const Case cases[] = {
        {"admin", "admin123", 0x81, 1, 1},
        {"user", "user1234", 0x02, 2, 0},
        {"user", "user1234", std::nullopt, 2, 1},  // the first client gets the right
        {"admin", "admin123", 0x01, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.user) + " " + std::to_string(c.forced.value_or(0)));
        config.loginStatus = c.forced;
        StartDevice();
        LoginSequence login(nullptr, timing);
        ASSERT_TRUE(login.Connect(config.listenAddress));
        ASSERT_EQ(login.Login(As(c.user, c.password)), LoginResult::kAccepted);
        EXPECT_EQ(login.info()->userType, c.type);
        EXPECT_EQ(login.info()->hasControlRight, c.right);
        login.Exit();
        device.reset();
    }
}

TEST_F(LoginTest, RefusalsGiveTheirMessageDiscardTheAttemptAndAllowARetry) {
    struct Case {
        const char* user;
        const char* password;
        std::optional<uint8_t> forced;
        LoginResult result;
        const char* message;
    };
    const Case cases[] = {
        {"admin", "wrongpass", std::nullopt, LoginResult::kBadCredentials, res::kBadUserOrPassword},
        {"nobody", "admin123", std::nullopt, LoginResult::kBadCredentials, res::kBadUserOrPassword},
        {"admin", "admin123", 0xFD, LoginResult::kAlreadyLoggedIn, res::kUserAlreadyLoggedIn},
        {"admin", "admin123", 0xFC, LoginResult::kSlotsFull, res::kLoginSlotsFull},
        {"admin", "admin123", 0x05, LoginResult::kRefused, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.user) + "/" + c.password);
        config.loginStatus = c.forced;
        StartDevice();
        LoginSequence login(&settings, timing);
        ASSERT_TRUE(login.Connect(config.listenAddress));
        login.RememberAddress(config.listenAddress);
        EXPECT_EQ(login.Login(As(c.user, c.password)), c.result);
        EXPECT_TRUE(IsRefusal(c.result));
        const char* message = LoginResultMessage(c.result);
        if (c.message) {
            ASSERT_NE(message, nullptr);
            EXPECT_STREQ(message, c.message);
        } else {
            EXPECT_EQ(message, nullptr);
        }
        // Nothing of the attempt is left: an unconnected session and no record.
        EXPECT_EQ(login.info(), nullptr);
        EXPECT_FALSE(login.session().IsControlOpen());
        EXPECT_EQ(login.session().handler(), nullptr);
        EXPECT_TRUE(device->WaitForStatus(
            [](const sim::SimStatus& s) { return s.openConnections == 0; }, 5000));
        // The address was remembered as soon as the connection stood; the user was not.
        EXPECT_EQ(RecentAddresses(), std::vector<std::string>{AddressText(config.listenAddress)});
        EXPECT_TRUE(RecentUsers().empty());
        device.reset();
    }

    // The next attempt reconnects and succeeds.
    config.loginStatus.reset();
    StartDevice();
    LoginSequence login(&settings, timing);
    ASSERT_EQ(login.Login(As("admin", "admin123")), LoginResult::kTimeout)
        << "a login without a connection must not hang or succeed";
    login.Exit();
    LoginSequence retry(&settings, timing);
    ASSERT_TRUE(retry.Connect(config.listenAddress));
    EXPECT_EQ(retry.Login(As("admin", "admin123")), LoginResult::kAccepted);
    retry.AdoptAcceptedLogin();
    EXPECT_EQ(RecentUsers(), std::vector<std::string>{"admin"});
}

TEST_F(LoginTest, VersionMismatchEndsTheLoginWithItsMessage) {
    struct Case {
        uint8_t status;
        LoginResult result;
        const char* message;
    };
    const Case cases[] = {
        {0xFF, LoginResult::kClientVersionHigher, res::kClientVersionHigher},
        {0xFE, LoginResult::kServerVersionHigher, res::kServerVersionHigher},
    };
    for (const Case& c : cases) {
        config.versionStatus = c.status;
        StartDevice();
        LoginSequence login(&settings, timing);
        ASSERT_TRUE(login.Connect(config.listenAddress));
        EXPECT_EQ(login.Login(As("admin", "admin123")), c.result);
        EXPECT_FALSE(IsRefusal(c.result));
        EXPECT_STREQ(LoginResultMessage(c.result), c.message);
        // The key request never went out.
        EXPECT_TRUE(Received(msg::kKeyRequest).empty());
        login.Exit();
        device.reset();
    }
}

TEST_F(LoginTest, SilentDeviceTimesOutAtEachStep) {
    timing.replyTimeoutMs = 300;
    for (uint8_t silent : {msg::kVersionCheck, msg::kKeyRequest, msg::kLogin}) {
        SCOPED_TRACE(int(silent));
        config.faults.silent = {silent};
        StartDevice();
        LoginSequence login(&settings, timing);
        ASSERT_TRUE(login.Connect(config.listenAddress));
        EXPECT_EQ(login.Login(As("admin", "admin123")), LoginResult::kTimeout);
        EXPECT_STREQ(LoginResultMessage(LoginResult::kTimeout), res::kCommTimeout);
        login.Exit();
        device.reset();
    }
    // A failed login writes no placement back: the saved one must survive.
    EXPECT_EQ(settings.GetWidth(), 800);
    std::ifstream file(folder.File("config.ini"));
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text.find("MAINWNDPOSITION"), std::string::npos);
}

TEST_F(LoginTest, DeviceThatClosesDuringTheLoginTimesOutWithEmptySlots) {
    timing.replyTimeoutMs = 300;
    config.faults.closeAfterMessages = 1;
    StartDevice();
    LoginSequence login(nullptr, timing);
    ASSERT_TRUE(login.Connect(config.listenAddress));
    EXPECT_EQ(login.Login(As("admin", "admin123")), LoginResult::kTimeout);
    EXPECT_EQ(login.session().handler(), nullptr);
    EXPECT_EQ(login.session().heartbeatHandler(), nullptr);
    EXPECT_FALSE(login.session().IsControlOpen());
}

TEST_F(LoginTest, ExitWithoutALoginSendsNoLogoutRecord) {
    StartDevice();
    {
        LoginSequence login(&settings, timing);  // the first login dialog was cancelled
        login.Exit();
    }
    {
        LoginSequence login(&settings, timing);
        ASSERT_TRUE(login.Connect(config.listenAddress));
        ASSERT_EQ(login.Login(As("admin", "badpassword")), LoginResult::kBadCredentials);
        login.Exit();
    }
    EXPECT_TRUE(Received(msg::kLoginRecord).empty());
    EXPECT_TRUE(device->UserLog().empty());
}

TEST_F(LoginTest, SixteenCharacterUserNameIsSentAndRememberedWhole) {
    config.accounts.push_back({"abcdefghijklmnop", "password16", sim::kOrdinaryUser});
    StartDevice();
    LoginSequence login(&settings, timing);
    ASSERT_TRUE(login.Connect(config.listenAddress));
    ASSERT_EQ(login.Login(As("abcdefghijklmnop", "password16")), LoginResult::kAccepted);
    login.AdoptAcceptedLogin();
    EXPECT_EQ(login.info()->userNameLength, 16);
    EXPECT_EQ(RecentUsers(), std::vector<std::string>{"abcdefghijklmnop"});
}

TEST_F(LoginTest, UnreachableDeviceFailsToConnectAndIsNotRemembered) {
    LoginSequence login(&settings, timing);
    EXPECT_FALSE(login.Connect(config.listenAddress));  // nothing listens there
    EXPECT_TRUE(RecentAddresses().empty());
}

}  // namespace
}  // namespace vantelsor::test
