#include "net/ClientSocket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include <cerrno>

namespace vantelsor {
namespace {

sockaddr_in MakeAddress(uint32_t address, uint16_t port) {
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = htonl(address);
    sa.sin_port = htons(port);
    return sa;
}

}  // namespace

ClientSocket::~ClientSocket() = default;

bool ClientSocket::Create(int type, int protocol) {
    handle_.Reset(::socket(AF_INET, type | SOCK_CLOEXEC, protocol));
    return handle_.valid();
}

int ClientSocket::Close() {
    if (!handle_) return -1;
    return handle_.Close();
}

bool ClientSocket::Connect(uint32_t address, uint16_t port) {
    const sockaddr_in sa = MakeAddress(address, port);
    int rc;
    do {
        rc = ::connect(handle_.get(), reinterpret_cast<const sockaddr*>(&sa), sizeof sa);
    } while (rc == -1 && errno == EINTR);
    return rc == 0;
}

bool ClientSocket::SetDelay(int delay) {
    const int noDelay = delay == 0 ? 1 : 0;
    return ::setsockopt(handle_.get(), IPPROTO_TCP, TCP_NODELAY, &noDelay, sizeof noDelay) == 0;
}

bool ClientSocket::GetReceiveBufferSize(int* size) const {
    socklen_t len = sizeof *size;
    return ::getsockopt(handle_.get(), SOL_SOCKET, SO_RCVBUF, size, &len) == 0;
}

bool ClientSocket::SetReceiveBufferSize(int size) {
    return ::setsockopt(handle_.get(), SOL_SOCKET, SO_RCVBUF, &size, sizeof size) == 0;
}

int ClientSocket::Receive(void* buffer, int size) {
    ssize_t n;
    do {
        n = ::recv(handle_.get(), buffer, static_cast<size_t>(size), 0);
    } while (n == -1 && errno == EINTR);
    return static_cast<int>(n);
}

int ClientSocket::Send(const void* data, int length) {
    ssize_t n;
    do {
        n = ::send(handle_.get(), data, static_cast<size_t>(length), MSG_NOSIGNAL);
    } while (n == -1 && errno == EINTR);
    return static_cast<int>(n);
}

int ClientSocket::ReceiveFrom(void* buffer, int size, uint32_t* address, uint16_t* port) {
    sockaddr_in sa{};
    socklen_t len = sizeof sa;
    ssize_t n;
    do {
        n = ::recvfrom(handle_.get(), buffer, static_cast<size_t>(size), 0,
                       reinterpret_cast<sockaddr*>(&sa), &len);
    } while (n == -1 && errno == EINTR);
    if (n != -1) {
        if (address) *address = ntohl(sa.sin_addr.s_addr);
        if (port) *port = ntohs(sa.sin_port);
    }
    return static_cast<int>(n);
}

int ClientSocket::SendTo(const void* data, int length, uint32_t address, uint16_t port) {
    const sockaddr_in sa = MakeAddress(address, port);
    return static_cast<int>(::sendto(handle_.get(), data, static_cast<size_t>(length), MSG_NOSIGNAL,
                                     reinterpret_cast<const sockaddr*>(&sa), sizeof sa));
}

int ClientSocket::GetPeer(uint32_t* address, uint16_t* port) const {
    sockaddr_in sa{};
    socklen_t len = sizeof sa;
    if (::getpeername(handle_.get(), reinterpret_cast<sockaddr*>(&sa), &len) == -1) return -1;
    if (address) *address = ntohl(sa.sin_addr.s_addr);
    if (port) *port = ntohs(sa.sin_port);
    return 0;
}

}  // namespace vantelsor
