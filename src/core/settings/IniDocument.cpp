#include "settings/IniDocument.h"

#include <climits>
#include <cstdint>
#include <cstdio>

namespace vantelsor {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

bool IsBlankChar(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view s) {
    std::size_t b = 0;
    std::size_t e = s.size();
    while (b < e && IsBlankChar(s[b])) ++b;
    while (e > b && IsBlankChar(s[e - 1])) --e;
    return s.substr(b, e - b);
}

bool IsBlankLine(std::string_view s) {
    return Trim(s).empty();
}

std::string Fold(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

bool HasLineBreakOrNul(std::string_view s) {
    return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// The section name of a header line ("[name]" after leading blanks, up to the last ']'),
// or nothing when the line is not a header.
std::optional<std::string_view> HeaderName(std::string_view line) {
    std::size_t b = 0;
    while (b < line.size() && IsBlankChar(line[b])) ++b;
    if (b >= line.size() || line[b] != '[') return std::nullopt;
    std::size_t close = line.rfind(']');
    if (close == std::string_view::npos || close <= b) return std::nullopt;
    return Trim(line.substr(b + 1, close - b - 1));
}

// The key name of a key line ("name = value"), or nothing for blank, comment, header and
// garbage lines.
std::optional<std::string_view> KeyName(std::string_view line) {
    std::string_view t = Trim(line);
    if (t.empty() || t.front() == ';' || t.front() == '[') return std::nullopt;
    std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    std::string_view name = Trim(line.substr(0, eq));
    if (name.empty()) return std::nullopt;
    return name;
}

}  // namespace

IniDocument::IniDocument() {
    Section preamble;
    preamble.isPreamble = true;
    sections_.push_back(std::move(preamble));
}

// ---- reading rules --------------------------------------------------------------------------

std::string_view IniDocument::CutUtf8(std::string_view s, std::size_t maxChars) {
    std::size_t i = 0;
    std::size_t chars = 0;
    while (i < s.size()) {
        if (chars == maxChars) return s.substr(0, i);
        auto lead = static_cast<unsigned char>(s[i]);
        std::size_t len = 1;
        if (lead >= 0xC0 && lead <= 0xDF) {
            len = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            len = 3;
        } else if (lead >= 0xF0 && lead <= 0xF7) {
            len = 4;
        }
        ++i;
        // Continuation bytes that follow belong to this character (at most len - 1 of them).
        for (std::size_t k = 1; k < len && i < s.size(); ++k) {
            auto c = static_cast<unsigned char>(s[i]);
            if ((c & 0xC0) != 0x80) break;
            ++i;
        }
        ++chars;
    }
    return s;
}

std::string IniDocument::CookValue(std::string_view raw) {
    std::size_t nul = raw.find('\0');
    if (nul != std::string_view::npos) raw = raw.substr(0, nul);
    std::string_view v = Trim(raw);
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
    return std::string(CutUtf8(v, kMaxValueChars));
}

int IniDocument::ParseInt(std::string_view value) {
    std::size_t i = 0;
    while (i < value.size() && IsBlankChar(value[i])) ++i;
    bool negative = false;
    if (i < value.size() && (value[i] == '+' || value[i] == '-')) {
        negative = value[i] == '-';
        ++i;
    }
    // Accumulate up to just beyond the int range, then saturate.
    constexpr std::int64_t kCap = static_cast<std::int64_t>(INT_MAX) + 1;
    std::int64_t magnitude = 0;
    for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i) {
        magnitude = magnitude * 10 + (value[i] - '0');
        if (magnitude > kCap) magnitude = kCap;
    }
    std::int64_t result = negative ? -magnitude : magnitude;
    if (result > INT_MAX) return INT_MAX;
    if (result < INT_MIN) return INT_MIN;
    return static_cast<int>(result);
}

// ---- parsing and serialising ----------------------------------------------------------------

void IniDocument::IndexSection(Section& section) {
    section.keys.clear();
    if (section.isPreamble) return;  // keys before the first section never match
    for (std::size_t i = 1; i < section.lines.size(); ++i) {
        if (auto name = KeyName(section.lines[i].text)) {
            section.keys.emplace(Fold(*name), i);  // keeps the first
        }
    }
}

void IniDocument::RebuildSectionIndex() {
    sectionIndex_.clear();
    for (std::size_t i = 1; i < sections_.size(); ++i) {
        sectionIndex_.emplace(sections_[i].foldedName, i);  // keeps the first
    }
}

IniDocument IniDocument::Parse(std::string_view text) {
    IniDocument doc;
    if (text.substr(0, kBom.size()) == kBom) {
        doc.bom_ = true;
        text.remove_prefix(kBom.size());
    }
    bool sawEol = false;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t lf = text.find('\n', pos);
        Line line;
        if (lf == std::string_view::npos) {
            line.text.assign(text.substr(pos));
            line.eol = Eol::kNone;
            pos = text.size();
        } else {
            std::size_t end = lf;
            line.eol = Eol::kLf;
            if (end > pos && text[end - 1] == '\r') {
                --end;
                line.eol = Eol::kCrLf;
            }
            line.text.assign(text.substr(pos, end - pos));
            pos = lf + 1;
            if (!sawEol) {
                doc.newLine_ = line.eol;
                sawEol = true;
            }
        }
        if (auto name = HeaderName(line.text)) {
            Section section;
            section.foldedName = Fold(*name);
            doc.sections_.push_back(std::move(section));
        }
        doc.sections_.back().lines.push_back(std::move(line));
    }
    for (Section& section : doc.sections_) IndexSection(section);
    doc.RebuildSectionIndex();
    return doc;
}

