#include "ui/console/RightsCheck.h"

#include "res/Strings.h"
#include "session/SessionInfo.h"
#include "ui/support/MessageBox.h"

namespace vantelsor::ui {

RightsVerdict RightsFor(uint16_t userType) {
    if (userType == SessionInfo::kAdministrator) return RightsVerdict::kOpen;
    if (userType == SessionInfo::kOrdinaryUser) return RightsVerdict::kRefused;
    return RightsVerdict::kNothing;
}

bool CheckAdministrator(QWidget* parent, uint16_t userType) {
    const RightsVerdict verdict = RightsFor(userType);
    if (verdict == RightsVerdict::kRefused)
        MessageBox::Information(parent, res::kOrdinaryUserNoSettings);
    return verdict == RightsVerdict::kOpen;
}

}  // namespace vantelsor::ui
