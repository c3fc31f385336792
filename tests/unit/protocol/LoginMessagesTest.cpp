#include <gtest/gtest.h>

#include "Hex.h"
#include "LoginRecords.h"
#include "crypto/FieldCipher.h"
#include "protocol/LoginMessages.h"

namespace vantelsor::test {
namespace {

const SessionKey kKey = {0x3A, 0x91, 0x5C, 0x07, 0xE4, 0x28, 0xBD, 0x66};

TEST(LoginMessages, VersionCheckAndKeyRequestBytes) {
    EXPECT_EQ(ToHex(login::BuildVersionCheck()), "A1 00 01 00");
    EXPECT_EQ(ToHex(login::BuildKeyRequest()), "A2 00 00 00 00 00 00 00 00 00");
    EXPECT_EQ(ToHex(login::BuildKeyReply(kKey, 0x55)), "A2 55 3A 91 5C 07 E4 28 BD 66");
}

TEST(LoginMessages, LoginCarriesLengthsAndEncipheredPaddedFields) {
    const auto m = login::BuildLogin(kKey, login::MakeField("admin"), login::MakeField("secret12"));
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
    const login::PlainField full = login::MakeField("abcdefghijklmnop");
    EXPECT_EQ(full.length, 16);
    EXPECT_EQ(std::string(full.bytes.begin(), full.bytes.end()), "abcdefghijklmnop");
    EXPECT_EQ(login::MakeField("abcdefghijklmnopq").length, 16);
    const auto m = login::BuildLogin(kKey, full, login::MakeField(""));
    const login::LoginRequest back = login::ParseLogin(kKey, m.data());
    EXPECT_EQ(back.user.length, 16);
    EXPECT_EQ(back.user.bytes, full.bytes);
    EXPECT_EQ(back.password.length, 0);
    EXPECT_EQ(back.password.bytes, login::Field{});
}

TEST(LoginMessages, LoginStatusVerdicts) {
    struct Case {
        uint8_t status;
        login::LoginVerdict verdict;
    };
    const Case cases[] = {
        {0x81, login::LoginVerdict::kAccepted},        {0x01, login::LoginVerdict::kAccepted},
        {0x82, login::LoginVerdict::kAccepted},        {0x02, login::LoginVerdict::kAccepted},
        {0xFF, login::LoginVerdict::kBadCredentials},  {0xFE, login::LoginVerdict::kBadCredentials},
        {0xFD, login::LoginVerdict::kAlreadyLoggedIn}, {0xFC, login::LoginVerdict::kSlotsFull},
        {0x00, login::LoginVerdict::kRefused},         {0x03, login::LoginVerdict::kRefused},
        {0x80, login::LoginVerdict::kRefused},         {0xFB, login::LoginVerdict::kRefused},
    };
    for (const Case& c : cases)
        EXPECT_EQ(login::ClassifyLoginStatus(c.status), c.verdict) << int(c.status);
    EXPECT_EQ(login::UserTypeOf(0x81), 1);
    EXPECT_TRUE(login::HasControlRight(0x81));
    EXPECT_EQ(login::UserTypeOf(0x02), 2);
    EXPECT_FALSE(login::HasControlRight(0x02));
}

TEST(LoginMessages, LoginRecordLayout) {
    const login::LoginRecord r =
        MakeRecord(2026, 12, 10, 5, 7, {10, 0, 0, 1}, "admin", login::kEventLogout);
    const auto m = login::BuildLoginRecord(r);
    EXPECT_EQ(ToHex(m),
              "AA 00 07 EA 00 0C 00 0A 00 05 00 07 0A 00 00 01 00 05 "
              "61 64 6D 69 6E 00 00 00 00 00 00 00 00 00 00 00 00 02");
    const login::LoginRecord back = login::ParseLoginRecord(m.data());
    EXPECT_EQ(back.year, 2026);
    EXPECT_EQ(back.minute, 7);
    EXPECT_EQ(back.clientAddress, r.clientAddress);
    EXPECT_EQ(back.user.bytes, r.user.bytes);
    EXPECT_EQ(back.event, login::kEventLogout);
}

}  // namespace
}  // namespace vantelsor::test
