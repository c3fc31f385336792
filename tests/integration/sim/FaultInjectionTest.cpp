// How the simulated device cuts a client's stream (framing faults, messages
// split over several reads) and what each injected fault does.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "SimTestSupport.h"
#include "protocol/MessageTypes.h"
#include "support/TestAddress.h"

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

// A plain socket, for replies that the client's own framing would cut apart.
class RawConnection {
  public:
    ~RawConnection() {
        if (fd_ != -1) ::close(fd_);
    }
    bool Connect(uint32_t address, uint16_t port) {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in sa{};
        sa.sin_family = AF_INET;
        sa.sin_addr.s_addr = htonl(address);
        sa.sin_port = htons(port);
        return ::connect(fd_, reinterpret_cast<const sockaddr*>(&sa), sizeof sa) == 0;
    }
    // As much as the socket takes, until the device closes it; the bytes sent.
    size_t Flood(const Bytes& pattern, size_t total) {
        Bytes chunk;
        while (chunk.size() < 4096) chunk.insert(chunk.end(), pattern.begin(), pattern.end());
        size_t sent = 0;
        while (sent < total) {
            const ssize_t n = ::send(fd_, chunk.data(), chunk.size(), MSG_NOSIGNAL);
            if (n <= 0) break;
            sent += static_cast<size_t>(n);
        }
        return sent;
    }
    void Send(const Bytes& bytes) {
        ASSERT_EQ(::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL),
                  static_cast<ssize_t>(bytes.size()));
    }
    // Up to n bytes: fewer when the device closes or stays silent for timeoutMs.
    Bytes Read(size_t n, uint32_t timeoutMs = kWaitMs) {
        Bytes got;
        while (got.size() < n) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, static_cast<int>(timeoutMs)) != 1) break;
            uint8_t buffer[256];
            const ssize_t r = ::recv(fd_, buffer, std::min(sizeof buffer, n - got.size()), 0);
            if (r <= 0) break;
            got.insert(got.end(), buffer, buffer + r);
        }
        return got;
    }

  private:
    int fd_ = -1;
};

class FaultInjectionTest : public SimTest {};

TEST_F(FaultInjectionTest, UnknownTypeDiscardsTheBufferedBytesAndKeepsTheConnection) {
    Start(Config());
    auto client = Connect();
    // One write: a heartbeat, an unknown type, then a heartbeat that the device
    // cannot tell from the rest of the broken message.
    client->Send(Bytes{msg::kHeartbeat, 0, 0x5A, 1, msg::kHeartbeat, 0});
    EXPECT_TRUE(HasEntry(*device_, "framing error 0x5A (4 bytes discarded)"));
    EXPECT_EQ(device_->FramingErrors(), 1);
    // Sent only now, so that it cannot be part of the discarded bytes.
    EXPECT_EQ(client->MessagesBefore(kVersionCheck), std::vector<Bytes>{kHeartbeatReply});

    client->Send(Bytes{0x00});
    ASSERT_TRUE(device_->WaitForStatus([](const sim::SimStatus& s) { return s.framingErrors == 2; },
                                       kWaitMs));
    EXPECT_EQ(device_->OpenConnections(), 1);
    const auto entries = device_->Trace();
    EXPECT_EQ(std::count_if(entries.begin(), entries.end(),
                            [](const sim::TraceEntry& e) { return e.type == 0x5A; }),
              1);
}

TEST_F(FaultInjectionTest, MessagesSplitAcrossReadsWaitForTheirRest) {
    Start(Config());
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

    const auto entries = device_->Trace();
    const auto firmware =
        std::find_if(entries.begin(), entries.end(),
                     [](const sim::TraceEntry& e) { return e.type == msg::kFirmwareBlock; });
    ASSERT_NE(firmware, entries.end());
    EXPECT_EQ(firmware->bytes, block);
    EXPECT_EQ(firmware->text, "B4 firmware block index 59624 n 2997 -> out of order");
    EXPECT_EQ(device_->FramingErrors(), 0);
}

