#include <gtest/gtest.h>

#include "Hex.h"
#include "LoginRecords.h"
#include "crypto/FieldCipher.h"
#include "protocol/LoginMessages.h"

namespace vantelsor::login {
namespace {

using test::FromHex;
using test::ToHex;

const SessionKey kKey = {0x3A, 0x91, 0x5C, 0x07, 0xE4, 0x28, 0xBD, 0x66};

TEST(LoginMessages, VersionCheckAndKeyRequestBytes) {
    EXPECT_EQ(ToHex(BuildVersionCheck()), "A1 00 01 00");
    EXPECT_EQ(ToHex(BuildKeyRequest()), "A2 00 00 00 00 00 00 00 00 00");
    EXPECT_EQ(ToHex(BuildKeyReply(kKey, 0x55)), "A2 55 3A 91 5C 07 E4 28 BD 66");
}

TEST(LoginMessages, LoginCarriesLengthsAndEncipheredPaddedFields) {
    const auto m = BuildLogin(kKey, MakeField("admin"), MakeField("secret12"));
    ASSERT_EQ(m.size(), 38u);
    EXPECT_EQ(ToHex(m.data(), 4), "A3 00 00 05");
    EXPECT_EQ(ToHex(m.data() + 20, 2), "00 08");
    uint8_t field[16] = {'a', 'd', 'm', 'i', 'n'};
    uint8_t expected[16];
    FieldCipher::EncryptBlocks(kKey.data(), field, expected, 16);
    EXPECT_EQ(ToHex(m.data() + 4, 16), ToHex(expected, 16));
    uint8_t password[16] = {'s', 'e', 'c', 'r', 'e', 't', '1', '2'};
    FieldCipher::EncryptBlocks(kKey.data(), password, expected, 16);
    EXPECT_EQ(ToHex(m.data() + 22, 16), ToHex(expected, 16));
}

TEST(LoginMessages, SixteenByteNameFillsItsFieldAndLongerIsCut) {
    const PlainField full = MakeField("abcdefghijklmnop");
    EXPECT_EQ(full.length, 16);
    EXPECT_EQ(std::string(full.bytes.begin(), full.bytes.end()), "abcdefghijklmnop");
    EXPECT_EQ(MakeField("abcdefghijklmnopq").length, 16);
    const auto m = BuildLogin(kKey, full, MakeField(""));
    const LoginRequest back = ParseLogin(kKey, m.data());
    EXPECT_EQ(back.user.length, 16);
    EXPECT_EQ(back.user.bytes, full.bytes);
    EXPECT_EQ(back.password.length, 0);
    EXPECT_EQ(back.password.bytes, Field{});
}

TEST(LoginMessages, LoginStatusVerdicts) {
    struct Case {
        uint8_t status;
        LoginVerdict verdict;
    };
    const Case cases[] = {
        {0x81, LoginVerdict::kAccepted},        {0x01, LoginVerdict::kAccepted},
        {0x82, LoginVerdict::kAccepted},        {0x02, LoginVerdict::kAccepted},
        {0xFF, LoginVerdict::kBadCredentials},  {0xFE, LoginVerdict::kBadCredentials},
        {0xFD, LoginVerdict::kAlreadyLoggedIn}, {0xFC, LoginVerdict::kSlotsFull},
        {0x00, LoginVerdict::kRefused},         {0x03, LoginVerdict::kRefused},
        {0x80, LoginVerdict::kRefused},         {0xFB, LoginVerdict::kRefused},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ClassifyLoginStatus(c.status), c.verdict) << int(c.status);
    EXPECT_EQ(UserTypeOf(0x81), 1);
    EXPECT_TRUE(HasControlRight(0x81));
    EXPECT_EQ(UserTypeOf(0x02), 2);
    EXPECT_FALSE(HasControlRight(0x02));
}

TEST(LoginMessages, LoginRecordLayout) {
    const LoginRecord r =
        test::MakeRecord(2026, 12, 10, 5, 7, {10, 0, 0, 1}, "admin", kEventLogout);
    const auto m = BuildLoginRecord(r);
    EXPECT_EQ(ToHex(m),
              "AA 00 07 EA 00 0C 00 0A 00 05 00 07 0A 00 00 01 00 05 "
              "61 64 6D 69 6E 00 00 00 00 00 00 00 00 00 00 00 00 02");
    const LoginRecord back = ParseLoginRecord(m.data());
    EXPECT_EQ(back.year, 2026);
    EXPECT_EQ(back.minute, 7);
    EXPECT_EQ(back.clientAddress, r.clientAddress);
    EXPECT_EQ(back.user.bytes, r.user.bytes);
    EXPECT_EQ(back.event, kEventLogout);
}

}  // namespace
}  // namespace vantelsor::login
