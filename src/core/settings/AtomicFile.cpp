#include "settings/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "net/UniqueFd.h"

namespace vantelsor {
namespace {

constexpr mode_t kDefaultUmask = 022;

// The process's umask, read without changing it (umask() would set it, racing with other
// threads that create files). Linux reports it in /proc/self/status.
mode_t CurrentUmask() {
    std::FILE* status = std::fopen("/proc/self/status", "re");
    if (status == nullptr) return kDefaultUmask;
    mode_t mask = kDefaultUmask;
    char line[256];
    while (std::fgets(line, sizeof line, status) != nullptr) {
        unsigned value = 0;
        if (std::sscanf(line, "Umask: %o", &value) == 1) {
            mask = static_cast<mode_t>(value & 0777);
            break;
        }
    }
    std::fclose(status);
    return mask;
}

int WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return EIO;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// Through a symbolic link, the file it points to is replaced, not the link.
std::string ResolvedTarget(const std::string& path) {
    char* real = ::realpath(path.c_str(), nullptr);
    if (real == nullptr) return path;
    std::string target = real;
    std::free(real);
    return target;
}

// Writes the temporary `fd` completely and durably; 0 or the errno of the failed step.
int FillTemporary(UniqueFd& fd, mode_t mode, std::initializer_list<std::string_view> pieces) {
    if (::fchmod(fd.get(), mode) != 0) return errno;
    for (std::string_view piece : pieces) {
        if (const int error = WriteAll(fd.get(), piece); error != 0) return error;
    }
    if (::fsync(fd.get()) != 0) return errno;
    // Some file systems report a failed write only when the file is closed.
    if (fd.Close() != 0) return errno;
    return 0;
}

// Makes the rename durable. A folder that cannot be opened for reading (a write-only
// one) cannot be flushed; the rename has happened all the same.
int FlushFolder(const std::string& folder) {
    UniqueFd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dir) return 0;
    // EINVAL: this file system does not flush folders.
    if (::fsync(dir.get()) != 0 && errno != EINVAL) return errno;
    return 0;
}

}  // namespace

int AtomicFile::Write(const std::string& path, std::string_view bytes) {
    return Write(path, {bytes});
}

int AtomicFile::Write(const std::string& path, std::initializer_list<std::string_view> pieces) {
    if (path.empty()) return EINVAL;
    const std::string target = ResolvedTarget(path);
    struct stat old {};
    const bool hadOld = ::stat(target.c_str(), &old) == 0;
    if (!hadOld && errno != ENOENT) return errno;
    if (hadOld && S_ISDIR(old.st_mode)) return EISDIR;
    if (hadOld && !S_ISREG(old.st_mode)) return EINVAL;
    const mode_t mode = hadOld ? (old.st_mode & 07777) : (0666 & ~CurrentUmask());

    const std::string pattern = target + ".tmp.XXXXXX";
    std::vector<char> temporary(pattern.begin(), pattern.end());
    temporary.push_back('\0');
    UniqueFd fd(::mkostemp(temporary.data(), O_CLOEXEC));
    if (!fd) return errno;

    int error = FillTemporary(fd, mode, pieces);
    if (error == 0 && ::rename(temporary.data(), target.c_str()) != 0) error = errno;
    if (error != 0) {
        fd.Reset();
        ::unlink(temporary.data());
        return error;
    }
    return FlushFolder(FolderOf(target));
}

}  // namespace vantelsor
