#include "sim/ControlServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "net/AddressText.h"
#include "protocol/MessageTypes.h"
#include "protocol/RequestFraming.h"

namespace vantelsor::sim {
namespace {

constexpr int kListenBacklog = 16;
constexpr size_t kMaxConnections = 64;    // beyond: accepted and closed at once
constexpr size_t kMaxBacklog = 1 << 20;   // unsent and delayed reply bytes per connection
constexpr uint32_t kListenRetryMs = 200;  // after a reboot, when the address is not free yet
constexpr uint32_t kAcceptPauseMs = 200;  // after accept ran out of descriptors or memory
constexpr size_t kReadChunk = 65536;

// The password is the last field of a login: zero it before the bytes are kept.
void RedactPassword(std::vector<uint8_t>* message) {
    if ((*message)[0] != msg::kLogin || message->size() < size_t{login::kLoginSize}) return;
    std::fill(message->begin() + (login::kLoginSize - login::kFieldSize),
              message->begin() + login::kLoginSize, 0);
}

std::string ErrorText() {
    return std::strerror(errno);
}

}  // namespace

ControlServer::ControlServer(const SimConfig& config, EndStreams endStreams)
    : config_(config),
      policy_(config.faultSeed),
      endStreams_(std::move(endStreams)),
      device_(config_),
      trace_(config_.traceCapacity),
      readBuffer_(kReadChunk) {}

ControlServer::~ControlServer() {
    if (StopLoop()) Shutdown();
}

bool ControlServer::Start(const std::function<bool(std::string* error)>& alongside) {
    std::lock_guard lock(lock_);
    if (thread_.joinable()) return true;
    startError_.clear();
    if (!device_.modelError().empty()) {
        startError_ = device_.modelError();
        return false;
    }
    if (!trace_.Open(config_.tracePath, &startError_)) return false;
    if (!Listen()) {
        trace_.Close();
        return false;
    }
    if (!alongside(&startError_)) {
        listenFd_.Reset();
        trace_.Close();
        return false;
    }
    trace_.Note(0, "fault seed " + std::to_string(policy_.seed()));
    stopping_ = false;
    wake_.Clear();
    thread_ = std::thread(&ControlServer::Loop, this);
    return true;
}

bool ControlServer::StopLoop() {
    {
        std::lock_guard lock(lock_);
        if (!thread_.joinable()) return false;
        stopping_ = true;
    }
    wake_.Raise();
    thread_.join();
    return true;
}

void ControlServer::Shutdown() {
    std::lock_guard lock(lock_);
    while (!connections_.empty()) CloseConnection(connections_.begin()->first, "device stopped");
    listenFd_.Reset();
    timers_.Clear();
    acceptPaused_ = false;
    trace_.Close();
    changed_.notify_all();
}

std::string ControlServer::StartError() const {
    std::lock_guard lock(lock_);
    return startError_;
}

uint16_t ControlServer::ControlPort() const {
    std::lock_guard lock(lock_);
    return boundPort_;
}

bool ControlServer::Listen() {
    const std::string where = AddressText(config_.listenAddress) + ":";
    UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!fd) {
        startError_ = "cannot create a socket: " + ErrorText();
        return false;
    }
    const int on = 1;
    ::setsockopt(fd.get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = htonl(config_.listenAddress);
    // After a reboot the device comes back on the port it had, even one the system chose.
    sa.sin_port = htons(boundPort_ ? boundPort_ : config_.controlPort);
    if (::bind(fd.get(), reinterpret_cast<const sockaddr*>(&sa), sizeof sa) != 0 ||
        ::listen(fd.get(), kListenBacklog) != 0) {
        startError_ =
            "cannot listen on " + where + std::to_string(ntohs(sa.sin_port)) + ": " + ErrorText();
        return false;
    }
    socklen_t len = sizeof sa;
    ::getsockname(fd.get(), reinterpret_cast<sockaddr*>(&sa), &len);
    boundPort_ = ntohs(sa.sin_port);
    listenFd_ = std::move(fd);
    changed_.notify_all();
    return true;
}

void ControlServer::Loop() {
    std::vector<pollfd> fds;
    std::vector<int> ids;  // connection id of fds[i + 2]
    for (;;) {
        int timeout;
        {
            std::lock_guard lock(lock_);
            if (stopping_) return;
            fds.assign(
                {{wake_.fd(), POLLIN, 0}, {acceptPaused_ ? -1 : listenFd_.get(), POLLIN, 0}});
            ids.clear();
            for (const auto& [id, c] : connections_) {
                const short events = c.out.empty() ? POLLIN : POLLIN | POLLOUT;
                fds.push_back({c.fd.get(), events, 0});
                ids.push_back(id);
            }
            timeout = timers_.NextTimeoutMs(TimerQueue::Clock::now());
        }
        // A negative descriptor (no listener while rebooting) is skipped by poll.
        if (::poll(fds.data(), fds.size(), timeout) == -1 && errno != EINTR) return;

        std::lock_guard lock(lock_);
        if (stopping_) return;
        if (fds[0].revents) wake_.Clear();
        // A reboot while handling one connection invalidates the rest of this round.
        const int round = reboots_;
        for (size_t i = 0; i < ids.size() && reboots_ == round; ++i) {
            const short revents = fds[i + 2].revents;
            if (revents & (POLLIN | POLLHUP | POLLERR)) Read(ids[i]);
            if ((revents & POLLOUT) && reboots_ == round) Flush(ids[i]);
        }
        if (reboots_ == round && fds[1].fd != -1 && (fds[1].revents & POLLIN)) Accept();
        RunTimers();
    }
}

void ControlServer::Accept() {
    for (;;) {
        sockaddr_in peer{};
        socklen_t len = sizeof peer;
        UniqueFd fd(::accept4(listenFd_.get(), reinterpret_cast<sockaddr*>(&peer), &len,
                              SOCK_NONBLOCK | SOCK_CLOEXEC));
        if (!fd) {
            // The pending client stays queued and the listener readable: without a
            // pause the loop would spin until a descriptor is free again.
            if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
                acceptPaused_ = true;
                timers_.Add(kAcceptPauseMs, {TimerQueue::Timer::kResumeAccept, 0, {}});
                trace_.Note(0, "cannot accept: " + ErrorText() + "; pausing");
            }
            return;  // EAGAIN: none left; anything else: try again next round
        }
        const int id = nextConnection_++;
        const std::string from =
            AddressText(ntohl(peer.sin_addr.s_addr)) + ":" + std::to_string(ntohs(peer.sin_port));
        if (connections_.size() >= kMaxConnections) {
            trace_.Note(id, "refused " + from + ": too many connections");
            continue;
        }
        // Replies are tiny and awaited one by one: no Nagle delay.
        const int on = 1;
        ::setsockopt(fd.get(), IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        Connection& c = connections_[id];
        c.id = id;
        c.fd = std::move(fd);
        device_.Open(id);
        trace_.Note(id, "connected from " + from);
        changed_.notify_all();
    }
}

void ControlServer::Read(int id) {
    auto it = connections_.find(id);
    if (it == connections_.end()) return;
    const ssize_t n = ::recv(it->second.fd.get(), readBuffer_.data(), readBuffer_.size(), 0);
    if (n == 0) return CloseConnection(id, "closed by the client");
    if (n < 0) {
        if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) return;
        return CloseConnection(id, "receive failed: " + ErrorText());
    }
    it->second.in.insert(it->second.in.end(), readBuffer_.begin(), readBuffer_.begin() + n);
    Cut(id);
}

