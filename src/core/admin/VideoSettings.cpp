#include "admin/VideoSettings.h"

#include <algorithm>
#include <cstring>

#include "admin/AdminRules.h"
#include "net/NetSession.h"
#include "net/ReplyExchange.h"
#include "protocol/MessageTypes.h"

namespace vantelsor {

int KSetVideoDlgHandler::OnMessage(const uint8_t* data, int length) {
    return owner_->OnVideoMessage(data, length);
}

VideoSettings::VideoSettings(NetSession& session, const Timing& timing)
    : session_(session), timing_(timing) {}

int VideoSettings::OnVideoMessage(const uint8_t* data, int length) {
    if (length < 1 || data[0] != msg::kVideoSettings) return 0;
    // The framing delivers 6 bytes; nothing beyond the area is ever kept.
    reply_.Keep(data, length);
    return 1;
}

AdminOutcome VideoSettings::Ask(const std::array<uint8_t, videoset::kMessageSize>& request,
                                VideoRate* reply) {
    const AdminOutcome wait =
        OutcomeOf(Exchange(session_, request, timing_.replyTimeoutMs, reply_, msg::kVideoSettings));
    if (wait != AdminOutcome::kOk) return wait;
    *reply = videoset::ParseRates(reply_.Copy().bytes.data());
    return AdminOutcome::kOk;
}

AdminOutcome VideoSettings::Read(VideoRate* rate) {
    const AdminOutcome o = Ask(videoset::BuildReadRequest(), rate);
    if (o == AdminOutcome::kTimeout) {
        rate->bitRate = rules::kDefaultBitRate;
        rate->frameRate = rules::kDefaultFrameRate;
    }
    return o;
}

AdminOutcome VideoSettings::Write(VideoRate rate, VideoRate* inForce) {
    const AdminOutcome o = Ask(videoset::BuildWriteRequest(rate), inForce);
    if (o != AdminOutcome::kOk) return o;
    if (inForce->bitRate == videoset::kFailure || inForce->frameRate == videoset::kFailure) {
        return AdminOutcome::kVideoFailed;
    }
    return AdminOutcome::kOk;
}

}  // namespace vantelsor
