// Byte-exact requests of the administration messages, and the parsers of their
// replies on hostile input.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Hex.h"
#include "LoginRecords.h"
#include "crypto/FieldCipher.h"
#include "protocol/FirmwareMessages.h"
#include "protocol/IdentityMessages.h"
#include "protocol/LogMessages.h"
#include "protocol/NetworkMessages.h"
#include "protocol/SleepMessages.h"
#include "protocol/UserMessages.h"
#include "protocol/VideoSettingsMessages.h"

namespace vantelsor::test {
namespace {

std::string Zeros(int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += i ? " 00" : "00";
    return s;
}

TEST(AdminMessages, RequestsAreByteExact) {
    network::NetworkConfig net;
    net.mac = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E};
    net.ipAddress = 0xC0A8000A;
    net.subnetMask = 0xFFFFFF00;
    net.gateway = 0xC0A80001;
    net.tcpPort = 5552;
    net.udpPort = 5553;
    const std::vector<uint8_t> chunkData = {0xFC, 0x01, 0x02};
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        std::string expected;
    };
    auto v = [](const auto& a) { return std::vector<uint8_t>(a.begin(), a.end()); };
    const Case cases[] = {
        {"A8 list", v(users::BuildUserListRequest()), "A8 00"},
        {"A6 read", v(network::BuildReadRequest()), "A6 01 " + Zeros(22)},
        {"A6 write", v(network::BuildNetworkMessage(network::kWrite, net)),
         "A6 02 00 1A 2B 3C 4D 5E C0 A8 00 0A FF FF FF 00 C0 A8 00 01 15 B0 15 B1"},
        {"A4 read", v(videoset::BuildReadRequest()), "A4 01 00 00 00 00"},
        {"A4 write", v(videoset::BuildWriteRequest({25, 2048})), "A4 02 08 00 00 19"},
        {"B6 read", v(sleeptime::BuildReadRequest()), "B6 00 00 00"},
        {"B6 write 0", v(sleeptime::BuildWriteRequest(0)), "B6 00 01 00"},
        {"B6 write 255", v(sleeptime::BuildWriteRequest(255)), "B6 00 01 FF"},
        {"B2 read", v(identity::BuildReadRequest()), "B2 00 00 " + Zeros(32)},
        {"B2 write",
         v(identity::BuildWriteRequest(identity::PackText("UID0123456789ABC"),
                                       identity::PackText("kvm01"))),
         "B2 00 01 55 49 44 30 31 32 33 34 35 36 37 38 39 41 42 43 6B 76 6D 30 31 " + Zeros(11)},
        {"B5 version", v(identity::BuildVersionRequest()), "B5 00 00 00 00"},
        {"B3 start", v(firmware::BuildStart()), "B3 00 00"},
        {"B4 chunk", firmware::BuildChunk(0x0102, true, chunkData.data(), 3),
         "B4 00 00 06 01 02 01 FC 01 02"},
        {"AB log", v(userlog::BuildReadRequest()), "AB 00"},
        {"AC clear", v(userlog::BuildClearRequest()), "AC 00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ToHex(c.bytes), ToHex(FromHex(c.expected)));
    }
}

TEST(AdminMessages, UserWriteHasSeventyFourBytesAndEmptyFieldsStayZero) {
    const SessionKey key = {1, 2, 3, 4, 5, 6, 7, 8};
    users::UserWrite del;
    del.mode = users::kDelete;
    del.fields[0] = users::PackUserField("guest");
    const auto m = users::BuildUserWrite(key, del);
    ASSERT_EQ(m.size(), 74u);
    EXPECT_EQ(ToHex(m.data(), 4), "A7 03 00 05");
    // Fields 2..4 are empty: their length and their 16 bytes are all zero.
    EXPECT_EQ(ToHex(m.data() + 20, 54), ToHex(FromHex(Zeros(54))));
    // Field 1 is the packed name enciphered as two DES blocks with the session key.
    users::Field plain = users::PackUserField("guest");
    uint8_t expected[16];
    FieldCipher::EncryptBlocks(key.data(), plain.bytes.data(), expected, 16);
    EXPECT_EQ(ToHex(m.data() + 4, 16), ToHex(expected, 16));

    users::UserWrite all;
    all.mode = users::kAdd;
    EXPECT_EQ(ToHex(users::BuildUserWrite(key, all)), ToHex(FromHex("A7 01 " + Zeros(72))));
}

TEST(AdminMessages, UserWriteFieldsComeBackOnTheDeviceSide) {
    const SessionKey key = {9, 8, 7, 6, 5, 4, 3, 2};
    users::UserWrite w;
    w.mode = users::kModify;
    w.fields[0] = users::PackUserField("admin");
    w.fields[2] = users::PackUserField("root16characters");
    w.fields[3] = users::PackUserField("secret99");
    const auto m = users::BuildUserWrite(key, w);
    EXPECT_EQ(ToHex(m.data() + 20, 2), "00 00");  // the old password was not asked for
    EXPECT_EQ(ToHex(m.data() + 38, 2), "00 10");
    EXPECT_EQ(ToHex(m.data() + 56, 2), "00 08");
    const users::UserWrite back = users::ParseUserWrite(key, m.data());
    EXPECT_EQ(back.mode, users::kModify);
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(back.fields[k].length, w.fields[k].length) << k;
        EXPECT_EQ(back.fields[k].bytes, w.fields[k].bytes) << k;
    }
}

