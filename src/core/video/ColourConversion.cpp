#include "video/ColourConversion.h"

#include <array>
#include <cstddef>

#include "video/ColourConversionRows.h"

namespace vantelsor {

namespace colour_rows {

namespace {

// 16.16 fixed-point coefficients of the BT.601 studio-range conversion.
constexpr int32_t kCoefY = 76309;       // 1.164383
constexpr int32_t kCoefUBlue = 132201;  // 2.017227
constexpr int32_t kCoefUGreen = 25674;  // 0.391754, subtracted
constexpr int32_t kCoefVGreen = 53278;  // 0.812958, subtracted
constexpr int32_t kCoefVRed = 104597;   // 1.596024

// Clamp table for indices -512..767, stored from offset 512. The extreme sums of the
// formulas above stay within -278..535, so every index lands inside the table. Built at
// compile time: no start-up cost and nothing to race on between threads.
constexpr int kClampLow = -512;
constexpr int kClampSize = 1280;
constexpr std::array<uint8_t, kClampSize> kClampTable = [] {
    std::array<uint8_t, kClampSize> table{};
    for (int i = 0; i < kClampSize; ++i) {
        const int value = i + kClampLow;
        table[static_cast<std::size_t>(i)] =
            static_cast<uint8_t>(value < 0 ? 0 : (value > 255 ? 255 : value));
    }
    return table;
}();

inline uint8_t Clamp(int32_t fixed) {
    // Arithmetic right shift (floor) of the 16.16 value.
    return kClampTable[static_cast<std::size_t>((fixed >> 16) - kClampLow)];
}

inline void StorePixel(uint8_t* pixel, int32_t yTerm, int32_t blue, int32_t green, int32_t red) {
    pixel[0] = Clamp(yTerm + blue);
    pixel[1] = Clamp(yTerm + green);
    pixel[2] = Clamp(yTerm + red);
}

void ConvertRowsScalar(const uint8_t* yRow0, const uint8_t* yRow1, const uint8_t* uRow,
                       const uint8_t* vRow, uint8_t* outRow0, uint8_t* outRow1, int width) {
    ConvertPixelsScalar(yRow0, uRow, vRow, outRow0, 0, width);
    if (yRow1 != nullptr) {
        ConvertPixelsScalar(yRow1, uRow, vRow, outRow1, 0, width);
    }
}

void SetFourthBytes(uint8_t* outRow, int from, int to) {
    for (int x = from; x < to; ++x) {
        outRow[4 * static_cast<std::ptrdiff_t>(x) + 3] = 0xFF;
    }
}

}  // namespace

void ConvertPixelsScalar(const uint8_t* yRow, const uint8_t* uRow, const uint8_t* vRow,
                         uint8_t* outRow, int from, int to) {
    for (int x = from; x < to; ++x) {
        // Chroma terms are computed once per pixel pair; a pair cut by `from` or by an odd
        // row end is handled one pixel at a time with the same sample.
        const int k = x / 2;
        const int32_t u = static_cast<int32_t>(uRow[k]) - 128;
        const int32_t v = static_cast<int32_t>(vRow[k]) - 128;
        const int32_t blue = kCoefUBlue * u;
        const int32_t green = -kCoefVGreen * v - kCoefUGreen * u;
        const int32_t red = kCoefVRed * v;
        StorePixel(outRow + 4 * static_cast<std::ptrdiff_t>(x),
                   kCoefY * (static_cast<int32_t>(yRow[x]) - 16), blue, green, red);
        if ((x & 1) == 0 && x + 1 < to) {
            ++x;
            StorePixel(outRow + 4 * static_cast<std::ptrdiff_t>(x),
                       kCoefY * (static_cast<int32_t>(yRow[x]) - 16), blue, green, red);
        }
    }
}

void ConvertTailScalarOpaque(const uint8_t* yRow0, const uint8_t* yRow1, const uint8_t* uRow,
                             const uint8_t* vRow, uint8_t* outRow0, uint8_t* outRow1, int from,
                             int to) {
    ConvertPixelsScalar(yRow0, uRow, vRow, outRow0, from, to);
    SetFourthBytes(outRow0, from, to);
    if (yRow1 != nullptr) {
        ConvertPixelsScalar(yRow1, uRow, vRow, outRow1, from, to);
        SetFourthBytes(outRow1, from, to);
    }
}

void ConvertPicture(RowPairConverter convertRows, const uint8_t* y, const uint8_t* u,
                    const uint8_t* v, uint8_t* bitmap, int width, int height, int chromaRowShift) {
    if (width <= 0 || height <= 0) {
        return;
    }
    // Offsets in size_t: width * height * 4 can exceed the int range for large pictures.
    const auto w = static_cast<std::size_t>(width);
    const auto chromaStride = static_cast<std::size_t>(ChromaWidth(width));
    const auto outStride = w * 4;
    const int rowsPerChromaRow = 1 << chromaRowShift;
    for (int r = 0; r < height; r += rowsPerChromaRow) {
        const auto row = static_cast<std::size_t>(r);
        const auto chromaRow = static_cast<std::size_t>(r >> chromaRowShift);
        uint8_t* outRow0 = bitmap + static_cast<std::size_t>(height - 1 - r) * outStride;
        // The second row of a 4:2:0 chroma row, unless an odd height leaves the last chroma
        // row with one picture row. It lies one bitmap row below the first (bottom-up).
        const bool twoRows = rowsPerChromaRow == 2 && r + 1 < height;
        convertRows(y + row * w, twoRows ? y + (row + 1) * w : nullptr,
                    u + chromaRow * chromaStride, v + chromaRow * chromaStride, outRow0,
                    twoRows ? outRow0 - outStride : nullptr, width);
    }
}

}  // namespace colour_rows

void ConvertYuv420Scalar(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* bitmap,
                         int width, int height) {
    colour_rows::ConvertPicture(colour_rows::ConvertRowsScalar, y, u, v, bitmap, width, height, 1);
}

void ConvertYuv422Scalar(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* bitmap,
                         int width, int height) {
    colour_rows::ConvertPicture(colour_rows::ConvertRowsScalar, y, u, v, bitmap, width, height, 0);
}

namespace {

using ConvertFn = void (*)(const uint8_t*, const uint8_t*, const uint8_t*, uint8_t*, int, int);

struct ChosenPath {
    ColourPath path;
    ConvertFn yuv420;
    ConvertFn yuv422;
};

ChosenPath ChoosePath() {
#if defined(VANTELSOR_COLOUR_SSE2)
    // SSE2 is architectural on x86-64, so it holds on every real processor; the choice still
    // rests on what the processor reports. AVX2 is reported only when the operating system
    // also saves the 256-bit registers.
    __builtin_cpu_init();
#if defined(VANTELSOR_COLOUR_AVX2)
    if (__builtin_cpu_supports("avx2") != 0) {
        return ChosenPath{ColourPath::kAvx2, ConvertYuv420Avx2, ConvertYuv422Avx2};
    }
#endif
    if (__builtin_cpu_supports("sse2") != 0) {
        return ChosenPath{ColourPath::kSse2, ConvertYuv420Sse2, ConvertYuv422Sse2};
    }
#endif
    return ChosenPath{ColourPath::kScalar, ConvertYuv420Scalar, ConvertYuv422Scalar};
}

// Asked once per process (a function-local static is initialised thread-safely), not on
// every picture.
const ChosenPath& Chosen() {
    static const ChosenPath chosen = ChoosePath();
    return chosen;
}

}  // namespace

ColourPath ColourPathInUse() {
    return Chosen().path;
}

bool ColourVectorPathInUse() {
    return ColourPathInUse() != ColourPath::kScalar;
}

void ConvertYuv420(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* bitmap, int width,
                   int height) {
    Chosen().yuv420(y, u, v, bitmap, width, height);
}

void ConvertYuv422(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* bitmap, int width,
                   int height) {
    Chosen().yuv422(y, u, v, bitmap, width, height);
}

}  // namespace vantelsor
