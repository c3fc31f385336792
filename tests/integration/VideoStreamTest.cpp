// The video path end to end: the simulated device streams its screen over loopback
// UDP, the console's pipeline reassembles, deciphers, decodes and presents it.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "SimFixture.h"
#include "VideoSupport.h"
#include "admin/VideoSettings.h"
#include "net/NetSession.h"
#include "protocol/MessageTypes.h"
#include "protocol/StreamControl.h"
#include "session/LoginSequence.h"
#include "sim/FaultPolicy.h"
#include "video/ConsoleVideo.h"

namespace vantelsor::test {
namespace {

class VideoStreamTest : public SimFixture {
  protected:
    VideoStreamTest() {
        config.fixedClock = "09:30:00";  // a still picture, so any one can be compared
        config.keyInterval = 10;
    }

    void LogIn(LoginSequence& login, const char* user = "admin",
               const char* password = "admin123") {
        Credentials c;
        c.deviceAddress = config.listenAddress;
        c.user = user;
        c.password = password;
        ASSERT_TRUE(login.Connect(config.listenAddress));
        ASSERT_EQ(login.Login(c), LoginResult::kAccepted);
    }

    // What the seed does to the first fragment of each of the first `frames` frames,
    // which every frame has whatever the encoder makes of the picture.
    sim::VideoFaultCounts FirstFragmentFaults(uint32_t frames) const {
        const sim::FaultPolicy policy(config.faultSeed);
        sim::VideoFaultCounts counts;
        for (uint32_t frame = 0; frame < frames; ++frame) {
            const sim::DatagramFate fate = policy.Datagram(config.videoFaults, frame, 0);
            counts.lost += fate.lost;
            counts.damaged += fate.damaged;
        }
        return counts;
    }

