#include "net/ReplyExchange.h"

#include "net/NetSession.h"
#include "net/ReplySlot.h"

namespace vantelsor {

ExchangeResult Exchange(NetSession& session, const uint8_t* request, int length,
                        uint32_t timeoutMs) {
    session.ResetReply();
    session.Send(request, length);
    switch (session.WaitReply(timeoutMs)) {
        case kWaitSignalled:
            return ExchangeResult::kReplied;
        case kWaitTimeout:
            return ExchangeResult::kTimeout;
        default:
            return ExchangeResult::kClosed;
    }
}

ExchangeResult Exchange(NetSession& session, const uint8_t* request, int length, uint32_t timeoutMs,
                        ReplySlot& slot, uint8_t expected) {
    slot.Clear();
    const ExchangeResult result = Exchange(session, request, length, timeoutMs);
    if (result != ExchangeResult::kReplied) return result;
    return slot.type() == expected ? ExchangeResult::kReplied : ExchangeResult::kOtherReply;
}

}  // namespace vantelsor
