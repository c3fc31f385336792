// The one table of message lengths against the protocol's documented lengths,
// against every builder of the client's requests and of the device's replies
// (the protocol's own and the simulated device's, driven message by message),
// and against both framings: a builder and the framing that cuts its message
// cannot drift apart.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "Hex.h"
#include "input/KeyboardEncoder.h"
#include "input/MouseEncoder.h"
#include "input/VirtualKeys.h"
#include "net/MessageFraming.h"
#include "protocol/MessageLengths.h"
#include "protocol/RequestFraming.h"
#include "protocol/StreamControl.h"
#include "sim/ControlDevice.h"

namespace vantelsor::test {
namespace {

using Bytes = std::vector<uint8_t>;
using msg::Framing;
using msg::LengthRule;

constexpr SessionKey kKey{0x10, 0x32, 0x54, 0x76, 0x98, 0xBA, 0xDC, 0xFE};

template <typename Array>
Bytes B(const Array& a) {
    return {a.begin(), a.end()};
}

// A built message with the name of its builder.
struct Built {
    std::string builder;
    Bytes bytes;
};

// The length of `message` as the rule frames it; -1 when it frames none.
int64_t RuleLength(const LengthRule& rule, const Bytes& message) {
    switch (rule.framing) {
        case Framing::kFixed:
        case Framing::kRestOfRead:
            return rule.size;
        case Framing::kCounted:
            return msg::CountedLength(rule, message.data(), static_cast<int>(message.size()));
        case Framing::kNone:
            break;
    }
    return -1;
}

// How the protocol documents each type: what the client sends and what the
// device's message is as the client's framing cuts it. -1: no such message;
// 0: a length the message itself carries (counted); "rest": the client takes
// what is buffered, the device sends `reply` bytes.
struct Documented {
    uint8_t type;
    int request;
    int reply;
    bool rest = false;
};

TEST(MessageLengths, TableHoldsTheDocumentedLengths) {
    const Documented documented[] = {
        {0xA1, 4, 2},       {0xA2, 10, 10},       {0xA3, 38, 2},      {0xA4, 6, 6},
        {0xA5, -1, -1},     {0xA6, 24, 24},       {0xA7, 74, 2},      {0xA8, 2, 0},
        {0xA9, 2, 2},       {0xAA, 36, -1},       {0xAB, 2, 0},       {0xAC, 2, 2},
        {0xAD, 2, 2},       {0xAE, -1, 2},        {0xAF, 2, 2},       {0xB0, 2, -1},
        {0xB1, 2, 2},       {0xB2, 35, 35, true}, {0xB3, 3, 3, true}, {0xB4, 0, 5, true},
        {0xB5, 5, 4, true}, {0xB6, 4, 4, true},   {0xE8, 18, -1},     {0xE9, 18, -1},
        {0xEE, 10, -1},     {0xEF, 10, -1},
    };
    auto expect = [](const LengthRule& rule, int length, bool rest) {
        if (length < 0) {
            EXPECT_EQ(rule.framing, Framing::kNone);
        } else if (length == 0) {
            EXPECT_EQ(rule.framing, Framing::kCounted);
        } else {
            EXPECT_EQ(rule.framing, rest ? Framing::kRestOfRead : Framing::kFixed);
            EXPECT_EQ(rule.size, length);
        }
    };
    std::set<int> types;
    for (const Documented& d : documented) {
        SCOPED_TRACE(ToHex(&d.type, 1));
        const msg::MessageLengths* row = msg::FindMessageLengths(d.type);
        ASSERT_NE(row, nullptr);
        expect(row->request, d.request, false);
        expect(row->reply, d.reply, d.rest);
        types.insert(d.type);
    }
    // No row beyond the documented ones, and no type byte outside them has one.
    EXPECT_EQ(msg::kMessageLengthTable.size(), types.size());
    for (int t = 0; t < 256; ++t) {
        if (!types.count(t)) {
            EXPECT_EQ(msg::FindMessageLengths(static_cast<uint8_t>(t)), nullptr);
        }
    }
}

// The self-sized messages wait for their header, then take what it announces;
// a type with no request is a framing fault on the device's side; a reply with
// no length takes the rest of the read on the client's side.
TEST(MessageLengths, CountedAndUnframedMessages) {
    struct Case {
        const char* bytes;
        int requestLength;    // the device's framing
        int64_t replyLength;  // the client's framing
    };
    const Case cases[] = {
        {"B4", 4, 1},
        {"B4 00 10", 4, 3},
        {"B4 00 00 03 00 01 01", 7, 7},
        {"B4 00 10 03 00 00", 4 + 0x1003, 6},
        {"A8", 2, 2},
        {"A8 03 00 00", 2, 2 + 3 * 20},
        {"AB 00 00 00", 2, 6},
        {"AB 00 01 00 00 00", 2, 6 + 0x01000000},
        {"B2 00 00 A1 00", 35, 5},
        {"B5 00 01 02 AD 00", 5, 6},
        {"AE 00", kUnknownRequest, 2},
        {"A5 01 00 05", kUnknownRequest, 4},
        {"5A 00 00", kUnknownRequest, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        const Bytes m = FromHex(c.bytes);
        const int n = static_cast<int>(m.size());
        EXPECT_EQ(RequestLength(m.data(), n), c.requestLength);
        EXPECT_EQ(FramedLength(m.data(), n), c.replyLength);
    }
}

std::vector<Built> ClientRequests() {
    std::vector<Built> out;
    const login::PlainField user = login::MakeField("admin");
    const login::PlainField password = login::MakeField("admin123");
    out.push_back({"login::BuildVersionCheck", B(login::BuildVersionCheck())});
    out.push_back({"login::BuildKeyRequest", B(login::BuildKeyRequest())});
    out.push_back({"login::BuildLogin", B(login::BuildLogin(kKey, user, password))});
    out.push_back({"login::BuildLoginRecord", B(login::BuildLoginRecord({}))});
    out.push_back({"videoset::BuildReadRequest", B(videoset::BuildReadRequest())});
    out.push_back({"videoset::BuildWriteRequest", B(videoset::BuildWriteRequest({30, 2048}))});
    out.push_back({"network::BuildReadRequest", B(network::BuildReadRequest())});
    out.push_back(
        {"network::BuildNetworkMessage", B(network::BuildNetworkMessage(network::kWrite, {}))});
    users::UserWrite write;
    write.fields[2] = users::PackUserField("newuser");
    write.fields[3] = users::PackUserField("secret");
    out.push_back({"users::BuildUserWrite", B(users::BuildUserWrite(kKey, write))});
    out.push_back({"users::BuildUserListRequest", B(users::BuildUserListRequest())});
    out.push_back({"userlog::BuildReadRequest", B(userlog::BuildReadRequest())});
    out.push_back({"userlog::BuildClearRequest", B(userlog::BuildClearRequest())});
    for (uint8_t type : {msg::kControlRequest, msg::kHeartbeat, msg::kControlLost, msg::kReboot,
                         msg::kLockState}) {
        out.push_back(
            {"BuildShortMessage " + ToHex(&type, 1), B(BuildShortMessage(type, msg::kStatusOk))});
    }
    out.push_back({"identity::BuildReadRequest", B(identity::BuildReadRequest())});
    out.push_back(
        {"identity::BuildWriteRequest",
         B(identity::BuildWriteRequest(identity::PackText("UID"), identity::PackText("name")))});
    out.push_back({"identity::BuildVersionRequest", B(identity::BuildVersionRequest())});
    out.push_back({"sleeptime::BuildReadRequest", B(sleeptime::BuildReadRequest())});
    out.push_back({"sleeptime::BuildWriteRequest", B(sleeptime::BuildWriteRequest(15))});
    out.push_back({"firmware::BuildStart", B(firmware::BuildStart())});
    const Bytes image(firmware::kChunkSize, 0x5A);
    for (int n : {firmware::kChunkSize, 1, 0}) {
        out.push_back({"firmware::BuildChunk n=" + std::to_string(n),
                       firmware::BuildChunk(0, n != firmware::kChunkSize, image.data(), n)});
    }

    KeyboardEncoder keys;
    input::KeyMessageBytes key{};
    int length = 0;
    if (keys.BuildKeyMessage(vk::kSpace, true, &key, &length)) {
        out.push_back(
            {"KeyboardEncoder::BuildKeyMessage", Bytes(key.begin(), key.begin() + length)});
        input::KeyMessageBytes sealed{};
        input::SealKeyMessage(kKey, key, &sealed);
        out.push_back({"input::SealKeyMessage", B(sealed)});
    }
    MouseEncoder mouse;
    input::MouseMessageBytes move{};
    if (mouse.BuildMouseMessage(MouseEncoder::kLeftDown, -5, 3, 1, &move, &length)) {
        out.push_back(
            {"MouseEncoder::BuildMouseMessage", Bytes(move.begin(), move.begin() + length)});
        input::MouseMessageBytes sealed{};
        input::SealMouseMessage(kKey, move, &sealed);
        out.push_back({"input::SealMouseMessage", B(sealed)});
    }
    return out;
}

// Every client builder makes exactly the request length of its row, and the
// device's framing cuts exactly that message from a stream that goes on.
TEST(MessageLengths, EveryClientBuilderMakesItsRequestLength) {
    std::set<uint8_t> built;
    for (const Built& b : ClientRequests()) {
        SCOPED_TRACE(b.builder);
        ASSERT_FALSE(b.bytes.empty());
        const LengthRule rule = msg::RequestRule(b.bytes[0]);
        ASSERT_NE(rule.framing, Framing::kNone);
        EXPECT_EQ(RuleLength(rule, b.bytes), static_cast<int64_t>(b.bytes.size()));
        Bytes stream = b.bytes;
        stream.insert(stream.end(), {msg::kHeartbeat, 0});
        EXPECT_EQ(RequestLength(stream.data(), static_cast<int>(stream.size())),
                  static_cast<int>(b.bytes.size()));
        built.insert(b.bytes[0]);
    }
    // Every type the client sends on the control stream has a builder here.
    for (const msg::MessageLengths& row : msg::kMessageLengthTable) {
        if (row.request.framing != Framing::kNone) {
            EXPECT_TRUE(built.count(row.type)) << ToHex(&row.type, 1) << " has no builder";
        }
    }
    // The stream-control datagram goes to the video port, not on the stream.
    const uint8_t name[] = {'a', 'd', 'm', 'i', 'n'};
    EXPECT_EQ(msg::RequestRule(msg::kStreamControl).framing, Framing::kNone);
    EXPECT_EQ(streamcontrol::Build(streamcontrol::kStart, name, 5)[0], msg::kStreamControl);
}

std::vector<Built> ProtocolReplies() {
    std::vector<Built> out;
    out.push_back({"login::BuildKeyReply", B(login::BuildKeyReply(kKey))});
    for (uint8_t type :
         {msg::kVersionCheck, msg::kLogin, msg::kUserWrite, msg::kControlRequest, msg::kLogClear,
          msg::kHeartbeat, msg::kEmptyReply, msg::kControlLost, msg::kLockState}) {
        out.push_back({"BuildShortMessage " + ToHex(&type, 1),
                       B(BuildShortMessage(type, msg::kStatusRefused))});
    }
    out.push_back({"videoset::BuildReply", B(videoset::BuildReply(videoset::kRead, 1024, 25))});
    out.push_back({"network::BuildNetworkMessage",
                   B(network::BuildNetworkMessage(network::kCarriesConfig, {}))});
    for (size_t n : {0, 1, 50, 255}) {
        out.push_back({"users::BuildUserList n=" + std::to_string(n),
                       users::BuildUserList(std::vector<users::UserRecord>(n))});
    }
    for (size_t n : {0, 2, 1000}) {
        out.push_back({"userlog::BuildLogReply n=" + std::to_string(n),
                       userlog::BuildLogReply(std::vector<login::LoginRecord>(n))});
    }
    out.push_back({"userlog::BuildClearReply", B(userlog::BuildClearReply(0))});
    out.push_back({"identity::BuildReply", B(identity::BuildReply({}))});
    out.push_back({"identity::BuildVersionReply", B(identity::BuildVersionReply(1, 2))});
    out.push_back({"sleeptime::BuildReply", B(sleeptime::BuildReply(10))});
    out.push_back({"firmware::BuildStartReply", B(firmware::BuildStartReply())});
    out.push_back({"firmware::BuildChunkReply", B(firmware::BuildChunkReply(0, 7))});
    return out;
}

// The simulated device's answers, message by message, to a logged-in
// administrator: every reply and every message sent of its own accord.
std::vector<Built> DeviceReplies() {
    sim::SimConfig config;
    config.fixedKey = kKey;
    sim::ControlDevice device(config);
    std::vector<Built> out;
    auto send = [&](int connection, const Bytes& m) {
        const sim::ControlDevice::Outcome o =
            device.Receive(connection, m.data(), static_cast<int>(m.size()));
        const std::string name = "device on " + ToHex(m.data(), 1) + ": " + o.text;
        for (const auto& e : o.events) out.push_back({name + " (event)", e.bytes});
        if (o.reply) out.push_back({name, *o.reply});
        return o.reply.has_value();
    };
    device.Open(1);
    send(1, B(login::BuildVersionCheck()));
    send(1, B(login::BuildKeyRequest()));
    send(1, B(login::BuildLogin(kKey, login::MakeField("admin"), login::MakeField("admin123"))));
    std::vector<Bytes> requests;
    for (const Built& b : ClientRequests()) {
        const uint8_t t = b.bytes[0];
        // The login was made; the reboot would end the session.
        if (t == msg::kVersionCheck || t == msg::kKeyRequest || t == msg::kLogin ||
            t == msg::kReboot || t == msg::kFirmwareBlock) {
            continue;
        }
        requests.push_back(b.bytes);
    }
    const Bytes image(100, 0x5A);
    requests.push_back(B(firmware::BuildStart()));
    requests.push_back(firmware::BuildChunk(0, true, image.data(), 100));
    requests.push_back(firmware::BuildChunk(9, true, image.data(), 100));  // out of order
    for (const Bytes& r : requests) {
        const bool replied = send(1, r);
        // A type with no reply in the table gets none.
        if (msg::ReplyRule(r[0]).framing == Framing::kNone) {
            EXPECT_FALSE(replied) << ToHex(r.data(), 1);
        }
    }
    // A second client takes the operation right: the holder is told (0xAF).
    device.Open(2);
    send(2, B(login::BuildVersionCheck()));
    send(2, B(login::BuildKeyRequest()));
    send(2, B(login::BuildLogin(kKey, login::MakeField("user"), login::MakeField("user1234"))));
    send(2, B(BuildShortMessage(msg::kControlRequest)));
    return out;
}

// Every reply builder, the protocol's and the simulated device's, makes exactly
// the reply length of its row, and the client's framing cuts that message whole
// from a stream that goes on.
TEST(MessageLengths, EveryReplyBuilderMakesItsReplyLength) {
    std::vector<Built> replies = ProtocolReplies();
    const std::vector<Built> device = DeviceReplies();
    replies.insert(replies.end(), device.begin(), device.end());
    std::map<uint8_t, int> fromDevice;
    for (const Built& b : device) ++fromDevice[b.bytes.at(0)];
    std::set<uint8_t> built;
    for (const Built& b : replies) {
        SCOPED_TRACE(b.builder);
        ASSERT_FALSE(b.bytes.empty());
        const LengthRule rule = msg::ReplyRule(b.bytes[0]);
        ASSERT_NE(rule.framing, Framing::kNone);
        EXPECT_EQ(RuleLength(rule, b.bytes), static_cast<int64_t>(b.bytes.size()));
        if (rule.framing != Framing::kRestOfRead) {
            Bytes stream = b.bytes;
            stream.insert(stream.end(), {msg::kLockState, 0});
            std::vector<Bytes> cut;
            CutMessages(stream.data(), static_cast<int>(stream.size()),
                        [&](const uint8_t* m, int n) { cut.emplace_back(m, m + n); });
            ASSERT_EQ(cut.size(), 2u);
            EXPECT_EQ(cut[0], b.bytes);
        }
        built.insert(b.bytes[0]);
    }
    // Every type the device sends has a reply builder here.
    for (const msg::MessageLengths& row : msg::kMessageLengthTable) {
        if (row.reply.framing != Framing::kNone) {
            EXPECT_TRUE(built.count(row.type)) << ToHex(&row.type, 1) << " has no builder";
        }
    }
    // The device answered every administration message and took the right away.
    for (uint8_t type :
         {msg::kUserList, msg::kUserWrite, msg::kNetworkSettings, msg::kVideoSettings,
          msg::kSleepTime, msg::kIdentity, msg::kFirmwareVersion, msg::kFirmwareStart,
          msg::kLogRead, msg::kLogClear, msg::kControlLost, msg::kLockState, msg::kHeartbeat}) {
        EXPECT_GT(fromDevice[type], 0) << ToHex(&type, 1);
    }
    EXPECT_EQ(fromDevice[msg::kFirmwareBlock], 2);
}

}  // namespace
}  // namespace vantelsor::test
