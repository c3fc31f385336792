// The AVX2 colour converter: the same 16-bit-lane formulas as the SSE2 converter, 32 pixels
// at a time, with identical results. This file alone is compiled with -mavx2 on x86-64 and
// runs only after the dispatcher has seen AVX2 on the processor; on other processors it is
// empty.
#include "video/ColourConversion.h"

#if defined(VANTELSOR_COLOUR_AVX2)

#include <immintrin.h>

#include "video/ColourConversionRows.h"
#include "video/ColourConversionSse2Kernels.h"

namespace vantelsor {

namespace {

using colour_vector::kCoefUBlue;
using colour_vector::kCoefUGreen;
using colour_vector::kCoefVGreen;
using colour_vector::kCoefVRed;
using colour_vector::kCoefY;

// AVX2 unpacks and packs work within each 128-bit half. Rather than fix the order of the
// output with cross-half shuffles, the inputs are put in an order that the unpack / pack /
// unpack sequence turns into consecutive pixels:
//   luma:   32-bit groups of 4 pixels reordered 0,2,4,6 | 1,3,5,7 (one permute per row);
//   chroma: pairs of samples reordered 0,2,4,6 | 1,3,5,7 before widening (one in-half
//           byte shuffle per plane, shared by both rows of a 4:2:0 chroma row).
// The arithmetic is per lane, so the order does not change any value.
inline __m256i LumaOrder() {
    return _mm256_setr_epi32(0, 2, 4, 6, 1, 3, 5, 7);
}

inline __m128i ChromaOrder() {
    return _mm_setr_epi8(0, 1, 4, 5, 8, 9, 12, 13, 2, 3, 6, 7, 10, 11, 14, 15);
}

// Chroma terms of 16 samples, each doubled: `*Low` serve pixels 0-3, 8-11 | 4-7, 12-15 and
// `*High` pixels 16-19, 24-27 | 20-23, 28-31 of a 32-pixel block, matching the luma order.
struct ChromaTerms256 {
    __m256i blueLow, blueHigh;
    __m256i greenLow, greenHigh;
    __m256i redLow, redHigh;
};

inline __m256i LoadChroma(const uint8_t* p) {
    const __m128i samples = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    return _mm256_cvtepu8_epi16(_mm_shuffle_epi8(samples, ChromaOrder()));
}

inline ChromaTerms256 ComputeChroma(const uint8_t* uSamples, const uint8_t* vSamples) {
    const __m256i bias = _mm256_set1_epi16(128);
    const __m256i u8 = _mm256_slli_epi16(_mm256_sub_epi16(LoadChroma(uSamples), bias), 3);
    const __m256i v8 = _mm256_slli_epi16(_mm256_sub_epi16(LoadChroma(vSamples), bias), 3);
    const __m256i blue = _mm256_mulhi_epi16(u8, _mm256_set1_epi16(kCoefUBlue));
    const __m256i green = _mm256_adds_epi16(_mm256_mulhi_epi16(u8, _mm256_set1_epi16(kCoefUGreen)),
                                            _mm256_mulhi_epi16(v8, _mm256_set1_epi16(kCoefVGreen)));
    const __m256i red = _mm256_mulhi_epi16(v8, _mm256_set1_epi16(kCoefVRed));
    return ChromaTerms256{_mm256_unpacklo_epi16(blue, blue),   _mm256_unpackhi_epi16(blue, blue),
                          _mm256_unpacklo_epi16(green, green), _mm256_unpackhi_epi16(green, green),
                          _mm256_unpacklo_epi16(red, red),     _mm256_unpackhi_epi16(red, red)};
}

inline __m256i LumaTerm(__m256i luma) {
    return _mm256_mulhi_epi16(_mm256_slli_epi16(luma, 3), _mm256_set1_epi16(kCoefY));
}

inline void Convert32(const uint8_t* yRow, const ChromaTerms256& c, uint8_t* out) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i samples = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(yRow));
    const __m256i luma =
        _mm256_subs_epu8(_mm256_permutevar8x32_epi32(samples, LumaOrder()), _mm256_set1_epi8(16));
    const __m256i yLow = LumaTerm(_mm256_unpacklo_epi8(luma, zero));
    const __m256i yHigh = LumaTerm(_mm256_unpackhi_epi8(luma, zero));
    // Bytes of each channel, per half: pixels 0-3, 8-11, 16-19, 24-27 | 4-7, 12-15, 20-23,
    // 28-31.
    const __m256i blue = _mm256_packus_epi16(_mm256_adds_epi16(yLow, c.blueLow),
                                             _mm256_adds_epi16(yHigh, c.blueHigh));
    const __m256i green = _mm256_packus_epi16(_mm256_adds_epi16(yLow, c.greenLow),
                                              _mm256_adds_epi16(yHigh, c.greenHigh));
    const __m256i red =
        _mm256_packus_epi16(_mm256_adds_epi16(yLow, c.redLow), _mm256_adds_epi16(yHigh, c.redHigh));
    const __m256i opaque = _mm256_set1_epi8(static_cast<char>(0xFF));
    const __m256i blueGreenLow = _mm256_unpacklo_epi8(blue, green);  // 0-3, 8-11 | 4-7, 12-15
    const __m256i redOpaqueLow = _mm256_unpacklo_epi8(red, opaque);
    const __m256i blueGreenHigh = _mm256_unpackhi_epi8(blue, green);  // 16-19, 24-27 | ...
    const __m256i redOpaqueHigh = _mm256_unpackhi_epi8(red, opaque);
    auto* dst = reinterpret_cast<__m256i*>(out);
    _mm256_storeu_si256(dst, _mm256_unpacklo_epi16(blueGreenLow, redOpaqueLow));        // 0-7
    _mm256_storeu_si256(dst + 1, _mm256_unpackhi_epi16(blueGreenLow, redOpaqueLow));    // 8-15
    _mm256_storeu_si256(dst + 2, _mm256_unpacklo_epi16(blueGreenHigh, redOpaqueHigh));  // 16-23
    _mm256_storeu_si256(dst + 3, _mm256_unpackhi_epi16(blueGreenHigh, redOpaqueHigh));  // 24-31
}

