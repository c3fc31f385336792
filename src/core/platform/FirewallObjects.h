// The firewall objects the start-up authorisation works with: the manager, its
// local policy, the current profile, the profile's list of authorised
// applications and its entries. Each object is released when its owner drops
// it. Windows backs these with the firewall's COM interfaces; Linux has no
// backend (NoFirewallObjects), since the video arrives on the socket that asked
// for it and connection tracking admits it. Tests use a fake.
//
// Strings are UTF-8. All calls happen on the start-up thread.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace vantelsor {

class FirewallApplication {
  public:
    virtual ~FirewallApplication() = default;
    // The entry's enabled state as the firewall reports it (all bits set: enabled);
    // nothing when it cannot be read.
    virtual std::optional<int16_t> Enabled() = 0;
    virtual bool SetProcessImageFileName(const std::string& path) = 0;
    virtual bool SetName(const std::string& name) = 0;
};

class FirewallApplications {
  public:
    virtual ~FirewallApplications() = default;
    // The entry for an executable path; null when it is not listed.
    virtual std::unique_ptr<FirewallApplication> Item(const std::string& path) = 0;
    virtual bool Add(FirewallApplication& application) = 0;
};

class FirewallProfile {
  public:
    virtual ~FirewallProfile() = default;
    virtual std::unique_ptr<FirewallApplications> AuthorizedApplications() = 0;
};

class FirewallPolicy {
  public:
    virtual ~FirewallPolicy() = default;
    virtual std::unique_ptr<FirewallProfile> CurrentProfile() = 0;
};

class FirewallManager {
  public:
    virtual ~FirewallManager() = default;
    virtual std::unique_ptr<FirewallPolicy> LocalPolicy() = 0;
};

// Creates the two kinds of top-level object; null when creation fails.
class FirewallObjects {
  public:
    virtual ~FirewallObjects() = default;
    virtual std::unique_ptr<FirewallManager> CreateManager() = 0;
    virtual std::unique_ptr<FirewallApplication> CreateApplication() = 0;
};

// The platform's firewall objects, or null where the platform needs no firewall step.
std::unique_ptr<FirewallObjects> PlatformFirewallObjects();

}  // namespace vantelsor
