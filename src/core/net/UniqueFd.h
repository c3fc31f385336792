// Owns one POSIX file descriptor and closes it when it goes, so no path out of
// a function (an early return, a failed step) can leak one. Not thread-safe:
// one owner at a time, like the descriptor itself.
#pragma once

#include <unistd.h>

#include <utility>

namespace vantelsor {

class UniqueFd {
  public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    ~UniqueFd() { Reset(); }
    UniqueFd(UniqueFd&& other) noexcept : fd_(other.Release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int get() const { return fd_; }
    bool valid() const { return fd_ != -1; }
    explicit operator bool() const { return valid(); }

    // Gives the descriptor up without closing it.
    int Release() { return std::exchange(fd_, -1); }
    // Closes the descriptor held (if any) and takes `fd`.
    void Reset(int fd = -1) {
        if (fd_ != -1) ::close(fd_);
        fd_ = fd;
    }
    // Closes now and reports close's own result: for writes whose last error
    // only close tells (a full disk on some file systems). 0 when none was held.
    int Close() {
        if (fd_ == -1) return 0;
        return ::close(std::exchange(fd_, -1));
    }

  private:
    int fd_ = -1;
};

}  // namespace vantelsor
