// vantelsorctl's command line through its parser: the words each kind of
// command accepts, what they become, and the usage errors generated from the
// command table's forms.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/CommandTable.h"
#include "cli/CtlOptions.h"

namespace vantelsor::test {
namespace {

// Parses the connection options followed by `words`.
bool Parse(const std::vector<std::string>& words, ctl::CtlOptions* out, std::string* error) {
    std::vector<std::string> args = {"vantelsorctl", "--device",   "127.0.0.9", "--user",
                                     "admin",        "--password", "admin123"};
    args.insert(args.end(), words.begin(), words.end());
    std::vector<const char*> argv;
    for (const std::string& a : args) argv.push_back(a.c_str());
    return ctl::ParseOptions(static_cast<int>(argv.size()), argv.data(), out, error);
}

TEST(CtlOptionsTest, UsageErrorsNameWhatIsWrong) {
    struct Case {
        std::vector<std::string> words;
        std::string error;
    };
    const Case cases[] = {
        {{}, "no command given"},
        {{"dance"}, "unknown command dance"},
        {{"--bogus", "login"}, "unknown option --bogus"},
        {{"login", "now"}, "unexpected argument now"},
        {{"reboot", "--force"}, "unexpected argument --force"},
        {{"login", "--encrypt", "rot13"}, "--encrypt takes none, all, keyboard or mouse"},
        {{"login", "--reply-timeout"}, "--reply-timeout needs a value"},
        {{"keys"}, "keys needs ctrl-alt-del or print-screen"},
        {{"keys", "a", "b"}, "keys takes only ctrl-alt-del or print-screen"},
        {{"keys", ""}, "keys takes ctrl-alt-del or print-screen, not "},
        {{"mouse", "away"}, "mouse takes home, not away"},
        {{"type"}, "type needs one TEXT argument"},
        {{"screenshot", "a.png", "b.png"}, "unexpected argument b.png"},
        {{"screenshot", "", "--frames", "2"}, "screenshot needs the name of the PNG file to write"},
        {{"screenshot", "a.png", "--frames", "10001"}, "--frames takes a number from 1 to 10000"},
        {{"users"}, "unknown form of users"},
        {{"users", "rename", "a"}, "unknown form of users"},
        {{"users", "add", "bob"}, "users add takes 2 value(s)"},
        {{"users", "edit", "bob", "--new-name"}, "--new-name needs a value"},
        {{"sleep", "set", "1", "--fps", "5"}, "unknown option --fps for sleep"},
        {{"network", "set", "--yes"}, "unknown option --yes for network"},
        {{"network", "set"}, "network set needs --ip, --mask or --gateway"},
        {{"video", "set"}, "video set needs --fps or --bitrate"},
        {{"log", "--format", "xml"}, "--format takes text, csv or json"},
        {{"log", "clear", "--format", "csv"}, "unknown option --format for log"},
        {{"firmware"}, "firmware takes 1 value(s)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.error);
        ctl::CtlOptions options;
        std::string error;
        EXPECT_FALSE(Parse(c.words, &options, &error));
        EXPECT_EQ(error, c.error);
    }
}

TEST(CtlOptionsTest, WordsBecomeTheCommandsInvocation) {
    ctl::CtlOptions o;
    std::string error;
    ASSERT_TRUE(
        Parse({"users", "edit", "bob", "--new-name", "rob", "--reply-timeout", "500"}, &o, &error))
        << error;
    ASSERT_EQ(o.command, ctl::FindCommand("users"));
    EXPECT_EQ(o.invocation.action, "edit");
    EXPECT_EQ(o.invocation.values, std::vector<std::string>{"bob"});
    EXPECT_EQ(o.invocation.Option("new-name"), "rob");
    EXPECT_EQ(o.replyTimeoutMs, 500u);  // connection options stand anywhere
    EXPECT_EQ(o.deviceAddress, 0x7F000009u);

    o = ctl::CtlOptions{};
    ASSERT_TRUE(Parse({"type", "-x --y"}, &o, &error)) << error;  // a TEXT may start with a dash
    EXPECT_EQ(o.invocation.values, std::vector<std::string>{"-x --y"});

    o = ctl::CtlOptions{};
    ASSERT_TRUE(Parse({"screenshot", "--frames", "3", "shot.png"}, &o, &error)) << error;
    EXPECT_EQ(o.invocation.values, std::vector<std::string>{"shot.png"});
    EXPECT_EQ(o.invocation.frames, 3);

    o = ctl::CtlOptions{};
    ASSERT_TRUE(Parse({"log", "clear", "--yes"}, &o, &error)) << error;
    EXPECT_EQ(o.invocation.action, "clear");
    EXPECT_TRUE(o.invocation.yes);

    o = ctl::CtlOptions{};
    ASSERT_TRUE(Parse({"info", "set-name", "device01"}, &o, &error)) << error;
    EXPECT_EQ(o.invocation.action, "set-name");
    EXPECT_EQ(o.invocation.values, std::vector<std::string>{"device01"});
}

TEST(CtlOptionsTest, UsageListsEveryCommandOfTheTable) {
    for (const ctl::CtlCommand& c : ctl::Commands()) {
        SCOPED_TRACE(c.name);
        EXPECT_NE(ctl::Usage().find(std::string("\n  ") + c.name + " "), std::string::npos);
    }
}

}  // namespace
}  // namespace vantelsor::test
