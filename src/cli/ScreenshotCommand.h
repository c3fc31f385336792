// vantelsorctl screenshot: receives the target's screen over the video channel,
// exactly as the desktop client does, and writes one picture as a PNG file.
#pragma once

#include "cli/CtlOptions.h"
#include "session/LoginSequence.h"
#include "session/Timing.h"

namespace vantelsor::ctl {

// Starts the stream on the logged-in session, waits up to the reply timeout for the
// N-th complete picture, stops the stream and writes the picture. Returns an exit code.
int Screenshot(const ScreenshotOptions& options, LoginSequence& login, const Timing& timing);

}  // namespace vantelsor::ctl
