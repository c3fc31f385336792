#include <gtest/gtest.h>

#include "ForwarderFixture.h"
#include "input/InputForwarder.h"
#include "input/VirtualKeys.h"
#include "platform/LocalKeyboard.h"
#include "protocol/InputMessages.h"

namespace vantelsor::test {
namespace {

using Strings = std::vector<std::string>;

const char* const kCtrlUp = "E8 F0 14 00 00 00 00 00 00 00 00 00 00 00 00 00 00 04";
const char* const kXUp = "E8 F0 22 00 00 00 00 00 00 00 00 00 00 00 00 00 00 12";
const char* const kADown = "E8 1C 00 00 00 00 00 00 00 00 00 04 00 00 00 00 00 20";
const char* const kAUp = "E8 F0 1C 00 00 00 00 00 00 00 00 00 00 00 00 00 00 0C";

// The lock keys of a local keyboard that cannot be reached here: a record of
// the toggles asked for.
class RecordingKeyboard : public LocalKeyboard {
  public:
    uint8_t LockState() override { return state; }
    bool Toggle(uint8_t key) override {
        toggled.push_back(key);
        state ^= key;
        return reachable;
    }
    uint8_t state = 0;
    bool reachable = true;
    std::vector<uint8_t> toggled;
};

class InputForwarderTest : public ForwarderFixture {};

TEST_F(InputForwarderTest, KeyEventsWaitTheirPauseAndAreSent) {
    InputForwarder f(session, &info, timing);
    f.inputActive = 1;
    f.KeyDown('A');
    f.KeyUp('A');
    EXPECT_EQ(Next(36), std::string(kADown) + " " + kAUp);
    f.SysKeyDown(vk::kMenu);
    f.SysKeyUp(vk::kMenu);
    EXPECT_EQ(Next(18), "E8 11 00 00 00 00 00 00 00 04 00 00 00 00 00 00 00 15");
    EXPECT_EQ(Next(18), "E8 F0 11 00 00 00 00 00 00 00 00 00 00 00 00 00 00 01");
    EXPECT_EQ(log, (Strings{"sleep 2", "sleep 2", "sleep 1", "sleep 1"}));
}

TEST_F(InputForwarderTest, InactiveInputOrNoRightSendsNothingButTheEncoderFollows) {
    InputForwarder f(session, &info, timing);
    EXPECT_EQ(f.SendKey('A', true), 0);  // input inactive
    EXPECT_EQ(f.HeldCount(), 1);
    f.inputActive = 1;
    info.hasControlRight = 0;
    EXPECT_EQ(f.SendKey('B', true), 1);
    EXPECT_EQ(f.HeldCount(), 2);
    EXPECT_EQ(f.SendKey(0xA0, true), 0);  // outside the table
    EXPECT_TRUE(NothingMore());
    // With the right back, the report carries both keys the encoder tracked.
    info.hasControlRight = 1;
    EXPECT_EQ(f.SendKey('C', true), 1);
    EXPECT_EQ(Next(18), "E8 21 00 00 00 00 00 00 00 00 00 04 05 06 00 00 00 30");
    // A click into the console starts the keyboard afresh.
    f.inputActive = 0;
    f.ActivateKeyboard();
    EXPECT_EQ(f.inputActive, 1);
    EXPECT_EQ(f.HeldCount(), 0);
    f.SendKey('D', true);
    EXPECT_EQ(Next(18), "E8 23 00 00 00 00 00 00 00 00 00 07 00 00 00 00 00 2A");
}

TEST_F(InputForwarderTest, FocusLossReleasesHeldKeysPacedAndEmptiesTheReport) {
    LogMessagesBeforeSleeps(18);
    InputForwarder f(session, &info, timing);
    f.inputActive = 1;
    f.SendKey(vk::kControl, true);
    f.SendKey('X', true);
    Next(36);
    info.hasControlRight = 0;  // the releases go out all the same
    f.ReleaseAllKeys();
    EXPECT_EQ(log, (Strings{kCtrlUp, "sleep 200", kXUp, "sleep 200"}));
    EXPECT_EQ(f.inputActive, 0);
    EXPECT_EQ(f.HeldCount(), 0);
    info.hasControlRight = 1;
    f.inputActive = 1;
    f.SendKey('A', true);
    EXPECT_EQ(Next(18), kADown);
}

TEST_F(InputForwarderTest, FixedSequencesArePacedAndIgnoreInputStateAndRight) {
    LogMessagesBeforeSleeps(18);
    InputForwarder f(session, &info, timing);
    info.hasControlRight = 0;
    f.SendCtrlAltDel();
    EXPECT_EQ(log, (Strings{
                       "E8 14 00 00 00 00 00 00 00 01 00 00 00 00 00 00 00 15",
                       "sleep 200",
                       "E8 11 00 00 00 00 00 00 00 05 00 00 00 00 00 00 00 16",
                       "sleep 200",
                       "E8 E0 71 00 00 00 00 00 00 05 00 4C 00 00 00 00 00 A2",
                       "sleep 200",
                       "E8 F0 14 00 00 00 00 00 00 04 00 4C 00 00 00 00 00 54",
                       "sleep 200",
                       "E8 F0 11 00 00 00 00 00 00 00 00 4C 00 00 00 00 00 4D",
                       "sleep 200",
                       "E8 E0 F0 71 00 00 00 00 00 00 00 00 00 00 00 00 00 41",
                       "sleep 200",
                   }));
    log.clear();
    f.SendPrintScreen();
    EXPECT_EQ(log, (Strings{
                       "E8 E0 7C 00 00 00 00 00 00 00 00 46 00 00 00 00 00 A2",
                       "sleep 200",
                       "E8 E0 F0 7C 00 00 00 00 00 00 00 00 00 00 00 00 00 4C",
                       "sleep 200",
                   }));
}

TEST_F(InputForwarderTest, NothingIsSentOnAClosedConnection) {
    InputForwarder f(session, &info, timing);
    f.inputActive = 1;
    f.SendKey('A', true);
    Next(18);
    session.CloseControl();
    f.SendCtrlAltDel();
    f.SendPrintScreen();
    f.ReleaseAllKeys();
    EXPECT_EQ(f.SendMouse(0x01, 0, 0, 0), 1);
    EXPECT_TRUE(log.empty());  // each sequence stops before its first message
    EXPECT_EQ(server.Receive(1, 200).size(), 0u);
}

TEST_F(InputForwarderTest, KeyboardEncryptionSealsWithThePlainChecksum) {
    info.encryptionFlags = SessionInfo::kEncryptKeyboard;
    info.sessionKey = {0x13, 0x34, 0x57, 0x79, 0x9B, 0xBC, 0xDF, 0xF1};
    InputForwarder f(session, &info, timing);
    f.inputActive = 1;
    f.SendKey('A', true);
    const auto sealed = server.Receive(18);
    ASSERT_EQ(sealed.size(), 18u);
    EXPECT_EQ(sealed[0], 0xE9);
    EXPECT_EQ(sealed[17], 0x20);
    EXPECT_NE(ToHex(sealed), kADown);
    input::KeyEventFields opened;
    ASSERT_EQ(input::OpenKeyMessage(info.sessionKey, sealed.data(), 18, &opened),
              input::InputVerdict::kOk);
    EXPECT_EQ(ToHex(opened.set2), "1C 00 00 00 00 00 00 00");
    EXPECT_EQ(ToHex(opened.report), "00 00 04 00 00 00 00 00");
    // The mouse stays plain unless its own bit is set.
    f.SendMouse(0x01, 0, 0, 0);
    EXPECT_EQ(Next(10), "EF 09 00 00 00 01 00 00 00 0A");
}

TEST_F(InputForwarderTest, MouseEncryptionAndTheRightRule) {
    info.encryptionFlags = SessionInfo::kEncryptMouse;
    info.sessionKey = {1, 2, 3, 4, 5, 6, 7, 8};
    InputForwarder f(session, &info, timing);
    // Mouse messages do not depend on keyboard input being active.
    EXPECT_EQ(f.SendMouse(0, -5, 3, 0), 1);
    const auto sealed = server.Receive(10);
    ASSERT_EQ(sealed.size(), 10u);
    EXPECT_EQ(sealed[0], 0xEE);
    EXPECT_EQ(sealed[9], 0x2E);
    input::MouseEventFields opened;
    ASSERT_EQ(input::OpenMouseMessage(info.sessionKey, sealed.data(), 10, &opened),
              input::InputVerdict::kOk);
    EXPECT_EQ(opened.dx, -5);
    EXPECT_EQ(opened.dy, 3);
    EXPECT_EQ(opened.status, 0x38);
    info.hasControlRight = 0;
    EXPECT_EQ(f.SendMouse(0x01, 0, 0, 0), 1);
    EXPECT_EQ(f.SendMouse(0, 0, 0, 7), 0);
    EXPECT_EQ(f.mouseButtons(), 0x01);  // the encoder follows even when nothing is sent
    EXPECT_TRUE(NothingMore());
}

TEST_F(InputForwarderTest, LockSyncSwallowsTheEchoOfItsOwnToggleOnly) {
    RecordingKeyboard keyboard;
    InputForwarder f(session, &info, timing);
    f.inputActive = 1;
    f.SyncLockKeys(LocalKeyboard::kNumLock | LocalKeyboard::kCapsLock, &keyboard);
    EXPECT_EQ(keyboard.toggled, (std::vector<uint8_t>{1, 2}));
    EXPECT_EQ(f.lockEcho(), 3);
    // The toggles come back as key events: not sent.
    f.KeyDown(vk::kCapital);
    f.KeyUp(vk::kCapital);
    EXPECT_EQ(f.lockEcho(), 1);
    EXPECT_TRUE(NothingMore());
    // The user's own next press is sent.
    f.KeyDown(vk::kCapital);
    EXPECT_EQ(Next(18), "E8 58 00 00 00 00 00 00 00 00 00 39 00 00 00 00 00 91");
    // A toggle that could not be synthesised leaves nothing to swallow.
    keyboard.reachable = false;
    f.SyncLockKeys(LocalKeyboard::kScrollLock, &keyboard);
    EXPECT_EQ(f.lockEcho(), 1);
}

}  // namespace
}  // namespace vantelsor::test
