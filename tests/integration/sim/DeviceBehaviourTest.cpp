// What the simulated device does for logged-in clients: the operation right
// moving between them, the lock LEDs, the user log, the reboot, and what it
// refuses to do for a connection that has not logged in.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "LoginRecords.h"
#include "input/KeyboardEncoder.h"
#include "input/VirtualKeys.h"
#include "protocol/InputMessages.h"
#include "protocol/MessageTypes.h"
#include "support/SimFixture.h"
#include "support/TestAddress.h"

namespace vantelsor::test {
namespace {

using login::kControlRightBit;
using sim::kAdministrator;
using sim::kOrdinaryUser;

const Bytes kControlRequest{msg::kControlRequest, 0};
const Bytes kGranted{msg::kControlRequest, msg::kStatusOk};
const Bytes kRightLost{msg::kControlLost, 0};

bool HasEntry(const sim::DeviceSim& device, int connection, const std::string& text) {
    return device.WaitForTrace(
        [&](const sim::TraceEntry& e) { return e.connection == connection && e.text == text; },
        kWaitMs);
}

class DeviceBehaviourTest : public SimFixture {};

TEST_F(DeviceBehaviourTest, OperationRightMovesToTheRequesterAndThePreviousHolderIsTold) {
    StartDevice();
    auto admin = LogIn("admin", "admin123", kAdministrator | kControlRightBit);  // conn=1
    auto user = LogIn("user", "user1234", kOrdinaryUser);                        // conn=2

    user->Send(kControlRequest);
    EXPECT_EQ(user->Next(), kGranted);
    EXPECT_EQ(admin->Next(), kRightLost);
    EXPECT_EQ(device->Status().controlHolder, 2);
    EXPECT_TRUE(HasEntry(*device, 2, "A9 control request -> 0x00 (taken from conn=1)"));
    admin->Send(kRightLost);
    EXPECT_TRUE(HasEntry(*device, 1, "AF ack"));

    // And back: now the user is told.
    admin->Send(kControlRequest);
    EXPECT_EQ(admin->Next(), kGranted);
    EXPECT_EQ(user->Next(), kRightLost);
    EXPECT_EQ(device->Status().controlHolder, 1);

    // The holder asking again keeps it, and nobody else hears of it.
    admin->Send(kControlRequest);
    EXPECT_EQ(admin->Next(), kGranted);
    EXPECT_EQ(user->MessagesBeforeHeartbeat(), std::vector<Bytes>{});
    EXPECT_TRUE(HasEntry(*device, 1, "A9 control request -> 0x00 (already held)"));

    // An acknowledgement nobody asked for is recorded as such.
    admin->Send(kRightLost);
    EXPECT_TRUE(HasEntry(*device, 1, "AF ack (not asked)"));
}

TEST_F(DeviceBehaviourTest, BusyRightIsRefusedAndStaysWithItsHolder) {
    config.controlBusy = true;
    StartDevice();
    auto admin = LogIn("admin", "admin123", kAdministrator | kControlRightBit);
    auto user = LogIn("user", "user1234", kOrdinaryUser);
    user->Send(kControlRequest);
    EXPECT_EQ(user->Next(), (Bytes{msg::kControlRequest, msg::kStatusRefused}));
    EXPECT_EQ(admin->MessagesBeforeHeartbeat(), std::vector<Bytes>{});
    EXPECT_EQ(device->Status().controlHolder, 1);
}

TEST_F(DeviceBehaviourTest, HolderThatDisconnectsFreesTheRight) {
    StartDevice();
    auto admin = LogIn("admin", "admin123", kAdministrator | kControlRightBit);
    auto user = LogIn("user", "user1234", kOrdinaryUser);
    admin.reset();
    ASSERT_TRUE(
        device->WaitForStatus([](const sim::SimStatus& s) { return s.loggedIn == 1; }, kWaitMs));
    EXPECT_EQ(device->Status().controlHolder, std::nullopt);
    user->Send(kControlRequest);
    EXPECT_EQ(user->Next(), kGranted);
    EXPECT_EQ(device->Status().controlHolder, 2);
}

TEST_F(DeviceBehaviourTest, LockStateCarriesTheLedsInBothNibbles) {
    config.lockLeds = 5;  // NumLock and ScrollLock
    StartDevice();
    auto client = LogIn("user", "user1234", kOrdinaryUser | kControlRightBit);
    const Bytes poll{msg::kLockState, 0};
    client->Send(poll);
    EXPECT_EQ(client->Next(), (Bytes{msg::kLockState, 0x55}));
    struct Case {
        uint8_t leds;
        uint8_t status;
    } cases[] = {{0, 0x00}, {2, 0x22}, {7, 0x77}, {0xFA, 0x22}};  // only three LEDs exist
    for (const Case& c : cases) {
        device->SetLockLeds(c.leds);
        client->Send(poll);
        EXPECT_EQ(client->Next(), (Bytes{msg::kLockState, c.status})) << int{c.leds};
    }
}

TEST_F(DeviceBehaviourTest, LoginRecordsGoToTheUserLog) {
    StartDevice();
    auto client = LogIn("admin", "admin123", kAdministrator | kControlRightBit);
    const login::LoginRecord logout =
        MakeRecord(2026, 12, 10, 5, 7, {10, 0, 0, 1}, "admin", login::kEventLogout);
    client->Send(login::BuildLoginRecord(logout));

    // A hostile record: a name length beyond its field, bytes that are not text.
    login::LoginRecord odd = logout;
    odd.user.bytes = {'a', '\n', 0x01, 'b'};
    odd.user.length = 40;
    odd.event = 9;
    client->Send(login::BuildLoginRecord(odd));

    EXPECT_TRUE(HasEntry(*device, 1, "AA record 2026-12-10 05:07 10.0.0.1 admin logout"));
    EXPECT_TRUE(HasEntry(
        *device, 1,
        R"(AA record 2026-12-10 05:07 10.0.0.1 a\x0A\x01b\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00 (len=40) event=9)"));
    const auto log = device->UserLog();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].year, 2026);
    EXPECT_EQ(log[0].minute, 7);
    EXPECT_EQ(log[0].clientAddress, logout.clientAddress);
    EXPECT_EQ(log[0].user.length, 5);
    EXPECT_EQ(log[0].user.bytes, logout.user.bytes);
    EXPECT_EQ(log[0].event, login::kEventLogout);
    EXPECT_EQ(log[1].event, 9);
}

