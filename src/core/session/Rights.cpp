#include "session/Rights.h"

#include "res/Strings.h"
#include "session/SessionInfo.h"

namespace vantelsor {

RightsVerdict RightsFor(uint16_t userType) {
    if (userType == SessionInfo::kAdministrator) return RightsVerdict::kOpen;
    if (userType == SessionInfo::kOrdinaryUser) return RightsVerdict::kRefused;
    return RightsVerdict::kNothing;
}

const char* RightsMessage(RightsVerdict verdict) {
    return verdict == RightsVerdict::kRefused ? res::kOrdinaryUserNoSettings : nullptr;
}

}  // namespace vantelsor
