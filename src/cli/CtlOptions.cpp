#include "cli/CtlOptions.h"

#include <arpa/inet.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "admin/AdminRules.h"
#include "cli/AdminCommands.h"
#include "cli/InputCommands.h"
#include "net/AddressText.h"
#include "res/Strings.h"

namespace vantelsor::ctl {
namespace {

constexpr int kMinUser = 4, kMaxUser = 16;
constexpr int kMinPassword = 6, kMaxPassword = 16;

const char* const kCommands[] = {"login",      "take-control", "reboot", "lock-state",
                                 "screenshot", "keys",         "type",   "mouse"};

using rules::CharacterCount;
using rules::Format;

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

// FILE [--frames N], N from 1 to 10000.
bool ParseScreenshotArguments(const std::vector<std::string>& args, ScreenshotOptions* out,
                              std::string* error) {
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--frames") {
            char* end = nullptr;
            const char* v = i + 1 < args.size() ? args[++i].c_str() : "";
            const long n = std::strtol(v, &end, 10);
            if (end == v || *end != '\0' || n < 1 || n > 10000) {
                *error = "--frames takes a number from 1 to 10000";
                return false;
            }
            out->frames = static_cast<int>(n);
        } else if (args[i].size() > 1 && args[i][0] == '-') {
            *error = "unknown option " + args[i];
            return false;
        } else if (out->file.empty()) {
            out->file = args[i];
        } else {
            *error = "unexpected argument " + args[i];
            return false;
        }
    }
    if (out->file.empty()) *error = "screenshot needs the name of the PNG file to write";
    return !out->file.empty();
}

}  // namespace

// The administration lines join the literal on a line of their own.
// clang-format off
const char* Usage() {
    return "usage: vantelsorctl --device ADDR --user NAME --password PASS\n"
           "                    [--encrypt none|all|keyboard|mouse] [--reply-timeout MS] COMMAND\n"
           "commands:\n"
           "  login          log in, print the user type and the operation right, log out\n"
           "  take-control   take the operation right from whoever holds it\n"
           "  reboot         reboot the device\n"
           "  lock-state     print the target's NumLock, CapsLock and ScrollLock\n"
           "  screenshot FILE.png [--frames N]\n"
           "                 receive the target's screen and write its N-th picture\n"
           "                 (default 1) as a PNG file\n"
           "  keys ctrl-alt-del|print-screen   send the key sequence to the target\n"
           "  type TEXT      type printable ASCII text on the target (US layout)\n"
           "  mouse home     move the target's pointer to its top-left corner\n"
           VANTELSOR_ADMIN_USAGE
           "exit codes: 0 ok, 1 refused or failed, 2 usage, 3 no reply in time,\n"
           "            4 connection failed, 5 protocol version mismatch\n";
}
// clang-format on

bool ParseOptions(int argc, const char* const* argv, CtlOptions* out, std::string* error) {
    bool haveDevice = false, haveUser = false, havePassword = false;
    std::string address;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        auto value = [&](const char** v) {
            if (i + 1 >= argc) {
                *error = std::string(arg) + " needs a value";
                return false;
            }
            *v = argv[++i];
            return true;
        };
        const char* v = nullptr;
        if (arg == "--device") {
            if (!value(&v)) return false;
            address = v;
            haveDevice = true;
        } else if (arg == "--user") {
            if (!value(&v)) return false;
            out->user = v;
            haveUser = true;
        } else if (arg == "--password") {
            if (!value(&v)) return false;
            out->password = v;
            havePassword = true;
        } else if (arg == "--encrypt") {
            if (!value(&v)) return false;
            if (!ParseEncryption(v, &out->encryptionFlags)) {
                *error = "--encrypt takes none, all, keyboard or mouse";
                return false;
            }
        } else if (arg == "--reply-timeout") {
            if (!value(&v)) return false;
            if (!ParseTimeout(v, &out->replyTimeoutMs)) {
                *error = "--reply-timeout takes milliseconds, 1 to 3600000";
                return false;
            }
        } else if (arg.size() > 1 && arg[0] == '-' && !out->command.empty()) {
            out->arguments.emplace_back(arg);  // the command's own options, checked with it
        } else if (arg.size() > 1 && arg[0] == '-') {
            *error = "unknown option " + std::string(arg);
            return false;
        } else if (out->command.empty()) {
            out->command = arg;
        } else {
            out->arguments.emplace_back(arg);
        }
    }
    if (out->command.empty()) {
        *error = "no command given";
        return false;
    }
    bool known = false;
    for (const char* c : kCommands) known = known || out->command == c;
    known = known || IsAdminCommand(out->command);
    if (!known) {
        *error = "unknown command " + out->command;
        return false;
    }
    if (out->command == "screenshot") {
        if (!ParseScreenshotArguments(out->arguments, &out->screenshot, error)) return false;
    } else if (IsInputCommand(out->command)) {
        if (!CheckInputArguments(out->command, out->arguments, error)) return false;
    } else if (!out->arguments.empty() && !IsAdminCommand(out->command)) {
        *error = "unexpected argument " + out->arguments.front();
        return false;
    }
    if (!haveDevice || !haveUser || !havePassword) {
        *error = "--device, --user and --password are required";
        return false;
    }
    // 255.255.255.255 is what inet_addr gives for failure: the login dialog refuses it too.
    if (!ParseAddress(address, &out->deviceAddress) || out->deviceAddress == INADDR_NONE) {
        *error = res::kInvalidAddress;
        return false;
    }
    const int userChars = CharacterCount(out->user);
    if (userChars == 0) {
        *error = res::kUserNameEmpty;
        return false;
    }
    if (userChars < kMinUser || userChars > kMaxUser) {
        *error = Format(res::kUserNameLength, kMinUser, kMaxUser);
        return false;
    }
    const int passwordChars = CharacterCount(out->password);
    if (passwordChars == 0) {
        *error = res::kPasswordEmpty;
        return false;
    }
    if (passwordChars < kMinPassword || passwordChars > kMaxPassword) {
        *error = Format(res::kPasswordLength, kMinPassword, kMaxPassword);
        return false;
    }
    return true;
}

}  // namespace vantelsor::ctl
