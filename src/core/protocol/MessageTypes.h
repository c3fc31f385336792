// Type bytes of the control protocol and the fixed ports of the device.
#pragma once

#include <cstdint>

namespace vantelsor::msg {

inline constexpr uint16_t kControlPort = 5552;
inline constexpr uint16_t kVideoPort = 5553;

inline constexpr uint8_t kVersionCheck = 0xA1;
inline constexpr uint8_t kKeyRequest = 0xA2;
inline constexpr uint8_t kLogin = 0xA3;
inline constexpr uint8_t kVideoSettings = 0xA4;
inline constexpr uint8_t kStreamControl = 0xA5;
inline constexpr uint8_t kNetworkSettings = 0xA6;
inline constexpr uint8_t kUserWrite = 0xA7;
inline constexpr uint8_t kUserList = 0xA8;
inline constexpr uint8_t kControlRequest = 0xA9;
inline constexpr uint8_t kLoginRecord = 0xAA;
inline constexpr uint8_t kLogRead = 0xAB;
inline constexpr uint8_t kLogClear = 0xAC;
inline constexpr uint8_t kHeartbeat = 0xAD;
inline constexpr uint8_t kEmptyReply = 0xAE;
inline constexpr uint8_t kControlLost = 0xAF;
inline constexpr uint8_t kReboot = 0xB0;
inline constexpr uint8_t kLockState = 0xB1;
inline constexpr uint8_t kIdentity = 0xB2;
inline constexpr uint8_t kFirmwareStart = 0xB3;
inline constexpr uint8_t kFirmwareBlock = 0xB4;
inline constexpr uint8_t kFirmwareVersion = 0xB5;
inline constexpr uint8_t kSleepTime = 0xB6;
inline constexpr uint8_t kKeyboard = 0xE8;
inline constexpr uint8_t kKeyboardSealed = 0xE9;
inline constexpr uint8_t kMouse = 0xEF;
inline constexpr uint8_t kMouseSealed = 0xEE;

// Generic status bytes of replies.
inline constexpr uint8_t kStatusOk = 0x00;
inline constexpr uint8_t kStatusRefused = 0xFF;

}  // namespace vantelsor::msg
