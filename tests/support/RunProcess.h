// Runs a program to its end with `input` as its standard input (then end of file), and
// collects its exit code, stdout and stderr.
#pragma once

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace vantelsor::test {

struct ProcessResult {
    int exitCode = -1;  // -1 when it did not exit normally
    std::string out;
    std::string err;
};

inline ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                                const std::string& input = {}) {
    int inPipe[2], outPipe[2], errPipe[2];
    if (::pipe(inPipe) != 0 || ::pipe(outPipe) != 0 || ::pipe(errPipe) != 0) return {};
    // The input goes into the pipe before the program starts: a short answer fits the
    // pipe's buffer, and the read end is still open, so the write can neither block
    // nor raise SIGPIPE.
    if (static_cast<size_t>(::write(inPipe[1], input.data(), input.size())) != input.size()) {
        return {};
    }
    ::close(inPipe[1]);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(inPipe[0], 0);
        ::close(inPipe[0]);
        ::dup2(outPipe[1], 1);
        ::dup2(errPipe[1], 2);
        ::close(outPipe[0]);
        ::close(errPipe[0]);
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(inPipe[0]);
    ::close(outPipe[1]);
    ::close(errPipe[1]);
    ProcessResult r;
    pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
    int open = 2;
    while (open > 0) {
        if (::poll(fds, 2, -1) < 0) break;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || !fds[i].revents) continue;
            char buf[4096];
            const ssize_t n = ::read(fds[i].fd, buf, sizeof buf);
            if (n <= 0) {
                ::close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            } else {
                (i == 0 ? r.out : r.err).append(buf, n);
            }
        }
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (WIFEXITED(status)) r.exitCode = WEXITSTATUS(status);
    return r;
}

}  // namespace vantelsor::test
