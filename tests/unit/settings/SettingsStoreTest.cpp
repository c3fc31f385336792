// SettingsStore: every operation on real files.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "FileSizeLimit.h"
#include "TempFolder.h"
#include "settings/IniFile.h"
#include "settings/SettingsStore.h"

namespace vantelsor::test {
namespace {

using Strings = std::vector<std::string>;

class SettingsStoreTest : public TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        file_ = Path("config.ini");
        store_.SetFilePath(file_);
    }

    IniFile Ini() const {
        IniFile ini;
        ini.Load(file_);
        return ini;
    }
    std::string Text() const { return ReadFile(file_); }
    ino_t Inode() const {
        struct stat st {};
        return ::stat(file_.c_str(), &st) == 0 ? st.st_ino : 0;
    }
    void ExpectOnlyConfigFile() const {
        EXPECT_EQ(Entries(dir_), Strings{"config.ini"}) << "a temporary file was left behind";
    }

    std::string file_;
    SettingsStore store_;
};

// ---- recent lists ---------------------------------------------------------------------------

TEST_F(SettingsStoreTest, FirstLoginWithoutAFile) {
    store_.AddRecentAddress(uint32_t{0xC0A80014});
    store_.AddRecentUser("admin");
    EXPECT_EQ(Text(), "[MRU_IP]\nIP_NUM=1\n1=192.168.0.20\n[USER_NAME]\nNAME_NUM=1\n1=admin\n");
    Strings users;
    Strings addresses;
    EXPECT_TRUE(store_.LoadRecentUsers(&users));
    EXPECT_TRUE(store_.LoadRecentAddresses(&addresses));
    EXPECT_EQ(users, Strings{"admin"});
    EXPECT_EQ(addresses, Strings{"192.168.0.20"});
    ExpectOnlyConfigFile();
}

struct InsertCase {
    const char* title;
    bool addresses;
    const char* before;  // file contents before, "" for no file
    const char* insert;
    const char* after;  // the whole file after
};

std::string InsertName(const ::testing::TestParamInfo<InsertCase>& p) {
    return std::to_string(p.index) + "_" + Title(p.param.title);
}

void PrintTo(const InsertCase& c, std::ostream* os) {
    *os << Title(c.title);
}

class RecentInsert : public TempFolderTest, public ::testing::WithParamInterface<InsertCase> {};

TEST_P(RecentInsert, MovesToFront) {
    const InsertCase& c = GetParam();
    const std::string file = Path("config.ini");
    if (c.before[0] != '\0') WriteFile(file, c.before);
    SettingsStore store;
    store.SetFilePath(file);
    if (c.addresses) {
        store.AddRecentAddress(std::string(c.insert));
    } else {
        store.AddRecentUser(c.insert);
    }
    EXPECT_EQ(ReadFile(file), c.after) << c.title;
    EXPECT_EQ(Entries(dir_), Strings{"config.ini"});
}

