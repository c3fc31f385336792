// config.ini as a file: an IniDocument (the private-profile text and its rules) that is
// read from and written back to the disk. Reading is bounded, so a hostile file cannot
// exhaust memory; writing is atomic (AtomicFile), so nothing saved is lost to a crash or
// a full disk. Not thread-safe: one owner at a time; SettingsStore serialises its use.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

#include "settings/IniDocument.h"

namespace vantelsor {

class IniFile : public IniDocument {
  public:
    // A larger file is treated as unreadable (LoadResult::kFailed). A real config.ini holds a
    // few kilobytes; the bound keeps a hostile file's memory in check (about 75 bytes of
    // memory per input byte in the worst case, one section per 4 bytes).
    static constexpr std::size_t kMaxFileBytes = 1024u * 1024u;

    enum class LoadResult {
        kLoaded,   // the file was read
        kMissing,  // no such file: an empty document
        kFailed,   // exists but could not be read (or is too large): an empty document
    };

    IniFile() = default;
    explicit IniFile(IniDocument document) : IniDocument(std::move(document)) {}

    // Parses arbitrary bytes; never fails.
    static IniFile Parse(std::string_view text) { return IniFile(IniDocument::Parse(text)); }

    // Replaces the document with the file's contents (an empty document when the file is
    // missing or unreadable).
    LoadResult Load(const std::string& path);
    // Writes the document atomically: a temporary file in the same folder, fsync, rename
    // over `path`. On any failure the old file stays untouched; returns false.
    bool Save(const std::string& path) const;
};

}  // namespace vantelsor