std::vector<uint8_t> ListReply(std::initializer_list<std::pair<std::string, uint16_t>> accounts) {
    std::vector<users::UserRecord> records;
    for (const auto& [name, type] : accounts) {
        users::UserRecord r;
        const users::Field f = users::PackUserField(name);
        r.nameLength = f.length;
        r.name = f.bytes;
        r.userType = type;
        records.push_back(r);
    }
    return users::BuildUserList(records);
}

TEST(AdminMessages, UserListIsReadWithinItsLimits) {
    std::vector<users::UserRecord> out;
    // No accounts.
    ASSERT_TRUE(users::ParseUserList(FromHex("A8 00").data(), 2, &out));
    EXPECT_TRUE(out.empty());
    // A 16-character name keeps all 16; every type but 2 is an administrator.
    auto reply = ListReply({{"abcdefghijklmnop", 2}, {"admin", 1}, {"odd", 7}});
    ASSERT_TRUE(users::ParseUserList(reply.data(), static_cast<int>(reply.size()), &out));
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[0].NameText(), "abcdefghijklmnop");
    EXPECT_STREQ(users::UserTypeText(out[0].userType), "普通用户");
    EXPECT_STREQ(users::UserTypeText(out[2].userType), "管理员");
    // A reply cut short: the records that did not arrive read as zeros.
    ASSERT_TRUE(users::ParseUserList(reply.data(), 22, &out));
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[1].nameLength, 0);
    EXPECT_EQ(out[1].userType, 0);
}

TEST(AdminMessages, UserListNameLengthsAboveTheFieldAreBounded) {
    std::vector<users::UserRecord> out = {users::UserRecord{}};
    auto reply = ListReply({{"first", 1}, {"second", 2}});
    reply[2 + 20] = 0;
    reply[3 + 20] = 51;  // the second record's name length
    EXPECT_FALSE(users::ParseUserList(reply.data(), static_cast<int>(reply.size()), &out));
    EXPECT_EQ(out.size(), 1u) << "a refused list leaves the previous one";
    reply[3 + 20] = 50;
    ASSERT_TRUE(users::ParseUserList(reply.data(), static_cast<int>(reply.size()), &out));
    EXPECT_EQ(out[1].nameLength, 16);
}

TEST(AdminMessages, UserListReadsAtMostFiftyRecordsOfALongerReply) {
    std::vector<users::UserRecord> many(255);
    for (auto& r : many) r.nameLength = 4;
    const auto reply = users::BuildUserList(many);
    ASSERT_EQ(reply.size(), 2u + 255 * 20);
    std::vector<users::UserRecord> out;
    ASSERT_TRUE(users::ParseUserList(reply.data(), static_cast<int>(reply.size()), &out));
    EXPECT_EQ(out.size(), 50u);
}

TEST(AdminMessages, VersionTextIsHighByteDotLowByte) {
    const struct {
        const char* reply;
        const char* text;
    } cases[] = {{"B5 00 02 01", "1.2"},
                 {"B5 00 0A 03", "3.10"},
                 {"B5 00 FF FF", "255.255"},
                 {"B5 00", "0.0"}};
    for (const auto& c : cases) {
        const auto r = FromHex(c.reply);
        EXPECT_EQ(identity::VersionText(r.data(), static_cast<int>(r.size())), c.text) << c.reply;
    }
}

TEST(AdminMessages, IdentityTextsStopAtTheFirstZeroOrAfterSixteenBytes) {
    auto reply = FromHex("B2 00 00 41 42 43 00 45");
    reply.resize(19, 0);
    for (int i = 0; i < 16; ++i) reply.push_back(static_cast<uint8_t>('a' + i));
    const identity::Identity id =
        identity::ParseMessage(reply.data(), static_cast<int>(reply.size()));
    EXPECT_EQ(identity::TextOf(id.uid), "ABC");
    EXPECT_EQ(identity::TextOf(id.name), "abcdefghijklmnop");
}

