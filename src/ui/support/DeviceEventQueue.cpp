#include "ui/support/DeviceEventQueue.h"

#include <QCoreApplication>
#include <QEvent>

#include "ui/support/ReplyWait.h"
#include "ui/support/ThreadHandOff.h"

namespace vantelsor::ui {
namespace {

const QEvent::Type kDeviceEventType = static_cast<QEvent::Type>(QEvent::registerEventType());
const QEvent::Type kDeliverType = static_cast<QEvent::Type>(QEvent::registerEventType());

class DeviceQEvent : public QEvent {
  public:
    DeviceQEvent(DeviceEvent e, uint32_t p) : QEvent(kDeviceEventType), event(e), param(p) {}
    DeviceEvent event;
    uint32_t param;
};

}  // namespace

DeviceEventQueue::DeviceEventQueue(QObject* parent) : QObject(parent) {
    // After a wait, what was held back is handed over through the event queue,
    // behind anything already posted, so that the order stays.
    waitHook_ = ReplyWait::AddFinishedHook(
        [this] { QCoreApplication::postEvent(this, new QEvent(kDeliverType)); });
}

DeviceEventQueue::~DeviceEventQueue() {
    ReplyWait::RemoveFinishedHook(waitHook_);
}

void DeviceEventQueue::SetHandler(Handler handler) {
    handler_ = std::move(handler);
    // What came before there was a handler is handed over now, through the event
    // queue, behind anything already posted.
    if (handler_ && !pending_.empty()) {
        QCoreApplication::postEvent(this, new QEvent(kDeliverType));
    }
}

void DeviceEventQueue::Post(DeviceEvent event, uint32_t param) {
    auto* e = new DeviceQEvent(event, param);
    Published(e);
    QCoreApplication::postEvent(this, e);
}

void DeviceEventQueue::customEvent(QEvent* event) {
    Received(event);
    if (event->type() == kDeviceEventType) {
        const auto* e = static_cast<DeviceQEvent*>(event);
        pending_.emplace_back(e->event, e->param);
    }
    if (ReplyWait::Active()) return;
    Deliver();
}

void DeviceEventQueue::Deliver() {
    // A handler may open a modal box; events arriving meanwhile queue behind.
    if (delivering_) return;
    delivering_ = true;
    while (handler_ && !pending_.empty() && !ReplyWait::Active()) {
        const auto [event, param] = pending_.front();
        pending_.pop_front();
        handler_(event, param);
    }
    delivering_ = false;
}

}  // namespace vantelsor::ui
