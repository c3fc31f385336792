#include "ui/support/WorkerRun.h"

#include <QCoreApplication>
#include <QEvent>

namespace vantelsor::ui {

WorkerRun::~WorkerRun() {
    Join();
}

bool WorkerRun::Run(std::function<void()> work) {
    QEventLoop loop;
    {
        std::lock_guard guard(loopLock_);
        loop_ = &loop;
    }
    done_ = false;
    stopped_ = false;
    helper_ = std::thread([this, work = std::move(work)] {
        work();
        done_ = true;
        std::lock_guard guard(loopLock_);
        // Queued: the loop belongs to the user-interface thread. A plain quit
        // event carries nothing of this thread's to be read there.
        if (loop_) QCoreApplication::postEvent(loop_, new QEvent(QEvent::Quit));
    });
    const auto flags =
        input_ == Input::kHoldInput ? QEventLoop::ExcludeUserInputEvents : QEventLoop::AllEvents;
    // Work that ends at once is seen before the loop ever runs.
    while (!done_ && !stopped_) loop.exec(flags);
    {
        std::lock_guard guard(loopLock_);
        loop_ = nullptr;
    }
    if (!done_) return false;
    Join();
    return true;
}

void WorkerRun::Stop() {
    stopped_ = true;
    std::lock_guard guard(loopLock_);
    if (loop_) loop_->quit();
}

void WorkerRun::Join() {
    if (helper_.joinable()) helper_.join();
}

}  // namespace vantelsor::ui
