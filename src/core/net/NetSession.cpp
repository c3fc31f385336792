#include "net/NetSession.h"

namespace vantelsor {

NetSession::~NetSession() {
    Close();
}

void NetSession::Close() {
    CloseControl();
    CloseVideoChannel();
    SetHandler(nullptr);
    SetHeartbeatHandler(nullptr);
    SetVideoHandler(nullptr);
    keepAlivePaused = 0;
}

bool NetSession::Connect(uint32_t address, uint16_t port) {
    {
        std::lock_guard lock(eventsLock_);
        replyEvent_ = std::make_shared<ManualResetEvent>();
        heartbeatEvent_ = std::make_shared<ManualResetEvent>();
    }
    if (pair_.ConnectStream(address, port, &NetSession::OnStream, this)) return true;
    std::lock_guard lock(eventsLock_);
    replyEvent_.reset();
    heartbeatEvent_.reset();
    return false;
}

void NetSession::CloseControl() {
    pair_.StopStream();
    pair_.CloseStream();
    std::lock_guard lock(eventsLock_);
    replyEvent_.reset();
    heartbeatEvent_.reset();
}

bool NetSession::OpenVideoChannel() {
    const uint32_t device = pair_.StreamPeerAddress();
    if (device == 0) return false;
    return pair_.OpenDatagram(device, &NetSession::OnDatagram, this);
}

void NetSession::CloseVideoChannel() {
    pair_.StopDatagram();
    pair_.CloseDatagram();
}

int NetSession::Send(const void* data, int length) {
    return pair_.SendStream(data, length);
}

int NetSession::SendDatagram(const void* data, int length, uint32_t address, uint16_t port) {
    return pair_.SendDatagram(data, length, address, port);
}

KNetHandler* NetSession::SetHandler(KNetHandler* h) {
    KNetHandler* previous = handler_.exchange(h);
    std::lock_guard quiesce(streamDispatch_);
    return previous;
}

KNetHandler* NetSession::SetHeartbeatHandler(KNetHandler* h) {
    KNetHandler* previous = heartbeatHandler_.exchange(h);
    std::lock_guard quiesce(streamDispatch_);
    return previous;
}

KNetHandler* NetSession::SetVideoHandler(KNetHandler* h) {
    KNetHandler* previous = videoHandler_.exchange(h);
    std::lock_guard quiesce(datagramDispatch_);
    return previous;
}

std::shared_ptr<ManualResetEvent> NetSession::Event(
    const std::shared_ptr<ManualResetEvent>& slot) const {
    std::lock_guard lock(eventsLock_);
    return slot;
}

void NetSession::ResetReply() {
    if (auto e = Event(replyEvent_)) e->Reset();
}

uint32_t NetSession::WaitReply(uint32_t ms) {
    auto e = Event(replyEvent_);
    return e ? e->Wait(ms) : kWaitFailed;
}

void NetSession::ResetHeartbeat() {
    if (auto e = Event(heartbeatEvent_)) e->Reset();
}

uint32_t NetSession::WaitHeartbeat(uint32_t ms) {
    auto e = Event(heartbeatEvent_);
    return e ? e->Wait(ms) : kWaitFailed;
}

void NetSession::OnStream(const ChannelEvent* event, const uint8_t* data, int length,
                          void* context) {
    auto* self = static_cast<NetSession*>(context);
    if (event->code == ChannelEvent::kStreamClosed) {
        self->handler_.exchange(nullptr);
        self->heartbeatHandler_.exchange(nullptr);
        return;
    }
    if (event->code != ChannelEvent::kStreamMessage) return;
    std::lock_guard dispatch(self->streamDispatch_);
    // Both handlers see every message, the heartbeat handler first.
    if (KNetHandler* h = self->heartbeatHandler_.load(); h && h->OnMessage(data, length)) {
        if (auto e = self->Event(self->heartbeatEvent_)) e->Set();
    }
    if (KNetHandler* h = self->handler_.load(); h && h->OnMessage(data, length)) {
        if (auto e = self->Event(self->replyEvent_)) e->Set();
    }
}

void NetSession::OnDatagram(const ChannelEvent* event, const uint8_t* data, int length,
                            void* context) {
    auto* self = static_cast<NetSession*>(context);
    if (event->code == ChannelEvent::kDatagramClosed) {
        self->videoHandler_.exchange(nullptr);
        return;
    }
    if (event->code != ChannelEvent::kDatagram) return;
    std::lock_guard dispatch(self->datagramDispatch_);
    if (KNetHandler* h = self->videoHandler_.load()) h->OnMessage(data, length);
}

}  // namespace vantelsor
