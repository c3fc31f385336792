#include "net/SocketPair.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstring>

#include "net/MessageFraming.h"

namespace vantelsor {
namespace {

enum class Readiness { kReadable, kStopped };

// Waits until `socket` is readable (or has failed) or `wake` is raised.
Readiness WaitReadable(int socket, const WakeSignal& wake, const std::atomic<bool>& running) {
    pollfd fds[2] = {{socket, POLLIN, 0}, {wake.fd(), POLLIN, 0}};
    for (;;) {
        if (!running.load()) return Readiness::kStopped;
        const int rc = ::poll(fds, 2, -1);
        if (rc == -1 && errno == EINTR) continue;
        if (!running.load()) return Readiness::kStopped;
        if (rc > 0 && (fds[0].revents & (POLLIN | POLLHUP | POLLERR | POLLNVAL))) {
            return Readiness::kReadable;
        }
    }
}

}  // namespace

SocketPair::SocketPair()
    : streamBuffer_(new uint8_t[kStreamBufferSize]),
      datagramBuffer_(new uint8_t[kDatagramBufferSize]) {}

SocketPair::~SocketPair() {
    StopStream();
    CloseStream();
    StopDatagram();
    CloseDatagram();
}

bool SocketPair::ConnectStream(uint32_t address, uint16_t port, ChannelCallback callback,
                               void* context) {
    int fd;
    {
        std::lock_guard lock(sendLock_);
        // A pair serves one connection: once stopped (or cancelled before the
        // connect began) it never connects again.
        if (stopRequested_ || streamSocket_.IsOpen() || streamThread_.joinable()) return false;
        if (!streamSocket_.Create(SOCK_STREAM, IPPROTO_TCP)) return false;
        fd = streamSocket_.handle();
    }
    // The connect waits outside the lock, beside the wake-up descriptor: StopStream
    // from another thread (a cancelled connecting dialog) aborts it at once.
    const bool connected = ConnectCancellable(fd, address, port);
    std::lock_guard lock(sendLock_);
    if (!connected || stopRequested_ || streamSocket_.handle() != fd) {
        if (streamSocket_.handle() == fd) streamSocket_.Close();
        return false;
    }
    streamSocket_.SetDelay(0);
    uint32_t peer = address;
    streamSocket_.GetPeer(&peer, nullptr);
    streamPeer_ = peer;
    if (!streamBuffer_) streamBuffer_.reset(new uint8_t[kStreamBufferSize]);
    pending_ = 0;
    framing_ = FramingState{kStreamBufferSize, 0};
    streamCallback_ = callback;
    streamContext_ = context;
    streamRunning_ = true;  // set before the thread exists, so a Stop can never be missed
    streamThread_ = std::thread(&SocketPair::StreamLoop, this);
    return true;
}

bool SocketPair::ConnectCancellable(int fd, uint32_t address, uint16_t port) {
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags == -1 || ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) == -1) return false;
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = htonl(address);
    sa.sin_port = htons(port);
    int rc = ::connect(fd, reinterpret_cast<const sockaddr*>(&sa), sizeof sa);
    if (rc == -1 && errno == EINPROGRESS) {
        pollfd fds[2] = {{fd, POLLOUT, 0}, {streamWake_.fd(), POLLIN, 0}};
        do {
            rc = ::poll(fds, 2, -1);
        } while (rc == -1 && errno == EINTR);
        if (rc < 1 || fds[1].revents != 0 || fds[0].revents == 0) return false;
        int error = 0;
        socklen_t len = sizeof error;
        if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &len) != 0 || error != 0) return false;
        rc = 0;
    }
    return rc == 0 && ::fcntl(fd, F_SETFL, flags) != -1;
}

bool SocketPair::OpenDatagram(uint32_t peerAddress, ChannelCallback callback, void* context) {
    if (datagramThread_.joinable()) StopDatagram();
    if (datagramSocket_.IsOpen()) return false;
    if (!datagramSocket_.Create(SOCK_DGRAM, 0)) return false;
    int size = 0;
    if (datagramSocket_.GetReceiveBufferSize(&size)) {
        datagramSocket_.SetReceiveBufferSize(size * kDatagramBufferFactor);
    }
    if (!datagramBuffer_) datagramBuffer_.reset(new uint8_t[kDatagramBufferSize]);
    datagramCallback_ = callback;
    datagramContext_ = context;
    datagramPeer_ = peerAddress;
    strangerDatagrams_ = 0;
    datagramWake_.Clear();
    datagramRunning_ = true;
    datagramThread_ = std::thread(&SocketPair::DatagramLoop, this);
    return true;
}

