#include "platform/FirewallAuthorizer.h"

namespace vantelsor {
namespace {

constexpr int16_t kVariantTrue = -1;  // all bits set

}  // namespace

int FirewallAuthorizer::OpenProfile() {
    if (profile_) return kFwWrongState;
    // The manager and the policy go out of scope on every path: only the
    // profile is kept.
    auto manager = objects_->CreateManager();
    if (!manager) return kFwCreateManager;
    auto policy = manager->LocalPolicy();
    if (!policy) return kFwLocalPolicy;
    profile_ = policy->CurrentProfile();
    if (!profile_) return kFwCurrentProfile;
    return kFwOk;
}

int FirewallAuthorizer::IsAuthorized(const char* path, int* enabled) {
    *enabled = 0;
    if (!profile_) return kFwWrongState;
    if (!path) return kFwNullArgument;
    auto applications = profile_->AuthorizedApplications();
    if (!applications) return kFwApplications;
    if (*path == '\0') return kFwEmptyString;
    auto entry = applications->Item(path);
    if (!entry) return kFwOk;  // not listed
    const auto state = entry->Enabled();
    if (!state) return kFwEnabledState;
    if (*state == kVariantTrue) *enabled = 1;
    return kFwOk;
}

int FirewallAuthorizer::Authorize(const char* path, const char* name) {
    if (!profile_) return kFwWrongState;
    if (!path || !name) return kFwNullArgument;
    int enabled = 0;
    if (const int error = IsAuthorized(path, &enabled)) return error;
    if (enabled) return kFwOk;
    auto applications = profile_->AuthorizedApplications();
    if (!applications) return kFwApplications;
    // A half-made entry is released here without being added.
    auto entry = objects_->CreateApplication();
    if (!entry) return kFwCreateApplication;
    if (*path == '\0') return kFwEmptyString;
    if (!entry->SetProcessImageFileName(path)) return kFwImageFileName;
    if (*name == '\0') return kFwEmptyString;
    if (!entry->SetName(name)) return kFwName;
    if (!applications->Add(*entry)) return kFwAdd;
    return kFwOk;
}

int FirewallAuthorizer::CloseProfile() {
    profile_.reset();
    return kFwOk;
}

bool FirewallStepApplies(const OsVersion& os) {
    if (os.platformId != OsVersion::kPlatformNt) return false;
    return os.major > 5 || (os.major == 5 && os.minor >= 1);
}

void AuthorizeAtStartup(FirewallObjects* objects, const OsVersion& os, const std::string& path,
                        const char* name) {
    if (!objects || !FirewallStepApplies(os)) return;
    FirewallAuthorizer authorizer(objects);
    authorizer.OpenProfile();
    authorizer.Authorize(path.c_str(), name);
    authorizer.CloseProfile();
}

}  // namespace vantelsor
