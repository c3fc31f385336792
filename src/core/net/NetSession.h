// A device session's connection object: the TCP control connection and
// the UDP video socket with their receive threads, the three handler slots, the
// reply and heartbeat events, and the locked Send every writer uses.
//
// Request/reply convention on the waiting thread: install the handler,
// ResetReply(), Send(request), WaitReply(timeout). Handlers run on the receive
// threads and only copy, set events and post.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

#include "net/KNetHandler.h"
#include "net/ManualResetEvent.h"
#include "net/SocketPair.h"

namespace vantelsor {

class NetSession {
  public:
    // One owner per session (the login sequence); the console and the
    // administration owners borrow it.
    NetSession() = default;
    ~NetSession();
    NetSession(const NetSession&) = delete;
    NetSession& operator=(const NetSession&) = delete;

    // Blocking connect to the device's control port. Creates the reply and
    // heartbeat events (manual reset, not signalled) before any request can be sent.
    bool Connect(uint32_t address, uint16_t port);
    // Stops the stream receive thread (no callback), closes the socket and the
    // events. Safe from any thread but the stream receive thread; also aborts a
    // Connect in progress on another thread.
    void CloseControl();
    bool IsControlOpen() const { return pair_.IsStreamOpen(); }
    // Both channels closed, every handler slot emptied and the keep-alive pause
    // lifted: the session is as new, ready for another Connect.
    void Close();

    // Opens the video socket. It takes datagrams only from the device the control
    // connection went to (the peer the system reports for it, kept after the connection
    // closes): those of any other host are counted in VideoStrangerDatagrams and dropped.
    // False before a control connection was ever made, or when the socket cannot be made.
    bool OpenVideoChannel();
    void CloseVideoChannel();
    bool IsVideoChannelOpen() const { return pair_.IsDatagramOpen(); }
    uint16_t VideoChannelLocalPort() const { return pair_.DatagramLocalPort(); }
    // Datagrams from other hosts dropped since the video channel was last opened; kept
    // after it closes. Any thread.
    uint64_t VideoStrangerDatagrams() const { return pair_.StrangerDatagrams(); }

    // All bytes under the send lock; the last send result, negative on failure.
    int Send(const void* data, int length);
    int SendDatagram(const void* data, int length, uint32_t address, uint16_t port);

    // Each returns the previously installed handler. When one returns, the
    // receive thread is no longer inside the handler it replaced, so the caller
    // may delete that one.
    KNetHandler* SetHandler(KNetHandler* h);
    KNetHandler* SetHeartbeatHandler(KNetHandler* h);
    KNetHandler* SetVideoHandler(KNetHandler* h);
    KNetHandler* handler() const { return handler_.load(); }
    KNetHandler* heartbeatHandler() const { return heartbeatHandler_.load(); }
    KNetHandler* videoHandler() const { return videoHandler_.load(); }

    // Waits return kWaitSignalled, kWaitTimeout, or kWaitFailed when the control
    // connection has been closed with CloseControl (there is no event any more).
    // A wait already in progress when the events are closed runs to its time-out.
    void ResetReply();
    uint32_t WaitReply(uint32_t ms);
    void ResetHeartbeat();
    uint32_t WaitHeartbeat(uint32_t ms);

    // While non-zero the heartbeat and the lock-key poll send nothing.
    std::atomic<int> keepAlivePaused{0};

  private:
    static void OnStream(const ChannelEvent* event, const uint8_t* data, int length, void* context);
    static void OnDatagram(const ChannelEvent* event, const uint8_t* data, int length,
                           void* context);
    std::shared_ptr<ManualResetEvent> Event(const std::shared_ptr<ManualResetEvent>& slot) const;

    std::atomic<KNetHandler*> handler_{nullptr};
    std::atomic<KNetHandler*> heartbeatHandler_{nullptr};
    std::atomic<KNetHandler*> videoHandler_{nullptr};

    mutable std::mutex eventsLock_;
    std::shared_ptr<ManualResetEvent> replyEvent_;
    std::shared_ptr<ManualResetEvent> heartbeatEvent_;

    // Held by a receive thread while it is inside a handler; a Set*Handler on
    // another thread passes through it after the exchange. Recursive so that a
    // handler may itself swap handlers without deadlock.
    std::recursive_mutex streamDispatch_;
    std::recursive_mutex datagramDispatch_;

    SocketPair pair_;
};

}  // namespace vantelsor
