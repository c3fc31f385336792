// The rules of the administration dialogs that are not about a window: limits,
// ranges and validations, each failing with the system's own message.
// Pure functions; any thread.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantelsor::rules {

inline constexpr int kMinUserName = 4, kMaxUserName = 16;
inline constexpr int kMinPassword = 6, kMaxPassword = 16;
inline constexpr int kMinDeviceName = 6, kMaxDeviceName = 16;
inline constexpr int kMinBitRate = 10, kMaxBitRate = 2048;
inline constexpr int kMinSleep = 0, kMaxSleep = 255;
inline constexpr int kFrameRates[] = {5, 10, 15, 20, 25, 30};
// What the video dialog shows when the read times out.
inline constexpr int kDefaultBitRate = 10;
inline constexpr int kDefaultFrameRate = 5;

// A pattern of the string table with two bounds filled in.
std::string Format(const char* pattern, int low, int high);

// Length in characters of UTF-8 text, as the dialogs count it.
int CharacterCount(std::string_view text);
// Only 0-9, a-z and A-Z: what the name and password boxes let through.
bool IsAlphanumeric(std::string_view text);

// The add dialog's checks in its order; empty when all pass.
std::string CheckNewUser(std::string_view name, std::string_view password,
                         std::string_view confirmation);
// The edit dialog's; the old password only when it is asked for.
std::string CheckEditUser(std::string_view name, bool withOldPassword, std::string_view oldPassword,
                          std::string_view newPassword, std::string_view confirmation);
std::string CheckDeviceName(std::string_view name);
std::string CheckBitRate(long bitRate);
std::string CheckSleepMinutes(long minutes);

// Index in kFrameRates of a frame rate; the first item when it is none of them.
int FrameRateChoice(int frameRate);
bool IsFrameRateChoice(int frameRate);

// A mask is valid when it is not 0 and its one-bits form one run from the top bit.
bool IsValidSubnetMask(uint32_t mask);

using MacBytes = std::array<uint8_t, 6>;
// "00-1A-2B-3C-4D-5E": upper-case pairs joined by "-".
std::string FormatMac(const MacBytes& mac);
// Groups of two hexadecimal digits joined by "-", spaces before a group skipped;
// success after six groups whatever follows, or when the text ends after a "-"
// (the bytes not read keep their values in *mac). *mac is written group by group.
bool ParseMac(std::string_view text, MacBytes* mac);

// The network dialog's checks before a write, in its order: the MAC text, then
// whether each address box is blank, then the mask rule. Parses the MAC text
// into *mac. Empty when all pass.
struct NetworkInput {
    std::string macText;
    std::optional<uint32_t> ipAddress;  // nullopt: the box is blank
    std::optional<uint32_t> subnetMask;
    std::optional<uint32_t> gateway;
};
std::string CheckNetwork(const NetworkInput& input, MacBytes* mac);

}  // namespace vantelsor::rules
