// A 5 x 7 pixel font for printable ASCII, drawn scaled into 32-bit pictures: the
// simulated target's clock, window titles and typed text.
#pragma once

#include <cstdint>
#include <string_view>

namespace vantelsor::sim {

// A 32-bit top-down picture: 4 bytes per pixel (blue, green, red, 0xFF).
struct Canvas {
    uint8_t* pixels = nullptr;
    int width = 0;
    int height = 0;
};

struct Colour {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
};

class BitmapFont {
  public:
    static constexpr int kGlyphWidth = 5;
    static constexpr int kGlyphHeight = 7;
    static constexpr int kAdvance = kGlyphWidth + 1;  // one column between characters

    // Draws `text` with its top-left corner at (x, y), each font pixel a scale x scale
    // square; characters outside printable ASCII are drawn as '?'. Pixels outside the
    // canvas are skipped; the descenders of g, p, q and y reach two font pixels below
    // the 7-pixel line. Returns the x just after the last character.
    static int Draw(const Canvas& canvas, int x, int y, std::string_view text, Colour colour,
                    int scale);
    static int TextWidth(std::string_view text, int scale) {
        return static_cast<int>(text.size()) * kAdvance * scale;
    }
};

// Fills the rectangle, clipped to the canvas.
void FillRect(const Canvas& canvas, int x, int y, int width, int height, Colour colour);

}  // namespace vantelsor::sim
