// vantelsor-sim as a child process of a benchmark, so that only the client's CPU
// is counted in the benchmark's own process. Ready once it says it listens;
// stopped with SIGTERM when this object goes.
#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

class DeviceProcess {
  public:
    // `arguments` follow the program name, e.g. {"--listen", "127.0.0.78"}.
    explicit DeviceProcess(std::vector<std::string> arguments) {
        int out[2];
        if (pipe(out) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(out[1], 1);
            std::vector<char*> argv{const_cast<char*>("vantelsor-sim")};
            for (std::string& a : arguments) argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(VANTELSOR_SIM_PATH, argv.data());
            _exit(127);
        }
        close(out[1]);
        std::string line;
        char c;
        while (read(out[0], &c, 1) == 1 && c != '\n') line += c;
        close(out[0]);
        ready_ = line.find("listening") != std::string::npos;
    }
    ~DeviceProcess() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    DeviceProcess(const DeviceProcess&) = delete;
    DeviceProcess& operator=(const DeviceProcess&) = delete;
    bool ready() const { return ready_; }

  private:
    pid_t pid_ = -1;
    bool ready_ = false;
};
