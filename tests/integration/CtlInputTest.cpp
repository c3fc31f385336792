// vantelsorctl's keyboard and mouse commands, the real program against the
// simulated device.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "RunProcess.h"
#include "SimFixture.h"
#include "net/AddressText.h"
#include "protocol/MessageTypes.h"

namespace vantelsor::test {
namespace {

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class CtlInputTest : public SimFixture {
  protected:
    ProcessResult Ctl(std::vector<std::string> command, std::vector<std::string> extra = {}) {
        std::vector<std::string> args = {"--device",   AddressText(config.listenAddress),
                                         "--user",     "admin",
                                         "--password", "admin123"};
        args.insert(args.end(), extra.begin(), extra.end());
        args.insert(args.end(), command.begin(), command.end());
        ProcessResult r = RunProcess(VANTELSORCTL_PATH, args);
        // The logout record follows everything the command sent on the same
        // connection: once it is in, so is the rest.
        if (device && r.exitCode != 2) WaitReceived(msg::kLoginRecord, ++sessions * 2);
        return r;
    }

    // The keys of the device's keyboard messages in order, as "0x11 down".
    std::vector<std::string> Keys(uint8_t type) const {
        std::vector<std::string> keys;
        for (const auto& e : Received(type)) {
            const size_t at = e.text.find(" key ");
            if (at == std::string::npos) {
                keys.push_back(e.text);
                continue;
            }
            std::istringstream words(e.text.substr(at + 5));
            std::string code, direction;
            words >> code >> direction;
            keys.push_back(code + " " + direction);
        }
        return keys;
    }

    size_t sessions = 0;
};

TEST_F(CtlInputTest, TypedTextIsWhatTheTargetHolds) {
    StartDevice();
    ProcessResult r = Ctl({"type", "Hello, World 123"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(device->TypedText(), "Hello, World 123");
    // Shift only around the capitals and the comma is unshifted: 16 keys, 2 with Shift.
    EXPECT_EQ(Received(msg::kKeyboard).size(), 16u * 2 + 2u * 2);
    r = Ctl({"type", "~!\"{}|<>?"}, {"--encrypt", "keyboard"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(device->TypedText(), "Hello, World 123~!\"{}|<>?");
    EXPECT_EQ(Received(msg::kKeyboardSealed).size(), 9u * 4);
}

TEST_F(CtlInputTest, CtrlAltDelArrivesAsSixMessagesInOrder) {
    StartDevice();
    ProcessResult r = Ctl({"keys", "ctrl-alt-del"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    const std::vector<std::string> expected = {"0x11 down", "0x12 down", "0x2E down",
                                               "0x11 up",   "0x12 up",   "0x2E up"};
    EXPECT_EQ(Keys(msg::kKeyboard), expected);
    EXPECT_EQ(device->KeyboardReport(), input::HidReport{});
    r = Ctl({"keys", "print-screen"}, {"--encrypt", "all"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(Keys(msg::kKeyboardSealed), (std::vector<std::string>{"0x2C down", "0x2C up"}));
}

TEST_F(CtlInputTest, MouseHomeDrivesThePointerIntoTheCorner) {
    StartDevice();
    ProcessResult r = Ctl({"mouse", "home"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(Received(msg::kMouse).size(), 17u);
    EXPECT_EQ(device->Pointer().x, 0);
    EXPECT_EQ(device->Pointer().y, 0);
}

TEST_F(CtlInputTest, UntypableTextAndBadArgumentsAreRefusedBeforeAnythingIsSent) {
    StartDevice();
    struct Case {
        std::vector<std::string> command;
        const char* message;
    };
    const Case cases[] = {
        {{"type", "caf\xC3\xA9"}, "character \"\xC3\xA9\" at position 4"},
        {{"type", "tab\there"}, "position 4 (byte 0x09)"},
        {{"type"}, "type needs"},
        {{"type", "a", "b"}, "type takes only"},
        {{"keys"}, "keys needs"},
        {{"keys", "alt-f4"}, "not alt-f4"},
        {{"mouse", "away"}, "not away"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        const ProcessResult r = Ctl(c.command);
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_TRUE(Contains(r.err, c.message)) << r.err;
        EXPECT_TRUE(Contains(r.err, "usage:")) << r.err;
    }
    EXPECT_TRUE(device->Trace().empty());  // not even a login
}

TEST_F(CtlInputTest, WithoutTheOperationRightNothingIsSent) {
    config.loginStatus = 0x01;  // accepted without the operation right
    StartDevice();
    for (const auto& command : std::vector<std::vector<std::string>>{
             {"type", "abc"}, {"keys", "ctrl-alt-del"}, {"mouse", "home"}}) {
        const ProcessResult r = Ctl(command);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(Contains(r.err, "operation right")) << r.err;
    }
    for (const auto& e : device->Trace()) EXPECT_LT(e.type, msg::kKeyboard) << e.text;
}

}  // namespace
}  // namespace vantelsor::test
