#include <gtest/gtest.h>

#include <vector>

#include "VideoSupport.h"
#include "video/ColourConversion.h"
#include "video/FramePresenter.h"

namespace vantelsor::test {
namespace {

// The scalar formulas for one pixel, the reference the presenter's output must match.
struct Bgr {
    int b, g, r;
};
int Clamp(int v) {
    return v < 0 ? 0 : v > 255 ? 255 : v;
}
Bgr Reference(int y, int u, int v) {
    const int t = 76309 * (y - 16);
    u -= 128;
    v -= 128;
    return {Clamp((t + 132201 * u) >> 16), Clamp((t - 53278 * v - 25674 * u) >> 16),
            Clamp((t + 104597 * v) >> 16)};
}

// A picture with uniform planes, in the packed layout of the given mode.
std::vector<uint8_t> Uniform(int w, int h, int mode, uint8_t y, uint8_t u, uint8_t v) {
    const size_t luma = static_cast<size_t>(w) * h;
    const size_t chroma = mode == FramePresenter::kMode420 ? luma / 4 : luma / 2;
    std::vector<uint8_t> yuv(luma + 2 * chroma, y);
    std::fill(yuv.begin() + luma, yuv.begin() + luma + chroma, u);
    std::fill(yuv.begin() + luma + chroma, yuv.end(), v);
    return yuv;
}

TEST(FramePresenter, ReadsTheChromaPlanesAtTheirModesOffsets) {
    struct Case {
        int mode, width, height;
        size_t uOffset, vOffset;
    };
    const Case cases[] = {
        {FramePresenter::kMode420, 1024, 768, 786432, 983040},
        {FramePresenter::kMode422, 1024, 768, 786432, 1179648},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        // Y, U and V each distinct: any other offset reads a different plane.
        std::vector<uint8_t> yuv = Uniform(c.width, c.height, c.mode, 100, 128, 128);
        std::fill(yuv.begin() + c.uOffset, yuv.begin() + c.vOffset, uint8_t{60});
        std::fill(yuv.begin() + c.vOffset, yuv.end(), uint8_t{200});
        RecordingBlitter blitter;
        FramePresenter presenter(c.mode, &blitter);
        ASSERT_TRUE(presenter.Draw(yuv.data(), c.width, c.height, {0, 0, 10, 10}, {0, 0, 10, 10}));
        const Bgr want = Reference(100, 60, 200);
        const uint8_t* bitmap = presenter.bitmap();
        for (size_t pixel : {size_t{0}, static_cast<size_t>(c.width * c.height - 1)}) {
            // The vector path may differ from the scalar formulas by one step.
            EXPECT_NEAR(bitmap[pixel * 4 + 0], want.b, 1);
            EXPECT_NEAR(bitmap[pixel * 4 + 1], want.g, 1);
            EXPECT_NEAR(bitmap[pixel * 4 + 2], want.r, 1);
        }
    }
}

TEST(FramePresenter, LargestPictureFillsTheBitmapBottomUp) {
    constexpr int w = 1280, h = 1024;
    std::vector<uint8_t> yuv = Uniform(w, h, FramePresenter::kMode420, 16, 128, 128);
    std::fill(yuv.begin(), yuv.begin() + w, uint8_t{236});  // picture row 0 white
    RecordingBlitter blitter;
    FramePresenter presenter(FramePresenter::kMode420, &blitter);
    ASSERT_TRUE(presenter.Draw(yuv.data(), w, h, {0, 0, w, h}, {0, 0, w, h}));
    static_assert(FramePresenter::kBitmapBytes == w * h * 4);
    const uint8_t* lastRow = presenter.bitmap() + FramePresenter::kBitmapBytes - w * 4;
    const uint8_t* firstRow = presenter.bitmap();
    for (int i = 0; i < w * 4; i += 4) {
        ASSERT_EQ(lastRow[i], 255) << i;
        ASSERT_EQ(firstRow[i], 0) << i;
    }
    EXPECT_EQ(presenter.header().width, w);
    EXPECT_EQ(presenter.header().height, h);
    EXPECT_EQ(presenter.header().bitCount, 32);
    EXPECT_EQ(presenter.header().size, 40u);
}

TEST(FramePresenter, HandsTheRectanglesToTheBlitterUnchanged) {
    std::vector<uint8_t> yuv = Uniform(1280, 1024, FramePresenter::kMode420, 50, 128, 128);
    RecordingBlitter blitter;
    FramePresenter presenter(FramePresenter::kMode420, &blitter);
    const PixelRect destination{0, 0, 800, 600};
    const PixelRect source{480, 424, 800, 600};
    ASSERT_TRUE(presenter.Draw(yuv.data(), 1280, 1024, destination, source));
    const auto calls = blitter.calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].destination, destination);
    EXPECT_EQ(calls[0].source, source);
    EXPECT_EQ(calls[0].width, 1280);
    EXPECT_EQ(calls[0].height, 1024);
}

TEST(FramePresenter, RefusesPicturesThatDoNotFitTheBitmap) {
    std::vector<uint8_t> yuv = Uniform(1282, 1026, FramePresenter::kMode420, 50, 128, 128);
    RecordingBlitter blitter;
    FramePresenter presenter(FramePresenter::kMode420, &blitter);
    for (auto [w, h] : {std::pair{1282, 1024}, {1280, 1026}, {0, 1024}, {1280, -2}}) {
        EXPECT_FALSE(presenter.Draw(yuv.data(), w, h, {}, {})) << w << "x" << h;
    }
    EXPECT_TRUE(blitter.calls().empty());
}

TEST(FramePresenter, UnknownVideoModeConvertsNothing) {
    std::vector<uint8_t> yuv = Uniform(64, 64, FramePresenter::kMode422, 200, 128, 128);
    RecordingBlitter blitter;
    FramePresenter presenter(3, &blitter);
    EXPECT_TRUE(presenter.Draw(yuv.data(), 64, 64, {}, {}));
    const uint8_t* bitmap = presenter.bitmap();
    EXPECT_TRUE(std::all_of(bitmap, bitmap + 64 * 64 * 4, [](uint8_t b) { return b == 0; }));
}

}  // namespace
}  // namespace vantelsor::test
