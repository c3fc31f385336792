#include "ui/console/CMainFrame.h"

#include <QAction>
#include <QApplication>
#include <QBitmap>
#include <QCloseEvent>
#include <QMenuBar>
#include <QProcess>
#include <QScreen>
#include <QToolBar>

#include "res/Strings.h"
#include "ui/support/MessageBox.h"
#include "ui/support/ReplyWait.h"
#include "ui/support/Resources.h"

namespace vantelsor::ui {
namespace {

QString Text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

constexpr int kMinimisedWidth = 800, kMinimisedHeight = 600;

// The toolbar image is drawn on magenta, which stands for transparent.
QIcon ToolbarIcon() {
    QPixmap image(QStringLiteral(":/vantelsor/toolbar.png"));
    image.setMask(image.createMaskFromColor(QColor(255, 0, 255)));
    return QIcon(image);
}

}  // namespace

CMainFrame::CMainFrame(NetSession& session, SessionInfo* info, EventSink* sink,
                       const ViewTiming& timing, QWidget* parent)
    : QMainWindow(parent), info_(info) {
    EnsureResources();
    setObjectName(QStringLiteral("mainFrame"));
    view_ = new CVantelsorView(session, info, sink, this, timing);
    view_->setObjectName(QStringLiteral("console"));
    setCentralWidget(view_);
    BuildMenus();
    BuildToolBar();
    setWindowTitle(TitleFor(*info));
    setWindowIcon(QIcon(QStringLiteral(":/vantelsor/vantelsor.png")));
    if (!info->maximized && info->width > 0 && info->height > 0) {
        move(info->left, info->top);
        resize(info->width, info->height);
    }
    ApplyTopmost();
    view_->setFocus();
}

CMainFrame::~CMainFrame() {
    SavePlacement();
    // The console stops before anything it borrows goes away.
    view_->Stop();
}

QString CMainFrame::TitleFor(const SessionInfo& info) {
    const QString user = QString::fromLocal8Bit(reinterpret_cast<const char*>(info.userName.data()),
                                                std::min<int>(info.userNameLength, 16));
    return Text(res::kAppTitle) + QLatin1Char(' ') + Text(res::kTitleUserLabel) + QLatin1Char(':') +
           user;
}

QAction* CMainFrame::AddAction(QMenu* menu, const char* name, const char* text, const char* prompt,
                               void (CMainFrame::*slot)()) {
    auto* a = menu->addAction(Text(text));
    a->setObjectName(QString::fromLatin1(name));
    if (prompt) a->setStatusTip(Text(prompt));
    connect(a, &QAction::triggered, this, slot);
    return a;
}

QAction* CMainFrame::AddViewAction(QMenu* menu, const char* name, const char* text,
                                   const char* prompt, void (CVantelsorView::*command)()) {
    auto* a = menu->addAction(Text(text));
    a->setObjectName(QString::fromLatin1(name));
    if (prompt) a->setStatusTip(Text(prompt));
    connect(a, &QAction::triggered, view_, command);
    return a;
}

void CMainFrame::BuildMenus() {
    QMenu* control = menuBar()->addMenu(Text(res::kMenuControl));
    AddViewAction(control, "takeControl", res::kMenuTakeControl, res::kPromptTakeControl,
                  &CVantelsorView::TakeControlRight);
    AddViewAction(control, "ctrlAltDel", res::kMenuCtrlAltDel, res::kPromptCtrlAltDel,
                  &CVantelsorView::SendCtrlAltDel);
    AddViewAction(control, "printScreen", res::kMenuPrintScreen, nullptr,
                  &CVantelsorView::SendPrintScreen);
    AddViewAction(control, "reboot", res::kMenuReboot, res::kPromptReboot, &CVantelsorView::Reboot);
    control->addSeparator();
    AddAction(control, "logout", res::kMenuLogout, res::kPromptLogout, &CMainFrame::AskLogout);
    AddAction(control, "exit", res::kMenuExit, res::kPromptExit, &CMainFrame::AskExit);

    // The administration dialogs come later; only the commands that work are here.
    QMenu* settings = menuBar()->addMenu(Text(res::kMenuSettings));
    AddViewAction(settings, "cursor", res::kMenuCursor, res::kPromptCursor,
                  &CVantelsorView::ChooseCursorMode);
    settings->addSeparator();
    auto* sync = AddViewAction(settings, "syncPointer", res::kMenuSyncPointer, nullptr,
                               &CVantelsorView::SyncPointer);
    sync->setToolTip(Text(res::kTooltipSyncPointer));
    sync->setIcon(ToolbarIcon());

    QMenu* view = viewMenu_ = menuBar()->addMenu(Text(res::kMenuView));
    topmostAction_ = AddAction(view, "topmost", res::kMenuAlwaysOnTop, res::kPromptAlwaysOnTop,
                               &CMainFrame::ToggleTopmost);
    topmostAction_->setCheckable(true);
    topmostAction_->setChecked(info_->topmost != 0);
    // The toolbar's own toggle is added once the toolbar exists.

    QMenu* help = menuBar()->addMenu(Text(res::kMenuHelp));
    AddViewAction(help, "about", res::kMenuAbout, res::kPromptAbout, &CVantelsorView::ShowAbout);

    // Ctrl+Alt+Down leaves the hidden-cursor mode; it has no menu item.
    auto* leave = new QAction(this);
    leave->setObjectName(QStringLiteral("leaveHiddenCursor"));
    leave->setShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Down));
    leave->setShortcutContext(Qt::WindowShortcut);
    connect(leave, &QAction::triggered, view_, &CVantelsorView::LeaveHiddenCursor);
    addAction(leave);
}

