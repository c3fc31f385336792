// A bare TCP listener on a loopback address and an ephemeral port, for tests of
// the connection layer that need to control exactly which bytes arrive when.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <vector>

namespace vantelsor::test {

class LoopbackServer {
  public:
    explicit LoopbackServer(int backlog = 4, uint32_t address = INADDR_LOOPBACK)
        : address_(address) {
        listen_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in sa{};
        sa.sin_family = AF_INET;
        sa.sin_addr.s_addr = htonl(address);
        ::bind(listen_, reinterpret_cast<sockaddr*>(&sa), sizeof sa);
        ::listen(listen_, backlog);
        socklen_t len = sizeof sa;
        ::getsockname(listen_, reinterpret_cast<sockaddr*>(&sa), &len);
        port_ = ntohs(sa.sin_port);
    }
    ~LoopbackServer() {
        CloseClient();
        ::close(listen_);
    }

    uint32_t address() const { return address_; }
    uint16_t port() const { return port_; }

    bool Accept(int timeoutMs = 5000) {
        pollfd p{listen_, POLLIN, 0};
        if (::poll(&p, 1, timeoutMs) != 1) return false;
        client_ = ::accept(listen_, nullptr, nullptr);
        return client_ != -1;
    }

    void Send(const std::vector<uint8_t>& bytes) {
        ::send(client_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    }

    // Up to n bytes, waiting at most timeoutMs for each piece.
    std::vector<uint8_t> Receive(size_t n, int timeoutMs = 5000) {
        std::vector<uint8_t> out;
        while (out.size() < n) {
            pollfd p{client_, POLLIN, 0};
            if (::poll(&p, 1, timeoutMs) != 1) break;
            uint8_t buf[4096];
            const ssize_t got = ::recv(client_, buf, std::min(sizeof buf, n - out.size()), 0);
            if (got <= 0) break;
            out.insert(out.end(), buf, buf + got);
        }
        return out;
    }

    void CloseClient() {
        if (client_ != -1) ::close(client_);
        client_ = -1;
    }

  private:
    uint32_t address_;
    int listen_ = -1;
    int client_ = -1;
    uint16_t port_ = 0;
};

}  // namespace vantelsor::test
