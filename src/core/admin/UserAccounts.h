// The device's accounts as an administrator manages them: the list, add,
// modify and delete, with the own-account rules. The user dialog is a window
// over it; vantelsorctl's users commands use it directly.
//
// Construction installs its handler in the session, destruction puts the
// previous one back. Operations run one at a time, on any one thread at a time
// (a window runs them on a helper thread while its own waits), and block up to
// the reply time-out; the handler keeps replies on the stream receive thread
// before the reply event is set, and they are read after the wait. Modify of
// the own account renames the session's user: the session record is read by
// no other thread meanwhile.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "admin/AdminOutcome.h"
#include "admin/KSetUserDlgHandler.h"
#include "net/ReplySlot.h"
#include "net/ScopedHandler.h"
#include "protocol/UserMessages.h"
#include "session/Timing.h"

namespace vantelsor {

class NetSession;
struct SessionInfo;

// The outcome of an account modification (0xA7, modify) by its reply status; the
// administrator's edit and the ordinary user's own password change read it alike.
AdminOutcome ModifyOutcome(uint8_t status);

class UserAccounts {
  public:
    UserAccounts(NetSession& session, SessionInfo* info, const Timing& timing = {});
    UserAccounts(const UserAccounts&) = delete;
    UserAccounts& operator=(const UserAccounts&) = delete;

    // Reads the list into records(); on any outcome but kOk the list is unchanged.
    AdminOutcome ReadList();
    const std::vector<users::UserRecord>& records() const { return records_; }

    // The logged-in account: same name length and bytes as the session's user.
    bool IsOwnAccount(const users::UserRecord& record) const;

    // New accounts are ordinary users; on success the record joins the list.
    AdminOutcome Add(const std::string& name, const std::string& password);
    // Modifies records()[index]: the old password is sent only for the caller's
    // own account (empty otherwise). On success the record, and for the own
    // account the session's user name, take the new name.
    AdminOutcome Modify(size_t index, const std::string& oldPassword, const std::string& newName,
                        const std::string& newPassword);
    // Refuses the caller's own account without sending anything.
    AdminOutcome Delete(size_t index);

    // From KSetUserDlgHandler, on the stream receive thread.
    int OnUserMessage(const uint8_t* data, int length);

  private:
    // Sends a write; *status is the reply's status.
    AdminOutcome Write(const users::UserWrite& write, uint8_t* status);
    void AdoptName(users::UserRecord* record, const users::Field& name);

    NetSession& session_;
    SessionInfo* info_;
    Timing timing_;
    KSetUserDlgHandler handler_{this};
    std::vector<users::UserRecord> records_;

    ReplySlot reply_{users::kListReplySize};  // the last 0xA8, 0xA7 or 0xAE reply
    // Last: installed once everything its messages reach exists, removed first.
    ScopedHandler installed_{session_, &handler_};
};

}  // namespace vantelsor
