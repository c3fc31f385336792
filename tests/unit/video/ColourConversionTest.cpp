#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "video/ColourConversion.h"

namespace vantelsor {
namespace {

using ConvertFn = void (*)(const uint8_t*, const uint8_t*, const uint8_t*, uint8_t*, int, int);

enum class Mode { k420, k422 };
enum class Path { kScalar, kSse2 };

constexpr uint8_t kFourthBytePrefill = 0x5A;
constexpr uint8_t kGuardByte = 0xA5;
constexpr std::size_t kGuardSize = 64;

ConvertFn PathFunction(Mode mode, Path path) {
#if defined(VANTELSOR_COLOUR_SSE2)
    if (path == Path::kSse2) {
        return mode == Mode::k420 ? ConvertYuv420Sse2 : ConvertYuv422Sse2;
    }
#else
    (void)path;
#endif
    return mode == Mode::k420 ? ConvertYuv420Scalar : ConvertYuv422Scalar;
}

// Independent per-pixel models, written from the formulas rather than from the converters:
// plain integers, explicit floor division, explicit clamps, no tables, no lanes.
struct Bgr {
    int blue;
    int green;
    int red;
    bool operator==(const Bgr&) const = default;
};

int FloorDiv65536(int64_t x) {
    return static_cast<int>(x >= 0 ? x / 65536 : -((-x + 65535) / 65536));
}
int ClampByte(int x) {
    return std::clamp(x, 0, 255);
}
int SaturateInt16(int x) {
    return std::clamp(x, -32768, 32767);
}

// 16.16 fixed point.
Bgr ScalarModel(int y, int u, int v) {
    const int64_t t = 76309LL * (y - 16);
    const int64_t cu = u - 128;
    const int64_t cv = v - 128;
    return Bgr{ClampByte(FloorDiv65536(t + 132201 * cu)),
               ClampByte(FloorDiv65536(t - 53278 * cv - 25674 * cu)),
               ClampByte(FloorDiv65536(t + 104597 * cv))};
}

// 16-bit lanes: products are the high 16 bits of (x * 8) * c.
Bgr VectorModel(int y, int u, int v) {
    const auto high = [](int x, int c) { return FloorDiv65536(int64_t{x} * 8 * c); };
    const int yTerm = high(std::max(y - 16, 0), 9539);
    const int cu = u - 128;
    const int cv = v - 128;
    return Bgr{ClampByte(SaturateInt16(yTerm + high(cu, 16525))),
               ClampByte(SaturateInt16(yTerm + SaturateInt16(high(cu, -3209) + high(cv, -6660)))),
               ClampByte(SaturateInt16(yTerm + high(cv, 13075)))};
}

// A planar picture whose planes are separate allocations of exactly the documented size,
// so that AddressSanitizer reports any read outside them.
struct Picture {
    Picture(int w, int h, Mode m)
        : width(w),
          height(h),
          mode(m),
          chromaWidth((w + 1) / 2),
          chromaRows(m == Mode::k420 ? (h + 1) / 2 : h),
          y(static_cast<std::size_t>(w) * h),
          u(static_cast<std::size_t>(chromaWidth) * chromaRows),
          v(u.size()) {}

    std::size_t ChromaIndex(int x, int row) const {
        const int chromaRow = mode == Mode::k420 ? row / 2 : row;
        return static_cast<std::size_t>(chromaRow) * chromaWidth + x / 2;
    }

    int width;
    int height;
    Mode mode;
    int chromaWidth;
    int chromaRows;
    std::vector<uint8_t> y;
    std::vector<uint8_t> u;
    std::vector<uint8_t> v;
};

// Output buffer: the bitmap, every fourth byte prefilled, then guard bytes.
struct Bitmap {
    Bitmap(int w, int h) : width(w), height(h) {
        bytes.assign(static_cast<std::size_t>(w) * h * 4 + kGuardSize, kGuardByte);
        for (std::size_t i = 3; i < Size(); i += 4) {
            bytes[i] = kFourthBytePrefill;
        }
    }
    std::size_t Size() const { return bytes.size() - kGuardSize; }
    // Picture pixel (x, row): rows are stored bottom-up.
    const uint8_t* Pixel(int x, int row) const {
        return bytes.data() + (static_cast<std::size_t>(height - 1 - row) * width + x) * 4;
    }
    Bgr ColourAt(int x, int row) const {
        const uint8_t* p = Pixel(x, row);
        return Bgr{p[0], p[1], p[2]};
    }
    bool GuardIntact() const {
        return std::all_of(bytes.begin() + static_cast<std::ptrdiff_t>(Size()), bytes.end(),
                           [](uint8_t b) { return b == kGuardByte; });
    }

