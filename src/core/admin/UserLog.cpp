#include "admin/UserLog.h"

#include <algorithm>
#include <cstring>

#include "net/NetSession.h"
#include "net/ReplyExchange.h"
#include "protocol/LogMessages.h"
#include "protocol/MessageTypes.h"

namespace vantelsor {

int KLogDlgHandler::OnMessage(const uint8_t* data, int length) {
    return owner_->OnLogMessage(data, length);
}

UserLog::UserLog(NetSession& session, const Timing& timing)
    : session_(session), timing_(timing), logBuffer_(userlog::kBufferSize) {}

int UserLog::OnLogMessage(const uint8_t* data, int length) {
    if (length < 2) return 0;
    std::lock_guard lock(lock_);
    switch (data[0]) {
        case msg::kLogRead:
            if (length < userlog::kHeaderSize) return 0;
            // Bytes beyond the buffer belong to a log too long to be listed: the
            // header still tells its length, and nothing past the buffer is stored.
            std::memcpy(logBuffer_.data(), data,
                        static_cast<size_t>(std::min<int>(length, userlog::kBufferSize)));
            expectedBytes_ = static_cast<uint32_t>(std::min<uint64_t>(
                uint64_t{userlog::kHeaderSize} + userlog::DataLength(data), UINT32_MAX));
            receivedBytes_ = static_cast<uint32_t>(length);
            logDone_.Set();
            break;
        case msg::kLogClear:
        case msg::kEmptyReply:
            clearReply_.Keep(data, length);
            break;
        default:
            return 0;
    }
    return 1;
}

AdminOutcome UserLog::Query(std::vector<login::LoginRecord>* records) {
    records->clear();
    {
        std::lock_guard lock(lock_);
        receivedBytes_ = expectedBytes_ = 0;
    }
    logDone_.Reset();
    const auto request = userlog::BuildReadRequest();
    session_.Send(request.data(), request.size());
    const uint32_t wait = logDone_.Wait(timing_.logTimeoutMs);
    std::lock_guard lock(lock_);
    const uint32_t received = receivedBytes_, expected = expectedBytes_;
    receivedBytes_ = expectedBytes_ = 0;
    if (wait != kWaitSignalled) return AdminOutcome::kTimeout;
    if ((expected - userlog::kHeaderSize) / userlog::kRecordSize > uint32_t{userlog::kMaxRecords}) {
        return AdminOutcome::kLogTooLong;
    }
    const int stored = static_cast<int>(std::min<uint32_t>(received, userlog::kBufferSize));
    switch (userlog::ParseLogReply(logBuffer_.data(), stored, records)) {
        case userlog::LogParse::kOk:
            return AdminOutcome::kOk;
        case userlog::LogParse::kTooManyRecords:
            return AdminOutcome::kLogTooLong;
        case userlog::LogParse::kIncomplete:
            break;
    }
    return AdminOutcome::kNoAnswer;
}

AdminOutcome UserLog::Clear() {
    const auto request = userlog::BuildClearRequest();
    const AdminOutcome wait =
        OutcomeOf(Exchange(session_, request, timing_.replyTimeoutMs, clearReply_, msg::kLogClear));
    if (wait != AdminOutcome::kOk) return wait;
    switch (clearReply_.Copy().at(1)) {
        case userlog::kStatusCleared:
            return AdminOutcome::kOk;
        case userlog::kStatusClearFailed:
            return AdminOutcome::kLogClearFailed;
        default:
            return AdminOutcome::kUnexpectedStatus;
    }
}

}  // namespace vantelsor
