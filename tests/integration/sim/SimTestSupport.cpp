#include "SimTestSupport.h"

#include <chrono>
#include <thread>

#include "protocol/MessageTypes.h"
#include "support/TestAddress.h"

namespace vantelsor::test {

int SimClient::OnMessage(const uint8_t* data, int length) {
    {
        std::lock_guard lock(lock_);
        messages_.emplace_back(data, data + length);
    }
    arrived_.notify_all();
    return 1;
}

std::optional<Bytes> SimClient::Next(uint32_t timeoutMs) {
    std::unique_lock lock(lock_);
    if (!arrived_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                           [&] { return !messages_.empty(); })) {
        return std::nullopt;
    }
    Bytes m = std::move(messages_.front());
    messages_.pop_front();
    return m;
}

std::optional<std::vector<Bytes>> SimClient::MessagesBefore(const Bytes& sentinel) {
    Send(sentinel);
    std::vector<Bytes> before;
    while (auto m = Next()) {
        if ((*m)[0] == sentinel[0]) return before;
        before.push_back(std::move(*m));
    }
    return std::nullopt;
}

bool SimClient::Prepare() {
    Send(login::BuildVersionCheck());
    auto version = Next();
    if (!version || (*version)[0] != msg::kVersionCheck) return false;
    Send(login::BuildKeyRequest());
    auto key = Next();
    if (!key || key->size() != login::kKeyMessageSize || (*key)[0] != msg::kKeyRequest)
        return false;
    std::copy(key->begin() + 2, key->end(), key_.begin());
    return true;
}

int SimClient::Login(std::string_view user, std::string_view password) {
    return LoginFields(login::MakeField(user), login::MakeField(password));
}

int SimClient::LoginFields(const login::PlainField& user, const login::PlainField& password) {
    if (!Prepare()) return -1;
    Send(login::BuildLogin(key_, user, password));
    auto reply = Next();
    if (!reply || reply->size() != 2 || (*reply)[0] != msg::kLogin) return -1;
    return (*reply)[1];
}

bool SimClient::WaitClosed(uint32_t timeoutMs) {
    // The session tells nobody when its peer closes; its socket state shows it.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (session_.IsControlOpen()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

sim::SimConfig SimTest::Config() {
    sim::SimConfig config;
    config.listenAddress = TestAddress();
    config.controlPort = msg::kControlPort;
    return config;
}

void SimTest::Start(sim::SimConfig config) {
    device_ = std::make_unique<sim::DeviceSim>(std::move(config));
    ASSERT_TRUE(device_->Start()) << device_->StartError();
}

std::unique_ptr<SimClient> SimTest::Connect() {
    auto client = std::make_unique<SimClient>();
    EXPECT_TRUE(client->Connect(TestAddress(), device_->ControlPort()));
    return client;
}

std::unique_ptr<SimClient> SimTest::LogIn(std::string_view user, std::string_view password,
                                          int status) {
    auto client = Connect();
    EXPECT_EQ(client->Login(user, password), status) << "login of " << user;
    return client;
}

}  // namespace vantelsor::test
