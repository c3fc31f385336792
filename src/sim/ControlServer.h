// The simulated device's control port: a TCP listener on the configured address and
// port that serves any number of clients at once with the device's behaviour
// (ControlDevice), applies the configured faults to its replies (drawn from the
// FaultPolicy where they need chance), records every message it receives, and after a
// reboot listens again.
//
// Threads: Start, StopLoop and Shutdown belong to the owner's thread. One loop thread
// of the server's own waits in poll() on the listener, the clients and a wake-up
// eventfd, with a timer list for delayed replies and the end of a reboot; an idle
// device uses no CPU. Every other member may be called from any thread at any time;
// each takes the server's lock for a consistent snapshot. The `endStreams` callback
// runs under that lock (on the loop thread or the owner's), so it must not call back.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "net/UniqueFd.h"
#include "net/WakeSignal.h"
#include "sim/ControlDevice.h"
#include "sim/FaultPolicy.h"
#include "sim/SimConfig.h"
#include "sim/SimTrace.h"
#include "sim/TimerQueue.h"
#include "sim/VideoService.h"

namespace vantelsor::sim {

struct SimStatus {
    bool listening = false;  // false before Start, after Stop and while rebooting
    int openConnections = 0;
    int loggedIn = 0;
    int framingErrors = 0;
    int reboots = 0;
    std::optional<int> controlHolder;  // the connection holding the operation right
};

class ControlServer {
  public:
    // Called when a connection's video streams have to end: its id, or kAllConnections.
    using EndStreams = std::function<void(int connection)>;
    static constexpr int kAllConnections = 0;

    // `config` must outlive the server.
    ControlServer(const SimConfig& config, EndStreams endStreams);
    ~ControlServer();  // ends the loop and closes everything
    ControlServer(const ControlServer&) = delete;
    ControlServer& operator=(const ControlServer&) = delete;

    // Opens the trace, binds (SO_REUSEADDR) and listens, runs `alongside` (the video
    // side's start; it may fail too), then starts the loop thread. False when any step
    // fails, with everything undone; StartError says why.
    bool Start(const std::function<bool(std::string* error)>& alongside);
    // Ends the loop thread; false when it was not running.
    bool StopLoop();
    // After StopLoop: closes every connection and the listener. The trace, the user
    // log and the counters stay; Start may run again.
    void Shutdown();
    std::string StartError() const;
    // The port bound by Start: the configured one, or the system's choice for 0.
    uint16_t ControlPort() const;

    std::vector<TraceEntry> Trace() const;
    // See DeviceSim::WaitForTrace.
    bool WaitForTrace(const std::function<bool(const TraceEntry&)>& pred, uint32_t timeoutMs,
                      size_t count) const;
    SimStatus Status() const;
    bool WaitForStatus(const std::function<bool(const SimStatus&)>& pred, uint32_t timeoutMs) const;

    // Runs `read` on the device's behaviour under the lock and returns what it returns.
    template <typename Read>
    auto Inspect(Read&& read) const {
        std::lock_guard lock(lock_);
        return read(static_cast<const ControlDevice&>(device_));
    }
    void SetLockLeds(uint8_t leds);

    // Records a datagram of the video side in the trace.
    void RecordDatagram(int connection, const std::vector<uint8_t>& datagram,
                        const std::string& text);
    // The newest logged-in connection of `user` whose peer is `address` (host order).
    std::optional<StreamGrant> AuthoriseStream(const std::string& user, uint32_t address) const;

  private:
    struct Connection {
        int id = 0;
        UniqueFd fd;
        std::vector<uint8_t> in;   // bytes of an incomplete message
        std::vector<uint8_t> out;  // bytes the socket has not taken yet
        size_t delayed = 0;        // bytes of replies waiting for their delay
        int messages = 0;
    };

    void Loop();
    bool Listen();
    void Accept();
    void Read(int id);
    void Cut(int id);
    void FramingError(Connection& c, size_t from);
    void Handle(int id, std::vector<uint8_t> message);
    std::string ReplyWithFaults(int id, uint8_t type, std::vector<uint8_t> reply);
    void Deliver(int id, const std::vector<uint8_t>& bytes);
    void Flush(int id);
    // Closes a connection whose unsent replies exceed the backlog limit; true if it did.
    bool CheckBacklog(Connection& c);
    void CloseConnection(int id, const std::string& why);
    void Reboot();
    void RunTimers();
    void Record(int connection, const std::vector<uint8_t>& message, std::string text);
    SimStatus StatusLocked() const;

    const SimConfig& config_;
    const FaultPolicy policy_;
    const EndStreams endStreams_;

    mutable std::mutex lock_;                  // everything below
    mutable std::condition_variable changed_;  // trace or status changed
    ControlDevice device_;
    SimTrace trace_;
    TimerQueue timers_;
    std::map<int, Connection> connections_;
    int nextConnection_ = 1;
    UniqueFd listenFd_;
    bool acceptPaused_ = false;  // accept failed for want of resources: not polled for a while
    uint16_t boundPort_ = 0;
    int framingErrors_ = 0;
    int reboots_ = 0;
    bool stopping_ = false;
    std::string startError_;
    std::vector<uint8_t> readBuffer_;

    WakeSignal wake_;
    std::thread thread_;  // touched only by Start, StopLoop and the destructor
};

}  // namespace vantelsor::sim
