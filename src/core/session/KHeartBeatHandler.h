// Accepts every heartbeat reply (type 0xAD) so that the session sets its
// heartbeat event; everything else is left to the main handler.
// Called on the stream receive thread.
#pragma once

#include "net/KNetHandler.h"
#include "protocol/MessageTypes.h"

namespace vantelsor {

class KHeartBeatHandler : public KNetHandler {
  public:
    int OnMessage(const uint8_t* data, int length) override {
        return length > 0 && data[0] == msg::kHeartbeat ? 1 : 0;
    }
};

}  // namespace vantelsor
