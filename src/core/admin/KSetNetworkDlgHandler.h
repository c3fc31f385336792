// The network settings' handler: 0xA6 and 0xAE.
// Called on the stream receive thread; it only copies the reply into its owner.
#pragma once

#include "net/KNetHandler.h"

namespace vantelsor {

class NetworkSettings;

class KSetNetworkDlgHandler : public KNetHandler {
  public:
    explicit KSetNetworkDlgHandler(NetworkSettings* owner) : owner_(owner) {}
    int OnMessage(const uint8_t* data, int length) override;

  private:
    NetworkSettings* owner_;
};

}  // namespace vantelsor
