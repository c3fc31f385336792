// The administration exchanges of the core against the simulated device:
// firmware transfers end to end, account refusals that only a second client
// can provoke, and the device's state across a restart.
#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <mutex>
#include <thread>

#include "ScratchFolder.h"
#include "SimFixture.h"
#include "admin/FirmwareUpgrade.h"
#include "admin/OwnAccountChange.h"
#include "admin/UserAccounts.h"
#include "admin/VideoSettings.h"
#include "net/NetSession.h"
#include "protocol/MessageTypes.h"
#include "session/ConsoleLink.h"
#include "session/LoginSequence.h"

namespace vantelsor::test {
namespace {

// A firmware image of `size` bytes that passes the check, its bytes otherwise varied.
std::vector<uint8_t> Image(size_t size) {
    std::vector<uint8_t> image(size);
    for (size_t i = 0; i < size; ++i) image[i] = static_cast<uint8_t>(i * 131 + i / 4096);
    image[0] = 0xFC;
    for (int i = 0; i < 4; ++i) image[4 + i] = static_cast<uint8_t>(size >> 8 * i);
    return image;
}

class AdminTest : public SimFixture {
  protected:
    AdminTest() { timing.replyTimeoutMs = 3000; }

    std::unique_ptr<LoginSequence> Login(const char* user = "admin",
                                         const char* password = "admin123") {
        auto login = std::make_unique<LoginSequence>(nullptr, timing);
        EXPECT_TRUE(login->Connect(config.listenAddress));
        Credentials c;
        c.deviceAddress = config.listenAddress;
        c.user = user;
        c.password = password;
        EXPECT_EQ(login->Login(c), LoginResult::kAccepted);
        return login;
    }

    // Runs a whole upgrade; the progress reported on the worker thread.
    AdminOutcome Upgrade(LoginSequence& login, std::vector<uint8_t> image,
                         std::vector<int>* progress = nullptr) {
        FirmwareUpgrade upgrade(login.session(), timing);
        EXPECT_EQ(upgrade.LoadImage(std::move(image)), AdminOutcome::kOk);
        std::mutex m;
        EXPECT_TRUE(upgrade.Start([&](int p) {
            std::lock_guard lock(m);
            if (progress) progress->push_back(p);
        }));
        const AdminOutcome o = upgrade.Wait();
        EXPECT_EQ(login.session().keepAlivePaused.load(), 0);
        return o;
    }

