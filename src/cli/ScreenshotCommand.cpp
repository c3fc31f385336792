#include <png.h>

#include <cstdio>
#include <cstring>
#include <mutex>
#include <vector>

#include "cli/CommandRuns.h"
#include "cli/CtlOptions.h"
#include "net/ManualResetEvent.h"
#include "net/NetSession.h"
#include "session/SessionInfo.h"
#include "video/ConsoleVideo.h"

namespace vantelsor::ctl {

namespace {

// Keeps the N-th picture it is given, as top-down RGB rows.
class CaptureBlitter : public FrameBlitter {
  public:
    explicit CaptureBlitter(int wanted) : wanted_(wanted) {}

    // Video receive thread.
    bool Blit(const BitmapHeader& header, const uint8_t* bitmap, const PixelRect&,
              const PixelRect&) override {
        if (++seen_ != wanted_) return true;
        std::lock_guard lock(lock_);
        width_ = header.width;
        height_ = header.height;
        rgb_.resize(static_cast<size_t>(width_) * height_ * 3);
        for (int row = 0; row < height_; ++row) {
            // The bitmap's rows are bottom-up.
            const uint8_t* in = bitmap + static_cast<size_t>(height_ - 1 - row) * width_ * 4;
            uint8_t* out = rgb_.data() + static_cast<size_t>(row) * width_ * 3;
            for (int x = 0; x < width_; ++x, in += 4, out += 3) {
                out[0] = in[2];
                out[1] = in[1];
                out[2] = in[0];
            }
        }
        done_.Set();
        return true;
    }
    void PictureAreaChanged() override {}

    bool Wait(uint32_t timeoutMs) { return done_.Wait(timeoutMs) == kWaitSignalled; }

    bool Write(const std::string& file) {
        std::lock_guard lock(lock_);
        png_image image;
        std::memset(&image, 0, sizeof image);
        image.version = PNG_IMAGE_VERSION;
        image.width = static_cast<png_uint_32>(width_);
        image.height = static_cast<png_uint_32>(height_);
        image.format = PNG_FORMAT_RGB;
        const int ok = png_image_write_to_file(&image, file.c_str(), 0, rgb_.data(), 0, nullptr);
        png_image_free(&image);
        return ok != 0;
    }
    int width() const { return width_; }
    int height() const { return height_; }

  private:
    const int wanted_;
    int seen_ = 0;  // receive thread only
    std::mutex lock_;
    int width_ = 0;
    int height_ = 0;
    std::vector<uint8_t> rgb_;
    ManualResetEvent done_;
};

}  // namespace

int RunScreenshot(const Invocation& c, const CommandContext& x) {
    const std::string& file = c.values[0];
    CaptureBlitter capture(c.frames);
    bool received = false;
    {
        ConsoleVideo video(*x.info, &capture);
        if (!video.Start(x.session)) {
            std::fprintf(stderr, "cannot open the video channel\n");
            return kExitFailed;
        }
        received = capture.Wait(x.timing.replyTimeoutMs);
        video.Stop();
    }
    if (!received) {
        std::fprintf(stderr, "no picture from the device in time\n");
        return kExitTimeout;
    }
    if (!capture.Write(file)) {
        std::fprintf(stderr, "cannot write %s\n", file.c_str());
        return kExitFailed;
    }
    std::printf("wrote %s (%dx%d, picture %d)\n", file.c_str(), capture.width(), capture.height(),
                c.frames);
    return kExitOk;
}

}  // namespace vantelsor::ctl
