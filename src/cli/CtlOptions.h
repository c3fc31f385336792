// The command line of vantelsorctl.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vantelsor::ctl {

// Exit codes, for scripts.
enum ExitCode : int {
    kExitOk = 0,
    kExitFailed = 1,  // refused or failed; the device's message on stderr
    kExitUsage = 2,
    kExitTimeout = 3,  // no reply in time
    kExitConnectFailed = 4,
    kExitVersionMismatch = 5,
};

struct ScreenshotOptions {
    std::string file;
    int frames = 1;  // write the N-th complete picture
};

struct CtlOptions {
    uint32_t deviceAddress = 0;  // host order
    std::string user;
    std::string password;
    int32_t encryptionFlags = 0;
    uint32_t replyTimeoutMs = 20000;
    std::string command;
    std::vector<std::string> arguments;  // after the command, options included
    ScreenshotOptions screenshot;
};

// Parses argv; on failure returns false with a message for stderr in `error`.
bool ParseOptions(int argc, const char* const* argv, CtlOptions* out, std::string* error);

const char* Usage();

}  // namespace vantelsor::ctl
