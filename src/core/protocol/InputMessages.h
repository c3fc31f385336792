// Keyboard (0xE8/0xE9, 18 bytes) and mouse (0xEF/0xEE, 10 bytes) event messages:
// their layout, checksum and sealing, and the device side's reading of them.
// The client's encoders write through the offsets below; the simulated device
// opens received messages with OpenKeyMessage and OpenMouseMessage.
#pragma once

#include <array>
#include <cstdint>

#include "crypto/FieldCipher.h"

namespace vantelsor::input {

inline constexpr int kKeyMessageSize = 18;
inline constexpr int kKeySet2Offset = 1;  // 8 bytes: the PS/2 set 2 bytes, zero-filled
inline constexpr int kKeySet2Size = 8;
inline constexpr int kKeyReportOffset = 9;  // 8 bytes: the HID boot report after the event
inline constexpr int kKeyReportSize = 8;
inline constexpr int kKeyChecksumOffset = 17;

inline constexpr int kMouseMessageSize = 10;
inline constexpr int kMouseStatusOffset = 1;  // PS/2 status byte
inline constexpr int kMousePs2DxOffset = 2;
inline constexpr int kMousePs2DyOffset = 3;  // counts upward
inline constexpr int kMousePs2WheelOffset = 4;
inline constexpr int kMouseHidButtonsOffset = 5;
inline constexpr int kMouseHidDxOffset = 6;
inline constexpr int kMouseHidDyOffset = 7;  // counts downward, like the screen
inline constexpr int kMouseHidWheelOffset = 8;
inline constexpr int kMouseChecksumOffset = 9;

// PS/2 status bits besides the three buttons.
inline constexpr uint8_t kMouseStatusAlwaysOne = 0x08;
inline constexpr uint8_t kMouseStatusXNegative = 0x10;
inline constexpr uint8_t kMouseStatusYNegative = 0x20;

using KeyMessageBytes = std::array<uint8_t, kKeyMessageSize>;
using MouseMessageBytes = std::array<uint8_t, kMouseMessageSize>;
using Set2Bytes = std::array<uint8_t, kKeySet2Size>;
using HidReport = std::array<uint8_t, kKeyReportSize>;

// Sum of bytes 1..n-2 modulo 256: the checksum of an n-byte message, over its plain bytes.
uint8_t InputChecksum(const uint8_t* message, int n);

// Writes the enciphered form of a plain message into `out` (same size).
void SealKeyMessage(const SessionKey& key, const KeyMessageBytes& plain, KeyMessageBytes* out);
void SealMouseMessage(const SessionKey& key, const MouseMessageBytes& plain,
                      MouseMessageBytes* out);

enum class InputVerdict {
    kOk,
    kWrongType,    // not a message of this family
    kShort,        // fewer bytes than the message's size
    kBadChecksum,  // the checksum does not match the (deciphered) bytes
};

struct KeyEventFields {
    bool sealed = false;
    Set2Bytes set2{};
    HidReport report{};
    uint8_t checksum = 0;
};

struct MouseEventFields {
    bool sealed = false;
    uint8_t status = 0;  // PS/2 half
    int8_t ps2Dx = 0;
    int8_t ps2Dy = 0;
    int8_t ps2Wheel = 0;
    uint8_t buttons = 0;  // HID half
    int8_t dx = 0;
    int8_t dy = 0;
    int8_t wheel = 0;
    uint8_t checksum = 0;
};

// Reads a received message of `length` bytes, deciphering a sealed one with
// `key`; every byte is bounds-checked, `length` may be anything.
InputVerdict OpenKeyMessage(const SessionKey& key, const uint8_t* data, int length,
                            KeyEventFields* out);
InputVerdict OpenMouseMessage(const SessionKey& key, const uint8_t* data, int length,
                              MouseEventFields* out);

// True when the PS/2 half of a mouse message says the same as its HID half
// (buttons, movement, wheel and the sign bits).
bool MouseHalvesAgree(const MouseEventFields& m);

}  // namespace vantelsor::input
