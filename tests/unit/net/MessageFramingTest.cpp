#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Hex.h"
#include "net/MessageFraming.h"

namespace vantelsor {
namespace {

using test::FromHex;
using test::ToHex;

// Feeds reads into a buffer the way the stream receive thread does and records
// every delivered message as hex.
struct StreamCutter {
    std::vector<uint8_t> buffer = std::vector<uint8_t>(65536);
    int pending = 0;
    std::vector<std::string> delivered;

    void Read(const std::vector<uint8_t>& bytes) {
        std::copy(bytes.begin(), bytes.end(), buffer.begin() + pending);
        pending = CutMessages(buffer.data(), pending + static_cast<int>(bytes.size()),
                              [&](const uint8_t* m, int n) { delivered.push_back(ToHex(m, n)); });
    }
};

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
        {"variable type after a fixed one", {"AD 00 AB 00 05 01"}, {"AD 00", "AB 00 05 01"}, 0},
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

}  // namespace
}  // namespace vantelsor
