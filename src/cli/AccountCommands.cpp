// users and passwd.
#include <cstdio>

#include "admin/AdminRules.h"
#include "admin/OwnAccountChange.h"
#include "admin/UserAccounts.h"
#include "cli/AdminCommandSupport.h"
#include "cli/CommandRuns.h"

namespace vantelsor::ctl {
namespace {

// The index of the account called `name`, printing an error when there is none.
std::optional<size_t> FindAccount(const UserAccounts& accounts, const std::string& name) {
    const auto& records = accounts.records();
    for (size_t i = 0; i < records.size(); ++i) {
        if (records[i].NameText() == name) return i;
    }
    PrintError("no account named " + name + " on the device");
    return std::nullopt;
}

int List(const UserAccounts& accounts) {
    for (const users::UserRecord& r : accounts.records()) {
        std::printf("%-16s  %s\n", r.NameText().c_str(), users::UserTypeText(r.userType));
    }
    return kExitOk;
}

int Edit(const Invocation& c, UserAccounts& accounts, size_t index) {
    const std::string newName = c.Option("new-name").value_or(c.values[0]);
    const std::string password = c.Option("new-password").value_or("");
    const auto old = c.Option("old-password");
    // One's own account is changed only with its old password.
    if (accounts.IsOwnAccount(accounts.records()[index])) {
        const std::string m =
            rules::CheckEditUser(newName, true, old.value_or(""), password, password);
        if (!m.empty()) {
            PrintError(m);
            return kExitFailed;
        }
    }
    const AdminOutcome o = accounts.Modify(index, old.value_or(""), newName, password);
    if (o == AdminOutcome::kOk) std::printf("account %s changed\n", c.values[0].c_str());
    return ReportOutcome(o, "the device did not change the account");
}

}  // namespace

int RunUsers(const Invocation& c, const CommandContext& x) {
    UserAccounts accounts(x.session, x.info, x.timing);
    if (c.action == "add") {
        const AdminOutcome o = accounts.Add(c.values[0], c.values[1]);
        if (o == AdminOutcome::kOk) std::printf("account %s added\n", c.values[0].c_str());
        return ReportOutcome(o);
    }
    if (int r = ReportOutcome(accounts.ReadList(), "the device's account list cannot be read")) {
        return r;
    }
    if (c.action == "list") return List(accounts);
    const auto index = FindAccount(accounts, c.values[0]);
    if (!index) return kExitFailed;
    if (c.action == "edit") return Edit(c, accounts, *index);
    const AdminOutcome o = accounts.Delete(*index);
    if (o == AdminOutcome::kOk) std::printf("account %s deleted\n", c.values[0].c_str());
    return ReportOutcome(o, "the device did not delete the account");
}

int RunPasswd(const Invocation& c, const CommandContext& x) {
    const std::string name(reinterpret_cast<const char*>(x.info->userName.data()),
                           x.info->userNameLength);
    const AdminOutcome o = ChangeOwnAccount(*x.console, x.info, c.Option("old").value_or(""), name,
                                            c.Option("new").value_or(""));
    if (o == AdminOutcome::kOk) std::printf("password of %s changed\n", name.c_str());
    return ReportOutcome(o, "the device did not change the password");
}

}  // namespace vantelsor::ctl
