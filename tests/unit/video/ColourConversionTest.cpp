#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "video/ColourConversion.h"

namespace vantelsor::test {
namespace {

using ConvertFn = void (*)(const uint8_t*, const uint8_t*, const uint8_t*, uint8_t*, int, int);

enum class Mode { k420, k422 };
enum class Path { kScalar, kSse2, kAvx2 };

constexpr uint8_t kFourthBytePrefill = 0x5A;
constexpr uint8_t kGuardByte = 0xA5;
constexpr std::size_t kGuardSize = 64;

std::string PathName(Path path) {
    switch (path) {
        case Path::kScalar:
            return "Scalar";
        case Path::kSse2:
            return "Sse2";
        case Path::kAvx2:
            return "Avx2";
    }
    return "?";
}

// Shown by GoogleTest (and ctest) in place of the parameter's bytes.
void PrintTo(Path path, std::ostream* out) {
    *out << PathName(path);
}

bool IsVector(Path path) {
    return path != Path::kScalar;
}

// Whether this build has the path and this processor can run it.
bool PathAvailable(Path path) {
    switch (path) {
        case Path::kScalar:
            return true;
        case Path::kSse2:
#if defined(VANTELSOR_COLOUR_SSE2)
            return true;
#else
            return false;
#endif
        case Path::kAvx2:
#if defined(VANTELSOR_COLOUR_AVX2)
            return __builtin_cpu_supports("avx2") != 0;
#else
            return false;
#endif
    }
    return false;
}

ConvertFn PathFunction(Mode mode, Path path) {
    const bool is420 = mode == Mode::k420;
    switch (path) {
        case Path::kScalar:
            break;
        case Path::kSse2:
#if defined(VANTELSOR_COLOUR_SSE2)
            return is420 ? ConvertYuv420Sse2 : ConvertYuv422Sse2;
#else
            break;
#endif
        case Path::kAvx2:
#if defined(VANTELSOR_COLOUR_AVX2)
            return is420 ? ConvertYuv420Avx2 : ConvertYuv422Avx2;
#else
            break;
#endif
    }
    return is420 ? ConvertYuv420Scalar : ConvertYuv422Scalar;
}

std::vector<Path> PathsUnderTest() {
    std::vector<Path> paths;
    for (Path path : {Path::kScalar, Path::kSse2, Path::kAvx2}) {
        if (PathAvailable(path)) {
            paths.push_back(path);
        }
    }
    return paths;
}

// Independent per-pixel models, written from the formulas rather than from the converters:
// plain integers, explicit floor division, explicit clamps, no tables, no lanes.
struct Bgr {
    int blue;
    int green;
    int red;
    bool operator==(const Bgr&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Bgr& c) {
    return out << "(" << c.blue << ", " << c.green << ", " << c.red << ")";
}

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
    int LumaAt(int x, int row) const { return y[static_cast<std::size_t>(row) * width + x]; }

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

void ConvertInto(const Picture& picture, Path path, Bitmap& bitmap) {
    PathFunction(picture.mode, path)(picture.y.data(), picture.u.data(), picture.v.data(),
                                     bitmap.bytes.data(), picture.width, picture.height);
}

Bitmap Convert(const Picture& picture, Path path) {
    Bitmap bitmap(picture.width, picture.height);
    ConvertInto(picture, path, bitmap);
    return bitmap;
}

Picture Uniform(int w, int h, Mode mode, uint8_t y, uint8_t u, uint8_t v) {
    Picture picture(w, h, mode);
    std::fill(picture.y.begin(), picture.y.end(), y);
    std::fill(picture.u.begin(), picture.u.end(), u);
    std::fill(picture.v.begin(), picture.v.end(), v);
    return picture;
}

// Every pixel against the model of its path: the vector formulas for the first width
// rounded down to a multiple of 8 pixels of each row on a vector path, the scalar formulas
// elsewhere; the fourth byte 0xFF on a vector path and untouched on the scalar one; nothing
// written past the bitmap. Reports the first difference.
::testing::AssertionResult MatchesModel(const Picture& picture, const Bitmap& bitmap, Path path) {
    const int vectorEnd = IsVector(path) ? picture.width / 8 * 8 : 0;
    const int fourthByte = IsVector(path) ? 0xFF : kFourthBytePrefill;
    for (int row = 0; row < picture.height; ++row) {
        for (int x = 0; x < picture.width; ++x) {
            const std::size_t c = picture.ChromaIndex(x, row);
            const int y = picture.LumaAt(x, row);
            const Bgr expected = x < vectorEnd ? VectorModel(y, picture.u[c], picture.v[c])
                                               : ScalarModel(y, picture.u[c], picture.v[c]);
            const Bgr actual = bitmap.ColourAt(x, row);
            if (actual != expected || bitmap.Pixel(x, row)[3] != fourthByte) {
                return ::testing::AssertionFailure()
                       << "pixel x=" << x << " row=" << row << " Y=" << y
                       << " U=" << int{picture.u[c]} << " V=" << int{picture.v[c]} << ": got "
                       << actual << " fourth byte " << int{bitmap.Pixel(x, row)[3]} << ", expected "
                       << expected << " fourth byte " << fourthByte;
            }
        }
    }
    if (!bitmap.GuardIntact()) {
        return ::testing::AssertionFailure() << "bytes written past the bitmap";
    }
    return ::testing::AssertionSuccess();
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
    // 56 pixels: one 32-pixel, one 16-pixel and one 8-pixel block on the vector paths.
    constexpr int kWidth = 56;
    for (const UniformCase& c : cases) {
        ASSERT_EQ(ScalarModel(c.y, c.u, c.v), c.scalar);
        ASSERT_EQ(VectorModel(c.y, c.u, c.v), c.vector);
        for (Mode mode : {Mode::k420, Mode::k422}) {
            for (Path path : PathsUnderTest()) {
                SCOPED_TRACE("Y=" + std::to_string(c.y) + " U=" + std::to_string(c.u) +
                             " V=" + std::to_string(c.v) + " path=" + PathName(path) +
                             " mode=" + std::to_string(static_cast<int>(mode)));
                const Bitmap bitmap = Convert(Uniform(kWidth, 2, mode, c.y, c.u, c.v), path);
                const Bgr expected = IsVector(path) ? c.vector : c.scalar;
                for (int row = 0; row < 2; ++row) {
                    for (int x = 0; x < kWidth; ++x) {
                        ASSERT_EQ(bitmap.ColourAt(x, row), expected) << "x=" << x;
                    }
                }
            }
        }
    }
}

// Picture row 0 is the last row in memory.
TEST(ColourConversion, TopRowLandsAtTheEndOfTheBitmap) {
    constexpr int kWidth = 1280;
    constexpr int kHeight = 1024;
    Picture picture = Uniform(kWidth, kHeight, Mode::k420, 16, 128, 128);
    std::fill(picture.y.begin(), picture.y.begin() + kWidth, 236);  // row 0 white
    for (Path path : PathsUnderTest()) {
        SCOPED_TRACE(PathName(path));
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

// 4:2:0 shares a chroma row between two picture rows; 4:2:2 gives every row its own. Odd
// heights leave the last 4:2:0 chroma row with one picture row.
TEST(ColourConversion, ChromaRowsFollowTheMode) {
    constexpr int kWidth = 42;  // 40 vector pixels: 32 + 8, or 16 + 16 + 8
    for (Path path : PathsUnderTest()) {
        for (Mode mode : {Mode::k420, Mode::k422}) {
            for (int height : {4, 5}) {
                SCOPED_TRACE(PathName(path) + " mode=" + std::to_string(static_cast<int>(mode)) +
                             " height=" + std::to_string(height));
                Picture picture = Uniform(kWidth, height, mode, 128, 128, 128);
                for (int chromaRow = 0; chromaRow < picture.chromaRows; ++chromaRow) {
                    std::fill_n(picture.v.begin() + chromaRow * picture.chromaWidth,
                                picture.chromaWidth, static_cast<uint8_t>(60 + 40 * chromaRow));
                }
                const Bitmap bitmap = Convert(picture, path);
                for (int row = 0; row < height; ++row) {
                    const int v = 60 + 40 * (mode == Mode::k420 ? row / 2 : row);
                    const Bgr expected =
                        IsVector(path) ? VectorModel(128, 128, v) : ScalarModel(128, 128, v);
                    for (int x = 0; x < 40; ++x) {  // the vector part of the row
                        ASSERT_EQ(bitmap.ColourAt(x, row), expected) << "row=" << row;
                    }
                }
                EXPECT_TRUE(MatchesModel(picture, bitmap, path));
            }
        }
    }
}

TEST(ColourConversion, EmptyOrNegativeSizesTouchNothing) {
    const std::pair<int, int> sizes[] = {{0, 0}, {0, 4}, {4, 0}, {-2, 4}, {4, -2}, {-8, -8}};
    std::vector<uint8_t> bitmap(256, kGuardByte);
    std::vector<ConvertFn> functions = {ConvertYuv420, ConvertYuv422};
    for (Path path : PathsUnderTest()) {
        functions.push_back(PathFunction(Mode::k420, path));
        functions.push_back(PathFunction(Mode::k422, path));
    }
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

// The public entry points take the widest vector path the processor has.
TEST(ColourConversion, EntryPointsTakeTheWidestAvailablePath) {
    Path expectedPath = Path::kScalar;
    for (Path path : {Path::kSse2, Path::kAvx2}) {
        if (PathAvailable(path)) {
            expectedPath = path;
        }
    }
#if defined(VANTELSOR_COLOUR_SSE2)
    EXPECT_NE(expectedPath, Path::kScalar);
#endif
    EXPECT_EQ(static_cast<int>(ColourPathInUse()), static_cast<int>(expectedPath));
    EXPECT_EQ(ColourVectorPathInUse(), IsVector(expectedPath));
    for (Mode mode : {Mode::k420, Mode::k422}) {
        const Picture picture = Uniform(44, 4, mode, 235, 128, 128);
        Bitmap bitmap(44, 4);
        (mode == Mode::k420 ? ConvertYuv420 : ConvertYuv422)(
            picture.y.data(), picture.u.data(), picture.v.data(), bitmap.bytes.data(), 44, 4);
        EXPECT_EQ(bitmap.bytes, Convert(picture, expectedPath).bytes);
        // Y = 235 tells the paths apart (vector 255, scalar 254).
        EXPECT_EQ(bitmap.ColourAt(0, 0).blue, IsVector(expectedPath) ? 255 : 254);
    }
}

// Tests every path runs, each on its own; a path this processor lacks is skipped.
class ColourPathTest : public ::testing::TestWithParam<Path> {
  protected:
    void SetUp() override {
        if (!PathAvailable(GetParam())) {
            GTEST_SKIP() << PathName(GetParam()) << " is not available on this processor";
        }
    }
    Path path() const { return GetParam(); }
};

// Every (Y, U, V) triple against the model of the path, in 4:2:0 with both rows of each
// chroma row carrying every Y value and chroma that changes from sample to sample, so that
// a sample or a row paired with the wrong pixels shows. Width 256 = 8 blocks of 32 pixels.
TEST_P(ColourPathTest, EveryYuvTripleMatchesTheModel) {
    Picture picture(256, 512, Mode::k420);
    for (int row = 0; row < picture.height; ++row) {
        for (int x = 0; x < picture.width; ++x) {
            picture.y[static_cast<std::size_t>(row) * 256 + x] =
                static_cast<uint8_t>(row % 2 == 0 ? x : 255 - x);
        }
    }
    Bitmap bitmap(picture.width, picture.height);
    // Pixel (x, row) of picture p has U = p + x / 2 and V = row / 2 + x / 2 (mod 256): for
    // each Y, the 256 pictures and 256 chroma rows reach every (U, V) pair once.
    for (int p = 0; p < 256; ++p) {
        for (int chromaRow = 0; chromaRow < picture.chromaRows; ++chromaRow) {
            for (int k = 0; k < picture.chromaWidth; ++k) {
                const std::size_t i = static_cast<std::size_t>(chromaRow) * picture.chromaWidth + k;
                picture.u[i] = static_cast<uint8_t>(p + k);
                picture.v[i] = static_cast<uint8_t>(chromaRow + k);
            }
        }
        ConvertInto(picture, path(), bitmap);
        ASSERT_TRUE(MatchesModel(picture, bitmap, path())) << "picture " << p;
    }
}

// Random pictures of many sizes, odd ones included, both modes: every pixel equals the model
// of its path, fourth bytes are left (scalar) or set to 0xFF (vector), nothing past the
// bitmap is written, and nothing outside the planes is read (planes are exact-size
// allocations). The widths reach every mix of 32-, 16- and 8-pixel blocks and tails.
TEST_P(ColourPathTest, RandomPicturesMatchTheModel) {
    std::mt19937 rng(20261210);
    std::vector<std::pair<int, int>> sizes = {
        {1, 1},  {2, 1},  {1, 2},  {3, 3},  {7, 5},  {8, 1},  {9, 2},    {15, 3},   {16, 4},
        {17, 7}, {24, 2}, {31, 3}, {32, 2}, {33, 9}, {40, 6}, {47, 3},   {48, 4},   {56, 5},
        {63, 5}, {64, 1}, {65, 3}, {88, 2}, {95, 3}, {96, 4}, {1284, 3}, {1920, 2}, {1918, 3}};
    std::uniform_int_distribution<int> randomWidth(1, 140);
    std::uniform_int_distribution<int> randomHeight(1, 9);
    for (int i = 0; i < 40; ++i) {
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
                ASSERT_TRUE(MatchesModel(picture, Convert(picture, path()), path()))
                    << width << "x" << height << " mode=" << static_cast<int>(mode)
                    << " extremes=" << extremes;
            }
        }
    }
}

// The same, for the vector paths only.
class ColourVectorPathTest : public ColourPathTest {};

// Y = 235 tells the paths apart (255 vector, 254 scalar): only the last width % 8 pixels of
// each row may take the scalar formulas, and every pixel gets the fourth byte 0xFF.
TEST_P(ColourVectorPathTest, ConvertsWholeGroupsOfEightAndTheTailWithScalarFormulas) {
    for (int width : {1280, 1284, 1920, 1,  2,  7,  8,  9,  15, 16, 17, 24, 31,
                      32,   33,   39,   40, 47, 48, 55, 56, 57, 63, 64, 71, 72}) {
        SCOPED_TRACE("width=" + std::to_string(width));
        const Bitmap bitmap = Convert(Uniform(width, 3, Mode::k420, 235, 128, 128), path());
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

// The tail pixels take their own pair's chroma sample, not that of the last vector block.
TEST_P(ColourVectorPathTest, TailUsesItsOwnChromaSample) {
    constexpr int kWidth = 44;  // 40 vector pixels, 4 in the tail
    for (Mode mode : {Mode::k420, Mode::k422}) {
        Picture picture = Uniform(kWidth, 4, mode, 128, 128, 128);
        for (std::size_t i = 0; i < picture.u.size(); ++i) {
            picture.u[i] = static_cast<uint8_t>(40 + 8 * (i % picture.chromaWidth));
        }
        const Bitmap bitmap = Convert(picture, path());
        for (int row = 0; row < 4; ++row) {
            for (int x = 40; x < kWidth; ++x) {
                EXPECT_EQ(bitmap.ColourAt(x, row), ScalarModel(128, 40 + 8 * (x / 2), 128))
                    << "x=" << x << " row=" << row;
            }
        }
        EXPECT_TRUE(MatchesModel(picture, bitmap, path()));
    }
}

// Planes and bitmap at odd addresses give the same bytes as aligned ones.
TEST_P(ColourPathTest, UnalignedBuffersGiveTheSameBitmap) {
    std::mt19937 rng(7);
    for (Mode mode : {Mode::k420, Mode::k422}) {
        Picture picture(75, 6, mode);
        for (auto* plane : {&picture.y, &picture.u, &picture.v}) {
            for (uint8_t& b : *plane) {
                b = static_cast<uint8_t>(rng());
            }
        }
        const Bitmap aligned = Convert(picture, path());
        const auto shifted = [](const std::vector<uint8_t>& plane) {
            std::vector<uint8_t> copy(plane.size() + 1);
            std::copy(plane.begin(), plane.end(), copy.begin() + 1);
            return copy;
        };
        const std::vector<uint8_t> y = shifted(picture.y);
        const std::vector<uint8_t> u = shifted(picture.u);
        const std::vector<uint8_t> v = shifted(picture.v);
        std::vector<uint8_t> out = shifted(Bitmap(75, 6).bytes);
        PathFunction(mode, path())(y.data() + 1, u.data() + 1, v.data() + 1, out.data() + 1, 75, 6);
        EXPECT_TRUE(std::equal(aligned.bytes.begin(), aligned.bytes.end(), out.begin() + 1))
            << "mode=" << static_cast<int>(mode);
    }
}

// Names the instances after their path: Paths/ColourPathTest.Name/Avx2.
std::string ParamName(const ::testing::TestParamInfo<Path>& param) {
    return PathName(param.param);
}

INSTANTIATE_TEST_SUITE_P(Paths, ColourPathTest,
                         ::testing::Values(Path::kScalar, Path::kSse2, Path::kAvx2), ParamName);
INSTANTIATE_TEST_SUITE_P(VectorPaths, ColourVectorPathTest,
                         ::testing::Values(Path::kSse2, Path::kAvx2), ParamName);

// The two vector paths are interchangeable: byte-for-byte the same bitmap for the same
// picture, whatever its size or mode.
TEST(ColourConversion, Avx2GivesTheSameBitmapAsSse2) {
    if (!PathAvailable(Path::kAvx2) || !PathAvailable(Path::kSse2)) {
        GTEST_SKIP() << "needs both SSE2 and AVX2";
    }
    std::mt19937 rng(1080);
    std::uniform_int_distribution<int> randomWidth(1, 300);
    std::uniform_int_distribution<int> randomHeight(1, 12);
    for (int i = 0; i < 60; ++i) {
        const int width = i == 0 ? 1920 : randomWidth(rng);
        const int height = i == 0 ? 16 : randomHeight(rng);
        for (Mode mode : {Mode::k420, Mode::k422}) {
            Picture picture(width, height, mode);
            for (auto* plane : {&picture.y, &picture.u, &picture.v}) {
                for (uint8_t& b : *plane) {
                    b = static_cast<uint8_t>(rng());
                }
            }
            ASSERT_EQ(Convert(picture, Path::kAvx2).bytes, Convert(picture, Path::kSse2).bytes)
                << width << "x" << height << " mode=" << static_cast<int>(mode);
        }
    }
}

}  // namespace
}  // namespace vantelsor::test
