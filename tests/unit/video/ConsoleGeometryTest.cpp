#include <gtest/gtest.h>

#include <string>

#include "video/ConsoleGeometry.h"

namespace vantelsor::test {
namespace {

PictureLayout Client(int width, int height, int scrollX = 0, int scrollY = 0) {
    PictureLayout layout;
    layout.clientRect = {0, 0, width, height};
    layout.scrollX = scrollX;
    layout.scrollY = scrollY;
    return layout;
}

TEST(ConsoleGeometry, PictureUpdate) {
    struct Case {
        const char* name;
        PictureLayout before;
        int width, height;
        Rect pictureRect;
        int scrollX, scrollY;
    };
    const Case cases[] = {
        {"larger window: centred, no scrolling",
         Client(1400, 1100, 50, 70),
         1280,
         1024,
         {60, 38, 1340, 1062},
         0,
         0},
        {"odd margin rounds toward zero", Client(1283, 1025), 1280, 1024, {1, 0, 1281, 1024}, 0, 0},
        {"window exactly the picture's size",
         Client(1280, 1024),
         1280,
         1024,
         {0, 0, 1280, 1024},
         0,
         0},
        {"smaller window keeps its scroll offsets",
         Client(800, 600, 100, 200),
         1280,
         1024,
         {0, 0, 800, 600},
         100,
         200},
        {"wider window scrolled right keeps the right edge",
         Client(1100, 600, 280, 0),
         1280,
         1024,
         {0, 0, 1100, 600},
         180,
         0},
        {"narrower window keeps the offset",
         Client(900, 600, 280, 0),
         1280,
         1024,
         {0, 0, 900, 600},
         280,
         0},
        {"taller window scrolled down keeps the bottom edge",
         Client(800, 1000, 0, 424),
         1280,
         1024,
         {0, 0, 800, 1000},
         0,
         24},
        {"wide but short: centred across, scrolled down",
         Client(1400, 500, 30, 40),
         1280,
         1024,
         {60, 0, 1340, 500},
         0,
         40},
        {"no client area yet", Client(0, 0), 1280, 1024, {0, 0, 0, 0}, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PictureLayout layout = c.before;
        ApplyPictureSize(layout, c.width, c.height);
        EXPECT_EQ(layout.pictureRect, c.pictureRect);
        EXPECT_EQ(layout.scrollX, c.scrollX);
        EXPECT_EQ(layout.scrollY, c.scrollY);
        EXPECT_EQ(layout.pictureWidth, c.width);
        EXPECT_EQ(layout.pictureHeight, c.height);
    }
}

TEST(ConsoleGeometry, ReportsAChangeOnlyWhenThePictureRectangleMoves) {
    PictureLayout layout = Client(1400, 1100);
    EXPECT_TRUE(ApplyPictureSize(layout, 1280, 1024));
    EXPECT_FALSE(ApplyPictureSize(layout, 1280, 1024));
    EXPECT_TRUE(ApplyPictureSize(layout, 1024, 768));
    layout.clientRect = {0, 0, 800, 600};
    EXPECT_TRUE(ApplyPictureSize(layout, 1024, 768));
    // Scrolling changes what is shown, not where: no erase.
    layout.scrollX = 100;
    EXPECT_FALSE(ApplyPictureSize(layout, 1024, 768));
}

// A window of the given client size and scroll offsets after a picture of
// width x height arrived: the layout the view hit-tests and maps against.
PictureLayout Shown(int clientWidth, int clientHeight, int width, int height, int scrollX = 0,
                    int scrollY = 0) {
    PictureLayout layout = Client(clientWidth, clientHeight, scrollX, scrollY);
    ApplyPictureSize(layout, width, height);
    return layout;
}

TEST(ConsoleGeometry, PointerOverThePictureMapsToTargetPixels) {
    struct Case {
        const char* name;
        PictureLayout layout;
        int x, y;
        bool over;
        TargetPoint target;  // checked only over the picture
    };
    // 1280x1024 centred in 1400x1100: picture rectangle (60, 38) .. (1340, 1062).
    const PictureLayout centred = Shown(1400, 1100, 1280, 1024);
    // An 800x600 window scrolled to (480, 424) shows the picture's far corner.
    const PictureLayout scrolled = Shown(800, 600, 1280, 1024, 480, 424);
    // Exactly as wide as the picture (not centred: the scroll offset counts), taller.
    const PictureLayout asWide = Shown(1280, 1124, 1280, 1024, 0, 0);
    // Centred across, scrolled down.
    const PictureLayout wideShort = Shown(1400, 500, 1280, 1024, 30, 40);
    const Case cases[] = {
        {"centred: top-left pixel", centred, 60, 38, true, {0, 0}},
        {"centred: far corner", centred, 1339, 1061, true, {1279, 1023}},
        {"centred: middle", centred, 700, 550, true, {640, 512}},
        {"centred: left margin", centred, 59, 500, false, {}},
        {"centred: top margin", centred, 500, 37, false, {}},
        {"centred: right edge is outside", centred, 1340, 500, false, {}},
        {"centred: bottom edge is outside", centred, 500, 1062, false, {}},
        {"scrolled: window origin", scrolled, 0, 0, true, {480, 424}},
        {"scrolled: far corner", scrolled, 799, 599, true, {1279, 1023}},
        {"scrolled: past the client area", scrolled, 800, 10, false, {}},
        {"as wide, taller", asWide, 10, 60, true, {10, 10}},
        {"as wide, above the picture", asWide, 10, 49, false, {}},
        {"centred across, scrolled down", wideShort, 60, 0, true, {0, 40}},
        {"centred across, scrolled down, far corner", wideShort, 1339, 499, true, {1279, 539}},
        {"no picture yet", Client(800, 600), 10, 10, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(OverPicture(c.layout, c.x, c.y), c.over);
        if (c.over) {
            EXPECT_EQ(TargetPosition(c.layout, c.x, c.y), c.target);
        }
    }
}

// Every window point over the picture lands on a pixel of the target's screen,
// one window pixel to one target pixel, whatever the window's size and offsets.
TEST(ConsoleGeometry, EveryPointOverThePictureIsATargetPixel) {
    const int w = 640, h = 480;
    const PictureLayout layouts[] = {
        Shown(1000, 800, w, h),          Shown(641, 481, w, h),
        Shown(640, 480, w, h),           Shown(400, 300, w, h, 9, 7),
        Shown(400, 300, w, h, 240, 180), Shown(800, 300, w, h, 0, 100),
        Shown(500, 600, w, h, 140, 0),
    };
    for (const PictureLayout& l : layouts) {
        SCOPED_TRACE(std::to_string(l.clientRect.width()) + "x" +
                     std::to_string(l.clientRect.height()));
        int over = 0;
        for (int y = 0; y < l.clientRect.height(); y += 7) {
            for (int x = 0; x < l.clientRect.width(); x += 7) {
                if (!OverPicture(l, x, y)) continue;
                ++over;
                const TargetPoint t = TargetPosition(l, x, y);
                ASSERT_TRUE(t.x >= 0 && t.x < w && t.y >= 0 && t.y < h) << x << "," << y;
                ASSERT_EQ(TargetPosition(l, x + 1, y + 1), (TargetPoint{t.x + 1, t.y + 1}));
            }
        }
        EXPECT_GT(over, 0);
    }
}

TEST(ConsoleGeometry, ScrollBarsHideWhenThePictureIsSmaller) {
    EXPECT_EQ(ScrollBarFor(1024, 1400), (ScrollBarRange{0, 0}));
    EXPECT_EQ(ScrollBarFor(1280, 1280), (ScrollBarRange{1279, 1280}));
    EXPECT_EQ(ScrollBarFor(1280, 800), (ScrollBarRange{1279, 800}));
    EXPECT_EQ(ScrollBarFor(0, 800), (ScrollBarRange{0, 0}));
}

TEST(ConsoleGeometry, ClientRectangleEdgesAreOrdered) {
    EXPECT_EQ(NormalisedClientRect(800, 600, 0, 0), (Rect{0, 0, 800, 600}));
    EXPECT_EQ(NormalisedClientRect(0, 600, 800, 0), (Rect{0, 0, 800, 600}));
    EXPECT_EQ(NormalisedClientRect(0, 0, 800, 600), (Rect{0, 0, 800, 600}));
}

TEST(ConsoleGeometry, Scrolling) {
    struct Case {
        const char* name;
        ScrollCode code;
        int current, thumb, client, picture;
        int expected;
    };
    const Case cases[] = {
        {"line forward", ScrollCode::kLineForward, 100, 0, 800, 1280, 110},
        {"line back", ScrollCode::kLineBack, 100, 0, 800, 1280, 90},
        {"line forward at the end stays at the end", ScrollCode::kLineForward, 480, 0, 800, 1280,
         480},
        {"line back at the start stays at 0", ScrollCode::kLineBack, 0, 0, 800, 1280, 0},
        {"line back near the start clamps to 0", ScrollCode::kLineBack, 4, 0, 800, 1280, 0},
        {"page forward clamps to the end", ScrollCode::kPageForward, 100, 0, 800, 1280, 480},
        {"page back", ScrollCode::kPageBack, 450, 0, 400, 1280, 50},
        {"thumb track", ScrollCode::kThumbTrack, 0, 321, 800, 1280, 321},
        {"thumb beyond the end clamps", ScrollCode::kThumbTrack, 0, 1000, 800, 1280, 480},
        {"to start", ScrollCode::kToStart, 300, 0, 800, 1280, 0},
        {"to end", ScrollCode::kToEnd, 0, 0, 800, 1280, 480},
        {"thumb released keeps the offset", ScrollCode::kOther, 123, 999, 800, 1280, 123},
        {"picture not larger than the window: always 0", ScrollCode::kLineForward, 0, 0, 1400, 1280,
         0},
        {"exact fit: nothing to scroll", ScrollCode::kToEnd, 0, 0, 1280, 1280, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ScrollPosition(c.code, c.current, c.thumb, c.client, c.picture), c.expected);
    }
}

}  // namespace
}  // namespace vantelsor::test
