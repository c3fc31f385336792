// vantelsor-sim: the simulated device as a program, for scripts, demonstrations
// and development. Runs until SIGINT or SIGTERM.
#include <pthread.h>
#include <signal.h>

#include <cstdio>
#include <string>
#include <vector>

#include "net/AddressText.h"
#include "sim/DeviceSim.h"
#include "sim/SimCommandLine.h"

using namespace vantelsor;
using namespace vantelsor::sim;

int main(int argc, char** argv) {
    SimConfig config;
    std::string error;
    switch (ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc), &config, &error)) {
        case CommandLineResult::kHelp:
            std::fputs(UsageText(), stdout);
            return 0;
        case CommandLineResult::kError:
            std::fprintf(stderr, "vantelsor-sim: %s\nTry 'vantelsor-sim --help'.\n", error.c_str());
            return 2;
        case CommandLineResult::kRun:
            break;
    }

    // The signals are taken by sigwait below; blocked before the device's thread
    // exists, so that thread inherits the mask and never receives them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    // A reader of the trace on standard output that goes away must not kill the device.
    signal(SIGPIPE, SIG_IGN);

    DeviceSim device(config);
    if (!device.Start()) {
        std::fprintf(stderr, "vantelsor-sim: %s\n", device.StartError().c_str());
        return 1;
    }
    // One line: scripts wait for "listening" and read the control port after the colon.
    // The fault seed is printed so that any run can be replayed with --seed.
    std::printf(
        "vantelsor-sim listening on %s:%u, video on port %u (%dx%d, %d pictures/s), fault seed "
        "%llu\n",
        AddressText(config.listenAddress).c_str(), unsigned{device.ControlPort()},
        unsigned{device.VideoPort()}, device.Video().width(), device.Video().height(),
        int{device.VideoSettings().frameRate}, static_cast<unsigned long long>(device.FaultSeed()));
    std::fflush(stdout);

    int signal = 0;
    while (sigwait(&stopSignals, &signal) != 0) {
    }
    device.Stop();
    return 0;
}
