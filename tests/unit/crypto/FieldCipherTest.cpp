#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "Hex.h"
#include "crypto/FieldCipher.h"

namespace vantelsor::test {
namespace {

uint8_t Reverse(uint8_t b) {
    uint8_t r = 0;
    for (int i = 0; i < 8; ++i) r |= ((b >> i) & 1) << (7 - i);
    return r;
}

// The device's key whose bit-reversed bytes are the standard DES key `hex`.
SessionKey DeviceKey(std::string_view hex) {
    const auto standard = FromHex(hex);
    SessionKey key{};
    for (int i = 0; i < 8; ++i) key[i] = Reverse(standard[i]);
    return key;
}

struct DesVector {
    const char* key;
    const char* plain;
    const char* cipher;
};

// Published FIPS 46-3 / NBS known-answer vectors; all-zero and all-one keys are weak keys.
const DesVector kVectors[] = {
    {"133457799BBCDFF1", "0123456789ABCDEF", "85E813540F0AB405"},
    {"0000000000000000", "0000000000000000", "8CA64DE9C1B123A7"},
    {"FFFFFFFFFFFFFFFF", "FFFFFFFFFFFFFFFF", "7359B2163E4EDC58"},
    {"3000000000000000", "1000000000000001", "958E6E627A05557B"},
    {"0123456789ABCDEF", "4E6F772069732074", "3FA40E8A984D4815"},
    {"0101010101010101", "8000000000000000", "95F8A5E5DD31D900"},
};

TEST(FieldCipher, BitReversedKeyGivesPublishedDesVectors) {
    for (const DesVector& v : kVectors) {
        SCOPED_TRACE(v.key);
        const auto key = DeviceKey(v.key);
        const auto plain = FromHex(v.plain);
        std::vector<uint8_t> out(8);
        FieldCipher::EncryptBlocks(key.data(), plain.data(), out.data(), 8);
        EXPECT_EQ(ToHex(out), ToHex(FromHex(v.cipher)));
        std::vector<uint8_t> back(8);
        FieldCipher::DecryptBlocks(key.data(), out.data(), back.data(), 8);
        EXPECT_EQ(ToHex(back), ToHex(plain));
    }
}

TEST(FieldCipher, Bit80OfEachKeyByteIsIgnoredAndBit01IsNot) {
    const auto key = DeviceKey("133457799BBCDFF1");
    const auto plain = FromHex("0123456789ABCDEF");
    std::vector<uint8_t> reference(8);
    FieldCipher::EncryptBlocks(key.data(), plain.data(), reference.data(), 8);
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        auto flipped = key;
        flipped[i] ^= 0x80;
        std::vector<uint8_t> out(8);
        FieldCipher::EncryptBlocks(flipped.data(), plain.data(), out.data(), 8);
        EXPECT_EQ(out, reference);
        flipped = key;
        flipped[i] ^= 0x01;
        FieldCipher::EncryptBlocks(flipped.data(), plain.data(), out.data(), 8);
        EXPECT_NE(out, reference);
    }
}

// How many leading bytes of a 40-byte output buffer a call with `length` writes.
struct LengthCase {
    int length;
    int written;
};

TEST(FieldCipher, LengthUsesLowEightBitsAndRoundsUpToWholeBlocks) {
    const LengthCase cases[] = {{0, 0},   {1, 8},   {8, 8},         {9, 16},  {16, 16},
                                {17, 24}, {256, 0}, {256 + 16, 16}, {-256, 0}};
    const SessionKey key = {1, 2, 3, 4, 5, 6, 7, 8};
    std::vector<uint8_t> in(40);
    for (size_t i = 0; i < in.size(); ++i) in[i] = static_cast<uint8_t>(i * 7 + 1);
    for (const LengthCase& c : cases) {
        SCOPED_TRACE(c.length);
        std::vector<uint8_t> out(40, 0xCC);
        FieldCipher::EncryptBlocks(key.data(), in.data(), out.data(), c.length);
        for (int i = 0; i < 40; i += 8) {
            const bool touched = out[i] != 0xCC || out[i + 1] != 0xCC || out[i + 2] != 0xCC;
            EXPECT_EQ(touched, i < c.written) << "block at " << i;
        }
    }
}

TEST(FieldCipher, InPlaceRoundTripOverManyBlocks) {
    const SessionKey key = {0x9A, 0x00, 0xFF, 0x13, 0x37, 0x42, 0x80, 0x01};
    std::vector<uint8_t> data(248);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i);
    const auto original = data;
    FieldCipher::EncryptBlocks(key.data(), data.data(), data.data(), 248);
    EXPECT_NE(data, original);
    // ECB: each block enciphers independently of its neighbours.
    std::vector<uint8_t> second(8);
    FieldCipher::EncryptBlocks(key.data(), original.data() + 8, second.data(), 8);
    EXPECT_TRUE(std::equal(second.begin(), second.end(), data.begin() + 8));
    FieldCipher::DecryptBlocks(key.data(), data.data(), data.data(), 248);
    EXPECT_EQ(data, original);
}

TEST(FieldCipher, SealInputMessageKeepsChecksumAndReplacesType) {
    const SessionKey key = {0x10, 0x32, 0x54, 0x76, 0x98, 0xBA, 0xDC, 0xFE};
    struct Case {
        int n;
        uint8_t type;
        uint8_t marker;
    };
    for (const Case c : {Case{18, 0xE8, 0xE9}, Case{10, 0xEF, 0xEE}}) {
        SCOPED_TRACE(c.n);
        std::vector<uint8_t> plain(c.n);
        plain[0] = c.type;
        for (int i = 1; i < c.n; ++i) plain[i] = static_cast<uint8_t>(0x20 + i);
        std::vector<uint8_t> sealed(c.n, 0);
        FieldCipher::SealInputMessage(key.data(), plain.data(), sealed.data(), c.n, c.marker);
        EXPECT_EQ(sealed[0], c.marker);
        EXPECT_EQ(sealed[c.n - 1], plain[c.n - 1]);
        std::vector<uint8_t> middle(c.n - 2);
        FieldCipher::EncryptBlocks(key.data(), plain.data() + 1, middle.data(), c.n - 2);
        EXPECT_TRUE(std::equal(middle.begin(), middle.end(), sealed.begin() + 1));
    }
}

}  // namespace
}  // namespace vantelsor::test
