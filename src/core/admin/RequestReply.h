// The request/reply convention of every administration exchange: reset the
// reply event, send, wait. Runs on the caller's (user-interface) thread.
#pragma once

#include <cstdint>

#include "admin/AdminOutcome.h"
#include "net/NetSession.h"

namespace vantelsor {

// kOk when the installed handler took a reply within `timeoutMs`.
inline AdminOutcome RequestReply(NetSession* session, const uint8_t* request, int length,
                                 uint32_t timeoutMs) {
    session->ResetReply();
    session->Send(request, length);
    switch (session->WaitReply(timeoutMs)) {
        case kWaitSignalled:
            return AdminOutcome::kOk;
        case kWaitTimeout:
            return AdminOutcome::kTimeout;
        default:
            return AdminOutcome::kNoAnswer;
    }
}

}  // namespace vantelsor