// Blocks of 32 pixels, then the 128-bit kernels for the rest of the vector part (8 to 24
// pixels) and the scalar formulas for the last width % 8.
template <bool kTwoRows>
void ConvertRows(const uint8_t* yRow0, const uint8_t* yRow1, const uint8_t* uRow,
                 const uint8_t* vRow, uint8_t* outRow0, uint8_t* outRow1, int width) {
    const int vectorEnd = width & ~7;
    int x = 0;
    for (; x + 32 <= vectorEnd; x += 32) {
        const ChromaTerms256 c = ComputeChroma(uRow + x / 2, vRow + x / 2);
        Convert32(yRow0 + x, c, colour_vector::PixelAt(outRow0, x));
        if constexpr (kTwoRows) {
            Convert32(yRow1 + x, c, colour_vector::PixelAt(outRow1, x));
        }
    }
    colour_vector::ConvertRowsFrom<kTwoRows>(x, yRow0, yRow1, uRow, vRow, outRow0, outRow1, width);
}

void ConvertRowsAvx2(const uint8_t* yRow0, const uint8_t* yRow1, const uint8_t* uRow,
                     const uint8_t* vRow, uint8_t* outRow0, uint8_t* outRow1, int width) {
    if (yRow1 != nullptr) {
        ConvertRows<true>(yRow0, yRow1, uRow, vRow, outRow0, outRow1, width);
    } else {
        ConvertRows<false>(yRow0, nullptr, uRow, vRow, outRow0, nullptr, width);
    }
}

}  // namespace

void ConvertYuv420Avx2(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* bitmap,
                       int width, int height) {
    colour_rows::ConvertPicture(ConvertRowsAvx2, y, u, v, bitmap, width, height, 1);
}

void ConvertYuv422Avx2(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* bitmap,
                       int width, int height) {
    colour_rows::ConvertPicture(ConvertRowsAvx2, y, u, v, bitmap, width, height, 0);
}

}  // namespace vantelsor

#endif  // VANTELSOR_COLOUR_AVX2
