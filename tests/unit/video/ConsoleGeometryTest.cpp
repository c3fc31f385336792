#include <gtest/gtest.h>

#include "video/ConsoleGeometry.h"

namespace vantelsor {
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
}  // namespace vantelsor
