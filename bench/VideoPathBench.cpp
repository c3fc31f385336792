// The console's video path on a recorded stream: 300 pictures of the simulated
// target's desktop (clock ticking, text being typed, pointer moving) at 1280 x 1024,
// encoded as the simulated device encodes them and cut into its datagrams.
//
//   WholePath   datagrams -> reassembly, deciphering, decoding, conversion into the
//               bitmap, through ConsoleVideo (the blitter draws nothing)
//   FfmpegCli   the same stream decoded to BGRA by `ffmpeg -threads 1`, timed by its
//               own measure of the decoding loop (-benchmark: rtime, and utime + stime
//               for the CPU), process start-up not included
// Both report cpu_per_frame: the CPU time a picture costs, the fair figure on a
// machine that other work shares.
//   AddFragment one datagram into the assembler
#include <benchmark/benchmark.h>
#include <time.h>

#include <cstdio>
#include <string>
#include <vector>

#include "protocol/VideoDatagram.h"
#include "sim/TargetScreen.h"
#include "sim/VideoEncoder.h"
#include "video/ConsoleVideo.h"

namespace vantelsor {
namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 1024;
constexpr int kFrames = 300;
const SessionKey kKey = {0x21, 0x43, 0x65, 0x87, 0xA9, 0xCB, 0xED, 0x0F};
const char* const kStreamFile = "/tmp/vantelsor-bench-stream.h264";

struct Recording {
    std::vector<std::vector<uint8_t>> datagrams;
    size_t bytes = 0;
    bool ok = false;
};

const Recording& Stream() {
    static const Recording recording = [] {
        Recording r;
        sim::TargetScreen screen(kWidth, kHeight);
        sim::VideoEncoder encoder(kWidth, kHeight, {}, 50);
        if (!encoder.ok()) return r;
        FILE* file = std::fopen(kStreamFile, "wb");
        if (file == nullptr) return r;
        const std::string text = "The quick brown fox jumps over the lazy dog. 0123456789\n";
        std::vector<uint8_t> frame;
        for (int n = 0; n < kFrames; ++n) {
            char clock[16];
            std::snprintf(clock, sizeof clock, "10:%02d:%02d", n / 25 / 60, n / 25 % 60);
            std::string typed;
            for (int i = 0; i < n; ++i) typed += text[i % text.size()];
            screen.Render({clock, typed, 200 + 3 * n, 150 + 2 * n});
            encoder.Encode(screen.yuv().data(), n == 0, frame);
            std::fwrite(frame.data(), 1, frame.size(), file);
            r.bytes += frame.size();
            videodatagram::CutFrame(
                kKey, static_cast<uint32_t>(n), frame.data(), static_cast<int>(frame.size()),
                [&](uint8_t* d, int length) { r.datagrams.emplace_back(d, d + length); });
        }
        std::fclose(file);
        r.ok = true;
        return r;
    }();
    return recording;
}

double ProcessCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

class NullBlitter : public FrameBlitter {
  public:
    bool Blit(const BitmapHeader&, const uint8_t*, const PixelRect&, const PixelRect&) override {
        return true;
    }
    void PictureAreaChanged() override {}
};

struct Session : SessionInfo {
    Session() : SessionInfo(0x7F000001, 0) { sessionKey = kKey; }
};

void WholePath(benchmark::State& state) {
    const Recording& stream = Stream();
    if (!stream.ok) return state.SkipWithError("libx264 is not available");
    Session info;
    NullBlitter blitter;
    uint32_t pictures = 0;
    double cpu = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto video = std::make_unique<ConsoleVideo>(info, &blitter);
        video->SetClientRect({0, 0, kWidth, kHeight});
        state.ResumeTiming();
        const double start = ProcessCpuSeconds();
        for (const auto& d : stream.datagrams) {
            video->OnVideoDatagram(d.data(), static_cast<int>(d.size()));
        }
        cpu += ProcessCpuSeconds() - start;
        pictures = video->counters().pictures;
        state.PauseTiming();
        video.reset();
        state.ResumeTiming();
    }
    state.counters["pictures"] = pictures;
    state.counters["per_frame"] = benchmark::Counter(
        kFrames, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["cpu_per_frame"] = cpu / (static_cast<double>(state.iterations()) * kFrames);
    state.counters["stream_kB"] = static_cast<double>(stream.bytes) / 1000;
}
BENCHMARK(WholePath)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

void FfmpegCli(benchmark::State& state) {
    if (!Stream().ok) return state.SkipWithError("libx264 is not available");
    // The -benchmark line is printed at the info level.
    const std::string command = std::string("ffmpeg -hide_banner -nostdin -loglevel info ") +
                                "-benchmark -threads 1 -i " + kStreamFile +
                                " -filter_threads 1 -f rawvideo -pix_fmt bgra -y /dev/null 2>&1";
    double cpu = 0;
    for (auto _ : state) {
        FILE* pipe = popen(command.c_str(), "r");
        if (pipe == nullptr) return state.SkipWithError("cannot run ffmpeg");
        double rtime = -1;
        char line[512];
        while (std::fgets(line, sizeof line, pipe) != nullptr) {
            double u, s, r;
            if (std::sscanf(line, "bench: utime=%lfs stime=%lfs rtime=%lfs", &u, &s, &r) == 3) {
                rtime = r;
                cpu += u + s;
            }
        }
        if (pclose(pipe) != 0 || rtime < 0) return state.SkipWithError("ffmpeg failed");
        state.SetIterationTime(rtime);
    }
    state.counters["per_frame"] = benchmark::Counter(
        kFrames, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["cpu_per_frame"] = cpu / (static_cast<double>(state.iterations()) * kFrames);
}
BENCHMARK(FfmpegCli)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

void AddFragment(benchmark::State& state) {
    const Recording& stream = Stream();
    if (!stream.ok) return state.SkipWithError("libx264 is not available");
    // Copies, because the assembler deciphers in place.
    std::vector<std::vector<uint8_t>> datagrams = stream.datagrams;
    FragmentAssembler assembler;
    size_t i = 0;
    for (auto _ : state) {
        auto& d = datagrams[i];
        const int result = assembler.AddFragment(d.data(), static_cast<int>(d.size()), kKey);
        if (result == FragmentAssembler::kCompleted) {
            while (assembler.TakeFrame(nullptr, nullptr)) {
            }
        }
        if (++i == datagrams.size()) i = 0;
    }
}
BENCHMARK(AddFragment);

}  // namespace
}  // namespace vantelsor

BENCHMARK_MAIN();
