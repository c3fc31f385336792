// The checks of a command's words against its forms, one per kind of command;
// each is a ParseWords of the command table. Each returns the usage error, or
// empty when the words fit, and fills the Invocation.
#pragma once

#include <string>
#include <vector>

#include "cli/CommandTable.h"

namespace vantelsor::ctl {

// No words at all (login, reboot, ...).
std::string ParsePlain(const CtlCommand& c, const std::vector<std::string>& words, Invocation* out);
// An optional action word, its values and its --options (the administration commands).
std::string ParseForms(const CtlCommand& c, const std::vector<std::string>& words, Invocation* out);
// ParseForms, and --format one of text, csv and json.
std::string ParseLog(const CtlCommand& c, const std::vector<std::string>& words, Invocation* out);
// Exactly one word, one of the forms' actions (keys, mouse).
std::string ParseChoice(const CtlCommand& c, const std::vector<std::string>& words,
                        Invocation* out);
// Exactly one TEXT, every character of it typable.
std::string ParseType(const CtlCommand& c, const std::vector<std::string>& words, Invocation* out);
// FILE [--frames N], N from 1 to 10000.
std::string ParseScreenshot(const CtlCommand& c, const std::vector<std::string>& words,
                            Invocation* out);

}  // namespace vantelsor::ctl
