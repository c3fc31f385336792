// Where the core posts events that arrive on background threads. The desktop
// client turns them into queued events on its user-interface thread; the CLI
// and the tests record them.
#pragma once

#include <cstdint>

namespace vantelsor {

enum class DeviceEvent {
    kConnectionLost,    // no heartbeat reply in time; the control socket is already closed
    kControlRightLost,  // the device sent 0xAF
    kLockKeysDiffer,    // a 0xB1 reply differs from the local lock keys; param = differing bits
};

class EventSink {
  public:
    virtual ~EventSink() = default;
    // Called on a background thread: must queue the event and return at once,
    // never wait for the thread that handles it.
    virtual void Post(DeviceEvent event, uint32_t param) = 0;
};

}  // namespace vantelsor
