#include "settings/SettingsPath.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace vantelsor {

namespace {

std::string Join(const std::string& folder, std::string_view name) {
    std::string out = folder;
    if (out.empty() || out.back() != '/') out.push_back('/');
    out.append(name);
    return out;
}

bool IsDirectory(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool Exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

// mkdir -p with mode 0700 for the folders it creates (the mode the XDG base directory rules ask
// for).
bool MakeFolders(const std::string& path) {
    if (path.empty()) return false;
    for (std::size_t pos = 1; pos <= path.size(); ++pos) {
        if (pos != path.size() && path[pos] != '/') continue;
        std::string prefix = path.substr(0, pos);
        if (::mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
    return IsDirectory(path);
}

}  // namespace

std::string ExecutableFolder() {
    std::vector<char> buf(4096);
    for (;;) {
        ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size());
        if (n < 0) return {};
        if (static_cast<std::size_t>(n) < buf.size()) {
            std::string exe(buf.data(), static_cast<std::size_t>(n));
            std::size_t slash = exe.rfind('/');
            if (slash == std::string::npos) return {};
            return slash == 0 ? std::string("/") : exe.substr(0, slash);
        }
        if (buf.size() >= (1u << 20)) return {};
        buf.resize(buf.size() * 2);
    }
}

std::string ChooseSettingsPath(const std::string& exeFolder, const char* xdgConfigHome,
                               const char* home) {
    if (!exeFolder.empty()) {
        std::string beside = Join(exeFolder, kSettingsFileName);
        if (Exists(beside) ||
            (IsDirectory(exeFolder) && ::access(exeFolder.c_str(), W_OK | X_OK) == 0)) {
            return beside;
        }
    }
    std::string configHome;
    if (xdgConfigHome != nullptr && xdgConfigHome[0] == '/') {
        configHome = xdgConfigHome;
    } else if (home != nullptr && home[0] != '\0') {
        configHome = Join(home, ".config");
    }
    if (configHome.empty()) return kSettingsFileName;
    std::string folder = Join(configHome, kSettingsFolderName);
    MakeFolders(folder);  // on failure the path is still returned: reads give the defaults
    return Join(folder, kSettingsFileName);
}

std::string DefaultSettingsPath() {
    return ChooseSettingsPath(ExecutableFolder(), std::getenv("XDG_CONFIG_HOME"),
                              std::getenv("HOME"));
}

}  // namespace vantelsor
