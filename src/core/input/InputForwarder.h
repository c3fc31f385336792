// The send rules of the console's keyboard and mouse: whether an event may go
// to the device, its enciphering, and the pacing of the key sequences (release
// of every held key, Ctrl+Alt+Del, Print Screen). Owns the two encoders and
// the message buffers.
//
// Threads: the keyboard operations belong to the user-interface thread.
// SendMouse may be called from any thread (the pointer thread and the homing
// on the user-interface thread both send); the mouse encoder and its buffer are
// used under a lock, so their messages never mix. Every send goes through
// NetSession::Send, which serialises it with the other writers.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

#include "input/InputTiming.h"
#include "input/KeyboardEncoder.h"
#include "input/MouseEncoder.h"

namespace vantelsor {

class NetSession;
class LocalKeyboard;
struct SessionInfo;

class InputForwarder {
  public:
    // `session` and `info` must outlive this object.
    InputForwarder(NetSession& session, const SessionInfo* info, const InputTiming& timing = {});

    // Builds the key message (the encoder tracks the key whatever happens next)
    // and sends it when keyboard input is active, the connection open and the
    // operation right held. 0 for a key outside the table or while input is
    // inactive, else 1 (also when it was dropped for want of the right).
    int SendKey(int virtualKey, bool down);
    // Key events of the view: a short pause, then SendKey. A press or release of
    // a lock key that the lock synchronisation is toggling locally is swallowed.
    void KeyDown(int virtualKey);
    void KeyUp(int virtualKey);
    void SysKeyDown(int virtualKey);
    void SysKeyUp(int virtualKey);

    // Stops keyboard input and sends the release of every held key, paced,
    // whatever the operation right; then clears the report.
    void ReleaseAllKeys();
    // The Control menu's fixed sequences: sent whatever the operation right and
    // input state, each message followed by the pacing pause.
    void SendCtrlAltDel();
    void SendPrintScreen();
    // Toggles the local lock keys in `differing` (bit 0 NumLock, 1 CapsLock, 2
    // ScrollLock), remembering to swallow the key events the toggles cause.
    void SyncLockKeys(uint32_t differing, LocalKeyboard* keyboard);
    // At a left-button press in the view: keyboard input becomes active and the
    // encoder starts afresh.
    void ActivateKeyboard();

    // Any thread. 0 when the wheel is out of range (nothing built), else 1
    // (also when dropped for want of the right or of a connection).
    int SendMouse(uint32_t flags, int dx, int dy, int8_t wheel);

    // Pauses the calling thread for `ms` (through the timing's hook if set).
    void Sleep(uint32_t ms) const;
    const InputTiming& timing() const { return timing_; }

    int HeldCount() const { return keyEncoder_.HeldCount(); }
    const input::HidReport& report() const { return keyEncoder_.report(); }
    uint8_t lockEcho() const { return lockEcho_; }
    uint8_t mouseButtons();

    // Keyboard events may be sent (set on focus gain and left-button press).
    std::atomic<int> inputActive{0};

  private:
    // Builds, enciphers by the keyboard rule and sends one key event; for the
    // fixed sequences. False when the connection is closed.
    bool SendSequenceKey(int virtualKey, bool down);
    void SendKeyMessage(int length);
    bool IsLockEcho(int virtualKey) const;
    bool CanSend() const;

    NetSession& session_;
    const SessionInfo* info_;
    InputTiming timing_;

    KeyboardEncoder keyEncoder_;
    input::KeyMessageBytes keyMessage_{};
    uint8_t lockEcho_ = 0;  // bits 1 NumLock, 2 CapsLock, 4 ScrollLock being toggled locally

    std::mutex mouseLock_;  // mouseEncoder_ and mouseMessage_
    MouseEncoder mouseEncoder_;
    input::MouseMessageBytes mouseMessage_{};
};

}  // namespace vantelsor
