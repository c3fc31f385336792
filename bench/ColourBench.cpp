// 4:2:0 pictures converted to the 32-bit bottom-up bitmap by each conversion path and by the
// peers, side by side: 1280 x 1024 (the largest picture the console shows) and 1920 x 1080.
// Items are pixels. Every converter runs on one thread.
#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

#include "video/ColourConversion.h"

extern "C" {
#include <libswscale/swscale.h>
}
#include <libyuv/convert_argb.h>

namespace {

using ConvertFn = void (*)(const uint8_t*, const uint8_t*, const uint8_t*, uint8_t*, int, int);

void RunConversion(benchmark::State& state, ConvertFn convert) {
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    // Noise rather than a flat picture, so no value pattern flatters either path.
    const std::size_t lumaSize = static_cast<std::size_t>(width) * height;
    const std::size_t chromaSize = lumaSize / 4;
    std::vector<uint8_t> yuv(lumaSize + 2 * chromaSize);
    std::mt19937 rng(static_cast<unsigned>(width));
    for (uint8_t& b : yuv) {
        b = static_cast<uint8_t>(rng());
    }
    std::vector<uint8_t> bitmap(lumaSize * 4);
    const uint8_t* y = yuv.data();
    const uint8_t* u = y + lumaSize;
    const uint8_t* v = u + chromaSize;
    for (auto _ : state) {
        convert(y, u, v, bitmap.data(), width, height);
        benchmark::DoNotOptimize(bitmap.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(lumaSize));
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(lumaSize * 4));
}

void Sizes(benchmark::internal::Benchmark* b) {
    b->Args({1280, 1024})->Args({1920, 1080})->Unit(benchmark::kMicrosecond);
}

void BM_Yuv420Scalar(benchmark::State& state) {
    RunConversion(state, vantelsor::ConvertYuv420Scalar);
}
BENCHMARK(BM_Yuv420Scalar)->Apply(Sizes);

#if defined(VANTELSOR_COLOUR_SSE2)
void BM_Yuv420Sse2(benchmark::State& state) {
    RunConversion(state, vantelsor::ConvertYuv420Sse2);
}
BENCHMARK(BM_Yuv420Sse2)->Apply(Sizes);
#endif

#if defined(VANTELSOR_COLOUR_AVX2)
void BM_Yuv420Avx2(benchmark::State& state) {
    if (!__builtin_cpu_supports("avx2")) {
        state.SkipWithError("the processor has no AVX2");
        return;
    }
    RunConversion(state, vantelsor::ConvertYuv420Avx2);
}
BENCHMARK(BM_Yuv420Avx2)->Apply(Sizes);
#endif

// The entry point the presenter calls: path choice included.
void BM_Yuv420(benchmark::State& state) {
    RunConversion(state, vantelsor::ConvertYuv420);
}
BENCHMARK(BM_Yuv420)->Apply(Sizes);

// The peers, asked for the same output: 4 bytes per pixel in blue, green, red,
// alpha order, rows bottom-up (a negative height flips in libyuv).
void LibyuvI420ToArgb(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* out, int w,
                      int h) {
    libyuv::I420ToARGB(y, w, u, w / 2, v, w / 2, out, w * 4, w, -h);
}
void BM_Yuv420Libyuv(benchmark::State& state) {
    RunConversion(state, LibyuvI420ToArgb);
}
BENCHMARK(BM_Yuv420Libyuv)->Apply(Sizes);

// swscale keeps a context per size; sws_getCachedContext reuses it while the size stays the
// same, so only the first call of each benchmark pays for setting it up (before timing
// settles). One thread: the context's default.
void SwscaleToBgra(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* out, int w,
                   int h) {
    static SwsContext* context = nullptr;
    context = sws_getCachedContext(context, w, h, AV_PIX_FMT_YUV420P, w, h, AV_PIX_FMT_BGRA,
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
BENCHMARK(BM_Yuv420Swscale)->Apply(Sizes);

}  // namespace
