// The lock-state check on the 0xB1 replies that reach the console's handler.
#include <gtest/gtest.h>

#include <vector>

#include "net/NetSession.h"
#include "platform/LocalKeyboard.h"
#include "session/ConsoleLink.h"
#include "session/SessionInfo.h"

namespace vantelsor::test {
namespace {

class FixedKeyboard : public LocalKeyboard {
  public:
    explicit FixedKeyboard(uint8_t s) : state(s) {}
    uint8_t LockState() override { return state; }
    bool Toggle(uint8_t) override { return false; }
    uint8_t state;
};

class RecordingSink : public EventSink {
  public:
    void Post(DeviceEvent event, uint32_t param) override { posted.push_back({event, param}); }
    std::vector<std::pair<DeviceEvent, uint32_t>> posted;
};

class ConsoleLinkLockTest : public ::testing::Test {
  protected:
    int Reply(uint8_t status) {
        const uint8_t m[2] = {0xB1, status};
        return link.OnControlMessage(m, 2);
    }
    std::vector<uint32_t> Posted() const {
        std::vector<uint32_t> bits;
        for (const auto& [event, param] : sink.posted) {
            EXPECT_EQ(event, DeviceEvent::kLockKeysDiffer);
            bits.push_back(param);
        }
        return bits;
    }

    NetSession session;
    SessionInfo info{0x7F000001, 0};
    RecordingSink sink;
    ConsoleLink link{session, &info, &sink};
};

TEST_F(ConsoleLinkLockTest, ADifferenceIsPostedOncePerFocusGain) {
    FixedKeyboard keyboard(LocalKeyboard::kCapsLock);  // CapsLock on, NumLock off
    link.SetLocalKeyboard(&keyboard);
    link.ArmLockSync(true);
    EXPECT_EQ(Reply(0x11), 0);  // never completes a waiting request
    EXPECT_EQ(Posted(), (std::vector<uint32_t>{3}));
    EXPECT_FALSE(link.lockSyncArmed());
    Reply(0x11);
    Reply(0x44);
    EXPECT_EQ(Posted().size(), 1u);
    // Focus lost and gained again: one more.
    link.ArmLockSync(false);
    Reply(0x11);
    link.ArmLockSync(true);
    Reply(0x44);
    EXPECT_EQ(Posted(), (std::vector<uint32_t>{3, 6}));
}

TEST_F(ConsoleLinkLockTest, DifferingNibblesOrAgreementChangeNothing) {
    FixedKeyboard keyboard(LocalKeyboard::kCapsLock);
    link.SetLocalKeyboard(&keyboard);
    link.ArmLockSync(true);
    for (uint8_t status : {0x12, 0x21, 0x01, 0x10, 0x22}) Reply(status);
    EXPECT_TRUE(Posted().empty());
    // The check stays armed for the first real difference.
    EXPECT_TRUE(link.lockSyncArmed());
    Reply(0x00);
    EXPECT_EQ(Posted(), (std::vector<uint32_t>{2}));
}

TEST_F(ConsoleLinkLockTest, WithoutALocalKeyboardNothingIsCompared) {
    link.ArmLockSync(true);
    Reply(0x77);
    EXPECT_TRUE(Posted().empty());
}

}  // namespace
}  // namespace vantelsor::test
