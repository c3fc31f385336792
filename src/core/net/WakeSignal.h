// An eventfd that a receive thread polls beside its socket, so that stopping the
// thread wakes it at once instead of it polling a run flag on a short timeout.
#pragma once

#include "net/UniqueFd.h"

namespace vantelsor {

class WakeSignal {
  public:
    WakeSignal();
    WakeSignal(const WakeSignal&) = delete;
    WakeSignal& operator=(const WakeSignal&) = delete;

    void Raise();  // makes fd() readable until Clear()
    void Clear();
    int fd() const { return fd_.get(); }

  private:
    UniqueFd fd_;
};

}  // namespace vantelsor
