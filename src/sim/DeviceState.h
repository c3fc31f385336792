// What the simulated device keeps across reboots and restarts: accounts,
// network configuration, video rates, sleep time, identity, firmware version
// and image, and the user log. Plain values.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "protocol/IdentityMessages.h"
#include "protocol/LoginMessages.h"
#include "protocol/NetworkMessages.h"
#include "protocol/VideoSettingsMessages.h"
#include "sim/SimConfig.h"

namespace vantelsor::sim {

// The device keeps the newest records beyond this.
inline constexpr size_t kMaxLogRecords = 1000;

struct DeviceState {
    std::vector<Account> accounts = DefaultAccounts();
    network::NetworkConfig network = DefaultNetwork();
    VideoRate video;
    uint8_t sleepMinutes = 0;  // 0: never sleeps
    identity::Text uid = identity::PackText("VTS2013A00000001");
    std::string name = "vantelsor";
    uint8_t versionMajor = 1;
    uint8_t versionMinor = 2;
    std::vector<login::LoginRecord> log;
    std::vector<uint8_t> firmware;  // the last image received whole

    static network::NetworkConfig DefaultNetwork() {
        network::NetworkConfig n;
        n.mac = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E};
        n.ipAddress = 0xC0A80164;  // 192.168.1.100
        n.subnetMask = 0xFFFFFF00;
        n.gateway = 0xC0A80101;
        n.tcpPort = 5552;
        n.udpPort = 5553;
        return n;
    }
};

}  // namespace vantelsor::sim
