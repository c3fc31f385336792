#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "Hex.h"
#include "LoopbackServer.h"
#include "TestAddress.h"
#include "UdpSender.h"
#include "net/NetSession.h"
#include "net/ScopedHandler.h"

namespace vantelsor::test {
namespace {

// Records every message and accepts those whose type is in `accept`.
class RecordingHandler : public KNetHandler {
  public:
    explicit RecordingHandler(std::vector<uint8_t> accept = {}) : accept_(std::move(accept)) {}
    int OnMessage(const uint8_t* data, int length) override {
        std::lock_guard lock(mutex_);
        messages_.push_back(ToHex(data, length));
        return std::find(accept_.begin(), accept_.end(), data[0]) != accept_.end() ? 1 : 0;
    }
    std::vector<std::string> messages() const {
        std::lock_guard lock(mutex_);
        return messages_;
    }
    // Waits until `count` messages have arrived (the receive thread is asynchronous).
    bool WaitFor(size_t count) const {
        for (int i = 0; i < 500; ++i) {
            if (messages().size() >= count) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

  private:
    std::vector<uint8_t> accept_;
    mutable std::mutex mutex_;
    std::vector<std::string> messages_;
};

template <typename Pred>
bool Eventually(Pred pred) {
    for (int i = 0; i < 500; ++i) {
        if (pred()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

class NetSessionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(session.Connect(server.address(), server.port()));
        ASSERT_TRUE(server.Accept());
    }
    LoopbackServer server;
    NetSession session;
};

TEST_F(NetSessionTest, BothHandlersSeeEveryMessageHeartbeatFirst) {
    RecordingHandler beat({0xAD});
    RecordingHandler main({0xA1});
    session.SetHeartbeatHandler(&beat);
    session.SetHandler(&main);
    session.ResetReply();
    session.ResetHeartbeat();
    server.Send(FromHex("A1 00 AD 00"));
    ASSERT_TRUE(main.WaitFor(2));
    EXPECT_EQ(main.messages(), (std::vector<std::string>{"A1 00", "AD 00"}));
    EXPECT_EQ(beat.messages(), (std::vector<std::string>{"A1 00", "AD 00"}));
    EXPECT_EQ(session.WaitReply(1000), kWaitSignalled);
    EXPECT_EQ(session.WaitHeartbeat(1000), kWaitSignalled);
    session.SetHandler(nullptr);
    session.SetHeartbeatHandler(nullptr);
}

TEST_F(NetSessionTest, HeartbeatReplyDoesNotWakeTheReplyWaiter) {
    RecordingHandler beat({0xAD});
    RecordingHandler main;  // takes nothing
    session.SetHeartbeatHandler(&beat);
    session.SetHandler(&main);
    session.ResetReply();
    session.ResetHeartbeat();
    server.Send(FromHex("AD 00"));
    EXPECT_EQ(session.WaitHeartbeat(2000), kWaitSignalled);
    ASSERT_TRUE(main.WaitFor(1));
    EXPECT_EQ(session.WaitReply(50), kWaitTimeout);
    session.SetHandler(nullptr);
    session.SetHeartbeatHandler(nullptr);
}

TEST_F(NetSessionTest, FixedLengthReplySplitOverTwoReadsArrivesOnceWhole) {
    RecordingHandler main({0xA6});
    session.SetHandler(&main);
    session.ResetReply();
    const auto reply =
        FromHex("A6 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10 11 12 13 14 15 16 17");
    server.Send({reply.begin(), reply.begin() + 10});
    EXPECT_EQ(session.WaitReply(100), kWaitTimeout);
    server.Send({reply.begin() + 10, reply.end()});
    EXPECT_EQ(session.WaitReply(2000), kWaitSignalled);
    EXPECT_EQ(main.messages(), std::vector<std::string>{ToHex(reply)});
    session.SetHandler(nullptr);
}

TEST_F(NetSessionTest, SendWritesEveryByteInOrder) {
    std::vector<uint8_t> big(200000);
    for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<uint8_t>(i * 31);
    auto sent =
        std::async(std::launch::async, [&] { return session.Send(big.data(), big.size()); });
    const auto got = server.Receive(big.size());
    EXPECT_GT(sent.get(), 0);
    EXPECT_EQ(got, big);
}

TEST_F(NetSessionTest, DeviceClosingEmptiesBothSlotsAndPendingWaitTimesOut) {
    RecordingHandler beat({0xAD});
    RecordingHandler main({0xA1});
    session.SetHeartbeatHandler(&beat);
    session.SetHandler(&main);
    session.ResetReply();
    auto wait = std::async(std::launch::async, [&] { return session.WaitReply(300); });
    server.CloseClient();
    EXPECT_EQ(wait.get(), kWaitTimeout);
    EXPECT_TRUE(Eventually([&] { return session.handler() == nullptr; }));
    EXPECT_EQ(session.heartbeatHandler(), nullptr);
    EXPECT_TRUE(Eventually([&] { return !session.IsControlOpen(); }));
    EXPECT_LT(session.Send("\xAD\x00", 2), 0);
}

TEST_F(NetSessionTest, SetHandlerReturnsThePreviousSoNestedOwnersRestoreIt) {
    RecordingHandler outer, inner;
    EXPECT_EQ(session.SetHandler(&outer), nullptr);
    EXPECT_EQ(session.SetHandler(&inner), &outer);
    EXPECT_EQ(session.SetHandler(&outer), &inner);
    EXPECT_EQ(session.SetVideoHandler(&inner), nullptr);
    EXPECT_EQ(session.SetVideoHandler(nullptr), &inner);
    EXPECT_EQ(session.SetHandler(nullptr), &outer);
}

TEST_F(NetSessionTest, ScopedHandlersRestoreTheirPredecessorsInTurn) {
    RecordingHandler base, outer, inner;
    session.SetHandler(&base);
    {
        ScopedHandler first(session, &outer);
        EXPECT_EQ(session.handler(), &outer);
        {
            ScopedHandler second(session, &inner);
            EXPECT_EQ(session.handler(), &inner);
        }
        EXPECT_EQ(session.handler(), &outer);
    }
    EXPECT_EQ(session.handler(), &base);
}

TEST_F(NetSessionTest, ScopedHandlerLeavesASlotTheClosedConnectionEmptied) {
    RecordingHandler base, mine;
    session.SetHandler(&base);
    {
        ScopedHandler scoped(session, &mine);
        server.CloseClient();
        ASSERT_TRUE(Eventually([&] { return session.handler() == nullptr; }));
    }
    EXPECT_EQ(session.handler(), nullptr) << "nothing may come back into a dead session";
}

TEST_F(NetSessionTest, CloseControlClosesEventsSoLaterWaitsFailAtOnce) {
    session.CloseControl();
    EXPECT_FALSE(session.IsControlOpen());
    EXPECT_EQ(session.WaitReply(20000), kWaitFailed);
    EXPECT_EQ(session.WaitHeartbeat(20000), kWaitFailed);
    // A session serves one connection.
    EXPECT_FALSE(session.Connect(server.address(), server.port()));
}

TEST(NetSession, ConnectToClosedPortFails) {
    uint16_t port;
    {
        LoopbackServer gone;
        port = gone.port();
    }
    NetSession session;
    EXPECT_FALSE(session.Connect(INADDR_LOOPBACK, port));
    EXPECT_FALSE(session.IsControlOpen());
    EXPECT_EQ(session.WaitReply(10), kWaitFailed);
}

TEST(NetSession, CloseControlAbortsAConnectThatHangs) {
    // A listener whose accept queue is full drops further SYNs, so a connect to
    // it hangs until the kernel gives up, minutes later.
    LoopbackServer full(0);
    std::vector<int> fillers;
    for (int i = 0; i < 4; ++i) {
        int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
        sockaddr_in sa{};
        sa.sin_family = AF_INET;
        sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        sa.sin_port = htons(full.port());
        ::connect(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa);
        fillers.push_back(fd);
    }
    NetSession session;
    auto connect = std::async(std::launch::async,
                              [&] { return session.Connect(INADDR_LOOPBACK, full.port()); });
    EXPECT_EQ(connect.wait_for(std::chrono::milliseconds(300)), std::future_status::timeout);
    session.CloseControl();
    ASSERT_EQ(connect.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    EXPECT_FALSE(connect.get());
    for (int fd : fillers) ::close(fd);
}

TEST(NetSession, CancelBeforeTheConnectBeginsStillCancels) {
    LoopbackServer server;
    NetSession session;
    session.CloseControl();
    EXPECT_FALSE(session.Connect(server.address(), server.port()));
}

// The video channel of a session connected to a device on 127.0.0.1. The socket is
// bound by its first send, as by the start datagram; a second host sends from an
// address of its own.
class VideoChannelTest : public NetSessionTest {
  protected:
    void SetUp() override {
        NetSessionTest::SetUp();
        ASSERT_TRUE(session.OpenVideoChannel());
        session.SetVideoHandler(&video);
        ASSERT_EQ(session.SendDatagram("\xA5\x01", 2, server.address(), 9), 2);
        port = session.VideoChannelLocalPort();
        ASSERT_NE(port, 0);
        ASSERT_TRUE(device.bound());
        ASSERT_TRUE(stranger.bound());
    }
    void TearDown() override {
        session.SetVideoHandler(nullptr);
        session.CloseVideoChannel();
    }

    RecordingHandler video;
    uint16_t port = 0;
    UdpSender device{INADDR_LOOPBACK};
    UdpSender stranger{StrangerAddress(TestAddress())};
};

TEST_F(VideoChannelTest, DeliversTheDevicesDatagramsToTheVideoHandler) {
    ASSERT_TRUE(device.SendTo(INADDR_LOOPBACK, port, FromHex("80 60 00 01 02 03")));
    ASSERT_TRUE(video.WaitFor(1));
    EXPECT_EQ(video.messages()[0], "80 60 00 01 02 03");
    EXPECT_EQ(session.VideoStrangerDatagrams(), 0u);
    session.SetVideoHandler(nullptr);
    session.CloseVideoChannel();
    EXPECT_FALSE(session.IsVideoChannelOpen());
}

// Datagrams of one sender arrive in the order sent, so once the device's last datagram
// is delivered, everything sent before it has been dealt with.
TEST_F(VideoChannelTest, StrangersAreCountedAndDroppedAndEmptyDatagramsCloseNothing) {
    struct Step {
        const char* what;
        bool fromDevice;
        std::vector<uint8_t> bytes;
    };
    const std::vector<Step> steps = {
        {"stranger's empty datagram", false, {}},
        {"stranger's forged fragment", false, FromHex("80 60 00 07 00 00 00 01")},
        {"device's empty datagram", true, {}},
        {"device's fragment", true, FromHex("80 60 00 02")},
        {"stranger's garbage", false, FromHex("FF FF FF")},
        {"device's empty datagram again", true, {}},
        {"device's next fragment", true, FromHex("80 60 00 03")},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        const UdpSender& sender = step.fromDevice ? device : stranger;
        ASSERT_TRUE(sender.SendTo(INADDR_LOOPBACK, port, step.bytes));
    }
    ASSERT_TRUE(video.WaitFor(2));
    EXPECT_EQ(video.messages(), (std::vector<std::string>{"80 60 00 02", "80 60 00 03"}));
    EXPECT_TRUE(Eventually([&] { return session.VideoStrangerDatagrams() == 3; }))
        << session.VideoStrangerDatagrams();
    // The channel and its handler outlive every one of them.
    EXPECT_TRUE(session.IsVideoChannelOpen());
    EXPECT_EQ(session.videoHandler(), &video);
    ASSERT_TRUE(device.SendTo(INADDR_LOOPBACK, port, FromHex("80 60 00 04")));
    ASSERT_TRUE(video.WaitFor(3));
    EXPECT_EQ(video.messages()[2], "80 60 00 04");
}

TEST_F(VideoChannelTest, TheStrangerCountStartsAgainWhenTheChannelReopens) {
    ASSERT_TRUE(stranger.SendTo(INADDR_LOOPBACK, port, {}));
    ASSERT_TRUE(Eventually([&] { return session.VideoStrangerDatagrams() == 1; }));
    session.CloseVideoChannel();
    EXPECT_EQ(session.VideoStrangerDatagrams(), 1u);  // readable after the close
    ASSERT_TRUE(session.OpenVideoChannel());
    EXPECT_EQ(session.VideoStrangerDatagrams(), 0u);
}

TEST(NetSession, NoVideoChannelBeforeAControlConnection) {
    NetSession session;
    EXPECT_FALSE(session.OpenVideoChannel());
    EXPECT_FALSE(session.IsVideoChannelOpen());
}

TEST(ClientSocket, CloseOnASocketThatIsNotOpenReturnsMinusOne) {
    ClientSocket socket;
    EXPECT_EQ(socket.Close(), -1);
    EXPECT_EQ(socket.handle(), -1);
}

}  // namespace
}  // namespace vantelsor::test
