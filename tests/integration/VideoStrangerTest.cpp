// The console's video path against the simulated device while a second host on another
// loopback address sends empty, garbage and forged datagrams to the client's video port:
// the stream goes on, its picture stays right, and the stranger's datagrams are counted.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "RunProcess.h"
#include "ScratchFolder.h"
#include "SimFixture.h"
#include "UdpSender.h"
#include "VideoSupport.h"
#include "net/AddressText.h"
#include "net/NetSession.h"
#include "session/LoginSequence.h"
#include "video/ConsoleVideo.h"

namespace vantelsor::test {
namespace {

constexpr unsigned kSeed = 20261211;
constexpr int kStrangerDatagrams = 90;
constexpr int kPicturesAfterwards = 120;

template <typename Pred>
bool Eventually(Pred pred, int timeoutMs = 5000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end) {
        if (pred()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return pred();
}

// The i-th datagram of the stranger: empty, random bytes, or a fragment that looks like
// the device's (version 2, the video payload type) with a random frame number and payload.
std::vector<uint8_t> StrangerDatagram(int i, std::mt19937& rng) {
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> size(1, 1480);
    std::vector<uint8_t> d;
    switch (i % 3) {
        case 0:
            break;  // empty
        case 1:
            d.resize(static_cast<size_t>(size(rng)));
            for (auto& b : d) b = static_cast<uint8_t>(byte(rng));
            break;
        default:
            d.resize(80 + 1400);
            for (auto& b : d) b = static_cast<uint8_t>(byte(rng));
            d[0] = 0x80;
            d[1] = 0x60;
            break;
    }
    return d;
}

// The process id of this process's child that runs `name`, or 0.
pid_t ChildRunning(const std::string& name) {
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", ec)) {
        std::ifstream stat(entry.path() / "stat");
        std::string text;
        if (!std::getline(stat, text)) continue;
        // "pid (comm) state ppid ...": the name may hold blanks, so cut at the last ')'.
        const size_t open = text.find('(');
        const size_t close = text.rfind(')');
        if (open == std::string::npos || close == std::string::npos || close < open) continue;
        std::istringstream rest(text.substr(close + 1));
        std::string state;
        long parent = 0;
        rest >> state >> parent;
        if (parent == ::getpid() && text.substr(open + 1, close - open - 1) == name) {
            return static_cast<pid_t>(std::stol(text));
        }
    }
    return 0;
}

// The local port of a bound UDP socket that process `pid` holds, or 0 when it holds none.
uint16_t UdpPortOf(pid_t pid) {
    const std::filesystem::path proc = "/proc/" + std::to_string(pid);
    std::set<std::string> inodes;
    std::error_code ec;
    for (const auto& fd : std::filesystem::directory_iterator(proc / "fd", ec)) {
        const std::string target = std::filesystem::read_symlink(fd.path(), ec).string();
        if (target.rfind("socket:[", 0) == 0) inodes.insert(target.substr(8, target.size() - 9));
    }
    std::ifstream udp(proc / "net" / "udp");
    std::string line;
    std::getline(udp, line);  // the column titles
    while (std::getline(udp, line)) {
        // sl local_address rem_address st tx_queue:rx_queue tr:tm->when retrnsmt uid
        // timeout inode ...
        std::istringstream fields(line);
        std::string slot, local, remote, state, queues, timer, retransmits, uid, timeout, inode;
        fields >> slot >> local >> remote >> state >> queues >> timer >> retransmits >> uid >>
            timeout >> inode;
        const size_t colon = local.find(':');
        if (colon == std::string::npos || inodes.count(inode) == 0) continue;
        const auto port = static_cast<uint16_t>(std::stoul(local.substr(colon + 1), nullptr, 16));
        if (port != 0) return port;
    }
    return 0;
}

class VideoStrangerTest : public SimFixture {
  protected:
    VideoStrangerTest() {
        config.fixedClock = "12:34:56";  // a still picture, so any one can be compared
        config.screenWidth = 640;
        config.screenHeight = 480;
    }

