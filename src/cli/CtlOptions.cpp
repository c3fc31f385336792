#include "cli/CtlOptions.h"

#include <cerrno>
#include <cstdlib>
#include <string_view>

#include "cli/CommandTable.h"
#include "session/LoginCheck.h"

namespace vantelsor::ctl {
namespace {

// Which of the required connection options were given.
struct Given {
    bool device = false, user = false, password = false;
};

bool IsConnectionOption(std::string_view arg) {
    return arg == "--device" || arg == "--user" || arg == "--password" || arg == "--encrypt" ||
           arg == "--reply-timeout";
}

bool ParseEncryption(std::string_view v, int32_t* flags) {
    if (v == "none")
        *flags = 0;
    else if (v == "all")
        *flags = 3;
    else if (v == "keyboard")
        *flags = 1;
    else if (v == "mouse")
        *flags = 2;
    else
        return false;
    return true;
}

bool ParseTimeout(const char* v, uint32_t* ms) {
    char* end = nullptr;
    errno = 0;
    const unsigned long n = std::strtoul(v, &end, 10);
    if (errno || end == v || *end || n == 0 || n > 3600000 || v[0] == '-') return false;
    *ms = static_cast<uint32_t>(n);
    return true;
}

// Takes the value of one connection option.
bool TakeConnectionOption(std::string_view name, const char* value, CtlOptions* out, Given* given,
                          std::string* error) {
    if (name == "--device") {
        out->device = value;
        given->device = true;
    } else if (name == "--user") {
        out->user = value;
        given->user = true;
    } else if (name == "--password") {
        out->password = value;
        given->password = true;
    } else if (name == "--encrypt" && !ParseEncryption(value, &out->encryptionFlags)) {
        *error = "--encrypt takes none, all, keyboard or mouse";
        return false;
    } else if (name == "--reply-timeout" && !ParseTimeout(value, &out->replyTimeoutMs)) {
        *error = "--reply-timeout takes milliseconds, 1 to 3600000";
        return false;
    }
    return true;
}

// Splits argv into the connection options (taken wherever they stand), the
// command's name and the command's own words, which are checked with it.
bool SplitCommandLine(int argc, const char* const* argv, CtlOptions* out, Given* given,
                      std::string* command, std::string* error) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const bool dashed = arg.size() > 1 && arg[0] == '-';
        if (IsConnectionOption(arg)) {
            if (i + 1 >= argc) {
                *error = std::string(arg) + " needs a value";
                return false;
            }
            if (!TakeConnectionOption(arg, argv[++i], out, given, error)) return false;
        } else if (dashed && command->empty()) {
            *error = "unknown option " + std::string(arg);
            return false;
        } else if (command->empty()) {
            *command = arg;
        } else {
            out->arguments.emplace_back(arg);
        }
    }
    if (command->empty()) {
        *error = "no command given";
        return false;
    }
    return true;
}

// Finds the command in the table and checks its words against its forms.
bool ParseCommand(const std::string& name, CtlOptions* out, std::string* error) {
    out->command = FindCommand(name);
    if (!out->command) {
        *error = "unknown command " + name;
        return false;
    }
    out->invocation.command = name;
    *error = out->command->parse(*out->command, out->arguments, &out->invocation);
    return error->empty();
}

// The login dialog's checks, from the core, so both front ends refuse the same input.
bool CheckLogin(CtlOptions* out, std::string* error) {
    const LoginCheck check = CheckLoginInput(out->device, out->user, out->password);
    if (!check.ok()) {
        *error = check.message;
        return false;
    }
    out->deviceAddress = check.deviceAddress;
    return true;
}

std::string BuildUsage() {
    std::string text =
        "usage: vantelsorctl --device ADDR --user NAME --password PASS\n"
        "                    [--encrypt none|all|keyboard|mouse] [--reply-timeout MS] COMMAND\n"
        "commands:\n";
    for (const CtlCommand& c : Commands()) text += c.usage;
    return text +
           "exit codes: 0 ok, 1 refused or failed, 2 usage, 3 no reply in time,\n"
           "            4 connection failed, 5 protocol version mismatch\n";
}

}  // namespace

const std::string& Usage() {
    static const std::string usage = BuildUsage();
    return usage;
}

bool ParseOptions(int argc, const char* const* argv, CtlOptions* out, std::string* error) {
    Given given;
    std::string command;
    if (!SplitCommandLine(argc, argv, out, &given, &command, error)) return false;
    if (!ParseCommand(command, out, error)) return false;
    if (!given.device || !given.user || !given.password) {
        *error = "--device, --user and --password are required";
        return false;
    }
    return CheckLogin(out, error);
}

}  // namespace vantelsor::ctl
