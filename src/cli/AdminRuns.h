// The runs of vantelsorctl's administration commands, one per command family,
// each on a logged-in session with its arguments already checked.
#pragma once

#include "cli/AdminCommands.h"
#include "session/Timing.h"

namespace vantelsor {
class ConsoleLink;
class NetSession;
struct SessionInfo;
}  // namespace vantelsor

namespace vantelsor::ctl {

struct AdminContext {
    NetSession& session;
    SessionInfo* info;
    ConsoleLink* console;  // installed: its handler takes the identity and own-account replies
    Timing timing;
};

int RunInfo(const AdminCommand& c, const AdminContext& x);
int RunUsers(const AdminCommand& c, const AdminContext& x);
int RunPasswd(const AdminCommand& c, const AdminContext& x);
int RunNetwork(const AdminCommand& c, const AdminContext& x);
int RunVideo(const AdminCommand& c, const AdminContext& x);
int RunSleep(const AdminCommand& c, const AdminContext& x);
int RunLog(const AdminCommand& c, const AdminContext& x);
int RunFirmware(const AdminCommand& c, const AdminContext& x);

}  // namespace vantelsor::ctl
