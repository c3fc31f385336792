#include <gtest/gtest.h>

#include "Hex.h"
#include "protocol/StreamControl.h"

namespace vantelsor::test {
namespace {

namespace sc = streamcontrol;

TEST(StreamControl, BuildsTheTwentyByteDatagram) {
    const uint8_t name[] = {'a', 'd', 'm', 'i', 'n'};
    auto start = sc::Build(sc::kStart, name, 5);
    EXPECT_EQ(ToHex(start.data(), start.size()),
              "A5 01 00 05 61 64 6D 69 6E 00 00 00 00 00 00 00 00 00 00 00");
    const uint8_t full[16] = {'0', '1', '2', '3', '4', '5', '6', '7',
                              '8', '9', 'a', 'b', 'c', 'd', 'e', 'f'};
    auto stop = sc::Build(sc::kStop, full, 16);
    EXPECT_EQ(ToHex(stop.data(), stop.size()),
              "A5 02 00 10 30 31 32 33 34 35 36 37 38 39 61 62 63 64 65 66");
    // A length beyond the field is cut to it, never read past the name.
    auto cut = sc::Build(sc::kStart, full, 40);
    EXPECT_EQ(cut, sc::Build(sc::kStart, full, 16));
}

TEST(StreamControl, ParsesOnlyWellFormedRequests) {
    const uint8_t name[] = {'u', 's', 'e', 'r'};
    auto good = sc::Build(sc::kStop, name, 4);
    auto parsed = sc::Parse(good.data(), sc::kSize);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->action, sc::kStop);
    EXPECT_EQ(parsed->userName, "user");

    struct Case {
        const char* name;
        int offset;
        uint8_t value;
        int length;
    };
    const Case bad[] = {
        {"wrong type", 0, 0xA4, sc::kSize},
        {"unknown action", 1, 3, sc::kSize},
        {"name length beyond the field", 3, 17, sc::kSize},
        {"short", 0, 0xA5, sc::kSize - 1},
    };
    for (const Case& c : bad) {
        auto d = good;
        d[c.offset] = c.value;
        EXPECT_FALSE(sc::Parse(d.data(), c.length)) << c.name;
    }
    EXPECT_FALSE(sc::Parse(nullptr, sc::kSize));
}

}  // namespace
}  // namespace vantelsor::test
