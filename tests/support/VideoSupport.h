// Helpers of the video tests: a blitter that records what it was given, and the
// peak signal-to-noise ratio of a received picture against its source.
#pragma once

#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

#include "video/FrameBlitter.h"

namespace vantelsor::test {

class RecordingBlitter : public FrameBlitter {
  public:
    struct Call {
        int width = 0;
        int height = 0;
        PixelRect source;
        PixelRect destination;
    };

    bool Blit(const BitmapHeader& header, const uint8_t* bitmap, const PixelRect& source,
              const PixelRect& destination) override {
        std::lock_guard lock(lock_);
        calls_.push_back({header.width, header.height, source, destination});
        last_.assign(bitmap, bitmap + static_cast<size_t>(header.width) * header.height * 4);
        changed_.notify_all();
        return true;
    }
    void PictureAreaChanged() override {
        std::lock_guard lock(lock_);
        ++areaChanges_;
    }

    // Waits until at least `count` pictures were blitted.
    bool WaitForPictures(size_t count, int timeoutMs) {
        std::unique_lock lock(lock_);
        return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                 [&] { return calls_.size() >= count; });
    }
    std::vector<Call> calls() const {
        std::lock_guard lock(lock_);
        return calls_;
    }
    // The last picture: bottom-up rows of 4 bytes per pixel.
    std::vector<uint8_t> lastBitmap() const {
        std::lock_guard lock(lock_);
        return last_;
    }
    int areaChanges() const {
        std::lock_guard lock(lock_);
        return areaChanges_;
    }

  private:
    mutable std::mutex lock_;
    std::condition_variable changed_;
    std::vector<Call> calls_;
    std::vector<uint8_t> last_;
    int areaChanges_ = 0;
};

// PSNR over blue, green and red of a bottom-up bitmap against a top-down source of
// the same size (both 4 bytes per pixel); infinity when they are identical.
inline double Psnr(const std::vector<uint8_t>& bottomUp, const std::vector<uint8_t>& topDown,
                   int width, int height) {
    double squares = 0;
    for (int row = 0; row < height; ++row) {
        const uint8_t* a = bottomUp.data() + static_cast<size_t>(height - 1 - row) * width * 4;
        const uint8_t* b = topDown.data() + static_cast<size_t>(row) * width * 4;
        for (int i = 0; i < width * 4; ++i) {
            if (i % 4 == 3) continue;
            const double d = double(a[i]) - double(b[i]);
            squares += d * d;
        }
    }
    const double mse = squares / (double(width) * height * 3);
    return mse == 0 ? INFINITY : 10 * std::log10(255.0 * 255.0 / mse);
}

}  // namespace vantelsor::test
