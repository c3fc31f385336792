// The handler of the login exchange. It takes only the reply that the login
// sequence expects next (0xA1, 0xA2 or 0xA3) and only once, so that a stray or
// repeated reply can neither complete the wrong wait nor change the session key
// after the login. OnMessage runs on the stream receive thread; the rest on the
// thread that runs the login.
#pragma once

#include <array>
#include <cstdint>
#include <mutex>

#include "crypto/FieldCipher.h"
#include "net/KNetHandler.h"

namespace vantelsor {

class KAppHandler : public KNetHandler {
  public:
    // The key of a 0xA2 reply is written to `sessionKey`.
    explicit KAppHandler(SessionKey* sessionKey) : sessionKey_(sessionKey) {}

    // The reply type that may be taken next; 0 for none.
    void Expect(uint8_t type);
    // Status byte of the last 0xA1 or 0xA3 reply taken.
    uint8_t lastStatus() const;

    int OnMessage(const uint8_t* data, int length) override;

  private:
    SessionKey* sessionKey_;
    mutable std::mutex mutex_;
    uint8_t expected_ = 0;
    std::array<uint8_t, 2> lastReply_{};
};

}  // namespace vantelsor