void SocketPair::StopStream() {
    {
        std::lock_guard lock(sendLock_);
        stopRequested_ = true;
    }
    streamRunning_ = false;
    streamWake_.Raise();
    if (streamThread_.joinable() && streamThread_.get_id() != std::this_thread::get_id()) {
        streamThread_.join();
    }
}

void SocketPair::CloseStream() {
    std::lock_guard lock(sendLock_);
    if (streamSocket_.IsOpen()) ::shutdown(streamSocket_.handle(), SHUT_RDWR);
    streamSocket_.Close();
    // The buffer stays allocated while a receive thread may still be using it.
    if (!streamThread_.joinable() || streamThread_.get_id() == std::this_thread::get_id()) {
        streamBuffer_.reset();
    }
}

void SocketPair::StopDatagram() {
    datagramRunning_ = false;
    datagramWake_.Raise();
    if (datagramThread_.joinable() && datagramThread_.get_id() != std::this_thread::get_id()) {
        datagramThread_.join();
    }
}

void SocketPair::CloseDatagram() {
    datagramSocket_.Close();
    if (!datagramThread_.joinable() || datagramThread_.get_id() == std::this_thread::get_id()) {
        datagramBuffer_.reset();
    }
}

int SocketPair::SendStream(const void* data, int length) {
    std::lock_guard lock(sendLock_);
    if (!streamSocket_.IsOpen()) return -1;
    const auto* p = static_cast<const uint8_t*>(data);
    int result = 0;
    while (length > 0) {
        result = streamSocket_.Send(p, length);
        if (result < 0) break;
        p += result;
        length -= result;
    }
    return result;
}

int SocketPair::SendDatagram(const void* data, int length, uint32_t address, uint16_t port) {
    return datagramSocket_.SendTo(data, length, address, port);
}

bool SocketPair::IsStreamOpen() const {
    std::lock_guard lock(sendLock_);
    return streamSocket_.IsOpen();
}

uint16_t SocketPair::DatagramLocalPort() const {
    sockaddr_in sa{};
    socklen_t len = sizeof sa;
    if (::getsockname(datagramSocket_.handle(), reinterpret_cast<sockaddr*>(&sa), &len) != 0) {
        return 0;
    }
    return ntohs(sa.sin_port);
}

void SocketPair::StreamLoop() {
    uint8_t* const buffer = streamBuffer_.get();
    std::memset(buffer, 0, kStreamBufferSize);
    const int fd = streamSocket_.handle();
    bool failed = false;
    while (streamRunning_) {
        if (WaitReadable(fd, streamWake_, streamRunning_) == Readiness::kStopped) break;
        const int received = streamSocket_.Receive(buffer + pending_, kStreamBufferSize - pending_);
        if (received < 1) {
            failed = true;
            break;
        }
        if (!streamCallback_) continue;
        ChannelEvent event;
        event.code = ChannelEvent::kStreamMessage;
        streamSocket_.GetPeer(&event.peerAddress, &event.peerPort);
        pending_ =
            CutMessages(buffer, pending_ + received, framing_, [&](const uint8_t* msg, int len) {
                streamCallback_(&event, msg, len, streamContext_);
            });
    }
    if (!failed) return;
    CloseStream();
    if (streamCallback_) {
        ChannelEvent closed;
        closed.code = ChannelEvent::kStreamClosed;
        streamCallback_(&closed, nullptr, 0, streamContext_);
    }
}

void SocketPair::DatagramLoop() {
    uint8_t* const buffer = datagramBuffer_.get();
    const int fd = datagramSocket_.handle();
    bool failed = false;
    while (datagramRunning_) {
        if (WaitReadable(fd, datagramWake_, datagramRunning_) == Readiness::kStopped) break;
        ChannelEvent event;
        event.code = ChannelEvent::kDatagram;
        const int received = datagramSocket_.ReceiveFrom(buffer, kDatagramBufferSize,
                                                         &event.peerAddress, &event.peerPort);
        if (received < 0) {
            failed = true;
            break;
        }
        // The socket is unbound and unconnected, so anyone who learns its port can send
        // to it: only the peer's datagrams are the stream.
        if (event.peerAddress != datagramPeer_) {
            strangerDatagrams_.fetch_add(1);
            continue;
        }
        // An empty datagram holds no fragment; it is not the end of the stream.
        if (received == 0) continue;
        if (datagramCallback_) datagramCallback_(&event, buffer, received, datagramContext_);
    }
    if (!failed) return;
    CloseDatagram();
    if (datagramCallback_) {
        ChannelEvent closed;
        closed.code = ChannelEvent::kDatagramClosed;
        datagramCallback_(&closed, nullptr, 0, datagramContext_);
    }
}

}  // namespace vantelsor
