// vantelsorctl's keyboard and mouse commands: keys ctrl-alt-del, keys
// print-screen, type TEXT, mouse home. Each run is a RunCommand of the command
// table and needs the operation right; without it nothing is sent.
#pragma once

#include <string>

#include "cli/CommandContext.h"
#include "cli/Invocation.h"

namespace vantelsor::ctl {

// The first character of `text` that cannot be typed on a US keyboard, as a
// message; empty when every character can. Only printable ASCII can.
std::string UntypableCharacter(const std::string& text);

int RunKeys(const Invocation& c, const CommandContext& x);
int RunType(const Invocation& c, const CommandContext& x);
int RunMouse(const Invocation& c, const CommandContext& x);

}  // namespace vantelsor::ctl
