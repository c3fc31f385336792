#include "cli/AdminChecks.h"

#include <cerrno>
#include <cstdlib>

#include "admin/AdminRules.h"
#include "admin/FirmwareUpgrade.h"
#include "cli/AdminCommandSupport.h"
#include "net/AddressText.h"
#include "res/Strings.h"

namespace vantelsor::ctl {
namespace {

bool ParseInteger(const std::string& text, long* value) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    *value = std::strtol(text.c_str(), &end, 10);
    return errno == 0 && *end == '\0';
}

std::string Alphanumeric(const std::string& text, const char* what) {
    if (rules::IsAlphanumeric(text)) return {};
    return std::string(what) + " takes only the characters 0-9, a-z and A-Z";
}

// An address option: empty text stands for a blank address box.
std::string AddressOption(const Invocation& c, const char* name, const char* blankMessage) {
    const auto v = c.Option(name);
    if (!v) return {};
    if (v->empty()) return blankMessage;
    uint32_t address;
    if (!ParseAddress(*v, &address)) return res::kInvalidAddress;
    if (std::string(name) == "mask" && !rules::IsValidSubnetMask(address)) {
        return res::kSubnetMaskInvalid;
    }
    return {};
}

}  // namespace

std::string CheckInfo(const CtlOptions&, Invocation* c) {
    if (c->action != "set-name") return {};
    if (std::string m = Alphanumeric(c->values[0], "the device name"); !m.empty()) return m;
    return rules::CheckDeviceName(c->values[0]);
}

std::string CheckUsers(const CtlOptions&, Invocation* c) {
    const auto& v = c->values;
    if (c->action == "add") {
        if (std::string m = Alphanumeric(v[0] + v[1], "user names and passwords"); !m.empty()) {
            return m;
        }
        return rules::CheckNewUser(v[0], v[1], v[1]);
    }
    if (c->action != "edit") return {};
    const std::string name = c->Option("new-name").value_or(v[0]);
    const auto old = c->Option("old-password");
    const std::string password = c->Option("new-password").value_or("");
    if (std::string m =
            Alphanumeric(name + old.value_or("") + password, "user names and passwords");
        !m.empty()) {
        return m;
    }
    return rules::CheckEditUser(name, old.has_value(), old.value_or(""), password, password);
}

std::string CheckPasswd(const CtlOptions& o, Invocation* c) {
    const std::string old = c->Option("old").value_or(""), fresh = c->Option("new").value_or("");
    if (std::string m = Alphanumeric(old + fresh, "passwords"); !m.empty()) return m;
    return rules::CheckEditUser(o.user, true, old, fresh, fresh);
}

std::string CheckNetwork(const CtlOptions&, Invocation* c) {
    if (c->action != "set") return {};
    if (std::string m = AddressOption(*c, "ip", res::kIpAddressEmpty); !m.empty()) return m;
    if (std::string m = AddressOption(*c, "mask", res::kSubnetMaskEmpty); !m.empty()) return m;
    return AddressOption(*c, "gateway", res::kGatewayEmpty);
}

std::string CheckVideo(const CtlOptions&, Invocation* c) {
    if (c->action != "set") return {};
    long n;
    if (auto b = c->Option("bitrate")) {
        if (!ParseInteger(*b, &n)) n = -1;
        if (std::string m = rules::CheckBitRate(n); !m.empty()) return m;
    }
    if (auto f = c->Option("fps"); f && (!ParseInteger(*f, &n) || !rules::IsFrameRateChoice(n))) {
        return "the frame rate is one of 5, 10, 15, 20, 25 and 30";
    }
    return {};
}

std::string CheckSleep(const CtlOptions&, Invocation* c) {
    if (c->action != "set") return {};
    long n;
    if (!ParseInteger(c->values[0], &n)) n = -1;
    return rules::CheckSleepMinutes(n);
}

std::string CheckFirmware(const CtlOptions&, Invocation* c) {
    const AdminOutcome o = FirmwareUpgrade::ReadImage(c->values[0], &c->firmware);
    return o == AdminOutcome::kOk ? std::string() : OutcomeText(o);
}

}  // namespace vantelsor::ctl
