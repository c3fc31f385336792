// The heartbeat and the shared send path against the simulated device.
#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "SimFixture.h"
#include "net/NetSession.h"
#include "protocol/MessageTypes.h"
#include "session/Heartbeat.h"

namespace vantelsor::test {
namespace {

// Records what is posted and whether the control socket was already closed then.
class RecordingSink : public EventSink {
  public:
    explicit RecordingSink(NetSession* session) : session_(session) {}
    void Post(DeviceEvent event, uint32_t) override {
        std::lock_guard lock(mutex_);
        if (event == DeviceEvent::kConnectionLost) {
            ++lost_;
            socketOpenAtPost_ = session_->IsControlOpen();
        }
        changed_.notify_all();
    }
    bool WaitLost(uint32_t ms) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::milliseconds(ms), [&] { return lost_ > 0; });
    }
    int lost() const {
        std::lock_guard lock(mutex_);
        return lost_;
    }
    bool socketOpenAtPost() const {
        std::lock_guard lock(mutex_);
        return socketOpenAtPost_;
    }

  private:
    NetSession* session_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    int lost_ = 0;
    bool socketOpenAtPost_ = true;
};

class HeartbeatTest : public SimFixture {
  protected:
    void Connect() {
        StartDevice();
        ASSERT_TRUE(session.Connect(config.listenAddress, msg::kControlPort));
    }

    NetSession session;
    RecordingSink sink{&session};
    std::atomic<EventSink*> sinkSlot{&sink};
    Timing timing;
};

TEST_F(HeartbeatTest, RepliesWithinTheVerdictKeepTheSessionAlive) {
    struct Case {
        uint32_t replyDelayMs;
        uint32_t verdictMs;
    };
    for (const Case c : {Case{0, 1000}, Case{100, 1500}}) {
        SCOPED_TRACE(c.replyDelayMs);
        config.faults.delayMs = {{msg::kHeartbeat, c.replyDelayMs}};
        timing.heartbeatPeriodMs = 150;
        timing.heartbeatVerdictMs = c.verdictMs;
        NetSession s;
        RecordingSink recording(&s);
        std::atomic<EventSink*> slot{&recording};
        StartDevice();
        ASSERT_TRUE(s.Connect(config.listenAddress, msg::kControlPort));
        Heartbeat heartbeat(s, timing, &slot);
        heartbeat.Start();
        ASSERT_TRUE(WaitReceived(msg::kHeartbeat, 4));
        heartbeat.Stop();
        EXPECT_EQ(recording.lost(), 0);
        EXPECT_TRUE(s.IsControlOpen());
        heartbeat.Uninstall();
        EXPECT_EQ(s.heartbeatHandler(), nullptr);
        device.reset();
    }
}

TEST_F(HeartbeatTest, MissingReplyClosesTheSocketBeforeTellingTheUser) {
    config.faults.silent = {msg::kHeartbeat};
    timing.heartbeatVerdictMs = 300;
    Connect();
    Heartbeat heartbeat(session, timing, &sinkSlot);
    heartbeat.Start();
    ASSERT_TRUE(sink.WaitLost(10000));
    EXPECT_FALSE(sink.socketOpenAtPost());
    EXPECT_FALSE(session.IsControlOpen());
    EXPECT_EQ(session.WaitReply(20000), kWaitFailed)
        << "no request can wait on the dead connection";
    heartbeat.Stop();
    EXPECT_EQ(sink.lost(), 1);
}

TEST_F(HeartbeatTest, LateReplyIsTooLate) {
    config.faults.delayMs = {{msg::kHeartbeat, 600}};
    timing.heartbeatVerdictMs = 200;
    Connect();
    Heartbeat heartbeat(session, timing, &sinkSlot);
    heartbeat.Start();
    EXPECT_TRUE(sink.WaitLost(10000));
    heartbeat.Stop();
}

TEST_F(HeartbeatTest, DeviceThatClosesIsDeclaredLost) {
    config.faults.closeAfterMessages = 1;  // drops the connection on the first heartbeat
    timing.heartbeatVerdictMs = 300;
    Connect();
    Heartbeat heartbeat(session, timing, &sinkSlot);
    heartbeat.Start();
    ASSERT_TRUE(sink.WaitLost(10000));
    EXPECT_EQ(session.heartbeatHandler(), nullptr);
    heartbeat.Stop();
}

