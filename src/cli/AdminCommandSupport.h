// What the administration commands of vantelsorctl share: reporting an outcome
// with the system's message and the exit code scripts rely on.
#pragma once

#include <cstdio>
#include <string>

#include "admin/AdminOutcome.h"
#include "cli/CtlOptions.h"
#include "res/Strings.h"
#include "session/SessionInfo.h"

namespace vantelsor::ctl {

inline void PrintError(const std::string& message) {
    std::fprintf(stderr, "%s\n", message.c_str());
}

// Prints the outcome's message (or `fallback` when it has none) on stderr and
// gives its exit code; kOk prints nothing and gives kExitOk.
inline int ReportOutcome(AdminOutcome outcome, const char* fallback = nullptr) {
    if (outcome == AdminOutcome::kOk) return kExitOk;
    if (const char* m = OutcomeMessage(outcome)) {
        PrintError(m);
    } else if (outcome == AdminOutcome::kNoAnswer) {
        PrintError("the device gave no answer to the request");
    } else {
        PrintError(fallback ? fallback : "the device did not do it");
    }
    return outcome == AdminOutcome::kTimeout ? kExitTimeout : kExitFailed;
}

// Settings are an administrator's: an ordinary user is told so and nothing is sent.
inline bool IsAdministrator(const SessionInfo& info) {
    if (info.userType == SessionInfo::kAdministrator) return true;
    PrintError(res::kOrdinaryUserNoSettings);
    return false;
}

}  // namespace vantelsor::ctl
