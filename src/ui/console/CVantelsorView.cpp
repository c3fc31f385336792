#include "ui/console/CVantelsorView.h"

#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

#include "input/VirtualKeys.h"
#include "net/NetSession.h"
#include "platform/LocalKeyboard.h"
#include "res/Strings.h"
#include "session/SessionInfo.h"
#include "ui/dialogs/KAboutDlg.h"
#include "ui/dialogs/KSetMouseDlg.h"
#include "ui/input/QtKeyMapping.h"
#include "ui/support/MessageBox.h"
#include "ui/support/ReplyWait.h"
#include "ui/support/Resources.h"

namespace vantelsor::ui {
namespace {

// Raw mouse button flags, as the pointer thread sends them.
constexpr uint32_t kLeftDown = 0x01, kLeftUp = 0x02, kRightDown = 0x04, kRightUp = 0x08;
constexpr uint32_t kMiddleDown = 0x10, kMiddleUp = 0x20;

uint32_t ButtonFlag(Qt::MouseButton button, bool down) {
    switch (button) {
        case Qt::LeftButton:
            return down ? kLeftDown : kLeftUp;
        case Qt::RightButton:
            return down ? kRightDown : kRightUp;
        case Qt::MiddleButton:
            return down ? kMiddleDown : kMiddleUp;
        default:
            return 0;
    }
}

ScrollCode CodeOf(int action) {
    switch (action) {
        case QAbstractSlider::SliderSingleStepSub:
            return ScrollCode::kLineBack;
        case QAbstractSlider::SliderSingleStepAdd:
            return ScrollCode::kLineForward;
        case QAbstractSlider::SliderPageStepSub:
            return ScrollCode::kPageBack;
        case QAbstractSlider::SliderPageStepAdd:
            return ScrollCode::kPageForward;
        case QAbstractSlider::SliderMove:
            return ScrollCode::kThumbTrack;
        case QAbstractSlider::SliderToMinimum:
            return ScrollCode::kToStart;
        case QAbstractSlider::SliderToMaximum:
            return ScrollCode::kToEnd;
        default:
            return ScrollCode::kOther;
    }
}

// Ctrl+Alt+Down belongs to the main window (it leaves the hidden-cursor mode);
// every other key goes to the target.
bool IsLeaveHiddenCursorKey(const QKeyEvent* e) {
    const auto mods = e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier);
    return e->key() == Qt::Key_Down && mods == (Qt::ControlModifier | Qt::AltModifier);
}

// Keys that the system would treat as menu keys: Alt, anything with Alt held, F10.
bool IsSystemKey(const QKeyEvent* e) {
    return e->key() == Qt::Key_Alt || e->key() == Qt::Key_F10 || (e->modifiers() & Qt::AltModifier);
}

QCursor DotCursor() {
    return QCursor(QPixmap(QStringLiteral(":/vantelsor/dot-cursor.png")), 2, 2);
}

QCursor BlankCursor() {
    return QCursor(Qt::BlankCursor);
}

}  // namespace

CVantelsorView::CVantelsorView(NetSession& session, SessionInfo* info, EventSink* sink,
                               QWidget* parent, const ViewTiming& timing)
    : QAbstractScrollArea(parent),
      session_(session),
      info_(info),
      keyboard_(OpenLocalKeyboard()),
      link_(session, info, sink, timing.session),
      blitter_(
          this, [this] { viewport()->update(); }, [this] { OnPictureAreaChanged(); }),
      video_(*info, &blitter_, nullptr, timing.session),
      input_(session, info, &link_, keyboard_.get(), timing.input),
      blankCursor_(BlankCursor()) {
    EnsureResources();
    dotCursor_ = DotCursor();
    link_.SetLocalKeyboard(keyboard_.get());
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    viewport()->setAutoFillBackground(false);
    // Painting covers every pixel: black, then the picture.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    setFrameShape(QFrame::NoFrame);
    for (auto orientation : {Qt::Horizontal, Qt::Vertical}) {
        QScrollBar* bar =
            orientation == Qt::Horizontal ? horizontalScrollBar() : verticalScrollBar();
        bar->setRange(0, 0);
        connect(bar, &QAbstractSlider::actionTriggered, this,
                [this, orientation](int action) { OnScrollAction(orientation, action); });
    }
    staleTimer_.setInterval(timing.staleCheckMs);
    connect(&staleTimer_, &QTimer::timeout, this, &CVantelsorView::CheckStale);
}

CVantelsorView::~CVantelsorView() {
    Stop();
}

bool CVantelsorView::Start() {
    if (started_) return true;
    started_ = true;
    link_.Open();
    const bool video = video_.Start(session_);
    staleTimer_.start();
    UpdateScrollBars();
    input_.Open();
    return video;
}

