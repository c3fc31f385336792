// What the simulator tests share: a client over a real NetSession that keeps
// every message the device sends, and a fixture that runs a device on this
// test process's own loopback address.
#pragma once

#include <gtest/gtest.h>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string_view>
#include <vector>

#include "net/KNetHandler.h"
#include "net/NetSession.h"
#include "protocol/LoginMessages.h"
#include "sim/DeviceSim.h"

namespace vantelsor::test {

using Bytes = std::vector<uint8_t>;

// Generous: only reached when something is broken.
inline constexpr uint32_t kWaitMs = 10000;

// One client connection. Messages arrive on the session's receive thread and
// are queued; the test thread takes them in order.
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
    std::optional<Bytes> Next(uint32_t timeoutMs = kWaitMs);
    // Sends `sentinel` and returns what the device sent before its reply (it
    // answers each connection in order, so that is everything it had sent);
    // nothing when the reply does not come.
    std::optional<std::vector<Bytes>> MessagesBefore(const Bytes& sentinel);
    std::optional<std::vector<Bytes>> MessagesBeforeHeartbeat() {
        return MessagesBefore({0xAD, 0});
    }

    // Version check and key request; false when a reply is missing.
    bool Prepare();
    // Prepare, then the login; the reply status, or -1 when a reply is missing.
    int Login(std::string_view user, std::string_view password);
    int LoginFields(const login::PlainField& user, const login::PlainField& password);

    // Waits until the device has closed the connection.
    bool WaitClosed(uint32_t timeoutMs = kWaitMs);

    const SessionKey& key() const { return key_; }

  private:
    int OnMessage(const uint8_t* data, int length) override;

    std::mutex lock_;
    std::condition_variable arrived_;
    std::deque<Bytes> messages_;
    SessionKey key_{};
    NetSession session_;  // last: its receive thread ends before the queue goes
};

class SimTest : public ::testing::Test {
  protected:
    // A device on this process's address and the control port, not started.
    static sim::SimConfig Config();
    // Starts a device; fails the test when it cannot.
    void Start(sim::SimConfig config);
    std::unique_ptr<SimClient> Connect();
    // Connected and logged in, expecting `status`.
    std::unique_ptr<SimClient> LogIn(std::string_view user, std::string_view password, int status);

    std::unique_ptr<sim::DeviceSim> device_;
};

}  // namespace vantelsor::test
