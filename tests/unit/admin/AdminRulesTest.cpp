#include <gtest/gtest.h>

#include "admin/AdminOutcome.h"
#include "admin/AdminRules.h"
#include "res/Strings.h"

namespace vantelsor::test {
namespace {

TEST(AdminRules, MacParsing) {
    const rules::MacBytes previous = {0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5};
    const struct {
        const char* text;
        bool ok;
        rules::MacBytes bytes;
    } cases[] = {
        {"00-1A-2B-3C-4D-5E", true, {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}},
        {"00-1a-2b-3c-4d-5e", true, {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}},
        {" 00- 1A-2B -3C", false, previous},  // a space before "-" is not a "-"
        {"  00- 1A-2B-3C-4D-5E", true, {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}},
        {"00-1A-2B-3C-4D-5Exyz", true, {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}},
        {"01-02-", true, {0x01, 0x02, 0xA2, 0xA3, 0xA4, 0xA5}},  // the rest keeps its values
        {"01-02", false, previous},
        {"0-1A-2B-3C-4D-5E", false, previous},
        {"001A2B3C4D5E", false, previous},
        {"00:1A:2B:3C:4D:5E", false, previous},
        {"GG-1A-2B-3C-4D-5E", false, previous},
        {"", false, previous},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        rules::MacBytes mac = previous;
        EXPECT_EQ(rules::ParseMac(c.text, &mac), c.ok);
        if (c.ok) {
            EXPECT_EQ(mac, c.bytes);
        }
    }
}

TEST(AdminRules, MacText) {
    EXPECT_EQ(rules::FormatMac({0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}), "00-1A-2B-3C-4D-5E");
    EXPECT_EQ(rules::FormatMac({0xFF, 0xEE, 0x0D, 0x00, 0x01, 0xA0}), "FF-EE-0D-00-01-A0");
}

TEST(AdminRules, SubnetMasks) {
    const struct {
        uint32_t mask;
        bool valid;
    } cases[] = {
        {0xFFFFFF00, true},  {0xFFFFFFFF, true},  {0x80000000, true},
        {0xFFFFFFFE, true},  {0xFF00FF00, false}, {0x00FFFFFF, false},
        {0x00000000, false}, {0xFFFFFF01, false}, {0x7FFFFFFF, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(rules::IsValidSubnetMask(c.mask), c.valid) << std::hex << c.mask;
}

TEST(AdminRules, NetworkChecksInTheDialogsOrder) {
    rules::NetworkInput ok{"00-1A-2B-3C-4D-5E", 0xC0A8000A, 0xFFFFFF00, 0xC0A80001};
    const struct {
        const char* name;
        rules::NetworkInput input;
        std::string message;
    } cases[] = {
        {"all good", ok, ""},
        {"MAC empty", {"", {}, {}, {}}, res::kMacEmpty},
        {"MAC bad", {"00-1A", 1, 0xFFFFFF00, 1}, res::kCaptionError},
        {"address blank", {ok.macText, {}, 0xFFFFFF00, 1}, res::kIpAddressEmpty},
        {"mask blank", {ok.macText, 1, {}, 1}, res::kSubnetMaskEmpty},
        {"mask with a gap", {ok.macText, 1, 0xFF00FF00, {}}, res::kSubnetMaskInvalid},
        {"gateway blank", {ok.macText, 1, 0xFFFFFF00, {}}, res::kGatewayEmpty},
        {"0.0.0.0 is not blank", {ok.macText, 0, 0xFFFFFF00, 0}, ""},
    };
    for (const auto& c : cases) {
        rules::MacBytes mac{};
        EXPECT_EQ(rules::CheckNetwork(c.input, &mac), c.message) << c.name;
    }
}

TEST(AdminRules, AccountChecks) {
    const std::string nameLength = "用户名长度应为4至16字符！";
    const std::string passwordLength = "密码长度应为6至16字符！";
    const struct {
        const char* name;
        std::string message;
    } cases[] = {
        {"", res::kUserNameEmpty},         {"abc", nameLength},
        {"abcdefghijklmnopq", nameLength}, {"abcd", ""},
        {"abcdefghijklmnop", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(rules::CheckNewUser(c.name, "secret1", "secret1"), c.message);
    EXPECT_EQ(rules::CheckNewUser("user1", "", ""), res::kPasswordEmpty);
    EXPECT_EQ(rules::CheckNewUser("user1", "12345", "12345"), passwordLength);
    EXPECT_EQ(rules::CheckNewUser("user1", "12345678901234567", "12345678901234567"),
              passwordLength);
    EXPECT_EQ(rules::CheckNewUser("user1", "secret1", "Secret1"), res::kPasswordsDiffer);
    // The old password is checked only when it is asked for, and before the new one.
    EXPECT_EQ(rules::CheckEditUser("user1", false, "", "secret1", "secret1"), "");
    EXPECT_EQ(rules::CheckEditUser("user1", true, "", "", ""), res::kPasswordEmpty);
    EXPECT_EQ(rules::CheckEditUser("user1", true, "old", "secret1", "secret1"), passwordLength);
    EXPECT_EQ(rules::CheckEditUser("user1", true, "oldpass", "secret1", "secret2"),
              res::kPasswordsDiffer);
}

TEST(AdminRules, RangesOfTheSettings) {
    const std::string deviceName = "设备名称长度应为6至16字符！";
    EXPECT_EQ(rules::CheckDeviceName(""), deviceName);
    EXPECT_EQ(rules::CheckDeviceName("kvm01"), deviceName);
    EXPECT_EQ(rules::CheckDeviceName("kvm001"), "");
    EXPECT_EQ(rules::CheckDeviceName("abcdefghijklmnop"), "");
    EXPECT_EQ(rules::CheckDeviceName("abcdefghijklmnopq"), deviceName);

    const std::string bitRate = "码率值应在10至2048之间！";
    EXPECT_EQ(rules::CheckBitRate(9), bitRate);
    EXPECT_EQ(rules::CheckBitRate(10), "");
    EXPECT_EQ(rules::CheckBitRate(2048), "");
    EXPECT_EQ(rules::CheckBitRate(2049), bitRate);

    const std::string sleep = "休眠时间为0至255分钟！";
    EXPECT_EQ(rules::CheckSleepMinutes(-1), sleep);
    EXPECT_EQ(rules::CheckSleepMinutes(0), "");
    EXPECT_EQ(rules::CheckSleepMinutes(255), "");
    EXPECT_EQ(rules::CheckSleepMinutes(256), sleep);

    EXPECT_EQ(rules::FrameRateChoice(12), 0);
    EXPECT_EQ(rules::FrameRateChoice(30), 5);
    EXPECT_TRUE(rules::IsFrameRateChoice(15));
    EXPECT_FALSE(rules::IsFrameRateChoice(12));
    EXPECT_EQ(rules::Format(res::kBitRateLabel, rules::kMinBitRate, rules::kMaxBitRate),
              "码率 (10~2048)");
}

TEST(AdminRules, OutcomesShowTheSystemsMessages) {
    const struct {
        AdminOutcome outcome;
        const char* message;
    } cases[] = {
        {AdminOutcome::kTimeout, "通讯超时！"},
        {AdminOutcome::kNameExists, "用户名已存在！"},
        {AdminOutcome::kWriteFailed, "用户信息无法写入！"},
        {AdminOutcome::kOldPasswordWrong, "旧密码输入错误！"},
        {AdminOutcome::kDeleteFailed, "删除用户错误!"},
        {AdminOutcome::kCannotDeleteOwn, "无法删除登陆用户！"},
        {AdminOutcome::kVideoFailed, "视频设置失败！"},
        {AdminOutcome::kSleepFailed, "设置休眠时间错误！"},
        {AdminOutcome::kLogClearFailed, "清除日志出错！"},
        {AdminOutcome::kFirmwareNoFile, "请选择固件文件。"},
        {AdminOutcome::kFirmwareFileError, "固件文件错误！"},
        {AdminOutcome::kFirmwareFailed, "固件升级失败！"},
        {AdminOutcome::kOk, nullptr},
        {AdminOutcome::kUnexpectedStatus, nullptr},
    };
    for (const auto& c : cases) {
        const char* m = OutcomeMessage(c.outcome);
        if (c.message) {
            ASSERT_NE(m, nullptr);
            EXPECT_STREQ(m, c.message);
        } else {
            EXPECT_EQ(m, nullptr);
        }
    }
}

}  // namespace
}  // namespace vantelsor::test
