#include "session/LocalAddress.h"

#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

namespace vantelsor {

std::array<uint8_t, 4> LocalAddress() {
    std::array<uint8_t, 4> out{};
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0) return out;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    addrinfo* list = nullptr;
    if (::getaddrinfo(name, nullptr, &hints, &list) != 0 || !list) return out;
    const auto* sa = reinterpret_cast<const sockaddr_in*>(list->ai_addr);
    std::memcpy(out.data(), &sa->sin_addr.s_addr, 4);  // already network order
    ::freeaddrinfo(list);
    return out;
}

}  // namespace vantelsor
