#include "video/FramePresenter.h"

#include "video/ColourConversion.h"

namespace vantelsor {

FramePresenter::FramePresenter(int videoMode, FrameBlitter* blitter)
    : videoMode_(videoMode),
      blitter_(blitter),
      bitmap_(std::make_unique<uint8_t[]>(kBitmapBytes)) {}

bool FramePresenter::Draw(const uint8_t* yuv, int width, int height, const PixelRect& destination,
                          const PixelRect& source) {
    if (width <= 0 || height <= 0 || width > kMaxWidth || height > kMaxHeight) return false;
    header_.width = width;
    header_.height = height;
    // The plane offsets of the packed layouts; both fit in 32 bits at 1280 x 1024.
    const int lumaBytes = width * height;
    if (videoMode_ == kMode420) {
        ConvertYuv420(yuv, yuv + lumaBytes, yuv + lumaBytes * 5 / 4, bitmap_.get(), width, height);
    } else if (videoMode_ == kMode422) {
        ConvertYuv422(yuv, yuv + lumaBytes, yuv + lumaBytes * 3 / 2, bitmap_.get(), width, height);
    }
    return blitter_->Blit(header_, bitmap_.get(), source, destination);
}

}  // namespace vantelsor
