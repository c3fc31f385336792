// The control (TCP) and video (UDP) sockets with one receive thread each.
//
// Receive threads wait in poll() on their socket and on a wake-up descriptor;
// stopping a thread raises the wake-up, so an idle connection costs no CPU.
// Callbacks run on the receive thread that reports them.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

#include "net/ClientSocket.h"
#include "net/MessageFraming.h"
#include "net/WakeSignal.h"

namespace vantelsor {

struct ChannelEvent {
    enum Code : int32_t {
        kStreamMessage = 1,
        kStreamClosed = 2,
        kDatagram = 3,
        kDatagramClosed = 4
    };
    int32_t code = 0;
    uint32_t peerAddress = 0;  // host order; the stream's peer (1) or the datagram's sender (3)
    uint16_t peerPort = 0;
};

// For codes 2 and 4 data is null and length 0.
using ChannelCallback = void (*)(const ChannelEvent* event, const uint8_t* data, int length,
                                 void* context);

class SocketPair {
  public:
    static constexpr int kStreamBufferSize = 65536;
    static constexpr int kDatagramBufferSize = 32768;
    static constexpr int kDatagramBufferFactor = 50;

    SocketPair();
    ~SocketPair();
    SocketPair(const SocketPair&) = delete;
    SocketPair& operator=(const SocketPair&) = delete;

    // Blocks until connected or failed; StopStream from another thread aborts it
    // (also when it comes first). On success Nagle is off and the receive thread
    // runs. The stream side serves one connection: after a stop, this fails.
    bool ConnectStream(uint32_t address, uint16_t port, ChannelCallback callback, void* context);
    // An unbound datagram socket (the system binds it on the first send) that takes
    // datagrams from `peerAddress` (host order, any port) only. A datagram from any other
    // host is counted (StrangerDatagrams) and dropped, so a stranger can neither inject
    // data nor close the channel; an empty datagram from the peer carries nothing and is
    // ignored. Only a failing socket ends the channel (callback code 4).
    bool OpenDatagram(uint32_t peerAddress, ChannelCallback callback, void* context);

    // Stop* end the receive thread without a callback and wait for it;
    // Close* close the socket and release its buffer.
    void StopStream();
    void CloseStream();
    void StopDatagram();
    void CloseDatagram();

    // Writes all bytes under the send lock, so that writers on different threads
    // never interleave. Returns the last send result (negative on failure).
    int SendStream(const void* data, int length);
    int SendDatagram(const void* data, int length, uint32_t address, uint16_t port);

    bool IsStreamOpen() const;
    // The address (host order) the stream socket is connected to, as the system reports
    // it once connected (kept after the stream closes); 0 before the first connection.
    uint32_t StreamPeerAddress() const { return streamPeer_.load(); }
    bool IsDatagramOpen() const { return datagramSocket_.IsOpen(); }
    // Local port of the datagram socket once the system has bound it, else 0.
    uint16_t DatagramLocalPort() const;
    // Datagrams from hosts other than the peer dropped since the datagram socket was last
    // opened. Readable from any thread.
    uint64_t StrangerDatagrams() const { return strangerDatagrams_.load(); }

  private:
    bool ConnectCancellable(int fd, uint32_t address, uint16_t port);
    void StreamLoop();
    void DatagramLoop();

    ClientSocket streamSocket_;
    ChannelCallback streamCallback_ = nullptr;
    void* streamContext_ = nullptr;
    std::thread streamThread_;
    std::unique_ptr<uint8_t[]> streamBuffer_;
    int pending_ = 0;
    FramingState framing_;  // touched only by the stream receive thread once it runs
    std::atomic<bool> streamRunning_{false};
    bool stopRequested_ = false;  // under sendLock_: StopStream was called
    std::atomic<uint32_t> streamPeer_{0};
    WakeSignal streamWake_;

    ClientSocket datagramSocket_;
    ChannelCallback datagramCallback_ = nullptr;
    void* datagramContext_ = nullptr;
    std::thread datagramThread_;
    std::unique_ptr<uint8_t[]> datagramBuffer_;
    std::atomic<bool> datagramRunning_{false};
    uint32_t datagramPeer_ = 0;  // set before the receive thread starts, read by it
    std::atomic<uint64_t> strangerDatagrams_{0};
    WakeSignal datagramWake_;

    // Serialises writers of the stream socket, and closing it against them, so a
    // send never reaches a descriptor number that was closed and reused.
    mutable std::mutex sendLock_;
};

}  // namespace vantelsor
