// An INI document held in memory, read and edited with the semantics of the Windows
// private-profile functions as SettingsStore relies on them. IniFile reads and writes
// it as a file.
//
// - Section and key names are compared ignoring ASCII letter case; the first matching
//   section and, inside it, the first matching key win. Lines before the first section
//   belong to no section and never match.
// - A section header is '[' (after leading blanks) up to the last ']' on the line; the name
//   between them is trimmed. A key line is "name = value"; name and value are trimmed of
//   blanks (space, tab, CR, VT, FF).
// - A value enclosed in matching double quotes loses them. A value is cut at a NUL byte (the
//   original API is a C-string API) and to kMaxValueChars characters (UTF-8 code points,
//   never inside a sequence; an invalid byte counts as one character).
// - Comments (';' as first non-blank), blank lines and garbage lines are kept byte for byte
//   on rewrite but never match. Lines end in LF or CR LF; a lone CR is part of its line.
//   A UTF-8 byte order mark at the start is skipped (and written back).
// - Parse() followed by Serialize() gives back the input bytes unchanged.
//
// Writing: SetString replaces the value of the first matching key in place; a new key is
// added after the last non-blank line of the first matching section; a new section goes at
// the end of the document. New lines use the line ending of the document's first line.
// Parsing and lookups are linear in the input; lookups use hash indexes, so hostile files of
// megabytes or millions of lines stay fast.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vantelsor {

class IniDocument {
  public:
    // GetPrivateProfileString's buffer holds 260 characters with the terminator.
    static constexpr std::size_t kMaxValueChars = 259;

    IniDocument();

    // Parses arbitrary bytes; never fails.
    static IniDocument Parse(std::string_view text);
    // The document as bytes, ready to be written.
    std::string Serialize() const;

    // The value with the reading rules above, or nothing when the section or key is missing.
    std::optional<std::string> GetValue(std::string_view section, std::string_view key) const;
    // GetPrivateProfileString: the value, or `def` when the key is missing.
    std::string GetString(std::string_view section, std::string_view key,
                          std::string_view def) const;
    // GetPrivateProfileInt: `def` when the key is missing or its value empty; otherwise
    // leading blanks, an optional sign and decimal digits up to the first non-digit (none: 0),
    // saturated to the int range.
    int GetInt(std::string_view section, std::string_view key, int def) const;

    // WritePrivateProfileString. CR, LF and NUL in the value are replaced by spaces so a value
    // can never add lines. Returns false (and changes nothing) for a section or key name that
    // cannot be written: empty after trimming, or holding CR, LF, NUL, a ']' (section) or a
    // '=' (key), or beginning with ';' or '[' (key).
    bool SetString(std::string_view section, std::string_view key, std::string_view value);
    // Writes the value as "%d".
    bool SetInt(std::string_view section, std::string_view key, int value);
    // Deletes every section of that name with all its lines; true when one existed.
    bool DeleteSection(std::string_view section);

    // True when a Set/Delete call changed the document since it was parsed or loaded.
    bool Modified() const { return modified_; }

    // Parses a value the way GetPrivateProfileInt does (see GetInt), for a non-empty value.
    static int ParseInt(std::string_view value);
    // Trimmed, unquoted, cut at NUL and to kMaxValueChars code points.
    static std::string CookValue(std::string_view raw);
    // The first `maxChars` UTF-8 code points of `s`.
    static std::string_view CutUtf8(std::string_view s, std::size_t maxChars);

  private:
    enum class Eol : unsigned char { kNone, kLf, kCrLf };  // kNone: last line, no newline
    struct Line {
        std::string text;  // without the line ending
        Eol eol = Eol::kLf;
    };
    struct Section {
        std::string foldedName;  // empty for the preamble before the first header
        bool isPreamble = false;
        std::vector<Line> lines;  // lines[0] is the header, except in the preamble
        std::unordered_map<std::string, std::size_t> keys;  // folded key -> first line index
    };

    static void IndexSection(Section& section);
    void RebuildSectionIndex();
    const Section* FindSection(std::string_view section) const;
    const Line* FindKeyLine(std::string_view section, std::string_view key) const;
    void EnsureLastLineEnded();

    bool bom_ = false;
    Eol newLine_ = Eol::kLf;         // the ending of new lines: that of the document's first line
    std::vector<Section> sections_;  // sections_[0] is always the preamble
    std::unordered_map<std::string, std::size_t> sectionIndex_;  // folded name -> first section
    bool modified_ = false;
};

}  // namespace vantelsor
