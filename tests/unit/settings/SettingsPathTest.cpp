// SettingsPath: where config.ini lives.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "TempFolder.h"
#include "settings/SettingsPath.h"

namespace vantelsor::test {
namespace {

class SettingsPathTest : public TempFolderTest {
  protected:
    static bool IsDirectory(const std::string& path) {
        struct stat st {};
        return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    }
};

TEST_F(SettingsPathTest, BesideTheProgramWhenItsFolderIsWritable) {
    ASSERT_EQ(::mkdir(Path("bin").c_str(), 0755), 0);
    EXPECT_EQ(ChooseSettingsPath(Path("bin"), Path("xdg").c_str(), Path("home").c_str()),
              Path("bin/config.ini"));
    EXPECT_EQ(ChooseSettingsPath(Path("bin") + "/", nullptr, nullptr), Path("bin/config.ini"));
    EXPECT_FALSE(FileExists(Path("xdg")));  // nothing created elsewhere
}

TEST_F(SettingsPathTest, BesideTheProgramWhenAConfigIsAlreadyThere) {
    ASSERT_EQ(::mkdir(Path("bin").c_str(), 0755), 0);
    WriteFile(Path("bin/config.ini"), "[S]\n");
    ASSERT_EQ(::chmod(Path("bin").c_str(), 0555), 0);
    EXPECT_EQ(ChooseSettingsPath(Path("bin"), Path("xdg").c_str(), nullptr),
              Path("bin/config.ini"));
}

TEST_F(SettingsPathTest, ReadOnlyProgramFolderFallsBackToXdg) {
    if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
    ASSERT_EQ(::mkdir(Path("bin").c_str(), 0755), 0);
    ASSERT_EQ(::chmod(Path("bin").c_str(), 0555), 0);
    EXPECT_EQ(ChooseSettingsPath(Path("bin"), Path("xdg").c_str(), nullptr),
              Path("xdg/vantelsor/config.ini"));
    EXPECT_TRUE(IsDirectory(Path("xdg/vantelsor")));
}

TEST_F(SettingsPathTest, UnknownOrMissingProgramFolderUsesXdgConfigHome) {
    for (const std::string& exe : {std::string(), Path("no-such-folder")}) {
        EXPECT_EQ(ChooseSettingsPath(exe, Path("xdg").c_str(), Path("home").c_str()),
                  Path("xdg/vantelsor/config.ini"));
        EXPECT_TRUE(IsDirectory(Path("xdg/vantelsor")));
        EXPECT_FALSE(FileExists(Path("xdg/vantelsor/config.ini")));  // only the folder
    }
    struct stat st {};
    ASSERT_EQ(::stat(Path("xdg/vantelsor").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777 & ~0700u, 0u);  // private, as XDG asks
}

TEST_F(SettingsPathTest, WithoutXdgConfigHomeUsesDotConfigInHome) {
    ASSERT_EQ(::mkdir(Path("home").c_str(), 0700), 0);
    EXPECT_EQ(ChooseSettingsPath("", nullptr, Path("home").c_str()),
              Path("home/.config/vantelsor/config.ini"));
    EXPECT_TRUE(IsDirectory(Path("home/.config/vantelsor")));
    // An empty or relative XDG_CONFIG_HOME is ignored.
    EXPECT_EQ(ChooseSettingsPath("", "", Path("home").c_str()),
              Path("home/.config/vantelsor/config.ini"));
    EXPECT_EQ(ChooseSettingsPath("", "relative/dir", Path("home").c_str()),
              Path("home/.config/vantelsor/config.ini"));
}

TEST_F(SettingsPathTest, WithNoFolderAtAllTheCurrentFolder) {
    EXPECT_EQ(ChooseSettingsPath("", nullptr, nullptr), "config.ini");
    EXPECT_EQ(ChooseSettingsPath("", "relative", ""), "config.ini");
}

TEST_F(SettingsPathTest, AConfigFolderThatCannotBeCreatedStillGivesThePath) {
    WriteFile(Path("file"), "not a folder");
    EXPECT_EQ(ChooseSettingsPath("", Path("file").c_str(), nullptr),
              Path("file/vantelsor/config.ini"));
}

TEST(SettingsPath, ExecutableFolderIsTheTestsFolder) {
    const std::string folder = ExecutableFolder();
    ASSERT_FALSE(folder.empty());
    char exe[4096];
    const ssize_t n = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
    ASSERT_GT(n, 0);
    const std::string exePath(exe, static_cast<std::size_t>(n));
    EXPECT_EQ(exePath.substr(0, exePath.rfind('/')), folder);
}

TEST(SettingsPath, DefaultIsBesideTheTestProgram) {
    // The build folder is writable, so the default is beside the executable.
    EXPECT_EQ(DefaultSettingsPath(), ExecutableFolder() + "/config.ini");
}

}  // namespace
}  // namespace vantelsor::test
