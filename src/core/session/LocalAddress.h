// The client's own IPv4 address as it goes into the login record: the first
// address the host name resolves to, in network order; zeros when there is none.
#pragma once

#include <array>
#include <cstdint>

namespace vantelsor {

std::array<uint8_t, 4> LocalAddress();

}  // namespace vantelsor
