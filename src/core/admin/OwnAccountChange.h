// An ordinary user's change of their own account (name and password), as the
// Users command runs it for user type 2. The reply comes through the console's
// handler, which must be installed (ConsoleLink::Open).
//
// Runs on the caller's thread and blocks up to the reply time-out.
#pragma once

#include <string>

#include "admin/AdminOutcome.h"
#include "session/Timing.h"

namespace vantelsor {

class ConsoleLink;
class NetSession;
struct SessionInfo;

// Sends a modify of the session's own account: fields session name, old
// password, new name, new password. On success the session's user name
// becomes the new name.
AdminOutcome ChangeOwnAccount(NetSession* session, SessionInfo* info, const ConsoleLink& console,
                              const std::string& oldPassword, const std::string& newName,
                              const std::string& newPassword, const Timing& timing = {});

}  // namespace vantelsor
