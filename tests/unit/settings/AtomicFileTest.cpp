// The atomic file writer on a real file system: contents, permissions, failures and
// concurrent writers.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <string>
#include <thread>
#include <vector>

#include "FileSizeLimit.h"
#include "TempFolder.h"
#include "settings/AtomicFile.h"

namespace vantelsor::test {
namespace {

class AtomicFileTest : public TempFolderTest {
  protected:
    mode_t ModeOf(const std::string& path) const {
        struct stat st {};
        EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
        return st.st_mode & 07777;
    }
};

TEST_F(AtomicFileTest, ReplacesTheContentsWithANewFileAndLeavesNoTemporary) {
    WriteFile(Path("state"), "old contents that are longer than the new ones\n");
    struct stat before {};
    ASSERT_EQ(::stat(Path("state").c_str(), &before), 0);
    EXPECT_EQ(AtomicFile::Write(Path("state"), {"P6\n", "", "2 1\n", "pixels"}), 0);
    EXPECT_EQ(ReadFile(Path("state")), "P6\n2 1\npixels");
    struct stat after {};
    ASSERT_EQ(::stat(Path("state").c_str(), &after), 0);
    // Renamed over the old file, never rewritten in place: a reader holding the old one
    // keeps reading it whole.
    EXPECT_NE(before.st_ino, after.st_ino);
    EXPECT_EQ(AtomicFile::Write(Path("empty"), std::string_view()), 0);
    EXPECT_EQ(ReadFile(Path("empty")), "");
    EXPECT_EQ(Entries(dir_), (std::vector<std::string>{"empty", "state"}));
}

TEST_F(AtomicFileTest, KeepsTheModeOfTheOldFileAndGivesANewOneTheUmasksDefault) {
    struct Case {
        const char* name;
        bool existing;
        mode_t mode;  // of the existing file, or the umask for a new one
        mode_t expected;
    };
    const Case cases[] = {
        {"private file", true, 0600, 0600},        {"group readable", true, 0640, 0640},
        {"executable", true, 0755, 0755},          {"new file, umask 027", false, 027, 0640},
        {"new file, umask 077", false, 077, 0600}, {"new file, umask 002", false, 002, 0664},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string file = Path(Title(c.name));
        mode_t savedMask = 0;
        if (c.existing) {
            WriteFile(file, "old");
            ASSERT_EQ(::chmod(file.c_str(), c.mode), 0);
        } else {
            savedMask = ::umask(c.mode);
        }
        const int result = AtomicFile::Write(file, "new");
        if (!c.existing) ::umask(savedMask);
        ASSERT_EQ(result, 0);
        EXPECT_EQ(ModeOf(file), c.expected);
        EXPECT_EQ(ReadFile(file), "new");
    }
}

TEST_F(AtomicFileTest, RefusedTargetsReportTheirErrorAndCreateNothing) {
    ASSERT_EQ(::mkdir(Path("folder").c_str(), 0700), 0);
    struct Case {
        std::string path;
        int error;
    };
    const Case cases[] = {
        {Path("missing/state"), ENOENT},
        {Path("folder"), EISDIR},
        {"", EINVAL},
        {"/dev/null", EINVAL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(AtomicFile::Write(c.path, "bytes"), c.error);
    }
    EXPECT_EQ(Entries(dir_), std::vector<std::string>{"folder"});
    EXPECT_TRUE(Entries(Path("folder")).empty());
}

// A full disk, simulated with a file size limit, so that it fails for root too (a
// read-only folder does not stop root).
TEST_F(AtomicFileTest, AFailedWriteLeavesTheOldFileAndRemovesTheTemporary) {
    const std::string old = "the old contents\n";
    WriteFile(Path("state"), old);
    int result = 0;
    {
        const FileSizeLimit full(4096);
        result = AtomicFile::Write(Path("state"), std::string(100000, 'n'));
    }

    EXPECT_EQ(result, EFBIG);
    EXPECT_EQ(ReadFile(Path("state")), old);
    EXPECT_EQ(Entries(dir_), std::vector<std::string>{"state"});
}

TEST_F(AtomicFileTest, ASymbolicLinkStaysAndItsTargetIsReplaced) {
    ASSERT_EQ(::mkdir(Path("real").c_str(), 0700), 0);
    WriteFile(Path("real/state"), "old");
    ASSERT_EQ(::symlink(Path("real/state").c_str(), Path("state").c_str()), 0);
    EXPECT_EQ(AtomicFile::Write(Path("state"), "new"), 0);
    struct stat st {};
    ASSERT_EQ(::lstat(Path("state").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(ReadFile(Path("real/state")), "new");
    EXPECT_EQ(Entries(Path("real")), std::vector<std::string>{"state"});
}

// Several writers replace the same file and write a neighbour at once, while a reader
// keeps reading: every write succeeds (no two share a temporary), every read sees one
// writer's whole contents, and nothing is left behind.
TEST_F(AtomicFileTest, ConcurrentWritersInOneFolderNeverClash) {
    constexpr int kWriters = 4;
    constexpr int kRounds = 40;
    std::vector<std::string> contents;
    for (int w = 0; w < kWriters; ++w) {
        contents.push_back(std::string(20000 + 1000 * w, static_cast<char>('a' + w)));
    }
    WriteFile(Path("state"), contents[0]);
    std::atomic<int> failures{0};
    std::atomic<bool> writing{true};
    std::vector<std::thread> writers;
    for (int w = 0; w < kWriters; ++w) {
        writers.emplace_back([&, w] {
            for (int round = 0; round < kRounds; ++round) {
                if (AtomicFile::Write(Path("state"), contents[w]) != 0) ++failures;
                if (AtomicFile::Write(Path("neighbour"), contents[w]) != 0) ++failures;
            }
        });
    }
    std::vector<std::string> torn;
    std::thread reader([&] {
        while (writing) {
            const std::string seen = ReadFile(Path("state"));
            bool whole = false;
            for (const std::string& c : contents) whole = whole || seen == c;
            if (!whole) torn.push_back(seen.substr(0, 40));
        }
    });
    for (std::thread& t : writers) t.join();
    writing = false;
    reader.join();

    EXPECT_EQ(failures, 0);
    EXPECT_TRUE(torn.empty()) << torn.size() << " torn reads, first: " << torn.front();
    EXPECT_EQ(Entries(dir_), (std::vector<std::string>{"neighbour", "state"}));
}

}  // namespace
}  // namespace vantelsor::test
