#include <gtest/gtest.h>

#include "video/LibavH264Decode.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/opt.h>
}

#include <cstdlib>
#include <vector>

namespace vantelsor::test {
namespace {

// A picture of w x h in the packed planar 4:2:0 layout, a gradient moved by `shift`.
std::vector<uint8_t> TestPicture(int w, int h, int shift) {
    std::vector<uint8_t> yuv(w * h * 3 / 2);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x)
            yuv[y * w + x] = static_cast<uint8_t>(16 + (x * 3 + y + shift) % 200);
    }
    for (int i = w * h; i < w * h * 5 / 4; ++i) yuv[i] = 100;
    for (int i = w * h * 5 / 4; i < w * h * 3 / 2; ++i) yuv[i] = 150;
    return yuv;
}

// libx264 through libavcodec, tuned the way the device streams: every picture
// comes out at once.
class Encoder {
  public:
    Encoder(int w, int h) : w_(w), h_(h) {
        const AVCodec* codec = avcodec_find_encoder_by_name("libx264");
        if (!codec) return;
        ctx_ = avcodec_alloc_context3(codec);
        ctx_->width = w;
        ctx_->height = h;
        ctx_->pix_fmt = AV_PIX_FMT_YUV420P;
        ctx_->time_base = {1, 25};
        ctx_->gop_size = 25;
        ctx_->max_b_frames = 0;
        av_opt_set(ctx_->priv_data, "tune", "zerolatency", 0);
        av_opt_set(ctx_->priv_data, "preset", "ultrafast", 0);
        if (avcodec_open2(ctx_, codec, nullptr) < 0) avcodec_free_context(&ctx_);
        frame_ = av_frame_alloc();
        frame_->format = AV_PIX_FMT_YUV420P;
        frame_->width = w;
        frame_->height = h;
        av_frame_get_buffer(frame_, 0);
        packet_ = av_packet_alloc();
    }
    ~Encoder() {
        avcodec_free_context(&ctx_);
        av_frame_free(&frame_);
        av_packet_free(&packet_);
    }
    bool ok() const { return ctx_ != nullptr; }

    std::vector<uint8_t> Encode(const std::vector<uint8_t>& yuv) {
        av_frame_make_writable(frame_);
        const uint8_t* in = yuv.data();
        for (int plane = 0; plane < 3; ++plane) {
            const int pw = plane ? w_ / 2 : w_, ph = plane ? h_ / 2 : h_;
            for (int row = 0; row < ph; ++row, in += pw) {
                std::copy(in, in + pw, frame_->data[plane] + row * frame_->linesize[plane]);
            }
        }
        frame_->pts = pts_++;
        std::vector<uint8_t> out;
        if (avcodec_send_frame(ctx_, frame_) < 0) return out;
        while (avcodec_receive_packet(ctx_, packet_) == 0) {
            out.insert(out.end(), packet_->data, packet_->data + packet_->size);
            av_packet_unref(packet_);
        }
        return out;
    }

  private:
    int w_, h_;
    int64_t pts_ = 0;
    AVCodecContext* ctx_ = nullptr;
    AVFrame* frame_ = nullptr;
    AVPacket* packet_ = nullptr;
};

double MeanDifference(const uint8_t* a, const uint8_t* b, size_t n) {
    double sum = 0;
    for (size_t i = 0; i < n; ++i) sum += std::abs(int(a[i]) - int(b[i]));
    return sum / n;
}

constexpr int kW = 96, kH = 64;

TEST(H264Decode, EveryEncodedFrameComesOutAtOnceAndClose) {
    Encoder encoder(kW, kH);
    ASSERT_TRUE(encoder.ok()) << "libavcodec has no libx264 encoder";
    LibavH264Decode decoder;
    ASSERT_TRUE(decoder.Open());
    std::vector<uint8_t> yuv(kW * kH * 3 / 2 + 16, 0xEE);
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        const auto picture = TestPicture(kW, kH, i * 7);
        const auto stream = encoder.Encode(picture);
        ASSERT_FALSE(stream.empty());
        int w = 0, h = 0;
        ASSERT_EQ(decoder.Decode(stream.data(), stream.size(), yuv.data(), yuv.size(), &w, &h),
                  H264Decode::kPicture);
        EXPECT_EQ(w, kW);
        EXPECT_EQ(h, kH);
        EXPECT_LT(MeanDifference(yuv.data(), picture.data(), picture.size()), 3.0);
        EXPECT_EQ(yuv[picture.size()], 0xEE) << "wrote past the picture";
        // Draining with no new data finds nothing more.
        EXPECT_EQ(decoder.Decode(nullptr, 1, yuv.data(), yuv.size(), nullptr, nullptr),
                  H264Decode::kNeedMoreData);
    }
}

TEST(H264Decode, PictureLargerThanTheBufferIsRefusedAndNothingIsWritten) {
    Encoder encoder(kW, kH);
    ASSERT_TRUE(encoder.ok());
    LibavH264Decode decoder;
    ASSERT_TRUE(decoder.Open());
    const auto stream = encoder.Encode(TestPicture(kW, kH, 0));
    std::vector<uint8_t> small(kW * kH, 0x5A);  // room for the luma only
    int w = -1;
    EXPECT_EQ(decoder.Decode(stream.data(), stream.size(), small.data(), small.size(), &w, nullptr),
              H264Decode::kTooLarge);
    EXPECT_EQ(w, -1);
    for (uint8_t b : small) ASSERT_EQ(b, 0x5A);
}

TEST(H264Decode, GarbageAndMisuseNeverCrash) {
    LibavH264Decode decoder;
    std::vector<uint8_t> yuv(kW * kH * 3 / 2);
    const uint8_t junk[] = {0x00, 0x00, 0x01, 0x65, 0xFF, 0x13, 0x37};
    EXPECT_EQ(decoder.Decode(junk, sizeof junk, yuv.data(), yuv.size(), nullptr, nullptr),
              H264Decode::kNotOpen);
    ASSERT_TRUE(decoder.Open());
    std::vector<uint8_t> noise(5000);
    for (size_t i = 0; i < noise.size(); ++i)
        noise[i] = static_cast<uint8_t>(i * 2654435761u >> 13);
    const int r =
        decoder.Decode(noise.data(), noise.size(), yuv.data(), yuv.size(), nullptr, nullptr);
    EXPECT_NE(r, H264Decode::kPicture);
    EXPECT_EQ(decoder.Decode(nullptr, 0, yuv.data(), yuv.size(), nullptr, nullptr),
              H264Decode::kNeedMoreData);
    decoder.Close();
    decoder.Close();
    EXPECT_EQ(decoder.Decode(nullptr, 0, yuv.data(), yuv.size(), nullptr, nullptr),
              H264Decode::kNotOpen);
}

}  // namespace
}  // namespace vantelsor::test
