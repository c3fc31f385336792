// The decoder interface of the video pipeline: H.264 byte stream in, planar
// YUV 4:2:0 picture out (Y plane, then U, then V, each packed at the picture
// width: Y w x h, U and V (w/2) x (h/2)).
//
// Open and Close run on the user-interface thread while no datagrams are
// processed; Decode only on the video receive thread.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vantelsor {

class H264Decode {
  public:
    // Decode results.
    static constexpr int kPicture = 0;        // a picture was copied
    static constexpr int kNeedMoreData = -1;  // no further picture for now
    static constexpr int kEndOfStream = -2;   // no further picture for now
    static constexpr int kError = -3;         // the data could not be decoded
    static constexpr int kTooLarge = -4;      // the picture does not fit the buffer given
    static constexpr int kNotOpen = -5;

    virtual ~H264Decode() = default;

    virtual bool Open() = 0;
    // Harmless when not open, and twice.
    virtual void Close() = 0;
    // Feeds `length` bytes (a null `data` or a length of 0: no new data, only
    // deliver a picture the decoder still holds) and copies the next finished
    // picture into `yuv`, which holds `capacity` bytes. On anything but
    // kPicture, `yuv`, `width` and `height` are left untouched; width and
    // height may be null.
    virtual int Decode(const uint8_t* data, int length, uint8_t* yuv, size_t capacity, int* width,
                       int* height) = 0;
};

}  // namespace vantelsor
