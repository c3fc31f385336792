#include "cli/CommandTable.h"

#include "cli/AdminChecks.h"
#include "cli/CommandRuns.h"
#include "cli/CommandWords.h"
#include "cli/InputCommands.h"

namespace vantelsor::ctl {

// In the order of the usage text. Usage lines are aligned by hand.
// clang-format off
const std::vector<CtlCommand>& Commands() {
    static const std::vector<CtlCommand> commands = {
        {"login", {{""}},
         "  login          log in, print the user type and the operation right, log out\n",
         ParsePlain, nullptr, RunLogin, 0},
        {"take-control", {{""}},
         "  take-control   take the operation right from whoever holds it\n",
         ParsePlain, nullptr, RunTakeControl, kOpensConsole},
        {"reboot", {{""}},
         "  reboot         reboot the device\n",
         ParsePlain, nullptr, RunReboot, kOpensConsole},
        {"lock-state", {{""}},
         "  lock-state     print the target's NumLock, CapsLock and ScrollLock\n",
         ParsePlain, nullptr, RunLockState, kOpensConsole},
        {"screenshot", {{"", 1, {"frames"}}},
         "  screenshot FILE.png [--frames N]\n"
         "                 receive the target's screen and write its N-th picture\n"
         "                 (default 1) as a PNG file\n",
         ParseScreenshot, nullptr, RunScreenshot, 0},
        {"keys", {{"ctrl-alt-del"}, {"print-screen"}},
         "  keys ctrl-alt-del|print-screen   send the key sequence to the target\n",
         ParseChoice, nullptr, RunKeys, kOpensConsole},
        {"type", {{"", 1}},
         "  type TEXT      type printable ASCII text on the target (US layout)\n",
         ParseType, nullptr, RunType, kOpensConsole},
        {"mouse", {{"home"}},
         "  mouse home     move the target's pointer to its top-left corner\n",
         ParseChoice, nullptr, RunMouse, kOpensConsole},
        {"info", {{""}, {"set-name", 1}},
         "  info           print the UID, device name and firmware version\n"
         "  info set-name NAME\n",
         ParseForms, CheckInfo, RunInfo, kOpensConsole},
        {"users", {{"list"}, {"add", 2}, {"edit", 1, {"new-name", "new-password", "old-password"}},
                   {"delete", 1}},
         "  users list | users add NAME PASSWORD | users delete NAME\n"
         "  users edit NAME [--new-name N] [--new-password P] [--old-password O]\n",
         ParseForms, CheckUsers, RunUsers, kOpensConsole | kAdministratorOnly},
        {"passwd", {{"", 0, {"old", "new"}}},
         "  passwd --old O --new N       change the own account's password\n",
         ParseForms, CheckPasswd, RunPasswd, kOpensConsole},
        {"network", {{"get"}, {"set", 0, {"ip", "mask", "gateway"}, kNeedsAnOption}},
         "  network get | network set [--ip A] [--mask M] [--gateway G]\n",
         ParseForms, CheckNetwork, RunNetwork, kOpensConsole | kAdministratorOnly},
        {"video", {{"get"}, {"set", 0, {"fps", "bitrate"}, kNeedsAnOption}},
         "  video get | video set [--fps F] [--bitrate B]\n",
         ParseForms, CheckVideo, RunVideo, kOpensConsole | kAdministratorOnly},
        {"sleep", {{"get"}, {"set", 1}},
         "  sleep get | sleep set MINUTES   (0: never sleeps)\n",
         ParseForms, CheckSleep, RunSleep, kOpensConsole | kAdministratorOnly},
        {"log", {{"", 0, {"format"}}, {"clear", 0, {}, kTakesYes}},
         "  log [--format text|csv|json] | log clear [--yes]\n",
         ParseLog, nullptr, RunLog, kOpensConsole},
        {"firmware", {{"", 1}},
         "  firmware FILE  upgrade the device's firmware\n",
         ParseForms, CheckFirmware, RunFirmware, kOpensConsole | kAdministratorOnly},
    };
    return commands;
}
// clang-format on

const CtlCommand* FindCommand(std::string_view name) {
    for (const CtlCommand& c : Commands()) {
        if (name == c.name) return &c;
    }
    return nullptr;
}

const CommandForm* FindForm(const CtlCommand& command, std::string_view action) {
    for (const CommandForm& f : command.forms) {
        if (action == f.action) return &f;
    }
    return nullptr;
}

}  // namespace vantelsor::ctl