TEST_F(HeartbeatTest, PausedLongerThanAPeriodSendsNothingAndDeclaresNothing) {
    config.faults.silent = {msg::kHeartbeat};  // any beat sent would be declared lost
    timing.heartbeatPeriodMs = 50;
    timing.heartbeatVerdictMs = 100;
    Connect();
    session.keepAlivePaused = 1;
    // The heartbeat reads its clock twice a round: counting the readings shows the
    // rounds it has run, so the test knows a dozen periods have passed.
    std::atomic<int> readings{0};
    Heartbeat heartbeat(session, timing, &sinkSlot, [&] {
        ++readings;
        return TickCount();
    });
    heartbeat.Start();
    for (int i = 0; i < 10000 && readings < 2 * 12; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    heartbeat.Stop();
    ASSERT_GE(readings, 2 * 12);
    EXPECT_TRUE(Received(msg::kHeartbeat).empty());
    EXPECT_EQ(sink.lost(), 0);
    EXPECT_TRUE(session.IsControlOpen());
}

TEST_F(HeartbeatTest, TickCounterWrapDoesNotFakeAVerdict) {
    timing.heartbeatPeriodMs = 100;
    timing.heartbeatVerdictMs = 5000;
    Connect();
    const uint32_t start = TickCount();
    // A counter 200 ms before its wrap: the beats straddle it.
    auto tick = [start] { return TickCount() - start + 0xFFFFFF38u; };
    Heartbeat heartbeat(session, timing, &sinkSlot, tick);
    heartbeat.Start();
    ASSERT_TRUE(WaitReceived(msg::kHeartbeat, 6));
    heartbeat.Stop();
    EXPECT_EQ(sink.lost(), 0);
}

TEST_F(HeartbeatTest, StopEndsAWaitingHeartbeatAtOnce) {
    timing.heartbeatPeriodMs = 3600000;
    Connect();
    Heartbeat heartbeat(session, timing, &sinkSlot);
    heartbeat.Start();
    ASSERT_TRUE(WaitReceived(msg::kHeartbeat, 1));
    heartbeat.Stop();  // would hang for an hour if the period wait ignored the stop
    EXPECT_FALSE(heartbeat.running());
}

TEST_F(HeartbeatTest, StopDuringTheReplyWaitEndsItWithoutAVerdict) {
    config.faults.silent = {msg::kHeartbeat};
    timing.heartbeatVerdictMs = 600000;  // a verdict would post only after ten minutes
    Connect();
    Heartbeat heartbeat(session, timing, &sinkSlot);
    heartbeat.Start();
    ASSERT_TRUE(WaitReceived(msg::kHeartbeat, 1));
    heartbeat.Stop();
    EXPECT_FALSE(heartbeat.running());
    EXPECT_EQ(sink.lost(), 0);
    EXPECT_TRUE(session.IsControlOpen());
}

TEST_F(HeartbeatTest, ManyThreadsSendingAtOnceNeverInterleave) {
    Connect();
    constexpr int kThreads = 6;
    constexpr int kEach = 300;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            // An 18-byte keyboard message whose bytes all name its thread.
            std::array<uint8_t, 18> m;
            m.fill(static_cast<uint8_t>(t));
            m[0] = msg::kKeyboard;
            for (int i = 0; i < kEach; ++i) session.Send(m.data(), m.size());
        });
    }
    for (auto& th : threads) th.join();
    ASSERT_TRUE(WaitReceived(msg::kKeyboard, kThreads * kEach));
    EXPECT_EQ(device->FramingErrors(), 0);
    for (const auto& e : Received(msg::kKeyboard)) {
        ASSERT_EQ(e.bytes.size(), 18u);
        for (size_t i = 2; i < 18; ++i) ASSERT_EQ(e.bytes[i], e.bytes[1]);
    }
}

}  // namespace
}  // namespace vantelsor::test
