// The device's sleep time in minutes (0: never sleeps): read and write of
// 0xB6. The sleep dialog is a window over it; vantelsorctl's sleep commands use it.
//
// Construction installs its handler, destruction puts the previous one back.
// Operations run one at a time, on any one thread at a time, and block up to
// the reply time-out.
#pragma once

#include <array>
#include <cstdint>
#include <mutex>

#include "admin/AdminOutcome.h"
#include "admin/KSetSleepDlgHandler.h"
#include "net/ReplySlot.h"
#include "net/ScopedHandler.h"
#include "protocol/SleepMessages.h"
#include "session/Timing.h"

namespace vantelsor {

class NetSession;

class SleepTime {
  public:
    explicit SleepTime(NetSession& session, const Timing& timing = {});
    SleepTime(const SleepTime&) = delete;
    SleepTime& operator=(const SleepTime&) = delete;

    // kOk with the device's minutes; 0 on any other outcome.
    AdminOutcome Read(int* minutes);
    // kSleepFailed when the reply does not echo `minutes` (0..255, checked by the caller).
    AdminOutcome Write(int minutes);

    // From KSetSleepDlgHandler, on the stream receive thread.
    int OnSleepMessage(const uint8_t* data, int length);

  private:
    // The reply's minutes, or -1 when the reply was too short to carry them.
    AdminOutcome Ask(const uint8_t* request, int length, int* minutes);

    NetSession& session_;
    Timing timing_;
    KSetSleepDlgHandler handler_{this};

    ReplySlot reply_{sleeptime::kMessageSize};  // the last 0xB6 reply
    // Last: installed once everything its messages reach exists, removed first.
    ScopedHandler installed_{session_, &handler_};
};

}  // namespace vantelsor