    int width;
    int height;
    std::vector<uint8_t> bytes;
};

Bitmap Convert(const Picture& picture, Path path) {
    Bitmap bitmap(picture.width, picture.height);
    PathFunction(picture.mode, path)(picture.y.data(), picture.u.data(), picture.v.data(),
                                     bitmap.bytes.data(), picture.width, picture.height);
    return bitmap;
}

Picture Uniform(int w, int h, Mode mode, uint8_t y, uint8_t u, uint8_t v) {
    Picture picture(w, h, mode);
    std::fill(picture.y.begin(), picture.y.end(), y);
    std::fill(picture.u.begin(), picture.u.end(), u);
    std::fill(picture.v.begin(), picture.v.end(), v);
    return picture;
}

std::vector<Path> PathsUnderTest() {
#if defined(VANTELSOR_COLOUR_SSE2)
    return {Path::kScalar, Path::kSse2};
#else
    return {Path::kScalar};
#endif
}

// Known colours with the values each path must give (B, G, R).
struct UniformCase {
    uint8_t y, u, v;
    Bgr scalar;
    Bgr vector;
};

TEST(ColourConversion, UniformColoursGiveTheValuesOfEachPath) {
    const UniformCase cases[] = {
        {16, 128, 128, {0, 0, 0}, {0, 0, 0}},               // black
        {235, 128, 128, {254, 254, 254}, {255, 255, 255}},  // white: the paths differ
        {236, 128, 128, {255, 255, 255}, {255, 255, 255}},
        {15, 128, 128, {0, 0, 0}, {0, 0, 0}},  // below black
        {0, 128, 128, {0, 0, 0}, {0, 0, 0}},
        {81, 90, 240, {0, 0, 254}, {0, 0, 253}},   // studio-range red
        {41, 240, 110, {255, 0, 0}, {254, 0, 0}},  // blue
        {145, 54, 34, {0, 255, 0}, {0, 254, 0}},   // green
        {0, 0, 0, {0, 135, 0}, {0, 154, 0}},  // vector luma saturates at 0, scalar goes negative
        {255, 0, 255, {20, 225, 255}, {19, 224, 255}},
    };
    for (const UniformCase& c : cases) {
        for (Mode mode : {Mode::k420, Mode::k422}) {
            for (Path path : PathsUnderTest()) {
                SCOPED_TRACE("Y=" + std::to_string(c.y) + " U=" + std::to_string(c.u) +
                             " V=" + std::to_string(c.v) +
                             " path=" + std::to_string(static_cast<int>(path)) +
                             " mode=" + std::to_string(static_cast<int>(mode)));
                const Bitmap bitmap = Convert(Uniform(16, 2, mode, c.y, c.u, c.v), path);
                const Bgr expected = path == Path::kScalar ? c.scalar : c.vector;
                for (int row = 0; row < 2; ++row) {
                    for (int x = 0; x < 16; ++x) {
                        ASSERT_EQ(bitmap.ColourAt(x, row), expected) << "x=" << x;
                    }
                }
                ASSERT_EQ(ScalarModel(c.y, c.u, c.v), c.scalar);
                ASSERT_EQ(VectorModel(c.y, c.u, c.v), c.vector);
            }
        }
    }
}

#if defined(VANTELSOR_COLOUR_SSE2)
// Y = 235 tells the paths apart (255 vector, 254 scalar): only the last width % 8 pixels of
// each row may take the scalar formulas.
TEST(ColourConversion, Sse2PathConvertsWholeGroupsOfEightAndTheTailWithScalarFormulas) {
    for (int width : {1280, 1284, 1, 2, 7, 8, 9, 15, 16, 17, 24, 31}) {
        SCOPED_TRACE("width=" + std::to_string(width));
        const Bitmap bitmap = Convert(Uniform(width, 3, Mode::k420, 235, 128, 128), Path::kSse2);
        const int vectorEnd = width / 8 * 8;
        for (int row = 0; row < 3; ++row) {
            for (int x = 0; x < width; ++x) {
                const int expected = x < vectorEnd ? 255 : 254;
                const uint8_t* p = bitmap.Pixel(x, row);
                ASSERT_EQ(p[0], expected) << "x=" << x;
                ASSERT_EQ(p[1], expected) << "x=" << x;
                ASSERT_EQ(p[2], expected) << "x=" << x;
                ASSERT_EQ(p[3], 0xFF) << "x=" << x;
            }
        }
        EXPECT_TRUE(bitmap.GuardIntact());
    }
}

// The tail pixels take their own pair's chroma sample, not that of the last vector group.
TEST(ColourConversion, Sse2TailUsesItsOwnChromaSample) {
    Picture picture = Uniform(12, 2, Mode::k422, 128, 128, 128);
    for (int row = 0; row < 2; ++row) {
        for (int k = 0; k < 6; ++k) {
            picture.u[picture.ChromaIndex(2 * k, row)] = static_cast<uint8_t>(100 + 20 * k);
        }
    }
    const Bitmap bitmap = Convert(picture, Path::kSse2);
    for (int row = 0; row < 2; ++row) {
        for (int x = 8; x < 12; ++x) {
            EXPECT_EQ(bitmap.ColourAt(x, row), ScalarModel(128, 100 + 20 * (x / 2), 128))
                << "x=" << x;
        }
    }
}
#endif

// Picture row 0 is the last row in memory.
TEST(ColourConversion, TopRowLandsAtTheEndOfTheBitmap) {
    constexpr int kWidth = 1280;
    constexpr int kHeight = 1024;
    Picture picture = Uniform(kWidth, kHeight, Mode::k420, 16, 128, 128);
    std::fill(picture.y.begin(), picture.y.begin() + kWidth, 236);  // row 0 white
    for (Path path : PathsUnderTest()) {
        const Bitmap bitmap = Convert(picture, path);
        const std::size_t lastRow = bitmap.Size() - kWidth * 4;
        for (std::size_t i = 0; i < bitmap.Size(); ++i) {
            if (i % 4 == 3) {
                continue;
            }
            ASSERT_EQ(bitmap.bytes[i], i >= lastRow ? 255 : 0) << "byte " << i;
        }
        EXPECT_TRUE(bitmap.GuardIntact());
    }
}

// 4:2:0 shares a chroma row between two picture rows; 4:2:2 gives every row its own.
TEST(ColourConversion, ChromaRowsFollowTheMode) {
    for (Path path : PathsUnderTest()) {
        for (Mode mode : {Mode::k420, Mode::k422}) {
            Picture picture = Uniform(10, 4, mode, 128, 128, 128);
            for (int chromaRow = 0; chromaRow < picture.chromaRows; ++chromaRow) {
                std::fill_n(picture.v.begin() + chromaRow * picture.chromaWidth,
                            picture.chromaWidth, static_cast<uint8_t>(60 + 40 * chromaRow));
            }
            const Bitmap bitmap = Convert(picture, path);
            for (int row = 0; row < 4; ++row) {
                const int v = 60 + 40 * (mode == Mode::k420 ? row / 2 : row);
                const Bgr expected =
                    path == Path::kScalar ? ScalarModel(128, 128, v) : VectorModel(128, 128, v);
                for (int x = 0; x < 8; ++x) {  // the vector part of the row
                    ASSERT_EQ(bitmap.ColourAt(x, row), expected) << "row=" << row;
                }
            }
        }
    }
}

// Random pictures of many sizes, odd ones included: every pixel equals the model of its path,
// fourth bytes are left (scalar) or set to 0xFF (vector), nothing past the bitmap is written,
// and nothing outside the planes is read (planes are exact-size allocations).
TEST(ColourConversion, RandomPicturesMatchTheModels) {
    std::mt19937 rng(20261210);
    std::vector<std::pair<int, int>> sizes = {{1, 1},  {2, 1},  {1, 2},  {3, 3},  {7, 5},
                                              {8, 1},  {9, 2},  {15, 3}, {16, 4}, {17, 7},
                                              {33, 9}, {40, 6}, {63, 5}, {64, 1}, {1284, 3}};
    std::uniform_int_distribution<int> randomWidth(1, 100);
    std::uniform_int_distribution<int> randomHeight(1, 9);
    for (int i = 0; i < 30; ++i) {
        sizes.emplace_back(randomWidth(rng), randomHeight(rng));
    }
    std::uniform_int_distribution<int> anyByte(0, 255);
    std::bernoulli_distribution coin;
    for (const auto& [width, height] : sizes) {
        for (Mode mode : {Mode::k420, Mode::k422}) {
            // Uniform values, and extremes only (0 or 255) to reach every clamp.
            for (bool extremes : {false, true}) {
                Picture picture(width, height, mode);
                for (auto* plane : {&picture.y, &picture.u, &picture.v}) {
                    for (uint8_t& b : *plane) {
                        b = static_cast<uint8_t>(extremes ? (coin(rng) ? 255 : 0) : anyByte(rng));
                    }
                }
                for (Path path : PathsUnderTest()) {
                    SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height) +
                                 " mode=" + std::to_string(static_cast<int>(mode)) +
                                 " path=" + std::to_string(static_cast<int>(path)));
                    const Bitmap bitmap = Convert(picture, path);
                    const int vectorEnd = path == Path::kSse2 ? width / 8 * 8 : 0;
                    for (int row = 0; row < height; ++row) {
                        for (int x = 0; x < width; ++x) {
                            const std::size_t c = picture.ChromaIndex(x, row);
                            const int y = picture.y[static_cast<std::size_t>(row) * width + x];
                            const Bgr expected = x < vectorEnd
                                                     ? VectorModel(y, picture.u[c], picture.v[c])
                                                     : ScalarModel(y, picture.u[c], picture.v[c]);
                            ASSERT_EQ(bitmap.ColourAt(x, row), expected)
                                << "x=" << x << " row=" << row;
                            ASSERT_EQ(bitmap.Pixel(x, row)[3],
                                      path == Path::kSse2 ? 0xFF : kFourthBytePrefill);
                        }
                    }
                    ASSERT_TRUE(bitmap.GuardIntact());
                }
            }
        }
    }
}