TEST(AdminMessages, FirmwareImageCheck) {
    auto image = [](uint8_t mark, uint32_t sizeField, size_t size) {
        std::vector<uint8_t> m(size, 0x5A);
        if (size > 0) m[0] = mark;
        for (int i = 0; i < 4 && size >= 8; ++i)
            m[4 + i] = static_cast<uint8_t>(sizeField >> 8 * i);
        return m;
    };
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
        bool ok;
    } cases[] = {
        {"size field equals size", image(0xFC, 10000, 10000), true},
        {"bytes 1..3 do not matter", image(0xFC, 8, 8), true},
        {"wrong mark", image(0xFD, 10000, 10000), false},
        {"size field one less", image(0xFC, 9999, 10000), false},
        {"shorter than the header", image(0xFC, 0, 7), false},
        {"empty", {}, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(firmware::CheckImage(c.bytes.data(), c.bytes.size()), c.ok) << c.name;
    }
}

// Each image is cut into 4096-byte chunks with the remainder last; the length
// field counts index, flag and data; progress after each acknowledged chunk.
TEST(AdminMessages, FirmwareChunking) {
    const struct {
        uint64_t size;
        std::vector<int> lengths;
        std::vector<int> progress;  // after each chunk but the last
    } cases[] = {
        {4096, {4096}, {}},
        {4097, {4096, 1}, {99}},
        {10000, {4096, 4096, 1808}, {40, 81}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        std::vector<uint8_t> image(c.size);
        for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i * 7);
        const auto plan = firmware::ChunkPlan::For(c.size);
        ASSERT_EQ(plan.count, static_cast<int>(c.lengths.size()));
        std::vector<uint8_t> joined;
        for (int i = 0; i < plan.count; ++i) {
            const int n = plan.LengthOf(i, c.size);
            EXPECT_EQ(n, c.lengths[i]);
            const auto m = firmware::BuildChunk(static_cast<uint16_t>(i), plan.IsLast(i),
                                                image.data() + i * 4096, n);
            ASSERT_EQ(m.size(), 7u + n);
            EXPECT_EQ((m[2] << 8 | m[3]), n + 3);
            EXPECT_EQ((m[4] << 8 | m[5]), i);
            EXPECT_EQ(m[6], plan.IsLast(i) ? 1 : 0);
            firmware::Chunk chunk;
            ASSERT_TRUE(firmware::ParseChunk(m.data(), static_cast<int>(m.size()), &chunk));
            joined.insert(joined.end(), chunk.data, chunk.data + chunk.length);
            if (!plan.IsLast(i)) {
                EXPECT_EQ(firmware::ProgressPercent(uint64_t(i + 1) * 4096, c.size), c.progress[i]);
            }
        }
        EXPECT_EQ(joined, image);
    }
}

TEST(AdminMessages, ChunkRepliesAndChunksTooShortAreRefused) {
    firmware::ChunkAck ack;
    EXPECT_FALSE(firmware::ParseChunkReply(FromHex("B4 00 00 00").data(), 4, &ack));
    ASSERT_TRUE(firmware::ParseChunkReply(FromHex("B4 00 00 00 05").data(), 5, &ack));
    EXPECT_EQ(ack.status, 0);
    EXPECT_EQ(ack.index, 5);
    firmware::Chunk chunk;
    EXPECT_FALSE(firmware::ParseChunk(FromHex("B4 00 00 02 00 00 01").data(), 7, &chunk));
    EXPECT_FALSE(firmware::ParseChunk(FromHex("B4 00 00 05 00 00 01 AA").data(), 8, &chunk));
}

TEST(AdminMessages, LogReplyRecordsAndLimits) {
    const login::LoginRecord r =
        MakeRecord(2013, 5, 1, 2, 30, {0xC0, 0xA8, 0x00, 0x0A}, "admin", login::kEventLogout);
    const auto reply = userlog::BuildLogReply({r, r});
    ASSERT_EQ(reply.size(), 6u + 72);
    EXPECT_EQ(ToHex(reply.data(), 6), "AB 00 00 00 00 48");
    std::vector<login::LoginRecord> out;
    ASSERT_EQ(userlog::ParseLogReply(reply.data(), static_cast<int>(reply.size()), &out),
              userlog::LogParse::kOk);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[1].year, 2013);
    EXPECT_EQ(out[1].clientAddress, r.clientAddress);
    EXPECT_EQ(out[1].event, login::kEventLogout);
    EXPECT_EQ(userlog::ParseLogReply(reply.data(), 60, &out), userlog::LogParse::kIncomplete);
    const auto tooMany = FromHex("AB 00 00 00 8C C4");  // 1001 records announced
    EXPECT_EQ(userlog::ParseLogReply(tooMany.data(), 6, &out), userlog::LogParse::kTooManyRecords);
    EXPECT_TRUE(out.empty());
}

}  // namespace
}  // namespace vantelsor::test
