#include "admin/VideoSettings.h"

#include <algorithm>
#include <cstring>

#include "admin/AdminRules.h"
#include "admin/RequestReply.h"
#include "net/NetSession.h"
#include "protocol/MessageTypes.h"

namespace vantelsor {

int KSetVideoDlgHandler::OnMessage(const uint8_t* data, int length) {
    return owner_->OnVideoMessage(data, length);
}

VideoSettings::VideoSettings(NetSession* session, const Timing& timing)
    : session_(session), timing_(timing) {}

int VideoSettings::OnVideoMessage(const uint8_t* data, int length) {
    if (length < 1 || data[0] != msg::kVideoSettings) return 0;
    std::lock_guard lock(lock_);
    reply_.fill(0);
    // The framing delivers 6 bytes; nothing beyond the area is ever copied.
    std::memcpy(reply_.data(), data, static_cast<size_t>(std::min<int>(length, reply_.size())));
    return 1;
}

AdminOutcome VideoSettings::Exchange(const std::array<uint8_t, videoset::kMessageSize>& request,
                                     VideoRate* reply) {
    const AdminOutcome wait =
        RequestReply(session_, request.data(), request.size(), timing_.replyTimeoutMs);
    if (wait != AdminOutcome::kOk) return wait;
    std::lock_guard lock(lock_);
    *reply = videoset::ParseRates(reply_.data());
    return AdminOutcome::kOk;
}

AdminOutcome VideoSettings::Read(VideoRate* rate) {
    const AdminOutcome o = Exchange(videoset::BuildReadRequest(), rate);
    if (o == AdminOutcome::kTimeout) {
        rate->bitRate = rules::kDefaultBitRate;
        rate->frameRate = rules::kDefaultFrameRate;
    }
    return o;
}

AdminOutcome VideoSettings::Write(VideoRate rate, VideoRate* inForce) {
    const AdminOutcome o = Exchange(videoset::BuildWriteRequest(rate), inForce);
    if (o != AdminOutcome::kOk) return o;
    if (inForce->bitRate == videoset::kFailure || inForce->frameRate == videoset::kFailure) {
        return AdminOutcome::kVideoFailed;
    }
    return AdminOutcome::kOk;
}

}  // namespace vantelsor
