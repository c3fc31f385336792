// The program's start and end: the firewall step, the settings file, the
// login loop (login dialog, connecting dialog, the login exchange; a refused
// login comes back to the dialog with a fresh session), the main window, and
// at exit the logout record, the end of the heartbeat and the session, and
// the placement and cursor mode written back. User-interface thread.
#pragma once

#include <QString>
#include <memory>

#include "session/LoginSequence.h"
#include "settings/SettingsStore.h"
#include "ui/console/CVantelsorView.h"

namespace vantelsor::ui {

class CMainFrame;
class DeviceEventQueue;

struct AppOptions {
    QString settingsPath;  // empty: the default place
    // Fills in the login dialog (the demo device).
    QString presetUser, presetPassword, presetAddress;
    ViewTiming timing;
};

class CVantelsorApp {
  public:
    explicit CVantelsorApp(AppOptions options);
    ~CVantelsorApp();  // ExitInstance if nobody called it

    // True when the main window is up; false ends the program at once.
    bool InitInstance();
    void ExitInstance();

    CMainFrame* mainFrame() const { return frame_.get(); }
    LoginSequence* login() const { return login_.get(); }

  private:
    enum class Attempt { kAccepted, kRetry, kEnd };
    Attempt LoginOnce();

    AppOptions options_;
    // Owned here for the program's life; the login sequence and the dialogs borrow it.
    std::unique_ptr<SettingsStore> settings_;
    std::unique_ptr<DeviceEventQueue> events_;
    std::unique_ptr<LoginSequence> login_;
    std::unique_ptr<CMainFrame> frame_;
    bool exited_ = false;
};

}  // namespace vantelsor::ui
