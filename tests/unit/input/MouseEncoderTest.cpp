#include <gtest/gtest.h>

#include "Hex.h"
#include "input/MouseEncoder.h"
#include "protocol/InputMessages.h"

namespace vantelsor::test {
namespace {

std::string Mouse(MouseEncoder& e, uint32_t flags, int dx, int dy, int8_t wheel) {
    input::MouseMessageBytes m{};
    int length = 0;
    if (!e.BuildMouseMessage(flags, dx, dy, wheel, &m, &length)) return "none";
    EXPECT_EQ(length, 10);
    return ToHex(m);
}

TEST(MouseEncoder, Messages) {
    struct Case {
        const char* name;
        uint32_t flags;
        int dx, dy;
        int8_t wheel;
        const char* message;
    };
    // One encoder through all rows: the button state carries from one to the next.
    const Case cases[] = {
        {"left press", 0x01, 0, 0, 0, "EF 09 00 00 00 01 00 00 00 0A"},
        {"left release", 0x02, 0, 0, 0, "EF 08 00 00 00 00 00 00 00 08"},
        {"move -5, 3", 0, -5, 3, 0, "EF 38 FB FD 00 00 FB 03 00 2E"},
        {"wheel one notch away", 0, 0, 0, 1, "EF 08 00 00 FF 00 00 00 01 08"},
        {"wheel most toward", 0, 0, 0, -8, "EF 08 00 00 08 00 00 00 F8 08"},
        {"right and middle down", 0x14, 0, 0, 0, "EF 0E 00 00 00 06 00 00 00 14"},
        {"move up-right while held", 0, 80, -80, 0, "EF 0E 50 50 00 06 50 B0 00 B4"},
        {"right up, left down", 0x09, 0, 0, 0, "EF 0D 00 00 00 05 00 00 00 12"},
        {"unknown flag bits ignored", 0x40 | 0x80 | 0x20 | 0x02, 0, 0, 0,
         "EF 08 00 00 00 00 00 00 00 08"},
        {"step left", 0, -80, 0, 0, "EF 18 B0 00 00 00 B0 00 00 78"},
    };
    MouseEncoder e;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Mouse(e, c.flags, c.dx, c.dy, c.wheel), c.message);
    }
}

TEST(MouseEncoder, WheelOutsideItsRangeSendsNothingAndKeepsTheButtons) {
    MouseEncoder e;
    Mouse(e, 0x01, 0, 0, 0);
    EXPECT_EQ(Mouse(e, 0x02, 0, 0, 7), "none");
    EXPECT_EQ(Mouse(e, 0x02, 0, 0, -9), "none");
    EXPECT_EQ(Mouse(e, 0x02, 0, 0, 127), "none");
    EXPECT_EQ(e.buttons(), 0x01);
    EXPECT_NE(Mouse(e, 0, 0, 0, 6), "none");
}

}  // namespace
}  // namespace vantelsor::test
