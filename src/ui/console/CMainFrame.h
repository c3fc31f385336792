// The main window around the console: menus and the one-button toolbar, the
// title with the logged-in user, placement and always-on-top, the exit and
// logout questions, the restart after a logout and the end of the program
// when the device connection is lost. User-interface thread.
#pragma once

#include <QMainWindow>

#include "session/SessionInfo.h"
#include "ui/console/CVantelsorView.h"

class QAction;
class QToolBar;

namespace vantelsor::ui {

class CMainFrame : public QMainWindow {
    Q_OBJECT

  public:
    // `info` and the session must outlive the frame.
    CMainFrame(NetSession& session, SessionInfo* info, EventSink* sink,
               const ViewTiming& timing = {}, QWidget* parent = nullptr);
    ~CMainFrame() override;

    CVantelsorView* view() const { return view_; }
    // The title: "IP KVM控制软件 当前登录用户:NAME".
    static QString TitleFor(const SessionInfo& info);

    // Shows the window as the saved placement says (maximised or not).
    void ShowPlaced();

    // Device events.
    void ConnectionLost();

    // Commands.
    void AskExit();
    void AskLogout();
    void ToggleTopmost();

    bool restartOnClose() const { return restartOnClose_; }
    QAction* action(const char* name) const;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildMenus();
    void BuildToolBar();
    void ApplyTopmost();
    void SavePlacement();
    void CloseWithoutAsking();
    QAction* AddAction(QMenu* menu, const char* name, const char* text, const char* prompt,
                       void (CMainFrame::*slot)());
    QAction* AddViewAction(QMenu* menu, const char* name, const char* text, const char* prompt,
                           void (CVantelsorView::*command)());

    SessionInfo* info_;
    CVantelsorView* view_;
    QToolBar* toolBar_ = nullptr;
    QAction* topmostAction_ = nullptr;
    QMenu* viewMenu_ = nullptr;
    bool restartOnClose_ = false;
    bool closeConfirmed_ = false;
    bool placementSaved_ = false;
};

}  // namespace vantelsor::ui