void CVantelsorView::Stop() {
    if (!started_) return;
    started_ = false;
    confinement_.Release();
    staleTimer_.stop();
    // The threads first: they send on the connection the video stop shares.
    input_.Close();
    // After this no datagram reaches the blitter, so the widget may go.
    video_.Stop();
    link_.Close();
}

bool CVantelsorView::hiddenCursor() const {
    return info_->localCursorOn == 0;
}

// --- painting and geometry ---------------------------------------------------

void CVantelsorView::paintEvent(QPaintEvent*) {
    const bool fresh = blitter_.TakeNewest(front_);
    if (fresh) {
        frontShown_ = true;
        ++painted_;
    }
    QPainter painter(viewport());
    const QRect all = viewport()->rect();
    if (!frontShown_ || front_.image.isNull()) {
        painter.fillRect(all, Qt::black);
        return;
    }
    const QRect picture(front_.destination.topLeft(), front_.image.size());
    // Black around the picture only, so the picture itself is drawn once.
    const QRegion margins = QRegion(all).subtracted(picture);
    for (const QRect& r : margins) painter.fillRect(r, Qt::black);
    painter.drawImage(picture.topLeft(), front_.image);
    if (fresh && paintObserver_) paintObserver_(front_);
}

void CVantelsorView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
    if (hiddenCursor() && isVisible()) confinement_.Confine(viewport());
}

void CVantelsorView::UpdateScrollBars() {
    const QSize size = viewport()->size();
    const auto bars = video_.SetClientRect(Rect{0, 0, size.width(), size.height()});
    const PictureLayout l = video_.layout();
    const auto apply = [](QScrollBar* bar, const ScrollBarRange& range, int position) {
        // The bar's positions run 0 .. maximum - page + 1, as a page-sized thumb
        // over a range of 0 .. maximum allows.
        bar->setRange(0, range.maximum > 0 ? std::max(0, range.maximum - range.page + 1) : 0);
        bar->setPageStep(std::max(1, range.page));
        bar->setSingleStep(kScrollLinePixels);
        bar->setValue(position);
    };
    apply(horizontalScrollBar(), bars.horizontal, l.scrollX);
    apply(verticalScrollBar(), bars.vertical, l.scrollY);
}

void CVantelsorView::OnScrollAction(Qt::Orientation orientation, int action) {
    const bool horizontal = orientation == Qt::Horizontal;
    QScrollBar* bar = horizontal ? horizontalScrollBar() : verticalScrollBar();
    const int position =
        video_.Scroll(horizontal ? ConsoleVideo::Axis::kHorizontal : ConsoleVideo::Axis::kVertical,
                      CodeOf(action), bar->sliderPosition());
    bar->setSliderPosition(position);
}

void CVantelsorView::scrollContentsBy(int, int) {
    // The new offset shows with the next picture; nothing moves now.
}

void CVantelsorView::OnPictureAreaChanged() {
    UpdateScrollBars();
    viewport()->update();
}

void CVantelsorView::CheckStale() {
    if (!video_.CheckStale(TickCount())) return;
    frontShown_ = false;
    viewport()->update();
}

// --- keyboard ----------------------------------------------------------------

bool CVantelsorView::event(QEvent* event) {
    // Every key belongs to the target while the console has the focus: no menu
    // mnemonic, shortcut or Alt menu activation may take it first.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (!IsLeaveHiddenCursorKey(key)) {
            event->accept();
            return true;
        }
    }
    return QAbstractScrollArea::event(event);
}

bool CVantelsorView::focusNextPrevChild(bool) {
    return false;  // Tab goes to the target
}

void CVantelsorView::keyPressEvent(QKeyEvent* event) {
    event->accept();
    const int vk = VirtualKeyFromKeyEvent(*event);
    if (vk == 0) return;
    auto& keys = input_.forwarder();
    IsSystemKey(event) ? keys.SysKeyDown(vk) : keys.KeyDown(vk);
}

void CVantelsorView::keyReleaseEvent(QKeyEvent* event) {
    event->accept();
    // The local auto-repeat sends release/press pairs; the target repeats on its own.
    if (event->isAutoRepeat()) return;
    const int vk = VirtualKeyFromKeyEvent(*event);
    if (vk == 0) return;
    auto& keys = input_.forwarder();
    IsSystemKey(event) ? keys.SysKeyUp(vk) : keys.KeyUp(vk);
}

void CVantelsorView::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    input_.FocusGained();
}

void CVantelsorView::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    input_.FocusLost();
}

// --- mouse -------------------------------------------------------------------

bool CVantelsorView::InsidePicture(const QPoint& p) const {
    return OverPicture(video_.layout(), p.x(), p.y());
}

