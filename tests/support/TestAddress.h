// A loopback address of this test process's own, so that tests running at the
// same time (ctest runs every test case as its own process) never compete for a
// port: 127.a.b.c taken from the process id, distinct for all pids below 2^22.
#pragma once

#include <unistd.h>

#include <cstdint>

namespace vantelsor::test {

// Host order.
inline uint32_t TestAddress() {
    const auto pid = static_cast<uint32_t>(::getpid());
    return 0x7F000000u | ((pid >> 14) & 255) << 16 | ((pid >> 7) & 127) << 8 | ((pid & 127) + 1);
}

}  // namespace vantelsor::test
