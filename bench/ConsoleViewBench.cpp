// The desktop client's console under a live stream: CPU used by the whole
// client process (every thread) while it shows a 1280 x 1024 stream at 25
// pictures per second, and the time from the arrival of a frame's last
// datagram to the end of the paint that puts the picture on screen.
//
// The device runs as its own process (vantelsor-sim), so only the client's CPU
// is counted. Needs a display (run it under Xvfb); one run, printed as text.
//   bench_console [SECONDS]
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "DeviceProcess.h"
#include "net/KNetHandler.h"
#include "net/NetSession.h"
#include "session/LoginSequence.h"
#include "ui/console/CMainFrame.h"
#include "ui/support/DeviceEventQueue.h"
#include "ui/support/Resources.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr uint32_t kDeviceAddress = 0x7F00004F;  // 127.0.0.79
constexpr const char* kDeviceText = "127.0.0.79";

double ProcessCpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Notes the arrival of every datagram, then hands it to the console's handler.
class ArrivalTap : public vantelsor::KNetHandler {
  public:
    explicit ArrivalTap(vantelsor::KNetHandler* inner) : inner_(inner) {}
    int OnMessage(const uint8_t* data, int length) override {
        last_ = Clock::now().time_since_epoch().count();
        return inner_->OnMessage(data, length);
    }
    Clock::time_point last() const { return Clock::time_point(Clock::duration(last_.load())); }
    vantelsor::KNetHandler* inner() const { return inner_; }

  private:
    vantelsor::KNetHandler* inner_;
    std::atomic<Clock::rep> last_{0};
};

double Percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<size_t>(p / 100.0 * v.size()))];
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::max(5, std::atoi(argv[1])) : 20;
    QApplication app(argc, argv);
    vantelsor::ui::EnsureResources();
    DeviceProcess device({"--listen", kDeviceText, "--size", "1280x1024"});
    if (!device.ready()) {
        std::fprintf(stderr, "bench_console: vantelsor-sim did not start\n");
        return 1;
    }
    vantelsor::LoginSequence login(nullptr);
    vantelsor::Credentials c;
    c.deviceAddress = kDeviceAddress;
    c.user = "admin";
    c.password = "admin123";
    if (!login.Connect(kDeviceAddress) || login.Login(c) != vantelsor::LoginResult::kAccepted) {
        std::fprintf(stderr, "bench_console: login failed\n");
        return 1;
    }
    vantelsor::ui::DeviceEventQueue events;
    vantelsor::ui::CMainFrame frame(login.session(), login.info(), &events);
    frame.resize(1320, 1120);
    frame.show();
    auto* view = frame.view();
    view->Start();
    // Between the session and the console's handler, before pictures flow.
    ArrivalTap tap(login.session().videoHandler());
    login.session().SetVideoHandler(&tap);
    view->blitter().SetArrivalClock([&tap] { return tap.last(); });

    std::vector<double> latencies;
    bool measuring = false;
    view->SetPaintObserver([&](const vantelsor::ui::ConsolePicture& picture) {
        if (!measuring) return;
        const double ms =
            std::chrono::duration<double, std::milli>(Clock::now() - picture.arrival).count();
        latencies.push_back(ms);
    });

    double cpuStart = 0;
    Clock::time_point wallStart;
    uint32_t blittedStart = 0;
    // Two seconds to settle (first key frame, window mapped), then the measurement.
    QTimer::singleShot(2000, [&] {
        measuring = true;
        cpuStart = ProcessCpuSeconds();
        wallStart = Clock::now();
        blittedStart = view->blitter().blitted();
    });
    QTimer::singleShot(2000 + seconds * 1000, [] { QCoreApplication::exit(0); });
    QApplication::exec();

    const double cpu = ProcessCpuSeconds() - cpuStart;
    const double wall = std::chrono::duration<double>(Clock::now() - wallStart).count();
    const uint32_t pictures = view->blitter().blitted() - blittedStart;
    login.session().SetVideoHandler(tap.inner());
    view->Stop();
    login.Exit();

    std::printf("console view, 1280x1024 stream at 25 pictures/s, %.1f s measured\n", wall);
    std::printf("  pictures decoded and handed over: %u (%.1f/s), painted: %zu\n", pictures,
                pictures / wall, latencies.size());
    std::printf("  client CPU, all threads: %.2f s = %.1f %% of one core\n", cpu,
                100.0 * cpu / wall);
    std::printf("  last datagram -> picture painted: p50 %.2f ms, p99 %.2f ms, max %.2f ms\n",
                Percentile(latencies, 50), Percentile(latencies, 99), Percentile(latencies, 100));
    return 0;
}
