// The application against a simulated device of the test's own: the login
// loop with its messages, the main window and its console, the geometry of
// the picture as the window changes size, the commands' questions, the loss
// of the operation right and of the connection.
#include <QApplication>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>

#include "RunProcess.h"
#include "TestAddress.h"
#include "net/AddressText.h"
#include "net/NetSession.h"
#include "settings/SettingsStore.h"
#include "sim/DeviceSim.h"
#include "ui/app/CVantelsorApp.h"
#include "ui/console/CMainFrame.h"
#include "ui/dialogs/KLoginDlg.h"
#include "ui/support/DeviceEventQueue.h"
#include "ui/support/MessageBox.h"
#include "ui/support/ReplyWait.h"
#include "ui/widgets/CCheckComboBox.h"
#include "ui/widgets/CCheckEdit.h"

using namespace vantelsor;
using namespace vantelsor::ui;

namespace vantelsor::test {
namespace {

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

QString Address() {
    return QString::fromStdString(AddressText(test::TestAddress()));
}

// Answers each login dialog that opens with the next of `passwords`; Cancel
// once they are used up.
class LoginDriver : public QObject {
  public:
    explicit LoginDriver(QStringList passwords) : passwords_(std::move(passwords)) {
        timer_.setInterval(20);
        connect(&timer_, &QTimer::timeout, this, &LoginDriver::Poll);
        timer_.start();
    }
    int dialogs = 0;

  private:
    void Poll() {
        auto* dialog = qobject_cast<KLoginDlg*>(QApplication::activeModalWidget());
        if (!dialog || dialog == last_) return;
        last_ = dialog;
        ++dialogs;
        if (passwords_.isEmpty()) {
            dialog->reject();
            return;
        }
        dialog->Fill(QStringLiteral("admin"), passwords_.takeFirst(), Address());
        dialog->accept();
    }
    QStringList passwords_;
    QTimer timer_;
    QPointer<KLoginDlg> last_;
};

}  // namespace
}  // namespace vantelsor::test

using namespace vantelsor::test;