// Cuts the connection's buffered bytes into messages and handles each whole one;
// an incomplete message stays buffered until the rest arrives.
void ControlServer::Cut(int id) {
    size_t used = 0;
    for (;;) {
        auto it = connections_.find(id);
        if (it == connections_.end()) return;  // closed while handling a message
        Connection& c = it->second;
        const size_t available = c.in.size() - used;
        if (available == 0) break;
        const uint8_t* p = c.in.data() + used;
        const int length = RequestLength(p, static_cast<int>(available));
        if (length == kUnknownRequest) return FramingError(c, used);
        if (static_cast<size_t>(length) > available) break;
        std::vector<uint8_t> message(p, p + length);
        used += static_cast<size_t>(length);
        // Handling may close this connection or reboot the device: keep nothing
        // of `c` across it.
        const int round = reboots_;
        Handle(id, std::move(message));
        if (reboots_ != round) return;
    }
    Connection& c = connections_.at(id);
    c.in.erase(c.in.begin(), c.in.begin() + static_cast<std::ptrdiff_t>(used));
}

// Nothing after an unknown type byte can be trusted to start a message: all of
// the connection's buffered bytes from there on are dropped, the connection stays.
void ControlServer::FramingError(Connection& c, size_t from) {
    ++framingErrors_;
    std::vector<uint8_t> dropped(c.in.begin() + static_cast<std::ptrdiff_t>(from), c.in.end());
    c.in.clear();
    char text[64];
    std::snprintf(text, sizeof text, "framing error 0x%02X (%zu bytes discarded)", dropped[0],
                  dropped.size());
    Record(c.id, dropped, text);
}

