// A fresh folder under the system's temporary folder, removed with everything
// in it (also folders a test made read-only).
#pragma once

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace vantelsor::test {

class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "vantelsor-XXXXXX").string();
        if (::mkdtemp(pattern.data())) path_ = pattern;
    }
    ~ScratchFolder() {
        if (path_.empty()) return;
        std::error_code ec;
        for (auto it = std::filesystem::recursive_directory_iterator(path_, ec);
             !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
            if (it->is_directory(ec)) ::chmod(it->path().c_str(), 0700);
        }
        ::chmod(path_.c_str(), 0700);
        std::filesystem::remove_all(path_, ec);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

}  // namespace vantelsor::test
