#include "cli/AdminCommands.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "admin/AdminRules.h"
#include "admin/FirmwareUpgrade.h"
#include "cli/AdminCommandSupport.h"
#include "cli/AdminRuns.h"
#include "net/AddressText.h"
#include "res/Strings.h"
#include "session/LoginSequence.h"

namespace vantelsor::ctl {
namespace {

// One accepted form of a command: its action, how many values follow it, the
// options it takes with a value, and whether it takes --yes.
struct Form {
    const char* command;
    const char* action;
    size_t values;
    std::vector<std::string> options;
    bool takesYes = false;
};

const std::vector<Form>& Forms() {
    static const std::vector<Form> forms = {
        {"info", "", 0, {}},
        {"info", "set-name", 1, {}},
        {"users", "list", 0, {}},
        {"users", "add", 2, {}},
        {"users", "edit", 1, {"new-name", "new-password", "old-password"}},
        {"users", "delete", 1, {}},
        {"passwd", "", 0, {"old", "new"}},
        {"network", "get", 0, {}},
        {"network", "set", 0, {"ip", "mask", "gateway"}},
        {"video", "get", 0, {}},
        {"video", "set", 0, {"fps", "bitrate"}},
        {"sleep", "get", 0, {}},
        {"sleep", "set", 1, {}},
        {"log", "", 0, {"format"}},
        {"log", "clear", 0, {}, true},
        {"firmware", "", 1, {}},
    };
    return forms;
}

const Form* FindForm(const std::string& command, const std::string& action) {
    for (const Form& f : Forms()) {
        if (command == f.command && action == f.action) return &f;
    }
    return nullptr;
}

int UsageError(const std::string& problem) {
    std::fprintf(stderr, "vantelsorctl: %s\n%s", problem.c_str(), ctl::Usage());
    return kExitUsage;
}

int Invalid(const std::string& message) {
    PrintError(message);
    return kExitFailed;
}

// Splits the words after the command into options and positional values.
int SplitArguments(const std::vector<std::string>& args, AdminCommand* out,
                   std::vector<std::string>* positional) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.rfind("--", 0) != 0) {
            positional->push_back(a);
        } else if (a == "--yes") {
            out->yes = true;
            out->options.emplace_back("yes", "");
        } else if (i + 1 < args.size()) {
            out->options.emplace_back(a.substr(2), args[++i]);
        } else {
            return UsageError(a + " needs a value");
        }
    }
    return kExitOk;
}

int CheckForm(const AdminCommand& c, const std::vector<std::string>& positional) {
    const Form* form = FindForm(c.command, c.action);
    if (!form)
        return UsageError("unknown form of " + c.command +
                          (c.action.empty() ? "" : " " + c.action));
    if (positional.size() != form->values) {
        return UsageError(c.command + (c.action.empty() ? "" : " " + c.action) + " takes " +
                          std::to_string(form->values) + " value(s)");
    }
    for (const auto& [name, value] : c.options) {
        const bool known =
            (name == "yes" && form->takesYes) ||
            std::find(form->options.begin(), form->options.end(), name) != form->options.end();
        if (!known) return UsageError("unknown option --" + name + " for " + c.command);
    }
    return kExitOk;
}

bool ParseInteger(const std::string& text, long* value) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    *value = std::strtol(text.c_str(), &end, 10);
    return errno == 0 && *end == '\0';
}

int CheckAlphanumeric(const std::string& text, const char* what) {
    if (rules::IsAlphanumeric(text)) return kExitOk;
    return Invalid(std::string(what) + " takes only the characters 0-9, a-z and A-Z");
}

// An address option: empty text stands for a blank address box.
int CheckAddressOption(const AdminCommand& c, const char* name, const char* blankMessage) {
    const auto v = c.Option(name);
    if (!v) return kExitOk;
    if (v->empty()) return Invalid(blankMessage);
    uint32_t address;
    if (!ParseAddress(*v, &address)) return Invalid(res::kInvalidAddress);
    if (std::string(name) == "mask" && !rules::IsValidSubnetMask(address)) {
        return Invalid(res::kSubnetMaskInvalid);
    }
    return kExitOk;
}

