#include "admin/DeviceInfo.h"

#include "admin/RequestReply.h"
#include "protocol/MessageTypes.h"
#include "session/ConsoleLink.h"

namespace vantelsor {

DeviceInfo::DeviceInfo(NetSession* session, const ConsoleLink* console, const Timing& timing)
    : session_(session), console_(console), timing_(timing) {}

AdminOutcome DeviceInfo::Exchange(const uint8_t* request, int length, uint8_t replyType) {
    const AdminOutcome wait = RequestReply(session_, request, length, timing_.replyTimeoutMs);
    if (wait != AdminOutcome::kOk) return wait;
    // The console's handler completes waits for other replies too (0xAE, say):
    // only the awaited type has filled the area read next.
    return console_->replyType() == replyType ? AdminOutcome::kOk : AdminOutcome::kNoAnswer;
}

AdminOutcome DeviceInfo::Read(DeviceInfoTexts* out) {
    const auto read = identity::BuildReadRequest();
    const AdminOutcome o = Exchange(read.data(), read.size(), msg::kIdentity);
    if (o != AdminOutcome::kOk) return o;
    const identity::Identity id = console_->identityReply();
    if (id.status != identity::kStatusOk) return AdminOutcome::kIdentityRefused;
    out->uid = id.uid;
    out->uidText = identity::TextOf(id.uid);
    out->name = identity::TextOf(id.name);
    const auto version = identity::BuildVersionRequest();
    // Any failure of the version exchange is reported as a time-out.
    if (Exchange(version.data(), version.size(), msg::kFirmwareVersion) != AdminOutcome::kOk) {
        return AdminOutcome::kTimeout;
    }
    out->version = console_->versionText();
    return AdminOutcome::kOk;
}

AdminOutcome DeviceInfo::WriteName(const identity::Text& uid, const std::string& name) {
    const auto write = identity::BuildWriteRequest(uid, identity::PackText(name));
    const AdminOutcome o = Exchange(write.data(), write.size(), msg::kIdentity);
    if (o != AdminOutcome::kOk) return o;
    // A refused write is not reported as done.
    return console_->identityReply().status == identity::kStatusOk ? AdminOutcome::kOk
                                                                   : AdminOutcome::kIdentityRefused;
}

}  // namespace vantelsor
