// The video settings' handler: 0xA4.
// Called on the stream receive thread; it only copies the reply into its owner.
#pragma once

#include "net/KNetHandler.h"

namespace vantelsor {

class VideoSettings;

class KSetVideoDlgHandler : public KNetHandler {
  public:
    explicit KSetVideoDlgHandler(VideoSettings* owner) : owner_(owner) {}
    int OnMessage(const uint8_t* data, int length) override;

  private:
    VideoSettings* owner_;
};

}  // namespace vantelsor
