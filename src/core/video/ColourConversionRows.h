// Internals shared by the scalar and SSE2 colour converters: the row walk (plane layout,
// bottom-up output) and the 16.16 fixed-point row kernel. Stateless, like the converters.
#pragma once

#include <cstdint>

namespace vantelsor::colour_rows {

// Converts one picture row: `width` pixels of `yRow` with the chroma samples of `uRow` and
// `vRow` (one per pixel pair) into `outRow` (4 bytes per pixel).
using RowConverter = void (*)(const uint8_t* yRow, const uint8_t* uRow, const uint8_t* vRow,
                              uint8_t* outRow, int width);

// Walks the rows of a picture: picture row r reads Y row r and chroma row r >> chromaRowShift
// (1 for 4:2:0, 0 for 4:2:2) and writes bitmap row height - 1 - r. Does nothing when width
// or height is 0 or less.
void ConvertPicture(RowConverter convertRow, const uint8_t* y, const uint8_t* u, const uint8_t* v,
                    uint8_t* bitmap, int width, int height, int chromaRowShift);

// The 16.16 fixed-point formulas for pixels [from, to) of a row; pixel x uses chroma sample
// x / 2. Leaves the fourth byte of each pixel as it was.
void ConvertPixelsScalar(const uint8_t* yRow, const uint8_t* uRow, const uint8_t* vRow,
                         uint8_t* outRow, int from, int to);

}  // namespace vantelsor::colour_rows