TEST_F(DeviceBehaviourTest, ConnectionThatHasNotLoggedInGetsOnlyTheLoginExchangeAndHeartbeat) {
    StartDevice();
    auto client = Connect();
    ASSERT_TRUE(client->Prepare());
    client->Send(kControlRequest);
    client->Send({msg::kLockState, 0});
    client->Send({msg::kControlLost, 0});
    client->Send(login::BuildLoginRecord({}));
    client->Send({msg::kReboot, 0});
    EXPECT_EQ(client->MessagesBeforeHeartbeat(), std::vector<Bytes>{});

    for (const char* text : {"A9 control request: not logged in", "B1 lock state: not logged in",
                             "AF ack: not logged in", "AA record: not logged in",
                             "B0 reboot: not logged in", "AD heartbeat"}) {
        EXPECT_TRUE(HasEntry(*device, 1, text)) << text;
    }
    EXPECT_TRUE(device->UserLog().empty());
    const sim::SimStatus status = device->Status();
    EXPECT_EQ(status.reboots, 0);
    EXPECT_TRUE(status.listening);
    EXPECT_EQ(status.openConnections, 1);
}

TEST_F(DeviceBehaviourTest, UnhandledAndInputMessagesAreTracedAndUnanswered) {
    StartDevice();
    auto client = LogIn("admin", "admin123", kAdministrator | kControlRightBit);
    Bytes key(18, 0);  // eight zero set 2 bytes: the release of Pause
    key[0] = msg::kKeyboard;
    client->Send(key);
    Bytes pointer(10, 0);
    pointer[0] = msg::kMouse;
    pointer[9] = 1;  // not the sum of the zero bytes
    client->Send(pointer);
    EXPECT_EQ(client->MessagesBeforeHeartbeat(), std::vector<Bytes>{});
    for (const char* text :
         {"E8 keyboard set2 00 00 00 00 00 00 00 00 key 0x13 up report 00 00 00 00 00 00 00 00",
          "EF mouse: bad checksum, ignored"}) {
        EXPECT_TRUE(HasEntry(*device, 1, text)) << text;
    }
    EXPECT_EQ(device->FramingErrors(), 0);
}

