// The firmware upgrade's handler: 0xB3 and 0xB4.
// Called on the stream receive thread; it only copies the reply into its owner.
#pragma once

#include "net/KNetHandler.h"

namespace vantelsor {

class FirmwareUpgrade;

class KUpdateFirmwareDlgHandler : public KNetHandler {
  public:
    explicit KUpdateFirmwareDlgHandler(FirmwareUpgrade* owner) : owner_(owner) {}
    int OnMessage(const uint8_t* data, int length) override;

  private:
    FirmwareUpgrade* owner_;
};

}  // namespace vantelsor
