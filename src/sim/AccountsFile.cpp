#include "sim/AccountsFile.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "protocol/LoginMessages.h"

namespace vantelsor::sim {
namespace {

std::vector<std::string_view> SplitBlanks(std::string_view line) {
    std::vector<std::string_view> fields;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        const size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
        if (i > start) fields.push_back(line.substr(start, i - start));
    }
    return fields;
}

// The account on one line, or an error text saying what is wrong with it.
std::string ParseLine(std::string_view line, Account* account) {
    const std::vector<std::string_view> f = SplitBlanks(line);
    if (f.size() != 3) {
        return "expected \"name password type\", found " + std::to_string(f.size()) + " field" +
               (f.size() == 1 ? "" : "s");
    }
    // Longer texts do not fit the login's 16-byte fields: such an account could never log in.
    if (f[0].size() > size_t{login::kFieldSize}) return "user name longer than 16 bytes";
    if (f[1].size() > size_t{login::kFieldSize}) return "password longer than 16 bytes";
    if (f[2] != "1" && f[2] != "2") {
        return "type must be 1 (administrator) or 2 (ordinary user), not \"" + std::string(f[2]) +
               "\"";
    }
    account->name = f[0];
    account->password = f[1];
    account->type = f[2] == "1" ? kAdministrator : kOrdinaryUser;
    return {};
}

}  // namespace

bool ParseAccounts(std::string_view text, std::vector<Account>* accounts, std::string* error) {
    std::vector<Account> parsed;
    std::vector<int> definedOn;
    int number = 0;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        ++number;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const size_t first = line.find_first_not_of(" \t");
        if (first == std::string_view::npos || line[first] == '#') continue;
        Account account;
        std::string problem = ParseLine(line, &account);
        for (size_t i = 0; problem.empty() && i < parsed.size(); ++i) {
            if (parsed[i].name == account.name) {
                problem = "user \"" + account.name + "\" already defined on line " +
                          std::to_string(definedOn[i]);
            }
        }
        if (!problem.empty()) {
            *error = "line " + std::to_string(number) + ": " + problem;
            return false;
        }
        parsed.push_back(std::move(account));
        definedOn.push_back(number);
    }
    if (parsed.empty()) {
        *error = "no accounts";
        return false;
    }
    *accounts = std::move(parsed);
    return true;
}

bool LoadAccounts(const std::string& path, std::vector<Account>* accounts, std::string* error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        *error = "cannot read " + path + ": " + std::strerror(errno);
        return false;
    }
    std::ostringstream text;
    text << file.rdbuf();
    if (file.bad()) {
        *error = "cannot read " + path;
        return false;
    }
    std::string problem;
    if (ParseAccounts(text.str(), accounts, &problem)) return true;
    // "line 3: ..." becomes "PATH:3: ...", the way compilers point at a line.
    constexpr std::string_view kLine = "line ";
    *error = path + ":" +
             (problem.compare(0, kLine.size(), kLine) == 0 ? problem.substr(kLine.size())
                                                           : " " + problem);
    return false;
}

}  // namespace vantelsor::sim
