// The administration rights rule over every kind of user type.
#include <gtest/gtest.h>

#include <string>

#include "session/Rights.h"
#include "session/SessionInfo.h"

namespace vantelsor::test {
namespace {

TEST(RightsTest, AdministratorsOpenOrdinaryUsersAreRefusedOthersGetNothing) {
    struct Case {
        uint16_t userType;
        RightsVerdict verdict;
        const char* message;  // null: nothing shown
    };
    const Case cases[] = {
        {SessionInfo::kAdministrator, RightsVerdict::kOpen, nullptr},
        {SessionInfo::kOrdinaryUser, RightsVerdict::kRefused, "普通用户无法设置，请联系管理员！"},
        {0, RightsVerdict::kNothing, nullptr},
        {3, RightsVerdict::kNothing, nullptr},
        {0x0101, RightsVerdict::kNothing, nullptr},  // the low byte alone would be 1
        {0xFFFF, RightsVerdict::kNothing, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.userType);
        EXPECT_EQ(RightsFor(c.userType), c.verdict);
        const char* message = RightsMessage(RightsFor(c.userType));
        if (c.message) {
            ASSERT_NE(message, nullptr);
            EXPECT_EQ(std::string(message), c.message);
        } else {
            EXPECT_EQ(message, nullptr);
        }
    }
}

}  // namespace
}  // namespace vantelsor::test
