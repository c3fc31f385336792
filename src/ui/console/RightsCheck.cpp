#include "ui/console/RightsCheck.h"

#include "session/Rights.h"
#include "ui/support/MessageBox.h"

namespace vantelsor::ui {

bool CheckAdministrator(QWidget* parent, uint16_t userType) {
    const RightsVerdict verdict = RightsFor(userType);
    if (const char* message = RightsMessage(verdict)) MessageBox::Information(parent, message);
    return verdict == RightsVerdict::kOpen;
}

}  // namespace vantelsor::ui
