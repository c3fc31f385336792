// The simulated KVM device, control side: a TCP listener on the configured
// address and port that serves any number of clients at once with the device's
// behaviour (ControlDevice), applies the configured faults to its replies and
// records every message it receives.
//
// Threads: Start and Stop belong to the owner's thread. One loop thread of the
// device's own waits in poll() on the listener, the clients and a wake-up
// eventfd, with a timer list for delayed replies and the end of a reboot; an
// idle device uses no CPU. Every other member may be called from any thread
// at any time; each takes the device's lock for a consistent snapshot.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "net/WakeSignal.h"
#include "protocol/LoginMessages.h"
#include "sim/ControlDevice.h"
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

class DeviceSim {
  public:
    explicit DeviceSim(SimConfig config);
    ~DeviceSim();  // stops
    DeviceSim(const DeviceSim&) = delete;
    DeviceSim& operator=(const DeviceSim&) = delete;

    // Opens the trace, binds (SO_REUSEADDR) and listens, then starts the loop
    // thread. False when it cannot listen or open the trace; StartError says why.
    bool Start();
    // Closes every connection and the listener and ends the loop thread. The
    // trace, the user log and the counters stay; Start may run again.
    void Stop();
    std::string StartError() const;
    // The port bound by Start: the configured one, or the system's choice for 0.
    uint16_t ControlPort() const;

    std::vector<TraceEntry> Trace() const;
    // Blocks until `count` entries satisfy pred or timeoutMs passes. pred runs
    // under the device's lock, so it must not call back into the device, and it
    // sees every entry again each time the trace changes: it must be a plain
    // test of the entry, keeping no count of its own.
    bool WaitForTrace(const std::function<bool(const TraceEntry&)>& pred, uint32_t timeoutMs,
                      size_t count = 1) const;

    SimStatus Status() const;
    // Blocks until the status satisfies pred or timeoutMs passes (same rule for pred).
    bool WaitForStatus(const std::function<bool(const SimStatus&)>& pred, uint32_t timeoutMs) const;
    int FramingErrors() const;
    int OpenConnections() const;

    // The video side: streams, their faults and rate, the picture it shows.
    VideoService& Video() { return video_; }
    uint16_t VideoPort() const { return video_.VideoPort(); }

    std::vector<login::LoginRecord> UserLog() const;
    // The frame rate and bit rate the device streams with, as last set by 0xA4.
    VideoRate VideoSettings() const;
    // A copy of everything the device keeps (accounts, settings, log, firmware image).
    DeviceState State() const;
    void SetLockLeds(uint8_t leds);
    uint8_t LockLeds() const;
    // What the target's keyboard typed, with a US layout.
    std::string TypedText() const;
    // The target's pointer: position on its screen, buttons, wheel notches.
    TargetPointer Pointer() const;
    // The HID report of the keys the target holds now.
    input::HidReport KeyboardReport() const;

  private:
    struct Connection {
        int id = 0;
        int fd = -1;
        std::vector<uint8_t> in;   // bytes of an incomplete message
        std::vector<uint8_t> out;  // bytes the socket has not taken yet
        size_t delayed = 0;        // bytes of replies waiting for their delay
        int messages = 0;
    };

    void Loop();
    bool Listen();
    void CloseListener();
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
    VideoService::Hooks VideoHooks();
    std::optional<StreamGrant> AuthoriseStream(const std::string& user, uint32_t address);

    const SimConfig config_;

    mutable std::mutex lock_;                  // everything below
    mutable std::condition_variable changed_;  // trace or status changed
    ControlDevice device_;
    SimTrace trace_;
    TimerQueue timers_;
    std::map<int, Connection> connections_;
    int nextConnection_ = 1;
    int listenFd_ = -1;
    bool acceptPaused_ = false;  // accept failed for want of resources: not polled for a while
    uint16_t boundPort_ = 0;
    int framingErrors_ = 0;
    int reboots_ = 0;
    bool stopping_ = false;
    std::string startError_;
    std::mt19937 random_;
    std::vector<uint8_t> readBuffer_;

    // Its own thread and lock; calls back into this device (taking lock_) only from that
    // thread, never while holding its lock, so lock_ may be held while calling it.
    VideoService video_;

    WakeSignal wake_;
    std::thread thread_;  // touched only by Start, Stop and the destructor
};

}  // namespace vantelsor::sim
