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

void ConvertRowScalar(const uint8_t* yRow, const uint8_t* uRow, const uint8_t* vRow,
                      uint8_t* outRow, int width) {
    ConvertPixelsScalar(yRow, uRow, vRow, outRow, 0, width);
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

void ConvertPicture(RowConverter convertRow, const uint8_t* y, const uint8_t* u, const uint8_t* v,
                    uint8_t* bitmap, int width, int height, int chromaRowShift) {
    if (width <= 0 || height <= 0) {
        return;
    }
    // Offsets in size_t: width * height * 4 can exceed the int range for large pictures.
    const auto w = static_cast<std::size_t>(width);
    const auto chromaStride = static_cast<std::size_t>(ChromaWidth(width));
    const auto outStride = w * 4;
    for (int r = 0; r < height; ++r) {
        const auto row = static_cast<std::size_t>(r);
        const auto chromaRow = static_cast<std::size_t>(r >> chromaRowShift);
        const auto outRow = static_cast<std::size_t>(height - 1 - r);
        convertRow(y + row * w, u + chromaRow * chromaStride, v + chromaRow * chromaStride,
                   bitmap + outRow * outStride, width);
    }
}

}  // namespace colour_rows

void ConvertYuv420Scalar(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* bitmap,
                         int width, int height) {
    colour_rows::ConvertPicture(colour_rows::ConvertRowScalar, y, u, v, bitmap, width, height, 1);
}

void ConvertYuv422Scalar(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* bitmap,
                         int width, int height) {
    colour_rows::ConvertPicture(colour_rows::ConvertRowScalar, y, u, v, bitmap, width, height, 0);
}

bool ColourVectorPathInUse() {
#if defined(VANTELSOR_COLOUR_SSE2)
    // SSE2 is architectural on x86-64, so this holds on every real processor; the choice
    // still rests on what the processor reports. Asked once per process (a function-local
    // static is initialised thread-safely), not on every picture.
    static const bool inUse = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("sse2") != 0;
    }();
    return inUse;
#else
    return false;
#endif
}

void ConvertYuv420(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* bitmap, int width,
                   int height) {
#if defined(VANTELSOR_COLOUR_SSE2)
    if (ColourVectorPathInUse()) {
        ConvertYuv420Sse2(y, u, v, bitmap, width, height);
        return;
    }
#endif
    ConvertYuv420Scalar(y, u, v, bitmap, width, height);
}

void ConvertYuv422(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* bitmap, int width,
                   int height) {
#if defined(VANTELSOR_COLOUR_SSE2)
    if (ColourVectorPathInUse()) {
        ConvertYuv422Sse2(y, u, v, bitmap, width, height);
        return;
    }
#endif
    ConvertYuv422Scalar(y, u, v, bitmap, width, height);
}

}  // namespace vantelsor
