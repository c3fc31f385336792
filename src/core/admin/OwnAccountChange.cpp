#include "admin/OwnAccountChange.h"

#include "admin/UserAccounts.h"
#include "protocol/MessageTypes.h"
#include "protocol/UserMessages.h"
#include "session/ConsoleLink.h"
#include "session/SessionInfo.h"

namespace vantelsor {

AdminOutcome ChangeOwnAccount(ConsoleLink& console, SessionInfo* info,
                              const std::string& oldPassword, const std::string& newName,
                              const std::string& newPassword) {
    users::UserWrite w;
    w.mode = users::kModify;
    w.fields[0].length = info->userNameLength;
    w.fields[0].bytes = info->userName;
    w.fields[1] = users::PackUserField(oldPassword);
    w.fields[2] = users::PackUserField(newName);
    w.fields[3] = users::PackUserField(newPassword);
    const auto request = users::BuildUserWrite(info->sessionKey, w);
    // The console's area also takes 0xA9 and 0xAE replies: only a 0xA7 one answers this.
    const AdminOutcome wait = OutcomeOf(console.Ask(request, msg::kUserWrite));
    if (wait != AdminOutcome::kOk) return wait;
    const AdminOutcome outcome = ModifyOutcome(console.replyStatus());
    if (outcome == AdminOutcome::kOk) {
        info->userNameLength = w.fields[2].length;
        info->userName = w.fields[2].bytes;
    }
    return outcome;
}

}  // namespace vantelsor
