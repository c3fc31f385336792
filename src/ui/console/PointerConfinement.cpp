#include "ui/console/PointerConfinement.h"

#include <QCursor>
#include <algorithm>

namespace vantelsor::ui {

void PointerConfinement::Confine(QWidget* widget) {
    if (x11Grab_) UngrabX11();
    widget_ = widget;
    x11Grab_ = GrabX11(widget);
    if (!x11Grab_) KeepInside(QCursor::pos());
}

void PointerConfinement::Release() {
    if (x11Grab_) UngrabX11();
    x11Grab_ = false;
    widget_ = nullptr;
}

bool PointerConfinement::KeepInside(const QPoint& globalPosition) {
    if (!widget_ || x11Grab_) return false;
    const QRect area(widget_->mapToGlobal(QPoint(0, 0)), widget_->size());
    const QPoint inside(std::clamp(globalPosition.x(), area.left(), area.right()),
                        std::clamp(globalPosition.y(), area.top(), area.bottom()));
    if (inside == globalPosition) return false;
    QCursor::setPos(inside);
    return true;
}

}  // namespace vantelsor::ui
