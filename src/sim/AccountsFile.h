// The simulator's accounts file: one account a line, "name password type"
// separated by blanks, type 1 (administrator) or 2 (ordinary user). Blank lines
// and lines whose first non-blank character is '#' are skipped; a '#' inside a
// line is part of the field (passwords may contain it).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "sim/SimConfig.h"

namespace vantelsor::sim {

// False on the first bad line, with "line N: <what is wrong>" in *error; an
// input with no account at all is also refused. *accounts is set only on success.
bool ParseAccounts(std::string_view text, std::vector<Account>* accounts, std::string* error);
// Reads and parses a file; errors read "PATH:N: ..." or "cannot read PATH: ...".
bool LoadAccounts(const std::string& path, std::vector<Account>* accounts, std::string* error);

}  // namespace vantelsor::sim
