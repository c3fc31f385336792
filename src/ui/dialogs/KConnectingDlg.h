// "正在连接，请稍后..." while a worker thread opens the control connection. The
// window stays painted and its Cancel button works while the connect blocks;
// Cancel aborts the connect. User-interface thread.
#pragma once

#include <QDialog>
#include <functional>

#include "ui/support/WorkerRun.h"

namespace vantelsor::ui {

class KConnectingDlg : public QDialog {
    Q_OBJECT

  public:
    enum Result { kConnected = 0, kCancelled = 1, kFailed = 2 };

    // `connect` runs on the worker thread and blocks until connected (true) or
    // failed; `abort` is called from this thread to make it fail at once.
    KConnectingDlg(std::function<bool()> connectFn, std::function<void()> abortFn,
                   QWidget* parent = nullptr);

    // Shows the window, connects and closes the window again.
    Result Run();
    // What the Cancel button does: only notes the wish.
    void Cancel();

  Q_SIGNALS:
    // The worker started (for tests that cancel at once).
    void started();

  protected:
    void reject() override { Cancel(); }  // Escape and the close button cancel too

  private:
    std::function<bool()> connect_;
    std::function<void()> abort_;
    WorkerRun worker_{WorkerRun::Input::kLiveInput};
};

}  // namespace vantelsor::ui
