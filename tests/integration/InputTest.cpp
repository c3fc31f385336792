// Keyboard and mouse forwarding against the simulated device over loopback.
#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "SimFixture.h"
#include "input/ConsoleInput.h"
#include "input/UsLayout.h"
#include "input/VirtualKeys.h"
#include "net/NetSession.h"
#include "platform/LocalKeyboard.h"
#include "protocol/InputMessages.h"
#include "protocol/MessageTypes.h"
#include "session/ConsoleLink.h"
#include "session/LoginSequence.h"

namespace vantelsor::test {
namespace {

template <typename Condition>
bool Eventually(Condition condition, int timeoutMs = 10000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

class RecordingSink : public EventSink {
  public:
    void Post(DeviceEvent event, uint32_t param) override {
        std::lock_guard lock(mutex_);
        if (event == DeviceEvent::kLockKeysDiffer) lockDiffers_.push_back(param);
    }
    std::vector<uint32_t> lockDiffers() {
        std::lock_guard lock(mutex_);
        return lockDiffers_;
    }

  private:
    std::mutex mutex_;
    std::vector<uint32_t> lockDiffers_;
};

// A local keyboard with lock keys that toggle in memory.
class MemoryKeyboard : public LocalKeyboard {
  public:
    uint8_t LockState() override { return state; }
    bool Toggle(uint8_t key) override {
        state ^= key;
        return true;
    }
    std::atomic<uint8_t> state{0};
};

class InputTest : public SimFixture {
  protected:
    InputTest() {
        timing.replyTimeoutMs = 2000;
        fast.keyDelayMs = 0;
        fast.sysKeyDelayMs = 0;
        fast.keySequencePaceMs = 1;
        fast.pointerStepMs = 1;
        fast.lockPollPeriodMs = 10;
        config.fixedKey = SessionKey{0x10, 0x32, 0x54, 0x76, 0x98, 0xBA, 0xDC, 0xFE};
    }
    ~InputTest() override {
        input.reset();
        if (link) link->Close();
        link.reset();
        if (login) login->Exit();
    }

    // Logs in and opens the console's input: poll, pointer thread, homing.
    void OpenConsole(int32_t encryptionFlags) {
        StartDevice();
        login = std::make_unique<LoginSequence>(nullptr, timing);
        ASSERT_TRUE(login->Connect(config.listenAddress));
        Credentials c;
        c.deviceAddress = config.listenAddress;
        c.encryptionFlags = encryptionFlags;
        c.user = "admin";
        c.password = "admin123";
        ASSERT_EQ(login->Login(c), LoginResult::kAccepted);
        link = std::make_unique<ConsoleLink>(login->session(), login->info(), &sink, timing);
        link->SetLocalKeyboard(&keyboard);
        link->Open();
        input = std::make_unique<ConsoleInput>(login->session(), login->info(), link.get(),
                                               &keyboard, fast);
        input->Open();
        input->FocusGained();
    }

    std::vector<sim::TraceEntry> InputEntries() const {
        std::vector<sim::TraceEntry> out;
        for (auto& e : device->Trace()) {
            if (e.type >= msg::kKeyboard) out.push_back(e);
        }
        return out;
    }

    Timing timing;
    InputTiming fast;
    RecordingSink sink;
    MemoryKeyboard keyboard;
    std::unique_ptr<LoginSequence> login;
    std::unique_ptr<ConsoleLink> link;
    std::unique_ptr<ConsoleInput> input;
};

TEST_F(InputTest, EveryPrintableCharacterArrivesEnciphered) {
    OpenConsole(SessionInfo::kEncryptKeyboard);
    std::string text;
    for (char c = 0x20; c < 0x7F; ++c) text += c;
    InputForwarder& keys = input->forwarder();
    size_t messages = 0;
    for (char c : text) {
        const KeyStroke s = *KeyStrokeFor(c);
        if (s.shift) keys.KeyDown(vk::kShift);
        keys.KeyDown(s.virtualKey);
        keys.KeyUp(s.virtualKey);
        if (s.shift) keys.KeyUp(vk::kShift);
        messages += s.shift ? 4 : 2;
    }
    ASSERT_TRUE(WaitReceived(msg::kKeyboardSealed, messages));
    EXPECT_EQ(device->TypedText(), text);
    EXPECT_TRUE(Received(msg::kKeyboard).empty());
    EXPECT_EQ(device->KeyboardReport(), input::HidReport{});
}

TEST_F(InputTest, PointerStepsArriveEncipheredAndMoveTheTargetsPointer) {
    OpenConsole(SessionInfo::kEncryptMouse);
    // The opening homing drove the pointer from the middle of the screen to its corner.
    ASSERT_TRUE(WaitReceived(msg::kMouseSealed, 17));
    EXPECT_EQ(device->Pointer().x, 0);
    EXPECT_EQ(device->Pointer().y, 0);
    input->pointer().SetTarget(200, 100);
    ASSERT_TRUE(WaitReceived(msg::kMouseSealed, 20));
    ASSERT_TRUE(
        Eventually([&] { return device->Pointer().x == 200 && device->Pointer().y == 100; }));
    const auto sealed = Received(msg::kMouseSealed);
    ASSERT_EQ(sealed.size(), 20u);
    EXPECT_TRUE(Received(msg::kMouse).empty());
    std::vector<std::string> steps;
    for (size_t i = 17; i < sealed.size(); ++i) {
        input::MouseEventFields m;
        ASSERT_EQ(input::OpenMouseMessage(*config.fixedKey, sealed[i].bytes.data(),
                                          static_cast<int>(sealed[i].bytes.size()), &m),
                  input::InputVerdict::kOk);
        EXPECT_TRUE(m.sealed);
        steps.push_back(std::to_string(m.dx) + "," + std::to_string(m.dy));
    }
    EXPECT_EQ(steps, (std::vector<std::string>{"80,80", "80,20", "40,0"}));
    // A click over the picture goes out at once, without movement.
    input->pointer().pointerInside = 1;
    input->pointer().OnRawMouse(0x01, 0);
    ASSERT_TRUE(Eventually([&] { return device->Pointer().buttons == 1; }));
    EXPECT_EQ(device->Pointer().x, 200);
}

TEST_F(InputTest, WithoutTheRightNothingIsSentButTheBelievedPositionAdvances) {
    config.loginStatus = 0x01;  // accepted as administrator, without the operation right
    OpenConsole(0);
    ASSERT_EQ(login->info()->hasControlRight, 0);
    input->pointer().SetTarget(300, 50);
    ASSERT_TRUE(
        Eventually([&] { return input->pointer().sentX == 300 && input->pointer().sentY == 50; }));
    input->forwarder().KeyDown('A');
    // The lock polls keep coming; by the time a few more arrived, anything sent before would have.
    const size_t polls = Received(msg::kLockState).size();
    ASSERT_TRUE(WaitReceived(msg::kLockState, polls + 3));
    EXPECT_TRUE(InputEntries().empty());
    EXPECT_EQ(device->Pointer().x, 640);
}

TEST_F(InputTest, LockKeysFollowTheTargetOncePerFocusGain) {
    config.lockLeds = LocalKeyboard::kCapsLock;
    OpenConsole(0);
    ASSERT_TRUE(Eventually([&] { return !sink.lockDiffers().empty(); }));
    EXPECT_EQ(sink.lockDiffers(), (std::vector<uint32_t>{LocalKeyboard::kCapsLock}));
    // The view toggles the local key; its echo is not forwarded.
    input->LockKeysDiffer(sink.lockDiffers()[0]);
    EXPECT_EQ(keyboard.state, LocalKeyboard::kCapsLock);
    input->forwarder().KeyDown(vk::kCapital);
    input->forwarder().KeyUp(vk::kCapital);
    const size_t polls = Received(msg::kLockState).size();
    ASSERT_TRUE(WaitReceived(msg::kLockState, polls + 3));
    EXPECT_EQ(sink.lockDiffers().size(), 1u);
    EXPECT_TRUE(Received(msg::kKeyboard).empty());
    // The operator's own CapsLock press reaches the target and turns its LED off.
    keyboard.state = 0;  // the local key toggled too
    input->forwarder().KeyDown(vk::kCapital);
    input->forwarder().KeyUp(vk::kCapital);
    ASSERT_TRUE(Eventually([&] { return device->LockLeds() == 0; }));
    // Focus lost and regained with the target now differing again: one more sync.
    device->SetLockLeds(LocalKeyboard::kNumLock);
    input->FocusLost();
    input->FocusGained();
    ASSERT_TRUE(Eventually([&] { return sink.lockDiffers().size() == 2; }));
    EXPECT_EQ(sink.lockDiffers()[1], LocalKeyboard::kNumLock);
}

TEST_F(InputTest, PausedKeepAliveStopsThePollOnly) {
    OpenConsole(0);
    ASSERT_TRUE(WaitReceived(msg::kLockState, 2));
    login->session().keepAlivePaused = 1;
    const LockKeyPoll& poll = input->poll();
    // Two rounds on, a poll sent before the round saw the pause has gone out.
    const uint64_t paused = poll.Rounds();
    ASSERT_TRUE(Eventually([&] { return poll.Rounds() >= paused + 2; }));
    // Other input still goes out; once it is in, so is every poll sent before it.
    input->forwarder().SendPrintScreen();
    ASSERT_TRUE(WaitReceived(msg::kKeyboard, 2));
    const size_t polls = Received(msg::kLockState).size();
    // Ten whole rounds of the poll, then more input behind them: no poll between.
    const uint64_t quiet = poll.Rounds();
    ASSERT_TRUE(Eventually([&] { return poll.Rounds() >= quiet + 10; }));
    input->forwarder().SendPrintScreen();
    ASSERT_TRUE(WaitReceived(msg::kKeyboard, 4));
    EXPECT_EQ(Received(msg::kLockState).size(), polls);
    login->session().keepAlivePaused = 0;
    EXPECT_TRUE(WaitReceived(msg::kLockState, polls + 1));
}

TEST_F(InputTest, FocusLossReleasesEveryHeldKeyOnTheTarget) {
    OpenConsole(0);
    InputForwarder& keys = input->forwarder();
    keys.KeyDown(vk::kControl);
    keys.KeyDown('X');
    ASSERT_TRUE(WaitReceived(msg::kKeyboard, 2));
    EXPECT_EQ(device->KeyboardReport(), (input::HidReport{0x01, 0, 0x1B, 0, 0, 0, 0, 0}));
    input->FocusLost();
    ASSERT_TRUE(WaitReceived(msg::kKeyboard, 4));
    EXPECT_EQ(device->KeyboardReport(), input::HidReport{});
    const auto entries = Received(msg::kKeyboard);
    EXPECT_NE(entries[2].text.find("key 0x11 up"), std::string::npos) << entries[2].text;
    EXPECT_NE(entries[3].text.find("key 0x58 up"), std::string::npos) << entries[3].text;
    // Ctrl+X was a command, not text.
    EXPECT_EQ(device->TypedText(), "");
}

}  // namespace
}  // namespace vantelsor::test
