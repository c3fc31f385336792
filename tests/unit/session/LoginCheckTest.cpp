// The login input's check: the dotted-address parse the login dialog has always
// used (lenient, as inet_addr) and the length rules, in the dialog's order.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "res/Strings.h"
#include "session/LoginCheck.h"

namespace vantelsor::test {
namespace {

TEST(LoginCheckTest, AddressIsReadAsTheClassicParserReadsIt) {
    using namespace std::string_literals;
    struct Case {
        std::string text;
        std::optional<uint32_t> address;  // host order; nothing: refused
    };
    const Case cases[] = {
        {"192.168.0.3", 0xC0A80003u},
        {"10.1", 0x0A000001u},               // the last part fills the remaining bytes
        {"127.1.258", 0x7F010102u},          // three parts: 16 bits last
        {"167772161", 0x0A000001u},          // one part: all 32 bits
        {"0x7f.1", 0x7F000001u},             // hexadecimal
        {"010.0.0.1", 0x08000001u},          // a leading zero is octal
        {"0", 0u},                           // 0.0.0.0 is an address to the parser
        {"10.0.0.1 trailing", 0x0A000001u},  // white space ends the address
        {"255.255.255.254", 0xFFFFFFFEu},
        {"255.255.255.255", std::nullopt},  // cannot be told from an error
        {"4294967295", std::nullopt},       // the same address in one part
        {"", std::nullopt},
        {" 10.0.0.1", std::nullopt},
        {"1.2.3.256", std::nullopt},
        {"1.2.3.4.", std::nullopt},
        {"1.2.3.4.5", std::nullopt},
        {"08.1.1.1", std::nullopt},  // 8 is no octal digit
        {"10.0.0.1x", std::nullopt},
        {"host.example", std::nullopt},     // no name look-up
        {"10.0.0.1\0junk"s, std::nullopt},  // a NUL would hide the rest
        {"\0"s, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("\"" + c.text + "\"");
        EXPECT_EQ(ParseLoginAddress(c.text), c.address);
    }
}

TEST(LoginCheckTest, LengthsAreCountedInCharactersInTheDialogsOrder) {
    const std::string good = "192.168.0.3";
    const std::string userLength = "用户名长度应为4至16字符！";
    const std::string passwordLength = "密码长度应为6至16字符！";
    struct Case {
        const char* name;
        std::string address, user, password;
        LoginField failed;
        std::string message;
    };
    const Case cases[] = {
        {"all good", good, "admin", "admin123", LoginField::kNone, ""},
        {"bad address first", "x", "", "", LoginField::kAddress, res::kInvalidAddress},
        {"empty user before password", good, "", "", LoginField::kUserName, res::kUserNameEmpty},
        {"user 3", good, "abc", "admin123", LoginField::kUserName, userLength},
        {"user 4", good, "abcd", "admin123", LoginField::kNone, ""},
        {"user 16", good, std::string(16, 'u'), "admin123", LoginField::kNone, ""},
        {"user 17", good, std::string(17, 'u'), "admin123", LoginField::kUserName, userLength},
        // Four characters in twelve bytes: long enough.
        {"user of 4 wide characters", good, "用户名字", "admin123", LoginField::kNone, ""},
        // Sixteen characters in 48 bytes: not too long.
        {"user of 16 wide characters", good, "用户名字用户名字用户名字用户名字", "admin123",
         LoginField::kNone, ""},
        {"user of 3 wide characters", good, "用户名", "admin123", LoginField::kUserName,
         userLength},
        {"empty password", good, "admin", "", LoginField::kPassword, res::kPasswordEmpty},
        {"password 5", good, "admin", "12345", LoginField::kPassword, passwordLength},
        {"password 6", good, "admin", "123456", LoginField::kNone, ""},
        {"password 16", good, "admin", std::string(16, 'p'), LoginField::kNone, ""},
        {"password 17", good, "admin", std::string(17, 'p'), LoginField::kPassword, passwordLength},
        // The typing filter of the dialog's boxes is no part of the check.
        {"any characters", good, "a b-c", "pass word", LoginField::kNone, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const LoginCheck check = CheckLoginInput(c.address, c.user, c.password);
        EXPECT_EQ(check.failed, c.failed);
        EXPECT_EQ(check.ok(), c.failed == LoginField::kNone);
        EXPECT_EQ(check.message, c.message);
        if (check.ok()) {
            EXPECT_EQ(check.deviceAddress, 0xC0A80003u);
        }
    }
}

}  // namespace
}  // namespace vantelsor::test
