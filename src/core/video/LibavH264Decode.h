// H264Decode over FFmpeg's libavcodec, set up for low latency: no frame
// threading and the low-delay flag, so a picture comes out as soon as the
// last fragment of its frame is in.
#pragma once

#include "video/H264Decode.h"

struct AVCodecContext;
struct AVFrame;
struct AVPacket;

namespace vantelsor {

class LibavH264Decode : public H264Decode {
  public:
    LibavH264Decode() = default;
    ~LibavH264Decode() override;
    LibavH264Decode(const LibavH264Decode&) = delete;
    LibavH264Decode& operator=(const LibavH264Decode&) = delete;

    bool Open() override;
    void Close() override;
    int Decode(const uint8_t* data, int length, uint8_t* yuv, size_t capacity, int* width,
               int* height) override;

  private:
    int CopyPicture(uint8_t* yuv, size_t capacity, int* width, int* height) const;

    AVCodecContext* context_ = nullptr;
    AVFrame* frame_ = nullptr;
    AVPacket* packet_ = nullptr;
};

}  // namespace vantelsor
