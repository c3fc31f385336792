#include "ui/support/NoAltMenuStyle.h"

namespace vantelsor::ui {

int NoAltMenuStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                              QStyleHintReturn* returnData) const {
    if (hint == QStyle::SH_MenuBar_AltKeyNavigation) return 0;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

}  // namespace vantelsor::ui
