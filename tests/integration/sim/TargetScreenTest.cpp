// The simulated target's screen: typed text shows in the editor window, the pointer
// where the target's pointer is, and nothing else on the screen changes with them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "sim/TargetScreen.h"

namespace vantelsor::test {
namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

// The box around every pixel that differs between two pictures of kWidth x kHeight.
struct Box {
    int left = kWidth, top = kHeight, right = -1, bottom = -1;  // right, bottom inclusive
    int count = 0;
    bool empty() const { return count == 0; }
};

Box Difference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    Box box;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const size_t at = (static_cast<size_t>(y) * kWidth + x) * 4;
            if (std::memcmp(&a[at], &b[at], 4) == 0) continue;
            box.left = std::min(box.left, x);
            box.right = std::max(box.right, x);
            box.top = std::min(box.top, y);
            box.bottom = std::max(box.bottom, y);
            ++box.count;
        }
    }
    return box;
}

std::vector<uint8_t> Picture(const sim::SceneState& scene) {
    sim::TargetScreen screen(kWidth, kHeight);
    screen.Render(scene);
    return screen.pixels();
}

sim::SceneState Scene(std::string text, int pointerX = 600, int pointerY = 10) {
    return {"12:34:56", std::move(text), pointerX, pointerY};
}

TEST(TargetScreen, TypedTextShowsInTheEditorWindowOnly) {
    const std::vector<uint8_t> empty = Picture(Scene(""));
    const Box typed = Difference(empty, Picture(Scene("Hello, World 123")));
    ASSERT_FALSE(typed.empty());
    // The editor window spans the middle three fifths of the width, from a sixth of
    // the height down over half of it.
    EXPECT_GE(typed.left, kWidth / 5);
    EXPECT_LE(typed.right, kWidth * 4 / 5);
    EXPECT_GE(typed.top, kHeight / 6);
    EXPECT_LE(typed.bottom, kHeight / 6 + kHeight / 2);
    // One line of text: the glyphs' height at the editor's scale, not more.
    EXPECT_LT(typed.bottom - typed.top, 40);

    // A second line lies below the first; a different text draws differently.
    const Box twoLines = Difference(empty, Picture(Scene("Hello\nWorld")));
    EXPECT_GT(twoLines.bottom, typed.bottom);
    EXPECT_FALSE(Difference(Picture(Scene("abc")), Picture(Scene("abd"))).empty());
}

TEST(TargetScreen, RenderingAgainLeavesNothingOfTheLastScene) {
    sim::TargetScreen screen(kWidth, kHeight);
    screen.Render(Scene(""));
    const std::vector<uint8_t> first = screen.pixels();
    const std::vector<uint8_t> firstYuv = screen.yuv();
    screen.Render(Scene("typed", 100, 200));
    EXPECT_FALSE(Difference(first, screen.pixels()).empty());
    screen.Render(Scene(""));
    EXPECT_TRUE(Difference(first, screen.pixels()).empty());
    EXPECT_EQ(firstYuv, screen.yuv());
}

TEST(TargetScreen, PointerIsDrawnAtTheTargetsPointer) {
    const std::vector<uint8_t> atA = Picture(Scene("", 100, 120));
    const std::vector<uint8_t> atB = Picture(Scene("", 400, 300));
    const Box moved = Difference(atA, atB);
    ASSERT_FALSE(moved.empty());
    // Everything that changed lies in the arrow's box (12 x 19) at either position.
    EXPECT_EQ(moved.left, 100);
    EXPECT_EQ(moved.top, 120);
    EXPECT_LT(moved.right, 400 + 12);
    EXPECT_LT(moved.bottom, 300 + 19);
    // The arrow's tip is the pointer's hot spot: an outline pixel, drawn black.
    const size_t tip = (static_cast<size_t>(300) * kWidth + 400) * 4;
    EXPECT_EQ(atB[tip], 0);
    EXPECT_EQ(atB[tip + 1], 0);
    EXPECT_EQ(atB[tip + 2], 0);
    EXPECT_NE(std::memcmp(&atA[tip], &atB[tip], 3), 0);
}

TEST(TargetScreen, PointerAtTheEdgeIsClippedToTheScreen) {
    // The target's pointer may sit on the last column and row: only the part of the
    // arrow on the screen is drawn.
    const std::vector<uint8_t> corner = Picture(Scene("", kWidth - 1, kHeight - 1));
    const Box box = Difference(Picture(Scene("", 0, 0)), corner);
    EXPECT_EQ(box.right, kWidth - 1);
    EXPECT_EQ(box.bottom, kHeight - 1);
}

}  // namespace
}  // namespace vantelsor::test
