// Where FramePresenter's pictures go: the console window's drawing surface.
//
// Threads: Blit and PictureAreaChanged are called on the video receive thread, once
// per decoded picture. An implementation copies what it needs and posts to its own
// thread; it must never wait for the user-interface thread (that thread may itself be
// waiting for a reply, and the picture has to keep moving meanwhile).
#pragma once

#include <cstdint>

namespace vantelsor {

// The header of a 32-bit bottom-up bitmap, laid out as a device-independent bitmap's.
struct BitmapHeader {
    uint32_t size = 40;
    int32_t width = 0;
    int32_t height = 0;  // positive: rows bottom-up
    uint16_t planes = 1;
    uint16_t bitCount = 32;
    uint32_t compression = 0;  // uncompressed RGB
    uint32_t imageSize = 0;
    int32_t xPelsPerMeter = 0;
    int32_t yPelsPerMeter = 0;
    uint32_t colorsUsed = 0;
    uint32_t colorsImportant = 0;
};

// A rectangle as position and size.
struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const PixelRect&) const = default;
};

class FrameBlitter {
  public:
    virtual ~FrameBlitter() = default;

    // Draws the part `source` of the bitmap (picture coordinates, top-left origin) at
    // `destination` (window coordinates) 1:1. `bitmap` holds header.width x
    // header.height pixels of 4 bytes (blue, green, red, unused), rows bottom-up, and
    // stays valid only during the call. Returns false when nothing could be drawn.
    virtual bool Blit(const BitmapHeader& header, const uint8_t* bitmap, const PixelRect& source,
                      const PixelRect& destination) = 0;

    // The picture's place in the window changed: the whole window is to be erased to
    // black and the scroll bars brought up to date.
    virtual void PictureAreaChanged() = 0;
};

}  // namespace vantelsor
