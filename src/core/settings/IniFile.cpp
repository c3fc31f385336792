#include "settings/IniFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include "net/UniqueFd.h"
#include "settings/AtomicFile.h"

namespace vantelsor {
namespace {

// The whole file into *data, refusing one larger than `limit` bytes; false when it
// cannot be read.
bool ReadBounded(int fd, std::size_t limit, std::string* data) {
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0 ||
        static_cast<std::uint64_t>(st.st_size) > limit) {
        return false;
    }
    data->reserve(static_cast<std::size_t>(st.st_size));
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) return true;
        if (data->size() + static_cast<std::size_t>(n) > limit) return false;  // grew meanwhile
        data->append(buf, static_cast<std::size_t>(n));
    }
}

}  // namespace

IniFile::LoadResult IniFile::Load(const std::string& path) {
    *this = IniFile();
    // O_NONBLOCK: a FIFO put in the file's place must not hang the program; it is then
    // refused as not a regular file.
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!fd) {
        return (errno == ENOENT || errno == ENOTDIR) ? LoadResult::kMissing : LoadResult::kFailed;
    }
    std::string data;
    if (!ReadBounded(fd.get(), kMaxFileBytes, &data)) return LoadResult::kFailed;
    *this = Parse(data);
    return LoadResult::kLoaded;
}

bool IniFile::Save(const std::string& path) const {
    return AtomicFile::Write(path, Serialize()) == 0;
}

}  // namespace vantelsor
