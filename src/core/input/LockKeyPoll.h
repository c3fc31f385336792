// The lock-key poll: asks the device for the target's lock LEDs (0xB1) once a
// period, the first time as soon as it starts, and sends nothing while the
// session's keepAlivePaused is set. The replies reach ConsoleLink.
//
// Start and Stop belong to the owner's thread; the poll runs on a thread of its own.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

namespace vantelsor {

class NetSession;

class LockKeyPoll {
  public:
    LockKeyPoll(NetSession& session, uint32_t periodMs);
    ~LockKeyPoll();  // stops
    LockKeyPoll(const LockKeyPoll&) = delete;
    LockKeyPoll& operator=(const LockKeyPoll&) = delete;

    void Start();
    // Wakes the thread at once and waits for it to end.
    void Stop();

  private:
    void Run();

    NetSession& session_;
    uint32_t periodMs_;
    std::mutex lock_;
    std::condition_variable stopChanged_;
    bool stop_ = false;
    std::thread thread_;
};

}  // namespace vantelsor