INSTANTIATE_TEST_SUITE_P(
    Users, RecentInsert,
    ::testing::Values(
        InsertCase{"no file", false, "", "admin", "[USER_NAME]\nNAME_NUM=1\n1=admin\n"},
        InsertCase{"a match moves to the front, count stays", false,
                   "[USER_NAME]\nNAME_NUM=3\n1=a\n2=b\n3=c\n", "c",
                   "[USER_NAME]\nNAME_NUM=3\n1=c\n2=a\n3=b\n"},
        InsertCase{"the match ignores letter case and takes the new one", false,
                   "[USER_NAME]\nNAME_NUM=2\n1=Admin\n2=b\n", "admin",
                   "[USER_NAME]\nNAME_NUM=2\n1=admin\n2=b\n"},
        InsertCase{"a match in first place", false, "[USER_NAME]\nNAME_NUM=2\n1=a\n2=b\n", "A",
                   "[USER_NAME]\nNAME_NUM=2\n1=A\n2=b\n"},
        InsertCase{"a new name grows the list", false, "[USER_NAME]\nNAME_NUM=2\n1=a\n2=b\n", "c",
                   "[USER_NAME]\nNAME_NUM=3\n1=c\n2=a\n3=b\n"},
        InsertCase{"a full list: the former last lands under key 6", false,
                   "[USER_NAME]\nNAME_NUM=5\n1=a\n2=b\n3=c\n4=d\n5=e\n", "f",
                   "[USER_NAME]\nNAME_NUM=5\n1=f\n2=a\n3=b\n4=c\n5=d\n6=e\n"},
        InsertCase{"a count of 0 ignores stale keys", false,
                   "[USER_NAME]\nNAME_NUM=0\n1=old\n2=older\n", "x",
                   "[USER_NAME]\nNAME_NUM=1\n1=x\n2=older\n"},
        InsertCase{"a missing key reads as empty and shifts down", false,
                   "[USER_NAME]\nNAME_NUM=2\n1=a\n", "b",
                   "[USER_NAME]\nNAME_NUM=3\n1=b\n3=\n2=a\n"},
        InsertCase{"an empty name matches an empty entry", false,
                   "[USER_NAME]\nNAME_NUM=3\n1=a\n2=\n3=c\n", "",
                   "[USER_NAME]\nNAME_NUM=3\n1=\n2=a\n3=c\n"},
        InsertCase{"a count above the limit is rewritten to the limit", false,
                   "[USER_NAME]\nNAME_NUM=7\n1=a\n2=b\n3=c\n4=d\n5=e\n6=f\n7=g\n", "x",
                   "[USER_NAME]\nNAME_NUM=5\n1=x\n2=a\n3=b\n4=c\n5=d\n6=e\n7=f\n8=g\n"},
        InsertCase{"a negative count only grows by one (as the original)", false,
                   "[USER_NAME]\nNAME_NUM=-3\n", "x", "[USER_NAME]\nNAME_NUM=-2\n1=x\n"},
        InsertCase{"a garbage count reads as 0", false, "[USER_NAME]\nNAME_NUM=many\n1=a\n", "x",
                   "[USER_NAME]\nNAME_NUM=1\n1=x\n"},
        InsertCase{"foreign lines stay where they are", false,
                   "; hello\r\n[OTHER]\r\nx=1\r\n[User_Name]\r\n; remark\r\nNAME_NUM = 1\r\n"
                   "1 = \"a\"\r\n\r\n[LAST]\r\ny=2\r\n",
                   "b",
                   "; hello\r\n[OTHER]\r\nx=1\r\n[User_Name]\r\n; remark\r\nNAME_NUM =2\r\n"
                   "1 =b\r\n2=a\r\n\r\n[LAST]\r\ny=2\r\n"}),
    InsertName);

INSTANTIATE_TEST_SUITE_P(
    Addresses, RecentInsert,
    ::testing::Values(
        InsertCase{"no file", true, "", "10.0.0.1", "[MRU_IP]\nIP_NUM=1\n1=10.0.0.1\n"},
        InsertCase{"a full list of 8: the former last lands under key 9", true,
                   "[MRU_IP]\nIP_NUM=8\n1=a\n2=b\n3=c\n4=d\n5=e\n6=f\n7=g\n8=h\n", "i",
                   "[MRU_IP]\nIP_NUM=8\n1=i\n2=a\n3=b\n4=c\n5=d\n6=e\n7=f\n8=g\n9=h\n"},
        InsertCase{"seven grow to eight", true,
                   "[MRU_IP]\nIP_NUM=7\n1=a\n2=b\n3=c\n4=d\n5=e\n6=f\n7=g\n", "x",
                   "[MRU_IP]\nIP_NUM=8\n1=x\n2=a\n3=b\n4=c\n5=d\n6=e\n7=f\n8=g\n"},
        InsertCase{"a count of 9 entered by hand is rewritten to 8", true, "[MRU_IP]\nIP_NUM=9\n",
                   "x",
                   "[MRU_IP]\nIP_NUM=8\n10=192.168.0.10\n9=192.168.0.10\n8=192.168.0.10\n"
                   "7=192.168.0.10\n6=192.168.0.10\n5=192.168.0.10\n4=192.168.0.10\n"
                   "3=192.168.0.10\n2=192.168.0.10\n1=x\n"},
        InsertCase{"a missing key reads as the default address and can match", true,
                   "[MRU_IP]\nIP_NUM=2\n1=10.0.0.1\n", "192.168.0.10",
                   "[MRU_IP]\nIP_NUM=2\n1=192.168.0.10\n2=10.0.0.1\n"},
        InsertCase{"a match moves to the front", true,
                   "[MRU_IP]\nIP_NUM=3\n1=10.0.0.1\n2=10.0.0.2\n3=10.0.0.3\n", "10.0.0.2",
                   "[MRU_IP]\nIP_NUM=3\n1=10.0.0.2\n2=10.0.0.1\n3=10.0.0.3\n"}),
    InsertName);