    // Lets the device encode `frames` pictures with its faults, then switches them
    // off: the counts it returns are final.
    sim::VideoFaultCounts FaultyFrames(uint32_t frames) {
        for (int i = 0; i < 1000 && device->Video().FramesEncoded() < frames; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        device->Video().SetFaults({});
        return device->Video().Injected();
    }

    Timing timing;
};

TEST_F(VideoStreamTest, StreamDecodesToTheDevicesPicture) {
    StartDevice();
    LoginSequence login(nullptr, timing);
    LogIn(login);
    RecordingBlitter blitter;
    ConsoleVideo video(*login.info(), &blitter);
    video.SetClientRect({0, 0, 1280, 1024});
    ASSERT_TRUE(video.Start(login.session()));
    EXPECT_TRUE(WaitForMatchingPicture(blitter, 10000)) << "PSNR " << lastPsnr;
    EXPECT_EQ(video.layout().pictureWidth, 1280);
    EXPECT_EQ(video.layout().pictureHeight, 1024);
    EXPECT_EQ(device->Video().StreamCount(), 1);

    // The stop datagram ends the stream; the previous handler is back.
    video.Stop();
    EXPECT_EQ(login.session().videoHandler(), nullptr);
    for (int i = 0; i < 100 && device->Video().StreamCount() != 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_EQ(device->Video().StreamCount(), 0);
    login.Exit();
}

TEST_F(VideoStreamTest, DeviceStreamsOnlyToALoggedInUser) {
    StartDevice();
    LoginSequence login(nullptr, timing);
    LogIn(login);
    RecordingBlitter blitter;
    // Claims a user that is not logged in: the device refuses to stream.
    SessionInfo stranger(config.listenAddress, 0);
    const char name[] = "mallory";
    std::copy(name, name + 7, stranger.userName.begin());
    stranger.userNameLength = 7;
    ConsoleVideo video(stranger, &blitter);
    ASSERT_TRUE(video.Start(login.session()));
    ASSERT_TRUE(WaitReceived(msg::kStreamControl, 1));
    EXPECT_NE(Received(msg::kStreamControl)[0].text.find("refused"), std::string::npos);
    // The refusal is recorded after it was decided: the device streams to nobody and
    // has sent no datagram at all.
    EXPECT_EQ(device->Video().StreamCount(), 0);
    EXPECT_EQ(device->Video().DatagramsSent(), 0u);
    video.Stop();
    EXPECT_TRUE(blitter.calls().empty());
    login.Exit();
}

TEST_F(VideoStreamTest, StreamEndsWithTheControlConnection) {
    StartDevice();
    LoginSequence login(nullptr, timing);
    LogIn(login);
    // A client that asks for the stream and then goes away without the stop datagram.
    const SessionInfo& info = *login.info();
    ASSERT_TRUE(login.session().OpenVideoChannel());
    const auto start =
        streamcontrol::Build(streamcontrol::kStart, info.userName.data(), info.userNameLength);
    login.session().SendDatagram(start.data(), streamcontrol::kSize, config.listenAddress,
                                 msg::kVideoPort);
    ASSERT_TRUE(device->WaitForTrace(
        [](const sim::TraceEntry& e) { return e.text.rfind("A5 start", 0) == 0; }, 5000));
    EXPECT_EQ(device->Video().StreamCount(), 1);
    login.Exit();
    ASSERT_TRUE(device->WaitForStatus(
        [](const sim::SimStatus& s) { return s.openConnections == 0; }, 5000));
    EXPECT_EQ(device->Video().StreamCount(), 0);
}

TEST_F(VideoStreamTest, TheDevicesVideoSettingsDriveTheStream) {
    StartDevice();
    LoginSequence login(nullptr, timing);
    LogIn(login);
    RecordingBlitter blitter;
    ConsoleVideo video(*login.info(), &blitter);
    ASSERT_TRUE(video.Start(login.session()));
    ASSERT_TRUE(blitter.WaitForPictures(1, 10000));
    {
        VideoSettings settings(login.session(), timing);
        VideoRate inForce;
        ASSERT_EQ(settings.Write({10, 256}, &inForce), AdminOutcome::kOk);
    }
    const size_t before = blitter.calls().size();
    for (int i = 0; i < 250 && !(device->Video().RateInUse() == VideoRate{10, 256}); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_EQ(device->Video().RateInUse(), (VideoRate{10, 256}));
    // The encoder starts afresh with the new rates: the stream goes on.
    EXPECT_TRUE(blitter.WaitForPictures(before + 2, 10000));
    video.Stop();
    login.Exit();
}

// Waits until the client has taken every datagram the device had sent by `sent` (loopback
// loses none and keeps their order), then returns the client's counters.
ConsoleVideo::Counters CountersOnceCaughtUp(const ConsoleVideo& video, uint32_t sent) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (video.counters().datagrams < sent && std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return video.counters();
}

// Damage alone: the client refuses exactly the damaged datagrams the device sent, no
// more (an intact datagram refused) and no fewer (a damaged one taken).
TEST_F(VideoStreamTest, RejectsExactlyTheDamagedDatagrams) {
    config.screenWidth = 320;  // small pictures: a key frame is a handful of datagrams
    config.screenHeight = 240;
    config.faultSeed = 7;
    config.videoFaults.damage = 0.1;
    StartDevice();
    LoginSequence login(nullptr, timing);
    LogIn(login);
    RecordingBlitter blitter;
    ConsoleVideo video(*login.info(), &blitter);
    ASSERT_TRUE(video.Start(login.session()));
    // The seed damages some of the first fragments.
    const uint32_t damagedFirstFragments = FirstFragmentFaults(30).damaged;
    ASSERT_GT(damagedFirstFragments, 0u) << "seed " << config.faultSeed << " damages nothing";
    const sim::VideoFaultCounts injected = FaultyFrames(30);
    ASSERT_GE(device->Video().FramesEncoded(), 30u);
    EXPECT_GE(injected.damaged, damagedFirstFragments);
    EXPECT_EQ(injected.lost + injected.duplicated + injected.reordered, 0u);
    const auto counters = CountersOnceCaughtUp(video, injected.sent);
    EXPECT_GE(counters.datagrams, injected.sent);
    EXPECT_EQ(counters.rejected, injected.damaged);
    EXPECT_EQ(device->Video().InjectedTo(1).damaged, injected.damaged);
    video.Stop();
    login.Exit();
}

TEST_F(VideoStreamTest, SurvivesLossReorderingAndDuplicationAndRecoversAtTheNextKeyFrame) {
    config.screenWidth = 640;  // every datagram must reach the client: keep bursts short
    config.screenHeight = 480;
    config.faultSeed = 11;
    config.videoFaults = {0.05, 0.05, 0.05, 0.02};
    StartDevice();
    LoginSequence login(nullptr, timing);
    LogIn(login);
    RecordingBlitter blitter;
    ConsoleVideo video(*login.info(), &blitter);
    ASSERT_TRUE(video.Start(login.session()));
    // At least this much is lost and damaged.
    const sim::VideoFaultCounts first = FirstFragmentFaults(50);
    const uint32_t lostFirst = first.lost, damagedFirst = first.damaged;
    ASSERT_GT(lostFirst, 0u) << "seed " << config.faultSeed << " loses no first fragment";
    ASSERT_GT(damagedFirst, 0u) << "seed " << config.faultSeed << " damages no first fragment";
    // Fifty pictures' worth of a damaged stream (five key frames): the pipeline keeps
    // taking datagrams, refuses the damaged ones and drops the frames it cannot complete.
    const sim::VideoFaultCounts injected = FaultyFrames(50);
    ASSERT_GE(device->Video().FramesEncoded(), 50u);
    EXPECT_GE(injected.lost, lostFirst);
    EXPECT_GE(injected.damaged, damagedFirst);
    const auto counters = CountersOnceCaughtUp(video, injected.sent);
    EXPECT_GE(counters.datagrams, injected.sent);
    // Every damaged datagram is refused; so may be late copies of frames already gone.
    EXPECT_GE(counters.rejected, injected.damaged);
    EXPECT_LE(counters.rejected, injected.damaged + injected.duplicated + injected.reordered);
    // A frame that lost its first fragment can never complete.
    EXPECT_LE(counters.frames, device->Video().FramesEncoded() - lostFirst);

    EXPECT_TRUE(WaitForMatchingPicture(blitter, 10000)) << "PSNR " << lastPsnr;
    video.Stop();
    login.Exit();
}

}  // namespace
}  // namespace vantelsor::test
