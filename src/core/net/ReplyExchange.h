// One request/reply exchange on a session's control connection: reset the
// reply event, send, wait up to the time-out. Every owner that asks the device
// something and waits for the answer goes through Exchange, so a failed wait
// means the same everywhere; what each feature then shows for it is the
// feature's own mapping.
//
// Runs on the caller's thread and blocks up to `timeoutMs`. Any thread may call
// it, one exchange at a time per session: the session has one reply event, so a
// second exchange running at once would take the first one's reply.
#pragma once

#include <cstdint>

namespace vantelsor {

class NetSession;
class ReplySlot;

enum class ExchangeResult {
    kReplied,     // the installed handler took a reply (of the expected type, when one is given)
    kTimeout,     // no reply in time
    kClosed,      // the control connection is closed: there is nothing to wait on
    kOtherReply,  // a reply of another type ended the wait (typed exchanges only)
};

ExchangeResult Exchange(NetSession& session, const uint8_t* request, int length,
                        uint32_t timeoutMs);

// The typed exchange: `slot` is where the installed handler keeps the replies it
// takes. It is cleared before sending, and the exchange is kReplied only when
// the reply that ended the wait is of type `expected`, so that a data-less reply
// (0xAE) or a stray one is never read as the answer.
ExchangeResult Exchange(NetSession& session, const uint8_t* request, int length, uint32_t timeoutMs,
                        ReplySlot& slot, uint8_t expected);

template <class Bytes>
ExchangeResult Exchange(NetSession& session, const Bytes& request, uint32_t timeoutMs) {
    return Exchange(session, request.data(), static_cast<int>(request.size()), timeoutMs);
}

template <class Bytes>
ExchangeResult Exchange(NetSession& session, const Bytes& request, uint32_t timeoutMs,
                        ReplySlot& slot, uint8_t expected) {
    return Exchange(session, request.data(), static_cast<int>(request.size()), timeoutMs, slot,
                    expected);
}

}  // namespace vantelsor