TEST_F(SettingsStoreTest, FiveUsersAndASixthOnlyLoadsFive) {
    for (const char* name : {"a", "b", "c", "d", "e", "f"}) store_.AddRecentUser(name);
    Strings users;
    EXPECT_TRUE(store_.LoadRecentUsers(&users));
    EXPECT_EQ(users, (Strings{"f", "e", "d", "c", "b"}));
    EXPECT_EQ(Ini().GetInt("USER_NAME", "NAME_NUM", 0), 5);
    EXPECT_EQ(Ini().GetString("USER_NAME", "6", ""), "a");
}

TEST_F(SettingsStoreTest, AddressCountIsNeverWrittenAboveEight) {
    for (int i = 1; i <= 20; ++i) {
        store_.AddRecentAddress("10.0.0." + std::to_string(i));
        ASSERT_LE(Ini().GetInt("MRU_IP", "IP_NUM", 0), 8);
    }
    Strings addresses;
    EXPECT_TRUE(store_.LoadRecentAddresses(&addresses));
    ASSERT_EQ(addresses.size(), 8u);
    EXPECT_EQ(addresses.front(), "10.0.0.20");
    EXPECT_EQ(addresses.back(), "10.0.0.13");
}

TEST_F(SettingsStoreTest, NumericAddressIsDottedMostSignificantByteFirst) {
    const std::pair<uint32_t, const char*> cases[] = {{0xC0A80014u, "192.168.0.20"},
                                                      {0x0A000001u, "10.0.0.1"},
                                                      {0u, "0.0.0.0"},
                                                      {0xFFFFFFFFu, "255.255.255.255"},
                                                      {0x7F000007u, "127.0.0.7"}};
    for (const auto& [address, text] : cases) {
        store_.ClearRecentAddresses();
        store_.AddRecentAddress(address);
        Strings out;
        EXPECT_TRUE(store_.LoadRecentAddresses(&out));
        EXPECT_EQ(out, Strings{text});
    }
}

TEST_F(SettingsStoreTest, HugeRecentCountsStayBounded) {
    for (const char* count : {"2000000000", "2147483647", "99999999999999999999"}) {
        WriteFile(file_, std::string("[USER_NAME]\nNAME_NUM=") + count + "\n1=a\n2=b\n");
        store_.AddRecentUser("x");
        IniFile ini = Ini();
        EXPECT_EQ(ini.GetInt("USER_NAME", "NAME_NUM", 0), 5) << count;
        EXPECT_EQ(ini.GetString("USER_NAME", "1", ""), "x");
        EXPECT_EQ(ini.GetString("USER_NAME", "2", ""), "a");
        EXPECT_EQ(ini.GetString("USER_NAME", "3", ""), "b");
        // No more than the scan limit of keys was shifted.
        const std::string last = std::to_string(SettingsStore::kMaxRecentListScan + 1);
        EXPECT_EQ(ini.GetString("USER_NAME", last, "missing"), "");
        EXPECT_EQ(ini.GetString("USER_NAME", std::to_string(SettingsStore::kMaxRecentListScan + 2),
                                "missing"),
                  "missing");
        Strings users;
        EXPECT_TRUE(store_.LoadRecentUsers(&users));
        EXPECT_EQ(users, (Strings{"x", "a", "b", "", ""}));
    }
}

TEST_F(SettingsStoreTest, MostNegativeCountDoesNotOverflow) {
    WriteFile(file_, "[MRU_IP]\nIP_NUM=-2147483648\n");
    store_.AddRecentAddress("10.0.0.1");
    EXPECT_EQ(Ini().GetInt("MRU_IP", "IP_NUM", 0), -2147483647);
    Strings out;
    EXPECT_FALSE(store_.LoadRecentAddresses(&out));
}

struct LoadCase {
    const char* count;  // nullptr: no count key
    bool ok;
    Strings users;
};

