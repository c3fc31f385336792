#include <gtest/gtest.h>

#include "Hex.h"
#include "input/KeyTables.h"
#include "input/UsLayout.h"
#include "protocol/InputMessages.h"

namespace vantelsor::test {
namespace {

TEST(InputMessages, OpeningChecksTypeLengthAndChecksum) {
    const SessionKey key{9, 8, 7, 6, 5, 4, 3, 2};
    struct Case {
        const char* hex;
        input::InputVerdict verdict;
    };
    const Case cases[] = {
        {"E8 1C 00 00 00 00 00 00 00 00 00 04 00 00 00 00 00 20", input::InputVerdict::kOk},
        {"E8 1C 00 00 00 00 00 00 00 00 00 04 00 00 00 00 00 21",
         input::InputVerdict::kBadChecksum},
        {"E8 1C 00 00 00 00 00 00 00 00 00 04 00 00 00 00 00", input::InputVerdict::kShort},
        {"EF 09 00 00 00 01 00 00 00 0A", input::InputVerdict::kWrongType},
        {"", input::InputVerdict::kWrongType},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.hex);
        const auto bytes = FromHex(c.hex);
        input::KeyEventFields m;
        EXPECT_EQ(input::OpenKeyMessage(key, bytes.data(), static_cast<int>(bytes.size()), &m),
                  c.verdict);
    }
    const auto mouse = FromHex("EF 09 00 00 00 01 00 00 00 0A");
    input::MouseEventFields m;
    EXPECT_EQ(input::OpenMouseMessage(key, mouse.data(), 9, &m), input::InputVerdict::kShort);
    EXPECT_EQ(input::OpenMouseMessage(key, mouse.data(), 10, &m), input::InputVerdict::kOk);
    EXPECT_TRUE(input::MouseHalvesAgree(m));
}

TEST(InputMessages, SealedMessagesOpenOnlyWithTheirKey) {
    const SessionKey key{1, 2, 3, 4, 5, 6, 7, 8};
    const auto plainBytes = FromHex("EF 38 FB FD 00 00 FB 03 00 2E");
    input::MouseMessageBytes plain, sealed;
    std::copy(plainBytes.begin(), plainBytes.end(), plain.begin());
    input::SealMouseMessage(key, plain, &sealed);
    EXPECT_EQ(sealed[0], 0xEE);
    EXPECT_EQ(sealed[9], 0x2E);
    input::MouseEventFields m;
    ASSERT_EQ(input::OpenMouseMessage(key, sealed.data(), 10, &m), input::InputVerdict::kOk);
    EXPECT_TRUE(m.sealed);
    EXPECT_EQ(m.dx, -5);
    EXPECT_EQ(m.dy, 3);
    const SessionKey other{1, 2, 3, 4, 5, 6, 7, 9};
    EXPECT_EQ(input::OpenMouseMessage(other, sealed.data(), 10, &m),
              input::InputVerdict::kBadChecksum);
}

TEST(InputMessages, MouseHalvesThatDisagreeAreNoticed) {
    const SessionKey key{};
    for (const char* hex : {
             "EF 08 01 00 00 00 00 00 00 09",  // PS/2 moves, HID does not
             "EF 09 00 00 00 00 00 00 00 09",  // PS/2 holds left, HID does not
             "EF 08 FB 00 00 00 FB 00 00 FE",  // dx < 0 without its sign bit
             "EF 28 00 00 00 00 00 00 00 28",  // a sign bit without movement
             "EF 00 00 00 00 00 00 00 00 00",  // bit 3 missing
         }) {
        SCOPED_TRACE(hex);
        const auto bytes = FromHex(hex);
        input::MouseEventFields m;
        ASSERT_EQ(input::OpenMouseMessage(key, bytes.data(), 10, &m), input::InputVerdict::kOk);
        EXPECT_FALSE(input::MouseHalvesAgree(m));
    }
}

TEST(UsLayout, EveryPrintableCharacterHasAKeyOfTheTables) {
    for (int c = 0x20; c < 0x7F; ++c) {
        SCOPED_TRACE(c);
        const auto stroke = KeyStrokeFor(static_cast<char>(c));
        ASSERT_TRUE(stroke);
        EXPECT_TRUE(input::IsKnownKey(stroke->virtualKey));
    }
    EXPECT_EQ(KeyStrokeFor('a')->virtualKey, 'A');
    EXPECT_FALSE(KeyStrokeFor('a')->shift);
    EXPECT_TRUE(KeyStrokeFor('A')->shift);
    EXPECT_EQ(KeyStrokeFor('!')->virtualKey, '1');
    EXPECT_TRUE(KeyStrokeFor(')')->shift);
    EXPECT_EQ(KeyStrokeFor(')')->virtualKey, '0');
    EXPECT_EQ(KeyStrokeFor('"')->virtualKey, 0xDE);
    for (char c : {'\0', '\n', '\t', '\x7F', '\x80', '\xE9'}) EXPECT_FALSE(KeyStrokeFor(c));
}

}  // namespace
}  // namespace vantelsor::test
