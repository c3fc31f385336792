// The command line of vantelsor-sim, parsed in process, and the program itself:
// its ready line, its clean exit on SIGTERM and its exit status on errors.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

#include "net/AddressText.h"
#include "protocol/MessageTypes.h"
#include "sim/FaultPolicy.h"
#include "sim/SimCommandLine.h"
#include "support/RawConnection.h"
#include "support/SimFixture.h"
#include "support/TestAddress.h"

extern char** environ;

namespace vantelsor::test {
namespace {

using sim::CommandLineResult;

CommandLineResult Parse(std::vector<std::string> args, sim::SimConfig* config, std::string* error) {
    return sim::ParseCommandLine(args, config, error);
}

TEST(SimCommandLineTest, DefaultsListenOnLocalhostWithTheBuiltInAccounts) {
    sim::SimConfig config;
    config.listenAddress = 0;
    std::string error;
    ASSERT_EQ(Parse({}, &config, &error), CommandLineResult::kRun) << error;
    EXPECT_EQ(config.listenAddress, 0x7F000001u);
    EXPECT_EQ(config.controlPort, msg::kControlPort);
    EXPECT_EQ(config.accounts.size(), 2u);
    EXPECT_EQ(config.loginSlots, 4);
    EXPECT_FALSE(config.loginStatus);
    EXPECT_FALSE(config.fixedKey);
    EXPECT_EQ(config.faultSeed, sim::kDefaultFaultSeed);
}

TEST(SimCommandLineTest, EveryOptionReachesTheConfiguration) {
    sim::SimConfig config;
    std::string error;
    ASSERT_EQ(Parse({"--listen",
                     "127.0.0.7",
                     "--port",
                     "0x15B0",
                     "--version-status",
                     "0xfe",
                     "--login-status",
                     "253",
                     "--slots",
                     "2",
                     "--control-busy",
                     "--reboot-delay",
                     "500",
                     "--lock-leds",
                     "0x5",
                     "--key",
                     "0011223344556677",
                     "--silent",
                     "0xAD",
                     "--silent",
                     "161",
                     "--delay",
                     "0xA3:1500",
                     "--delay",
                     "0xA1:0x10",
                     "--close-after",
                     "4",
                     "--garbage",
                     "0xB1:9",
                     "--trace",
                     "-",
                     "--seed",
                     "0xFFFFFFFFFFFFFFFF"},
                    &config, &error),
              CommandLineResult::kRun)
        << error;
    EXPECT_EQ(config.listenAddress, 0x7F000007u);
    EXPECT_EQ(config.controlPort, 5552);
    EXPECT_EQ(config.versionStatus, 0xFE);
    EXPECT_EQ(config.loginStatus, 0xFD);
    EXPECT_EQ(config.loginSlots, 2);
    EXPECT_TRUE(config.controlBusy);
    EXPECT_EQ(config.rebootDelayMs, 500u);
    EXPECT_EQ(config.lockLeds, 5);
    EXPECT_EQ(config.fixedKey, (SessionKey{0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77}));
    EXPECT_EQ(config.faults.silent, (std::set<uint8_t>{0xA1, 0xAD}));
    EXPECT_EQ(config.faults.delayMs, (std::map<uint8_t, uint32_t>{{0xA1, 16}, {0xA3, 1500}}));
    EXPECT_EQ(config.faults.closeAfterMessages, 4);
    EXPECT_EQ(config.faults.garbage, (std::map<uint8_t, int>{{0xB1, 9}}));
    EXPECT_EQ(config.tracePath, "-");
    EXPECT_EQ(config.faultSeed, UINT64_MAX);
}

TEST(SimCommandLineTest, AdministrationOptionsReachTheConfiguration) {
    sim::SimConfig config;
    std::string error;
    ASSERT_EQ(Parse({"--state", "/tmp/device.state", "--account-write-fails", "--sleep-refused",
                     "--log-clear-fails", "--firmware-refuse-chunk", "3", "--firmware-wrong-ack",
                     "0x10", "--max-frame-rate", "20"},
                    &config, &error),
              CommandLineResult::kRun)
        << error;
    EXPECT_EQ(config.statePath, "/tmp/device.state");
    EXPECT_TRUE(config.accountWriteFails);
    EXPECT_TRUE(config.sleepRefused);
    EXPECT_TRUE(config.logClearFails);
    EXPECT_EQ(config.firmwareRefuseChunk, 3);
    EXPECT_EQ(config.firmwareWrongAckChunk, 16);
    EXPECT_EQ(config.maxFrameRate, 20);
    EXPECT_EQ(Parse({"--firmware-refuse-chunk", "65536"}, &config, &error),
              CommandLineResult::kError);
    EXPECT_NE(error.find("--firmware-refuse-chunk"), std::string::npos) << error;
}

TEST(SimCommandLineTest, HelpWinsOverEverythingElse) {
    sim::SimConfig config;
    std::string error;
    EXPECT_EQ(Parse({"--port", "1", "--help", "--bogus"}, &config, &error),
              CommandLineResult::kHelp);
    EXPECT_NE(std::string(sim::UsageText()).find("--garbage TYPE:N"), std::string::npos);
}

TEST(SimCommandLineTest, BadArgumentsAreNamedInTheError) {
    struct Case {
        std::vector<std::string> args;
        const char* error;
    } cases[] = {
        {{"--bogus"}, "unknown option '--bogus'"},
        {{"stray"}, "unexpected argument 'stray'"},
        {{"--port"}, "--port needs a value"},
        {{"--port", "70000"}, "--port: '70000' is not a number from 0 to 65535"},
        {{"--port", "-1"}, "--port: '-1' is not a number from 0 to 65535"},
        {{"--port", "12ab"}, "--port: '12ab' is not a number from 0 to 65535"},
        {{"--port", "0x"}, "--port: '0x' is not a number from 0 to 65535"},
        {{"--port", ""}, "--port: '' is not a number from 0 to 65535"},
        {{"--slots", "99999999999999999999999"},
         "--slots: '99999999999999999999999' is not a number from 0 to 1000"},
        {{"--listen", "1.2.3"}, "--listen: '1.2.3' is not an IPv4 address"},
        {{"--listen", "localhost"}, "--listen: 'localhost' is not an IPv4 address"},
        {{"--version-status", "256"}, "--version-status: '256' is not a number from 0 to 255"},
        {{"--lock-leds", "8"}, "--lock-leds: '8' is not a number from 0 to 7"},
        {{"--key", "0011"}, "--key: '0011' is not 16 hexadecimal digits"},
        {{"--key", "00112233445566zz"}, "--key: '00112233445566zz' is not 16 hexadecimal digits"},
        {{"--silent", "0x100"}, "--silent: '0x100' is not a number from 0 to 255"},
        {{"--delay", "0xA1"},
         "--delay: '0xA1' is not TYPE:N with TYPE from 0 to 0xFF and N from 0 to 3600000"},
        {{"--delay", "0x1A1:5"},
         "--delay: '0x1A1:5' is not TYPE:N with TYPE from 0 to 0xFF and N from 0 to 3600000"},
        {{"--garbage", "0xA1:x"},
         "--garbage: '0xA1:x' is not TYPE:N with TYPE from 0 to 0xFF and N from 0 to 65536"},
        {{"--trace"}, "--trace needs a value"},
        {{"--seed", "18446744073709551616"},
         "--seed: '18446744073709551616' is not a number from 0 to 18446744073709551615"},
        {{"--seed", "0x10000000000000000"},
         "--seed: '0x10000000000000000' is not a number from 0 to 18446744073709551615"},
        {{"--seed", "-1"}, "--seed: '-1' is not a number from 0 to 18446744073709551615"},
    };
    for (const Case& c : cases) {
        sim::SimConfig config;
        std::string error;
        EXPECT_EQ(Parse(c.args, &config, &error), CommandLineResult::kError) << c.error;
        EXPECT_EQ(error, c.error);
    }
}

// vantelsor-sim run as a child process with its output on pipes.
class Program {
  public:
    explicit Program(const std::vector<std::string>& args) {
        int out[2], err[2];
        if (::pipe(out) != 0 || ::pipe(err) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_adddup2(&actions, err[1], 2);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        posix_spawn_file_actions_addclose(&actions, err[0]);
        std::vector<char*> argv{const_cast<char*>(VANTELSOR_SIM_BINARY)};
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        if (posix_spawn(&pid_, VANTELSOR_SIM_BINARY, &actions, nullptr, argv.data(), environ) !=
            0) {
            pid_ = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        ::close(err[1]);
        out_ = out[0];
        err_ = err[0];
    }
    ~Program() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            Wait();
        }
        ::close(out_);
        ::close(err_);
    }