TEST(ColourConversion, EmptyOrNegativeSizesTouchNothing) {
    const std::pair<int, int> sizes[] = {{0, 0}, {0, 4}, {4, 0}, {-2, 4}, {4, -2}, {-8, -8}};
    std::vector<uint8_t> bitmap(256, kGuardByte);
    const ConvertFn functions[] = {
        ConvertYuv420,
        ConvertYuv422,
        ConvertYuv420Scalar,
        ConvertYuv422Scalar,
#if defined(VANTELSOR_COLOUR_SSE2)
        ConvertYuv420Sse2,
        ConvertYuv422Sse2
#endif
    };
    for (ConvertFn convert : functions) {
        for (const auto& [width, height] : sizes) {
            // Null planes: a conversion that read anything would crash.
            convert(nullptr, nullptr, nullptr, bitmap.data(), width, height);
            ASSERT_TRUE(std::all_of(bitmap.begin(), bitmap.end(),
                                    [](uint8_t b) { return b == kGuardByte; }))
                << width << "x" << height;
        }
    }
}

// The public entry points take the vector path where the processor has it.
TEST(ColourConversion, EntryPointsTakeTheVectorPathWhenAvailable) {
#if defined(VANTELSOR_COLOUR_SSE2)
    EXPECT_TRUE(ColourVectorPathInUse());
#endif
    const Path expectedPath = ColourVectorPathInUse() ? Path::kSse2 : Path::kScalar;
    for (Mode mode : {Mode::k420, Mode::k422}) {
        const Picture picture = Uniform(20, 4, mode, 235, 128, 128);
        Bitmap bitmap(20, 4);
        (mode == Mode::k420 ? ConvertYuv420 : ConvertYuv422)(
            picture.y.data(), picture.u.data(), picture.v.data(), bitmap.bytes.data(), 20, 4);
        EXPECT_EQ(bitmap.bytes, Convert(picture, expectedPath).bytes);
    }
}

}  // namespace
}  // namespace vantelsor
