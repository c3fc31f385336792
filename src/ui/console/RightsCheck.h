// The window side of the administration rights rule (session/Rights.h): an
// administrator's dialog may open, an ordinary user is shown the refusal in an
// information box, any other user type gets nothing. User-interface thread.
#pragma once

#include <cstdint>

class QWidget;

namespace vantelsor::ui {

// The check of an administration command: true when its dialog may open;
// an ordinary user is shown "普通用户无法设置，请联系管理员！".
bool CheckAdministrator(QWidget* parent, uint16_t userType);

}  // namespace vantelsor::ui
