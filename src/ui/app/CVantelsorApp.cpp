#include "ui/app/CVantelsorApp.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>

#include "net/NetSession.h"
#include "platform/FirewallAuthorizer.h"
#include "res/Strings.h"
#include "settings/SettingsPath.h"
#include "settings/SettingsStore.h"
#include "ui/console/CMainFrame.h"
#include "ui/dialogs/KConnectingDlg.h"
#include "ui/dialogs/KLoginDlg.h"
#include "ui/support/DeviceEventQueue.h"
#include "ui/support/MessageBox.h"
#include "ui/support/ReplyWait.h"

namespace vantelsor::ui {
namespace {

constexpr const char* kFirewallName = "Vantelsor";

ScreenSize PrimaryScreenSize() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return {800, 600};
    return {screen->size().width(), screen->size().height()};
}

}  // namespace

CVantelsorApp::CVantelsorApp(AppOptions options) : options_(std::move(options)) {}

CVantelsorApp::~CVantelsorApp() {
    ExitInstance();
}

bool CVantelsorApp::InitInstance() {
    // Linux needs no firewall change (there are no objects); the step stays for
    // platforms that do.
    auto firewall = PlatformFirewallObjects();
    AuthorizeAtStartup(firewall.get(), OsVersion{},
                       QCoreApplication::applicationFilePath().toStdString(), kFirewallName);

    settings_ = std::make_unique<SettingsStore>();
    settings_->SetFilePath(options_.settingsPath.isEmpty() ? DefaultSettingsPath()
                                                           : options_.settingsPath.toStdString());
    settings_->SetScreenSizeProvider(PrimaryScreenSize);

    events_ = std::make_unique<DeviceEventQueue>();
    login_ = std::make_unique<LoginSequence>(settings_.get(), options_.timing.session);
    // From the start: the heartbeat starts with the accepted login, and a loss it
    // notices before the main window exists is kept until the window handles it.
    login_->SetEventSink(events_.get());
    for (;;) {
        const Attempt attempt = LoginOnce();
        if (attempt == Attempt::kEnd) return false;
        if (attempt == Attempt::kAccepted) break;
    }

    frame_ = std::make_unique<CMainFrame>(login_->session(), login_->info(), events_.get(),
                                          options_.timing);
    events_->SetHandler([this](DeviceEvent event, uint32_t param) {
        if (!frame_) return;
        switch (event) {
            case DeviceEvent::kConnectionLost:
                frame_->ConnectionLost();
                break;
            case DeviceEvent::kControlRightLost:
                frame_->view()->ControlRightLost();
                break;
            case DeviceEvent::kLockKeysDiffer:
                frame_->view()->LockKeysDiffer(param);
                break;
        }
    });
    frame_->ShowPlaced();
    frame_->view()->Start();
    return true;
}

CVantelsorApp::Attempt CVantelsorApp::LoginOnce() {
    KLoginDlg dialog(settings_.get());
    if (!options_.presetAddress.isEmpty()) {
        dialog.Fill(options_.presetUser, options_.presetPassword, options_.presetAddress);
    }
    if (dialog.exec() != QDialog::Accepted) return Attempt::kEnd;

    LoginSequence* login = login_.get();
    const uint32_t address = dialog.deviceAddress();
    KConnectingDlg connecting([login, address] { return login->Connect(address); },
                              [login] { login->CancelConnect(); });
    const auto connected = connecting.Run();
    if (connected == KConnectingDlg::kCancelled) return Attempt::kEnd;
    if (connected == KConnectingDlg::kFailed) {
        MessageBox::Error(nullptr, res::kConnectFailed);
        return Attempt::kEnd;
    }
    login->RememberAddress(address);

    Credentials credentials;
    credentials.deviceAddress = address;
    credentials.encryptionFlags = dialog.encryptionFlags();
    credentials.user = dialog.userName().toLocal8Bit().toStdString();
    credentials.password = dialog.password().toLocal8Bit().toStdString();
    // The dialog stays up and painted while the three replies are awaited.
    dialog.show();
    LoginResult result = LoginResult::kRefused;
    ReplyWait::Run([&] { result = login->Login(credentials); });
    dialog.hide();
    if (result == LoginResult::kAccepted) {
        login->AdoptAcceptedLogin();
        return Attempt::kAccepted;
    }
    if (const char* message = LoginResultMessage(result)) MessageBox::Error(nullptr, message);
    return IsRefusal(result) ? Attempt::kRetry : Attempt::kEnd;
}

void CVantelsorApp::ExitInstance() {
    if (exited_) return;
    exited_ = true;
    // The console stops first: its threads send on the connection. The window
    // then puts its placement into the session record, which the login
    // sequence writes to the settings as it ends.
    if (events_) events_->SetHandler(nullptr);
    if (frame_) frame_->view()->Stop();
    frame_.reset();
    if (login_) {
        login_->SetEventSink(nullptr);
        login_->Exit();
    }
    login_.reset();
    events_.reset();
    settings_.reset();
}

}  // namespace vantelsor::ui
