#include "protocol/NetworkMessages.h"

#include <algorithm>

#include "protocol/ByteOrder.h"
#include "protocol/MessageTypes.h"

namespace vantelsor::network {
namespace {

constexpr int kMacAt = 2;
constexpr int kAddressAt = 8;
constexpr int kMaskAt = 12;
constexpr int kGatewayAt = 16;
constexpr int kTcpPortAt = 20;
constexpr int kUdpPortAt = 22;

}  // namespace

std::array<uint8_t, kMessageSize> BuildReadRequest() {
    return {msg::kNetworkSettings, kRead};
}

std::array<uint8_t, kMessageSize> BuildNetworkMessage(uint8_t kind, const NetworkConfig& c) {
    std::array<uint8_t, kMessageSize> m{msg::kNetworkSettings, kind};
    std::copy(c.mac.begin(), c.mac.end(), m.begin() + kMacAt);
    PutU32(&m[kAddressAt], c.ipAddress);
    PutU32(&m[kMaskAt], c.subnetMask);
    PutU32(&m[kGatewayAt], c.gateway);
    PutU16(&m[kTcpPortAt], c.tcpPort);
    PutU16(&m[kUdpPortAt], c.udpPort);
    return m;
}

bool ParseNetworkMessage(const uint8_t* data, int length, uint8_t* kind, NetworkConfig* c) {
    if (length < kMessageSize || data[0] != msg::kNetworkSettings) return false;
    *kind = data[1];
    std::copy(data + kMacAt, data + kMacAt + 6, c->mac.begin());
    c->ipAddress = GetU32(data + kAddressAt);
    c->subnetMask = GetU32(data + kMaskAt);
    c->gateway = GetU32(data + kGatewayAt);
    c->tcpPort = GetU16(data + kTcpPortAt);
    c->udpPort = GetU16(data + kUdpPortAt);
    return true;
}

}  // namespace vantelsor::network
