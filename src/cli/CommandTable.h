// The one table of vantelsorctl's commands. Each entry gives the command's
// name, the forms it accepts, its lines of the usage text, the check of its
// words (usage errors, exit 2), the check of its values (refused with the
// system's message, exit 1, before anything is sent), its run, and whether it
// needs the console's handler or an administrator. The usage text, the dispatch,
// every argument check and the rights check come from here.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cli/CommandContext.h"
#include "cli/CtlOptions.h"
#include "cli/Invocation.h"

namespace vantelsor::ctl {

// Flags of a form.
enum FormFlags : unsigned {
    kTakesYes = 1,       // takes --yes
    kNeedsAnOption = 2,  // is refused without one of its options
};

// One accepted form of a command: its action word, how many values follow it,
// the options it takes with a value, and its flags.
struct CommandForm {
    CommandForm(const char* actionWord, size_t valueCount = 0,
                std::vector<std::string> optionNames = {}, unsigned flags = 0)
        : action(actionWord),
          values(valueCount),
          options(std::move(optionNames)),
          takesYes(flags & kTakesYes),
          needsAnOption(flags & kNeedsAnOption) {}

    const char* action;                // "" for the form without an action word
    size_t values;                     // positional values after the action
    std::vector<std::string> options;  // options with a value, names without the dashes
    bool takesYes;
    bool needsAnOption;
};

struct CtlCommand;

// Reads the command's words into `out`; the usage error, or empty when they fit.
using ParseWords = std::string (*)(const CtlCommand& command, const std::vector<std::string>& words,
                                   Invocation* out);
// Checks the values as the dialogs would; the system's message, or empty when
// they pass. May complete `out` (the firmware image read from its file).
using CheckValues = std::string (*)(const CtlOptions& options, Invocation* out);
// Runs the checked command on a logged-in session; returns the exit code.
using RunCommand = int (*)(const Invocation& invocation, const CommandContext& context);

// Flags of a command.
enum CommandFlags : unsigned {
    kOpensConsole = 1,       // runs with the console's handler installed
    kAdministratorOnly = 2,  // runs for an administrator only (session/Rights.h)
};

struct CtlCommand {
    const char* name;
    std::vector<CommandForm> forms;
    const char* usage;  // its lines of the usage text, each ending in a newline
    ParseWords parse;
    CheckValues check;  // null when nothing is checked beyond the words
    RunCommand run;
    unsigned flags;  // CommandFlags

    bool opensConsole() const { return flags & kOpensConsole; }
    bool administratorOnly() const { return flags & kAdministratorOnly; }
};

const std::vector<CtlCommand>& Commands();
// Null when there is no such command.
const CtlCommand* FindCommand(std::string_view name);
// The form with `action`; null when the command has none.
const CommandForm* FindForm(const CtlCommand& command, std::string_view action);

}  // namespace vantelsor::ctl
