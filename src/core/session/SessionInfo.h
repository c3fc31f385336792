// The record of the logged-in session, created anew for every login attempt.
//
// Written by the login sequence on the user-interface thread before any other
// thread starts; afterwards only hasControlRight and localCursorOn change, and
// hasControlRight is read by the input threads, hence atomic.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "crypto/FieldCipher.h"
#include "protocol/MessageTypes.h"

namespace vantelsor {

struct SessionInfo {
    static constexpr uint16_t kAdministrator = 1;
    static constexpr uint16_t kOrdinaryUser = 2;
    static constexpr int32_t kEncryptKeyboard = 1;
    static constexpr int32_t kEncryptMouse = 2;

    SessionInfo(uint32_t address, int32_t flags) : deviceAddress(address), encryptionFlags(flags) {}

    uint32_t deviceAddress;  // host order
    int32_t tcpPort = msg::kControlPort;
    int32_t udpPort = msg::kVideoPort;
    int32_t videoMode = 1;
    int32_t encryptionFlags;             // bit 0 keyboard, bit 1 mouse
    SessionKey sessionKey{};             // from the 0xA2 reply
    uint16_t userNameLength = 0;         // 0 until the login is accepted
    std::array<uint8_t, 16> userName{};  // zero-padded, no terminator when full
    uint16_t userType = kAdministrator;
    std::atomic<int32_t> hasControlRight{1};
    std::atomic<int32_t> localCursorOn{1};
    int32_t topmost = 0, left = 0, top = 0, width = 0, height = 0, maximized = 0;
};

}  // namespace vantelsor
