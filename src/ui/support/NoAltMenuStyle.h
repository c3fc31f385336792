// The application's style with Alt-key menu activation switched off: Alt and
// Alt combinations typed into the console belong to the target, so the menu
// bar must not take the focus when Alt is pressed and released.
#pragma once

#include <QProxyStyle>

namespace vantelsor::ui {

class NoAltMenuStyle : public QProxyStyle {
    Q_OBJECT

  public:
    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint hint, const QStyleOption* option = nullptr,
                  const QWidget* widget = nullptr,
                  QStyleHintReturn* returnData = nullptr) const override;
};

}  // namespace vantelsor::ui