void CVantelsorView::SetTargetFrom(const QPoint& p) {
    const TargetPoint t = TargetPosition(video_.layout(), p.x(), p.y());
    input_.pointer().SetTarget(t.x, t.y);
}

void CVantelsorView::UpdateCursor(bool inside) {
    if (hiddenCursor()) {
        viewport()->setCursor(blankCursor_);
        setCursor(blankCursor_);
        return;
    }
    unsetCursor();
    if (inside) {
        viewport()->setCursor(dotCursor_);
    } else {
        viewport()->unsetCursor();
    }
}

void CVantelsorView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (hiddenCursor() && confinement_.KeepInside(event->globalPosition().toPoint())) return;
    const bool inside = InsidePicture(p);
    auto& pointer = input_.pointer();
    if (pointer.pointerFollow) {
        pointer.pointerInside = inside ? 1 : 0;
        if (inside) SetTargetFrom(p);
    }
    UpdateCursor(inside && pointer.pointerFollow);
}

void CVantelsorView::mousePressEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    auto& pointer = input_.pointer();
    if (event->button() == Qt::LeftButton) {
        if (InsidePicture(p)) {
            pointer.pointerInside = 1;
            if (video_.pictureShown()) SetTargetFrom(p);
        }
        ConfineIfHidden();
        input_.forwarder().ActivateKeyboard();
        setFocus(Qt::MouseFocusReason);
    }
    pointer.OnRawMouse(ButtonFlag(event->button(), true), 0);
}

void CVantelsorView::mouseReleaseEvent(QMouseEvent* event) {
    input_.pointer().OnRawMouse(ButtonFlag(event->button(), false), 0);
}

void CVantelsorView::wheelEvent(QWheelEvent* event) {
    const int delta = std::clamp(event->angleDelta().y(), -32768, 32767);
    input_.pointer().OnRawMouse(0, static_cast<int16_t>(delta));
    event->accept();
}

bool CVantelsorView::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::Leave) input_.pointer().pointerInside = 0;
    return QAbstractScrollArea::viewportEvent(event);
}

void CVantelsorView::ConfineIfHidden() {
    if (hiddenCursor()) confinement_.Confine(viewport());
}

// --- commands ----------------------------------------------------------------

void CVantelsorView::TakeControlRight() {
    ControlRightResult result = ControlRightResult::kOther;
    ReplyWait::Run([&] { result = link_.RequestControlRight(); });
    link_.AdoptControlRight(result);
    switch (result) {
        case ControlRightResult::kGranted:
            MessageBox::Information(this, res::kControlRightGranted);
            break;
        case ControlRightResult::kBusy:
            MessageBox::Information(this, res::kControlRightBusy);
            break;
        case ControlRightResult::kTimeout:
            MessageBox::Error(this, res::kCommTimeout);
            break;
        case ControlRightResult::kOther:
            break;
    }
}

void CVantelsorView::SendCtrlAltDel() {
    input_.forwarder().SendCtrlAltDel();
}

void CVantelsorView::SendPrintScreen() {
    input_.forwarder().SendPrintScreen();
}

void CVantelsorView::Reboot() {
    if (MessageBox::Show(this, BoxKind::kWarningQuestion, res::kRebootQuestion)) link_.Reboot();
}

void CVantelsorView::SyncPointer() {
    const Rect r = video_.layout().pictureRect;
    input_.pointer().SyncPointer(r.width(), r.height());
    QCursor::setPos(viewport()->mapToGlobal(QPoint(r.left, r.top)));
}

void CVantelsorView::ChooseCursorMode() {
    KSetMouseDlg dialog(this);
    dialog.setCursorChoice(info_->localCursorOn == 0 ? 1 : 0);
    if (dialog.exec() != QDialog::Accepted) return;
    if (dialog.cursorChoice() == 1) {
        info_->localCursorOn = 0;
        confinement_.Confine(viewport());
    } else {
        info_->localCursorOn = 1;
        // A confinement left in force with the cursor shown would trap the
        // pointer with no key to free it (Ctrl+Alt+Down acts in hidden mode only).
        confinement_.Release();
    }
    UpdateCursor(input_.pointer().pointerInside != 0);
}

void CVantelsorView::LeaveHiddenCursor() {
    if (!hiddenCursor()) return;
    confinement_.Release();
    info_->localCursorOn = 1;
    UpdateCursor(input_.pointer().pointerInside != 0);
}

void CVantelsorView::ShowAbout() {
    KAboutDlg dialog(this);
    dialog.exec();
}

void CVantelsorView::ControlRightLost() {
    input_.ReleaseAllKeys();
    link_.AcknowledgeRightLost();
    MessageBox::Information(this, res::kControlRightLost);
}

void CVantelsorView::LockKeysDiffer(uint32_t differing) {
    input_.LockKeysDiffer(differing);
}

}  // namespace vantelsor::ui
