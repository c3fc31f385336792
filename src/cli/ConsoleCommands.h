// vantelsorctl's console commands: login, take-control, reboot and lock-state,
// each a RunCommand of the command table.
#pragma once

#include "cli/CommandContext.h"
#include "cli/Invocation.h"

namespace vantelsor::ctl {

// Prints the user type and whether the operation right is held.
int RunLogin(const Invocation& c, const CommandContext& x);
int RunTakeControl(const Invocation& c, const CommandContext& x);
int RunReboot(const Invocation& c, const CommandContext& x);
int RunLockState(const Invocation& c, const CommandContext& x);

}  // namespace vantelsor::ctl
