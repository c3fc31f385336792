#include "input/LockKeyPoll.h"

#include <chrono>

#include "net/NetSession.h"
#include "protocol/MessageTypes.h"
#include "protocol/ShortMessage.h"

namespace vantelsor {

LockKeyPoll::LockKeyPoll(NetSession& session, uint32_t periodMs)
    : session_(session), periodMs_(periodMs) {}

LockKeyPoll::~LockKeyPoll() {
    Stop();
}

void LockKeyPoll::Start() {
    if (thread_.joinable()) return;
    stop_ = false;
    thread_ = std::thread(&LockKeyPoll::Run, this);
}

void LockKeyPoll::Stop() {
    if (!thread_.joinable()) return;
    {
        std::lock_guard lock(lock_);
        stop_ = true;
    }
    stopChanged_.notify_all();
    thread_.join();
}

void LockKeyPoll::Run() {
    const ShortMessage poll = BuildShortMessage(msg::kLockState);
    std::unique_lock lock(lock_);
    while (!stop_) {
        lock.unlock();
        if (session_.keepAlivePaused == 0) session_.Send(poll.data(), poll.size());
        ++rounds_;
        lock.lock();
        stopChanged_.wait_for(lock, std::chrono::milliseconds(periodMs_), [&] { return stop_; });
    }
}

}  // namespace vantelsor
