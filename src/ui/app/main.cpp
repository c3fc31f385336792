// vantelsor: the desktop console client.
#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <cstdio>

#include "ui/app/CVantelsorApp.h"
#include "ui/app/DemoDevice.h"
#include "ui/support/NoAltMenuStyle.h"
#include "ui/support/Resources.h"
#include "ui/support/Translations.h"

namespace {

QString Latin1(const char* text) {
    return QString::fromLatin1(text);
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    vantelsor::ui::EnsureResources();
    QApplication::setApplicationName(Latin1("vantelsor"));
    QApplication::setApplicationVersion(Latin1(VANTELSOR_VERSION));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/vantelsor/vantelsor.png")));
    QApplication::setStyle(new vantelsor::ui::NoAltMenuStyle);
    // The console window stays the program's last window until it closes.
    QApplication::setQuitOnLastWindowClosed(true);

    QCommandLineParser parser;
    parser.setApplicationDescription(Latin1("IP KVM console client"));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption demo(
        Latin1("demo"),
        Latin1("Start a simulated device inside the client and open the login dialog "
               "filled in for it."));
    const QCommandLineOption settings(Latin1("settings"),
                                      Latin1("Keep the settings in FILE instead of config.ini."),
                                      Latin1("FILE"));
    parser.addOption(demo);
    parser.addOption(settings);
    parser.process(app);
    // After the command line: --help and --version stay in one language.
    vantelsor::ui::InstallQtTranslations(&app);

    vantelsor::ui::AppOptions options;
    options.settingsPath = parser.value(settings);
    vantelsor::ui::DemoDevice device;
    if (parser.isSet(demo)) {
        if (!device.Start()) {
            std::fprintf(stderr, "vantelsor: the demo device cannot start: %s\n",
                         device.error().toLocal8Bit().constData());
            return 1;
        }
        options.presetUser = Latin1(vantelsor::ui::DemoDevice::kUser);
        options.presetPassword = Latin1(vantelsor::ui::DemoDevice::kPassword);
        options.presetAddress = device.address();
    }

    vantelsor::ui::CVantelsorApp vantelsorApp(options);
    if (!vantelsorApp.InitInstance()) {
        vantelsorApp.ExitInstance();
        return 0;
    }
    const int result = QApplication::exec();
    vantelsorApp.ExitInstance();
    return result;
}
