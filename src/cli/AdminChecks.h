// The value checks of the administration commands, each a CheckValues of the
// command table: a value the dialogs would refuse gets the system's message,
// before the connection is made.
#pragma once

#include <string>

#include "cli/CtlOptions.h"
#include "cli/Invocation.h"

namespace vantelsor::ctl {

std::string CheckInfo(const CtlOptions& o, Invocation* c);
std::string CheckUsers(const CtlOptions& o, Invocation* c);
std::string CheckPasswd(const CtlOptions& o, Invocation* c);
std::string CheckNetwork(const CtlOptions& o, Invocation* c);
std::string CheckVideo(const CtlOptions& o, Invocation* c);
std::string CheckSleep(const CtlOptions& o, Invocation* c);
// Reads and checks the image file into c->firmware.
std::string CheckFirmware(const CtlOptions& o, Invocation* c);

}  // namespace vantelsor::ctl
