#include "ui/support/UiThreadCall.h"

#include <QCoreApplication>
#include <QEvent>

#include "ui/support/ThreadHandOff.h"

namespace vantelsor::ui {
namespace {

const QEvent::Type kCallType = static_cast<QEvent::Type>(QEvent::registerEventType());

}  // namespace

UiThreadCall::UiThreadCall(std::function<void()> call, QObject* parent)
    : QObject(parent), call_(std::move(call)) {}

void UiThreadCall::Post() {
    auto* event = new QEvent(kCallType);
    Published(event);
    QCoreApplication::postEvent(this, event);
}

void UiThreadCall::customEvent(QEvent* event) {
    Received(event);
    if (event->type() == kCallType && call_) call_();
}

}  // namespace vantelsor::ui
