#include <gtest/gtest.h>

#include "Hex.h"
#include "session/KAppHandler.h"

namespace vantelsor::test {
namespace {

int Offer(KAppHandler& h, const char* hex) {
    const auto m = FromHex(hex);
    return h.OnMessage(m.data(), static_cast<int>(m.size()));
}

TEST(KAppHandler, TakesOnlyTheExpectedReplyAndOnlyOnce) {
    SessionKey key{};
    KAppHandler h(&key);
    h.Expect(0xA1);
    EXPECT_EQ(Offer(h, "A3 81"), 0);  // a login status cannot answer the version check
    EXPECT_EQ(Offer(h, "AD 00"), 0);
    EXPECT_EQ(Offer(h, "A1 FE"), 1);
    EXPECT_EQ(h.lastStatus(), 0xFE);
    EXPECT_EQ(Offer(h, "A1 00"), 0);  // a repeated reply changes nothing
    EXPECT_EQ(h.lastStatus(), 0xFE);
}

TEST(KAppHandler, KeyReplyFillsTheSessionKeyWhichAStrayReplyCannotChange) {
    SessionKey key{};
    KAppHandler h(&key);
    h.Expect(0xA2);
    EXPECT_EQ(Offer(h, "A2 77 01 02 03 04 05 06 07 08"), 1);
    EXPECT_EQ(key, (SessionKey{1, 2, 3, 4, 5, 6, 7, 8}));
    h.Expect(0xA3);
    EXPECT_EQ(Offer(h, "A2 00 FF FF FF FF FF FF FF FF"), 0);
    h.Expect(0);
    EXPECT_EQ(Offer(h, "A2 00 FF FF FF FF FF FF FF FF"), 0);
    EXPECT_EQ(key, (SessionKey{1, 2, 3, 4, 5, 6, 7, 8}));
}

TEST(KAppHandler, ShortKeyReplyIsNotTaken) {
    SessionKey key{};
    KAppHandler h(&key);
    h.Expect(0xA2);
    EXPECT_EQ(Offer(h, "A2 00 01 02"), 0);
    EXPECT_EQ(key, (SessionKey{}));
}

}  // namespace
}  // namespace vantelsor::test
