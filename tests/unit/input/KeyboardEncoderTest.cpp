#include <gtest/gtest.h>

#include <set>

#include "Hex.h"
#include "input/KeyTables.h"
#include "input/KeyboardEncoder.h"
#include "input/VirtualKeys.h"

namespace vantelsor::test {
namespace {

// The whole message as hex: type, set 2 bytes, report, checksum.
std::string Key(KeyboardEncoder& e, int virtualKey, bool down) {
    input::KeyMessageBytes m{};
    int length = 0;
    if (!e.BuildKeyMessage(virtualKey, down, &m, &length)) return "none";
    EXPECT_EQ(length, 18);
    return ToHex(m);
}

std::string Release(KeyboardEncoder& e) {
    input::KeyMessageBytes m{};
    int length = 0;
    if (!e.BuildReleaseMessage(&m, &length)) return "none";
    EXPECT_EQ(length, 18);
    return ToHex(m);
}

TEST(KeyboardEncoder, MessagesOfSingleKeys) {
    struct Case {
        int key;
        const char* press;
        const char* release;
    };
    const Case cases[] = {
        {'A', "E8 1C 00 00 00 00 00 00 00 00 00 04 00 00 00 00 00 20",
         "E8 F0 1C 00 00 00 00 00 00 00 00 00 00 00 00 00 00 0C"},
        {vk::kRight, "E8 E0 74 00 00 00 00 00 00 00 00 4F 00 00 00 00 00 A3",
         "E8 E0 F0 74 00 00 00 00 00 00 00 00 00 00 00 00 00 44"},
        // Pause: the fixed make sequence, and eight zero bytes with the report on release.
        {vk::kPause, "E8 E1 14 77 E1 F0 14 F0 77 00 00 48 00 00 00 00 00 00",
         "E8 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"},
        {vk::kF7, "E8 83 00 00 00 00 00 00 00 00 00 40 00 00 00 00 00 C3",
         "E8 F0 83 00 00 00 00 00 00 00 00 00 00 00 00 00 00 73"},
        // A modifier sets its bit in byte 0 instead of taking a slot.
        {vk::kControl, "E8 14 00 00 00 00 00 00 00 01 00 00 00 00 00 00 00 15",
         "E8 F0 14 00 00 00 00 00 00 00 00 00 00 00 00 00 00 04"},
        {vk::kRWin, "E8 E0 27 00 00 00 00 00 00 80 00 00 00 00 00 00 00 87",
         "E8 E0 F0 27 00 00 00 00 00 00 00 00 00 00 00 00 00 F7"},
        {vk::kCodeE0, "E8 E0 61 00 00 00 00 00 00 00 00 A0 00 00 00 00 00 E1",
         "E8 E0 F0 61 00 00 00 00 00 00 00 00 00 00 00 00 00 31"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        KeyboardEncoder e;
        EXPECT_EQ(Key(e, c.key, true), c.press);
        EXPECT_EQ(e.HeldCount(), 1);
        EXPECT_EQ(Key(e, c.key, false), c.release);
        EXPECT_EQ(e.HeldCount(), 0);
    }
}

TEST(KeyboardEncoder, ShiftThenAReportsBoth) {
    KeyboardEncoder e;
    EXPECT_EQ(Key(e, vk::kShift, true), "E8 12 00 00 00 00 00 00 00 02 00 00 00 00 00 00 00 14");
    EXPECT_EQ(Key(e, 'A', true), "E8 1C 00 00 00 00 00 00 00 02 00 04 00 00 00 00 00 22");
    EXPECT_EQ(Key(e, vk::kShift, false), "E8 F0 12 00 00 00 00 00 00 00 00 04 00 00 00 00 00 06");
}

TEST(KeyboardEncoder, AutoRepeatIsSentEachTimeButHeldOnce) {
    KeyboardEncoder e;
    const std::string first = Key(e, 'A', true);
    EXPECT_EQ(Key(e, 'A', true), first);
    EXPECT_EQ(e.HeldCount(), 1);
    EXPECT_EQ(ToHex(e.report()), "00 00 04 00 00 00 00 00");
    Key(e, 'A', false);
    EXPECT_EQ(e.HeldCount(), 0);
    EXPECT_EQ(ToHex(e.report()), "00 00 00 00 00 00 00 00");
}

TEST(KeyboardEncoder, KeysOutsideTheTableChangeNothing) {
    KeyboardEncoder e;
    Key(e, 'B', true);
    for (int key : {-1, 0, 0x07, 0x15, 0xA0, 0xA5, 0xE1, 0xFE, 225, 4096}) {
        SCOPED_TRACE(key);
        EXPECT_EQ(Key(e, key, true), "none");
        EXPECT_EQ(Key(e, key, false), "none");
    }
    EXPECT_EQ(e.HeldCount(), 1);
    EXPECT_EQ(ToHex(e.report()), "00 00 05 00 00 00 00 00");
}

TEST(KeyboardEncoder, ReleasingAMiddleKeyPacksTheReport) {
    KeyboardEncoder e;
    for (int key : {'A', 'B', 'C', 'D'}) Key(e, key, true);
    EXPECT_EQ(ToHex(e.report()), "00 00 04 05 06 07 00 00");
    Key(e, 'B', false);
    EXPECT_EQ(ToHex(e.report()), "00 00 04 06 07 00 00 00");
    EXPECT_EQ(e.heldKeys()[1], 'C');
    Key(e, 'Z', false);  // not held: nothing moves
    EXPECT_EQ(ToHex(e.report()), "00 00 04 06 07 00 00 00");
    EXPECT_EQ(e.HeldCount(), 3);
}

TEST(KeyboardEncoder, SeventhKeyMissesTheReportAndNinthTheHeldList) {
    KeyboardEncoder e;
    for (int key : {'A', 'B', 'C', 'D', 'E', 'F', 'G'}) Key(e, key, true);
    EXPECT_EQ(ToHex(e.report()), "00 00 04 05 06 07 08 09");
    EXPECT_EQ(e.HeldCount(), 7);
    Key(e, vk::kShift, true);  // a modifier still enters the report
    EXPECT_EQ(e.report()[0], 0x02);
    EXPECT_EQ(e.HeldCount(), 8);
    Key(e, 'H', true);
    EXPECT_EQ(e.HeldCount(), 8);
    EXPECT_EQ(e.heldKeys()[7], vk::kShift);
}

TEST(KeyboardEncoder, ReleaseMessagesGoInPressOrderWithAnEmptyReport) {
    KeyboardEncoder e;
    EXPECT_EQ(Release(e), "none");
    Key(e, vk::kControl, true);
    Key(e, 'X', true);
    EXPECT_EQ(Release(e), "E8 F0 14 00 00 00 00 00 00 00 00 00 00 00 00 00 00 04");
    EXPECT_EQ(Release(e), "E8 F0 22 00 00 00 00 00 00 00 00 00 00 00 00 00 00 12");
    EXPECT_EQ(Release(e), "none");
    // The report is the caller's to clear once every key is released.
    EXPECT_EQ(ToHex(e.report()), "01 00 1B 00 00 00 00 00");
    e.ClearReport();
    EXPECT_EQ(Key(e, 'A', true), "E8 1C 00 00 00 00 00 00 00 00 00 04 00 00 00 00 00 20");
}

TEST(KeyTables, StoredEntriesAndEverySequenceDecodesBack) {
    EXPECT_EQ(input::Set2Table()[vk::kPrior], 0xFD);  // E0 7D
    EXPECT_EQ(input::Set2Table()['A'], 0x1C);
    EXPECT_EQ(input::HidTable()[vk::kControl], 0xE0);
    EXPECT_EQ(input::HidTable()['0'], 0x27);
    EXPECT_EQ(input::HidTable()[vk::kNumpad0], 0x62);
    EXPECT_EQ(input::Set2Table()[vk::kF1 + 11], 0x07);
    for (int key = 0xA0; key <= 0xA5; ++key) EXPECT_FALSE(input::IsKnownKey(key));
    // Distinct keys have distinct sequences, so the device can tell them apart.
    std::set<input::Set2Bytes> seen;
    int known = 0;
    for (int key = 0; key < input::kKeyTableSize; ++key) {
        if (!input::IsKnownKey(key)) continue;
        ++known;
        for (bool down : {true, false}) {
            SCOPED_TRACE(key);
            const auto bytes = input::Set2Sequence(key, down);
            ASSERT_TRUE(bytes);
            EXPECT_TRUE(seen.insert(*bytes).second);
            const auto decoded = input::DecodeSet2(*bytes);
            ASSERT_TRUE(decoded);
            EXPECT_EQ(decoded->virtualKey, key);
            EXPECT_EQ(decoded->down, down);
        }
    }
    EXPECT_EQ(known, 26 + 10 + 10 + 12 + 43);
    EXPECT_FALSE(input::DecodeSet2({0xE0, 0x12}));
}

}  // namespace
}  // namespace vantelsor::test
