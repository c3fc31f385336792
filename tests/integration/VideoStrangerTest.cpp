// The console's video path against the simulated device while a second host on another
// loopback address sends empty, garbage and forged datagrams to the client's video port:
// the stream goes on, its picture stays right, and the stranger's datagrams are counted.
#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <thread>
#include <vector>

#include "SimFixture.h"
#include "UdpSender.h"
#include "VideoSupport.h"
#include "net/NetSession.h"
#include "session/LoginSequence.h"
#include "video/ConsoleVideo.h"

namespace vantelsor {
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

class VideoStrangerTest : public test::SimFixture {
  protected:
    VideoStrangerTest() {
        config.fixedClock = "12:34:56";  // a still picture, so any one can be compared
        config.screenWidth = 640;
        config.screenHeight = 480;
    }

    // True once a picture close to the device's source has been drawn (the first ones
    // after a key frame may still be coarse).
    bool WaitForMatchingPicture(test::RecordingBlitter& blitter, int timeoutMs) {
        const auto source = device->Video().RenderNow();
        const int w = device->Video().width(), h = device->Video().height();
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        size_t seen = blitter.calls().size();
        while (std::chrono::steady_clock::now() < end) {
            if (!blitter.WaitForPictures(seen + 1, 500)) continue;
            seen = blitter.calls().size();
            if (blitter.calls().back().width != w || blitter.calls().back().height != h) continue;
            lastPsnr = test::Psnr(blitter.lastBitmap(), source, w, h);
            if (lastPsnr > 35.0) return true;
        }
        return false;
    }

    double lastPsnr = 0;
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
    NetSession& session = *login.session();
    test::RecordingBlitter blitter;
    ConsoleVideo video(*login.info(), &blitter);
    video.SetClientRect({0, 0, 640, 480});
    ASSERT_TRUE(video.Start(session));
    ASSERT_TRUE(blitter.WaitForPictures(1, 10000));

    const uint16_t port = session.VideoChannelLocalPort();
    ASSERT_NE(port, 0);
    test::UdpSender stranger(test::StrangerAddress(config.listenAddress));
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

}  // namespace
}  // namespace vantelsor
