// The device's video frame rate and bit rate: read and write of 0xA4. The
// video dialog is a window over it; vantelsorctl's video commands use it.
//
// Construction installs its handler, destruction puts the previous one back.
// Operations run one at a time, on any one thread at a time, and block up to
// the reply time-out.
#pragma once

#include <array>
#include <mutex>

#include "admin/AdminOutcome.h"
#include "admin/KSetVideoDlgHandler.h"
#include "net/ReplySlot.h"
#include "net/ScopedHandler.h"
#include "protocol/VideoSettingsMessages.h"
#include "session/Timing.h"

namespace vantelsor {

class NetSession;

class VideoSettings {
  public:
    explicit VideoSettings(NetSession& session, const Timing& timing = {});
    VideoSettings(const VideoSettings&) = delete;
    VideoSettings& operator=(const VideoSettings&) = delete;

    // kOk with the device's rates in *rate; on a time-out *rate is the dialog's
    // fallback, bit rate 10 and 5 frames per second.
    AdminOutcome Read(VideoRate* rate);
    // kVideoFailed when the reply has 0xFFFF in either field; *inForce is the
    // reply's rates (the dialog keeps the reply's bit rate).
    AdminOutcome Write(VideoRate rate, VideoRate* inForce);

    // From KSetVideoDlgHandler, on the stream receive thread.
    int OnVideoMessage(const uint8_t* data, int length);

  private:
    AdminOutcome Ask(const std::array<uint8_t, videoset::kMessageSize>& request, VideoRate* reply);

    NetSession& session_;
    Timing timing_;
    KSetVideoDlgHandler handler_{this};

    ReplySlot reply_{videoset::kMessageSize};  // the last 0xA4 reply
    // Last: installed once everything its messages reach exists, removed first.
    ScopedHandler installed_{session_, &handler_};
};

}  // namespace vantelsor