int CheckValues(const CtlOptions& o, AdminCommand* c) {
    const std::string& cmd = c->command;
    const auto& v = c->values;
    auto message = [](const std::string& m) { return m.empty() ? kExitOk : Invalid(m); };
    if (cmd == "info" && c->action == "set-name") {
        if (int r = CheckAlphanumeric(v[0], "the device name")) return r;
        return message(rules::CheckDeviceName(v[0]));
    }
    if (cmd == "users" && c->action == "add") {
        if (int r = CheckAlphanumeric(v[0] + v[1], "user names and passwords")) return r;
        return message(rules::CheckNewUser(v[0], v[1], v[1]));
    }
    if (cmd == "users" && c->action == "edit") {
        const std::string name = c->Option("new-name").value_or(v[0]);
        const auto old = c->Option("old-password");
        const std::string password = c->Option("new-password").value_or("");
        if (int r =
                CheckAlphanumeric(name + old.value_or("") + password, "user names and passwords")) {
            return r;
        }
        return message(
            rules::CheckEditUser(name, old.has_value(), old.value_or(""), password, password));
    }
    if (cmd == "passwd") {
        const std::string old = c->Option("old").value_or(""),
                          fresh = c->Option("new").value_or("");
        if (int r = CheckAlphanumeric(old + fresh, "passwords")) return r;
        return message(rules::CheckEditUser(o.user, true, old, fresh, fresh));
    }
    if (cmd == "network" && c->action == "set") {
        if (c->options.empty()) return UsageError("network set needs --ip, --mask or --gateway");
        if (int r = CheckAddressOption(*c, "ip", res::kIpAddressEmpty)) return r;
        if (int r = CheckAddressOption(*c, "mask", res::kSubnetMaskEmpty)) return r;
        return CheckAddressOption(*c, "gateway", res::kGatewayEmpty);
    }
    if (cmd == "video" && c->action == "set") {
        if (c->options.empty()) return UsageError("video set needs --fps or --bitrate");
        long n;
        if (auto b = c->Option("bitrate")) {
            if (!ParseInteger(*b, &n)) n = -1;
            if (int r = message(rules::CheckBitRate(n))) return r;
        }
        if (auto f = c->Option("fps");
            f && (!ParseInteger(*f, &n) || !rules::IsFrameRateChoice(n))) {
            return Invalid("the frame rate is one of 5, 10, 15, 20, 25 and 30");
        }
        return kExitOk;
    }
    if (cmd == "sleep" && c->action == "set") {
        long n;
        if (!ParseInteger(v[0], &n)) n = -1;
        return message(rules::CheckSleepMinutes(n));
    }
    if (cmd == "log" && c->action.empty()) {
        c->format = c->Option("format").value_or("text");
        if (c->format != "text" && c->format != "csv" && c->format != "json") {
            return UsageError("--format takes text, csv or json");
        }
    }
    if (cmd == "firmware") {
        return ReportOutcome(FirmwareUpgrade::ReadImage(v[0], &c->firmware));
    }
    return kExitOk;
}

bool HasAction(const std::string& command, const std::string& word) {
    return !word.empty() && FindForm(command, word) != nullptr;
}

}  // namespace

std::optional<std::string> AdminCommand::Option(const std::string& name) const {
    for (const auto& [n, v] : options) {
        if (n == name) return v;
    }
    return std::nullopt;
}

bool IsAdminCommand(const std::string& command) {
    for (const Form& f : Forms()) {
        if (command == f.command) return true;
    }
    return false;
}

int PrepareAdminCommand(const CtlOptions& o, AdminCommand* out) {
    out->command = o.command;
    std::vector<std::string> positional;
    if (int r = SplitArguments(o.arguments, out, &positional)) return r;
    if (!positional.empty() && HasAction(o.command, positional.front())) {
        out->action = positional.front();
        positional.erase(positional.begin());
    }
    if (int r = CheckForm(*out, positional)) return r;
    out->values = positional;
    return CheckValues(o, out);
}

int RunAdminCommand(const AdminCommand& c, LoginSequence& login, ConsoleLink& console,
                    Timing timing) {
    // The log is given twice the reply time-out, as 40 s is to 20 s.
    timing.logTimeoutMs = timing.replyTimeoutMs * 2;
    const AdminContext context{login.session(), login.info(), &console, timing};
    if (c.command == "info") return RunInfo(c, context);
    if (c.command == "users") return RunUsers(c, context);
    if (c.command == "passwd") return RunPasswd(c, context);
    if (c.command == "network") return RunNetwork(c, context);
    if (c.command == "video") return RunVideo(c, context);
    if (c.command == "sleep") return RunSleep(c, context);
    if (c.command == "log") return RunLog(c, context);
    return RunFirmware(c, context);
}

}  // namespace vantelsor::ctl