void ControlServer::Handle(int id, std::vector<uint8_t> message) {
    Connection& c = connections_.at(id);
    const uint8_t type = message[0];
    const int closeAfter = config_.faults.closeAfterMessages;
    ++c.messages;
    if (closeAfter > 0 && c.messages >= closeAfter) {
        Record(id, message,
               ControlDevice::Describe(type) + " [close-after " + std::to_string(closeAfter) +
                   ": closed]");
        return CloseConnection(id, "close-after fault");
    }
    ControlDevice::Outcome out =
        device_.Receive(id, message.data(), static_cast<int>(message.size()));
    for (const ControlDevice::Event& e : out.events) Deliver(e.connection, e.bytes);
    if (out.reply) out.text += ReplyWithFaults(id, type, std::move(*out.reply));
    Record(id, message, std::move(out.text));
    if (out.reboot) Reboot();
}

// Sends (or withholds, spoils, delays) the reply to a message of `type`; returns
// the note for the trace.
std::string ControlServer::ReplyWithFaults(int id, uint8_t type, std::vector<uint8_t> reply) {
    const Faults& f = config_.faults;
    if (f.silent.count(type)) return " [silent]";
    // Sending the device's own events first may have closed this connection.
    const auto it = connections_.find(id);
    if (it == connections_.end()) return " [connection gone]";
    Connection& c = it->second;
    std::string note;
    if (auto g = f.garbage.find(type); g != f.garbage.end()) {
        reply = policy_.Garbage(id, c.messages, static_cast<size_t>(std::max(g->second, 0)));
        note = " [garbage " + std::to_string(reply.size()) + " bytes]";
    }
    if (auto d = f.delayMs.find(type); d != f.delayMs.end() && d->second > 0) {
        c.delayed += reply.size();
        timers_.Add(d->second, {TimerQueue::Timer::kReply, id, std::move(reply)});
        CheckBacklog(c);
        return note + " [delay " + std::to_string(d->second) + " ms]";
    }
    Deliver(id, reply);
    return note;
}

void ControlServer::Deliver(int id, const std::vector<uint8_t>& bytes) {
    auto it = connections_.find(id);
    if (it == connections_.end() || bytes.empty()) return;
    it->second.out.insert(it->second.out.end(), bytes.begin(), bytes.end());
    Flush(id);
}

void ControlServer::Flush(int id) {
    auto it = connections_.find(id);
    if (it == connections_.end()) return;
    Connection& c = it->second;
    while (!c.out.empty()) {
        const ssize_t n =
            ::send(c.fd.get(), c.out.data(), c.out.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0) {
            if (errno == EINTR) continue;
            if (errno != EAGAIN && errno != EWOULDBLOCK) {
                return CloseConnection(id, "send failed: " + ErrorText());
            }
            break;  // the loop waits for POLLOUT
        }
        c.out.erase(c.out.begin(), c.out.begin() + n);
    }
    CheckBacklog(c);
}

// A client that never reads, or floods a delayed type, would otherwise grow the
// device's memory without bound.
bool ControlServer::CheckBacklog(Connection& c) {
    if (c.out.size() + c.delayed <= kMaxBacklog) return false;
    CloseConnection(c.id, "too many replies pending (the client does not read)");
    return true;
}

void ControlServer::CloseConnection(int id, const std::string& why) {
    auto it = connections_.find(id);
    if (it == connections_.end()) return;
    connections_.erase(it);  // closes the socket
    endStreams_(id);
    device_.Close(id);
    trace_.Note(id, "closed: " + why);
    changed_.notify_all();
}