void PrintTo(const LoadCase& c, std::ostream* os) {
    *os << (c.count ? Escaped(c.count) : std::string("none"));
}

class RecentLoad : public TempFolderTest, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(RecentLoad, UsersByCount) {
    const LoadCase& c = GetParam();
    std::string text = "[USER_NAME]\n";
    if (c.count != nullptr) text += std::string("NAME_NUM=") + c.count + "\n";
    text += "1=a\n2=\n3=\"c\"\n4=d\n5=e\n6=f\n";
    WriteFile(Path("config.ini"), text);
    SettingsStore store;
    store.SetFilePath(Path("config.ini"));
    Strings out{"kept"};
    EXPECT_EQ(store.LoadRecentUsers(&out), c.ok);
    Strings expected{"kept"};
    expected.insert(expected.end(), c.users.begin(), c.users.end());
    EXPECT_EQ(out, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Counts, RecentLoad,
    ::testing::Values(LoadCase{nullptr, true, {}}, LoadCase{"0", true, {}},
                      LoadCase{"1", true, {"a"}}, LoadCase{"3", true, {"a", "", "c"}},
                      LoadCase{"5", true, {"a", "", "c", "d", "e"}}, LoadCase{"6", false, {}},
                      LoadCase{"-1", false, {}}, LoadCase{"2147483647", false, {}},
                      LoadCase{"-99999999999999", false, {}}, LoadCase{"99999999999999", false, {}},
                      LoadCase{"abc", true, {}}, LoadCase{"", true, {}},
                      LoadCase{"2x", true, {"a", ""}},
                      LoadCase{"\"4\"", true, {"a", "", "c", "d"}}),
    [](const auto& p) { return CaseName(p.index, p.param.count ? p.param.count : "none"); });

TEST_F(SettingsStoreTest, AddressLoadLimitIsEightAndMissingKeysAreTheDefault) {
    WriteFile(file_, "[MRU_IP]\nIP_NUM=3\n1=10.0.0.1\n3=\n");
    Strings out;
    EXPECT_TRUE(store_.LoadRecentAddresses(&out));
    EXPECT_EQ(out, (Strings{"10.0.0.1", "192.168.0.10", ""}));

    WriteFile(file_, "[MRU_IP]\nIP_NUM=8\n");
    out.clear();
    EXPECT_TRUE(store_.LoadRecentAddresses(&out));
    EXPECT_EQ(out, Strings(8, "192.168.0.10"));

    WriteFile(file_, "[MRU_IP]\nIP_NUM=9\n1=10.0.0.1\n");
    out.clear();
    EXPECT_FALSE(store_.LoadRecentAddresses(&out));
    EXPECT_TRUE(out.empty());
}

TEST_F(SettingsStoreTest, LoadsWithoutAFile) {
    Strings users;
    Strings addresses;
    std::vector<DeviceEntry> devices;
    EXPECT_TRUE(store_.LoadRecentUsers(&users));
    EXPECT_TRUE(store_.LoadRecentAddresses(&addresses));
    EXPECT_TRUE(store_.LoadDeviceBook(&devices));
    EXPECT_TRUE(users.empty());
    EXPECT_TRUE(addresses.empty());
    EXPECT_TRUE(devices.empty());
    EXPECT_FALSE(FileExists(file_));
}

TEST_F(SettingsStoreTest, ClearDeletesTheWholeSectionOnly) {
    WriteFile(file_,
              "; mine\n[USER_NAME]\nNAME_NUM=2\n1=a\n2=b\n[MRU_IP]\nIP_NUM=1\n1=10.0.0.1\n"
              "[user_name]\n9=stale\n[DEVICE]\nDEVICE_NUM=0\n");
    store_.ClearRecentUsers();
    EXPECT_EQ(Text(), "; mine\n[MRU_IP]\nIP_NUM=1\n1=10.0.0.1\n[DEVICE]\nDEVICE_NUM=0\n");
    store_.ClearRecentAddresses();
    EXPECT_EQ(Text(), "; mine\n[DEVICE]\nDEVICE_NUM=0\n");
    Strings out;
    EXPECT_TRUE(store_.LoadRecentUsers(&out));
    EXPECT_TRUE(out.empty());
    ExpectOnlyConfigFile();
}

TEST_F(SettingsStoreTest, ClearWithoutAFileCreatesNone) {
    store_.ClearRecentUsers();
    store_.ClearRecentAddresses();
    EXPECT_FALSE(FileExists(file_));
}

TEST_F(SettingsStoreTest, OverlongValuesAreStoredWholeAndReadCut) {
    const std::string longName(300, 'u');
    store_.AddRecentUser(longName);
    EXPECT_EQ(Ini().Serialize(), "[USER_NAME]\nNAME_NUM=1\n1=" + longName + "\n");
    Strings out;
    EXPECT_TRUE(store_.LoadRecentUsers(&out));
    EXPECT_EQ(out, Strings{std::string(259, 'u')});
    // As in the original, the cut value no longer matches the whole name.
    store_.AddRecentUser(longName);
    out.clear();
    EXPECT_TRUE(store_.LoadRecentUsers(&out));
    EXPECT_EQ(out, (Strings{std::string(259, 'u'), std::string(259, 'u')}));

    std::string chinese;
    for (int i = 0; i < 300; ++i) chinese += "\xE4\xB8\xAD";
    store_.ClearRecentUsers();
    store_.AddRecentUser(chinese);
    out.clear();
    EXPECT_TRUE(store_.LoadRecentUsers(&out));
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0], chinese.substr(0, 259 * 3));
}

