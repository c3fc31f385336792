#include "ui/support/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace vantelsor::ui {

bool InstallQtTranslations(QCoreApplication* app) {
    // Owned by the application, which keeps it for its lifetime.
    auto* translator = new QTranslator(app);
    const bool loaded =
        translator->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                         QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (!loaded || !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    return true;
}

}  // namespace vantelsor::ui
