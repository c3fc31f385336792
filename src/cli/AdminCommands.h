// vantelsorctl's administration commands: info, users, passwd, network, video,
// sleep, log and firmware, over the same core objects as the desktop dialogs.
//
// Arguments are parsed and checked before the connection is made, so that a
// value the dialogs would refuse is reported with the system's message and
// exit code 1 before anything is sent.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/CtlOptions.h"
#include "session/Timing.h"

// The usage lines of the administration commands, a literal to join the
// program's usage text.
#define VANTELSOR_ADMIN_USAGE                                                  \
    "  info           print the UID, device name and firmware version\n"       \
    "  info set-name NAME\n"                                                   \
    "  users list | users add NAME PASSWORD | users delete NAME\n"             \
    "  users edit NAME [--new-name N] [--new-password P] [--old-password O]\n" \
    "  passwd --old O --new N       change the own account's password\n"       \
    "  network get | network set [--ip A] [--mask M] [--gateway G]\n"          \
    "  video get | video set [--fps F] [--bitrate B]\n"                        \
    "  sleep get | sleep set MINUTES   (0: never sleeps)\n"                    \
    "  log [--format text|csv|json] | log clear [--yes]\n"                     \
    "  firmware FILE  upgrade the device's firmware\n"

namespace vantelsor {
class ConsoleLink;
class LoginSequence;
}  // namespace vantelsor

namespace vantelsor::ctl {

struct AdminCommand {
    std::string command;  // "info", "users", ...
    std::string action;   // "list", "set", "get", "clear", "set-name", ... ("" for plain forms)
    std::vector<std::string> values;  // positional values after the action
    // Options by name without the dashes ("new-name", "fps", ...); a value may be empty.
    std::vector<std::pair<std::string, std::string>> options;
    bool yes = false;               // log clear --yes
    std::string format = "text";    // log --format
    std::vector<uint8_t> firmware;  // the checked image of "firmware FILE"

    std::optional<std::string> Option(const std::string& name) const;
};

bool IsAdminCommand(const std::string& command);
// Checks the arguments of an administration command. kExitOk when they are
// good; otherwise the message is printed and the exit code returned.
int PrepareAdminCommand(const CtlOptions& options, AdminCommand* out);
// Runs it on a logged-in session with the console's handler installed.
int RunAdminCommand(const AdminCommand& command, LoginSequence& login, ConsoleLink& console,
                    Timing timing);

}  // namespace vantelsor::ctl
