// An event that stays signalled until it is reset, like a Win32 manual-reset
// event. Any thread may Set, Reset or Wait.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace vantelsor {

// Wait results, with the values callers compare against.
inline constexpr uint32_t kWaitSignalled = 0;
inline constexpr uint32_t kWaitTimeout = 258;
inline constexpr uint32_t kWaitFailed = 0xFFFFFFFF;  // no event to wait on (connection closed)

class ManualResetEvent {
  public:
    void Set();
    void Reset();
    bool IsSet() const;
    // kWaitSignalled when the event is (or becomes) signalled within ms, else kWaitTimeout.
    uint32_t Wait(uint32_t ms);

  private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    bool signalled_ = false;
};

}  // namespace vantelsor