    Timing timing;
};

TEST_F(AdminTest, ImageOfSeveralHundredKilobytesArrivesByteIdentical) {
    StartDevice();
    auto login = Login();
    const std::vector<uint8_t> image = Image(300 * 1024 + 123);
    std::vector<int> progress;
    EXPECT_EQ(Upgrade(*login, image, &progress), AdminOutcome::kOk);
    EXPECT_EQ(device->State().firmware, image);
    const auto chunks = Received(msg::kFirmwareBlock);
    ASSERT_EQ(chunks.size(), 76u);  // 75 whole chunks and 123 bytes
    EXPECT_EQ(chunks.back().bytes.size(), 7u + 123);
    EXPECT_EQ(chunks.back().bytes[6], 1);
    ASSERT_EQ(progress.size(), 77u);
    EXPECT_EQ(progress.front(), 0);
    EXPECT_EQ(progress.back(), 100);
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
    login->Exit();
}

// Chunk lengths, indexes and last flags as the device received them, and the
// progress the worker reported.
TEST_F(AdminTest, ImagesAreSentInChunksWithProgress) {
    const struct {
        size_t size;
        std::vector<size_t> lengths;
        std::vector<int> progress;
    } cases[] = {
        {4096, {4096}, {0, 100}},
        {4097, {4096, 1}, {0, 99, 100}},
        {10000, {4096, 4096, 1808}, {0, 40, 81, 100}},
    };
    StartDevice();
    auto login = Login();
    size_t before = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        std::vector<int> progress;
        EXPECT_EQ(Upgrade(*login, Image(c.size), &progress), AdminOutcome::kOk);
        EXPECT_EQ(progress, c.progress);
        const auto chunks = Received(msg::kFirmwareBlock);
        ASSERT_EQ(chunks.size() - before, c.lengths.size());
        for (size_t i = 0; i < c.lengths.size(); ++i) {
            const auto& b = chunks[before + i].bytes;
            ASSERT_EQ(b.size(), 7 + c.lengths[i]);
            EXPECT_EQ(size_t(b[2] << 8 | b[3]), c.lengths[i] + 3);
            EXPECT_EQ(size_t(b[4] << 8 | b[5]), i);
            EXPECT_EQ(b[6], i + 1 == c.lengths.size() ? 1 : 0);
        }
        before = chunks.size();
        EXPECT_EQ(device->State().firmware, Image(c.size));
    }
    login->Exit();
}

TEST_F(AdminTest, RefusedOrWronglyAcknowledgedChunkEndsTheRun) {
    const struct {
        const char* name;
        void (*shape)(sim::SimConfig*);
        size_t chunksSent;
    } cases[] = {
        {"chunk 2 refused", [](sim::SimConfig* c) { c->firmwareRefuseChunk = 2; }, 3},
        {"chunk 1 acknowledged as 2", [](sim::SimConfig* c) { c->firmwareWrongAckChunk = 1; }, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        config = sim::SimConfig{};
        config.listenAddress = TestAddress();
        c.shape(&config);
        StartDevice();
        auto login = Login();
        EXPECT_EQ(Upgrade(*login, Image(5 * 4096)), AdminOutcome::kFirmwareFailed);
        EXPECT_STREQ(OutcomeMessage(AdminOutcome::kFirmwareFailed), "固件升级失败！");
        EXPECT_EQ(Received(msg::kFirmwareBlock).size(), c.chunksSent)
            << "nothing after the failure";
        EXPECT_TRUE(device->State().firmware.empty());
        login->Exit();
        device.reset();
    }
}

TEST_F(AdminTest, SilentDeviceTimesOut) {
    for (uint8_t silent : {msg::kFirmwareStart, msg::kFirmwareBlock}) {
        SCOPED_TRACE(silent);
        config = sim::SimConfig{};
        config.listenAddress = TestAddress();
        config.faults.silent = {silent};
        timing.replyTimeoutMs = 300;
        StartDevice();
        auto login = Login();
        EXPECT_EQ(Upgrade(*login, Image(3 * 4096)), AdminOutcome::kTimeout);
        EXPECT_LE(Received(msg::kFirmwareBlock).size(), 1u);
        login->Exit();
        device.reset();
    }
}

// The heartbeat (every 30 ms here) and a lock-state poll (every 10 ms) run
// through the whole upgrade; on the device, nothing of theirs arrives between
// the start of the transfer and its last chunk.
TEST_F(AdminTest, HeartbeatAndLockPollSendNothingDuringARun) {
    timing.heartbeatPeriodMs = 30;
    config.faults.delayMs[msg::kFirmwareBlock] = 10;
    StartDevice();
    auto login = Login();
    ConsoleLink console(login->session(), login->info(), nullptr, timing);
    console.Open();
    std::atomic<bool> polling{true};
    std::thread poller([&] {
        while (polling) {
            console.QueryLockState();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    });
    ASSERT_TRUE(WaitReceived(msg::kLockState, 3));
    ASSERT_TRUE(WaitReceived(msg::kHeartbeat, 3));
    EXPECT_EQ(Upgrade(*login, Image(40 * 4096)), AdminOutcome::kOk);
    console.Close();
    polling = false;
    poller.join();

    const auto trace = device->Trace();
    size_t start = trace.size(), end = 0;
    for (size_t i = 0; i < trace.size(); ++i) {
        if (trace[i].type == msg::kFirmwareStart) start = std::min(start, i);
        if (trace[i].type == msg::kFirmwareBlock) end = i;
    }
    ASSERT_LT(start, end);
    for (size_t i = start; i <= end; ++i) {
        EXPECT_NE(trace[i].type, msg::kHeartbeat) << i;
        EXPECT_NE(trace[i].type, msg::kLockState) << i;
    }
    login->Exit();
}

// The list was read, then the account was deleted meanwhile (by a second
// list over the same session here): the device refuses the delete with 0xFF,
// which has its own message.
TEST_F(AdminTest, DeleteOfAnAccountGoneMeanwhileIsRefused) {
    config.accounts.push_back({"guest", "guest123", sim::kOrdinaryUser});
    StartDevice();
    auto first = Login();
    auto accounts = std::make_unique<UserAccounts>(first->session(), first->info(), timing);
    ASSERT_EQ(accounts->ReadList(), AdminOutcome::kOk);
    ASSERT_EQ(accounts->records().size(), 3u);
    ASSERT_EQ(accounts->records()[2].NameText(), "guest");
    {
        UserAccounts other(first->session(), first->info(), timing);
        ASSERT_EQ(other.ReadList(), AdminOutcome::kOk);
        EXPECT_EQ(other.Delete(2), AdminOutcome::kOk);
    }
    EXPECT_EQ(accounts->Delete(2), AdminOutcome::kDeleteFailed);
    EXPECT_STREQ(OutcomeMessage(AdminOutcome::kDeleteFailed), "删除用户错误!");
    EXPECT_EQ(accounts->records().size(), 3u) << "a refused delete keeps the account listed";
    accounts.reset();  // before the session goes
    first->Exit();
}

// Editing one's own account through the list takes the old password; on
// success the session's name changes with the device's.
TEST_F(AdminTest, OwnAccountRenamedThroughTheListRenamesTheSession) {
    StartDevice();
    auto login = Login();
    auto accounts = std::make_unique<UserAccounts>(login->session(), login->info(), timing);
    ASSERT_EQ(accounts->ReadList(), AdminOutcome::kOk);
    ASSERT_TRUE(accounts->IsOwnAccount(accounts->records()[0]));
    EXPECT_EQ(accounts->Modify(0, "wrongpass", "root", "rootpass1"),
              AdminOutcome::kOldPasswordWrong);
    EXPECT_EQ(accounts->Modify(0, "admin123", "root", "rootpass1"), AdminOutcome::kOk);
    EXPECT_EQ(accounts->records()[0].NameText(), "root");
    accounts.reset();
    EXPECT_EQ(std::string(login->info()->userName.begin(),
                          login->info()->userName.begin() + login->info()->userNameLength),
              "root");
    EXPECT_EQ(device->State().accounts[0].name, "root");
    EXPECT_EQ(device->State().accounts[0].password, "rootpass1");
    login->Exit();
}

TEST_F(AdminTest, OrdinaryUsersOwnChangeAndItsRefusals) {
    StartDevice();
    auto login = Login("user", "user1234");
    ConsoleLink console(login->session(), login->info(), nullptr, timing);
    console.Open();
    EXPECT_EQ(ChangeOwnAccount(console, login->info(), "nottheone", "user", "fresh123"),
              AdminOutcome::kOldPasswordWrong);
    EXPECT_EQ(ChangeOwnAccount(console, login->info(), "user1234", "user", "fresh123"),
              AdminOutcome::kOk);
    EXPECT_EQ(device->State().accounts[1].password, "fresh123");
    console.Close();
    login->Exit();
}

TEST_F(AdminTest, DeviceStateSurvivesARestart) {
    ScratchFolder folder;
    config.statePath = folder.File("device.state");
    StartDevice();
    const std::vector<uint8_t> image = Image(9000);
    {
        auto login = Login();
        {
            VideoSettings video(login->session(), timing);
            VideoRate inForce;
            EXPECT_EQ(video.Write({10, 256}, &inForce), AdminOutcome::kOk);
        }
        {
            UserAccounts accounts(login->session(), login->info(), timing);
            EXPECT_EQ(accounts.Add("guest1", "guestpw1"), AdminOutcome::kOk);
        }
        EXPECT_EQ(Upgrade(*login, image), AdminOutcome::kOk);
        login->Exit();
    }
    ASSERT_TRUE(WaitReceived(msg::kLoginRecord, 2));
    device.reset();
    StartDevice();
    EXPECT_EQ(device->VideoSettings(), (VideoRate{10, 256}));
    EXPECT_EQ(device->State().firmware, image);
    EXPECT_EQ(device->State().log.size(), 2u);
    auto login = Login("guest1", "guestpw1");
    EXPECT_EQ(login->info()->userType, SessionInfo::kOrdinaryUser);
    login->Exit();
}

TEST_F(AdminTest, UnreadableStateFileStopsTheDeviceFromStarting) {
    ScratchFolder folder;
    config.statePath = folder.File("device.state");
    std::ofstream(config.statePath) << "video 25 1024\nbogus line\n";
    EXPECT_FALSE(TryStartDevice());
    EXPECT_NE(device->StartError().find("line 2"), std::string::npos) << device->StartError();
}

}  // namespace
}  // namespace vantelsor::test
