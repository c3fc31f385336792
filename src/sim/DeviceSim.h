// The simulated KVM device: its control port (ControlServer: listener, connections,
// the device's behaviour, reply faults, trace) and its video port (VideoService), both
// on the configured address, both drawing their faults from the configured seed.
// This facade starts and stops them together and answers the tests' questions.
//
// Threads: Start, Stop and the destructor belong to the owner's thread. The control
// server and the video service each run a thread of their own. Every other member
// may be called from any thread at any time; each takes the control server's lock
// for a consistent snapshot.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "protocol/LoginMessages.h"
#include "sim/ControlServer.h"
#include "sim/SimConfig.h"
#include "sim/VideoService.h"

namespace vantelsor::sim {

class DeviceSim {
  public:
    explicit DeviceSim(SimConfig config);
    ~DeviceSim();  // stops
    DeviceSim(const DeviceSim&) = delete;
    DeviceSim& operator=(const DeviceSim&) = delete;

    // Opens the trace, binds (SO_REUSEADDR) and listens on the control port, binds the
    // video port, then starts both threads. False when any of it fails, with nothing
    // left open; StartError says why.
    bool Start();
    // Closes every connection and the listener and ends both threads. The trace, the
    // user log and the counters stay; Start may run again.
    void Stop();
    std::string StartError() const;
    // The port bound by Start: the configured one, or the system's choice for 0.
    uint16_t ControlPort() const;
    // The seed every injected fault is drawn from.
    uint64_t FaultSeed() const { return config_.faultSeed; }

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
    VideoService::Hooks VideoHooks();

    const SimConfig config_;
    ControlServer server_;
    // Its own thread and lock; calls back into the control server (taking its lock)
    // only from that thread, never while holding its own lock, so the server may call
    // it under the server's lock.
    VideoService video_;
};

}  // namespace vantelsor::sim
