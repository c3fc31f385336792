#include "platform/FirewallObjects.h"

namespace vantelsor {

// No firewall change is needed here: the video comes back to the socket that
// sent the start request, which connection tracking admits.
std::unique_ptr<FirewallObjects> PlatformFirewallObjects() {
    return nullptr;
}

}  // namespace vantelsor
