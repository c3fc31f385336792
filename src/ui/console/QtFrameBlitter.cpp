#include "ui/console/QtFrameBlitter.h"

#include <cstring>

namespace vantelsor::ui {

QtFrameBlitter::QtFrameBlitter(QObject* context, std::function<void()> repaint,
                               std::function<void()> areaChanged)
    : repaint_(
          [this, repaint = std::move(repaint)] {
              repaintPosted_ = false;
              repaint();
          },
          context),
      areaChanged_(std::move(areaChanged), context) {}

bool QtFrameBlitter::Blit(const BitmapHeader& header, const uint8_t* bitmap,
                          const PixelRect& source, const PixelRect& destination) {
    const int w = source.width, h = source.height;
    if (w <= 0 || h <= 0 || source.x < 0 || source.y < 0 || source.x + w > header.width ||
        source.y + h > header.height) {
        return false;
    }
    // Allocated again only when the visible size changes.
    if (back_.image.width() != w || back_.image.height() != h) {
        back_.image = QImage(w, h, QImage::Format_RGB32);
    }
    // Blue, green, red, unused is Format_RGB32's byte order on a little-endian
    // machine; the source rows run bottom-up.
    const size_t rowBytes = static_cast<size_t>(header.width) * 4;
    for (int y = 0; y < h; ++y) {
        const int row = header.height - 1 - (source.y + y);
        std::memcpy(back_.image.scanLine(y), bitmap + row * rowBytes + source.x * 4,
                    static_cast<size_t>(w) * 4);
    }
    back_.destination = QRect(destination.x, destination.y, destination.width, destination.height);
    back_.blitted = std::chrono::steady_clock::now();
    back_.arrival = arrivalClock_ ? arrivalClock_() : back_.blitted;
    {
        std::lock_guard lock(slotLock_);
        std::swap(back_, ready_);
        fresh_ = true;
    }
    ++blitted_;
    // One repaint request at a time: a slow painter skips pictures.
    if (!repaintPosted_.exchange(true)) repaint_.Post();
    return true;
}

void QtFrameBlitter::PictureAreaChanged() {
    areaChanged_.Post();
}

bool QtFrameBlitter::TakeNewest(ConsolePicture& front) {
    std::lock_guard lock(slotLock_);
    if (!fresh_) return false;
    std::swap(front, ready_);
    fresh_ = false;
    return true;
}

}  // namespace vantelsor::ui