TEST_F(SettingsStoreTest, ANameCannotInjectLines) {
    store_.AddRecentUser("evil\n[DEVICE]\nDEVICE_NUM=5");
    std::vector<DeviceEntry> devices;
    EXPECT_TRUE(store_.LoadDeviceBook(&devices));
    EXPECT_TRUE(devices.empty());
    Strings out;
    EXPECT_TRUE(store_.LoadRecentUsers(&out));
    EXPECT_EQ(out, Strings{"evil [DEVICE] DEVICE_NUM=5"});
}

// ---- device book ----------------------------------------------------------------------------

TEST_F(SettingsStoreTest, DeviceEntryKeysAreWrittenInOrder) {
    store_.WriteDeviceCount(1);
    store_.WriteDeviceEntry("10.0.0.5", "Lab", "root", 0);
    EXPECT_EQ(Text(), "[DEVICE]\nDEVICE_NUM=1\nIP1=10.0.0.5\nNOTE1=Lab\nUSER1=root\n");
    std::vector<DeviceEntry> devices;
    EXPECT_TRUE(store_.LoadDeviceBook(&devices));
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_EQ(devices[0].address, "10.0.0.5");
    EXPECT_EQ(devices[0].note, "Lab");
    EXPECT_EQ(devices[0].user, "root");
    ExpectOnlyConfigFile();
}

TEST_F(SettingsStoreTest, DeviceEntryWithMissingKeysLoadsTheDefaults) {
    WriteFile(file_, "[DEVICE]\nDEVICE_NUM=3\nip1=10.0.0.1\nNOTE2=two\nUser3=\n");
    std::vector<DeviceEntry> devices;
    EXPECT_TRUE(store_.LoadDeviceBook(&devices));
    ASSERT_EQ(devices.size(), 3u);
    EXPECT_EQ(devices[0].address, "10.0.0.1");
    EXPECT_EQ(devices[0].note, "Default");
    EXPECT_EQ(devices[0].user, "User");
    EXPECT_EQ(devices[1].address, "192.168.0.10");
    EXPECT_EQ(devices[1].note, "two");
    EXPECT_EQ(devices[1].user, "User");
    EXPECT_EQ(devices[2].address, "192.168.0.10");
    EXPECT_EQ(devices[2].note, "Default");
    EXPECT_EQ(devices[2].user, "");  // present but empty is not missing
}

TEST_F(SettingsStoreTest, SavingTwoRowsOverFourLeavesTheOldKeys) {
    store_.WriteDeviceCount(4);
    for (int i = 0; i < 4; ++i) {
        store_.WriteDeviceEntry("10.0.0." + std::to_string(i + 1), "old", "u", i);
    }
    store_.WriteDeviceCount(2);
    store_.WriteDeviceEntry("10.1.0.1", "new1", "a", 0);
    store_.WriteDeviceEntry("10.1.0.2", "new2", "b", 1);
    IniFile ini = Ini();
    EXPECT_EQ(ini.GetInt("DEVICE", "DEVICE_NUM", 0), 2);
    EXPECT_EQ(ini.GetString("DEVICE", "IP3", ""), "10.0.0.3");
    EXPECT_EQ(ini.GetString("DEVICE", "IP4", ""), "10.0.0.4");
    std::vector<DeviceEntry> devices;
    EXPECT_TRUE(store_.LoadDeviceBook(&devices));
    ASSERT_EQ(devices.size(), 2u);
    EXPECT_EQ(devices[0].address, "10.1.0.1");
    EXPECT_EQ(devices[1].note, "new2");
    ExpectOnlyConfigFile();
}

