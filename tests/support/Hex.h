// Hex text to bytes and back, for readable test vectors.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vantelsor::test {

inline std::vector<uint8_t> FromHex(std::string_view hex) {
    std::vector<uint8_t> out;
    auto nibble = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    int high = -1;
    for (char c : hex) {
        const int v = nibble(c);
        if (v < 0) continue;  // spaces and separators
        if (high < 0) {
            high = v;
        } else {
            out.push_back(static_cast<uint8_t>(high << 4 | v));
            high = -1;
        }
    }
    return out;
}

inline std::string ToHex(const uint8_t* p, size_t n) {
    static const char* digits = "0123456789ABCDEF";
    std::string s;
    for (size_t i = 0; i < n; ++i) {
        if (i) s += ' ';
        s += digits[p[i] >> 4];
        s += digits[p[i] & 15];
    }
    return s;
}

template <typename Container>
std::string ToHex(const Container& c) {
    return ToHex(reinterpret_cast<const uint8_t*>(c.data()), c.size());
}

}  // namespace vantelsor::test
