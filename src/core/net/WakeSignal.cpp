#include "net/WakeSignal.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>

namespace vantelsor {

WakeSignal::WakeSignal() : fd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    // Without it no receive thread could ever be stopped: fail loudly at once.
    if (!fd_) std::abort();
}

void WakeSignal::Raise() {
    const uint64_t one = 1;
    [[maybe_unused]] ssize_t n = ::write(fd_.get(), &one, sizeof one);
}

void WakeSignal::Clear() {
    uint64_t value;
    [[maybe_unused]] ssize_t n = ::read(fd_.get(), &value, sizeof value);
}

}  // namespace vantelsor