void CMainFrame::BuildToolBar() {
    toolBar_ = addToolBar(Text(res::kMenuToolbar));
    toolBar_->setObjectName(QStringLiteral("toolBar"));
    toolBar_->setIconSize(QSize(16, 15));
    toolBar_->addAction(action("syncPointer"));
    auto* toggle = toolBar_->toggleViewAction();
    toggle->setText(Text(res::kMenuToolbar));
    toggle->setObjectName(QStringLiteral("toolbarToggle"));
    viewMenu_->addAction(toggle);
}

QAction* CMainFrame::action(const char* name) const {
    return findChild<QAction*>(QString::fromLatin1(name));
}

void CMainFrame::ShowPlaced() {
    info_->maximized ? showMaximized() : show();
}

void CMainFrame::ApplyTopmost() {
    const bool visible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, info_->topmost != 0);
    if (visible) show();  // changing the flag hides the window
}

void CMainFrame::ToggleTopmost() {
    info_->topmost = info_->topmost ? 0 : 1;
    topmostAction_->setChecked(info_->topmost != 0);
    ApplyTopmost();
}

void CMainFrame::AskExit() {
    close();  // closeEvent asks
}

void CMainFrame::AskLogout() {
    if (!MessageBox::Question(this, res::kLogoutQuestion)) return;
    restartOnClose_ = true;
    CloseWithoutAsking();
}

void CMainFrame::ConnectionLost() {
    MessageBox::Information(this, res::kServerDisconnected);
    CloseWithoutAsking();
}

void CMainFrame::CloseWithoutAsking() {
    closeConfirmed_ = true;
    close();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    // While a reply is awaited the window must not go: the wait still uses it.
    if (ReplyWait::Active()) {
        event->ignore();
        return;
    }
    if (!closeConfirmed_ && !MessageBox::Question(this, res::kExitQuestion)) {
        event->ignore();
        return;
    }
    closeConfirmed_ = true;
    SavePlacement();
    if (restartOnClose_) {
        // The new instance shows its login dialog while this one finishes.
        QStringList arguments = QCoreApplication::arguments();
        arguments.removeFirst();
        QProcess::startDetached(QCoreApplication::applicationFilePath(), arguments);
    }
    event->accept();
}

void CMainFrame::SavePlacement() {
    if (placementSaved_) return;
    placementSaved_ = true;
    if (isMinimized()) {
        const QScreen* screen = QGuiApplication::primaryScreen();
        const QSize s = screen ? screen->size() : QSize(kMinimisedWidth, kMinimisedHeight);
        info_->left = (s.width() - kMinimisedWidth) / 2;
        info_->top = (s.height() - kMinimisedHeight) / 2;
        info_->width = kMinimisedWidth;
        info_->height = kMinimisedHeight;
    } else {
        const QRect frame = frameGeometry();
        info_->left = frame.left();
        info_->top = frame.top();
        info_->width = width();
        info_->height = height();
    }
    info_->maximized = isMaximized() ? 1 : 0;
}

}  // namespace vantelsor::ui
