#include "input/InputForwarder.h"

#include <chrono>
#include <thread>

#include "input/VirtualKeys.h"
#include "net/NetSession.h"
#include "platform/LocalKeyboard.h"
#include "session/SessionInfo.h"

namespace vantelsor {
namespace {

// The lock keys in the order the synchronisation toggles them, with their bits.
struct LockKey {
    uint8_t bit;
    int virtualKey;
};
constexpr LockKey kLockKeys[] = {
    {LocalKeyboard::kNumLock, vk::kNumLock},
    {LocalKeyboard::kCapsLock, vk::kCapital},
    {LocalKeyboard::kScrollLock, vk::kScroll},
};

uint8_t LockBit(int virtualKey) {
    for (const LockKey& k : kLockKeys) {
        if (k.virtualKey == virtualKey) return k.bit;
    }
    return 0;
}

}  // namespace

InputForwarder::InputForwarder(NetSession& session, const SessionInfo* info,
                               const InputTiming& timing)
    : session_(session), info_(info), timing_(timing) {}

void InputForwarder::Sleep(uint32_t ms) const {
    if (timing_.sleep) return timing_.sleep(ms);
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

bool InputForwarder::CanSend() const {
    return session_.IsControlOpen() && info_->hasControlRight != 0;
}

void InputForwarder::SendKeyMessage(int length) {
    if (info_->encryptionFlags & SessionInfo::kEncryptKeyboard) {
        input::KeyMessageBytes sealed;
        input::SealKeyMessage(info_->sessionKey, keyMessage_, &sealed);
        session_.Send(sealed.data(), length);
    } else {
        session_.Send(keyMessage_.data(), length);
    }
}

int InputForwarder::SendKey(int virtualKey, bool down) {
    int length = 0;
    if (!keyEncoder_.BuildKeyMessage(virtualKey, down, &keyMessage_, &length)) return 0;
    if (!inputActive) return 0;
    if (!CanSend()) return 1;
    SendKeyMessage(length);
    return 1;
}

bool InputForwarder::IsLockEcho(int virtualKey) const {
    return (lockEcho_ & LockBit(virtualKey)) != 0;
}

void InputForwarder::KeyDown(int virtualKey) {
    if (IsLockEcho(virtualKey)) return;
    Sleep(timing_.keyDelayMs);
    SendKey(virtualKey, true);
}

void InputForwarder::KeyUp(int virtualKey) {
    if (IsLockEcho(virtualKey)) {
        // The synthesised toggle is complete: the next press of the key is the user's.
        lockEcho_ &= static_cast<uint8_t>(~LockBit(virtualKey));
        return;
    }
    Sleep(timing_.keyDelayMs);
    SendKey(virtualKey, false);
}

void InputForwarder::SysKeyDown(int virtualKey) {
    Sleep(timing_.sysKeyDelayMs);
    SendKey(virtualKey, true);
}

void InputForwarder::SysKeyUp(int virtualKey) {
    Sleep(timing_.sysKeyDelayMs);
    SendKey(virtualKey, false);
}

void InputForwarder::ReleaseAllKeys() {
    inputActive = 0;
    if (!session_.IsControlOpen()) return;
    int length = 0;
    // The target must not be left with a key held down, so the releases go out
    // even without the operation right.
    while (keyEncoder_.BuildReleaseMessage(&keyMessage_, &length)) {
        SendKeyMessage(length);
        Sleep(timing_.keySequencePaceMs);
    }
    keyEncoder_.ClearReport();
}

bool InputForwarder::SendSequenceKey(int virtualKey, bool down) {
    if (!session_.IsControlOpen()) return false;
    int length = 0;
    if (keyEncoder_.BuildKeyMessage(virtualKey, down, &keyMessage_, &length)) {
        SendKeyMessage(length);
    }
    Sleep(timing_.keySequencePaceMs);
    return true;
}

void InputForwarder::SendCtrlAltDel() {
    const struct {
        int key;
        bool down;
    } steps[] = {{vk::kControl, true},  {vk::kMenu, true},  {vk::kDelete, true},
                 {vk::kControl, false}, {vk::kMenu, false}, {vk::kDelete, false}};
    for (const auto& step : steps) {
        if (!SendSequenceKey(step.key, step.down)) return;
    }
}

void InputForwarder::SendPrintScreen() {
    if (SendSequenceKey(vk::kSnapshot, true)) SendSequenceKey(vk::kSnapshot, false);
}

void InputForwarder::SyncLockKeys(uint32_t differing, LocalKeyboard* keyboard) {
    for (const LockKey& k : kLockKeys) {
        if (!(differing & k.bit)) continue;
        // Only a toggle that really happened comes back as key events to swallow;
        // otherwise the user's own next press of the key would be lost.
        if (keyboard && keyboard->Toggle(k.bit)) lockEcho_ |= k.bit;
    }
}

void InputForwarder::ActivateKeyboard() {
    inputActive = 1;
    keyEncoder_.Reset();
}

int InputForwarder::SendMouse(uint32_t flags, int dx, int dy, int8_t wheel) {
    std::lock_guard lock(mouseLock_);
    int length = 0;
    if (!mouseEncoder_.BuildMouseMessage(flags, dx, dy, wheel, &mouseMessage_, &length)) return 0;
    if (!CanSend()) return 1;
    if (info_->encryptionFlags & SessionInfo::kEncryptMouse) {
        input::MouseMessageBytes sealed;
        input::SealMouseMessage(info_->sessionKey, mouseMessage_, &sealed);
        session_.Send(sealed.data(), length);
    } else {
        session_.Send(mouseMessage_.data(), length);
    }
    return 1;
}

uint8_t InputForwarder::mouseButtons() {
    std::lock_guard lock(mouseLock_);
    return mouseEncoder_.buttons();
}

}  // namespace vantelsor
