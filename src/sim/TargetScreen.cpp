#include "sim/TargetScreen.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "settings/AtomicFile.h"

namespace vantelsor::sim {

namespace {

constexpr Colour kDesktop{43, 93, 140};
constexpr Colour kTaskbar{32, 36, 42};
constexpr Colour kStartButton{46, 125, 50};
constexpr Colour kWhite{255, 255, 255};
constexpr Colour kBlack{0, 0, 0};
constexpr Colour kTitleBar{31, 78, 158};
constexpr Colour kWindowFrame{200, 204, 210};
constexpr Colour kIconColours[] = {{230, 180, 60}, {90, 170, 230}, {160, 160, 170}};
constexpr const char* kIconLabels[] = {"Computer", "Network", "Recycle Bin"};

constexpr int kTaskbarHeight = 40;
constexpr int kTitleHeight = 32;
constexpr int kTextScale = 3;
constexpr int kLineHeight = (BitmapFont::kGlyphHeight + 3) * kTextScale;

// The pointer: an arrow, '#' outline, '+' fill.
constexpr const char* kArrow[] = {
    "#",         "##",         "#+#",        "#++#",        "#+++#",        "#++++#",   "#+++++#",
    "#++++++#",  "#+++++++#",  "#++++++++#", "#+++++++++#", "#++++++#####", "#+++#++#", "#++# #++#",
    "#+#  #++#", "##    #++#", "#     #++#", "       #++#", "        ##",
};

// Studio-range BT.601, the matrix the client's converters invert.
uint8_t Luma(int r, int g, int b) {
    return static_cast<uint8_t>(((66 * r + 129 * g + 25 * b + 128) >> 8) + 16);
}
uint8_t ChromaU(int r, int g, int b) {
    return static_cast<uint8_t>(((-38 * r - 74 * g + 112 * b + 128) >> 8) + 128);
}
uint8_t ChromaV(int r, int g, int b) {
    return static_cast<uint8_t>(((112 * r - 94 * g - 18 * b + 128) >> 8) + 128);
}

}  // namespace

TargetScreen::TargetScreen(int width, int height)
    : width_(std::max(16, width & ~1)),
      height_(std::max(16, height & ~1)),
      desktop_(static_cast<size_t>(width_) * height_ * 4),
      pixels_(desktop_.size()),
      yuv_(static_cast<size_t>(width_) * height_ * 3 / 2) {
    DrawDesktop();
}

void TargetScreen::DrawDesktop() {
    const Canvas c{desktop_.data(), width_, height_};
    FillRect(c, 0, 0, width_, height_, kDesktop);
    BitmapFont::Draw(c, 16, 12, "Vantelsor simulated target", kWhite, 2);
    for (int i = 0; i < 3; ++i) {
        const int top = 60 + i * 110;
        FillRect(c, 40, top, 56, 56, kIconColours[i]);
        FillRect(c, 48, top + 8, 40, 28, kWhite);
        const int labelWidth = BitmapFont::TextWidth(kIconLabels[i], 2);
        BitmapFont::Draw(c, 68 - labelWidth / 2, top + 66, kIconLabels[i], kWhite, 2);
    }
    // The editor window, placed relative to the screen so that any size shows it.
    const int left = width_ / 5;
    const int top = height_ / 6;
    const int w = width_ * 3 / 5;
    const int h = height_ / 2;
    FillRect(c, left - 2, top - 2, w + 4, h + 4, kWindowFrame);
    FillRect(c, left, top, w, kTitleHeight, kTitleBar);
    BitmapFont::Draw(c, left + 10, top + 9, "Notepad - target.txt", kWhite, 2);
    FillRect(c, left, top + kTitleHeight, w, h - kTitleHeight, kWhite);
    textLeft_ = left + 12;
    textTop_ = top + kTitleHeight + 12;
    textWidth_ = w - 24;
    textHeight_ = h - kTitleHeight - 24;

    FillRect(c, 0, height_ - kTaskbarHeight, width_, kTaskbarHeight, kTaskbar);
    FillRect(c, 6, height_ - kTaskbarHeight + 6, 90, kTaskbarHeight - 12, kStartButton);
    BitmapFont::Draw(c, 22, height_ - kTaskbarHeight + 13, "Start", kWhite, 2);
    clockX_ = width_ - BitmapFont::TextWidth("00:00:00", 2) - 16;
    clockY_ = height_ - kTaskbarHeight + 13;
}

void TargetScreen::Render(const SceneState& scene) {
    if (rendered_ && scene == last_) return;
    std::memcpy(pixels_.data(), desktop_.data(), desktop_.size());
    BitmapFont::Draw(canvas(), clockX_, clockY_, scene.clock, kWhite, 2);
    DrawEditorText(scene.typedText);
    DrawPointer(scene.pointerX, scene.pointerY);
    ConvertToYuv();
    last_ = scene;
    rendered_ = true;
}

bool TargetScreen::WritePpm(const std::string& path) const {
    const std::string header =
        "P6\n" + std::to_string(width_) + " " + std::to_string(height_) + "\n255\n";
    std::vector<uint8_t> rgb(static_cast<size_t>(width_) * height_ * 3);
    for (size_t i = 0, j = 0; j < rgb.size(); i += 4, j += 3) {
        rgb[j] = pixels_[i + 2];
        rgb[j + 1] = pixels_[i + 1];
        rgb[j + 2] = pixels_[i];
    }
    const std::string_view pixels(reinterpret_cast<const char*>(rgb.data()), rgb.size());
    return AtomicFile::Write(path, {header, pixels}) == 0;
}

void TargetScreen::DrawEditorText(const std::string& text) {
    const int columns = std::max(1, textWidth_ / (BitmapFont::kAdvance * kTextScale));
    const int rows = std::max(1, textHeight_ / kLineHeight);
    // Lay the text out in lines (wrapping long ones), then show the last lines that fit,
    // the caret after the last character.
    std::vector<std::string> lines(1);
    for (const char ch : text) {
        if (ch == '\n') {
            lines.emplace_back();
            continue;
        }
        if (static_cast<int>(lines.back().size()) == columns) lines.emplace_back();
        lines.back() += ch;
    }
    if (static_cast<int>(lines.back().size()) == columns) lines.emplace_back();
    lines.back() += '_';
    const size_t first = lines.size() > static_cast<size_t>(rows) ? lines.size() - rows : 0;
    for (size_t i = first; i < lines.size(); ++i) {
        const int y = textTop_ + static_cast<int>(i - first) * kLineHeight;
        BitmapFont::Draw(canvas(), textLeft_, y, lines[i], kBlack, kTextScale);
    }
}

void TargetScreen::DrawPointer(int x, int y) {
    for (int row = 0; row < static_cast<int>(std::size(kArrow)); ++row) {
        const char* line = kArrow[row];
        for (int column = 0; line[column] != '\0'; ++column) {
            if (line[column] == ' ') continue;
            FillRect(canvas(), x + column, y + row, 1, 1, line[column] == '#' ? kBlack : kWhite);
        }
    }
}

void TargetScreen::ConvertToYuv() {
    const int cw = width_ / 2;
    uint8_t* yPlane = yuv_.data();
    uint8_t* uPlane = yPlane + static_cast<size_t>(width_) * height_;
    uint8_t* vPlane = uPlane + static_cast<size_t>(cw) * (height_ / 2);
    for (int row = 0; row < height_; ++row) {
        const uint8_t* p = pixels_.data() + static_cast<size_t>(row) * width_ * 4;
        for (int x = 0; x < width_; ++x, p += 4) {
            yPlane[static_cast<size_t>(row) * width_ + x] = Luma(p[2], p[1], p[0]);
        }
    }
    for (int row = 0; row < height_ / 2; ++row) {
        const uint8_t* top = pixels_.data() + static_cast<size_t>(row * 2) * width_ * 4;
        const uint8_t* bottom = top + static_cast<size_t>(width_) * 4;
        for (int x = 0; x < cw; ++x) {
            // The average colour of the 2 x 2 block the chroma sample covers.
            int sum[3] = {0, 0, 0};
            for (int k = 0; k < 3; ++k) {
                sum[k] =
                    top[x * 8 + k] + top[x * 8 + 4 + k] + bottom[x * 8 + k] + bottom[x * 8 + 4 + k];
            }
            const int b = (sum[0] + 2) / 4, g = (sum[1] + 2) / 4, r = (sum[2] + 2) / 4;
            uPlane[static_cast<size_t>(row) * cw + x] = ChromaU(r, g, b);
            vPlane[static_cast<size_t>(row) * cw + x] = ChromaV(r, g, b);
        }
    }
}

}  // namespace vantelsor::sim
