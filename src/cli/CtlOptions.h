// The command line of vantelsorctl: the connection's options, then one command
// of the command table (CommandTable.h) with its own words.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cli/Invocation.h"

namespace vantelsor::ctl {

struct CtlCommand;

// Exit codes, for scripts.
enum ExitCode : int {
    kExitOk = 0,
    kExitFailed = 1,  // refused or failed; the device's message on stderr
    kExitUsage = 2,
    kExitTimeout = 3,  // no reply in time
    kExitConnectFailed = 4,
    kExitVersionMismatch = 5,
};

struct CtlOptions {
    std::string device;          // the --device text as given
    uint32_t deviceAddress = 0;  // host order, as the login check read it
    std::string user;
    std::string password;
    int32_t encryptionFlags = 0;
    uint32_t replyTimeoutMs = 20000;
    std::vector<std::string> arguments;   // the words after the command, options included
    const CtlCommand* command = nullptr;  // its entry in the command table
    Invocation invocation;                // the command's words, checked against its forms
};

// Parses argv: the connection's options, the command and its words (checked
// against the command's forms), then the login input, checked as the login
// dialog checks it. On failure returns false with a message for stderr in
// `error`; the caller shows it with the usage and exits with kExitUsage.
bool ParseOptions(int argc, const char* const* argv, CtlOptions* out, std::string* error);

// The usage text, from the command table.
const std::string& Usage();

}  // namespace vantelsor::ctl
