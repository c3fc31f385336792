// A handler installed in a session's reply slot for the lifetime of this object.
// At the end the handler it replaced goes back, but only if this one is still
// installed: a closed connection empties the slot, and nothing must come back
// into it then. User-interface thread.
#pragma once

#include "net/KNetHandler.h"
#include "net/NetSession.h"

namespace vantelsor {

class ScopedHandler {
  public:
    ScopedHandler(NetSession& session, KNetHandler* handler)
        : session_(session), handler_(handler), previous_(session.SetHandler(handler)) {}
    ~ScopedHandler() {
        if (session_.handler() == handler_) session_.SetHandler(previous_);
    }
    ScopedHandler(const ScopedHandler&) = delete;
    ScopedHandler& operator=(const ScopedHandler&) = delete;

  private:
    NetSession& session_;
    KNetHandler* const handler_;
    KNetHandler* const previous_;
};

}  // namespace vantelsor
