// Qt first: Xlib's macros (None, Status, Bool) break Qt's headers.
// clang-format off
#include <QGuiApplication>

#include "ui/console/PointerConfinement.h"

#include <X11/Xlib.h>
// clang-format on

namespace vantelsor::ui {
namespace {

Display* QtDisplay() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->display() : nullptr;
}

}  // namespace

bool PointerConfinement::GrabX11(QWidget* widget) {
    Display* display = QtDisplay();
    if (!display) return false;
    const auto window = static_cast<Window>(widget->winId());
    // Events keep going to the client's own windows (owner events), so the
    // console still sees every move and click.
    const unsigned mask = ButtonPressMask | ButtonReleaseMask | PointerMotionMask;
    const int status = XGrabPointer(display, window, True, mask, GrabModeAsync, GrabModeAsync,
                                    window, None, CurrentTime);
    XFlush(display);
    return status == GrabSuccess;
}

void PointerConfinement::UngrabX11() {
    if (Display* display = QtDisplay()) {
        XUngrabPointer(display, CurrentTime);
        XFlush(display);
    }
}

}  // namespace vantelsor::ui
