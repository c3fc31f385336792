#include "admin/UserAccounts.h"

#include <algorithm>
#include <cstring>

#include "net/NetSession.h"
#include "net/ReplyExchange.h"
#include "protocol/MessageTypes.h"
#include "session/SessionInfo.h"

namespace vantelsor {

int KSetUserDlgHandler::OnMessage(const uint8_t* data, int length) {
    return owner_->OnUserMessage(data, length);
}

UserAccounts::UserAccounts(NetSession& session, SessionInfo* info, const Timing& timing)
    : session_(session), info_(info), timing_(timing) {}

int UserAccounts::OnUserMessage(const uint8_t* data, int length) {
    if (length < 1) return 0;
    switch (data[0]) {
        case msg::kUserList:
        case msg::kUserWrite:
        case msg::kEmptyReply:
            reply_.Keep(data, length);
            return 1;
        default:
            return 0;
    }
}

AdminOutcome UserAccounts::ReadList() {
    const auto request = users::BuildUserListRequest();
    const AdminOutcome wait =
        OutcomeOf(Exchange(session_, request, timing_.replyTimeoutMs, reply_, msg::kUserList));
    if (wait != AdminOutcome::kOk) return wait;
    const KeptReply list = reply_.Copy();
    std::vector<users::UserRecord> records;
    if (!users::ParseUserList(list.bytes.data(), users::kListReplySize, &records)) {
        return AdminOutcome::kListUnreadable;
    }
    records_ = std::move(records);
    return AdminOutcome::kOk;
}

bool UserAccounts::IsOwnAccount(const users::UserRecord& record) const {
    return record.nameLength == info_->userNameLength &&
           std::equal(record.name.begin(), record.name.begin() + record.nameLength,
                      info_->userName.begin());
}

AdminOutcome UserAccounts::Write(const users::UserWrite& write, uint8_t* status) {
    const auto request = users::BuildUserWrite(info_->sessionKey, write);
    const AdminOutcome wait =
        OutcomeOf(Exchange(session_, request, timing_.replyTimeoutMs, reply_, msg::kUserWrite));
    if (wait == AdminOutcome::kOk) *status = reply_.Copy().at(1);
    return wait;
}

void UserAccounts::AdoptName(users::UserRecord* record, const users::Field& name) {
    record->nameLength = name.length;
    record->name = name.bytes;
}

AdminOutcome UserAccounts::Add(const std::string& name, const std::string& password) {
    users::UserWrite w;
    w.mode = users::kAdd;
    w.fields[2] = users::PackUserField(name);
    w.fields[3] = users::PackUserField(password);
    uint8_t status = 0;
    if (AdminOutcome o = Write(w, &status); o != AdminOutcome::kOk) return o;
    if (status == users::kStatusNameExists) return AdminOutcome::kNameExists;
    if (status == users::kStatusWriteFailed) return AdminOutcome::kWriteFailed;
    // Any other status counts as success: the device took the account.
    users::UserRecord record;
    AdoptName(&record, w.fields[2]);
    record.userType = users::kOrdinaryUser;
    records_.push_back(record);
    return AdminOutcome::kOk;
}

AdminOutcome UserAccounts::Modify(size_t index, const std::string& oldPassword,
                                  const std::string& newName, const std::string& newPassword) {
    if (index >= records_.size()) return AdminOutcome::kUnexpectedStatus;
    users::UserRecord& record = records_[index];
    const bool own = IsOwnAccount(record);
    users::UserWrite w;
    w.mode = users::kModify;
    w.fields[0].length = record.nameLength;
    w.fields[0].bytes = record.name;
    if (own) w.fields[1] = users::PackUserField(oldPassword);
    w.fields[2] = users::PackUserField(newName);
    w.fields[3] = users::PackUserField(newPassword);
    uint8_t status = 0;
    if (AdminOutcome o = Write(w, &status); o != AdminOutcome::kOk) return o;
    const AdminOutcome outcome = ModifyOutcome(status);
    if (outcome == AdminOutcome::kOk) {
        AdoptName(&record, w.fields[2]);
        if (own) {
            info_->userNameLength = w.fields[2].length;
            info_->userName = w.fields[2].bytes;
        }
    }
    return outcome;
}

AdminOutcome ModifyOutcome(uint8_t status) {
    switch (status) {
        case users::kStatusOk:
            return AdminOutcome::kOk;
        case users::kStatusWriteFailed:
            return AdminOutcome::kWriteFailed;
        case users::kStatusOldPasswordWrong:
            return AdminOutcome::kOldPasswordWrong;
        default:
            return AdminOutcome::kUnexpectedStatus;
    }
}

AdminOutcome UserAccounts::Delete(size_t index) {
    if (index >= records_.size()) return AdminOutcome::kUnexpectedStatus;
    if (IsOwnAccount(records_[index])) return AdminOutcome::kCannotDeleteOwn;
    users::UserWrite w;
    w.mode = users::kDelete;
    w.fields[0].length = records_[index].nameLength;
    w.fields[0].bytes = records_[index].name;
    uint8_t status = 0;
    if (AdminOutcome o = Write(w, &status); o != AdminOutcome::kOk) return o;
    if (status == users::kStatusOk) {
        records_.erase(records_.begin() + static_cast<std::ptrdiff_t>(index));
        return AdminOutcome::kOk;
    }
    return status == users::kStatusDeleteFailed ? AdminOutcome::kDeleteFailed
                                                : AdminOutcome::kUnexpectedStatus;
}

}  // namespace vantelsor
