// H.264 encoding of the simulated target's screen with libavcodec's libx264, tuned
// for zero latency: every picture comes out as one access unit as soon as it goes in
// (no B-frames, no look-ahead, one thread).
//
// Not thread-safe: one owner encodes.
#pragma once

#include <cstdint>
#include <vector>

#include "protocol/VideoSettingsMessages.h"

struct AVCodecContext;
struct AVFrame;
struct AVPacket;

namespace vantelsor::sim {

class VideoEncoder {
  public:
    // A key frame every `keyInterval` pictures; the bit rate is taken in kbit/s.
    VideoEncoder(int width, int height, VideoRate rate, int keyInterval);
    ~VideoEncoder();
    VideoEncoder(const VideoEncoder&) = delete;
    VideoEncoder& operator=(const VideoEncoder&) = delete;

    // False when libx264 is missing or refused the settings.
    bool ok() const { return context_ != nullptr; }

    // Encodes one packed planar 4:2:0 picture of the encoder's size (Y, then U, then V)
    // and replaces `out` with the access unit (Annex B byte stream). A forced key frame
    // is an IDR picture that a decoder can start from. False on an encoder error.
    bool Encode(const uint8_t* yuv, bool keyFrame, std::vector<uint8_t>& out);

  private:
    int width_;
    int height_;
    int64_t pts_ = 0;
    AVCodecContext* context_ = nullptr;
    AVFrame* frame_ = nullptr;
    AVPacket* packet_ = nullptr;
};

}  // namespace vantelsor::sim
