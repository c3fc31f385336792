// The runs of vantelsorctl's commands: each is the `run` of a command table
// entry (CommandTable.cpp), called on a logged-in session with its words
// already checked, and returns the exit code.
#pragma once

#include "cli/CommandContext.h"
#include "cli/Invocation.h"

namespace vantelsor::ctl {

// The console (ConsoleCommands.cpp). Login prints the user type and whether
// the operation right is held.
int RunLogin(const Invocation& c, const CommandContext& x);
int RunTakeControl(const Invocation& c, const CommandContext& x);
int RunReboot(const Invocation& c, const CommandContext& x);
int RunLockState(const Invocation& c, const CommandContext& x);

// Keyboard and mouse (InputCommands.cpp): keys ctrl-alt-del, keys
// print-screen, type TEXT, mouse home. Each needs the operation right; without
// it nothing is sent.
int RunKeys(const Invocation& c, const CommandContext& x);
int RunType(const Invocation& c, const CommandContext& x);
int RunMouse(const Invocation& c, const CommandContext& x);

// The screen (ScreenshotCommand.cpp): starts the stream as the desktop client
// does, waits up to the reply time-out for the N-th complete picture
// (--frames), stops the stream and writes the picture to FILE as PNG.
int RunScreenshot(const Invocation& c, const CommandContext& x);

// Administration (AccountCommands.cpp, DeviceCommands.cpp, LogCommand.cpp,
// FirmwareCommand.cpp).
int RunInfo(const Invocation& c, const CommandContext& x);
int RunUsers(const Invocation& c, const CommandContext& x);
int RunPasswd(const Invocation& c, const CommandContext& x);
int RunNetwork(const Invocation& c, const CommandContext& x);
int RunVideo(const Invocation& c, const CommandContext& x);
int RunSleep(const Invocation& c, const CommandContext& x);
int RunLog(const Invocation& c, const CommandContext& x);
int RunFirmware(const Invocation& c, const CommandContext& x);

}  // namespace vantelsor::ctl
