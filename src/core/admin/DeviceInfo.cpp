#include "admin/DeviceInfo.h"

#include "protocol/MessageTypes.h"
#include "session/ConsoleLink.h"

namespace vantelsor {

AdminOutcome DeviceInfo::Read(DeviceInfoTexts* out) {
    // The console's handler completes waits for other replies too (0xAE, say):
    // only a reply of the awaited type is read.
    const AdminOutcome o = OutcomeOf(console_->Ask(identity::BuildReadRequest(), msg::kIdentity));
    if (o != AdminOutcome::kOk) return o;
    const identity::Identity id = console_->identityReply();
    if (id.status != identity::kStatusOk) return AdminOutcome::kIdentityRefused;
    out->uid = id.uid;
    out->uidText = identity::TextOf(id.uid);
    out->name = identity::TextOf(id.name);
    // Any failure of the version exchange is reported as a time-out.
    if (console_->Ask(identity::BuildVersionRequest(), msg::kFirmwareVersion) !=
        ExchangeResult::kReplied) {
        return AdminOutcome::kTimeout;
    }
    out->version = console_->versionText();
    return AdminOutcome::kOk;
}

AdminOutcome DeviceInfo::WriteName(const identity::Text& uid, const std::string& name) {
    const auto write = identity::BuildWriteRequest(uid, identity::PackText(name));
    const AdminOutcome o = OutcomeOf(console_->Ask(write, msg::kIdentity));
    if (o != AdminOutcome::kOk) return o;
    // A refused write is not reported as done.
    return console_->identityReply().status == identity::kStatusOk ? AdminOutcome::kOk
                                                                   : AdminOutcome::kIdentityRefused;
}

}  // namespace vantelsor
