// How an administration exchange ended, and the message each outcome shows.
// The desktop dialogs and vantelsorctl map outcomes to texts through
// OutcomeMessage only, so both say exactly the same thing.
#pragma once

#include "net/ReplyExchange.h"

namespace vantelsor {

enum class AdminOutcome {
    kOk,
    kTimeout,            // no reply in time: "通讯超时！"
    kNoAnswer,           // the wait failed (connection closed) or a data-less 0xAE reply
    kUnexpectedStatus,   // a status the feature gives no message for
    kNameExists,         // account add 0xFF
    kWriteFailed,        // account write 0xFE
    kOldPasswordWrong,   // account modify 0xFC
    kDeleteFailed,       // account delete 0xFF
    kCannotDeleteOwn,    // deleting the logged-in account: nothing sent
    kListUnreadable,     // a list record with a name length above 50
    kVideoFailed,        // 0xFFFF in a video reply
    kSleepFailed,        // the sleep reply does not echo the value sent
    kIdentityRefused,    // an identity reply with a status other than 0
    kLogClearFailed,     // 0xAC answered 0xFF
    kLogTooLong,         // more than 1000 records: not shown
    kFirmwareNoFile,     // no file chosen
    kFirmwareFileError,  // cannot read it, wrong mark, wrong size field, too large
    kFirmwareFailed,     // a chunk refused or acknowledged with another index
};

// How a failed or successful wait reads for an administration command: a reply
// of another type (0xAE, say) or a closed connection is kNoAnswer.
AdminOutcome OutcomeOf(ExchangeResult result);

// The system's text for an outcome, or null when nothing is shown.
const char* OutcomeMessage(AdminOutcome outcome);

}  // namespace vantelsor
