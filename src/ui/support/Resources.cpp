#include "ui/support/Resources.h"

#include <QtCore/qglobal.h>

// Q_INIT_RESOURCE has to be used outside any namespace.
static void RegisterResources() {
    Q_INIT_RESOURCE(resources);
}

namespace vantelsor::ui {

void EnsureResources() {
    static const bool registered = (RegisterResources(), true);
    (void)registered;
}

}  // namespace vantelsor::ui
