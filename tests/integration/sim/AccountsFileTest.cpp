// The accounts file of vantelsor-sim: what it accepts, and that every bad line
// is reported with its number.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

#include "sim/AccountsFile.h"

namespace vantelsor::test {
namespace {

using sim::Account;

TEST(AccountsFileTest, ReadsAccountsAndSkipsCommentsAndBlankLines) {
    const char* text =
        "# the device's accounts\n"
        "\n"
        "admin   s3cret   1\n"
        "\tops\tpa#ss\t2\r\n"  // tabs, CRLF, a '#' inside the password
        "   # indented comment\n"
        "sixteen-byte-usr 0123456789abcdef 2";  // no final newline, fields full
    std::vector<Account> accounts;
    std::string error;
    ASSERT_TRUE(sim::ParseAccounts(text, &accounts, &error)) << error;
    const std::vector<Account> expected{
        {"admin", "s3cret", sim::kAdministrator},
        {"ops", "pa#ss", sim::kOrdinaryUser},
        {"sixteen-byte-usr", "0123456789abcdef", sim::kOrdinaryUser}};
    EXPECT_EQ(accounts, expected);
}

TEST(AccountsFileTest, BadLineIsReportedWithItsNumberAndNothingIsTaken) {
    struct Case {
        const char* text;
        const char* error;
    } cases[] = {
        {"admin admin123\n", "line 1: expected \"name password type\", found 2 fields"},
        {"# c\nadmin admin123 1 extra\n",
         "line 2: expected \"name password type\", found 4 fields"},
        {"ok pw 1\n\nlonely\n", "line 3: expected \"name password type\", found 1 field"},
        {"admin admin123 3\n",
         "line 1: type must be 1 (administrator) or 2 (ordinary user), not \"3\""},
        {"admin admin123 x\n",
         "line 1: type must be 1 (administrator) or 2 (ordinary user), not \"x\""},
        {"admin admin123 01\n",
         "line 1: type must be 1 (administrator) or 2 (ordinary user), not \"01\""},
        {"seventeen-bytes-x pw 1\n", "line 1: user name longer than 16 bytes"},
        {"admin 0123456789abcdefX 1\n", "line 1: password longer than 16 bytes"},
        {"admin a 1\nuser b 2\nadmin c 2\n", "line 3: user \"admin\" already defined on line 1"},
        {"", "no accounts"},
        {"# only a comment\n\n", "no accounts"},
    };
    for (const Case& c : cases) {
        std::vector<Account> accounts{{"keep", "me", 1}};
        std::string error;
        EXPECT_FALSE(sim::ParseAccounts(c.text, &accounts, &error)) << c.text;
        EXPECT_EQ(error, c.error) << c.text;
        EXPECT_EQ(accounts.size(), 1u) << "unchanged on error";
    }
}

TEST(AccountsFileTest, LoadNamesTheFileInItsErrors) {
    const std::string path = ::testing::TempDir() + "sim_accounts_" + std::to_string(::getpid());
    std::vector<Account> accounts;
    std::string error;
    EXPECT_FALSE(sim::LoadAccounts(path, &accounts, &error));
    EXPECT_EQ(error.rfind("cannot read " + path + ": ", 0), 0u) << error;

    std::ofstream(path) << "admin admin123 1\nbroken\n";
    EXPECT_FALSE(sim::LoadAccounts(path, &accounts, &error));
    EXPECT_EQ(error, path + ":2: expected \"name password type\", found 1 field");

    std::ofstream(path) << "ops secret 2\n";
    EXPECT_TRUE(sim::LoadAccounts(path, &accounts, &error)) << error;
    EXPECT_EQ(accounts, (std::vector<Account>{{"ops", "secret", sim::kOrdinaryUser}}));
    std::remove(path.c_str());
}

}  // namespace
}  // namespace vantelsor::test
