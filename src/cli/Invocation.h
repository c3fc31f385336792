// One command of vantelsorctl as given on the command line, after its words
// were checked against the command's forms. Filled before the connection is
// made; the runs only read it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vantelsor::ctl {

struct Invocation {
    std::string command;              // "login", "users", ...
    std::string action;               // "list", "set", "home", ... ("" for plain forms)
    std::vector<std::string> values;  // positional values after the action
    // Options by name without the dashes ("new-name", "fps", ...); a value may be empty.
    std::vector<std::pair<std::string, std::string>> options;
    bool yes = false;               // log clear --yes
    std::string format = "text";    // log --format
    int frames = 1;                 // screenshot --frames
    std::vector<uint8_t> firmware;  // the checked image of "firmware FILE"

    // The first value given for option `name`.
    std::optional<std::string> Option(const std::string& name) const {
        for (const auto& [n, v] : options) {
            if (n == name) return v;
        }
        return std::nullopt;
    }
};

}  // namespace vantelsor::ctl
