// The console's pointer mapping as the real view computes it from mouse events:
// a console logged in to a simulated device of the test's own shows its screen,
// mouse moves and presses go through the view's input path, and where the view
// points the target equals the core geometry's answer for the view's layout
// (and the pixel that layout puts under the point), centred and scrolled.
#include <QApplication>
#include <QMouseEvent>
#include <QScrollBar>
#include <QtTest>
#include <memory>
#include <optional>
#include <vector>

#include "TestAddress.h"
#include "session/LoginSequence.h"
#include "sim/DeviceSim.h"
#include "ui/console/CVantelsorView.h"
#include "video/ConsoleGeometry.h"

using namespace vantelsor;
using namespace vantelsor::ui;

namespace vantelsor::test {
namespace {

constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;
constexpr int kSentinel = -12345;  // no target position set

class IgnoringSink : public EventSink {
  public:
    void Post(DeviceEvent, uint32_t) override {}
};

// One window point, where the geometry puts it on the target's screen (null
// when it is off the picture), independently of the code under test.
struct Probe {
    QPoint point;
    std::optional<QPoint> target;
};

}  // namespace
}  // namespace vantelsor::test

using namespace vantelsor::test;

class PointerMappingTest : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void init() {
        sim::SimConfig config;
        config.listenAddress = TestAddress();
        config.screenWidth = kScreenWidth;
        config.screenHeight = kScreenHeight;
        device_ = std::make_unique<sim::DeviceSim>(config);
        QVERIFY2(device_->Start(), device_->StartError().c_str());
        login_ = std::make_unique<LoginSequence>(nullptr);
        QVERIFY(login_->Connect(config.listenAddress));
        Credentials c;
        c.deviceAddress = config.listenAddress;
        c.user = "admin";
        c.password = "admin123";
        QVERIFY(login_->Login(c) == LoginResult::kAccepted);
        login_->info()->localCursorOn = 1;  // the shown cursor: nothing is confined
        ViewTiming timing;
        timing.input.pointerStepMs = 1;  // the start's homing, quickly
        view_ = std::make_unique<CVantelsorView>(login_->session(), login_->info(), &sink_, nullptr,
                                                 timing);
        view_->show();
        QVERIFY(view_->Start());
        QTRY_VERIFY_WITH_TIMEOUT(view_->painted() > 0, 15000);
    }

    void cleanup() {
        view_.reset();
        if (login_) login_->Exit();
        login_.reset();
        device_.reset();
    }

    void centredPicture() {
        view_->resize(1000, 800);
        // The window system resizes a top-level window in its own time.
        QTRY_VERIFY_WITH_TIMEOUT(view_->viewport()->width() > kScreenWidth &&
                                     view_->viewport()->height() > kScreenHeight &&
                                     Settled(Centred()),
                                 10000);
        const QSize client = view_->viewport()->size();
        const int left = (client.width() - kScreenWidth) / 2;
        const int top = (client.height() - kScreenHeight) / 2;
        Check({
            {{left, top}, QPoint(0, 0)},
            {{left + 639, top + 479}, QPoint(639, 479)},
            {{left + 100, top + 37}, QPoint(100, 37)},
            {{left - 1, top + 10}, std::nullopt},
            {{left + 10, top - 1}, std::nullopt},
            {{left + 640, top + 10}, std::nullopt},
            {{left + 10, top + 480}, std::nullopt},
        });
    }

    void scrolledPicture() {
        view_->resize(400, 300);
        QTRY_VERIFY_WITH_TIMEOUT(
            view_->horizontalScrollBar()->isVisible() && view_->verticalScrollBar()->isVisible(),
            10000);
        QTRY_VERIFY_WITH_TIMEOUT(Settled(QRect(QPoint(0, 0), view_->viewport()->size())), 10000);
        const QSize client = view_->viewport()->size();
        view_->horizontalScrollBar()->triggerAction(QAbstractSlider::SliderToMaximum);
        view_->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        view_->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        const int scrollX = kScreenWidth - client.width();
        const int scrollY = 2 * kScrollLinePixels;
        QCOMPARE(view_->layout().scrollX, scrollX);
        QCOMPARE(view_->layout().scrollY, scrollY);
        const int right = client.width() - 1, bottom = client.height() - 1;
        Check({
            {{0, 0}, QPoint(scrollX, scrollY)},
            {{right, bottom}, QPoint(kScreenWidth - 1, bottom + scrollY)},
            {{17, 23}, QPoint(17 + scrollX, 23 + scrollY)},
        });
    }

  private:
    // Where the picture sits centred in the viewport as it is now.
    QRect Centred() const {
        const QSize client = view_->viewport()->size();
        return {(client.width() - kScreenWidth) / 2, (client.height() - kScreenHeight) / 2,
                kScreenWidth, kScreenHeight};
    }

    // The layout holds the picture at `picture` in the viewport's client area.
    bool Settled(const QRect& picture) const {
        const PictureLayout l = view_->layout();
        const QSize client = view_->viewport()->size();
        return l.clientRect == Rect{0, 0, client.width(), client.height()} &&
               l.pictureRect ==
                   Rect{picture.left(), picture.top(), picture.right() + 1, picture.bottom() + 1} &&
               l.pictureWidth == kScreenWidth && l.pictureHeight == kScreenHeight;
    }

    QPoint Target() const {
        PointerMover& p = view_->input().pointer();
        return {p.targetX.load(), p.targetY.load()};
    }

    QByteArray Mismatch(const char* what, const QByteArray& where, const QPoint& expected) const {
        const QPoint t = Target();
        return QByteArray(what) + " at " + where + ": target " + QByteArray::number(t.x()) + "," +
               QByteArray::number(t.y()) + ", expected " + QByteArray::number(expected.x()) + "," +
               QByteArray::number(expected.y());
    }

    void ResetTarget() {
        PointerMover& p = view_->input().pointer();
        p.targetX = kSentinel;
        p.targetY = kSentinel;
    }

    void Send(QEvent::Type type, const QPoint& at, Qt::MouseButton button) {
        QWidget* viewport = view_->viewport();
        const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? button : Qt::NoButton;
        QMouseEvent event(type, QPointF(at), QPointF(viewport->mapToGlobal(at)), button, held,
                          Qt::NoModifier);
        QApplication::sendEvent(viewport, &event);
    }

    // Moves to and presses at each point: the view sets the target position
    // exactly where the core geometry maps the point, and only over the picture.
    void Check(const std::vector<Probe>& probes) {
        PointerMover& pointer = view_->input().pointer();
        for (const Probe& probe : probes) {
            const QPoint p = probe.point;
            const QByteArray where = QByteArray::number(p.x()) + "," + QByteArray::number(p.y());
            const PictureLayout layout = view_->layout();
            const bool over = OverPicture(layout, p.x(), p.y());
            QVERIFY2(over == probe.target.has_value(), where.constData());
            const TargetPoint core = TargetPosition(layout, p.x(), p.y());
            const QPoint expected = over ? QPoint(core.x, core.y) : QPoint(kSentinel, kSentinel);
            if (over) QCOMPARE(expected, *probe.target);

            pointer.pointerFollow = 1;
            ResetTarget();
            Send(QEvent::MouseMove, p, Qt::NoButton);
            QVERIFY2(Target() == expected, Mismatch("move", where, expected).constData());
            QCOMPARE(pointer.pointerInside.load(), over ? 1 : 0);

            ResetTarget();
            pointer.pointerInside = 0;
            Send(QEvent::MouseButtonPress, p, Qt::LeftButton);
            Send(QEvent::MouseButtonRelease, p, Qt::LeftButton);
            QVERIFY2(Target() == expected, Mismatch("press", where, expected).constData());
            QCOMPARE(pointer.pointerInside.load(), over ? 1 : 0);
        }
    }

    IgnoringSink sink_;
    std::unique_ptr<sim::DeviceSim> device_;
    std::unique_ptr<LoginSequence> login_;
    std::unique_ptr<CVantelsorView> view_;
};

QTEST_MAIN(PointerMappingTest)
#include "PointerMappingTest.moc"