TEST_F(DeviceBehaviourTest, TargetInputComesOnlyFromTheHolderSealedWithItsKey) {
    config.fixedKey = SessionKey{0x31, 0x41, 0x59, 0x26, 0x53, 0x58, 0x97, 0x93};
    StartDevice();
    auto admin = LogIn("admin", "admin123", kAdministrator | kControlRightBit);
    auto user = LogIn("user", "user1234", kOrdinaryUser);
    KeyboardEncoder keys;
    input::KeyMessageBytes plain, sealed;
    int length = 0;
    auto press = [&](int key, const SessionKey& sealWith) {
        keys.BuildKeyMessage(key, true, &plain, &length);
        input::SealKeyMessage(sealWith, plain, &sealed);
        return Bytes(sealed.begin(), sealed.end());
    };
    admin->Send(press(vk::kCapital, *config.fixedKey));
    admin->Send(press('A', *config.fixedKey));
    admin->Send(press('B', SessionKey{1, 2, 3, 4, 5, 6, 7, 8}));
    user->Send(press('C', *config.fixedKey));
    ASSERT_TRUE(HasEntry(*device, 1, "E9 keyboard sealed: bad checksum, ignored"));
    ASSERT_TRUE(HasEntry(*device, 2, "E9 keyboard sealed: no operation right, ignored"));
    // CapsLock turned the LED on, so the unshifted A is a capital.
    EXPECT_EQ(device->TypedText(), "A");
    EXPECT_EQ(device->LockLeds(), 2);
    user->Send({msg::kLockState, 0});
    EXPECT_EQ(user->Next(), (Bytes{msg::kLockState, 0x22}));
}

TEST_F(DeviceBehaviourTest, RebootDropsEveryoneAndComesBack) {
    config.rebootDelayMs = 2000;
    StartDevice();
    auto admin = LogIn("admin", "admin123", kAdministrator | kControlRightBit);
    auto user = LogIn("user", "user1234", kOrdinaryUser);
    auto bystander = Connect();  // connected, not logged in
    ASSERT_TRUE(device->WaitForStatus(
        [](const sim::SimStatus& s) { return s.openConnections == 3; }, kWaitMs));

    user->Send({msg::kReboot, 0});
    EXPECT_TRUE(admin->WaitClosed());
    EXPECT_TRUE(user->WaitClosed());
    EXPECT_TRUE(bystander->WaitClosed());
    EXPECT_TRUE(HasEntry(*device, 2, "B0 reboot"));
    const sim::SimStatus rebooting = device->Status();
    EXPECT_EQ(rebooting.reboots, 1);
    EXPECT_EQ(rebooting.openConnections, 0);
    EXPECT_EQ(rebooting.loggedIn, 0);
    if (!rebooting.listening) {
        // Nobody gets in while the device restarts.
        SimClient early;
        EXPECT_FALSE(early.Connect(TestAddress(), device->ControlPort()));
    }

    ASSERT_TRUE(
        device->WaitForStatus([](const sim::SimStatus& s) { return s.listening; }, kWaitMs));
    // A fresh device: the first login after the restart holds the right again.
    auto again = LogIn("user", "user1234", kOrdinaryUser | kControlRightBit);
    EXPECT_EQ(device->Status().controlHolder, 4);
}

