// The login against a peer that does not follow the protocol: garbage, replies
// cut short, replies of the wrong type. Nothing may crash, hang or succeed.
#include <gtest/gtest.h>

#include <random>
#include <thread>

#include "Hex.h"
#include "LoopbackServer.h"
#include "net/NetSession.h"
#include "session/LoginSequence.h"

namespace vantelsor::test {
namespace {

class HostileDeviceTest : public ::testing::Test {
  protected:
    HostileDeviceTest() { timing.replyTimeoutMs = 300; }

    // Runs a login while `device` plays the peer on the server side.
    template <typename Device>
    LoginResult LoginAgainst(Device device) {
        LoginSequence login(nullptr, timing);
        EXPECT_TRUE(login.Connect(server.address(), server.port()));
        EXPECT_TRUE(server.Accept());
        std::thread peer([&] { device(server); });
        Credentials c;
        c.deviceAddress = server.address();
        c.user = "admin";
        c.password = "admin123";
        const LoginResult result = login.Login(c);
        peer.join();
        login.Exit();
        handlerAfterExit = login.session().handler();
        return result;
    }

    LoopbackServer server;
    KNetHandler* handlerAfterExit = nullptr;
    Timing timing;
};

TEST_F(HostileDeviceTest, GarbageStreamTimesOut) {
    const LoginResult r = LoginAgainst([](LoopbackServer& s) {
        s.Receive(4);
        std::mt19937 random(7);
        std::vector<uint8_t> garbage(70000);
        for (auto& b : garbage) b = static_cast<uint8_t>(random());
        garbage[0] = 0x13;  // not a version reply
        s.Send(garbage);
    });
    EXPECT_EQ(r, LoginResult::kTimeout);
}

TEST_F(HostileDeviceTest, WrongReplyTypesDoNotCompleteTheExchange) {
    const LoginResult r = LoginAgainst([](LoopbackServer& s) {
        s.Receive(4);
        // An accepted login and a key, before the version check was answered.
        s.Send(FromHex("A3 81 A2 00 01 02 03 04 05 06 07 08"));
    });
    EXPECT_EQ(r, LoginResult::kTimeout);
}

TEST_F(HostileDeviceTest, KeyReplyCutShortByAClosingDevice) {
    const LoginResult r = LoginAgainst([](LoopbackServer& s) {
        s.Receive(4);
        s.Send(FromHex("A1 00"));
        s.Receive(10);
        s.Send(FromHex("A2 00 01 02"));
        s.CloseClient();
    });
    EXPECT_EQ(r, LoginResult::kTimeout);
    EXPECT_EQ(handlerAfterExit, nullptr);
}

TEST_F(HostileDeviceTest, OversizedReplyOfAFixedTypeIsCutToItsLength) {
    // The status reply followed by more bytes in the same read: the rest is the
    // next message, and the exchange goes on normally.
    const LoginResult r = LoginAgainst([](LoopbackServer& s) {
        s.Receive(4);
        s.Send(FromHex("A1 00 B7 01 02 03"));
        s.Receive(10);
        s.Send(FromHex("A2 00 00 00 00 00 00 00 00 00"));
        s.Receive(38);
        s.Send(FromHex("A3 FD"));
    });
    EXPECT_EQ(r, LoginResult::kAlreadyLoggedIn);
}

}  // namespace
}  // namespace vantelsor::test
