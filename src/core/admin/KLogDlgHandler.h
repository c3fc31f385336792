// The log viewer's handler: the log 0xAB, the clear 0xAC and 0xAE.
// Called on the stream receive thread; it only copies the reply into its owner.
#pragma once

#include "net/KNetHandler.h"

namespace vantelsor {

class UserLog;

class KLogDlgHandler : public KNetHandler {
  public:
    explicit KLogDlgHandler(UserLog* owner) : owner_(owner) {}
    int OnMessage(const uint8_t* data, int length) override;

  private:
    UserLog* owner_;
};

}  // namespace vantelsor
