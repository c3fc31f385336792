// The firewall step against a fake of the firewall objects: which calls are
// made, which error each failing object gives, and that every object made is
// released again.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "platform/FirewallAuthorizer.h"

namespace vantelsor::test {
namespace {

constexpr int16_t kTrue = -1;

// Where the fake fails, and what it holds.
struct FakeFirewall {
    bool managerFails = false, policyFails = false, profileFails = false;
    bool applicationsFail = false, enabledFails = false, createApplicationFails = false;
    bool imageFails = false, nameFails = false, addFails = false;
    std::map<std::string, int16_t> listed;  // path -> enabled state
    std::vector<std::pair<std::string, std::string>> added;
    int managersCreated = 0, applicationsCreated = 0;
    int alive = 0;  // objects handed out and not yet released
};

struct Counted {
    explicit Counted(FakeFirewall* f) : fw(f) { ++fw->alive; }
    ~Counted() { --fw->alive; }
    FakeFirewall* fw;
};

class FakeApplication : public FirewallApplication, Counted {
  public:
    FakeApplication(FakeFirewall* f, std::string path = {}) : Counted(f), path_(std::move(path)) {}
    std::optional<int16_t> Enabled() override {
        if (fw->enabledFails) return std::nullopt;
        return fw->listed.at(path_);
    }
    bool SetProcessImageFileName(const std::string& path) override {
        path_ = path;
        return !fw->imageFails;
    }
    bool SetName(const std::string& name) override {
        name_ = name;
        return !fw->nameFails;
    }
    std::string path_, name_;
};

class FakeApplications : public FirewallApplications, Counted {
  public:
    using Counted::Counted;
    std::unique_ptr<FirewallApplication> Item(const std::string& path) override {
        if (!fw->listed.count(path)) return nullptr;
        return std::make_unique<FakeApplication>(fw, path);
    }
    bool Add(FirewallApplication& application) override {
        if (fw->addFails) return false;
        auto& a = static_cast<FakeApplication&>(application);
        fw->added.emplace_back(a.path_, a.name_);
        return true;
    }
};

class FakeProfile : public FirewallProfile, Counted {
  public:
    using Counted::Counted;
    std::unique_ptr<FirewallApplications> AuthorizedApplications() override {
        if (fw->applicationsFail) return nullptr;
        return std::make_unique<FakeApplications>(fw);
    }
};

class FakePolicy : public FirewallPolicy, Counted {
  public:
    using Counted::Counted;
    std::unique_ptr<FirewallProfile> CurrentProfile() override {
        if (fw->profileFails) return nullptr;
        return std::make_unique<FakeProfile>(fw);
    }
};

class FakeManager : public FirewallManager, Counted {
  public:
    using Counted::Counted;
    std::unique_ptr<FirewallPolicy> LocalPolicy() override {
        if (fw->policyFails) return nullptr;
        return std::make_unique<FakePolicy>(fw);
    }
};

class FakeObjects : public FirewallObjects {
  public:
    explicit FakeObjects(FakeFirewall* f) : fw(f) {}
    std::unique_ptr<FirewallManager> CreateManager() override {
        ++fw->managersCreated;
        if (fw->managerFails) return nullptr;
        return std::make_unique<FakeManager>(fw);
    }
    std::unique_ptr<FirewallApplication> CreateApplication() override {
        ++fw->applicationsCreated;
        if (fw->createApplicationFails) return nullptr;
        return std::make_unique<FakeApplication>(fw);
    }
    FakeFirewall* fw;
};

const char* kPath = "/opt/vantelsor/vantelsor";

class FirewallAuthorizerTest : public ::testing::Test {
  protected:
    FakeFirewall fw;
    FakeObjects objects{&fw};
};

TEST_F(FirewallAuthorizerTest, OpenKeepsOnlyTheProfile) {
    FirewallAuthorizer a(&objects);
    EXPECT_EQ(a.OpenProfile(), kFwOk);
    EXPECT_EQ(fw.alive, 1);  // manager and policy released, the profile held
    EXPECT_EQ(a.OpenProfile(), kFwWrongState);
    EXPECT_EQ(a.CloseProfile(), kFwOk);
    EXPECT_EQ(fw.alive, 0);
    EXPECT_EQ(a.CloseProfile(), kFwOk);
}

TEST_F(FirewallAuthorizerTest, OpenFailuresGiveTheirCodesAndReleaseEverything) {
    struct Case {
        bool FakeFirewall::*fails;
        int code;
    };
    for (const Case& c : {Case{&FakeFirewall::managerFails, kFwCreateManager},
                          Case{&FakeFirewall::policyFails, kFwLocalPolicy},
                          Case{&FakeFirewall::profileFails, kFwCurrentProfile}}) {
        FakeFirewall f;
        f.*c.fails = true;
        FakeObjects o(&f);
        FirewallAuthorizer a(&o);
        EXPECT_EQ(a.OpenProfile(), c.code);
        EXPECT_FALSE(a.isOpen());
        EXPECT_EQ(f.alive, 0);
    }
}

TEST_F(FirewallAuthorizerTest, WithoutAProfileEveryCallIsRefused) {
    // The firewall service is absent: start-up must still go on.
    fw.managerFails = true;
    FirewallAuthorizer a(&objects);
    EXPECT_EQ(a.OpenProfile(), kFwCreateManager);
    int enabled = 7;
    EXPECT_EQ(a.IsAuthorized(kPath, &enabled), kFwWrongState);
    EXPECT_EQ(enabled, 0);
    EXPECT_EQ(a.Authorize(kPath, "Vantelsor"), kFwWrongState);
    EXPECT_EQ(a.CloseProfile(), kFwOk);
}

TEST_F(FirewallAuthorizerTest, IsAuthorizedReadsTheEntry) {
    struct Case {
        std::optional<int16_t> listed;
        int enabled;
    };
    for (const Case& c : {Case{std::nullopt, 0}, Case{kTrue, 1}, Case{0, 0}, Case{1, 0}}) {
        FakeFirewall f;
        if (c.listed) f.listed[kPath] = *c.listed;
        FakeObjects o(&f);
        FirewallAuthorizer a(&o);
        ASSERT_EQ(a.OpenProfile(), kFwOk);
        int enabled = -1;
        EXPECT_EQ(a.IsAuthorized(kPath, &enabled), kFwOk);
        EXPECT_EQ(enabled, c.enabled);
        EXPECT_EQ(f.alive, 1);
    }
}

TEST_F(FirewallAuthorizerTest, IsAuthorizedErrors) {
    FirewallAuthorizer a(&objects);
    ASSERT_EQ(a.OpenProfile(), kFwOk);
    int enabled = 0;
    EXPECT_EQ(a.IsAuthorized(nullptr, &enabled), kFwNullArgument);
    EXPECT_EQ(a.IsAuthorized("", &enabled), kFwEmptyString);
    fw.listed[kPath] = kTrue;
    fw.enabledFails = true;
    EXPECT_EQ(a.IsAuthorized(kPath, &enabled), kFwEnabledState);
    fw.applicationsFail = true;
    EXPECT_EQ(a.IsAuthorized(kPath, &enabled), kFwApplications);
    EXPECT_EQ(fw.alive, 1);
}

TEST_F(FirewallAuthorizerTest, AuthorizeAddsAnUnlistedOrDisabledProgram) {
    for (std::optional<int16_t> listed : {std::optional<int16_t>{}, std::optional<int16_t>{0}}) {
        FakeFirewall f;
        if (listed) f.listed[kPath] = *listed;
        FakeObjects o(&f);
        FirewallAuthorizer a(&o);
        ASSERT_EQ(a.OpenProfile(), kFwOk);
        EXPECT_EQ(a.Authorize(kPath, "Vantelsor"), kFwOk);
        ASSERT_EQ(f.added.size(), 1u);
        EXPECT_EQ(f.added[0].first, kPath);
        EXPECT_EQ(f.added[0].second, "Vantelsor");
        EXPECT_EQ(f.alive, 1);
    }
}

TEST_F(FirewallAuthorizerTest, AuthorizeLeavesAnEnabledEntryAlone) {
    fw.listed[kPath] = kTrue;
    FirewallAuthorizer a(&objects);
    ASSERT_EQ(a.OpenProfile(), kFwOk);
    EXPECT_EQ(a.Authorize(kPath, "Vantelsor"), kFwOk);
    EXPECT_TRUE(fw.added.empty());
    EXPECT_EQ(fw.applicationsCreated, 0);
}

TEST_F(FirewallAuthorizerTest, AuthorizeFailuresAddNothingAndReleaseTheEntry) {
    struct Case {
        bool FakeFirewall::*fails;
        const char* path;
        const char* name;
        int code;
    };
    for (const Case& c : {
             Case{&FakeFirewall::createApplicationFails, kPath, "Vantelsor", kFwCreateApplication},
             Case{&FakeFirewall::imageFails, kPath, "Vantelsor", kFwImageFileName},
             Case{&FakeFirewall::nameFails, kPath, "Vantelsor", kFwName},
             Case{&FakeFirewall::addFails, kPath, "Vantelsor", kFwAdd},
             Case{&FakeFirewall::addFails, kPath, "", kFwEmptyString},
             Case{&FakeFirewall::addFails, kPath, nullptr, kFwNullArgument},
             Case{&FakeFirewall::addFails, nullptr, "Vantelsor", kFwNullArgument},
             Case{&FakeFirewall::enabledFails, kPath, "Vantelsor", kFwEnabledState},
         }) {
        FakeFirewall f;
        f.*c.fails = true;
        if (c.fails == &FakeFirewall::enabledFails) f.listed[kPath] = 0;
        FakeObjects o(&f);
        FirewallAuthorizer a(&o);
        ASSERT_EQ(a.OpenProfile(), kFwOk);
        EXPECT_EQ(a.Authorize(c.path, c.name), c.code);
        EXPECT_TRUE(f.added.empty());
        EXPECT_EQ(f.alive, 1) << "only the profile may remain";
    }
}

TEST_F(FirewallAuthorizerTest, StartUpRuleByVersion) {
    struct Case {
        OsVersion os;
        bool applies;
    };
    for (const Case& c : {Case{{2, 5, 1}, true}, Case{{2, 5, 0}, false}, Case{{2, 4, 9}, false},
                          Case{{2, 6, 0}, true}, Case{{2, 10, 0}, true}, Case{{1, 5, 1}, false},
                          Case{{1, 6, 0}, false}}) {
        FakeFirewall f;
        FakeObjects o(&f);
        AuthorizeAtStartup(&o, c.os, kPath, "Vantelsor");
        EXPECT_EQ(f.managersCreated, c.applies ? 1 : 0)
            << c.os.platformId << " " << c.os.major << "." << c.os.minor;
        EXPECT_EQ(f.added.size(), c.applies ? 1u : 0u);
        EXPECT_EQ(f.alive, 0);
    }
}

TEST_F(FirewallAuthorizerTest, StartUpWithoutObjectsDoesNothing) {
    AuthorizeAtStartup(nullptr, {2, 10, 0}, kPath, "Vantelsor");
    EXPECT_EQ(PlatformFirewallObjects(), nullptr);
}

}  // namespace
}  // namespace vantelsor::test