TEST_F(FaultInjectionTest, SilentTypeGetsNoReplyButIsActedOn) {
    sim::SimConfig config = Config();
    config.faults.silent = {msg::kHeartbeat, msg::kLogin};
    Start(config);
    auto client = Connect();
    ASSERT_TRUE(client->Prepare());
    client->Send(kHeartbeat);
    client->Send(
        login::BuildLogin(client->key(), login::MakeField("admin"), login::MakeField("admin123")));
    EXPECT_EQ(client->MessagesBefore(kVersionCheck), std::vector<Bytes>{});
    EXPECT_TRUE(HasEntry(*device_, "AD heartbeat [silent]"));
    EXPECT_TRUE(HasEntry(*device_, "A3 login user=admin len=5 -> 0x81 [silent]"));
    EXPECT_EQ(device_->Status().loggedIn, 1);
}

TEST_F(FaultInjectionTest, DelayedReplyHoldsUpNothingElse) {
    sim::SimConfig config = Config();
    config.faults.delayMs = {{msg::kVersionCheck, 3000}};
    Start(config);
    auto slow = Connect();
    auto other = Connect();
    slow->Send(kVersionCheck);
    slow->Send(kHeartbeat);
    other->Send(kHeartbeat);
    // Both heartbeats are answered while the version check waits.
    EXPECT_EQ(other->Next(), kHeartbeatReply);
    EXPECT_EQ(slow->Next(), kHeartbeatReply);
    EXPECT_EQ(slow->Next(), (Bytes{msg::kVersionCheck, 0}));
    EXPECT_TRUE(HasEntry(*device_, "A1 version check 0x0100 -> 0x00 [delay 3000 ms]"));
}

TEST_F(FaultInjectionTest, CloseAfterDropsTheConnectionOnItsNthMessage) {
    sim::SimConfig config = Config();
    config.faults.closeAfterMessages = 3;
    Start(config);
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
    EXPECT_TRUE(HasEntry(*device_, "A2 key request [close-after 3: closed]"));
    EXPECT_EQ(device_->OpenConnections(), 0);
}

TEST_F(FaultInjectionTest, GarbageReplacesTheReply) {
    sim::SimConfig config = Config();
    config.faults.garbage = {{msg::kVersionCheck, 7}};
    Start(config);
    RawConnection raw;
    ASSERT_TRUE(raw.Connect(TestAddress(), device_->ControlPort()));
    raw.Send(kVersionCheck);
    raw.Send(kHeartbeat);
    // Seven bytes in place of the two-byte reply, then the heartbeat's.
    const Bytes got = raw.Read(9);
    ASSERT_EQ(got.size(), 9u);
    EXPECT_EQ(Bytes(got.begin() + 7, got.end()), kHeartbeatReply);
    raw.Send(kHeartbeat);
    EXPECT_EQ(raw.Read(2), kHeartbeatReply);
    EXPECT_TRUE(HasEntry(*device_, "A1 version check 0x0100 -> 0x00 [garbage 7 bytes]"));
}

TEST_F(FaultInjectionTest, FloodOfDelayedRepliesClosesTheConnectionInsteadOfGrowing) {
    sim::SimConfig config = Config();
    config.faults.delayMs = {{msg::kHeartbeat, 600000}};
    config.traceCapacity = 16;
    Start(config);
    RawConnection flooder;
    ASSERT_TRUE(flooder.Connect(TestAddress(), device_->ControlPort()));
    auto bystander = Connect();
    ASSERT_TRUE(device_->WaitForStatus(
        [](const sim::SimStatus& s) { return s.openConnections == 2; }, kWaitMs));
    // Each heartbeat leaves two reply bytes waiting: far more than a device keeps.
    flooder.Flood(kHeartbeat, size_t{4} << 20);
    ASSERT_TRUE(device_->WaitForStatus(
        [](const sim::SimStatus& s) { return s.openConnections == 1; }, kWaitMs));
    bystander->Send(kVersionCheck);
    EXPECT_EQ(bystander->Next(), (Bytes{msg::kVersionCheck, 0}));
}

}  // namespace
}  // namespace vantelsor::test
