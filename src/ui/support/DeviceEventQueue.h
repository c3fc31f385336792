// Turns the core's device events (posted on background threads) into queued
// Qt events handled on the user-interface thread, in the order they came.
// While the user-interface thread waits for a reply (ReplyWait) the events are
// held back and handled after the wait.
//
// Post is for any thread and never waits; everything else is for the
// user-interface thread.
#pragma once

#include <QObject>
#include <deque>
#include <functional>

#include "session/EventSink.h"

namespace vantelsor::ui {

class DeviceEventQueue : public QObject, public EventSink {
    Q_OBJECT

  public:
    using Handler = std::function<void(DeviceEvent event, uint32_t param)>;

    explicit DeviceEventQueue(QObject* parent = nullptr);
    ~DeviceEventQueue() override;

    // Events that arrive while there is no handler are kept for the next one.
    void SetHandler(Handler handler);
    void Post(DeviceEvent event, uint32_t param) override;

  protected:
    void customEvent(QEvent* event) override;

  private:
    void Deliver();

    Handler handler_;
    std::deque<std::pair<DeviceEvent, uint32_t>> pending_;
    bool delivering_ = false;
    int waitHook_ = 0;
};

}  // namespace vantelsor::ui
