// The console's keyboard and mouse while it is open: the send rules
// (InputForwarder), the pointer thread (PointerMover) and the lock-key poll
// (LockKeyPoll), started and stopped together, and the focus rules that tie
// them to ConsoleLink's lock-state check. The console view owns one; so does
// vantelsorctl for its input commands.
//
// Every operation belongs to the user-interface thread; the members' own
// headers say what their threads touch.
#pragma once

#include <cstdint>

#include "input/InputForwarder.h"
#include "input/LockKeyPoll.h"
#include "input/PointerMover.h"

namespace vantelsor {

class ConsoleLink;
class LocalKeyboard;

class ConsoleInput {
  public:
    // `link` and `keyboard` may be null; everything given must outlive this object.
    ConsoleInput(NetSession& session, SessionInfo* info, ConsoleLink* link, LocalKeyboard* keyboard,
                 const InputTiming& timing = {});
    ~ConsoleInput();  // closes
    ConsoleInput(const ConsoleInput&) = delete;
    ConsoleInput& operator=(const ConsoleInput&) = delete;

    // Starts the lock-key poll and the pointer thread, homes the target's
    // pointer and starts following the operator's.
    void Open();
    // Stops both threads (the poll first).
    void Close();

    void FocusGained();
    // Releases every held key, stops following the pointer and disarms the
    // lock-state check.
    void FocusLost();
    // Also on loss of the operation right: the pointer is no longer over the
    // picture, keyboard input stops and every held key is released.
    void ReleaseAllKeys();
    // The device's lock LEDs differ from the local ones in `differing`.
    void LockKeysDiffer(uint32_t differing);

    InputForwarder& forwarder() { return forwarder_; }
    PointerMover& pointer() { return pointer_; }
    const LockKeyPoll& poll() const { return poll_; }

  private:
    ConsoleLink* link_;
    LocalKeyboard* keyboard_;
    InputForwarder forwarder_;
    PointerMover pointer_;
    LockKeyPoll poll_;
    bool open_ = false;
};

}  // namespace vantelsor