void ControlServer::Reboot() {
    for (const auto& [id, c] : connections_) trace_.Note(id, "closed: reboot");
    connections_.clear();
    endStreams_(kAllConnections);
    device_.CloseAll();
    timers_.DropReplies();
    listenFd_.Reset();
    ++reboots_;
    trace_.Note(0, "rebooting, back in " + std::to_string(config_.rebootDelayMs) + " ms");
    timers_.Add(config_.rebootDelayMs, {TimerQueue::Timer::kListenAgain, 0, {}});
    changed_.notify_all();
}

void ControlServer::RunTimers() {
    for (TimerQueue::Timer& t : timers_.TakeDue(TimerQueue::Clock::now())) {
        if (t.kind == TimerQueue::Timer::kReply) {
            auto it = connections_.find(t.connection);
            if (it == connections_.end()) continue;  // closed meanwhile: the reply is lost
            it->second.delayed -= t.bytes.size();
            Deliver(t.connection, t.bytes);
        } else if (t.kind == TimerQueue::Timer::kResumeAccept) {
            acceptPaused_ = false;
        } else if (listenFd_) {
            continue;
        } else if (Listen()) {
            trace_.Note(0, "back from reboot, listening on " + AddressText(config_.listenAddress) +
                               ":" + std::to_string(boundPort_));
        } else {
            trace_.Note(0, startError_ + "; trying again");
            timers_.Add(kListenRetryMs, {TimerQueue::Timer::kListenAgain, 0, {}});
        }
    }
}

void ControlServer::Record(int connection, const std::vector<uint8_t>& message, std::string text) {
    TraceEntry entry;
    entry.connection = connection;
    entry.type = message[0];
    entry.bytes = message;
    RedactPassword(&entry.bytes);
    entry.text = std::move(text);
    trace_.Add(std::move(entry));
    changed_.notify_all();
}

std::vector<TraceEntry> ControlServer::Trace() const {
    std::lock_guard lock(lock_);
    return {trace_.entries().begin(), trace_.entries().end()};
}

bool ControlServer::WaitForTrace(const std::function<bool(const TraceEntry&)>& pred,
                                 uint32_t timeoutMs, size_t count) const {
    std::unique_lock lock(lock_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
        const auto& entries = trace_.entries();
        return static_cast<size_t>(std::count_if(entries.begin(), entries.end(), pred)) >= count;
    });
}

SimStatus ControlServer::StatusLocked() const {
    SimStatus s;
    s.listening = listenFd_.valid();
    s.openConnections = static_cast<int>(connections_.size());
    s.loggedIn = device_.LoggedInCount();
    s.framingErrors = framingErrors_;
    s.reboots = reboots_;
    s.controlHolder = device_.controlHolder();
    return s;
}

SimStatus ControlServer::Status() const {
    std::lock_guard lock(lock_);
    return StatusLocked();
}

bool ControlServer::WaitForStatus(const std::function<bool(const SimStatus&)>& pred,
                                  uint32_t timeoutMs) const {
    std::unique_lock lock(lock_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                             [&] { return pred(StatusLocked()); });
}

void ControlServer::SetLockLeds(uint8_t leds) {
    std::lock_guard lock(lock_);
    device_.SetLockLeds(leds);
}

void ControlServer::RecordDatagram(int connection, const std::vector<uint8_t>& datagram,
                                   const std::string& text) {
    std::lock_guard lock(lock_);
    Record(connection, datagram, text);
}

std::optional<StreamGrant> ControlServer::AuthoriseStream(const std::string& user,
                                                          uint32_t address) const {
    std::lock_guard lock(lock_);
    // The newest login of that user from that address: a client that logged in again
    // streams with its new key.
    for (auto it = connections_.rbegin(); it != connections_.rend(); ++it) {
        const auto login = device_.LoggedIn(it->first);
        if (!login || login->user != user) continue;
        sockaddr_in peer{};
        socklen_t length = sizeof peer;
        if (::getpeername(it->second.fd.get(), reinterpret_cast<sockaddr*>(&peer), &length) != 0 ||
            ntohl(peer.sin_addr.s_addr) != address) {
            continue;
        }
        return StreamGrant{it->first, login->key};
    }
    return std::nullopt;
}

}  // namespace vantelsor::sim
