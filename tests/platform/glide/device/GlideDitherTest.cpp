// RGB565 packing: the chip's ordered dither (4x4 and 2x2) and truncation, for drawn pixels and
// for buffer clears. Expected values from the published formulas:
//   red/blue 5-bit = (2v - (v >> 4) + (v >> 7) + d) >> 4, green 6-bit = (4v - (v >> 4) +
//   (v >> 6) + d) >> 4, d from the matrix at (x & 3, y & 3); without dithering v >> 3, v >> 2.
#include "Dither.h"
#include "GlideTestSupport.h"

using namespace GlideTest;

namespace
{
struct PackCase
{
    int v;
    int d;
    int nRedBlue5;
    int nGreen6;
};

class GlideDitherPack : public ::testing::TestWithParam<PackCase>
{
};

TEST_P(GlideDitherPack, RoundsByTheChipFormula)
{
    const PackCase& c = GetParam();
    EXPECT_EQ(Dither::RedBlue5(c.v, c.d), c.nRedBlue5) << "v " << c.v << " d " << c.d;
    EXPECT_EQ(Dither::Green6(c.v, c.d), c.nGreen6) << "v " << c.v << " d " << c.d;
}

// v = 100: 2v - 6 + 0 = 194, 4v - 6 + 1 = 395; v = 255: 510 - 15 + 1 = 496, 1020 - 15 + 3 =
// 1008; v = 8: 16 - 0 + 0 = 16, 32 - 0 + 0 = 32; v = 129: 258 - 8 + 1 = 251, 516 - 8 + 2 = 510.
INSTANTIATE_TEST_SUITE_P(Values, GlideDitherPack,
                         ::testing::Values(PackCase{100, 0, 12, 24}, PackCase{100, 4, 12, 24},
                                           PackCase{100, 5, 12, 25}, PackCase{100, 13, 12, 25},
                                           PackCase{100, 14, 13, 25}, PackCase{100, 15, 13, 25},
                                           PackCase{255, 0, 31, 63}, PackCase{255, 15, 31, 63},
                                           PackCase{0, 15, 0, 0}, PackCase{8, 0, 1, 2},
                                           PackCase{8, 15, 1, 2}, PackCase{129, 4, 15, 32},
                                           PackCase{129, 5, 16, 32}, PackCase{129, 1, 15, 31},
                                           PackCase{129, 2, 15, 32}));

// Expected 565 pixels of a flat (100, 100, 100) area at x, y = 0..3: red and blue are 13 where
// d >= 14, else 12; green is 25 where d >= 5, else 24.
std::uint16_t Grey100(int d)
{
    const int nRB = d >= 14 ? 13 : 12;
    return Rgb565(nRB, d >= 5 ? 25 : 24, nRB);
}

const int g_anMatrix4x4[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
const int g_anMatrix2x2[4][4] = {{2, 10, 2, 10}, {14, 6, 14, 6}, {2, 10, 2, 10}, {14, 6, 14, 6}};

void FlatGrey()
{
    grConstantColorValue(0x00646464u); // ARGB (100, 100, 100)
    guColorCombineFunction(GR_COLORCOMBINE_CCRGB);
}

TEST(GlideDither, FourByFourMatrixByScreenPosition)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    FlatGrey();
    grDitherMode(GR_DITHER_4x4);
    DrawRect(0, 0, 16, 16);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(board.Pixel(x, y), Grey100(g_anMatrix4x4[y & 3][x & 3]))
                << "x " << x << " y " << y;
}

TEST(GlideDither, TwoByTwoMatrix)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    FlatGrey();
    grDitherMode(GR_DITHER_2x2);
    DrawRect(3, 5, 11, 13);
    for (int y = 5; y < 13; ++y)
        for (int x = 3; x < 11; ++x)
            EXPECT_EQ(board.Pixel(x, y), Grey100(g_anMatrix2x2[y & 3][x & 3]))
                << "x " << x << " y " << y;
}

TEST(GlideDither, OffTruncates)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    FlatGrey();
    grDitherMode(GR_DITHER_DISABLE);
    DrawRect(0, 0, 8, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(board.Pixel(x, y), Rgb565(12, 25, 12));
}

TEST(GlideDither, FourByFourIsTheDefaultAfterOpen)
{
    ScopedEnv board("GLIDE_SW_BOARD", "voodoo");
    grGlideInit();
    ASSERT_TRUE(grSstWinOpen(0, GR_RESOLUTION_320x240, GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB,
                             GR_ORIGIN_UPPER_LEFT, 2, 0));
    FlatGrey();
    DrawRect(0, 0, 4, 4);
    std::uint16_t an[16];
    ASSERT_TRUE(grLfbReadRegion(GR_BUFFER_BACKBUFFER, 0, 0, 4, 4, 8, an));
    for (int k = 0; k < 16; ++k)
        EXPECT_EQ(an[k], Grey100(g_anMatrix4x4[k / 4][k % 4])) << k;
    grGlideShutdown();
}

TEST(GlideDither, ClearIsDitheredLikePixels)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    grDitherMode(GR_DITHER_4x4);
    grBufferClear(0x00646464u, 0, 0);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(board.Pixel(x + 100, y + 60), Grey100(g_anMatrix4x4[y][x]));
    grDitherMode(GR_DITHER_DISABLE);
    grBufferClear(0x00646464u, 0, 0);
    EXPECT_EQ(board.Pixel(7, 7), Rgb565(12, 25, 12));
}

TEST(GlideDither, FullAndZeroAreExactUnderEveryMatrix)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    for (GrDitherMode_t eMode : {GR_DITHER_DISABLE, GR_DITHER_2x2, GR_DITHER_4x4})
    {
        grDitherMode(eMode);
        grConstantColorValue(0x00FF00FFu); // red 255, green 0, blue 255
        guColorCombineFunction(GR_COLORCOMBINE_CCRGB);
        DrawRect(0, 0, 8, 8);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                EXPECT_EQ(board.Pixel(x, y), Rgb565(31, 0, 31)) << eMode;
    }
}

TEST(GlideDither, PackStaysInRangeAndUsesTheMatrixAtItsPosition)
{
    for (int v = 0; v < 256; ++v)
        for (int d = 0; d < 16; ++d)
        {
            // The rounding never leaves the 5- and 6-bit ranges.
            const int r = Dither::RedBlue5(v, d), g = Dither::Green6(v, d);
            ASSERT_GE(r, 0);
            ASSERT_LE(r, 31);
            ASSERT_GE(g, 0);
            ASSERT_LE(g, 63);
        }
    EXPECT_EQ(Dither::Pack(100, 100, 100, 2, 1, DitherMode::Dither4x4), Grey100(14));
    EXPECT_EQ(Dither::Pack(100, 100, 100, 0, 3, DitherMode::Dither4x4), Grey100(15));
    EXPECT_EQ(Dither::Pack(100, 100, 100, 1, 1, DitherMode::Dither2x2), Grey100(6));
    EXPECT_EQ(Dither::Pack(100, 100, 100, 3, 3, DitherMode::Disabled), Rgb565(12, 25, 12));
}
} // namespace
