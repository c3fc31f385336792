// The heartbeat: 0xAD every period (the first at once), each cycle timed from
// its own start; no reply within the verdict time closes the control connection
// and then posts kConnectionLost. Nothing is sent while keepAlivePaused is set.
//
// Owned by the login sequence on the user-interface thread; the thread it runs
// only sends, waits and posts.
#pragma once

#include <atomic>
#include <functional>
#include <thread>

#include "net/ManualResetEvent.h"
#include "session/EventSink.h"
#include "session/KHeartBeatHandler.h"
#include "session/Timing.h"

namespace vantelsor {

class NetSession;

class Heartbeat {
  public:
    using TickSource = std::function<uint32_t()>;

    // `sink` is read when the verdict falls; a null sink then gets nothing.
    Heartbeat(NetSession& session, const Timing& timing, const std::atomic<EventSink*>* sink,
              TickSource tick = TickCount);
    ~Heartbeat();
    Heartbeat(const Heartbeat&) = delete;
    Heartbeat& operator=(const Heartbeat&) = delete;

    // Installs the heartbeat handler in the session, then starts the thread.
    void Start();
    // Signals the stop event and waits for the thread, which notices it within
    // one poll interval, also while it waits for a reply (no verdict is posted then).
    void Stop();
    // Takes the handler out of the session again (after Stop).
    void Uninstall();

    bool running() const { return thread_.joinable(); }

  private:
    void Run();

    NetSession& session_;
    Timing timing_;
    const std::atomic<EventSink*>* sink_;
    TickSource tick_;
    KHeartBeatHandler handler_;
    bool installed_ = false;
    ManualResetEvent stop_;
    std::thread thread_;
};

}  // namespace vantelsor
