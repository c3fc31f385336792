// The network settings message 0xA6, 24 bytes in both directions.
#pragma once

#include <array>
#include <cstdint>

namespace vantelsor::network {

inline constexpr int kMessageSize = 24;
inline constexpr uint8_t kRead = 1;
inline constexpr uint8_t kWrite = 2;
inline constexpr uint8_t kCarriesConfig = 1;  // byte 1 of a reply with a configuration

struct NetworkConfig {
    std::array<uint8_t, 6> mac{};
    uint32_t ipAddress = 0;  // host order
    uint32_t subnetMask = 0;
    uint32_t gateway = 0;
    uint16_t tcpPort = 0;
    uint16_t udpPort = 0;

    bool operator==(const NetworkConfig&) const = default;
};

// A read request carries zeros after its kind byte.
std::array<uint8_t, kMessageSize> BuildReadRequest();
// A write request (kind kWrite) or a reply (kind kCarriesConfig).
std::array<uint8_t, kMessageSize> BuildNetworkMessage(uint8_t kind, const NetworkConfig& config);

// Reads a message of `length` bytes; false when it is not a whole 0xA6 message.
bool ParseNetworkMessage(const uint8_t* data, int length, uint8_t* kind, NetworkConfig* config);

}  // namespace vantelsor::network
