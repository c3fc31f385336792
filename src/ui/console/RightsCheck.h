// Who may open an administration dialog: administrators open it, ordinary
// users are told to ask one, any other user type gets nothing. User-interface thread.
#pragma once

#include <cstdint>

class QWidget;

namespace vantelsor::ui {

enum class RightsVerdict { kOpen, kRefused, kNothing };

RightsVerdict RightsFor(uint16_t userType);

// The check of an administration command: true when its dialog may open;
// an ordinary user is shown "普通用户无法设置，请联系管理员！".
bool CheckAdministrator(QWidget* parent, uint16_t userType);

}  // namespace vantelsor::ui
