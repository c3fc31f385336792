// The 16-bit-lane colour formulas on 128-bit registers: 16 and 8 pixels at a time, and the
// row walk that uses them. The SSE2 converter is built from these alone; the AVX2 converter
// uses them for the last 8 to 24 vector pixels of a row that do not fill a 32-pixel block.
//
// Everything here has internal linkage on purpose: each including file is compiled for its
// own instruction set (-msse2, -mavx2), and functions with external linkage would be merged
// by the linker, so that an AVX2-encoded copy could end up running on a processor without it.
#pragma once

#include <emmintrin.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "video/ColourConversionRows.h"

namespace vantelsor::colour_vector {
namespace {

// Coefficients with 13 fractional bits. Inputs are scaled by 8 before the multiply, which
// keeps the high half of the 32-bit product: ((x * 8) * c) >> 16 = (x * c) >> 13, rounded
// down, in one instruction per term; x * 8 stays within 16 bits for every input byte.
constexpr short kCoefY = 9539;        // 1.164429
constexpr short kCoefUBlue = 16525;   // 2.017212
constexpr short kCoefUGreen = -3209;  // -0.391724
constexpr short kCoefVGreen = -6660;  // -0.812988
constexpr short kCoefVRed = 13075;    // 1.596069

// Chroma terms of 8 samples, each doubled for the two pixels of its pair: `*Low` serve
// pixels 0-7, `*High` pixels 8-15 of a 16-pixel block. Computed once per sample rather than
// once per pixel, and, in 4:2:0, once for both rows of the chroma row.
struct ChromaTerms128 {
    __m128i blueLow, blueHigh;
    __m128i greenLow, greenHigh;
    __m128i redLow, redHigh;
};

// `u` and `v` hold chroma samples zero-extended to 16-bit lanes.
inline ChromaTerms128 ComputeChroma(__m128i u, __m128i v) {
    const __m128i bias = _mm_set1_epi16(128);
    const __m128i u8 = _mm_slli_epi16(_mm_sub_epi16(u, bias), 3);
    const __m128i v8 = _mm_slli_epi16(_mm_sub_epi16(v, bias), 3);
    const __m128i blue = _mm_mulhi_epi16(u8, _mm_set1_epi16(kCoefUBlue));
    const __m128i green = _mm_adds_epi16(_mm_mulhi_epi16(u8, _mm_set1_epi16(kCoefUGreen)),
                                         _mm_mulhi_epi16(v8, _mm_set1_epi16(kCoefVGreen)));
    const __m128i red = _mm_mulhi_epi16(v8, _mm_set1_epi16(kCoefVRed));
    return ChromaTerms128{_mm_unpacklo_epi16(blue, blue),   _mm_unpackhi_epi16(blue, blue),
                          _mm_unpacklo_epi16(green, green), _mm_unpackhi_epi16(green, green),
                          _mm_unpacklo_epi16(red, red),     _mm_unpackhi_epi16(red, red)};
}

inline __m128i Load4(const uint8_t* p) {
    int32_t word;
    std::memcpy(&word, p, sizeof word);
    return _mm_cvtsi32_si128(word);
}

inline __m128i Load8(const uint8_t* p) {
    return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
}

inline __m128i Load16(const uint8_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

inline __m128i Widen(__m128i bytes) {
    return _mm_unpacklo_epi8(bytes, _mm_setzero_si128());
}

// Y term of 8 pixels from Y - 16 (saturated at 0) in 16-bit lanes.
inline __m128i LumaTerm(__m128i luma) {
    return _mm_mulhi_epi16(_mm_slli_epi16(luma, 3), _mm_set1_epi16(kCoefY));
}

// Interleaves 16 blue, green and red bytes with 0xFF and stores the first `count` pixels
// (8 or 16).
template <int kCount>
inline void StorePixels(uint8_t* out, __m128i blue, __m128i green, __m128i red) {
    const __m128i opaque = _mm_set1_epi8(static_cast<char>(0xFF));
    const __m128i blueGreen = _mm_unpacklo_epi8(blue, green);
    const __m128i redOpaque = _mm_unpacklo_epi8(red, opaque);
    auto* dst = reinterpret_cast<__m128i*>(out);
    _mm_storeu_si128(dst, _mm_unpacklo_epi16(blueGreen, redOpaque));
    _mm_storeu_si128(dst + 1, _mm_unpackhi_epi16(blueGreen, redOpaque));
    if constexpr (kCount == 16) {
        const __m128i blueGreenHigh = _mm_unpackhi_epi8(blue, green);
        const __m128i redOpaqueHigh = _mm_unpackhi_epi8(red, opaque);
        _mm_storeu_si128(dst + 2, _mm_unpacklo_epi16(blueGreenHigh, redOpaqueHigh));
        _mm_storeu_si128(dst + 3, _mm_unpackhi_epi16(blueGreenHigh, redOpaqueHigh));
    }
}

inline void Convert16(const uint8_t* yRow, const ChromaTerms128& c, uint8_t* out) {
    const __m128i luma = _mm_subs_epu8(Load16(yRow), _mm_set1_epi8(16));
    const __m128i yLow = LumaTerm(Widen(luma));
    const __m128i yHigh = LumaTerm(_mm_unpackhi_epi8(luma, _mm_setzero_si128()));
    StorePixels<16>(
        out, _mm_packus_epi16(_mm_adds_epi16(yLow, c.blueLow), _mm_adds_epi16(yHigh, c.blueHigh)),
        _mm_packus_epi16(_mm_adds_epi16(yLow, c.greenLow), _mm_adds_epi16(yHigh, c.greenHigh)),
        _mm_packus_epi16(_mm_adds_epi16(yLow, c.redLow), _mm_adds_epi16(yHigh, c.redHigh)));
}

// Uses the `*Low` terms only.
inline void Convert8(const uint8_t* yRow, const ChromaTerms128& c, uint8_t* out) {
    const __m128i yLow = LumaTerm(Widen(_mm_subs_epu8(Load8(yRow), _mm_set1_epi8(16))));
    const __m128i blue = _mm_adds_epi16(yLow, c.blueLow);
    const __m128i green = _mm_adds_epi16(yLow, c.greenLow);
    const __m128i red = _mm_adds_epi16(yLow, c.redLow);
    StorePixels<8>(out, _mm_packus_epi16(blue, blue), _mm_packus_epi16(green, green),
                   _mm_packus_epi16(red, red));
}

inline uint8_t* PixelAt(uint8_t* row, int x) {
    return row + 4 * static_cast<std::ptrdiff_t>(x);
}

// Pixels [x, width) of one or two rows (`kTwoRows`) that share a chroma row, `x` a multiple
// of 8: blocks of 16 while they last, then one block of 8, then the last width % 8 pixels
// with the scalar formulas (their own pair's chroma sample, fourth byte 0xFF). The vector
// part reads chroma samples x / 2 .. vectorEnd / 2 - 1 only, all inside the chroma row.
template <bool kTwoRows>
void ConvertRowsFrom(int x, const uint8_t* yRow0, const uint8_t* yRow1, const uint8_t* uRow,
                     const uint8_t* vRow, uint8_t* outRow0, uint8_t* outRow1, int width) {
    const int vectorEnd = width & ~7;
    for (; x + 16 <= vectorEnd; x += 16) {
        const ChromaTerms128 c =
            ComputeChroma(Widen(Load8(uRow + x / 2)), Widen(Load8(vRow + x / 2)));
        Convert16(yRow0 + x, c, PixelAt(outRow0, x));
        if constexpr (kTwoRows) {
            Convert16(yRow1 + x, c, PixelAt(outRow1, x));
        }
    }
    if (x < vectorEnd) {
        const ChromaTerms128 c =
            ComputeChroma(Widen(Load4(uRow + x / 2)), Widen(Load4(vRow + x / 2)));
        Convert8(yRow0 + x, c, PixelAt(outRow0, x));
        if constexpr (kTwoRows) {
            Convert8(yRow1 + x, c, PixelAt(outRow1, x));
        }
        x += 8;
    }
    if (x < width) {
        colour_rows::ConvertTailScalarOpaque(yRow0, kTwoRows ? yRow1 : nullptr, uRow, vRow, outRow0,
                                             kTwoRows ? outRow1 : nullptr, x, width);
    }
}

}  // namespace
}  // namespace vantelsor::colour_vector
