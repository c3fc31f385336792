// Planar YUV to 32-bit RGB conversion for decoded video pictures.
//
// Input planes, for a picture of `width` x `height` pixels, each packed without row padding:
//   Y: width x height bytes, rows top to bottom.
//   U, V: ChromaWidth(width) bytes per row; ChromaRows420(height) rows for 4:2:0,
//         `height` rows for 4:2:2. Each chroma sample serves two horizontally adjacent
//         pixels (and, in 4:2:0, two vertically adjacent rows).
// Output bitmap: width x height pixels of 4 bytes (blue, green, red, fourth byte), rows
// bottom-up (picture row 0 is the last row in memory), width * 4 bytes per row, no padding.
//
// Odd sizes: chroma rows are (width + 1) / 2 samples wide and 4:2:0 has (height + 1) / 2
// chroma rows, so the last column / row of an odd-sized picture has a chroma sample of its
// own. For even sizes this is exactly width / 2 and height / 2. Nothing outside the sizes
// above is read or written. A width or height of 0 or less converts nothing.
//
// The paths compute slightly different values (the vector paths' coefficients have 13
// fractional bits instead of 16):
//   Scalar: 16.16 fixed point; leaves the fourth byte of every pixel as it was.
//   SSE2 and AVX2 (x86-64 only): 16-bit lanes for the first width rounded down to a
//     multiple of 8 pixels of every row, the scalar formulas for the rest of the row; write
//     0xFF into the fourth byte of every pixel (the tail pixels included). The two give
//     identical bitmaps for every input; AVX2 converts 32 pixels per step instead of 16.
// ConvertYuv420 / ConvertYuv422 take the AVX2 path when the processor reports AVX2, the
// SSE2 path otherwise on x86-64, and the scalar path on other processors. The choice is
// made once per process, on the first call.
//
// Thread and ownership contract: stateless; the caller owns every buffer. Any number of
// threads may convert at once into distinct bitmaps. Nothing is allocated. Planes and
// bitmap need no particular alignment.
#pragma once

#include <cstdint>

#if defined(__x86_64__) || defined(_M_X64)
#define VANTELSOR_COLOUR_SSE2 1
#define VANTELSOR_COLOUR_AVX2 1
#endif

namespace vantelsor {

// Chroma plane sizes: half, rounded up. Written as half plus the odd bit so that no size,
// however large, overflows.
inline constexpr int ChromaWidth(int width) {
    return width / 2 + (width & 1);
}
inline constexpr int ChromaRows420(int height) {
    return height / 2 + (height & 1);
}

// Video mode 1 (planar 4:2:0) and mode 2 (planar 4:2:2), fastest path available.
void ConvertYuv420(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* bitmap, int width,
                   int height);
void ConvertYuv422(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* bitmap, int width,
                   int height);

// The scalar path on its own (the reference formulas).
void ConvertYuv420Scalar(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* bitmap,
                         int width, int height);
void ConvertYuv422Scalar(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* bitmap,
                         int width, int height);

#if defined(VANTELSOR_COLOUR_SSE2)
// The SSE2 path on its own. SSE2 is part of every x86-64 processor.
void ConvertYuv420Sse2(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* bitmap,
                       int width, int height);
void ConvertYuv422Sse2(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* bitmap,
                       int width, int height);
#endif

#if defined(VANTELSOR_COLOUR_AVX2)
// The AVX2 path on its own. Call only when the processor has AVX2 (ColourPathInUse() is
// kAvx2, or __builtin_cpu_supports("avx2")): elsewhere it stops on an illegal instruction.
void ConvertYuv420Avx2(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* bitmap,
                       int width, int height);
void ConvertYuv422Avx2(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* bitmap,
                       int width, int height);
#endif

enum class ColourPath { kScalar, kSse2, kAvx2 };

// The path ConvertYuv420 / ConvertYuv422 take on this machine.
ColourPath ColourPathInUse();

// True when ConvertYuv420 / ConvertYuv422 take a vector path (SSE2 or AVX2) on this machine.
bool ColourVectorPathInUse();

}  // namespace vantelsor
