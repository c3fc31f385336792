// The request/reply convention of every administration exchange: reset the
// reply event, send, wait. Runs on the caller's (user-interface) thread.
#pragma once

#include <cstdint>
#include <mutex>

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

// RequestReply for an owner whose handler notes, under `lock`, the type of the
// reply it took in `lastType`: kOk only when the reply that ended the wait is of
// type `expected`, so a data-less reply (0xAE) is never read as data.
inline AdminOutcome RequestTypedReply(NetSession* session, const uint8_t* request, int length,
                                      uint32_t timeoutMs, std::mutex& lock, uint8_t& lastType,
                                      uint8_t expected) {
    {
        std::lock_guard guard(lock);
        lastType = 0;
    }
    const AdminOutcome wait = RequestReply(session, request, length, timeoutMs);
    if (wait != AdminOutcome::kOk) return wait;
    std::lock_guard guard(lock);
    return lastType == expected ? AdminOutcome::kOk : AdminOutcome::kNoAnswer;
}

}  // namespace vantelsor
