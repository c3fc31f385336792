// IniFile: private-profile reading rules, in-place rewriting, atomic saving, hostile input.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdint>
#include <random>
#include <string>

#include "FileSizeLimit.h"
#include "TempFolder.h"
#include "settings/IniFile.h"

namespace vantelsor::test {
namespace {

std::string Repeat(const std::string& s, std::size_t n) {
    std::string out;
    for (std::size_t i = 0; i < n; ++i) out += s;
    return out;
}

// ---- reading --------------------------------------------------------------------------------

TEST(IniFileRead, SectionAndKeyNamesIgnoreLetterCase) {
    IniFile ini = IniFile::Parse("[User_Name]\nname_num=3\n");
    EXPECT_EQ(ini.GetString("USER_NAME", "NAME_NUM", "x"), "3");
    EXPECT_EQ(ini.GetString("user_name", "Name_Num", "x"), "3");
    EXPECT_EQ(ini.GetInt("USER_NAME", "NAME_NUM", -1), 3);
}

TEST(IniFileRead, MissingSectionOrKeyGivesTheDefault) {
    IniFile ini = IniFile::Parse("[A]\nk=v\n");
    EXPECT_EQ(ini.GetString("B", "k", "def"), "def");
    EXPECT_EQ(ini.GetString("A", "other", "def"), "def");
    EXPECT_EQ(ini.GetInt("A", "other", 42), 42);
    EXPECT_FALSE(ini.GetValue("A", "other").has_value());
    EXPECT_EQ(IniFile().GetString("A", "k", "d"), "d");
}

TEST(IniFileRead, FirstMatchingSectionAndFirstMatchingKeyWin) {
    IniFile ini = IniFile::Parse("[S]\nk=first\nK=second\n[s]\nk=third\nonly2=x\n");
    EXPECT_EQ(ini.GetString("S", "k", ""), "first");
    // A key only in the second section of that name is not seen.
    EXPECT_EQ(ini.GetString("S", "only2", "missing"), "missing");
}

struct ValueCase {
    const char* line;
    const char* expected;
};

void PrintTo(const ValueCase& c, std::ostream* os) {
    *os << Escaped(c.line);
}

class IniFileValue : public ::testing::TestWithParam<ValueCase> {};

TEST_P(IniFileValue, IsTrimmedAndUnquoted) {
    IniFile ini = IniFile::Parse(std::string("[S]\n") + GetParam().line + "\n");
    EXPECT_EQ(ini.GetString("S", "k", "<missing>"), GetParam().expected) << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IniFileValue,
    ::testing::Values(ValueCase{"k=v", "v"}, ValueCase{"  k  =  v  ", "v"},
                      ValueCase{"k=\tv w\t", "v w"}, ValueCase{"k=", ""}, ValueCase{"k=   ", ""},
                      ValueCase{"k=\"v\"", "v"}, ValueCase{"k= \" v \" ", " v "},
                      ValueCase{"k=\"\"", ""}, ValueCase{"k=\"", "\""}, ValueCase{"k=\"v", "\"v"},
                      ValueCase{"k=v\"", "v\""}, ValueCase{"k='v'", "'v'"},
                      ValueCase{"k=\"a\"b\"", "a\"b"}, ValueCase{"k=a=b", "a=b"},
                      ValueCase{"k = ; not a comment", "; not a comment"}, ValueCase{"\tk=v", "v"}),
    [](const auto& p) { return CaseName(p.index, p.param.line); });

TEST(IniFileRead, ValuesAreCutTo259Characters) {
    std::string longValue = Repeat("x", 300);
    IniFile ini = IniFile::Parse("[S]\nk=" + longValue + "\nexact=" + Repeat("y", 259) + "\n");
    EXPECT_EQ(ini.GetString("S", "k", ""), Repeat("x", 259));
    EXPECT_EQ(ini.GetString("S", "exact", ""), Repeat("y", 259));
    // The quotes go before the cut.
    IniFile quoted = IniFile::Parse("[S]\nk=\"" + longValue + "\"\n");
    EXPECT_EQ(quoted.GetString("S", "k", ""), Repeat("x", 259));
}

TEST(IniFileRead, TheCutCountsUtf8CodePoints) {
    // "é" is 2 bytes, "中" 3, "😀" 4: 259 characters each, never cut inside one.
    for (const std::string ch : {"\xC3\xA9", "\xE4\xB8\xAD", "\xF0\x9F\x98\x80"}) {
        IniFile ini = IniFile::Parse("[S]\nk=" + Repeat(ch, 300) + "\n");
        EXPECT_EQ(ini.GetString("S", "k", ""), Repeat(ch, 259));
    }
    // Mixed: 258 ASCII characters then a 3-byte character and more.
    IniFile mixed = IniFile::Parse("[S]\nk=" + Repeat("a", 258) + "\xE4\xB8\xADzz\n");
    EXPECT_EQ(mixed.GetString("S", "k", ""), Repeat("a", 258) + "\xE4\xB8\xAD");
}

struct CutCase {
    std::string input;
    std::size_t chars;
    std::string expected;
};

TEST(IniFileRead, CutUtf8HandlesInvalidSequences) {
    const CutCase cases[] = {
        {"", 3, ""},
        {"abc", 0, ""},
        {"abc", 5, "abc"},
        {"\xC3\xA9\xC3\xA9", 1, "\xC3\xA9"},
        // A stray continuation byte counts as one character.
        {"\x80\x80\x80", 2, "\x80\x80"},
        // A truncated sequence followed by ASCII: the lead byte alone is one character.
        {"\xE4\xB8"
         "a",
         1, "\xE4\xB8"},
        {"\xE4"
         "ab",
         2,
         "\xE4"
         "a"},
        // Invalid lead bytes are one character each.
        {"\xFF\xFE\xFD", 2, "\xFF\xFE"},
        // A lead byte takes at most its own number of continuation bytes.
        {"\xC3\xA9\x80\x80", 1, "\xC3\xA9"},
        // A sequence cut off by the end of the text.
        {"a\xF0\x9F", 2, "a\xF0\x9F"},
    };
    for (const CutCase& c : cases) {
        EXPECT_EQ(IniFile::CutUtf8(c.input, c.chars), c.expected) << c.input << " " << c.chars;
    }
}

TEST(IniFileRead, Utf8ByteOrderMarkIsSkippedAndKept) {
    const std::string text = "\xEF\xBB\xBF[S]\nk=v\n";
    IniFile ini = IniFile::Parse(text);
    EXPECT_EQ(ini.GetString("S", "k", ""), "v");
    EXPECT_EQ(ini.Serialize(), text);
    // A byte order mark elsewhere is just bytes.
    IniFile later = IniFile::Parse("[S]\n\xEF\xBB\xBFk=v\n");
    EXPECT_EQ(later.GetString("S", "k", "missing"), "missing");
}

TEST(IniFileRead, CrLfAndLfLinesBothRead) {
    IniFile crlf = IniFile::Parse("[S]\r\nk=v\r\nn=12\r\n[T]\r\nx=\"q\"\r\n");
    EXPECT_EQ(crlf.GetString("S", "k", ""), "v");
    EXPECT_EQ(crlf.GetInt("S", "n", 0), 12);
    EXPECT_EQ(crlf.GetString("T", "x", ""), "q");
    IniFile mixed = IniFile::Parse("[S]\r\nk=v\nm=w\r\n");
    EXPECT_EQ(mixed.GetString("S", "k", ""), "v");
    EXPECT_EQ(mixed.GetString("S", "m", ""), "w");
    // A lone CR does not end a line.
    IniFile loneCr = IniFile::Parse("[S]\rk=v\n");
    EXPECT_EQ(loneCr.GetString("S", "k", "missing"), "missing");
    // The last line needs no line ending.
    EXPECT_EQ(IniFile::Parse("[S]\nk=v").GetString("S", "k", ""), "v");
}

TEST(IniFileRead, CommentsGarbageAndPreambleNeverMatch) {
    IniFile ini = IniFile::Parse(
        "k=before any section\n"
        "[S]\n"
        ";k=commented\n"
        "  ;k=commented too\n"
        "k\n"
        "=nameless\n"
        "[k=bracket garbage\n"
        "garbage line without equals\n"
        "k=real\n");
    EXPECT_EQ(ini.GetString("S", "k", ""), "real");
    EXPECT_EQ(ini.GetString("S", ";k", "missing"), "missing");
    EXPECT_EQ(ini.GetString("S", "", "missing"), "missing");
}

TEST(IniFileRead, SectionHeaders) {
    IniFile ini = IniFile::Parse(
        "  [ Spaced ]  trailing words\n"
        "a=1\n"
        "[Open\n"  // no ']': garbage inside section Spaced
        "b=2\n"
        "[x]y]\n"  // the name runs to the last ']'
        "c=3\n"
        "[]\n"
        "d=4\n");
    EXPECT_EQ(ini.GetInt("Spaced", "a", 0), 1);
    EXPECT_EQ(ini.GetInt("Spaced", "b", 0), 2);
    EXPECT_EQ(ini.GetInt("Open", "b", 0), 0);
    EXPECT_EQ(ini.GetInt("x]y", "c", 0), 3);
    EXPECT_EQ(ini.GetInt("", "d", 0), 0);
}

TEST(IniFileRead, NulEndsAValue) {
    IniFile ini = IniFile::Parse(std::string("[S]\nk=ab\0cd\nn=1\0002\n", 18));
    EXPECT_EQ(ini.GetString("S", "k", ""), "ab");
    EXPECT_EQ(ini.GetInt("S", "n", 0), 1);
}

struct IntCase {
    const char* value;
    int expected;
};

void PrintTo(const IntCase& c, std::ostream* os) {
    *os << Escaped(c.value);
}

class IniFileInt : public ::testing::TestWithParam<IntCase> {};

TEST_P(IniFileInt, ReadsLikeGetPrivateProfileInt) {
    IniFile ini = IniFile::Parse(std::string("[S]\nn=") + GetParam().value + "\n");
    EXPECT_EQ(ini.GetInt("S", "n", -999), GetParam().expected) << '"' << GetParam().value << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IniFileInt,
    ::testing::Values(IntCase{"0", 0}, IntCase{"12", 12}, IntCase{"  7", 7}, IntCase{"-7", -7},
                      IntCase{"+8", 8}, IntCase{"007", 7}, IntCase{"12abc", 12}, IntCase{"1 2", 1},
                      IntCase{"3.9", 3}, IntCase{"abc", 0}, IntCase{"-", 0}, IntCase{"+", 0},
                      IntCase{"--1", 0}, IntCase{"+-1", 0}, IntCase{"- 1", 0}, IntCase{"0x10", 0},
                      IntCase{"\"42\"", 42}, IntCase{"\" -5\"", -5},
                      // An empty value gives the default, as a missing key does.
                      IntCase{"", -999}, IntCase{"   ", -999}, IntCase{"\"\"", -999},
                      IntCase{"2147483647", INT_MAX}, IntCase{"2147483648", INT_MAX},
                      IntCase{"-2147483648", INT_MIN}, IntCase{"-2147483649", INT_MIN},
                      IntCase{"99999999999999999999999999999999", INT_MAX},
                      IntCase{"-99999999999999999999999999999999", INT_MIN},
                      IntCase{"\xD9\xA3", 0}),  // an Arabic-Indic digit is not a digit
    [](const auto& p) { return CaseName(p.index, p.param.value); });

TEST(IniFileRead, HugeNumbersSaturate) {
    std::string digits = Repeat("9", 100000);
    EXPECT_EQ(IniFile::ParseInt(digits), INT_MAX);
    EXPECT_EQ(IniFile::ParseInt("-" + digits), INT_MIN);
    EXPECT_EQ(IniFile::ParseInt(Repeat("0", 5000) + "5"), 5);
    EXPECT_EQ(IniFile::ParseInt(""), 0);
}

// ---- writing --------------------------------------------------------------------------------

TEST(IniFileWrite, ParseThenSerializeGivesTheSameBytes) {
    const std::string texts[] = {
        "",
        "\n",
        "no newline at the end",
        "; comment\r\n[A]\r\nk=v\r\n\r\n[B]\nx = \"y\" \n  junk\n",
        "\xEF\xBB\xBF",
        std::string("[S]\nk=\0\xFF\n\r\r\n", 12),
    };
    for (const std::string& t : texts) EXPECT_EQ(IniFile::Parse(t).Serialize(), t);
}

TEST(IniFileWrite, SettingAKeyReplacesItsValueInPlace) {
    IniFile ini = IniFile::Parse("; my settings\n[A]\nFirst = 1\nk = old\nlast=z\n\n[B]\nk=b\n");
    EXPECT_TRUE(ini.SetString("a", "K", "new"));
    EXPECT_EQ(ini.Serialize(), "; my settings\n[A]\nFirst = 1\nk =new\nlast=z\n\n[B]\nk=b\n");
    EXPECT_EQ(ini.GetString("A", "k", ""), "new");
    EXPECT_TRUE(ini.Modified());
}

TEST(IniFileWrite, OnlyTheFirstMatchIsReplaced) {
    IniFile ini = IniFile::Parse("[A]\nk=1\nk=2\n[a]\nk=3\n");
    ini.SetInt("A", "k", 9);
    EXPECT_EQ(ini.Serialize(), "[A]\nk=9\nk=2\n[a]\nk=3\n");
}

TEST(IniFileWrite, ANewKeyGoesAtTheEndOfItsSection) {
    IniFile ini = IniFile::Parse("[A]\na=1\n; note\n\n\n[B]\nb=2\n");
    ini.SetString("A", "New", "x");
    ini.SetString("B", "other", "y");
    EXPECT_EQ(ini.Serialize(), "[A]\na=1\n; note\nNew=x\n\n\n[B]\nb=2\nother=y\n");
    EXPECT_EQ(ini.GetString("A", "new", ""), "x");
    // A second new key follows the first.
    ini.SetString("A", "Newer", "z");
    EXPECT_EQ(ini.Serialize(), "[A]\na=1\n; note\nNew=x\nNewer=z\n\n\n[B]\nb=2\nother=y\n");
    EXPECT_EQ(ini.GetString("A", "newer", ""), "z");
    EXPECT_EQ(ini.GetString("B", "b", ""), "2");
}

TEST(IniFileWrite, ANewSectionGoesAtTheEndOfTheFile) {
    IniFile empty;
    empty.SetString("S", "k", "v");
    empty.SetInt("S", "n", -5);
    EXPECT_EQ(empty.Serialize(), "[S]\nk=v\nn=-5\n");

    IniFile unterminated = IniFile::Parse("[A]\na=1");
    unterminated.SetString("B", "b", "2");
    EXPECT_EQ(unterminated.Serialize(), "[A]\na=1\n[B]\nb=2\n");

    IniFile keyAtEnd = IniFile::Parse("[A]\na=1");
    keyAtEnd.SetString("A", "b", "2");
    EXPECT_EQ(keyAtEnd.Serialize(), "[A]\na=1\nb=2\n");

    IniFile onlyPreamble = IniFile::Parse("; just a comment");
    onlyPreamble.SetString("S", "k", "v");
    EXPECT_EQ(onlyPreamble.Serialize(), "; just a comment\n[S]\nk=v\n");
}

TEST(IniFileWrite, NewLinesFollowTheFilesLineEnding) {
    IniFile ini = IniFile::Parse("[A]\r\na=1\r\n");
    ini.SetString("A", "b", "2");
    ini.SetString("C", "c", "3");
    EXPECT_EQ(ini.Serialize(), "[A]\r\na=1\r\nb=2\r\n[C]\r\nc=3\r\n");
}

TEST(IniFileWrite, SettingTheSameValueChangesNothing) {
    IniFile ini = IniFile::Parse("[A]\nk=v\n");
    EXPECT_TRUE(ini.SetString("A", "k", "v"));
    EXPECT_FALSE(ini.Modified());
    EXPECT_TRUE(ini.SetString("A", "k", "w"));
    EXPECT_TRUE(ini.Modified());
}

TEST(IniFileWrite, NumbersAreWrittenAsDecimal) {
    IniFile ini;
    ini.SetInt("S", "a", 0);
    ini.SetInt("S", "b", INT_MAX);
    ini.SetInt("S", "c", INT_MIN);
    EXPECT_EQ(ini.Serialize(), "[S]\na=0\nb=2147483647\nc=-2147483648\n");
    EXPECT_EQ(ini.GetInt("S", "c", 0), INT_MIN);
}

TEST(IniFileWrite, AValueCannotAddLines) {
    IniFile ini;
    ini.SetString("S", "k", std::string("a\r\n[T]\nx=1\0z", 12));
    EXPECT_EQ(ini.Serialize(), "[S]\nk=a  [T] x=1 z\n");
    EXPECT_EQ(ini.GetInt("T", "x", -1), -1);
}

TEST(IniFileWrite, NamesThatCannotBeWrittenAreRefused) {
    IniFile ini = IniFile::Parse("[S]\nk=v\n");
    const std::string original = ini.Serialize();
    EXPECT_FALSE(ini.SetString("", "k", "v"));
    EXPECT_FALSE(ini.SetString("  ", "k", "v"));
    EXPECT_FALSE(ini.SetString("a]b", "k", "v"));
    EXPECT_FALSE(ini.SetString("a\nb", "k", "v"));
    EXPECT_FALSE(ini.SetString("S", "", "v"));
    EXPECT_FALSE(ini.SetString("S", "a=b", "v"));
    EXPECT_FALSE(ini.SetString("S", ";k", "v"));
    EXPECT_FALSE(ini.SetString("S", "[k", "v"));
    EXPECT_FALSE(ini.SetString("S", std::string("k\0", 2), "v"));
    EXPECT_FALSE(ini.Modified());
    EXPECT_EQ(ini.Serialize(), original);
}

TEST(IniFileWrite, DeletingASectionRemovesItWithItsLines) {
    IniFile ini = IniFile::Parse(
        "; top\n[A]\na=1\n[MRU_IP]\nIP_NUM=2\n; comment in it\n1=x\n\n[B]\nb=2\n[mru_ip]\n2=y\n");
    EXPECT_TRUE(ini.DeleteSection("Mru_Ip"));
    EXPECT_EQ(ini.Serialize(), "; top\n[A]\na=1\n[B]\nb=2\n");
    EXPECT_EQ(ini.GetString("MRU_IP", "IP_NUM", "gone"), "gone");
    EXPECT_EQ(ini.GetInt("B", "b", 0), 2);
    EXPECT_FALSE(ini.DeleteSection("MRU_IP"));
    // The document still takes writes after a deletion.
    ini.SetString("B", "c", "3");
    ini.SetString("MRU_IP", "IP_NUM", "1");
    EXPECT_EQ(ini.Serialize(), "; top\n[A]\na=1\n[B]\nb=2\nc=3\n[MRU_IP]\nIP_NUM=1\n");
}

TEST(IniFileWrite, DeletingAMissingSectionChangesNothing) {
    IniFile ini = IniFile::Parse("[A]\na=1\n");
    EXPECT_FALSE(ini.DeleteSection("B"));
    EXPECT_FALSE(ini.DeleteSection(""));
    EXPECT_FALSE(ini.Modified());
}

// ---- hostile input --------------------------------------------------------------------------

TEST(IniFileGarbage, RandomBytesParseAndRoundTrip) {
    std::mt19937 rng(12345);
    for (int round = 0; round < 200; ++round) {
        std::string data(static_cast<std::size_t>(rng() % 4096), '\0');
        const char alphabet[] = "[]=;\"\r\n \tabkK\xEF\xBB\xBF\xC3\xA9\x80\xFF";
        for (char& c : data) {
            c = (rng() % 2) ? static_cast<char>(rng() & 0xFF)
                            : alphabet[rng() % (sizeof alphabet - 1)];
        }
        IniFile ini = IniFile::Parse(data);
        ASSERT_EQ(ini.Serialize(), data);
        (void)ini.GetString("a", "k", "");
        (void)ini.GetInt("b", "K", 0);
        ini.SetString("a", "k", "v");
        ini.DeleteSection("b");
        IniFile again = IniFile::Parse(ini.Serialize());
        EXPECT_EQ(again.GetString("a", "k", ""), "v");
        EXPECT_EQ(again.Serialize(), ini.Serialize());
    }
}

TEST(IniFileGarbage, HugeLineAndMegabytesOfData) {
    std::string hugeValue(2 * 1024 * 1024, 'v');
    IniFile ini = IniFile::Parse("[S]\nk=" + hugeValue + "\n");
    EXPECT_EQ(ini.GetString("S", "k", "").size(), IniFile::kMaxValueChars);

    // Many sections and keys: lookups stay fast and find the first match.
    std::string many;
    for (int i = 0; i < 100000; ++i)
        many += "[S" + std::to_string(i % 1000) + "]\nk=" + std::to_string(i) + "\n";
    IniFile big = IniFile::Parse(many);
    for (int i = 0; i < 1000; ++i) {
        ASSERT_EQ(big.GetInt("s" + std::to_string(i), "K", -1), i);
    }
    big.SetString("S5", "k", "x");
    EXPECT_EQ(big.GetString("S5", "k", ""), "x");
}

// ---- files ----------------------------------------------------------------------------------

class IniFileFiles : public TempFolderTest {};

TEST_F(IniFileFiles, MissingFileIsAnEmptyDocument) {
    IniFile ini;
    EXPECT_EQ(ini.Load(Path("config.ini")), IniFile::LoadResult::kMissing);
    EXPECT_EQ(ini.Serialize(), "");
    EXPECT_EQ(ini.Load(Path("no/such/folder/config.ini")), IniFile::LoadResult::kMissing);
}

TEST_F(IniFileFiles, LoadReadsTheFile) {
    WriteFile(Path("config.ini"), "[S]\r\nk=v\r\n");
    IniFile ini;
    ini.SetString("Old", "x", "1");  // replaced by the load
    EXPECT_EQ(ini.Load(Path("config.ini")), IniFile::LoadResult::kLoaded);
    EXPECT_FALSE(ini.Modified());
    EXPECT_EQ(ini.GetString("S", "k", ""), "v");
    EXPECT_EQ(ini.GetString("Old", "x", "gone"), "gone");
}

TEST_F(IniFileFiles, AFolderOrAnOversizedFileIsUnreadable) {
    ASSERT_EQ(::mkdir(Path("config.ini").c_str(), 0700), 0);
    IniFile ini;
    EXPECT_EQ(ini.Load(Path("config.ini")), IniFile::LoadResult::kFailed);
    WriteFile(Path("big.ini"), std::string(IniFile::kMaxFileBytes + 1, 'x'));
    EXPECT_EQ(ini.Load(Path("big.ini")), IniFile::LoadResult::kFailed);
    EXPECT_EQ(ini.Serialize(), "");
}

TEST_F(IniFileFiles, SaveWritesAtomicallyAndLeavesNoTemporaryFile) {
    WriteFile(Path("config.ini"), "[S]\nk=old\n");
    struct stat before {};
    ASSERT_EQ(::stat(Path("config.ini").c_str(), &before), 0);
    IniFile ini;
    ini.Load(Path("config.ini"));
    ini.SetString("S", "k", "new");
    EXPECT_TRUE(ini.Save(Path("config.ini")));
    EXPECT_EQ(ReadFile(Path("config.ini")), "[S]\nk=new\n");
    EXPECT_EQ(Entries(dir_), std::vector<std::string>{"config.ini"});
    struct stat after {};
    ASSERT_EQ(::stat(Path("config.ini").c_str(), &after), 0);
    EXPECT_NE(before.st_ino, after.st_ino);  // a new file renamed over the old one
}

TEST_F(IniFileFiles, SaveCreatesTheFileAndKeepsPermissions) {
    IniFile ini;
    ini.SetInt("S", "n", 1);
    EXPECT_TRUE(ini.Save(Path("config.ini")));
    EXPECT_EQ(ReadFile(Path("config.ini")), "[S]\nn=1\n");
    ASSERT_EQ(::chmod(Path("config.ini").c_str(), 0640), 0);
    ini.SetInt("S", "n", 2);
    EXPECT_TRUE(ini.Save(Path("config.ini")));
    struct stat st {};
    ASSERT_EQ(::stat(Path("config.ini").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST_F(IniFileFiles, SaveThroughASymbolicLinkReplacesItsTarget) {
    ASSERT_EQ(::mkdir(Path("real").c_str(), 0700), 0);
    WriteFile(Path("real/config.ini"), "[S]\nk=1\n");
    ASSERT_EQ(::symlink(Path("real/config.ini").c_str(), Path("config.ini").c_str()), 0);
    IniFile ini;
    ini.Load(Path("config.ini"));
    ini.SetInt("S", "k", 2);
    EXPECT_TRUE(ini.Save(Path("config.ini")));
    struct stat st {};
    ASSERT_EQ(::lstat(Path("config.ini").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(ReadFile(Path("real/config.ini")), "[S]\nk=2\n");
    EXPECT_EQ(Entries(Path("real")), std::vector<std::string>{"config.ini"});
}

TEST_F(IniFileFiles, SaveIntoAMissingFolderFails) {
    IniFile ini;
    ini.SetInt("S", "n", 1);
    EXPECT_FALSE(ini.Save(Path("missing/config.ini")));
    EXPECT_FALSE(ini.Save(""));
}

TEST_F(IniFileFiles, SaveOverAFolderFailsAndLeavesItAlone) {
    ASSERT_EQ(::mkdir(Path("config.ini").c_str(), 0700), 0);
    IniFile ini;
    ini.SetInt("S", "n", 1);
    EXPECT_FALSE(ini.Save(Path("config.ini")));
    EXPECT_EQ(Entries(dir_), std::vector<std::string>{"config.ini"});
}

TEST_F(IniFileFiles, SaveIntoAReadOnlyFolderLeavesTheOldFile) {
    if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
    WriteFile(Path("config.ini"), "[S]\nk=old\n");
    ASSERT_EQ(::chmod(dir_.c_str(), 0500), 0);
    IniFile ini;
    ini.Load(Path("config.ini"));
    ini.SetString("S", "k", "new");
    EXPECT_FALSE(ini.Save(Path("config.ini")));
    ::chmod(dir_.c_str(), 0700);
    EXPECT_EQ(ReadFile(Path("config.ini")), "[S]\nk=old\n");
    EXPECT_EQ(Entries(dir_), std::vector<std::string>{"config.ini"});
}

// A full disk, simulated with a file size limit (works for root too).
TEST_F(IniFileFiles, AFailedWriteLeavesTheOldFileAndNoTemporaryFile) {
    const std::string old = "[S]\nk=old\n";
    WriteFile(Path("config.ini"), old);
    IniFile ini;
    ini.Load(Path("config.ini"));
    ini.SetString("S", "k", std::string(100000, 'n'));

    bool saved_ok = true;
    {
        const FileSizeLimit full(4096);
        saved_ok = ini.Save(Path("config.ini"));
    }

    EXPECT_FALSE(saved_ok);
    EXPECT_EQ(ReadFile(Path("config.ini")), old);
    EXPECT_EQ(Entries(dir_), std::vector<std::string>{"config.ini"});
}

TEST_F(IniFileFiles, GarbageFileLoadsAndSavesBackUnchanged) {
    std::string garbage;
    std::mt19937 rng(7);
    for (int i = 0; i < 900000; ++i) garbage.push_back(static_cast<char>(rng() & 0xFF));
    WriteFile(Path("config.ini"), garbage);
    IniFile ini;
    EXPECT_EQ(ini.Load(Path("config.ini")), IniFile::LoadResult::kLoaded);
    EXPECT_TRUE(ini.Save(Path("config.ini")));
    EXPECT_EQ(ReadFile(Path("config.ini")), garbage);
}

}  // namespace
}  // namespace vantelsor::test
