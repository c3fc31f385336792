#include "session/Heartbeat.h"

#include <chrono>

#include "net/NetSession.h"
#include "protocol/ShortMessage.h"

namespace vantelsor {

uint32_t TickCount() {
    using namespace std::chrono;
    return static_cast<uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

Heartbeat::Heartbeat(NetSession& session, const Timing& timing, const std::atomic<EventSink*>* sink,
                     TickSource tick)
    : session_(session), timing_(timing), sink_(sink), tick_(std::move(tick)) {}

Heartbeat::~Heartbeat() {
    Stop();
    Uninstall();
}

void Heartbeat::Start() {
    if (thread_.joinable()) return;
    stop_.Reset();
    session_.SetHeartbeatHandler(&handler_);
    installed_ = true;
    thread_ = std::thread(&Heartbeat::Run, this);
}

void Heartbeat::Stop() {
    stop_.Set();
    if (thread_.joinable()) thread_.join();
}

void Heartbeat::Uninstall() {
    if (!installed_) return;
    // Only take our own handler out: after a lost connection the slot is already empty.
    if (session_.heartbeatHandler() == &handler_) session_.SetHeartbeatHandler(nullptr);
    installed_ = false;
}

void Heartbeat::Run() {
    const ShortMessage request = BuildShortMessage(msg::kHeartbeat);
    for (;;) {
        const uint32_t t0 = tick_();
        if (session_.keepAlivePaused.load() == 0) {
            session_.ResetHeartbeat();
            session_.Send(request.data(), static_cast<int>(request.size()));
            for (;;) {
                const uint32_t r = session_.WaitHeartbeat(timing_.heartbeatPollMs);
                if (r == kWaitSignalled) break;
                // Exit does not sit out the rest of a reply wait on a device that
                // has gone away (right after a reboot command, say).
                if (stop_.IsSet()) return;
                // The events are gone once the connection was closed: keep the
                // cadence instead of spinning until the verdict.
                if (r == kWaitFailed) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(timing_.heartbeatPollMs));
                }
                if (static_cast<uint32_t>(tick_() - t0) >= timing_.heartbeatVerdictMs) {
                    // Close first, so that no request can start waiting on a dead
                    // connection once the user has been told.
                    session_.CloseControl();
                    if (EventSink* sink = sink_->load())
                        sink->Post(DeviceEvent::kConnectionLost, 0);
                    return;
                }
            }
        }
        const uint32_t elapsed = tick_() - t0;
        const uint32_t rest =
            elapsed >= timing_.heartbeatPeriodMs ? 0 : timing_.heartbeatPeriodMs - elapsed;
        if (stop_.Wait(rest) == kWaitSignalled) return;
    }
}

}  // namespace vantelsor
