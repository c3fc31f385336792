// A plain TCP connection to the simulated device, for what the client's own framing
// would cut apart or refuse to send: raw replies, floods, broken messages.
#pragma once

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "SimClient.h"
#include "net/UniqueFd.h"

namespace vantelsor::test {

class RawConnection {
  public:
    bool Connect(uint32_t address, uint16_t port) {
        fd_.Reset(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
        sockaddr_in sa{};
        sa.sin_family = AF_INET;
        sa.sin_addr.s_addr = htonl(address);
        sa.sin_port = htons(port);
        return ::connect(fd_.get(), reinterpret_cast<const sockaddr*>(&sa), sizeof sa) == 0;
    }
    // As much as the socket takes, until the device closes it; the bytes sent.
    size_t Flood(const Bytes& pattern, size_t total) {
        Bytes chunk;
        while (chunk.size() < 4096) chunk.insert(chunk.end(), pattern.begin(), pattern.end());
        size_t sent = 0;
        while (sent < total) {
            const ssize_t n = ::send(fd_.get(), chunk.data(), chunk.size(), MSG_NOSIGNAL);
            if (n <= 0) break;
            sent += static_cast<size_t>(n);
        }
        return sent;
    }
    void Send(const Bytes& bytes) {
        ASSERT_EQ(::send(fd_.get(), bytes.data(), bytes.size(), MSG_NOSIGNAL),
                  static_cast<ssize_t>(bytes.size()));
    }
    // Up to n bytes: fewer when the device closes or stays silent for timeoutMs.
    Bytes Read(size_t n, uint32_t timeoutMs = kWaitMs) {
        Bytes got;
        while (got.size() < n) {
            pollfd p{fd_.get(), POLLIN, 0};
            if (::poll(&p, 1, static_cast<int>(timeoutMs)) != 1) break;
            uint8_t buffer[256];
            const ssize_t r = ::recv(fd_.get(), buffer, std::min(sizeof buffer, n - got.size()), 0);
            if (r <= 0) break;
            got.insert(got.end(), buffer, buffer + r);
        }
        return got;
    }

  private:
    UniqueFd fd_;
};

}  // namespace vantelsor::test
