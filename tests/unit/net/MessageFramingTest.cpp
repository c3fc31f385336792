#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "Hex.h"
#include "net/MessageFraming.h"

namespace vantelsor::test {
namespace {

// Feeds reads into a buffer the way the stream receive thread does and records
// every delivered message as hex.
struct StreamCutter {
    explicit StreamCutter(int capacity = 65536) : buffer(capacity) { state.capacity = capacity; }

    std::vector<uint8_t> buffer;
    FramingState state;
    int pending = 0;
    std::vector<std::string> delivered;

    void Read(const std::vector<uint8_t>& bytes) {
        ASSERT_LE(pending + bytes.size(), buffer.size());
        std::copy(bytes.begin(), bytes.end(), buffer.begin() + pending);
        pending = CutMessages(buffer.data(), pending + static_cast<int>(bytes.size()), state,
                              [&](const uint8_t* m, int n) { delivered.push_back(ToHex(m, n)); });
    }
};

// A log reply with `records` records whose bytes count up from 1.
std::vector<uint8_t> LogReply(uint32_t records) {
    const uint32_t length = records * 36;
    std::vector<uint8_t> m = {0xAB,
                              0x00,
                              static_cast<uint8_t>(length >> 24),
                              static_cast<uint8_t>(length >> 16),
                              static_cast<uint8_t>(length >> 8),
                              static_cast<uint8_t>(length)};
    for (uint32_t i = 0; i < length; ++i) m.push_back(static_cast<uint8_t>(i % 251 + 1));
    return m;
}

struct FramingCase {
    const char* name;
    std::vector<const char*> reads;
    std::vector<const char*> delivered;
    int pending;
};

TEST(MessageFraming, CutsReadsIntoMessages) {
    const FramingCase cases[] = {
        {"two short messages in one read", {"A1 00 AD 00"}, {"A1 00", "AD 00"}, 0},
        {"fixed-length reply over two reads",
         {"A6 01 02 03 04 05 06 07 08 09", "0A 0B 0C 0D 0E 0F 10 11 12 13 14 15 16 17"},
         {"A6 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10 11 12 13 14 15 16 17"},
         0},
        {"unknown type takes the whole rest of the read",
         {"B2 01 02 A1 00"},
         {"B2 01 02 A1 00"},
         0},
        {"variable type after a fixed one", {"AD 00 B5 00 05 01"}, {"AD 00", "B5 00 05 01"}, 0},
        {"log reply waits for its header", {"AB 00 00 00"}, {}, 4},
        {"empty log reply", {"AB 00 00 00 00 00 B1 77"}, {"AB 00 00 00 00 00", "B1 77"}, 0},
        {"user list by its count",
         {"A8 01 00 04", "61 64 6D 69 6E 00 00 00 00 00 00 00 00 00 00 00 00 01 B1 00"},
         {"A8 01 00 04 61 64 6D 69 6E 00 00 00 00 00 00 00 00 00 00 00 00 01", "B1 00"},
         0},
        {"key reply followed by part of the next",
         {"A2 00 01 02 03 04 05 06 07 08 A4 00"},
         {"A2 00 01 02 03 04 05 06 07 08"},
         2},
        {"one byte at a time", {"A4", "00", "01", "02", "03", "04"}, {"A4 00 01 02 03 04"}, 0},
        {"split heartbeat then status", {"AD", "00 A3", "81"}, {"AD 00", "A3 81"}, 0},
        {"byte outside the protocol", {"00 A1 00"}, {"00 A1 00"}, 0},
    };
    for (const FramingCase& c : cases) {
        SCOPED_TRACE(c.name);
        StreamCutter cutter;
        for (const char* r : c.reads) cutter.Read(FromHex(r));
        ASSERT_EQ(cutter.delivered.size(), c.delivered.size());
        for (size_t i = 0; i < c.delivered.size(); ++i) {
            EXPECT_EQ(cutter.delivered[i], ToHex(FromHex(c.delivered[i])));
        }
        EXPECT_EQ(cutter.pending, c.pending);
    }
}

TEST(MessageFraming, IncompleteMessageIsKeptAtTheStartOfTheBuffer) {
    StreamCutter cutter;
    cutter.Read(FromHex("AD 00 A6 01 02 03 04 05 06 07 08 09"));
    ASSERT_EQ(cutter.pending, 10);
    EXPECT_EQ(ToHex(cutter.buffer.data(), 10), "A6 01 02 03 04 05 06 07 08 09");
    EXPECT_EQ(cutter.delivered, std::vector<std::string>{"AD 00"});
}

// The log reply carries its length: however the stream is cut, it arrives as one
// message, and a lock-state reply around it stays a message of its own instead
// of being taken for a piece of the log.
TEST(MessageFraming, LogReplyArrivesWholeWhereverTheStreamIsCut) {
    const std::vector<uint8_t> log = LogReply(2);  // 6 + 72 bytes
    std::vector<uint8_t> stream = FromHex("B1 33");
    stream.insert(stream.end(), log.begin(), log.end());
    const std::vector<uint8_t> tail = FromHex("B1 44 AC 00");
    stream.insert(stream.end(), tail.begin(), tail.end());
    const std::vector<std::string> expected = {"B1 33", ToHex(log), "B1 44", "AC 00"};
    for (size_t first = 1; first < stream.size(); ++first) {
        for (size_t second = first; second < stream.size(); ++second) {
            SCOPED_TRACE(std::to_string(first) + "/" + std::to_string(second));
            StreamCutter cutter;
            cutter.Read({stream.begin(), stream.begin() + first});
            if (second > first) cutter.Read({stream.begin() + first, stream.begin() + second});
            cutter.Read({stream.begin() + second, stream.end()});
            ASSERT_EQ(cutter.delivered, expected);
            EXPECT_EQ(cutter.pending, 0);
        }
    }
}

TEST(MessageFraming, LogOfTheLargestListedSizeArrivesWholeInSmallReads) {
    const std::vector<uint8_t> log = LogReply(1000);  // 36,006 bytes
    StreamCutter cutter;
    for (size_t at = 0; at < log.size(); at += 1400) {
        cutter.Read({log.begin() + at, log.begin() + std::min(log.size(), at + 1400)});
    }
    cutter.Read(FromHex("B1 00"));
    ASSERT_EQ(cutter.delivered.size(), 2u);
    EXPECT_EQ(cutter.delivered[0], ToHex(log));
    EXPECT_EQ(cutter.delivered[1], "B1 00");
}

// A reply longer than the buffer can never be held: its header comes alone (so
// the reader can refuse it by its length), its data is dropped, and the stream
// stays in step for what follows.
TEST(MessageFraming, LogReplyLongerThanTheBufferIsSkippedAndTheStreamStaysInStep) {
    const std::vector<uint8_t> log = LogReply(20);  // 726 bytes
    StreamCutter cutter(256);
    std::vector<uint8_t> stream = log;
    const std::vector<uint8_t> next = FromHex("A4 01 00 80 00 19");
    stream.insert(stream.end(), next.begin(), next.end());
    for (size_t at = 0; at < stream.size(); at += 100) {
        cutter.Read({stream.begin() + at, stream.begin() + std::min(stream.size(), at + 100)});
    }
    ASSERT_EQ(cutter.delivered.size(), 2u);
    EXPECT_EQ(cutter.delivered[0], ToHex(log.data(), 6));
    EXPECT_EQ(cutter.delivered[1], ToHex(next));
    EXPECT_EQ(cutter.pending, 0);
}

}  // namespace
}  // namespace vantelsor::test
