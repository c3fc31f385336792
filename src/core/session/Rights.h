// Who may run an administration command: an administrator may, an ordinary
// user is refused with "普通用户无法设置，请联系管理员！", and any other user
// type gets nothing at all (no dialog, no message). Pure functions; any thread.
#pragma once

#include <cstdint>

namespace vantelsor {

enum class RightsVerdict { kOpen, kRefused, kNothing };

RightsVerdict RightsFor(uint16_t userType);

// The system's message for a verdict: the refusal's text for kRefused,
// null for the others.
const char* RightsMessage(RightsVerdict verdict);

}  // namespace vantelsor
