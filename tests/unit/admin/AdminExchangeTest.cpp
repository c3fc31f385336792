// The administration exchanges against a peer that sends exactly the bytes a
// test chooses: long replies never overflow their areas, data-less or cut
// replies are never read as data, and pieces of the log are joined.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

#include "Hex.h"
#include "LoopbackServer.h"
#include "TestAddress.h"
#include "admin/DeviceInfo.h"
#include "admin/SleepTime.h"
#include "admin/UserAccounts.h"
#include "admin/UserLog.h"
#include "admin/VideoSettings.h"
#include "net/NetSession.h"
#include "net/ReplyExchange.h"
#include "net/ReplySlot.h"
#include "net/ScopedHandler.h"
#include "protocol/LogMessages.h"
#include "protocol/UserMessages.h"
#include "session/ConsoleLink.h"
#include "session/SessionInfo.h"

namespace vantelsor::test {
namespace {

std::vector<uint8_t> Padded(const char* hex, size_t size, uint8_t fill) {
    std::vector<uint8_t> m = FromHex(hex);
    m.resize(size, fill);
    return m;
}

class AdminExchangeTest : public ::testing::Test {
  protected:
    AdminExchangeTest() : server(4, TestAddress()), info(server.address(), 0) {
        timing.replyTimeoutMs = 2000;
        timing.logTimeoutMs = 2000;
    }

    void SetUp() override {
        ASSERT_TRUE(session.Connect(server.address(), server.port()));
        ASSERT_TRUE(server.Accept());
    }

    // Plays the device: takes a request of `requestSize` bytes, then sends each reply.
    void Answer(size_t requestSize, std::vector<std::vector<uint8_t>> replies) {
        peer = std::thread([this, requestSize, replies] {
            server.Receive(requestSize);
            for (const auto& r : replies) {
                server.Send(r);
                std::this_thread::sleep_for(std::chrono::milliseconds(30));
            }
        });
    }

    void TearDown() override {
        if (peer.joinable()) peer.join();
    }

    LoopbackServer server;
    NetSession session;
    SessionInfo info;
    Timing timing;
    std::thread peer;
};

// The one exchange: how each way a wait can end reads, typed and untyped.
TEST_F(AdminExchangeTest, ExchangeTellsHowTheWaitEnded) {
    ReplySlot slot(4);
    struct Handler : KNetHandler {
        explicit Handler(ReplySlot* s) : slot(s) {}
        int OnMessage(const uint8_t* data, int length) override {
            slot->Keep(data, length);
            return 1;
        }
        ReplySlot* slot;
    } handler(&slot);
    ScopedHandler installed(session, &handler);
    const auto request = FromHex("B6 00 00 00");

    Answer(4, {FromHex("B6 00 1E 00")});
    EXPECT_EQ(Exchange(session, request, timing.replyTimeoutMs, slot, 0xB6),
              ExchangeResult::kReplied);
    peer.join();
    EXPECT_EQ(slot.Copy().at(2), 0x1E);

    Answer(4, {FromHex("AE 00")});
    EXPECT_EQ(Exchange(session, request, timing.replyTimeoutMs, slot, 0xB6),
              ExchangeResult::kOtherReply);
    peer.join();
    // The short reply left nothing of the longer one before it.
    EXPECT_EQ(slot.Copy().at(2), 0);

    Answer(4, {});
    EXPECT_EQ(Exchange(session, request, 200), ExchangeResult::kTimeout);
    peer.join();

    session.CloseControl();
    EXPECT_EQ(Exchange(session, request, timing.replyTimeoutMs), ExchangeResult::kClosed);
}

// Only a 0xA9 reply answers the operation-right request, and the exchange
// leaves the session record to the thread that adopts its result.
TEST_F(AdminExchangeTest, OperationRightComesOnlyFromItsOwnReply) {
    ConsoleLink console(session, &info, nullptr, timing);
    console.Open();
    info.hasControlRight = 0;
    Answer(2, {FromHex("AE 00")});
    EXPECT_EQ(console.RequestControlRight(), ControlRightResult::kOther);
    peer.join();
    Answer(2, {FromHex("A9 00")});
    const ControlRightResult granted = console.RequestControlRight();
    EXPECT_EQ(granted, ControlRightResult::kGranted);
    EXPECT_EQ(info.hasControlRight, 0);
    console.AdoptControlRight(granted);
    EXPECT_EQ(info.hasControlRight, 1);
    peer.join();
    console.Close();
}

TEST_F(AdminExchangeTest, VideoWriteReplyWithFailureFieldReportsFailure) {
    VideoSettings video(session, timing);
    Answer(6, {FromHex("A4 02 00 80 FF FF")});
    VideoRate inForce;
    EXPECT_EQ(video.Write({25, 128}, &inForce), AdminOutcome::kVideoFailed);
    EXPECT_EQ(inForce.bitRate, 128);
}

TEST_F(AdminExchangeTest, SleepReplyLongerThanItsAreaIsReadWithinIt) {
    SleepTime sleep(session, timing);
    Answer(4, {Padded("B6 00 1E 00", 3000, 0xEE)});
    int minutes = -1;
    EXPECT_EQ(sleep.Read(&minutes), AdminOutcome::kOk);
    EXPECT_EQ(minutes, 30);
}

TEST_F(AdminExchangeTest, SleepReplyTooShortToEchoIsAFailedWrite) {
    SleepTime sleep(session, timing);
    Answer(4, {FromHex("B6 00")});
    EXPECT_EQ(sleep.Write(0), AdminOutcome::kSleepFailed);
}

TEST_F(AdminExchangeTest, LongUserListFillsOnlyItsArea) {
    UserAccounts accounts(session, &info, timing);
    std::vector<users::UserRecord> many(255);
    for (auto& r : many) {
        r.nameLength = 16;
        r.name.fill('x');
    }
    Answer(2, {users::BuildUserList(many)});
    EXPECT_EQ(accounts.ReadList(), AdminOutcome::kOk);
    EXPECT_EQ(accounts.records().size(), 50u);
}

TEST_F(AdminExchangeTest, DataLessReplyIsNotReadAsAList) {
    UserAccounts accounts(session, &info, timing);
    Answer(2, {FromHex("AE 00")});
    EXPECT_EQ(accounts.ReadList(), AdminOutcome::kNoAnswer);
    EXPECT_TRUE(accounts.records().empty());
}

TEST_F(AdminExchangeTest, LogInPiecesIsJoined) {
    UserLog log(session, timing);
    login::LoginRecord r;
    r.year = 2013;
    r.month = 5;
    r.day = 1;
    r.event = login::kEventLogout;
    const auto reply = userlog::BuildLogReply({r, r});
    // Pieces of 50 and 28 bytes, with lock-state answers before and after.
    Answer(2, {FromHex("B1 00"),
               {reply.begin(), reply.begin() + 50},
               {reply.begin() + 50, reply.end()},
               FromHex("B1 00")});
    std::vector<login::LoginRecord> records;
    ASSERT_EQ(log.Query(&records), AdminOutcome::kOk);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].event, login::kEventLogout);
}

