// Keeps the local pointer inside the console while the local cursor is hidden.
// On X11 an active pointer grab confined to the console's native window; where
// that is not available (another platform, the grab refused) the pointer is
// warped back whenever it leaves. User-interface thread.
#pragma once

#include <QPointer>
#include <QWidget>

namespace vantelsor::ui {

class PointerConfinement {
  public:
    ~PointerConfinement() { Release(); }

    // Confines to `widget`'s area (again, after a resize).
    void Confine(QWidget* widget);
    void Release();
    bool active() const { return widget_ != nullptr; }
    // The fallback: called with each pointer move over the widget; warps a
    // pointer outside the area back to its edge. True when it warped.
    bool KeepInside(const QPoint& globalPosition);

  private:
    bool GrabX11(QWidget* widget);
    void UngrabX11();

    QPointer<QWidget> widget_;
    bool x11Grab_ = false;
};

}  // namespace vantelsor::ui
