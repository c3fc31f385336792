// What the simulated device decides at login: which credentials it accepts,
// who gets the operation right, and the refusals for a user already logged in
// and for a device without a free slot.
#include <gtest/gtest.h>

#include "protocol/MessageTypes.h"
#include "support/SimFixture.h"

namespace vantelsor::test {
namespace {

using login::kControlRightBit;
using sim::kAdministrator;
using sim::kOrdinaryUser;

class SimLoginTest : public SimFixture {
  protected:
    // Waits until the device has taken note of every closed connection.
    void WaitLoggedIn(int count) {
        ASSERT_TRUE(device->WaitForStatus(
            [&](const sim::SimStatus& s) { return s.loggedIn == count; }, kWaitMs))
            << "logged in: " << device->Status().loggedIn << ", expected " << count;
    }
};

TEST_F(SimLoginTest, StatusFollowsNameAndPasswordExactly) {
    config.accounts.push_back({"sixteen-byte-usr", "0123456789abcdef", kAdministrator});
    StartDevice();
    struct Case {
        const char* user;
        const char* password;
        int status;
    } cases[] = {
        {"admin", "admin123", kAdministrator | kControlRightBit},
        {"user", "user1234", kOrdinaryUser | kControlRightBit},
        {"sixteen-byte-usr", "0123456789abcdef", kAdministrator | kControlRightBit},
        {"admin", "wrong", login::kStatusBadPassword},
        {"admin", "admin12", login::kStatusBadPassword},    // a prefix of the password
        {"admin", "admin1234", login::kStatusBadPassword},  // the password and more
        {"user", "admin123", login::kStatusBadPassword},    // another account's password
        {"admin", "", login::kStatusBadPassword},
        {"nobody", "admin123", login::kStatusBadUser},
        {"admi", "admin123", login::kStatusBadUser},  // a prefix of a name
        {"Admin", "admin123", login::kStatusBadUser},
        {"", "admin123", login::kStatusBadUser},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.user) + "/" + c.password);
        // One connection each: every accepted login starts with the right free.
        auto client = Connect();
        EXPECT_EQ(client->Login(c.user, c.password), c.status);
        client.reset();
        WaitLoggedIn(0);
    }
}

TEST_F(SimLoginTest, LengthsBeyondTheFieldAreRefused) {
    config.accounts = {{"sixteen-byte-usr", "0123456789abcdef", kAdministrator}};
    StartDevice();
    login::PlainField user = login::MakeField("sixteen-byte-usr");
    login::PlainField password = login::MakeField("0123456789abcdef");

    // The field's 16 bytes are right, the lengths claim more than a field holds.
    login::PlainField longUser = user;
    longUser.length = 17;
    EXPECT_EQ(Connect()->LoginFields(longUser, password), login::kStatusBadUser);
    login::PlainField longPassword = password;
    longPassword.length = 0xFFFF;
    EXPECT_EQ(Connect()->LoginFields(user, longPassword), login::kStatusBadPassword);
    WaitLoggedIn(0);
    EXPECT_EQ(Connect()->LoginFields(user, password), kAdministrator | kControlRightBit);
}

TEST_F(SimLoginTest, LoginIsDecipheredWithTheConnectionsOwnKey) {
    StartDevice();
    auto first = Connect();
    auto second = Connect();
    ASSERT_TRUE(first->Prepare());
    ASSERT_TRUE(second->Prepare());
    EXPECT_NE(first->key(), second->key()) << "a fresh key for every connection";

    // A login enciphered under the other connection's key reads as garbage.
    second->Send(
        login::BuildLogin(first->key(), login::MakeField("admin"), login::MakeField("admin123")));
    EXPECT_EQ(second->Next(), (Bytes{msg::kLogin, login::kStatusBadUser}));
    second->Send(
        login::BuildLogin(second->key(), login::MakeField("admin"), login::MakeField("admin123")));
    EXPECT_EQ(second->Next(), (Bytes{msg::kLogin, kAdministrator | kControlRightBit}));
}