class AppTest : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        boxes_.clear();
        answer_ = true;
        timing_ = ViewTiming{};
        MessageBox::SetInterceptor([this](const BoxRecord& r) {
            boxes_.push_back(r);
            return answer_;
        });
        config_ = sim::SimConfig{};
        config_.listenAddress = test::TestAddress();
    }

    void cleanup() {
        app_.reset();
        device_.reset();
        MessageBox::SetInterceptor(nullptr);
    }

    void refusedLoginBringsTheDialogBack() {
        StartDevice();
        LoginDriver driver({QStringLiteral("wrongpass"), QStringLiteral("admin123")});
        QVERIFY(StartApp());
        QCOMPARE(driver.dialogs, 2);
        QCOMPARE(boxes_.size(), size_t(1));
        QCOMPARE(boxes_[0].text, U("用户名或密码错误！"));
        QCOMPARE(boxes_[0].caption, U("错误"));
        CMainFrame* frame = app_->mainFrame();
        QVERIFY(frame);
        QCOMPARE(frame->windowTitle(), U("IP KVM控制软件 当前登录用户:admin"));
        // Two connections: the refused attempt's session was discarded.
        QCOMPARE(device_->Status().loggedIn, 1);

        app_->ExitInstance();
        QVERIFY(device_->WaitForTrace(
            [](const sim::TraceEntry& e) {
                return e.type == 0xAA && e.bytes.size() == 36 && e.bytes[35] == 2;
            },
            5000));
    }

    void cancelledLoginEndsWithoutLogout() {
        StartDevice();
        LoginDriver driver({});
        QVERIFY(!StartApp());
        QVERIFY(boxes_.empty());
        QCOMPARE(device_->Status().openConnections, 0);
    }

    void failedConnectionEndsTheProgram() {
        // Nothing listens on the test's address.
        LoginDriver driver({QStringLiteral("admin123")});
        QVERIFY(!StartApp());
        QCOMPARE(boxes_.size(), size_t(1));
        QCOMPARE(boxes_[0].text, U("连接服务器端超时或出错！"));
        QCOMPARE(boxes_[0].caption, U("错误"));
    }

    void consoleGeometryFollowsTheWindow() {
        config_.screenWidth = 640;
        config_.screenHeight = 480;
        StartDevice();
        LoginDriver driver({QStringLiteral("admin123")});
        QVERIFY(StartApp());
        CVantelsorView* view = app_->mainFrame()->view();
        QTRY_VERIFY_WITH_TIMEOUT(view->painted() > 0, 15000);

        // Larger than the picture: centred, no scroll bars.
        app_->mainFrame()->resize(1000, 800);
        QTRY_VERIFY_WITH_TIMEOUT(Centred(view), 10000);
        QVERIFY(!view->horizontalScrollBar()->isVisible());
        QVERIFY(!view->verticalScrollBar()->isVisible());

        // Smaller: the picture fills the window and the bars scroll it.
        app_->mainFrame()->resize(400, 300);
        QTRY_VERIFY_WITH_TIMEOUT(view->horizontalScrollBar()->isVisible(), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(view->verticalScrollBar()->isVisible(), 10000);
        const QSize client = view->viewport()->size();
        QCOMPARE(view->horizontalScrollBar()->maximum(), 640 - client.width());
        QCOMPARE(view->verticalScrollBar()->maximum(), 480 - client.height());
        QCOMPARE(view->horizontalScrollBar()->pageStep(), client.width());

        // To the right end, then wider: the window never shows past the
        // picture's right edge, which stays at the window's.
        view->horizontalScrollBar()->triggerAction(QAbstractSlider::SliderToMaximum);
        QCOMPARE(view->layout().scrollX, 640 - client.width());
        view->horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(view->layout().scrollX, 640 - client.width());
        app_->mainFrame()->resize(500, 300);
        QTRY_VERIFY_WITH_TIMEOUT(
            view->layout().scrollX == 640 - view->viewport()->width() &&
                view->layout().pictureRect.width() == view->viewport()->width(),
            10000);
        view->horizontalScrollBar()->triggerAction(QAbstractSlider::SliderToMinimum);
        QCOMPARE(view->layout().scrollX, 0);
        view->horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
        QCOMPARE(view->layout().scrollX, 0);
    }

    void stalePictureTurnsBlack() {
        StartDevice();
        LoginDriver driver({QStringLiteral("admin123")});
        timing_.session.stalePictureMs = 800;
        timing_.staleCheckMs = 100;
        QVERIFY(StartApp());
        CVantelsorView* view = app_->mainFrame()->view();
        QTRY_VERIFY_WITH_TIMEOUT(view->showingPicture(), 15000);
        // Every datagram lost from now on: no picture comes any more.
        sim::VideoFaults silence;
        silence.loss = 1.0;
        device_->Video().SetFaults(silence);
        QTRY_VERIFY_WITH_TIMEOUT(!view->showingPicture(), 10000);
        const QImage shown = view->viewport()->grab().toImage();
        QCOMPARE(shown.pixel(shown.width() / 2, shown.height() / 2), qRgb(0, 0, 0));
    }

    void exitQuestion() {
        StartDevice();
        LoginDriver driver({QStringLiteral("admin123")});
        QVERIFY(StartApp());
        CMainFrame* frame = app_->mainFrame();
        answer_ = false;
        frame->action("exit")->trigger();
        QCOMPARE(boxes_.back().text, U("确定要退出吗？"));
        QCOMPARE(boxes_.back().caption, U("信息"));
        QVERIFY(boxes_.back().kind == BoxKind::kQuestion);
        QVERIFY(frame->isVisible());
        // The window's close button asks the same.
        frame->close();
        QCOMPARE(boxes_.size(), size_t(2));
        QVERIFY(frame->isVisible());
        answer_ = true;
        frame->close();
        QVERIFY(!frame->isVisible());
        QVERIFY(!frame->restartOnClose());
    }

    void placementIsSavedAtExit() {
        StartDevice();
        LoginDriver driver({QStringLiteral("admin123")});
        QVERIFY(StartApp());
        CMainFrame* frame = app_->mainFrame();
        frame->action("topmost")->trigger();
        QVERIFY(frame->action("topmost")->isChecked());
        QVERIFY(frame->windowFlags() & Qt::WindowStaysOnTopHint);
        frame->showMinimized();
        QTRY_VERIFY(frame->isMinimized());
        frame->close();  // answered Yes
        app_->ExitInstance();

        SettingsStore saved;
        saved.SetFilePath(dir_->filePath(QStringLiteral("config.ini")).toStdString());
        const QSize screen = QGuiApplication::primaryScreen()->size();
        QCOMPARE(saved.GetWidth(), 800);
        QCOMPARE(saved.GetHeight(), 600);
        QCOMPARE(saved.GetLeft(), (screen.width() - 800) / 2);
        QCOMPARE(saved.GetTop(), (screen.height() - 600) / 2);
        QCOMPARE(saved.GetTopmost(), 1);
        QCOMPARE(saved.GetMaximized(), 0);
        std::vector<std::string> users;
        saved.LoadRecentUsers(&users);
        QCOMPARE(users.front(), std::string("admin"));
    }

    void logoutQuestion() {
        StartDevice();
        LoginDriver driver({QStringLiteral("admin123")});
        QVERIFY(StartApp());
        CMainFrame* frame = app_->mainFrame();
        answer_ = false;
        frame->AskLogout();
        QCOMPARE(boxes_.back().text, U("确定要注销当前用户吗？"));
        QVERIFY(frame->isVisible());
        QVERIFY(!frame->restartOnClose());
    }

    void rebootQuestion() {
        StartDevice();
        LoginDriver driver({QStringLiteral("admin123")});
        QVERIFY(StartApp());
        answer_ = false;
        app_->mainFrame()->action("reboot")->trigger();
        QCOMPARE(boxes_.back().text, U("即将重启前端备，确认吗？"));
        QCOMPARE(boxes_.back().caption, U("警告"));
        QVERIFY(boxes_.back().kind == BoxKind::kWarningQuestion);
        // Print Screen goes out after the declined question on the same connection, and
        // the device drops everything sent after a reboot request: once its keys are
        // in, a reboot request from the question would have been too.
        app_->mainFrame()->action("printScreen")->trigger();
        QVERIFY(device_->WaitForTrace(
            [](const sim::TraceEntry& e) { return e.type == 0xE8 || e.type == 0xE9; }, 5000));
        QCOMPARE(device_->Status().reboots, 0);
        answer_ = true;
        app_->mainFrame()->action("reboot")->trigger();
        QVERIFY(
            device_->WaitForTrace([](const sim::TraceEntry& e) { return e.type == 0xB0; }, 5000));
    }

    void controlRightTakenAway() {
        StartDevice();
        LoginDriver driver({QStringLiteral("admin123")});
        QVERIFY(StartApp());
        QCOMPARE(app_->login()->info()->hasControlRight.load(), 1);
        const auto other = test::RunProcess(
            VANTELSORCTL_PATH, {"--device", AddressText(test::TestAddress()), "--user", "user",
                                "--password", "user1234", "take-control"});
        QCOMPARE(other.exitCode, 0);
        QTRY_VERIFY_WITH_TIMEOUT(!boxes_.empty(), 10000);
        QCOMPARE(boxes_.back().text, U("操作权已经失去，无法再继续操作！"));
        QCOMPARE(boxes_.back().caption, U("信息"));
        QCOMPARE(app_->login()->info()->hasControlRight.load(), 0);
        QVERIFY(device_->WaitForTrace(
            [](const sim::TraceEntry& e) { return e.type == 0xAF && e.connection == 1; }, 5000));

        // Taking it back works through the menu.
        app_->mainFrame()->action("takeControl")->trigger();
        QCOMPARE(boxes_.back().text, U("成功获取操作权！"));
        QCOMPARE(app_->login()->info()->hasControlRight.load(), 1);
    }

    void connectionLostEndsTheProgram() {
        StartDevice();
        LoginDriver driver({QStringLiteral("admin123")});
        timing_.session.heartbeatPeriodMs = 200;
        timing_.session.heartbeatVerdictMs = 500;
        timing_.session.heartbeatPollMs = 20;
        QVERIFY(StartApp());
        CMainFrame* frame = app_->mainFrame();
        device_->Stop();
        QTRY_VERIFY_WITH_TIMEOUT(!boxes_.empty(), 15000);
        QCOMPARE(boxes_.back().text, U("服务器断开，程序退出!"));
        QCOMPARE(boxes_.back().caption, U("信息"));
        QVERIFY(!frame->isVisible());
        QCOMPARE(boxes_.size(), size_t(1));  // no exit question
    }

    void waitKeepsThePictureMovingAndHoldsEventsBack() {
        config_.faults.delayMs[0xA9] = 1500;
        StartDevice();
        LoginDriver driver({QStringLiteral("admin123")});
        QVERIFY(StartApp());
        CVantelsorView* view = app_->mainFrame()->view();
        QTRY_VERIFY_WITH_TIMEOUT(view->painted() > 0, 15000);

        // Device events posted during the wait are handled after it, in order.
        DeviceEventQueue queue;
        std::vector<uint32_t> handled;
        bool handledDuringWait = false;
        queue.SetHandler([&](DeviceEvent, uint32_t param) {
            handled.push_back(param);
            handledDuringWait = handledDuringWait || ReplyWait::Active();
        });
        const uint32_t paintedBefore = view->painted();
        uint32_t paintedDuringWait = 0;
        QTimer probe;
        connect(&probe, &QTimer::timeout, [&] {
            if (ReplyWait::Active()) paintedDuringWait = view->painted();
        });
        probe.start(50);
        queue.Post(DeviceEvent::kLockKeysDiffer, 1);
        ReplyWait::Run([&] {
            queue.Post(DeviceEvent::kLockKeysDiffer, 2);
            QThread::msleep(200);
            queue.Post(DeviceEvent::kLockKeysDiffer, 3);
        });
        // The reply to the operation-right request comes 1.5 s late.
        app_->mainFrame()->action("takeControl")->trigger();
        QCOMPARE(boxes_.back().text, U("成功获取操作权！"));
        QVERIFY2(paintedDuringWait > paintedBefore + 5, "the picture stood still during the wait");
        QTRY_COMPARE(handled.size(), size_t(3));
        QCOMPARE(handled, (std::vector<uint32_t>{1, 2, 3}));
        QVERIFY(!handledDuringWait);
    }

    // Events that come before there is a handler (a connection lost while the main
    // window is being built) are kept and handed to the handler when it is set.
    void eventsBeforeTheHandlerAreKeptForIt() {
        DeviceEventQueue queue;
        queue.Post(DeviceEvent::kConnectionLost, 7);
        queue.Post(DeviceEvent::kLockKeysDiffer, 8);
        QCoreApplication::processEvents();
        std::vector<std::pair<DeviceEvent, uint32_t>> handled;
        queue.SetHandler([&](DeviceEvent e, uint32_t param) { handled.emplace_back(e, param); });
        QVERIFY2(handled.empty(), "handed over through the event queue, not inside SetHandler");
        queue.Post(DeviceEvent::kControlRightLost, 9);
        QTRY_COMPARE(handled.size(), size_t(3));
        QVERIFY(handled[0] == std::make_pair(DeviceEvent::kConnectionLost, 7u));
        QVERIFY(handled[1] == std::make_pair(DeviceEvent::kLockKeysDiffer, 8u));
        QVERIFY(handled[2] == std::make_pair(DeviceEvent::kControlRightLost, 9u));
    }

  private:
    void StartDevice() {
        device_ = std::make_unique<sim::DeviceSim>(config_);
        QVERIFY2(device_->Start(), device_->StartError().c_str());
    }

    bool StartApp() {
        AppOptions options;
        options.settingsPath = dir_->filePath(QStringLiteral("config.ini"));
        options.timing = timing_;
        options.timing.session.replyTimeoutMs = 3000;
        app_ = std::make_unique<CVantelsorApp>(options);
        return app_->InitInstance();
    }

    static bool Centred(CVantelsorView* view) {
        const PictureLayout l = view->layout();
        const QSize c = view->viewport()->size();
        return l.pictureRect.left == (c.width() - 640) / 2 &&
               l.pictureRect.top == (c.height() - 480) / 2 && l.pictureRect.width() == 640 &&
               l.scrollX == 0 && l.scrollY == 0;
    }

    std::unique_ptr<QTemporaryDir> dir_;
    sim::SimConfig config_;
    ViewTiming timing_;
    std::unique_ptr<sim::DeviceSim> device_;
    std::unique_ptr<CVantelsorApp> app_;
    std::vector<BoxRecord> boxes_;
    bool answer_ = true;
};

QTEST_MAIN(AppTest)
#include "AppTest.moc"
