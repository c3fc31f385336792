// The command line of vantelsor-sim, turned into a SimConfig. Numbers are
// decimal or 0x-prefixed hexadecimal; --accounts reads and checks its file here.
#pragma once

#include <string>
#include <vector>

#include "sim/SimConfig.h"

namespace vantelsor::sim {

enum class CommandLineResult { kRun, kHelp, kError };

// `args` excludes the program name. The defaults are SimConfig's, except that
// the device listens on 127.0.0.1. On kError, *error says what is wrong (one
// line, naming the option) and *config may be partly filled.
CommandLineResult ParseCommandLine(const std::vector<std::string>& args, SimConfig* config,
                                   std::string* error);

const char* UsageText();

}  // namespace vantelsor::sim
