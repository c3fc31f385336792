// vantelsorctl, the real program, against the simulated device.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "RunProcess.h"
#include "SimFixture.h"
#include "net/AddressText.h"
#include "protocol/MessageTypes.h"
#include "res/Strings.h"
#include "session/LoginSequence.h"

namespace vantelsor::test {
namespace {

class CtlTest : public SimFixture {
  protected:
    ProcessResult Ctl(const std::string& command, const std::string& user = "admin",
                      const std::string& password = "admin123",
                      std::vector<std::string> extra = {}) const {
        std::vector<std::string> args = {"--device",        AddressText(config.listenAddress),
                                         "--user",          user,
                                         "--password",      password,
                                         "--reply-timeout", "2000"};
        args.insert(args.end(), extra.begin(), extra.end());
        args.push_back(command);
        return RunProcess(VANTELSORCTL_PATH, args);
    }
};

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST_F(CtlTest, LoginPrintsTheUserTypeAndLogsOutCleanly) {
    StartDevice();
    ProcessResult r = Ctl("login");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(Contains(r.out, "administrator")) << r.out;
    EXPECT_TRUE(Contains(r.out, "operation right held")) << r.out;
    ASSERT_TRUE(WaitReceived(msg::kLoginRecord, 2));
    EXPECT_EQ(device->UserLog().back().event, login::kEventLogout);
    r = Ctl("login", "user", "user1234", {"--encrypt", "all"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(Contains(r.out, "ordinary user")) << r.out;
}

TEST_F(CtlTest, FailuresExitWithTheirCodeAndTheDevicesMessage) {
    struct Case {
        const char* name;
        void (*shape)(sim::SimConfig*);
        const char* password;
        int exitCode;
        const char* message;
    };
    const Case cases[] = {
        {"bad password", [](sim::SimConfig*) {}, "wrongpass", 1, res::kBadUserOrPassword},
        {"slots full", [](sim::SimConfig* c) { c->loginStatus = 0xFC; }, "admin123", 1,
         res::kLoginSlotsFull},
        {"client version higher", [](sim::SimConfig* c) { c->versionStatus = 0xFF; }, "admin123", 5,
         res::kClientVersionHigher},
        {"silent login", [](sim::SimConfig* c) { c->faults.silent = {msg::kLogin}; }, "admin123", 3,
         res::kCommTimeout},
        {"odd refusal", [](sim::SimConfig* c) { c->loginStatus = 0x07; }, "admin123", 1, "0x07"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        config = sim::SimConfig{};
        config.listenAddress = TestAddress();
        c.shape(&config);
        StartDevice();
        const ProcessResult r = Ctl("login", "admin", c.password);
        EXPECT_EQ(r.exitCode, c.exitCode);
        EXPECT_TRUE(Contains(r.err, c.message)) << r.err;
        device.reset();
    }
}

TEST_F(CtlTest, ConnectionFailureAndUsageErrors) {
    ProcessResult r = Ctl("login");  // no device listens
    EXPECT_EQ(r.exitCode, 4);
    EXPECT_TRUE(Contains(r.err, res::kConnectFailed)) << r.err;

    const std::vector<std::vector<std::string>> usage = {
        {},
        {"--device", "127.0.0.1", "--user", "admin", "--password", "admin123"},
        {"--device", "127.0.0.1", "--user", "admin", "--password", "admin123", "dance"},
        {"--device", "192.168.0.300", "--user", "admin", "--password", "admin123", "login"},
        {"--device", "127.0.0.1", "--user", "abc", "--password", "admin123", "login"},
        {"--device", "127.0.0.1", "--user", "admin", "--password", "12345", "login"},
        {"--device", "127.0.0.1", "--user", "admin", "--password", "admin123", "--encrypt", "rot13",
         "login"},
        {"--device", "127.0.0.1", "--user", "admin", "--password", "admin123", "--reply-timeout",
         "-5", "login"},
        {"--device", "127.0.0.1", "--user", "admin", "--password", "admin123", "--bogus", "login"},
        {"--device", "127.0.0.1", "--user", "admin", "--password"},
    };
    for (const auto& args : usage) {
        r = RunProcess(VANTELSORCTL_PATH, args);
        EXPECT_EQ(r.exitCode, 2) << r.err;
        EXPECT_TRUE(Contains(r.err, "usage:")) << r.err;
    }
    r = RunProcess(VANTELSORCTL_PATH,
                   {"--device", "127.0.0.1", "--user", "abc", "--password", "admin123", "login"});
    EXPECT_TRUE(Contains(r.err, "用户名长度应为4至16字符！")) << r.err;
    r = RunProcess(VANTELSORCTL_PATH,
                   {"--device", "1.2.3.999", "--user", "admin", "--password", "admin123", "login"});
    EXPECT_TRUE(Contains(r.err, res::kInvalidAddress)) << r.err;
}

// The device address is read as the login dialog reads it: the shorter dotted
// forms reach the same device.
TEST_F(CtlTest, TheLoginDialogsAddressFormsReachTheDevice) {
    StartDevice();
    const uint32_t a = config.listenAddress;
    char text[3][32];
    std::snprintf(text[0], sizeof text[0], "127.%u.%u", (a >> 16) & 255, a & 0xFFFF);
    std::snprintf(text[1], sizeof text[1], "127.%u", a & 0xFFFFFF);
    std::snprintf(text[2], sizeof text[2], "0x7f.0x%x.0%o.%u", (a >> 16) & 255, (a >> 8) & 255,
                  a & 255);
    for (const char* address : text) {
        SCOPED_TRACE(address);
        const ProcessResult r =
            RunProcess(VANTELSORCTL_PATH,
                       {"--device", address, "--user", "admin", "--password", "admin123", "login"});
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_TRUE(Contains(r.out, "administrator")) << r.out;
    }
}

TEST_F(CtlTest, TakeControlMovesTheRightOrReportsItBusy) {
    StartDevice();
    // Someone else logs in first and holds the right while the command runs.
    LoginSequence holder(nullptr);
    ASSERT_TRUE(holder.Connect(config.listenAddress));
    Credentials c;
    c.deviceAddress = config.listenAddress;
    c.user = "user";
    c.password = "user1234";
    ASSERT_EQ(holder.Login(c), LoginResult::kAccepted);
    ASSERT_EQ(holder.info()->hasControlRight, 1);

    ProcessResult r = Ctl("take-control");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(Contains(r.out, res::kControlRightGranted)) << r.out;
    // The previous holder was told (0xAF); the real client acknowledges it.
    holder.Exit();

    device.reset();
    config.controlBusy = true;
    StartDevice();
    r = Ctl("take-control");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(Contains(r.err, res::kControlRightBusy)) << r.err;
}

TEST_F(CtlTest, LockStateAndReboot) {
    config.lockLeds = 0x05;
    StartDevice();
    ProcessResult r = Ctl("lock-state");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(Contains(r.out, "NumLock on, CapsLock off, ScrollLock on")) << r.out;

    config.faults.silent = {msg::kLockState};
    device.reset();
    StartDevice();
    r = Ctl("lock-state");
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_TRUE(Contains(r.err, res::kCommTimeout)) << r.err;

    device.reset();
    config.faults.silent.clear();
    StartDevice();
    r = Ctl("reboot");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(WaitReceived(msg::kReboot, 1));
}

}  // namespace
}  // namespace vantelsor::test
