// CPU used by an idle logged-in client (heartbeat only) over 10 seconds, beside
// the same measured for a receive loop that polls with a 100 microsecond select
// time-out, the way a busy-polling client waits.
//
// The device runs as its own process (vantelsor-sim) so that only the client's
// CPU is counted.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "DeviceProcess.h"
#include "session/LoginSequence.h"

namespace {

constexpr auto kIdle = std::chrono::seconds(10);
constexpr uint32_t kDeviceAddress = 0x7F00004E;  // 127.0.0.78

double ProcessCpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

void ReportCpu(benchmark::State& state, double cpu, double wall) {
    state.counters["cpu_seconds"] = cpu;
    state.counters["percent_of_a_core"] = 100.0 * cpu / wall;
}

void BM_IdleLoggedInClient(benchmark::State& state) {
    DeviceProcess device({"--listen", "127.0.0.78"});
    if (!device.ready()) {
        state.SkipWithError("vantelsor-sim did not start");
        return;
    }
    double cpu = 0, wall = 0;
    for (auto _ : state) {
        vantelsor::LoginSequence login(nullptr);
        vantelsor::Credentials c;
        c.deviceAddress = kDeviceAddress;
        c.user = "admin";
        c.password = "admin123";
        if (!login.Connect(kDeviceAddress) || login.Login(c) != vantelsor::LoginResult::kAccepted) {
            state.SkipWithError("login failed");
            return;
        }
        const double before = ProcessCpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(kIdle);
        cpu = ProcessCpuSeconds() - before;
        wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        login.Exit();
    }
    ReportCpu(state, cpu, wall);
}
BENCHMARK(BM_IdleLoggedInClient)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

// The peer: one receive thread that waits with select() and a 100 us time-out
// on an idle connected socket and tests its run flag after every poll.
void BM_SelectLoop100us(benchmark::State& state) {
    int pair[2];
    socketpair(AF_UNIX, SOCK_STREAM, 0, pair);
    double cpu = 0, wall = 0;
    for (auto _ : state) {
        std::atomic<bool> running{true};
        std::thread receiver([&] {
            char buffer[65536];
            while (running) {
                fd_set readable;
                FD_ZERO(&readable);
                FD_SET(pair[0], &readable);
                timeval timeout{0, 100};
                if (select(pair[0] + 1, &readable, nullptr, nullptr, &timeout) < 1) continue;
                if (recv(pair[0], buffer, sizeof buffer, 0) < 1) break;
            }
        });
        const double before = ProcessCpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(kIdle);
        cpu = ProcessCpuSeconds() - before;
        wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        running = false;
        receiver.join();
    }
    close(pair[0]);
    close(pair[1]);
    ReportCpu(state, cpu, wall);
}
BENCHMARK(BM_SelectLoop100us)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