std::string IniDocument::Serialize() const {
    std::size_t total = bom_ ? kBom.size() : 0;
    for (const Section& section : sections_) {
        for (const Line& line : section.lines) total += line.text.size() + 2;
    }
    std::string out;
    out.reserve(total);
    if (bom_) out.append(kBom);
    for (const Section& section : sections_) {
        for (const Line& line : section.lines) {
            out.append(line.text);
            if (line.eol == Eol::kCrLf) {
                out.append("\r\n");
            } else if (line.eol == Eol::kLf) {
                out.push_back('\n');
            }
        }
    }
    return out;
}

// ---- lookups --------------------------------------------------------------------------------

const IniDocument::Section* IniDocument::FindSection(std::string_view section) const {
    std::string_view name = Trim(section);
    if (name.empty()) return nullptr;
    auto it = sectionIndex_.find(Fold(name));
    if (it == sectionIndex_.end()) return nullptr;
    return &sections_[it->second];
}

const IniDocument::Line* IniDocument::FindKeyLine(std::string_view section,
                                                  std::string_view key) const {
    const Section* s = FindSection(section);
    if (s == nullptr) return nullptr;
    std::string_view name = Trim(key);
    if (name.empty()) return nullptr;
    auto it = s->keys.find(Fold(name));
    if (it == s->keys.end()) return nullptr;
    return &s->lines[it->second];
}

std::optional<std::string> IniDocument::GetValue(std::string_view section,
                                                 std::string_view key) const {
    const Line* line = FindKeyLine(section, key);
    if (line == nullptr) return std::nullopt;
    std::string_view text = line->text;
    return CookValue(text.substr(text.find('=') + 1));
}

std::string IniDocument::GetString(std::string_view section, std::string_view key,
                                   std::string_view def) const {
    if (auto v = GetValue(section, key)) return std::move(*v);
    return std::string(def);
}

int IniDocument::GetInt(std::string_view section, std::string_view key, int def) const {
    std::optional<std::string> v = GetValue(section, key);
    if (!v || v->empty()) return def;
    return ParseInt(*v);
}

// ---- writing --------------------------------------------------------------------------------

void IniDocument::EnsureLastLineEnded() {
    for (auto it = sections_.rbegin(); it != sections_.rend(); ++it) {
        if (!it->lines.empty()) {
            if (it->lines.back().eol == Eol::kNone) it->lines.back().eol = newLine_;
            return;
        }
    }
}

bool IniDocument::SetString(std::string_view section, std::string_view key,
                            std::string_view value) {
    std::string_view sectionName = Trim(section);
    std::string_view keyName = Trim(key);
    if (sectionName.empty() || HasLineBreakOrNul(sectionName) ||
        sectionName.find(']') != std::string_view::npos) {
        return false;
    }
    if (keyName.empty() || HasLineBreakOrNul(keyName) ||
        keyName.find('=') != std::string_view::npos || keyName.front() == ';' ||
        keyName.front() == '[') {
        return false;
    }
    std::string cleanValue(value);
    for (char& c : cleanValue) {
        if (c == '\r' || c == '\n' || c == '\0') c = ' ';
    }

    std::string foldedSection = Fold(sectionName);
    std::string foldedKey = Fold(keyName);
    auto sit = sectionIndex_.find(foldedSection);
    if (sit == sectionIndex_.end()) {
        EnsureLastLineEnded();
        Section s;
        s.foldedName = foldedSection;
        std::string header = "[";
        header.append(sectionName).append("]");
        s.lines.push_back(Line{std::move(header), newLine_});
        std::string keyLine(keyName);
        keyLine.append("=").append(cleanValue);
        s.lines.push_back(Line{std::move(keyLine), newLine_});
        s.keys.emplace(std::move(foldedKey), 1);
        sections_.push_back(std::move(s));
        sectionIndex_.emplace(std::move(foldedSection), sections_.size() - 1);
        modified_ = true;
        return true;
    }

    Section& s = sections_[sit->second];
    auto kit = s.keys.find(foldedKey);
    if (kit != s.keys.end()) {
        // In place: keep everything up to and including the '=', replace the value.
        Line& line = s.lines[kit->second];
        std::string text = line.text.substr(0, line.text.find('=') + 1);
        text.append(cleanValue);
        if (text != line.text) {
            line.text = std::move(text);
            modified_ = true;
        }
        return true;
    }

    // A new key goes after the section's last non-blank line (the header at least); only
    // blank lines, which hold no keys, follow it, so the key index stays valid.
    std::size_t pos = s.lines.size();
    while (pos > 1 && IsBlankLine(s.lines[pos - 1].text)) --pos;
    if (s.lines[pos - 1].eol == Eol::kNone) s.lines[pos - 1].eol = newLine_;
    std::string keyLine(keyName);
    keyLine.append("=").append(cleanValue);
    s.lines.insert(s.lines.begin() + static_cast<std::ptrdiff_t>(pos),
                   Line{std::move(keyLine), newLine_});
    s.keys.emplace(std::move(foldedKey), pos);
    modified_ = true;
    return true;
}

bool IniDocument::SetInt(std::string_view section, std::string_view key, int value) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%d", value);
    return SetString(section, key, buf);
}

bool IniDocument::DeleteSection(std::string_view section) {
    std::string_view name = Trim(section);
    if (name.empty()) return false;
    std::string folded = Fold(name);
    if (sectionIndex_.find(folded) == sectionIndex_.end()) return false;
    std::vector<Section> kept;
    kept.reserve(sections_.size());
    for (std::size_t i = 0; i < sections_.size(); ++i) {
        if (i == 0 || sections_[i].foldedName != folded) kept.push_back(std::move(sections_[i]));
    }
    sections_ = std::move(kept);
    RebuildSectionIndex();
    modified_ = true;
    return true;
}

}  // namespace vantelsor
