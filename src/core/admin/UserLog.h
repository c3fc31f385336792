// The device's user log: the whole log read with 0xAB, and its clearing with
// 0xAC. The log dialog is a window over it; vantelsorctl's log commands use it.
//
// The log reply says how long it is, and the control connection's framing
// delivers it whole once its header is in (see MessageFraming.h), so the
// handler never has to recognise a continuation: whatever else arrives during
// a transfer stays a message of its own and is never appended.
//
// Construction installs the handler, destruction puts the previous one back.
// Query and Clear run on the caller's thread; Query waits on its own event up
// to the log time-out (40 s), Clear on the session's reply event.
#pragma once

#include <array>
#include <cstdint>
#include <mutex>
#include <vector>

#include "admin/AdminOutcome.h"
#include "admin/KLogDlgHandler.h"
#include "net/ManualResetEvent.h"
#include "net/ReplySlot.h"
#include "net/ScopedHandler.h"
#include "protocol/LoginMessages.h"
#include "session/Timing.h"

namespace vantelsor {

class NetSession;

class UserLog {
  public:
    explicit UserLog(NetSession& session, const Timing& timing = {});
    UserLog(const UserLog&) = delete;
    UserLog& operator=(const UserLog&) = delete;

    // kOk with the records in device order; kLogTooLong for more than 1000
    // (nothing listed); kTimeout when the reply is not complete in time.
    AdminOutcome Query(std::vector<login::LoginRecord>* records);
    // kOk when cleared, kLogClearFailed for 0xFF, kUnexpectedStatus otherwise.
    AdminOutcome Clear();

    // From KLogDlgHandler, on the stream receive thread.
    int OnLogMessage(const uint8_t* data, int length);

  private:
    NetSession& session_;
    Timing timing_;
    KLogDlgHandler handler_{this};
    ManualResetEvent logDone_;

    ReplySlot clearReply_{2};  // the last 0xAC or 0xAE reply

    std::mutex lock_;                 // everything below
    std::vector<uint8_t> logBuffer_;  // the header and at most 1000 records
    uint32_t expectedBytes_ = 0;      // 6 + the reply's data length
    uint32_t receivedBytes_ = 0;      // the reply's length as delivered; 0: none yet
    // Last: installed once everything its messages reach exists, removed first.
    ScopedHandler installed_{session_, &handler_};
};

}  // namespace vantelsor
