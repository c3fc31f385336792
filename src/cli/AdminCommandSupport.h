// What the administration commands of vantelsorctl share: reporting an outcome
// with the system's message and the exit code scripts rely on, and the rights
// rule of the administration commands.
#pragma once

#include <cstdio>
#include <string>

#include "admin/AdminOutcome.h"
#include "cli/CtlOptions.h"
#include "session/Rights.h"
#include "session/SessionInfo.h"

namespace vantelsor::ctl {

inline void PrintError(const std::string& message) {
    std::fprintf(stderr, "%s\n", message.c_str());
}

// The outcome's message; `fallback` (or a plain description) when it has none.
inline std::string OutcomeText(AdminOutcome outcome, const char* fallback = nullptr) {
    if (const char* m = OutcomeMessage(outcome)) return m;
    if (outcome == AdminOutcome::kNoAnswer) return "the device gave no answer to the request";
    return fallback ? fallback : "the device did not do it";
}

// Prints the outcome's message (or `fallback` when it has none) on stderr and
// gives its exit code; kOk prints nothing and gives kExitOk.
inline int ReportOutcome(AdminOutcome outcome, const char* fallback = nullptr) {
    if (outcome == AdminOutcome::kOk) return kExitOk;
    PrintError(OutcomeText(outcome, fallback));
    return outcome == AdminOutcome::kTimeout ? kExitTimeout : kExitFailed;
}

// Settings are an administrator's (session/Rights.h): an ordinary user is told
// so on `err` and nothing is sent. Any other user type gets nothing either; as
// a script still needs to know why it failed, a plain line says so.
inline bool IsAdministrator(const SessionInfo& info, std::FILE* err = stderr) {
    const RightsVerdict verdict = RightsFor(info.userType);
    if (const char* message = RightsMessage(verdict)) {
        std::fprintf(err, "%s\n", message);
    } else if (verdict == RightsVerdict::kNothing) {
        std::fprintf(err, "user type %u has no administration rights: nothing sent\n",
                     unsigned{info.userType});
    }
    return verdict == RightsVerdict::kOpen;
}

}  // namespace vantelsor::ctl
