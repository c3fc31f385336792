#include "admin/OwnAccountChange.h"

#include "admin/RequestReply.h"
#include "admin/UserAccounts.h"
#include "protocol/MessageTypes.h"
#include "protocol/UserMessages.h"
#include "session/ConsoleLink.h"
#include "session/SessionInfo.h"

namespace vantelsor {

AdminOutcome ChangeOwnAccount(NetSession* session, SessionInfo* info, const ConsoleLink& console,
                              const std::string& oldPassword, const std::string& newName,
                              const std::string& newPassword, const Timing& timing) {
    users::UserWrite w;
    w.mode = users::kModify;
    w.fields[0].length = info->userNameLength;
    w.fields[0].bytes = info->userName;
    w.fields[1] = users::PackUserField(oldPassword);
    w.fields[2] = users::PackUserField(newName);
    w.fields[3] = users::PackUserField(newPassword);
    const auto request = users::BuildUserWrite(info->sessionKey, w);
    const AdminOutcome wait =
        RequestReply(session, request.data(), request.size(), timing.replyTimeoutMs);
    if (wait != AdminOutcome::kOk) return wait;
    // The console's area also takes 0xA9 and 0xAE replies: only a 0xA7 one answers this.
    if (console.replyType() != msg::kUserWrite) return AdminOutcome::kNoAnswer;
    const AdminOutcome outcome = ModifyOutcome(console.replyStatus());
    if (outcome == AdminOutcome::kOk) {
        info->userNameLength = w.fields[2].length;
        info->userName = w.fields[2].bytes;
    }
    return outcome;
}

}  // namespace vantelsor
