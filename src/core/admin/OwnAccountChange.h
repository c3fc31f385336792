// An ordinary user's change of their own account (name and password), as the
// Users command runs it for user type 2. The reply comes through the console's
// handler, which must be installed (ConsoleLink::Open).
//
// Runs on any one thread at a time and blocks up to the reply time-out; it
// renames the session's user, which no other thread reads meanwhile.
#pragma once

#include <string>

#include "admin/AdminOutcome.h"

namespace vantelsor {

class ConsoleLink;
struct SessionInfo;

// Sends a modify of the session's own account: fields session name, old
// password, new name, new password. On success the session's user name
// becomes the new name.
AdminOutcome ChangeOwnAccount(ConsoleLink& console, SessionInfo* info,
                              const std::string& oldPassword, const std::string& newName,
                              const std::string& newPassword);

}  // namespace vantelsor