TEST_F(DeviceBehaviourTest, TraceFileGetsEveryLineButNoPassword) {
    const std::string path = ::testing::TempDir() + "sim_trace_" + std::to_string(::getpid());
    {
        std::ofstream previous(path);
        previous << "previous run\n";
    }
    config.tracePath = path;
    StartDevice();
    {
        auto client = LogIn("admin", "admin123", kAdministrator | kControlRightBit);
        client->Send({msg::kHeartbeat, 0});
        ASSERT_TRUE(client->Next());
    }
    const std::vector<sim::TraceEntry> trace = device->Trace();
    device->Stop();

    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    std::remove(path.c_str());
    const std::string lines = text.str();
    EXPECT_EQ(lines.rfind("previous run\n", 0), 0u) << "the file is appended to";
    EXPECT_NE(lines.find("conn=1 connected from "), std::string::npos) << lines;
    EXPECT_NE(lines.find("\nconn=1 A3 login user=admin len=5 -> 0x81\n"), std::string::npos)
        << lines;
    EXPECT_NE(lines.find("\nconn=1 AD heartbeat\n"), std::string::npos) << lines;
    EXPECT_EQ(lines.find("admin123"), std::string::npos) << lines;

    // The recorded login keeps the user field but not the password's.
    const auto login = std::find_if(trace.begin(), trace.end(),
                                    [](const sim::TraceEntry& e) { return e.type == msg::kLogin; });
    ASSERT_NE(login, trace.end());
    ASSERT_EQ(login->bytes.size(), size_t{login::kLoginSize});
    EXPECT_NE(login->bytes[4] | login->bytes[5] | login->bytes[6], 0);
    EXPECT_TRUE(std::all_of(login->bytes.begin() + 22, login->bytes.end(),
                            [](uint8_t b) { return b == 0; }));
}

TEST_F(DeviceBehaviourTest, WaitForTraceCountsMatchingEntries) {
    StartDevice();
    auto client = Connect();
    const auto isHeartbeat = [](const sim::TraceEntry& e) { return e.type == msg::kHeartbeat; };
    client->Send(Bytes{msg::kHeartbeat, 0});
    ASSERT_TRUE(device->WaitForTrace(isHeartbeat, kWaitMs, 1));
    // Other changes wake the waiter too; the one heartbeat must not count twice.
    client->Send(login::BuildVersionCheck());
    ASSERT_TRUE(HasEntry(*device, 1, "A1 version check 0x0100 -> 0x00"));
    EXPECT_FALSE(device->WaitForTrace(isHeartbeat, 0, 2));
    client->Send(Bytes{msg::kHeartbeat, 0});
    EXPECT_TRUE(device->WaitForTrace(isHeartbeat, kWaitMs, 2));
}

TEST_F(DeviceBehaviourTest, TraceKeepsTheNewestEntriesUpToItsCapacity) {
    config.traceCapacity = 3;
    StartDevice();
    auto client = Connect();
    client->Send(Bytes{msg::kHeartbeat, 0, msg::kHeartbeat, 0});
    ASSERT_TRUE(client->Next());
    ASSERT_TRUE(client->Next());
    ASSERT_TRUE(client->Prepare());  // version check, key request
    client->Send(Bytes{msg::kLockState, 0});
    ASSERT_TRUE(HasEntry(*device, 1, "B1 lock state: not logged in"));
    std::vector<uint8_t> types;
    for (const sim::TraceEntry& e : device->Trace()) types.push_back(e.type);
    EXPECT_EQ(types, (std::vector<uint8_t>{msg::kVersionCheck, msg::kKeyRequest, msg::kLockState}));
}

// A second device on the same address: the control port is free, the video port is
// not. It must not start (and share the first one's port, taking its start datagrams).
TEST_F(DeviceBehaviourTest, TakenVideoPortStopsTheStartAndLeavesNothingOpen) {
    StartDevice();
    sim::SimConfig second = config;
    second.controlPort = 0;
    sim::DeviceSim other(second);
    EXPECT_FALSE(other.Start());
    EXPECT_NE(other.StartError().find("cannot bind the video port"), std::string::npos)
        << other.StartError();
    EXPECT_FALSE(other.Status().listening);
    // The first device still serves its clients, and a second start works once the
    // port is free.
    auto client = LogIn("admin", "admin123", kAdministrator | kControlRightBit);
    device->Stop();
    EXPECT_TRUE(other.Start()) << other.StartError();
}

}  // namespace
}  // namespace vantelsor::test