TEST_F(SettingsStoreTest, DeviceCountsOfZeroOrLessLoadNothing) {
    for (const char* count : {"0", "-1", "-2147483648", "junk", ""}) {
        WriteFile(file_, std::string("[DEVICE]\nDEVICE_NUM=") + count + "\nIP1=10.0.0.1\n");
        std::vector<DeviceEntry> devices;
        EXPECT_TRUE(store_.LoadDeviceBook(&devices)) << count;
        EXPECT_TRUE(devices.empty()) << count;
    }
}

TEST_F(SettingsStoreTest, HugeDeviceCountIsCapped) {
    for (const char* count : {"2000000000", "99999999999999999999"}) {
        WriteFile(file_, std::string("[DEVICE]\nDEVICE_NUM=") + count + "\nIP1=10.0.0.1\n");
        std::vector<DeviceEntry> devices{DeviceEntry{"x", "y", "z"}};
        EXPECT_TRUE(store_.LoadDeviceBook(&devices));
        ASSERT_EQ(devices.size(), 1u + SettingsStore::kMaxDeviceBookEntries) << count;
        EXPECT_EQ(devices[0].address, "x");  // appended, not replaced
        EXPECT_EQ(devices[1].address, "10.0.0.1");
        EXPECT_EQ(devices.back().address, "192.168.0.10");
        EXPECT_EQ(devices.back().note, "Default");
    }
    // Exactly the cap loads in full.
    WriteFile(file_, "[DEVICE]\nDEVICE_NUM=1000\n");
    std::vector<DeviceEntry> devices;
    EXPECT_TRUE(store_.LoadDeviceBook(&devices));
    EXPECT_EQ(devices.size(), 1000u);
}

TEST_F(SettingsStoreTest, DeviceEntryNumbersAreIndexPlusOne) {
    store_.WriteDeviceEntry("a", "b", "c", 9);
    store_.WriteDeviceEntry("d", "e", "f", INT_MAX);  // wraps as the original, no overflow
    IniFile ini = Ini();
    EXPECT_EQ(ini.GetString("DEVICE", "IP10", ""), "a");
    EXPECT_EQ(ini.GetString("DEVICE", "USER10", ""), "c");
    EXPECT_EQ(ini.GetString("DEVICE", "NOTE-2147483648", ""), "e");
}

// ---- main window placement and cursor --------------------------------------------------------

struct ScreenCase {
    int width;
    int height;
    int left;
    int top;
};

std::string ScreenText(const ScreenCase& c) {
    return std::to_string(c.width) + "x" + std::to_string(c.height);
}

void PrintTo(const ScreenCase& c, std::ostream* os) {
    *os << ScreenText(c);
}

class PlacementDefaults : public TempFolderTest,
                          public ::testing::WithParamInterface<ScreenCase> {};

TEST_P(PlacementDefaults, CentreAn800By600Window) {
    const ScreenCase& c = GetParam();
    SettingsStore store;
    store.SetFilePath(Path("config.ini"));
    store.SetScreenSizeProvider([c] { return ScreenSize{c.width, c.height}; });
    EXPECT_EQ(store.GetLeft(), c.left);
    EXPECT_EQ(store.GetTop(), c.top);
    EXPECT_EQ(store.GetWidth(), 800);
    EXPECT_EQ(store.GetHeight(), 600);
    EXPECT_EQ(store.GetMaximized(), 0);
    EXPECT_EQ(store.GetTopmost(), 0);
    EXPECT_EQ(store.GetLocalCursorOn(), 1);
    EXPECT_FALSE(FileExists(Path("config.ini")));
}

