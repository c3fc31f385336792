#include "admin/AdminRules.h"

#include <cstdio>

#include "res/Strings.h"

namespace vantelsor::rules {
namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// "... 不能为空！" for an empty text, the length rule outside [low, high].
std::string CheckLength(std::string_view text, const char* empty, const char* length, int low,
                        int high) {
    const int n = CharacterCount(text);
    if (n == 0) return empty;
    if (n < low || n > high) return Format(length, low, high);
    return {};
}

}  // namespace

std::string Format(const char* pattern, int low, int high) {
    char text[256];
    std::snprintf(text, sizeof text, pattern, low, high);
    return text;
}

int CharacterCount(std::string_view text) {
    int n = 0;
    for (unsigned char c : text) n += (c & 0xC0) != 0x80;
    return n;
}

bool IsAlphanumeric(std::string_view text) {
    for (char c : text) {
        const bool ok = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (!ok) return false;
    }
    return true;
}

std::string CheckNewUser(std::string_view name, std::string_view password,
                         std::string_view confirmation) {
    std::string m =
        CheckLength(name, res::kUserNameEmpty, res::kUserNameLength, kMinUserName, kMaxUserName);
    if (m.empty()) {
        m = CheckLength(password, res::kPasswordEmpty, res::kPasswordLength, kMinPassword,
                        kMaxPassword);
    }
    if (m.empty() && confirmation != password) m = res::kPasswordsDiffer;
    return m;
}

std::string CheckEditUser(std::string_view name, bool withOldPassword, std::string_view oldPassword,
                          std::string_view newPassword, std::string_view confirmation) {
    std::string m =
        CheckLength(name, res::kUserNameEmpty, res::kUserNameLength, kMinUserName, kMaxUserName);
    if (m.empty() && withOldPassword) {
        m = CheckLength(oldPassword, res::kPasswordEmpty, res::kPasswordLength, kMinPassword,
                        kMaxPassword);
    }
    if (m.empty()) {
        m = CheckLength(newPassword, res::kPasswordEmpty, res::kPasswordLength, kMinPassword,
                        kMaxPassword);
    }
    if (m.empty() && confirmation != newPassword) m = res::kPasswordsDiffer;
    return m;
}

std::string CheckDeviceName(std::string_view name) {
    const int n = CharacterCount(name);
    if (n < kMinDeviceName || n > kMaxDeviceName) {
        return Format(res::kDeviceNameLength, kMinDeviceName, kMaxDeviceName);
    }
    return {};
}

std::string CheckBitRate(long bitRate) {
    if (bitRate < kMinBitRate || bitRate > kMaxBitRate) {
        return Format(res::kBitRateRange, kMinBitRate, kMaxBitRate);
    }
    return {};
}

std::string CheckSleepMinutes(long minutes) {
    if (minutes < kMinSleep || minutes > kMaxSleep) {
        return Format(res::kSleepRange, kMinSleep, kMaxSleep);
    }
    return {};
}

int FrameRateChoice(int frameRate) {
    for (int i = 0; i < static_cast<int>(std::size(kFrameRates)); ++i) {
        if (kFrameRates[i] == frameRate) return i;
    }
    return 0;
}

bool IsFrameRateChoice(int frameRate) {
    return kFrameRates[FrameRateChoice(frameRate)] == frameRate;
}

bool IsValidSubnetMask(uint32_t mask) {
    // The inverse of a run of ones from the top is a run of ones from the bottom,
    // and adding one to that clears it to a single carried bit (or to zero).
    const uint32_t inverse = ~mask;
    return mask != 0 && (inverse & (inverse + 1)) == 0;
}

std::string FormatMac(const MacBytes& mac) {
    char text[18];
    std::snprintf(text, sizeof text, "%02X-%02X-%02X-%02X-%02X-%02X", mac[0], mac[1], mac[2],
                  mac[3], mac[4], mac[5]);
    return text;
}

bool ParseMac(std::string_view text, MacBytes* mac) {
    size_t i = 0;
    for (int group = 0;; ++group) {
        while (i < text.size() && text[i] == ' ') ++i;
        if (i + 1 >= text.size()) return false;
        const int high = HexDigit(text[i]), low = HexDigit(text[i + 1]);
        if (high < 0 || low < 0) return false;
        (*mac)[group] = static_cast<uint8_t>(high << 4 | low);
        i += 2;
        if (group == 5) return true;
        if (i >= text.size() || text[i] != '-') return false;
        ++i;
        if (i == text.size()) return true;
    }
}

std::string CheckNetwork(const NetworkInput& input, MacBytes* mac) {
    if (input.macText.empty()) return res::kMacEmpty;
    if (!ParseMac(input.macText, mac)) return res::kCaptionError;
    if (!input.ipAddress) return res::kIpAddressEmpty;
    if (!input.subnetMask) return res::kSubnetMaskEmpty;
    if (!IsValidSubnetMask(*input.subnetMask)) return res::kSubnetMaskInvalid;
    if (!input.gateway) return res::kGatewayEmpty;
    return {};
}

}  // namespace vantelsor::rules