    // One line of standard output, or "" when none comes in time.
    std::string ReadLine() {
        std::string line;
        char c;
        while (Readable(out_) && ::read(out_, &c, 1) == 1) {
            if (c == '\n') return line;
            line += c;
        }
        return "";
    }
    // Everything the program writes to `fd` until it closes it.
    static std::string Drain(int fd) {
        std::string text;
        char buffer[512];
        ssize_t n;
        while (Readable(fd) && (n = ::read(fd, buffer, sizeof buffer)) > 0) text.append(buffer, n);
        return text;
    }
    std::string Out() { return Drain(out_); }
    std::string Err() { return Drain(err_); }

    void Signal(int signal) { ::kill(pid_, signal); }
    // The exit status, or -1 when the program did not exit normally.
    int Wait() {
        int status = 0;
        if (pid_ <= 0 || ::waitpid(pid_, &status, 0) != pid_) return -1;
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

  private:
    static bool Readable(int fd) {
        pollfd p{fd, POLLIN, 0};
        return ::poll(&p, 1, static_cast<int>(kWaitMs)) == 1;
    }

    pid_t pid_ = -1;
    int out_ = -1;
    int err_ = -1;
};

std::string TempFile(const std::string& name, const std::string& text) {
    const std::string path = ::testing::TempDir() + name + "_" + std::to_string(::getpid());
    std::ofstream(path) << text;
    return path;
}

TEST(SimProgramTest, AnnouncesItselfServesAndStopsOnSigterm) {
    const std::string accounts = TempFile("sim_program_accounts", "# ops only\nops secret 2\n");
    const std::string address = AddressText(TestAddress());
    Program program(
        {"--listen", address, "--port", "0", "--accounts", accounts, "--lock-leds", "3"});
    const std::string line = program.ReadLine();
    const std::string ready = "vantelsor-sim listening on " + address + ":";
    ASSERT_EQ(line.rfind(ready, 0), 0u) << line << program.Err();
    const int port = std::stoi(line.substr(ready.size()));

    {
        SimClient client;
        ASSERT_TRUE(client.Connect(TestAddress(), static_cast<uint16_t>(port)));
        EXPECT_EQ(client.Login("admin", "admin123"), login::kStatusBadUser);
        EXPECT_EQ(client.Login("ops", "secret"), sim::kOrdinaryUser | login::kControlRightBit);
        client.Send({msg::kLockState, 0});
        EXPECT_EQ(client.Next(), (Bytes{msg::kLockState, 0x33}));
    }
    program.Signal(SIGTERM);
    EXPECT_EQ(program.Wait(), 0);
    EXPECT_EQ(program.Out(), "") << "exactly one line on standard output";
    std::remove(accounts.c_str());
}

TEST(SimProgramTest, ErrorsEndWithStatusTwoAndAMessage) {
    const std::string accounts = TempFile("sim_program_bad", "admin admin123 1\nadmin x 2\n");
    struct Case {
        std::vector<std::string> args;
        std::string message;
    } cases[] = {
        {{"--accounts", accounts},
         "vantelsor-sim: --accounts: " + accounts +
             ":2: user \"admin\" already defined on line 1\n"},
        {{"--slots", "many"}, "vantelsor-sim: --slots: 'many' is not a number from 0 to 1000\n"},
    };
    for (const Case& c : cases) {
        Program program(c.args);
        EXPECT_EQ(program.Wait(), 2);
        EXPECT_EQ(program.Err(), c.message + "Try 'vantelsor-sim --help'.\n");
        EXPECT_EQ(program.Out(), "");
    }
    std::remove(accounts.c_str());
}

TEST(SimProgramTest, HelpPrintsUsage) {
    Program program({"--help"});
    EXPECT_EQ(program.Wait(), 0);
    EXPECT_EQ(program.Out(), sim::UsageText());
}

using SimProgramAddressTest = SimFixture;

TEST_F(SimProgramAddressTest, TakenAddressIsReported) {
    config.controlPort = 0;
    config.videoPort = 0;
    StartDevice();
    const std::string where =
        AddressText(config.listenAddress) + ":" + std::to_string(device->ControlPort());
    Program program({"--listen", AddressText(config.listenAddress), "--port",
                     std::to_string(device->ControlPort())});
    EXPECT_EQ(program.Wait(), 1);
    EXPECT_EQ(program.Err(),
              "vantelsor-sim: cannot listen on " + where + ": Address already in use\n");
}

// The seed given on the command line decides the program's faults, and it says which
// seed it runs with, so that a run can be replayed.
TEST(SimProgramTest, SeedDecidesTheInjectedFaultsAndIsAnnounced) {
    const std::string address = AddressText(TestAddress());
    for (const uint64_t seed : {uint64_t{5}, uint64_t{6}}) {
        Program program({"--listen", address, "--port", "0", "--video-port", "0", "--seed",
                         std::to_string(seed), "--garbage", "0xA1:12"});
        const std::string line = program.ReadLine();
        const std::string ready = "vantelsor-sim listening on " + address + ":";
        ASSERT_EQ(line.rfind(ready, 0), 0u) << line << program.Err();
        const std::string announced = ", fault seed " + std::to_string(seed);
        EXPECT_EQ(line.substr(line.size() - announced.size()), announced) << line;
        RawConnection raw;
        ASSERT_TRUE(raw.Connect(TestAddress(),
                                static_cast<uint16_t>(std::stoi(line.substr(ready.size())))));
        const auto check = login::BuildVersionCheck();
        raw.Send(Bytes(check.begin(), check.end()));
        EXPECT_EQ(raw.Read(12), sim::FaultPolicy(seed).Garbage(1, 1, 12)) << "seed " << seed;
        program.Signal(SIGTERM);
        EXPECT_EQ(program.Wait(), 0);
    }
}

}  // namespace
}  // namespace vantelsor::test
