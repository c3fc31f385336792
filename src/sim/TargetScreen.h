// The simulated target computer's screen: a desktop with icons, a taskbar with a
// clock, an editor window that shows what was typed on the simulated keyboard, and
// the pointer. Rendered as a 32-bit picture and as the planar YUV 4:2:0 picture the
// encoder takes.
//
// Not thread-safe: one owner (the video service's thread) renders and reads.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sim/BitmapFont.h"

namespace vantelsor::sim {

struct SceneState {
    std::string clock;  // "HH:MM:SS"
    std::string typedText;
    int pointerX = 0;
    int pointerY = 0;
    bool operator==(const SceneState&) const = default;
};

class TargetScreen {
  public:
    // Width and height are made even (the encoder's 4:2:0 needs it) and at least 16.
    TargetScreen(int width, int height);

    // Draws the scene; a scene equal to the last one is not drawn again.
    void Render(const SceneState& scene);

    int width() const { return width_; }
    int height() const { return height_; }
    // width x height pixels of 4 bytes (blue, green, red, 0xFF), rows top-down.
    const std::vector<uint8_t>& pixels() const { return pixels_; }
    // Y (width x height), then U and V (width/2 x height/2 each), packed.
    const std::vector<uint8_t>& yuv() const { return yuv_; }
    // Writes the picture as a binary PPM: to a temporary file beside `path`, then
    // renamed over it, so a reader never sees half a picture. False on failure.
    bool WritePpm(const std::string& path) const;

  private:
    void DrawDesktop();
    void DrawEditorText(const std::string& text);
    void DrawPointer(int x, int y);
    void ConvertToYuv();
    Canvas canvas() { return {pixels_.data(), width_, height_}; }

    int width_;
    int height_;
    std::vector<uint8_t> desktop_;  // everything that never changes, drawn once
    std::vector<uint8_t> pixels_;
    std::vector<uint8_t> yuv_;
    SceneState last_;
    bool rendered_ = false;
    // The editor window's text area.
    int textLeft_ = 0, textTop_ = 0, textWidth_ = 0, textHeight_ = 0;
    int clockX_ = 0, clockY_ = 0;
};

}  // namespace vantelsor::sim
