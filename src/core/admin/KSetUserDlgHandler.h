// The account administration's handler: the list 0xA8, the write 0xA7 and 0xAE.
// Called on the stream receive thread; it only copies the reply into its owner.
#pragma once

#include "net/KNetHandler.h"

namespace vantelsor {

class UserAccounts;

class KSetUserDlgHandler : public KNetHandler {
  public:
    explicit KSetUserDlgHandler(UserAccounts* owner) : owner_(owner) {}
    int OnMessage(const uint8_t* data, int length) override;

  private:
    UserAccounts* owner_;
};

}  // namespace vantelsor
