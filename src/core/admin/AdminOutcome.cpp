#include "admin/AdminOutcome.h"

#include "res/Strings.h"

namespace vantelsor {

AdminOutcome OutcomeOf(ExchangeResult result) {
    if (result == ExchangeResult::kReplied) return AdminOutcome::kOk;
    if (result == ExchangeResult::kTimeout) return AdminOutcome::kTimeout;
    return AdminOutcome::kNoAnswer;
}

const char* OutcomeMessage(AdminOutcome outcome) {
    switch (outcome) {
        case AdminOutcome::kTimeout:
            return res::kCommTimeout;
        case AdminOutcome::kNameExists:
            return res::kUserNameExists;
        case AdminOutcome::kWriteFailed:
            return res::kUserWriteFailed;
        case AdminOutcome::kOldPasswordWrong:
            return res::kOldPasswordWrong;
        case AdminOutcome::kDeleteFailed:
            return res::kDeleteUserFailed;
        case AdminOutcome::kCannotDeleteOwn:
            return res::kCannotDeleteLoggedInUser;
        case AdminOutcome::kVideoFailed:
            return res::kVideoSettingsFailed;
        case AdminOutcome::kSleepFailed:
            return res::kSleepSetFailed;
        case AdminOutcome::kLogClearFailed:
            return res::kClearLogFailed;
        case AdminOutcome::kFirmwareNoFile:
            return res::kFirmwareNoFile;
        case AdminOutcome::kFirmwareFileError:
            return res::kFirmwareFileError;
        case AdminOutcome::kFirmwareFailed:
            return res::kFirmwareFailed;
        case AdminOutcome::kOk:
        case AdminOutcome::kNoAnswer:
        case AdminOutcome::kUnexpectedStatus:
        case AdminOutcome::kListUnreadable:
        case AdminOutcome::kIdentityRefused:
        case AdminOutcome::kLogTooLong:
            return nullptr;
    }
    return nullptr;
}

}  // namespace vantelsor
