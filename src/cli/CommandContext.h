// What a command of vantelsorctl runs on: the logged-in session and, for the
// commands that ask for it, the console's handler installed on it.
#pragma once

#include "session/Timing.h"

namespace vantelsor {
class ConsoleLink;
class NetSession;
struct SessionInfo;
}  // namespace vantelsor

namespace vantelsor::ctl {

struct CommandContext {
    NetSession& session;
    SessionInfo* info;
    ConsoleLink* console;  // installed and open, or null for commands that run without it
    Timing timing;
};

}  // namespace vantelsor::ctl