TEST_F(SimLoginTest, FixedKeyIsHandedToEveryConnection) {
    const SessionKey key{0x13, 0x34, 0x57, 0x79, 0x9B, 0xBC, 0xDF, 0xF1};
    config.fixedKey = key;
    StartDevice();
    for (int i = 0; i < 2; ++i) {
        auto client = Connect();
        client->Send(login::BuildKeyRequest());
        const auto reply = login::BuildKeyReply(key);
        EXPECT_EQ(client->Next(), Bytes(reply.begin(), reply.end()));
    }
}

TEST_F(SimLoginTest, OnlyTheFirstUserGetsTheOperationRight) {
    StartDevice();
    auto admin = LogIn("admin", "admin123", kAdministrator | kControlRightBit);
    auto user = LogIn("user", "user1234", kOrdinaryUser);
    EXPECT_EQ(device->Status().controlHolder, 1);
    EXPECT_EQ(device->Status().loggedIn, 2);
}

TEST_F(SimLoginTest, SameUserOnAnotherConnectionIsRefusedUntilTheFirstLeaves) {
    StartDevice();
    auto first = LogIn("admin", "admin123", kAdministrator | kControlRightBit);
    auto second = LogIn("admin", "admin123", login::kStatusAlreadyLoggedIn);
    // The refused connection is not logged in: its lock-state poll goes unanswered.
    second->Send({msg::kLockState, 0});
    EXPECT_EQ(second->MessagesBeforeHeartbeat(), std::vector<Bytes>{});
    EXPECT_EQ(device->Status().loggedIn, 1);

    first->Close();
    WaitLoggedIn(0);
    // The slot and the operation right left with the first connection.
    EXPECT_EQ(second->Login("admin", "admin123"), kAdministrator | kControlRightBit);
}

TEST_F(SimLoginTest, RepeatedLoginOnTheSameConnectionIsNotADuplicate) {
    StartDevice();
    auto client = LogIn("admin", "admin123", kAdministrator | kControlRightBit);
    EXPECT_EQ(client->Login("admin", "admin123"), kAdministrator | kControlRightBit);
    EXPECT_EQ(device->Status().loggedIn, 1);
    // A failed second login ends the first one.
    EXPECT_EQ(client->Login("admin", "wrong"), login::kStatusBadPassword);
    EXPECT_EQ(device->Status().loggedIn, 0);
    EXPECT_EQ(device->Status().controlHolder, std::nullopt);
}

TEST_F(SimLoginTest, NoFreeSlotUntilSomeoneLeaves) {
    config.loginSlots = 2;
    config.accounts.push_back({"guest", "guest123", kOrdinaryUser});
    StartDevice();
    auto admin = LogIn("admin", "admin123", kAdministrator | kControlRightBit);
    auto user = LogIn("user", "user1234", kOrdinaryUser);
    auto guest = LogIn("guest", "guest123", login::kStatusNoFreeSlot);
    // Wrong credentials are still told apart from a full device.
    EXPECT_EQ(Connect()->Login("guest", "nope"), login::kStatusBadPassword);

    user.reset();
    WaitLoggedIn(1);
    EXPECT_EQ(guest->Login("guest", "guest123"), kOrdinaryUser);
}

TEST_F(SimLoginTest, ForcedStatusesOverrideTheDevicesVerdict) {
    config.versionStatus = login::kStatusServerHigher;
    config.loginStatus = 0x05;  // a refusal the client has no message for
    StartDevice();
    auto client = Connect();
    client->Send(login::BuildVersionCheck());
    EXPECT_EQ(client->Next(), (Bytes{msg::kVersionCheck, login::kStatusServerHigher}));
    EXPECT_EQ(client->Login("admin", "admin123"), 0x05);
    EXPECT_EQ(device->Status().loggedIn, 0);
}

TEST_F(SimLoginTest, ForcedAcceptanceLogsTheConnectionIn) {
    config.loginStatus = kOrdinaryUser;  // accepted, without the operation right
    StartDevice();
    auto client = LogIn("whoever", "whatever", kOrdinaryUser);
    client->Send({msg::kLockState, 0});
    EXPECT_EQ(client->Next(), (Bytes{msg::kLockState, 0x00}));
    EXPECT_EQ(device->Status().controlHolder, std::nullopt);
}

}  // namespace
}  // namespace vantelsor::test
