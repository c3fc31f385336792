// A thin owner of one IPv4 socket descriptor. Addresses and ports cross this
// interface in host byte order. Each operation is one system call.
#pragma once

#include <cstdint>

#include "net/UniqueFd.h"

namespace vantelsor {

class ClientSocket {
  public:
    ClientSocket() = default;
    virtual ~ClientSocket();
    ClientSocket(const ClientSocket&) = delete;
    ClientSocket& operator=(const ClientSocket&) = delete;

    bool Create(int type, int protocol);
    // Closes an open socket; -1 when none was open (and nothing changes).
    int Close();
    bool Connect(uint32_t address, uint16_t port);
    // delay 0 switches Nagle's algorithm off (TCP_NODELAY = 1).
    bool SetDelay(int delay);
    bool GetReceiveBufferSize(int* size) const;
    bool SetReceiveBufferSize(int size);
    int Receive(void* buffer, int size);
    int Send(const void* data, int length);
    // The sender is written only when the result is not -1.
    int ReceiveFrom(void* buffer, int size, uint32_t* address, uint16_t* port);
    int SendTo(const void* data, int length, uint32_t address, uint16_t port);
    // Either out pointer may be null. -1 on failure, 0 on success.
    int GetPeer(uint32_t* address, uint16_t* port) const;

    int handle() const { return handle_.get(); }
    bool IsOpen() const { return handle_.valid(); }

  private:
    UniqueFd handle_;
};

}  // namespace vantelsor
