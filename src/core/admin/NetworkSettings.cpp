#include "admin/NetworkSettings.h"

#include "net/NetSession.h"
#include "net/ReplyExchange.h"
#include "protocol/MessageTypes.h"

namespace vantelsor {

int KSetNetworkDlgHandler::OnMessage(const uint8_t* data, int length) {
    return owner_->OnNetworkMessage(data, length);
}

NetworkSettings::NetworkSettings(NetSession& session, const Timing& timing)
    : session_(session), timing_(timing) {}

int NetworkSettings::OnNetworkMessage(const uint8_t* data, int length) {
    if (length < 1) return 0;
    if (data[0] != msg::kNetworkSettings) return data[0] == msg::kEmptyReply ? 1 : 0;
    uint8_t kind = 0;
    network::NetworkConfig c;
    if (network::ParseNetworkMessage(data, length, &kind, &c) && kind == network::kCarriesConfig) {
        std::lock_guard lock(lock_);
        config_ = c;
        haveConfig_ = true;
    }
    return 1;
}

AdminOutcome NetworkSettings::Read() {
    const auto request = network::BuildReadRequest();
    return OutcomeOf(Exchange(session_, request, timing_.replyTimeoutMs));
}

AdminOutcome NetworkSettings::Write(const network::NetworkConfig& config) {
    const auto request = network::BuildNetworkMessage(network::kWrite, config);
    return OutcomeOf(Exchange(session_, request, timing_.replyTimeoutMs));
}

network::NetworkConfig NetworkSettings::config() const {
    std::lock_guard lock(lock_);
    return config_;
}

bool NetworkSettings::haveConfig() const {
    std::lock_guard lock(lock_);
    return haveConfig_;
}

}  // namespace vantelsor
