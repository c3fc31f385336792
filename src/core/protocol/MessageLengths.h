// How long every control-stream message is, in each direction: one row per
// type byte, with the length of the message the client sends (the request) and
// of the message the device sends (the reply). Both ends cut their receive
// stream by this table: the client by the reply column (MessageFraming.h), the
// device by the request column (RequestFraming.h). The sizes come from the
// message families' own headers, where their builders take them from.
//
// Pure constexpr data and functions; any thread may use them.
#pragma once

#include <array>
#include <cstdint>

#include "protocol/FirmwareMessages.h"
#include "protocol/IdentityMessages.h"
#include "protocol/InputMessages.h"
#include "protocol/LogMessages.h"
#include "protocol/LoginMessages.h"
#include "protocol/MessageTypes.h"
#include "protocol/NetworkMessages.h"
#include "protocol/ShortMessage.h"
#include "protocol/SleepMessages.h"
#include "protocol/UserMessages.h"
#include "protocol/VideoSettingsMessages.h"

namespace vantelsor::msg {

enum class Framing : uint8_t {
    kNone,     // no such message travels this way on the control stream
    kFixed,    // always `size` bytes
    kCounted,  // a header of `size` bytes ending in a big-endian count of what follows
    // Replies only: the device sends `size` bytes, but the client's framing has no
    // length for them and takes everything buffered from the type byte on.
    kRestOfRead,
};

struct LengthRule {
    Framing framing = Framing::kNone;
    int size = 0;         // kFixed, kRestOfRead: the length; kCounted: the header's
    int countOffset = 0;  // kCounted: where the count starts; it ends the header
    int countSize = 0;    // kCounted: the count's width in bytes, 1..4
    int unit = 0;         // kCounted: bytes per unit counted
};

constexpr LengthRule Fixed(int size) {
    return {Framing::kFixed, size, 0, 0, 0};
}
constexpr LengthRule RestOfRead(int size) {
    return {Framing::kRestOfRead, size, 0, 0, 0};
}
constexpr LengthRule Counted(int countOffset, int countSize, int unit) {
    return {Framing::kCounted, countOffset + countSize, countOffset, countSize, unit};
}
inline constexpr LengthRule kAbsent{};

struct MessageLengths {
    uint8_t type = 0;
    LengthRule request;  // client to device
    LengthRule reply;    // device to client
};

inline constexpr LengthRule kShort = Fixed(kShortMessageSize);

inline constexpr std::array kMessageLengthTable = {
    MessageLengths{kVersionCheck, Fixed(login::kVersionCheckSize), kShort},
    MessageLengths{kKeyRequest, Fixed(login::kKeyMessageSize), Fixed(login::kKeyMessageSize)},
    MessageLengths{kLogin, Fixed(login::kLoginSize), kShort},
    MessageLengths{kVideoSettings, Fixed(videoset::kMessageSize), Fixed(videoset::kMessageSize)},
    // Travels as a datagram to the video port (StreamControl.h), never on this stream.
    MessageLengths{kStreamControl, kAbsent, kAbsent},
    MessageLengths{kNetworkSettings, Fixed(network::kMessageSize), Fixed(network::kMessageSize)},
    MessageLengths{kUserWrite, Fixed(users::kWriteSize), kShort},
    MessageLengths{kUserList, Fixed(users::kListRequestSize),
                   Counted(users::kListCountOffset, users::kListCountSize, users::kRecordSize)},
    MessageLengths{kControlRequest, kShort, kShort},
    MessageLengths{kLoginRecord, Fixed(login::kRecordSize), kAbsent},
    MessageLengths{kLogRead, kShort, Counted(userlog::kLengthOffset, userlog::kLengthFieldSize, 1)},
    MessageLengths{kLogClear, kShort, kShort},
    MessageLengths{kHeartbeat, kShort, kShort},
    MessageLengths{kEmptyReply, kAbsent, kShort},
    // The device's notice that the operation right was taken, and the client's acknowledgement.
    MessageLengths{kControlLost, kShort, kShort},
    MessageLengths{kReboot, kShort, kAbsent},
    MessageLengths{kLockState, kShort, kShort},
    MessageLengths{kIdentity, Fixed(identity::kMessageSize), RestOfRead(identity::kMessageSize)},
    MessageLengths{kFirmwareStart, Fixed(firmware::kStartSize),
                   RestOfRead(firmware::kStartReplySize)},
    MessageLengths{kFirmwareBlock,
                   Counted(firmware::kChunkLengthOffset, firmware::kChunkLengthFieldSize, 1),
                   RestOfRead(firmware::kChunkReplySize)},
    MessageLengths{kFirmwareVersion, Fixed(identity::kVersionRequestSize),
                   RestOfRead(identity::kVersionReplySize)},
    MessageLengths{kSleepTime, Fixed(sleeptime::kMessageSize), RestOfRead(sleeptime::kMessageSize)},
    MessageLengths{kKeyboard, Fixed(input::kKeyMessageSize), kAbsent},
    MessageLengths{kKeyboardSealed, Fixed(input::kKeyMessageSize), kAbsent},
    MessageLengths{kMouse, Fixed(input::kMouseMessageSize), kAbsent},
    MessageLengths{kMouseSealed, Fixed(input::kMouseMessageSize), kAbsent},
};

namespace detail {

// Row index + 1 by type byte; 0 for a byte that is no message type.
constexpr std::array<uint8_t, 256> IndexMessageLengths() {
    std::array<uint8_t, 256> index{};
    for (size_t i = 0; i < kMessageLengthTable.size(); ++i) {
        index[kMessageLengthTable[i].type] = static_cast<uint8_t>(i + 1);
    }
    return index;
}
inline constexpr std::array<uint8_t, 256> kMessageLengthIndex = IndexMessageLengths();

constexpr bool RowsAreSound() {
    for (size_t i = 0; i < kMessageLengthTable.size(); ++i) {
        const MessageLengths& row = kMessageLengthTable[i];
        if (kMessageLengthIndex[row.type] != i + 1) return false;  // one row per type
        if (row.request.framing == Framing::kRestOfRead) return false;
        for (const LengthRule& r : {row.request, row.reply}) {
            if (r.framing == Framing::kCounted && (r.countSize < 1 || r.countSize > 4)) {
                return false;
            }
        }
    }
    return true;
}
static_assert(RowsAreSound());
static_assert(Counted(users::kListCountOffset, users::kListCountSize, 1).size ==
              users::kListHeaderSize);
static_assert(Counted(userlog::kLengthOffset, userlog::kLengthFieldSize, 1).size ==
              userlog::kHeaderSize);

}  // namespace detail

// The row of `type`, or null when no message has that type byte.
constexpr const MessageLengths* FindMessageLengths(uint8_t type) {
    const uint8_t i = detail::kMessageLengthIndex[type];
    return i == 0 ? nullptr : &kMessageLengthTable[i - 1];
}

constexpr LengthRule RequestRule(uint8_t type) {
    const MessageLengths* row = FindMessageLengths(type);
    return row ? row->request : kAbsent;
}

constexpr LengthRule ReplyRule(uint8_t type) {
    const MessageLengths* row = FindMessageLengths(type);
    return row ? row->reply : kAbsent;
}

// Length of a kCounted message starting at `p` with `available` bytes buffered:
// the header's size while the header is incomplete (wait for it), then the
// header plus what its count announces.
constexpr int64_t CountedLength(const LengthRule& rule, const uint8_t* p, int available) {
    if (available < rule.size) return rule.size;
    int64_t count = 0;
    for (int i = 0; i < rule.countSize; ++i) count = (count << 8) | p[rule.countOffset + i];
    return rule.size + int64_t{rule.unit} * count;
}

}  // namespace vantelsor::msg
