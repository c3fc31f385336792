// vantelsorctl screenshot: receives the target's screen over the video channel,
// exactly as the desktop client does, and writes one picture as a PNG file.
#pragma once

#include "cli/CommandContext.h"
#include "cli/Invocation.h"

namespace vantelsor::ctl {

// Starts the stream on the logged-in session, waits up to the reply timeout for
// the N-th complete picture (--frames), stops the stream and writes the picture
// to FILE. A RunCommand of the command table; returns an exit code.
int RunScreenshot(const Invocation& c, const CommandContext& x);

}  // namespace vantelsor::ctl