INSTANTIATE_TEST_SUITE_P(
    Screens, PlacementDefaults,
    ::testing::Values(ScreenCase{1280, 1024, 240, 212}, ScreenCase{1920, 1080, 560, 240},
                      ScreenCase{1921, 1081, 560, 240}, ScreenCase{800, 600, 0, 0},
                      // Truncation toward zero: -1 / 2 is 0, -199 / 2 is -99.
                      ScreenCase{799, 599, 0, 0}, ScreenCase{601, 401, -99, -99},
                      ScreenCase{640, 480, -80, -60}, ScreenCase{0, 0, -400, -300},
                      ScreenCase{INT_MIN, INT_MIN, -1073742224, -1073742124},
                      ScreenCase{INT_MAX, INT_MAX, 1073741423, 1073741523}),
    [](const auto& p) { return CaseName(p.index, ScreenText(p.param)); });

TEST_F(SettingsStoreTest, WithoutAScreenProviderTheScreenIs800By600) {
    EXPECT_EQ(store_.GetLeft(), 0);
    EXPECT_EQ(store_.GetTop(), 0);
}

TEST_F(SettingsStoreTest, ScreenSizeIsTakenAtTheMomentOfTheCall) {
    ScreenSize screen{1280, 1024};
    store_.SetScreenSizeProvider([&screen] { return screen; });
    EXPECT_EQ(store_.GetLeft(), 240);
    screen = ScreenSize{1024, 768};
    EXPECT_EQ(store_.GetLeft(), 112);
    EXPECT_EQ(store_.GetTop(), 84);
}

TEST_F(SettingsStoreTest, ExitTimeWritesAndReadBack) {
    store_.SetTopmost(1);
    store_.SetLeft(-5);
    store_.SetTop(10);
    store_.SetWidth(1024);
    store_.SetHeight(768);
    store_.SetMaximized(0);
    store_.SetLocalCursorOn(0);
    EXPECT_EQ(Text(),
              "[MAINWNDPOSITION]\nTOPMOST=1\nLEFT=-5\nTOP=10\nWIDTH=1024\nHEIGHT=768\n"
              "MAXIMIZED=0\n[LOCAL_CURSOR]\nLOCAL_CURSORON=0\n");
    EXPECT_EQ(store_.GetTopmost(), 1);
    EXPECT_EQ(store_.GetLeft(), -5);
    EXPECT_EQ(store_.GetTop(), 10);
    EXPECT_EQ(store_.GetWidth(), 1024);
    EXPECT_EQ(store_.GetHeight(), 768);
    EXPECT_EQ(store_.GetMaximized(), 0);
    EXPECT_EQ(store_.GetLocalCursorOn(), 0);
    ExpectOnlyConfigFile();
}

TEST_F(SettingsStoreTest, PlacementValuesReadLikeGetPrivateProfileInt) {
    WriteFile(file_,
              "[mainwndposition]\nLEFT=\nTOP=abc\nWIDTH=  1024px\nHEIGHT=\"768\"\n"
              "MAXIMIZED=99999999999\nTOPMOST=-1\n[LOCAL_CURSOR]\nLOCAL_CURSORON=\n");
    store_.SetScreenSizeProvider([] { return ScreenSize{1280, 1024}; });
    EXPECT_EQ(store_.GetLeft(), 240);  // empty: the default
    EXPECT_EQ(store_.GetTop(), 0);     // no digits: 0
    EXPECT_EQ(store_.GetWidth(), 1024);
    EXPECT_EQ(store_.GetHeight(), 768);
    EXPECT_EQ(store_.GetMaximized(), INT_MAX);
    EXPECT_EQ(store_.GetTopmost(), -1);
    EXPECT_EQ(store_.GetLocalCursorOn(), 1);
}

TEST_F(SettingsStoreTest, NothingIsCached) {
    store_.SetWidth(1000);
    WriteFile(file_, "[MAINWNDPOSITION]\nWIDTH=1200\n");
    EXPECT_EQ(store_.GetWidth(), 1200);
    std::remove(file_.c_str());
    EXPECT_EQ(store_.GetWidth(), 800);
}

// ---- one atomic write per operation, failures ------------------------------------------------

