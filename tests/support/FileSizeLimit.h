// A full disk for one scope, simulated with a file size limit, so that a write
// fails for root too (a read-only folder does not stop root). SIGXFSZ is ignored
// meanwhile: the write fails with EFBIG instead of ending the test.
#pragma once

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

namespace vantelsor::test {

class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        EXPECT_EQ(::getrlimit(RLIMIT_FSIZE, &saved_), 0);
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        EXPECT_EQ(::sigaction(SIGXFSZ, &ignore, &savedAction_), 0);
        struct rlimit small = saved_;
        small.rlim_cur = bytes;
        EXPECT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        ::sigaction(SIGXFSZ, &savedAction_, nullptr);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    struct rlimit saved_ {};
    struct sigaction savedAction_ {};
};

}  // namespace vantelsor::test
