// Qt's own texts (the standard buttons of message boxes, the edit boxes' context
// menus, the scroll bars' menus) in Chinese, the language of every text of the
// program, whatever the desktop's locale. User-interface thread, after the
// application object exists.
#pragma once

class QCoreApplication;

namespace vantelsor::ui {

// False when Qt's Chinese translations are not installed: Qt's texts then stay
// English.
bool InstallQtTranslations(QCoreApplication* app);

}  // namespace vantelsor::ui
