// The runs of vantelsorctl's administration commands, one per command family,
// each on a logged-in session with the console's handler installed, its words
// and values already checked and, where the table asks, the user's rights;
// each a RunCommand of the command table.
#pragma once

#include "cli/CommandContext.h"
#include "cli/Invocation.h"

namespace vantelsor::ctl {

int RunInfo(const Invocation& c, const CommandContext& x);
int RunUsers(const Invocation& c, const CommandContext& x);
int RunPasswd(const Invocation& c, const CommandContext& x);
int RunNetwork(const Invocation& c, const CommandContext& x);
int RunVideo(const Invocation& c, const CommandContext& x);
int RunSleep(const Invocation& c, const CommandContext& x);
int RunLog(const Invocation& c, const CommandContext& x);
int RunFirmware(const Invocation& c, const CommandContext& x);

}  // namespace vantelsor::ctl
