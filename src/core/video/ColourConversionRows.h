// Internals shared by the colour converters: the row walk (plane layout, bottom-up output)
// and the 16.16 fixed-point pixel formulas. Stateless, like the converters.
//
// This header is included by files compiled for different instruction sets; everything it
// declares is defined out of line in ColourConversion.cpp (built for the baseline processor),
// so no inline code compiled with wider instructions can be shared through it.
#pragma once

#include <cstdint>

namespace vantelsor::colour_rows {

// Converts one or two picture rows that read the same chroma row: `width` pixels of `yRow0`
// into `outRow0` and, when `yRow1` is not null, `width` pixels of `yRow1` into `outRow1`.
// Pixel x uses chroma sample x / 2 of `uRow` and `vRow`; 4 output bytes per pixel.
using RowPairConverter = void (*)(const uint8_t* yRow0, const uint8_t* yRow1, const uint8_t* uRow,
                                  const uint8_t* vRow, uint8_t* outRow0, uint8_t* outRow1,
                                  int width);

// Walks the rows of a picture: picture row r reads Y row r and chroma row r >> chromaRowShift
// (1 for 4:2:0, 0 for 4:2:2) and writes bitmap row height - 1 - r. With 4:2:0 the two rows
// of a chroma row go to the converter together, so the chroma work is done once for both.
// Does nothing when width or height is 0 or less.
void ConvertPicture(RowPairConverter convertRows, const uint8_t* y, const uint8_t* u,
                    const uint8_t* v, uint8_t* bitmap, int width, int height, int chromaRowShift);

// The 16.16 fixed-point formulas for pixels [from, to) of a row; pixel x uses chroma sample
// x / 2. Leaves the fourth byte of each pixel as it was.
void ConvertPixelsScalar(const uint8_t* yRow, const uint8_t* uRow, const uint8_t* vRow,
                         uint8_t* outRow, int from, int to);

// The same formulas, writing 0xFF into the fourth byte like the vector kernels do: the
// vector paths' row tails. `yRow1` / `outRow1` may be null (one row only).
void ConvertTailScalarOpaque(const uint8_t* yRow0, const uint8_t* yRow1, const uint8_t* uRow,
                             const uint8_t* vRow, uint8_t* outRow0, uint8_t* outRow1, int from,
                             int to);

}  // namespace vantelsor::colour_rows
