// The SSE2 colour converter. This file alone is compiled with -msse2 on x86-64; on other
// processors it is empty and only the scalar path exists.
#include "video/ColourConversion.h"

#if defined(VANTELSOR_COLOUR_SSE2)

#include <emmintrin.h>

#include <cstddef>
#include <cstring>

#include "video/ColourConversionRows.h"

namespace vantelsor {

namespace {

// Coefficients with 13 fractional bits. Inputs are scaled by 8 before _mm_mulhi_epi16 (the
// high half of the 32-bit product, i.e. ((x * 8) * c) >> 16 = (x * c) >> 13, rounded down)
// so one multiply per term suffices; x * 8 stays within 16 bits for every input byte.
constexpr short kCoefY = 9539;        // 1.164429
constexpr short kCoefUBlue = 16525;   // 2.017212
constexpr short kCoefUGreen = -3209;  // -0.391724
constexpr short kCoefVGreen = -6660;  // -0.812988
constexpr short kCoefVRed = 13075;    // 1.596069

// Blue, green and red of 8 pixels as signed 16-bit lanes.
struct Channels {
    __m128i blue;
    __m128i green;
    __m128i red;
};

// `luma` holds Y - 16 (already saturated at 0), `u` and `v` one chroma sample per pixel,
// all zero-extended to 16-bit lanes.
inline Channels Compute(__m128i luma, __m128i u, __m128i v) {
    const __m128i bias = _mm_set1_epi16(128);
    const __m128i yTerm = _mm_mulhi_epi16(_mm_slli_epi16(luma, 3), _mm_set1_epi16(kCoefY));
    const __m128i u8 = _mm_slli_epi16(_mm_sub_epi16(u, bias), 3);
    const __m128i v8 = _mm_slli_epi16(_mm_sub_epi16(v, bias), 3);
    const __m128i uBlue = _mm_mulhi_epi16(u8, _mm_set1_epi16(kCoefUBlue));
    const __m128i uGreen = _mm_mulhi_epi16(u8, _mm_set1_epi16(kCoefUGreen));
    const __m128i vGreen = _mm_mulhi_epi16(v8, _mm_set1_epi16(kCoefVGreen));
    const __m128i vRed = _mm_mulhi_epi16(v8, _mm_set1_epi16(kCoefVRed));
    return Channels{_mm_adds_epi16(yTerm, uBlue),
                    _mm_adds_epi16(yTerm, _mm_adds_epi16(uGreen, vGreen)),
                    _mm_adds_epi16(yTerm, vRed)};
}

// Packs 16 pixels (two groups of 8) to blue, green, red, 0xFF and stores 64 bytes, or only
// the first 32 bytes when `count` is 8 (then `high` is ignored).
inline void Store(uint8_t* out, const Channels& low, const Channels& high, int count) {
    const __m128i blue = _mm_packus_epi16(low.blue, high.blue);
    const __m128i green = _mm_packus_epi16(low.green, high.green);
    const __m128i red = _mm_packus_epi16(low.red, high.red);
    const __m128i opaque = _mm_set1_epi8(static_cast<char>(0xFF));
    const __m128i blueGreen = _mm_unpacklo_epi8(blue, green);
    const __m128i redOpaque = _mm_unpacklo_epi8(red, opaque);
    auto* dst = reinterpret_cast<__m128i*>(out);
    _mm_storeu_si128(dst, _mm_unpacklo_epi16(blueGreen, redOpaque));
    _mm_storeu_si128(dst + 1, _mm_unpackhi_epi16(blueGreen, redOpaque));
    if (count == 16) {
        const __m128i blueGreenHigh = _mm_unpackhi_epi8(blue, green);
        const __m128i redOpaqueHigh = _mm_unpackhi_epi8(red, opaque);
        _mm_storeu_si128(dst + 2, _mm_unpacklo_epi16(blueGreenHigh, redOpaqueHigh));
        _mm_storeu_si128(dst + 3, _mm_unpackhi_epi16(blueGreenHigh, redOpaqueHigh));
    }
}

inline __m128i Load4(const uint8_t* p) {
    int32_t word;
    std::memcpy(&word, p, sizeof word);
    return _mm_cvtsi32_si128(word);
}

inline __m128i Load8(const uint8_t* p) {
    return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
}

void ConvertRowSse2(const uint8_t* yRow, const uint8_t* uRow, const uint8_t* vRow, uint8_t* outRow,
                    int width) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i sixteen = _mm_set1_epi8(16);
    // Whole groups of 8 pixels go through the vector formulas; 16 at a time while there are
    // two groups left, which gives the same values as 8 at a time.
    const int vectorEnd = width & ~7;
    int x = 0;
    for (; x <= vectorEnd - 16; x += 16) {
        const __m128i luma =
            _mm_subs_epu8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(yRow + x)), sixteen);
        // Each chroma sample doubled: one per pixel of its pair.
        const __m128i uSamples = Load8(uRow + x / 2);
        const __m128i vSamples = Load8(vRow + x / 2);
        const __m128i uPairs = _mm_unpacklo_epi8(uSamples, uSamples);
        const __m128i vPairs = _mm_unpacklo_epi8(vSamples, vSamples);
        const Channels low = Compute(_mm_unpacklo_epi8(luma, zero), _mm_unpacklo_epi8(uPairs, zero),
                                     _mm_unpacklo_epi8(vPairs, zero));
        const Channels high =
            Compute(_mm_unpackhi_epi8(luma, zero), _mm_unpackhi_epi8(uPairs, zero),
                    _mm_unpackhi_epi8(vPairs, zero));
        Store(outRow + 4 * static_cast<std::ptrdiff_t>(x), low, high, 16);
    }
    if (x < vectorEnd) {
        const __m128i luma = _mm_subs_epu8(Load8(yRow + x), sixteen);
        const __m128i uSamples = Load4(uRow + x / 2);
        const __m128i vSamples = Load4(vRow + x / 2);
        const __m128i uPairs = _mm_unpacklo_epi8(uSamples, uSamples);
        const __m128i vPairs = _mm_unpacklo_epi8(vSamples, vSamples);
        const Channels group =
            Compute(_mm_unpacklo_epi8(luma, zero), _mm_unpacklo_epi8(uPairs, zero),
                    _mm_unpacklo_epi8(vPairs, zero));
        Store(outRow + 4 * static_cast<std::ptrdiff_t>(x), group, group, 8);
        x += 8;
    }
    if (x < width) {
        // The last width % 8 pixels: scalar formulas, each with its own pair's chroma
        // sample, and the same opaque fourth byte as the vector pixels.
        colour_rows::ConvertPixelsScalar(yRow, uRow, vRow, outRow, x, width);
        for (; x < width; ++x) {
            outRow[4 * static_cast<std::ptrdiff_t>(x) + 3] = 0xFF;
        }
    }
}

}  // namespace

void ConvertYuv420Sse2(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* bitmap,
                       int width, int height) {
    colour_rows::ConvertPicture(ConvertRowSse2, y, u, v, bitmap, width, height, 1);
}

void ConvertYuv422Sse2(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* bitmap,
                       int width, int height) {
    colour_rows::ConvertPicture(ConvertRowSse2, y, u, v, bitmap, width, height, 0);
}

}  // namespace vantelsor

#endif  // VANTELSOR_COLOUR_SSE2
