#include "ui/console/PointerConfinement.h"

namespace vantelsor::ui {

// Without X11 only the warp fallback confines the pointer.
bool PointerConfinement::GrabX11(QWidget*) {
    return false;
}

void PointerConfinement::UngrabX11() {}

}  // namespace vantelsor::ui
