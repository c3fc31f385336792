#include <cstdio>
#include <string>

#include "cli/CommandRuns.h"
#include "cli/CtlOptions.h"
#include "res/Strings.h"
#include "session/ConsoleLink.h"
#include "session/SessionInfo.h"

namespace vantelsor::ctl {
namespace {

void Fail(const char* message) {
    std::fprintf(stderr, "%s\n", message);
}

}  // namespace

int RunLogin(const Invocation&, const CommandContext& x) {
    const SessionInfo& info = *x.info;
    const std::string name(reinterpret_cast<const char*>(info.userName.data()),
                           info.userNameLength);
    std::printf("logged in as %s: %s, operation right %s\n", name.c_str(),
                info.userType == SessionInfo::kAdministrator ? "administrator" : "ordinary user",
                info.hasControlRight ? "held" : "not held");
    return kExitOk;
}

int RunTakeControl(const Invocation&, const CommandContext& x) {
    switch (x.console->TakeControlRight()) {
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
                 x.console->replyStatus());
    return kExitFailed;
}

int RunReboot(const Invocation&, const CommandContext& x) {
    x.console->Reboot();
    std::printf("reboot requested\n");
    return kExitOk;
}

int RunLockState(const Invocation&, const CommandContext& x) {
    const auto leds = x.console->QueryLockState();
    if (!leds) {
        Fail(res::kCommTimeout);
        return kExitTimeout;
    }
    auto onOff = [&](int bit) { return (*leds >> bit) & 1 ? "on" : "off"; };
    std::printf("NumLock %s, CapsLock %s, ScrollLock %s\n", onOff(0), onOff(1), onOff(2));
    return kExitOk;
}

}  // namespace vantelsor::ctl
