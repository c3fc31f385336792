// The lock-key poll: asks the device for the target's lock LEDs (0xB1) once a
// period, the first time as soon as it starts, and sends nothing while the
// session's keepAlivePaused is set. The replies reach ConsoleLink.
//
// Start and Stop belong to the owner's thread; the poll runs on a thread of its own.
// Rounds may be read from any thread.
#pragma once

#include <atomic>
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

    // The rounds finished since construction; a round ends once its poll has gone
    // out or was held back. When the count is two past a value read after a change
    // to keepAlivePaused, every round that missed the change has sent its poll and
    // a whole round has run with it.
    uint64_t Rounds() const { return rounds_.load(); }

  private:
    void Run();

    NetSession& session_;
    uint32_t periodMs_;
    std::mutex lock_;
    std::condition_variable stopChanged_;
    bool stop_ = false;
    std::atomic<uint64_t> rounds_{0};
    std::thread thread_;
};

}  // namespace vantelsor
