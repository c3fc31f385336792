// The simulated device's state file: what is written reads back the same,
// whatever bytes the clients put into names, and a damaged file is named.
#include <gtest/gtest.h>

#include <fstream>

#include "LoginRecords.h"
#include "sim/StateFile.h"
#include "support/ScratchFolder.h"

namespace vantelsor::test {
namespace {

sim::DeviceState Sample() {
    sim::DeviceState s;
    s.accounts.push_back({std::string("we ird\n#", 8), std::string("\0\xFF pw", 5), 2});
    s.network.ipAddress = 0x0A000001;
    s.network.udpPort = 6000;
    s.video = {30, 2048};
    s.sleepMinutes = 255;
    s.uid = identity::PackText("0123456789ABCDEF");
    s.name = "room 12";
    s.versionMajor = 3;
    s.versionMinor = 10;
    const login::LoginRecord r =
        MakeRecord(2013, 5, 1, 2, 30, {192, 168, 0, 10}, "admin", login::kEventLogout);
    s.log = {r, r};
    return s;
}

TEST(StateFileTest, WrittenStateReadsBackTheSame) {
    const sim::DeviceState written = Sample();
    sim::DeviceState read;
    std::string error;
    ASSERT_TRUE(sim::ParseState(sim::FormatState(written), &read, &error)) << error;
    EXPECT_EQ(read.accounts, written.accounts);
    EXPECT_EQ(read.network, written.network);
    EXPECT_EQ(read.video, written.video);
    EXPECT_EQ(read.sleepMinutes, written.sleepMinutes);
    EXPECT_EQ(read.uid, written.uid);
    EXPECT_EQ(read.name, written.name);
    EXPECT_EQ(read.versionMajor, 3);
    EXPECT_EQ(read.versionMinor, 10);
    ASSERT_EQ(read.log.size(), 2u);
    EXPECT_EQ(read.log[1].event, login::kEventLogout);
    EXPECT_EQ(read.log[1].clientAddress, written.log[1].clientAddress);
    EXPECT_EQ(read.log[1].user.bytes, written.log[1].user.bytes);
}

TEST(StateFileTest, DamagedLinesAreNamedAndChangeNothing) {
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {"video 25 1024\nsleep 256\n", "line 2"},
        {"account 6164 6464 1 extra\n", "line 1"},
        {"network 00-1A 1.2.3.4 255.0.0.0 1.2.3.1 1 2\n", "line 1"},
        {"name 414\n", "line 1"},
        {"frobnicate\n", "line 1"},
    };
    for (const auto& c : cases) {
        sim::DeviceState state = Sample();
        std::string error;
        EXPECT_FALSE(sim::ParseState(c.text, &state, &error)) << c.text;
        EXPECT_NE(error.find(c.error), std::string::npos) << error;
        EXPECT_EQ(state.name, "room 12");
    }
}

TEST(StateFileTest, SavedFilesLoadWithTheFirmwareImage) {
    ScratchFolder folder;
    const std::string path = folder.File("device.state");
    sim::DeviceState state = Sample();
    state.firmware = {0xFC, 0, 0, 0, 8, 0, 0, 0};
    std::string error;
    ASSERT_TRUE(sim::SaveState(path, state, true, &error)) << error;
    sim::DeviceState loaded;
    ASSERT_TRUE(sim::LoadState(path, &loaded, &error)) << error;
    EXPECT_EQ(loaded.firmware, state.firmware);
    EXPECT_EQ(loaded.accounts, state.accounts);
    // A missing file is a device that has kept nothing yet.
    sim::DeviceState fresh;
    EXPECT_TRUE(sim::LoadState(folder.File("none.state"), &fresh, &error));
    EXPECT_EQ(fresh.name, sim::DeviceState{}.name);
}

}  // namespace
}  // namespace vantelsor::test