TEST_F(AdminExchangeTest, LogOfMoreThanAThousandRecordsIsNotListed) {
    UserLog log(session, timing);
    std::vector<login::LoginRecord> many(1001);
    Answer(2, {userlog::BuildLogReply(many)});
    std::vector<login::LoginRecord> records;
    EXPECT_EQ(log.Query(&records), AdminOutcome::kLogTooLong);
    EXPECT_TRUE(records.empty());
}

TEST_F(AdminExchangeTest, LogLongerThanTheReceiveBufferIsRefusedAndTheStreamStaysInStep) {
    UserLog log(session, timing);
    std::vector<login::LoginRecord> many(3000);  // 108,006 bytes
    Answer(2, {userlog::BuildLogReply(many)});
    std::vector<login::LoginRecord> records;
    EXPECT_EQ(log.Query(&records), AdminOutcome::kLogTooLong);
    if (peer.joinable()) peer.join();
    Answer(2, {FromHex("AC FF")});
    EXPECT_EQ(log.Clear(), AdminOutcome::kLogClearFailed);
}

TEST_F(AdminExchangeTest, LongIdentityReplyIsReadWithinItsArea) {
    ConsoleLink console(session, &info, nullptr, timing);
    console.Open();
    DeviceInfo deviceInfo(&console);
    auto identity = Padded("B2 00 00", 35, 'A');
    identity.resize(4000, 'Z');
    peer = std::thread([&] {
        server.Receive(35);
        server.Send(identity);
        server.Receive(5);
        server.Send(Padded("B5 00 0A 03", 900, 0x11));
    });
    DeviceInfoTexts texts;
    EXPECT_EQ(deviceInfo.Read(&texts), AdminOutcome::kOk);
    EXPECT_EQ(texts.uidText, std::string(16, 'A'));
    EXPECT_EQ(texts.name, std::string(16, 'A'));
    EXPECT_EQ(texts.version, "3.10");
    peer.join();
    console.Close();
}

TEST_F(AdminExchangeTest, RefusedIdentityReadStopsBeforeTheVersion) {
    ConsoleLink console(session, &info, nullptr, timing);
    console.Open();
    DeviceInfo deviceInfo(&console);
    Answer(35, {Padded("B2 00 01", 35, 0)});
    DeviceInfoTexts texts;
    EXPECT_EQ(deviceInfo.Read(&texts), AdminOutcome::kIdentityRefused);
    peer.join();
    EXPECT_TRUE(server.Receive(5, 200).empty()) << "no version request after a refusal";
    console.Close();
}

}  // namespace
}  // namespace vantelsor::test
