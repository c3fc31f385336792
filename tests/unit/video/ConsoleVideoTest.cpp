// The console's video path without a network: datagrams handed straight to
// OnVideoDatagram, as the video receive thread hands them.
#include <gtest/gtest.h>

#include <deque>
#include <vector>

#include "VideoSupport.h"
#include "protocol/VideoDatagram.h"
#include "sim/TargetScreen.h"
#include "sim/VideoEncoder.h"
#include "video/ConsoleVideo.h"

namespace vantelsor::test {
namespace {

namespace vd = videodatagram;

const SessionKey kKey = {0x13, 0x57, 0x9B, 0xDF, 0x02, 0x46, 0x8A, 0xCE};

// The session record of a logged-in console, with its key.
struct Session : SessionInfo {
    Session() : SessionInfo(0x7F000001, 0) { sessionKey = kKey; }
};

std::vector<std::vector<uint8_t>> Datagrams(const std::vector<uint8_t>& frame, uint32_t number) {
    std::vector<std::vector<uint8_t>> out;
    vd::CutFrame(kKey, number, frame.data(), static_cast<int>(frame.size()),
                 [&](uint8_t* d, int n) { out.emplace_back(d, d + n); });
    return out;
}

// Results are scripted; every call is recorded. Stands in for a decoder where a test
// needs a result that a real stream cannot be made to give on demand.
class ScriptedDecoder : public H264Decode {
  public:
    explicit ScriptedDecoder(std::deque<int> results, std::vector<const uint8_t*>* calls)
        : results_(std::move(results)), calls_(calls) {}
    bool Open() override { return true; }
    void Close() override {}
    int Decode(const uint8_t* data, int, uint8_t* yuv, size_t capacity, int* width,
               int* height) override {
        calls_->push_back(data);
        if (results_.empty()) return kNeedMoreData;
        const int result = results_.front();
        results_.pop_front();
        if (result == kPicture) {
            *width = 64;
            *height = 32;
            std::fill(yuv, yuv + std::min<size_t>(capacity, 64 * 32 * 3 / 2),
                      static_cast<uint8_t>(16 + calls_->size()));
        }
        return result;
    }

