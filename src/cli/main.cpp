// vantelsorctl: the device's console and administration from the command line,
// over the same core as the desktop client.
#include <cstdio>
#include <cstring>
#include <string>

#include "cli/AdminCommands.h"
#include "cli/CtlOptions.h"
#include "cli/ScreenshotCommand.h"
#include "cli/InputCommands.h"
#include "net/NetSession.h"
#include "res/Strings.h"
#include "session/ConsoleLink.h"
#include "session/LoginSequence.h"

namespace vantelsor::ctl {
namespace {

void Fail(const char* message) {
    std::fprintf(stderr, "%s\n", message);
}

// Device events arrive on background threads; a command-line client reports them.
class StderrSink : public EventSink {
  public:
    void Post(DeviceEvent event, uint32_t) override {
        if (event == DeviceEvent::kConnectionLost) Fail(res::kServerDisconnected);
        if (event == DeviceEvent::kControlRightLost) Fail(res::kControlRightLost);
    }
};

int LoginFailure(LoginResult result, uint8_t status) {
    if (const char* message = LoginResultMessage(result)) {
        Fail(message);
    } else {
        std::fprintf(stderr, "login refused by the device (status 0x%02X)\n", status);
    }
    switch (result) {
        case LoginResult::kTimeout:
            return kExitTimeout;
        case LoginResult::kClientVersionHigher:
        case LoginResult::kServerVersionHigher:
            return kExitVersionMismatch;
        default:
            return kExitFailed;
    }
}

int PrintLogin(const SessionInfo& info) {
    const std::string name(reinterpret_cast<const char*>(info.userName.data()),
                           info.userNameLength);
    std::printf("logged in as %s: %s, operation right %s\n", name.c_str(),
                info.userType == SessionInfo::kAdministrator ? "administrator" : "ordinary user",
                info.hasControlRight ? "held" : "not held");
    return kExitOk;
}

int TakeControl(ConsoleLink& link) {
    switch (link.TakeControlRight()) {
        case ControlRightResult::kGranted:
            std::printf("%s\n", res::kControlRightGranted);
            return kExitOk;
        case ControlRightResult::kBusy:
            Fail(res::kControlRightBusy);
            return kExitFailed;
        case ControlRightResult::kTimeout:
            Fail(res::kCommTimeout);
            return kExitTimeout;
        case ControlRightResult::kOther:
            break;
    }
    std::fprintf(stderr, "unexpected answer to the operation-right request (status 0x%02X)\n",
                 link.replyStatus());
    return kExitFailed;
}

int LockState(ConsoleLink& link) {
    const auto leds = link.QueryLockState();
    if (!leds) {
        Fail(res::kCommTimeout);
        return kExitTimeout;
    }
    auto onOff = [&](int bit) { return (*leds >> bit) & 1 ? "on" : "off"; };
    std::printf("NumLock %s, CapsLock %s, ScrollLock %s\n", onOff(0), onOff(1), onOff(2));
    return kExitOk;
}

int RunCommand(const CtlOptions& o, const AdminCommand& admin, LoginSequence& login,
               EventSink* sink, const Timing& timing) {
    if (o.command == "login") return PrintLogin(*login.info());
    if (o.command == "screenshot") return Screenshot(o.screenshot, login, timing);
    ConsoleLink link(login.session(), login.info(), sink, timing);
    link.Open();
    int code = kExitOk;
    if (IsAdminCommand(o.command)) {
        code = RunAdminCommand(admin, login, link, timing);
    } else if (o.command == "take-control") {
        code = TakeControl(link);
    } else if (o.command == "reboot") {
        link.Reboot();
        std::printf("reboot requested\n");
    } else if (o.command == "lock-state") {
        code = LockState(link);
    } else if (IsInputCommand(o.command)) {
        code = RunInputCommand(o.command, o.arguments, login.session(), login.info());
    }
    link.Close();
    return code;
}

int Run(const CtlOptions& o) {
    Timing timing;
    timing.replyTimeoutMs = o.replyTimeoutMs;
    AdminCommand admin;
    if (IsAdminCommand(o.command)) {
        if (const int code = PrepareAdminCommand(o, &admin); code != kExitOk) return code;
    }
    StderrSink sink;
    LoginSequence login(nullptr, timing);
    login.SetEventSink(&sink);
    if (!login.Connect(o.deviceAddress)) {
        Fail(res::kConnectFailed);
        return kExitConnectFailed;
    }
    Credentials credentials;
    credentials.deviceAddress = o.deviceAddress;
    credentials.encryptionFlags = o.encryptionFlags;
    credentials.user = o.user;
    credentials.password = o.password;
    const LoginResult result = login.Login(credentials);
    if (result != LoginResult::kAccepted) {
        const int code = LoginFailure(result, login.lastStatus());
        login.Exit();
        return code;
    }
    const int code = RunCommand(o, admin, login, &sink, timing);
    login.Exit();
    return code;
}

}  // namespace
}  // namespace vantelsor::ctl

int main(int argc, char** argv) {
    using namespace vantelsor::ctl;
    if (argc == 2 && (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h"))) {
        std::fputs(Usage(), stdout);
        return kExitOk;
    }
    CtlOptions options;
    std::string error;
    if (!ParseOptions(argc, argv, &options, &error)) {
        std::fprintf(stderr, "vantelsorctl: %s\n%s", error.c_str(), Usage());
        return kExitUsage;
    }
    return Run(options);
}
