// Adds the program to the firewall's authorised applications of the current
// profile, unless it is already listed and enabled. Best effort: every
// operation returns 0 or one of the FwErrorCode values and start-up goes on
// whatever they are.
//
// Owns the profile while open; the objects it borrows must outlive it.
// Start-up thread only.
#pragma once

#include <memory>
#include <string>

#include "platform/FirewallObjects.h"

namespace vantelsor {

enum FwErrorCode : int {
    kFwOk = 0,
    kFwWrongState = 1,  // OpenProfile while open; IsAuthorized or Authorize while closed
    kFwCreateManager = 2,
    kFwLocalPolicy = 3,
    kFwCurrentProfile = 4,
    kFwNullArgument = 7,
    kFwApplications = 8,
    kFwEnabledState = 9,
    kFwCreateApplication = 10,
    kFwEmptyString = 11,
    kFwImageFileName = 12,
    kFwName = 13,
    kFwAdd = 14,
};

class FirewallAuthorizer {
  public:
    explicit FirewallAuthorizer(FirewallObjects* objects) : objects_(objects) {}
    ~FirewallAuthorizer() { CloseProfile(); }
    FirewallAuthorizer(const FirewallAuthorizer&) = delete;
    FirewallAuthorizer& operator=(const FirewallAuthorizer&) = delete;

    int OpenProfile();
    // `enabled` becomes 1 only when the path is listed and enabled.
    int IsAuthorized(const char* path, int* enabled);
    int Authorize(const char* path, const char* name);
    int CloseProfile();

    bool isOpen() const { return profile_ != nullptr; }

  private:
    FirewallObjects* objects_;
    std::unique_ptr<FirewallProfile> profile_;
};

// The operating system as the start-up rule sees it.
struct OsVersion {
    static constexpr int kPlatformNt = 2;
    int platformId = 0;
    int major = 0;
    int minor = 0;
};

// Whether the firewall step runs on this system: NT family, version 5.1 or later.
bool FirewallStepApplies(const OsVersion& os);

// The start-up step: open, authorise `path` as `name`, close; results ignored.
// Does nothing (and creates no object) when `objects` is null or the rule says no.
void AuthorizeAtStartup(FirewallObjects* objects, const OsVersion& os, const std::string& path,
                        const char* name);

}  // namespace vantelsor
