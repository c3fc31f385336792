// The console: shows the device's screen 1:1 (centred where the window is
// larger, scrolled where it is smaller), forwards the keyboard and the mouse
// while it has the focus, and runs the console commands. It owns the console's
// video path, its control-message handling and its input threads, started by
// Start and stopped by Stop (or the destructor) in the order the device
// expects.
//
// User-interface thread, except what QtFrameBlitter documents. The session,
// its record and the event sink are borrowed and must outlive the view.
#pragma once

#include <QAbstractScrollArea>
#include <QCursor>
#include <QTimer>
#include <functional>
#include <memory>

#include "input/ConsoleInput.h"
#include "session/ConsoleLink.h"
#include "session/Timing.h"
#include "ui/console/PointerConfinement.h"
#include "ui/console/QtFrameBlitter.h"
#include "video/ConsoleVideo.h"

namespace vantelsor {
class LocalKeyboard;
class NetSession;
struct SessionInfo;
}  // namespace vantelsor

namespace vantelsor::ui {

struct ViewTiming {
    Timing session;
    InputTiming input;
    int staleCheckMs = static_cast<int>(kStaleCheckPeriodMs);
};

class CVantelsorView : public QAbstractScrollArea {
    Q_OBJECT

  public:
    CVantelsorView(NetSession& session, SessionInfo* info, EventSink* sink,
                   QWidget* parent = nullptr, const ViewTiming& timing = {});
    ~CVantelsorView() override;

    // Opens the console: handler, video channel and stream, poll and pointer
    // threads, the stale timer, and homes the target's pointer. False when the
    // video channel could not be opened (the console then shows black).
    bool Start();
    void Stop();

    // Commands.
    void TakeControlRight();
    void SendCtrlAltDel();
    void SendPrintScreen();
    void Reboot();
    void SyncPointer();
    void ChooseCursorMode();
    void ShowAbout();
    // Ctrl+Alt+Down: leaves the hidden-cursor mode.
    void LeaveHiddenCursor();

    // Device events, handed over on this thread.
    void ControlRightLost();
    void LockKeysDiffer(uint32_t differing);

    // The picture's place and the scroll offsets, as the video path keeps them.
    PictureLayout layout() const { return video_.layout(); }
    QtFrameBlitter& blitter() { return blitter_; }
    // For measurements: called after each paint that showed a new picture.
    void SetPaintObserver(std::function<void(const ConsolePicture&)> observer) {
        paintObserver_ = std::move(observer);
    }
    ConsoleInput& input() { return input_; }
    bool hiddenCursor() const;
    bool confined() const { return confinement_.active(); }
    // Paint-side statistics: pictures painted, and the time from blit to paint.
    uint32_t painted() const { return painted_; }
    // A picture is on screen (false before the first and after the stale check blanked it).
    bool showingPicture() const { return frontShown_; }

  protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    bool focusNextPrevChild(bool next) override;

  private:
    void UpdateScrollBars();
    void OnScrollAction(Qt::Orientation orientation, int action);
    void OnPictureAreaChanged();
    void CheckStale();
    bool InsidePicture(const QPoint& p) const;
    void SetTargetFrom(const QPoint& p);
    void UpdateCursor(bool inside);
    void ConfineIfHidden();

    NetSession& session_;
    SessionInfo* info_;
    std::unique_ptr<LocalKeyboard> keyboard_;
    ConsoleLink link_;
    QtFrameBlitter blitter_;
    ConsoleVideo video_;
    ConsoleInput input_;
    QTimer staleTimer_;
    ConsolePicture front_;
    bool frontShown_ = false;
    bool started_ = false;
    uint32_t painted_ = 0;
    std::function<void(const ConsolePicture&)> paintObserver_;
    PointerConfinement confinement_;
    QCursor dotCursor_;
    QCursor blankCursor_;
};

}  // namespace vantelsor::ui
