// How the simulated device cuts a client's stream (framing faults, messages
// split over several reads) and what each injected fault does.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "protocol/MessageTypes.h"
#include "sim/FaultPolicy.h"
#include "support/RawConnection.h"
#include "support/SimFixture.h"

namespace vantelsor::test {
namespace {

using login::kControlRightBit;
using sim::kAdministrator;

const Bytes kHeartbeat{msg::kHeartbeat, 0};
const Bytes kHeartbeatReply{msg::kHeartbeat, 0};
const Bytes kVersionCheck = [] {
    const auto m = login::BuildVersionCheck();
    return Bytes(m.begin(), m.end());
}();

bool HasEntry(const sim::DeviceSim& device, const std::string& text) {
    return device.WaitForTrace([&](const sim::TraceEntry& e) { return e.text == text; }, kWaitMs);
}

class FaultInjectionTest : public SimFixture {};

TEST_F(FaultInjectionTest, UnknownTypeDiscardsTheBufferedBytesAndKeepsTheConnection) {
    StartDevice();
    auto client = Connect();
    // One write: a heartbeat, an unknown type, then a heartbeat that the device
    // cannot tell from the rest of the broken message.
    client->Send(Bytes{msg::kHeartbeat, 0, 0x5A, 1, msg::kHeartbeat, 0});
    EXPECT_TRUE(HasEntry(*device, "framing error 0x5A (4 bytes discarded)"));
    EXPECT_EQ(device->FramingErrors(), 1);
    // Sent only now, so that it cannot be part of the discarded bytes.
    EXPECT_EQ(client->MessagesBefore(kVersionCheck), std::vector<Bytes>{kHeartbeatReply});

    client->Send(Bytes{0x00});
    ASSERT_TRUE(device->WaitForStatus([](const sim::SimStatus& s) { return s.framingErrors == 2; },
                                      kWaitMs));
    EXPECT_EQ(device->OpenConnections(), 1);
    const auto entries = device->Trace();
    EXPECT_EQ(std::count_if(entries.begin(), entries.end(),
                            [](const sim::TraceEntry& e) { return e.type == 0x5A; }),
              1);
}

TEST_F(FaultInjectionTest, MessagesSplitAcrossReadsWaitForTheirRest) {
    StartDevice();
    auto client = Connect();
    ASSERT_TRUE(client->Prepare());
    const auto login =
        login::BuildLogin(client->key(), login::MakeField("admin"), login::MakeField("admin123"));
    const auto pause = [] { std::this_thread::sleep_for(std::chrono::milliseconds(30)); };
    client->Send(Bytes(login.begin(), login.begin() + 1));
    pause();
    client->Send(Bytes(login.begin() + 1, login.begin() + 21));
    pause();
    client->Send(Bytes(login.begin() + 21, login.end()));
    EXPECT_EQ(client->Next(), (Bytes{msg::kLogin, kAdministrator | kControlRightBit}));

    // A firmware block carries its own length; its header too may come in pieces.
    Bytes block{msg::kFirmwareBlock, 0, 0x0B, 0xB8};  // 3000 bytes follow
    block.resize(4 + 3000, 0xE8);
    client->Send(Bytes(block.begin(), block.begin() + 2));
    pause();
    client->Send(Bytes(block.begin() + 2, block.begin() + 1500));
    pause();
    client->Send(Bytes(block.begin() + 1500, block.end()));
    // A block without a started upgrade is answered as out of order (status 2).
    EXPECT_EQ(client->Next(), (Bytes{msg::kFirmwareBlock, 0, 2, 0xE8, 0xE8}));
    // The device reads on in step after the block. The heartbeat goes only after the
    // block's reply is read: that reply takes the rest of a read, so a heartbeat reply
    // arriving in the same read would be taken as part of it.
    client->Send(kHeartbeat);
    EXPECT_EQ(client->Next(), kHeartbeatReply);

    const auto entries = device->Trace();
    const auto firmware =
        std::find_if(entries.begin(), entries.end(),
                     [](const sim::TraceEntry& e) { return e.type == msg::kFirmwareBlock; });
    ASSERT_NE(firmware, entries.end());
    EXPECT_EQ(firmware->bytes, block);
    EXPECT_EQ(firmware->text, "B4 firmware block index 59624 n 2997 -> out of order");
    EXPECT_EQ(device->FramingErrors(), 0);
}

TEST_F(FaultInjectionTest, SilentTypeGetsNoReplyButIsActedOn) {
    config.faults.silent = {msg::kHeartbeat, msg::kLogin};
    StartDevice();
    auto client = Connect();
    ASSERT_TRUE(client->Prepare());
    client->Send(kHeartbeat);
    client->Send(
        login::BuildLogin(client->key(), login::MakeField("admin"), login::MakeField("admin123")));
    EXPECT_EQ(client->MessagesBefore(kVersionCheck), std::vector<Bytes>{});
    EXPECT_TRUE(HasEntry(*device, "AD heartbeat [silent]"));
    EXPECT_TRUE(HasEntry(*device, "A3 login user=admin len=5 -> 0x81 [silent]"));
    EXPECT_EQ(device->Status().loggedIn, 1);
}

TEST_F(FaultInjectionTest, DelayedReplyHoldsUpNothingElse) {
    config.faults.delayMs = {{msg::kVersionCheck, 3000}};
    StartDevice();
    auto slow = Connect();
    auto other = Connect();
    slow->Send(kVersionCheck);
    slow->Send(kHeartbeat);
    other->Send(kHeartbeat);
    // Both heartbeats are answered while the version check waits.
    EXPECT_EQ(other->Next(), kHeartbeatReply);
    EXPECT_EQ(slow->Next(), kHeartbeatReply);
    EXPECT_EQ(slow->Next(), (Bytes{msg::kVersionCheck, 0}));
    EXPECT_TRUE(HasEntry(*device, "A1 version check 0x0100 -> 0x00 [delay 3000 ms]"));
}

TEST_F(FaultInjectionTest, CloseAfterDropsTheConnectionOnItsNthMessage) {
    config.faults.closeAfterMessages = 3;
    StartDevice();
    auto first = Connect();
    auto second = Connect();
    for (SimClient* client : {first.get(), second.get()}) {
        client->Send(kVersionCheck);
        client->Send(kHeartbeat);
        client->Send(login::BuildKeyRequest());  // the third: no reply, closed
        EXPECT_TRUE(client->WaitClosed());
        EXPECT_EQ(client->Next(), (Bytes{msg::kVersionCheck, 0}));
        EXPECT_EQ(client->Next(), kHeartbeatReply);
        EXPECT_EQ(client->Next(0), std::nullopt);
    }
    EXPECT_TRUE(HasEntry(*device, "A2 key request [close-after 3: closed]"));
    EXPECT_EQ(device->OpenConnections(), 0);
}

TEST_F(FaultInjectionTest, GarbageReplacesTheReplyWithTheSeedsBytes) {
    config.faults.garbage = {{msg::kVersionCheck, 7}};
    config.faultSeed = 99;
    StartDevice();
    const sim::FaultPolicy policy(config.faultSeed);
    RawConnection first, second;
    ASSERT_TRUE(first.Connect(config.listenAddress, device->ControlPort()));  // conn=1
    first.Send(kVersionCheck);
    first.Send(kHeartbeat);
    // Seven bytes in place of the two-byte reply, then the heartbeat's.
    const Bytes got = first.Read(9);
    ASSERT_EQ(got.size(), 9u);
    EXPECT_EQ(Bytes(got.begin(), got.begin() + 7), policy.Garbage(1, 1, 7));
    EXPECT_EQ(Bytes(got.begin() + 7, got.end()), kHeartbeatReply);
    // The third message of the connection: other bytes, drawn for its own place.
    first.Send(kVersionCheck);
    EXPECT_EQ(first.Read(7), policy.Garbage(1, 3, 7));
    EXPECT_NE(policy.Garbage(1, 3, 7), policy.Garbage(1, 1, 7));
    ASSERT_TRUE(second.Connect(config.listenAddress, device->ControlPort()));  // conn=2
    second.Send(kVersionCheck);
    EXPECT_EQ(second.Read(7), policy.Garbage(2, 1, 7));
    EXPECT_TRUE(HasEntry(*device, "A1 version check 0x0100 -> 0x00 [garbage 7 bytes]"));
}

TEST_F(FaultInjectionTest, FloodOfDelayedRepliesClosesTheConnectionInsteadOfGrowing) {
    config.faults.delayMs = {{msg::kHeartbeat, 600000}};
    config.traceCapacity = 16;
    StartDevice();
    RawConnection flooder;
    ASSERT_TRUE(flooder.Connect(config.listenAddress, device->ControlPort()));
    auto bystander = Connect();
    ASSERT_TRUE(device->WaitForStatus(
        [](const sim::SimStatus& s) { return s.openConnections == 2; }, kWaitMs));
    // Each heartbeat leaves two reply bytes waiting: far more than a device keeps.
    flooder.Flood(kHeartbeat, size_t{4} << 20);
    ASSERT_TRUE(device->WaitForStatus(
        [](const sim::SimStatus& s) { return s.openConnections == 1; }, kWaitMs));
    bystander->Send(kVersionCheck);
    EXPECT_EQ(bystander->Next(), (Bytes{msg::kVersionCheck, 0}));
}

}  // namespace
}  // namespace vantelsor::test
