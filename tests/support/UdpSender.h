// A UDP socket bound to a loopback address of the test's choice, to send datagrams to a
// client's video socket as the device or as a stranger on another host.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cstdint>
#include <vector>

#include "net/UniqueFd.h"

namespace vantelsor::test {

class UdpSender {
  public:
    // Binds to `address` (host order) on a port the system chooses.
    explicit UdpSender(uint32_t address) : fd_(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0)) {
        sockaddr_in sa{};
        sa.sin_family = AF_INET;
        sa.sin_addr.s_addr = htonl(address);
        bound_ = fd_ && ::bind(fd_.get(), reinterpret_cast<const sockaddr*>(&sa), sizeof sa) == 0;
    }

    bool bound() const { return bound_; }

    // True when the whole datagram (possibly empty) was sent.
    bool SendTo(uint32_t address, uint16_t port, const std::vector<uint8_t>& bytes) const {
        sockaddr_in sa{};
        sa.sin_family = AF_INET;
        sa.sin_addr.s_addr = htonl(address);
        sa.sin_port = htons(port);
        const ssize_t n = ::sendto(fd_.get(), bytes.data(), bytes.size(), 0,
                                   reinterpret_cast<const sockaddr*>(&sa), sizeof sa);
        return n == static_cast<ssize_t>(bytes.size());
    }

  private:
    UniqueFd fd_;
    bool bound_ = false;
};

// A loopback address that differs from TestAddress() and from every other process's
// TestAddress() (whose second byte stays below 128): a stranger host of this test's own.
inline uint32_t StrangerAddress(uint32_t testAddress) {
    return testAddress | 0x8000u;
}

}  // namespace vantelsor::test
