// The sleep time's handler: 0xB6.
// Called on the stream receive thread; it only copies the reply into its owner.
#pragma once

#include "net/KNetHandler.h"

namespace vantelsor {

class SleepTime;

class KSetSleepDlgHandler : public KNetHandler {
  public:
    explicit KSetSleepDlgHandler(SleepTime* owner) : owner_(owner) {}
    int OnMessage(const uint8_t* data, int length) override;

  private:
    SleepTime* owner_;
};

}  // namespace vantelsor
