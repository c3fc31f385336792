// The console's handler of control messages while the console is open; it
// forwards every message to its ConsoleLink. Called on the stream receive thread.
#pragma once

#include "net/KNetHandler.h"

namespace vantelsor {

class ConsoleLink;

class KTCPViewHandler : public KNetHandler {
  public:
    explicit KTCPViewHandler(ConsoleLink* owner) : owner_(owner) {}
    int OnMessage(const uint8_t* data, int length) override;

  private:
    ConsoleLink* owner_;
};

}  // namespace vantelsor
