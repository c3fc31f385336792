// The interface of protocol handlers installed in the NetSession.
#pragma once

#include <cstdint>

namespace vantelsor {

class KNetHandler {
  public:
    virtual ~KNetHandler() = default;
    // Called on a receive thread (the stream thread for the main and heartbeat
    // slots, the datagram thread for the video slot) with exactly one message;
    // `data` is valid only during the call, so a handler copies what it keeps.
    // It must never wait for another thread: copy, set flags, post, return.
    // Non-zero means the message completes the request being waited for.
    virtual int OnMessage(const uint8_t* data, int length) = 0;
};

}  // namespace vantelsor
