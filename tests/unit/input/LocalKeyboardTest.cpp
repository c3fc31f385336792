// The X11 lock-key layer on a private Xvfb display (skipped where there is no Xvfb).
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

#include "platform/LocalKeyboard.h"

namespace vantelsor::test {
namespace {

constexpr const char* kXvfb = "/usr/bin/Xvfb";

// An Xvfb server of the test's own, on a display number taken from the pid.
class PrivateDisplay {
  public:
    PrivateDisplay() : number_(100 + ::getpid() % 20000) {
        name_ = ":" + std::to_string(number_);
        pid_ = ::fork();
        if (pid_ == 0) {
            ::execl(kXvfb, kXvfb, name_.c_str(), "-nolisten", "tcp", "-screen", "0", "640x480x24",
                    static_cast<char*>(nullptr));
            ::_exit(127);
        }
    }
    ~PrivateDisplay() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGTERM);
        ::waitpid(pid_, nullptr, 0);
    }
    // Waits for the server to take connections.
    std::unique_ptr<LocalKeyboard> Open() {
        const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number_);
        for (int i = 0; i < 100; ++i) {
            struct stat st;
            // The server listens once it is ready for clients.
            if (::stat(socket.c_str(), &st) == 0) return OpenLocalKeyboard(name_.c_str());
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return nullptr;
    }

  private:
    int number_;
    std::string name_;
    pid_t pid_ = -1;
};

TEST(LocalKeyboard, X11TogglesAndReadsTheLockIndicators) {
    if (::access(kXvfb, X_OK) != 0) GTEST_SKIP() << "no Xvfb here";
    PrivateDisplay display;
    auto keyboard = display.Open();
    ASSERT_TRUE(keyboard);
    EXPECT_EQ(keyboard->LockState(), 0);
    // A keyboard that answers a toggle is the X11 one, not the no-op.
    ASSERT_TRUE(keyboard->Toggle(LocalKeyboard::kCapsLock));
    EXPECT_EQ(keyboard->LockState(), LocalKeyboard::kCapsLock);
    ASSERT_TRUE(keyboard->Toggle(LocalKeyboard::kNumLock));
    EXPECT_EQ(keyboard->LockState(), LocalKeyboard::kCapsLock | LocalKeyboard::kNumLock);
    ASSERT_TRUE(keyboard->Toggle(LocalKeyboard::kCapsLock));
    EXPECT_EQ(keyboard->LockState(), LocalKeyboard::kNumLock);
}

TEST(LocalKeyboard, WithoutADisplayTheNoOpAnswers) {
    auto keyboard = OpenLocalKeyboard(":9999");  // no such server
    ASSERT_TRUE(keyboard);
    EXPECT_EQ(keyboard->LockState(), 0);
    EXPECT_FALSE(keyboard->Toggle(LocalKeyboard::kCapsLock));
    EXPECT_EQ(keyboard->LockState(), 0);
}

}  // namespace
}  // namespace vantelsor::test
