// IPv4 addresses in host order to and from dotted decimal text
// (most significant byte first).
#pragma once

#include <arpa/inet.h>

#include <cstdint>
#include <string>

namespace vantelsor {

inline std::string AddressText(uint32_t hostOrder) {
    in_addr a{};
    a.s_addr = htonl(hostOrder);
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &a, text, sizeof text);
    return text;
}

// Strict dotted quad ("127.0.0.7"); false for anything else.
inline bool ParseAddress(const std::string& text, uint32_t* hostOrder) {
    in_addr a{};
    if (inet_pton(AF_INET, text.c_str(), &a) != 1) return false;
    *hostOrder = ntohl(a.s_addr);
    return true;
}

}  // namespace vantelsor