TEST_F(SettingsStoreTest, AnOperationThatChangesNothingDoesNotRewrite) {
    store_.SetWidth(1024);
    store_.AddRecentUser("admin");
    const ino_t before = Inode();
    ASSERT_NE(before, 0u);
    store_.SetWidth(1024);
    store_.AddRecentUser("admin");  // key 1 already "admin", count not written on a match
    store_.ClearRecentAddresses();  // no such section
    EXPECT_EQ(Inode(), before);
    store_.SetWidth(1025);
    EXPECT_NE(Inode(), before);
    ExpectOnlyConfigFile();
}

TEST_F(SettingsStoreTest, AFileThatCannotBeReadIsNeverReplaced) {
    // Too large to be a settings file: read as missing, and not overwritten.
    const std::string big =
        "[MAINWNDPOSITION]\nWIDTH=1024\n" + std::string(IniFile::kMaxFileBytes, ';');
    WriteFile(file_, big);
    EXPECT_EQ(store_.GetWidth(), 800);
    store_.SetWidth(900);
    store_.AddRecentUser("a");
    store_.WriteDeviceEntry("a", "b", "c", 0);
    EXPECT_EQ(Text(), big);

    // A folder named config.ini.
    std::remove(file_.c_str());
    ASSERT_EQ(::mkdir(file_.c_str(), 0700), 0);
    store_.SetWidth(900);
    store_.ClearRecentUsers();
    EXPECT_EQ(store_.GetWidth(), 800);
    struct stat st {};
    ASSERT_EQ(::stat(file_.c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    ExpectOnlyConfigFile();
}

TEST_F(SettingsStoreTest, AFailedWriteIsIgnoredAndKeepsTheOldFile) {
    store_.AddRecentUser("old");
    const std::string old = Text();

    {
        const FileSizeLimit full(1024);
        store_.AddRecentUser(std::string(5000, 'n'));
    }

    EXPECT_EQ(Text(), old);
    ExpectOnlyConfigFile();
}

TEST_F(SettingsStoreTest, AReadOnlyFolderKeepsTheOldFile) {
    if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
    store_.AddRecentUser("old");
    const std::string old = Text();
    ASSERT_EQ(::chmod(dir_.c_str(), 0500), 0);
    store_.AddRecentUser("new");
    store_.SetWidth(1);
    ::chmod(dir_.c_str(), 0700);
    EXPECT_EQ(Text(), old);
    ExpectOnlyConfigFile();
}

TEST_F(SettingsStoreTest, AMissingFolderIsIgnored) {
    store_.SetFilePath(Path("missing/config.ini"));
    store_.AddRecentUser("a");
    store_.SetWidth(1);
    EXPECT_EQ(store_.GetWidth(), 800);
    Strings out;
    EXPECT_TRUE(store_.LoadRecentUsers(&out));
    EXPECT_TRUE(out.empty());
}

TEST_F(SettingsStoreTest, GarbageFileNeverCrashesAndIsKept) {
    std::mt19937 rng(99);
    for (int round = 0; round < 5; ++round) {
        std::string garbage(static_cast<std::size_t>(200000 + rng() % 100000), '\0');
        for (char& c : garbage) c = static_cast<char>(rng() & 0xFF);
        WriteFile(file_, garbage);
        Strings out;
        std::vector<DeviceEntry> devices;
        store_.LoadRecentUsers(&out);
        store_.LoadRecentAddresses(&out);
        store_.LoadDeviceBook(&devices);
        (void)store_.GetLeft();
        (void)store_.GetLocalCursorOn();
        store_.AddRecentUser("admin");
        const std::string after = Text();
        ASSERT_GE(after.size(), garbage.size());
        EXPECT_EQ(after.compare(0, garbage.size(), garbage), 0) << "the foreign bytes changed";
        out.clear();
        EXPECT_TRUE(store_.LoadRecentUsers(&out));
        EXPECT_EQ(out, Strings{"admin"});
        ExpectOnlyConfigFile();
    }
}

TEST_F(SettingsStoreTest, ByteOrderMarkAndCrLfFileKeepsItsForm) {
    WriteFile(file_, "\xEF\xBB\xBF[USER_NAME]\r\nNAME_NUM=1\r\n1=a\r\n");
    store_.AddRecentUser("b");
    EXPECT_EQ(Text(), "\xEF\xBB\xBF[USER_NAME]\r\nNAME_NUM=2\r\n1=b\r\n2=a\r\n");
}

}  // namespace
}  // namespace vantelsor::test
