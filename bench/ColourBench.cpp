// One 1280 x 1024 4:2:0 picture converted to the 32-bit bitmap, the largest picture the
// console shows, by each conversion path. Items are pixels.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

#include "video/ColourConversion.h"

extern "C" {
#include <libswscale/swscale.h>
}
#include <libyuv/convert_argb.h>

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 1024;

using ConvertFn = void (*)(const uint8_t*, const uint8_t*, const uint8_t*, uint8_t*, int, int);

void RunConversion(benchmark::State& state, ConvertFn convert) {
    // Noise rather than a flat picture, so no value pattern flatters either path.
    const std::size_t lumaSize = static_cast<std::size_t>(kWidth) * kHeight;
    std::vector<uint8_t> yuv(lumaSize * 3 / 2);
    std::mt19937 rng(1280);
    for (uint8_t& b : yuv) {
        b = static_cast<uint8_t>(rng());
    }
    std::vector<uint8_t> bitmap(lumaSize * 4);
    const uint8_t* y = yuv.data();
    const uint8_t* u = y + lumaSize;
    const uint8_t* v = u + lumaSize / 4;
    for (auto _ : state) {
        convert(y, u, v, bitmap.data(), kWidth, kHeight);
        benchmark::DoNotOptimize(bitmap.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(lumaSize));
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(lumaSize * 4));
}

void BM_Yuv420Scalar(benchmark::State& state) {
    RunConversion(state, vantelsor::ConvertYuv420Scalar);
}
BENCHMARK(BM_Yuv420Scalar)->Unit(benchmark::kMicrosecond);

#if defined(VANTELSOR_COLOUR_SSE2)
void BM_Yuv420Sse2(benchmark::State& state) {
    RunConversion(state, vantelsor::ConvertYuv420Sse2);
}
BENCHMARK(BM_Yuv420Sse2)->Unit(benchmark::kMicrosecond);
#endif

// The entry point the presenter calls: path choice included.
void BM_Yuv420(benchmark::State& state) {
    RunConversion(state, vantelsor::ConvertYuv420);
}
BENCHMARK(BM_Yuv420)->Unit(benchmark::kMicrosecond);

// The peers, asked for the same output: 4 bytes per pixel in blue, green, red,
// alpha order, rows bottom-up (a negative height flips in libyuv).
void LibyuvI420ToArgb(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* out, int w,
                      int h) {
    libyuv::I420ToARGB(y, w, u, w / 2, v, w / 2, out, w * 4, w, -h);
}
void BM_Yuv420Libyuv(benchmark::State& state) {
    RunConversion(state, LibyuvI420ToArgb);
}
BENCHMARK(BM_Yuv420Libyuv)->Unit(benchmark::kMicrosecond);

void SwscaleToBgra(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* out, int w,
                   int h) {
    static SwsContext* context = sws_getContext(w, h, AV_PIX_FMT_YUV420P, w, h, AV_PIX_FMT_BGRA,
                                                SWS_POINT, nullptr, nullptr, nullptr);
    const uint8_t* planes[3] = {y, u, v};
    const int strides[3] = {w, w / 2, w / 2};
    uint8_t* last = out + static_cast<std::size_t>(w) * 4 * (h - 1);  // bottom-up
    uint8_t* dst[1] = {last};
    const int dstStride[1] = {-w * 4};
    sws_scale(context, planes, strides, 0, h, dst, dstStride);
}
void BM_Yuv420Swscale(benchmark::State& state) {
    RunConversion(state, SwscaleToBgra);
}
BENCHMARK(BM_Yuv420Swscale)->Unit(benchmark::kMicrosecond);

}  // namespace
