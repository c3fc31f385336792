// vantelsorctl: the device's console and administration from the command line,
// over the same core as the desktop client. The commands, their checks and
// their runs come from the command table (CommandTable.h).
#include <cstdio>
#include <cstring>
#include <string>

#include "cli/AdminCommandSupport.h"
#include "cli/CommandTable.h"
#include "cli/CtlOptions.h"
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

// Runs the command for a user with the rights it needs.
int RunPermitted(const CtlOptions& o, const CommandContext& context) {
    if (o.command->administratorOnly() && !IsAdministrator(*context.info)) return kExitFailed;
    return o.command->run(o.invocation, context);
}

// Runs the command on the logged-in session, with the console's handler
// installed for the commands that ask for it.
int RunCommand(const CtlOptions& o, LoginSequence& login, EventSink* sink, const Timing& timing) {
    CommandContext context{login.session(), login.info(), nullptr, timing};
    if (!o.command->opensConsole()) return RunPermitted(o, context);
    ConsoleLink link(login.session(), login.info(), sink, timing);
    link.Open();
    context.console = &link;
    const int code = RunPermitted(o, context);
    link.Close();
    return code;
}

int Run(CtlOptions& o) {
    // Values the dialogs would refuse are refused before anything is sent.
    if (o.command->check) {
        if (const std::string m = o.command->check(o, &o.invocation); !m.empty()) {
            Fail(m.c_str());
            return kExitFailed;
        }
    }
    Timing timing;
    timing.replyTimeoutMs = o.replyTimeoutMs;
    // The log is given twice the reply time-out, as 40 s is to 20 s.
    timing.logTimeoutMs = timing.replyTimeoutMs * 2;
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
    const int code = RunCommand(o, login, &sink, timing);
    login.Exit();
    return code;
}

}  // namespace
}  // namespace vantelsor::ctl

int main(int argc, char** argv) {
    using namespace vantelsor::ctl;
    if (argc == 2 && (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h"))) {
        std::fputs(Usage().c_str(), stdout);
        return kExitOk;
    }
    CtlOptions options;
    std::string error;
    if (!ParseOptions(argc, argv, &options, &error)) {
        std::fprintf(stderr, "vantelsorctl: %s\n%s", error.c_str(), Usage().c_str());
        return kExitUsage;
    }
    return Run(options);
}
