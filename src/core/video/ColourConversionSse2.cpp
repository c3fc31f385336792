// The SSE2 colour converter. This file alone is compiled with -msse2 on x86-64; on other
// processors it is empty and only the scalar path exists.
#include "video/ColourConversion.h"

#if defined(VANTELSOR_COLOUR_SSE2)

#include "video/ColourConversionRows.h"
#include "video/ColourConversionSse2Kernels.h"

namespace vantelsor {

namespace {

void ConvertRowsSse2(const uint8_t* yRow0, const uint8_t* yRow1, const uint8_t* uRow,
                     const uint8_t* vRow, uint8_t* outRow0, uint8_t* outRow1, int width) {
    // One branch per row pair; the kernels themselves know at compile time how many rows
    // they write.
    if (yRow1 != nullptr) {
        colour_vector::ConvertRowsFrom<true>(0, yRow0, yRow1, uRow, vRow, outRow0, outRow1, width);
    } else {
        colour_vector::ConvertRowsFrom<false>(0, yRow0, nullptr, uRow, vRow, outRow0, nullptr,
                                              width);
    }
}

}  // namespace

void ConvertYuv420Sse2(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* bitmap,
                       int width, int height) {
    colour_rows::ConvertPicture(ConvertRowsSse2, y, u, v, bitmap, width, height, 1);
}

void ConvertYuv422Sse2(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* bitmap,
                       int width, int height) {
    colour_rows::ConvertPicture(ConvertRowsSse2, y, u, v, bitmap, width, height, 0);
}

}  // namespace vantelsor

#endif  // VANTELSOR_COLOUR_SSE2
