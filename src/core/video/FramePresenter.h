// Turns a decoded YUV picture into a 32-bit bottom-up bitmap and hands a part of it
// to a FrameBlitter, 1:1.
//
// Threads: Draw runs on the video receive thread only; construction and destruction
// happen while no datagram is processed. There is no lock.
// Ownership: the presenter owns its header and its bitmap (the largest picture,
// 1280 x 1024, allocated once); the blitter is borrowed and must outlive it.
#pragma once

#include <cstdint>
#include <memory>

#include "video/FrameBlitter.h"

namespace vantelsor {

class FramePresenter {
  public:
    static constexpr int kMaxWidth = 1280;
    static constexpr int kMaxHeight = 1024;
    static constexpr int kBitmapBytes = kMaxWidth * kMaxHeight * 4;  // 5,242,880

    // Video modes: the layout of the YUV pictures Draw is given.
    static constexpr int kMode420 = 1;
    static constexpr int kMode422 = 2;

    FramePresenter(int videoMode, FrameBlitter* blitter);
    FramePresenter(const FramePresenter&) = delete;
    FramePresenter& operator=(const FramePresenter&) = delete;

    // Converts the width x height picture in `yuv` (planes packed as the video mode
    // lays them out) into the bitmap and blits the source rectangle at the
    // destination. A picture larger than 1280 x 1024, or of no size, is refused
    // (false, nothing converted or drawn); a video mode other than 1 and 2 converts
    // nothing. Returns the blitter's result otherwise.
    bool Draw(const uint8_t* yuv, int width, int height, const PixelRect& destination,
              const PixelRect& source);

    int videoMode() const { return videoMode_; }
    const BitmapHeader& header() const { return header_; }
    const uint8_t* bitmap() const { return bitmap_.get(); }

  private:
    const int videoMode_;
    FrameBlitter* const blitter_;
    BitmapHeader header_;
    std::unique_ptr<uint8_t[]> bitmap_;
};

}  // namespace vantelsor