  private:
    std::deque<int> results_;
    std::vector<const uint8_t*>* calls_;
};

TEST(ConsoleVideo, DecoderResultsDecideWhatIsDrawn) {
    struct Case {
        const char* name;
        std::deque<int> results;
        size_t pictures;
        size_t decodeCalls;
    };
    const Case cases[] = {
        {"no picture yet", {H264Decode::kNeedMoreData}, 0, 1},
        {"one picture, then drained", {H264Decode::kPicture, H264Decode::kNeedMoreData}, 1, 2},
        {"two pictures from one frame, both drawn",
         {H264Decode::kPicture, H264Decode::kPicture, H264Decode::kEndOfStream},
         2,
         3},
        {"a failing decoder ends the loop", {H264Decode::kPicture, H264Decode::kError}, 1, 2},
        {"error at once", {H264Decode::kError, H264Decode::kPicture}, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Session info;
        RecordingBlitter blitter;
        std::vector<const uint8_t*> calls;
        ConsoleVideo video(info, &blitter, std::make_unique<ScriptedDecoder>(c.results, &calls));
        auto datagram = Datagrams(std::vector<uint8_t>(100, 0x42), 7).front();
        EXPECT_EQ(video.OnVideoDatagram(datagram.data(), static_cast<int>(datagram.size())), 1);
        EXPECT_EQ(blitter.calls().size(), c.pictures);
        ASSERT_EQ(calls.size(), c.decodeCalls);
        EXPECT_NE(calls[0], nullptr);
        // Every call after the first only drains: no new data.
        for (size_t i = 1; i < calls.size(); ++i) EXPECT_EQ(calls[i], nullptr);
        EXPECT_EQ(video.pictureShown(), c.pictures > 0);
    }
}

TEST(ConsoleVideo, OnlyACompletingDatagramTakesAFrame) {
    Session info;
    RecordingBlitter blitter;
    std::vector<const uint8_t*> calls;
    ConsoleVideo video(info, &blitter,
                       std::make_unique<ScriptedDecoder>(std::deque<int>{}, &calls));
    auto datagrams = Datagrams(std::vector<uint8_t>(3000, 0x42), 1);  // three fragments
    ASSERT_EQ(datagrams.size(), 3u);
    auto bad = datagrams[0];
    bad[vd::kMarkerTypeOffset] = 97;  // not H.264
    EXPECT_EQ(video.OnVideoDatagram(bad.data(), static_cast<int>(bad.size())), 0);
    EXPECT_EQ(video.OnVideoDatagram(datagrams[2].data(), int(datagrams[2].size())), 1);
    EXPECT_EQ(video.OnVideoDatagram(datagrams[0].data(), 1480), 1);
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(video.OnVideoDatagram(datagrams[1].data(), 1480), 1);
    EXPECT_EQ(calls.size(), 1u);
}

TEST(ConsoleVideo, DatagramIsNotChangedByDeciphering) {
    Session info;
    RecordingBlitter blitter;
    std::vector<const uint8_t*> calls;
    ConsoleVideo video(info, &blitter,
                       std::make_unique<ScriptedDecoder>(std::deque<int>{}, &calls));
    auto datagram = Datagrams(std::vector<uint8_t>(100, 0x42), 1).front();
    const auto before = datagram;
    video.OnVideoDatagram(datagram.data(), static_cast<int>(datagram.size()));
    EXPECT_EQ(datagram, before);
}

// A real stream of the simulated target's screen, through the real decoder.
TEST(ConsoleVideo, StreamDecodesToTheSourcePictureInTheWindow) {
    sim::TargetScreen screen(640, 480);
    screen.Render({"08:15:00", "Hello", 100, 100});
    sim::VideoEncoder encoder(640, 480, {}, 25);
    ASSERT_TRUE(encoder.ok());
    Session info;
    RecordingBlitter blitter;
    ConsoleVideo video(info, &blitter);
    const auto bars = video.SetClientRect({0, 0, 800, 400});
    EXPECT_EQ(bars.vertical, ScrollBarRange{});  // no picture yet
    std::vector<uint8_t> frame;
    for (uint32_t n = 0; n < 3; ++n) {
        ASSERT_TRUE(encoder.Encode(screen.yuv().data(), n == 0, frame));
        for (auto& d : Datagrams(frame, n)) video.OnVideoDatagram(d.data(), int(d.size()));
    }
    const auto calls = blitter.calls();
    ASSERT_EQ(calls.size(), 3u);
    // Wider than the picture: centred across; lower: from the top, scrollable.
    EXPECT_EQ(calls[0].destination, (PixelRect{80, 0, 640, 400}));
    EXPECT_EQ(calls[0].source, (PixelRect{0, 0, 640, 400}));
    EXPECT_EQ(blitter.areaChanges(), 1);
    EXPECT_GT(Psnr(blitter.lastBitmap(), screen.pixels(), 640, 480), 35.0);

    EXPECT_EQ(video.Scroll(ConsoleVideo::Axis::kVertical, ScrollCode::kToEnd), 80);
    ASSERT_TRUE(encoder.Encode(screen.yuv().data(), false, frame));
    for (auto& d : Datagrams(frame, 3)) video.OnVideoDatagram(d.data(), int(d.size()));
    EXPECT_EQ(blitter.calls().back().source, (PixelRect{0, 80, 640, 400}));
    EXPECT_EQ(video.SetClientRect({0, 0, 800, 400}).vertical, (ScrollBarRange{479, 400}));
}

TEST(ConsoleVideo, StalePictureBlanksOnceAndOnlyAfterAPicture) {
    Session info;
    RecordingBlitter blitter;
    std::vector<const uint8_t*> calls;
    Timing timing;
    ConsoleVideo video(
        info, &blitter,
        std::make_unique<ScriptedDecoder>(
            std::deque<int>{H264Decode::kPicture, H264Decode::kNeedMoreData}, &calls),
        timing);
    const uint32_t start = video.lastPictureTick();
    // Nothing shown yet: the check only moves the tick.
    EXPECT_FALSE(video.CheckStale(start + kStalePictureMs + 1));
    EXPECT_EQ(video.lastPictureTick(), start + kStalePictureMs + 1);

    auto datagram = Datagrams(std::vector<uint8_t>(100, 0x42), 1).front();
    video.OnVideoDatagram(datagram.data(), static_cast<int>(datagram.size()));
    const uint32_t shown = video.lastPictureTick();
    EXPECT_FALSE(video.CheckStale(shown + kStalePictureMs));
    EXPECT_TRUE(video.CheckStale(shown + kStalePictureMs + 1));
    EXPECT_FALSE(video.pictureShown());
    EXPECT_FALSE(video.CheckStale(shown + 2 * kStalePictureMs + 2));
}

}  // namespace
}  // namespace vantelsor::test
