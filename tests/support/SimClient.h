// A test's own client of the simulated device over a real NetSession: it keeps
// every message the device sends, in order, for the test thread to take.
#pragma once

#include <algorithm>
#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string_view>
#include <thread>
#include <vector>

#include "net/KNetHandler.h"
#include "net/NetSession.h"
#include "protocol/LoginMessages.h"
#include "protocol/MessageTypes.h"

namespace vantelsor::test {

using Bytes = std::vector<uint8_t>;

// Generous: only reached when something is broken.
inline constexpr uint32_t kWaitMs = 10000;

// Messages arrive on the session's receive thread and are queued; the test
// thread takes them in order.
class SimClient : public KNetHandler {
  public:
    SimClient() { session_.SetHandler(this); }
    ~SimClient() override { session_.CloseControl(); }

    bool Connect(uint32_t address, uint16_t port) { return session_.Connect(address, port); }
    void Close() { session_.CloseControl(); }
    void Send(const Bytes& bytes) { session_.Send(bytes.data(), static_cast<int>(bytes.size())); }
    template <size_t N>
    void Send(const std::array<uint8_t, N>& bytes) {
        session_.Send(bytes.data(), static_cast<int>(N));
    }

    // The next message from the device, or nothing within timeoutMs.
    std::optional<Bytes> Next(uint32_t timeoutMs = kWaitMs) {
        std::unique_lock lock(lock_);
        if (!arrived_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                               [&] { return !messages_.empty(); })) {
            return std::nullopt;
        }
        Bytes m = std::move(messages_.front());
        messages_.pop_front();
        return m;
    }

    // Sends `sentinel` and returns what the device sent before its reply (it
    // answers each connection in order, so that is everything it had sent);
    // nothing when the reply does not come.
    std::optional<std::vector<Bytes>> MessagesBefore(const Bytes& sentinel) {
        Send(sentinel);
        std::vector<Bytes> before;
        while (auto m = Next()) {
            if ((*m)[0] == sentinel[0]) return before;
            before.push_back(std::move(*m));
        }
        return std::nullopt;
    }
    std::optional<std::vector<Bytes>> MessagesBeforeHeartbeat() {
        return MessagesBefore({msg::kHeartbeat, 0});
    }

    // Version check and key request; false when a reply is missing.
    bool Prepare() {
        Send(login::BuildVersionCheck());
        auto version = Next();
        if (!version || (*version)[0] != msg::kVersionCheck) return false;
        Send(login::BuildKeyRequest());
        auto key = Next();
        if (!key || key->size() != login::kKeyMessageSize || (*key)[0] != msg::kKeyRequest) {
            return false;
        }
        std::copy(key->begin() + 2, key->end(), key_.begin());
        return true;
    }
    // Prepare, then the login; the reply status, or -1 when a reply is missing.
    int Login(std::string_view user, std::string_view password) {
        return LoginFields(login::MakeField(user), login::MakeField(password));
    }
    int LoginFields(const login::PlainField& user, const login::PlainField& password) {
        if (!Prepare()) return -1;
        Send(login::BuildLogin(key_, user, password));
        auto reply = Next();
        if (!reply || reply->size() != 2 || (*reply)[0] != msg::kLogin) return -1;
        return (*reply)[1];
    }

    // Waits until the device has closed the connection. The session tells nobody
    // when its peer closes; its socket state shows it, so this polls that state.
    bool WaitClosed(uint32_t timeoutMs = kWaitMs) {
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (session_.IsControlOpen()) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return true;
    }

    const SessionKey& key() const { return key_; }

  private:
    int OnMessage(const uint8_t* data, int length) override {
        {
            std::lock_guard lock(lock_);
            messages_.emplace_back(data, data + length);
        }
        arrived_.notify_all();
        return 1;
    }

    std::mutex lock_;
    std::condition_variable arrived_;
    std::deque<Bytes> messages_;
    SessionKey key_{};
    NetSession session_;  // last: its receive thread ends before the queue goes
};

}  // namespace vantelsor::test