    ScratchFolder folder;
};

TEST_F(VideoStrangerTest, AStrangersDatagramsAreCountedAndTheStreamGoesOn) {
    StartDevice();
    Timing timing;
    LoginSequence login(nullptr, timing);
    Credentials c;
    c.deviceAddress = config.listenAddress;
    c.user = "admin";
    c.password = "admin123";
    ASSERT_TRUE(login.Connect(config.listenAddress));
    ASSERT_EQ(login.Login(c), LoginResult::kAccepted);
    NetSession& session = login.session();
    RecordingBlitter blitter;
    ConsoleVideo video(*login.info(), &blitter);
    video.SetClientRect({0, 0, 640, 480});
    ASSERT_TRUE(video.Start(session));
    ASSERT_TRUE(blitter.WaitForPictures(1, 10000));

    const uint16_t port = session.VideoChannelLocalPort();
    ASSERT_NE(port, 0);
    UdpSender stranger(StrangerAddress(config.listenAddress));
    ASSERT_TRUE(stranger.bound());
    std::mt19937 rng(kSeed);
    // One at a time, each counted before the next goes: none is lost in a full queue,
    // so the count is exact.
    for (int i = 0; i < kStrangerDatagrams; ++i) {
        ASSERT_TRUE(stranger.SendTo(config.listenAddress, port, StrangerDatagram(i, rng)));
        ASSERT_TRUE(Eventually([&] { return session.VideoStrangerDatagrams() == uint64_t(i) + 1; }))
            << "datagram " << i << " (seed " << kSeed << "), counted "
            << session.VideoStrangerDatagrams();
    }

    EXPECT_TRUE(session.IsVideoChannelOpen());
    const size_t before = blitter.calls().size();
    ASSERT_TRUE(blitter.WaitForPictures(before + kPicturesAfterwards, 30000))
        << "pictures " << blitter.calls().size() - before << " of " << kPicturesAfterwards
        << " after the stranger; counters: " << video.counters().datagrams << " datagrams, "
        << video.counters().rejected << " rejected";
    // Nothing the stranger sent reached the picture.
    EXPECT_TRUE(WaitForMatchingPicture(blitter, 10000)) << "PSNR " << lastPsnr;
    EXPECT_EQ(session.VideoStrangerDatagrams(), uint64_t(kStrangerDatagrams));

    video.Stop();
    login.Exit();
}

// The program the issue was seen with: a screenshot of the 120th picture while a
// stranger sends to its video port from the moment the port exists.
TEST_F(VideoStrangerTest, ScreenshotSucceedsWhileAStrangerSendsToItsVideoPort) {
    StartDevice();
    const std::string file = folder.File("target.png");
    auto screenshot = std::async(std::launch::async, [&] {
        return RunProcess(VANTELSORCTL_PATH,
                          {"--device", AddressText(config.listenAddress), "--user", "admin",
                           "--password", "admin123", "screenshot", file, "--frames", "120"});
    });
    uint16_t port = 0;
    ASSERT_TRUE(Eventually(
        [&] {
            const pid_t child = ChildRunning("vantelsorctl");
            port = child != 0 ? UdpPortOf(child) : 0;
            return port != 0;
        },
        20000))
        << "vantelsorctl never opened its video port";
    UdpSender stranger(StrangerAddress(config.listenAddress));
    ASSERT_TRUE(stranger.bound());
    std::mt19937 rng(kSeed);
    // The empty one first: it alone used to close the channel. The later ones may find
    // the program gone, which is no failure of the send.
    int sent = 0;
    do {
        stranger.SendTo(config.listenAddress, port, StrangerDatagram(sent, rng));
    } while (++sent < kStrangerDatagrams &&
             screenshot.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready);
    const ProcessResult r = screenshot.get();
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("picture 120"), std::string::npos) << r.out;
}

}  // namespace
}  // namespace vantelsor::test
