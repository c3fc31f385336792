#include "input/ConsoleInput.h"

#include "session/ConsoleLink.h"

namespace vantelsor {

ConsoleInput::ConsoleInput(NetSession& session, SessionInfo* info, ConsoleLink* link,
                           LocalKeyboard* keyboard, const InputTiming& timing)
    : link_(link),
      keyboard_(keyboard),
      forwarder_(session, info, timing),
      pointer_(&forwarder_),
      poll_(session, timing.lockPollPeriodMs) {}

ConsoleInput::~ConsoleInput() {
    Close();
}

void ConsoleInput::Open() {
    if (open_) return;
    open_ = true;
    poll_.Start();
    pointer_.Start();
    pointer_.HomePointer(PointerMover::kStartHomeWidth, PointerMover::kStartHomeHeight);
    pointer_.sentX = 0;
    pointer_.sentY = 0;
    pointer_.pointerFollow = 1;
}

void ConsoleInput::Close() {
    if (!open_) return;
    poll_.Stop();
    pointer_.Stop();
    open_ = false;
}

void ConsoleInput::FocusGained() {
    forwarder_.inputActive = 1;
    pointer_.pointerFollow = 1;
    if (link_) link_->ArmLockSync(true);
}

void ConsoleInput::FocusLost() {
    ReleaseAllKeys();
    pointer_.pointerFollow = 0;
    if (link_) link_->ArmLockSync(false);
}

void ConsoleInput::ReleaseAllKeys() {
    pointer_.pointerInside = 0;
    forwarder_.ReleaseAllKeys();
}

void ConsoleInput::LockKeysDiffer(uint32_t differing) {
    forwarder_.SyncLockKeys(differing, keyboard_);
}

}  // namespace vantelsor
