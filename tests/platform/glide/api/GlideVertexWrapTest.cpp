// Vertex positions as the chip keeps them: 12.4 fixed point in 16 bits, so whole multiples of
// 4096 pixels fall away. Programs that snap by adding (float)(3 << 18) and never subtract it
// again draw exactly what they would draw without it: triangles, points and lines alike.
#include "GlideTestSupport.h"
#include <cmath>
#include <cstdint>
#include <limits>
#include <set>
#include <utility>
#include <vector>

using namespace GlideTest;

namespace
{
constexpr float SnapBias = float(3 << 18); // 786432 = 192 * 4096

std::set<std::pair<int, int>> Lit(const Board& board)
{
    std::set<std::pair<int, int>> lit;
    const std::vector<std::uint16_t> pixels = board.Read();
    for (int y = 0; y < board.Height(); ++y)
        for (int x = 0; x < board.Width(); ++x)
            if (pixels[size_t(y * board.Width() + x)] != 0)
                lit.insert({x, y});
    return lit;
}

GrVertex Moved(GrVertex v, float dx, float dy)
{
    v.x += dx;
    v.y += dy;
    return v;
}

// A Gouraud triangle with edges through pixel centres and off them, moved by (dx, dy).
void ShadedTriangle(float dx, float dy)
{
    const GrVertex a = Moved(Vertex(12.25f, 7.5f, 255, 0, 0), dx, dy);
    const GrVertex b = Moved(Vertex(301.0625f, 40.75f, 0, 255, 0), dx, dy);
    const GrVertex c = Moved(Vertex(60.5f, 230.3125f, 0, 0, 255), dx, dy);
    grDrawTriangle(&a, &b, &c);
}

std::vector<std::uint16_t> ShadedPicture(Board& board, float dx, float dy)
{
    grBufferClear(0, 0, 0);
    ShadedTriangle(dx, dy);
    return board.Read();
}

TEST(GlideVertexWrap, ABiasedRectangleLightsThePixelsOfTheUnbiasedOne)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    grConstantColorValue(0x00FFFFFFu);
    guColorCombineFunction(GR_COLORCOMBINE_CCRGB);
    // [20, 220) x [10, 107): 200 columns of 97 rows = 19400 pixels.
    DrawRect(20, 10, 220, 107);
    const std::set<std::pair<int, int>> unbiased = Lit(board);
    EXPECT_EQ(unbiased.size(), 19400u);
    grBufferClear(0, 0, 0);
    DrawRect(20 + SnapBias, 10 + SnapBias, 220 + SnapBias, 107 + SnapBias);
    EXPECT_EQ(Lit(board), unbiased);
}

TEST(GlideVertexWrap, WholeMultiplesOf4096PixelsFallAwayWithTheirShading)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    const std::vector<std::uint16_t> plain = ShadedPicture(board, 0, 0);
    size_t nLit = 0;
    for (std::uint16_t n : plain)
        nLit += n != 0;
    ASSERT_GT(nLit, 20000u);
    // The usual biases, 3 * 2^18 and 2^19, and other multiples of 4096 either way.
    const float afShifts[][2] = {{SnapBias, SnapBias},
                                 {524288.0f, 524288.0f},
                                 {4096.0f, 0.0f},
                                 {0.0f, -8192.0f},
                                 {-12288.0f, 4096.0f}};
    for (const auto& shift : afShifts)
        EXPECT_EQ(ShadedPicture(board, shift[0], shift[1]), plain)
            << "moved by " << shift[0] << ", " << shift[1];
}

TEST(GlideVertexWrap, NegativePositionsStayAndPositionsPast2048WrapBelowZero)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    grConstantColorValue(0x00FFFFFFu);
    guColorCombineFunction(GR_COLORCOMBINE_CCRGB);
    // [-100, 10) x [0, 5) keeps its on-screen part: columns 0..9 of rows 0..4.
    DrawRect(-100, 0, 10, 5);
    std::set<std::pair<int, int>> expected;
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 10; ++x)
            expected.insert({x, y});
    EXPECT_EQ(Lit(board), expected);

    // [2100, 2110) is [-1996, -1986) to the chip: off the screen.
    grBufferClear(0, 0, 0);
    DrawRect(2100, 0, 2110, 5);
    EXPECT_TRUE(Lit(board).empty());

    // [4101, 4104) x [4096, 4098) is [5, 8) x [0, 2).
    DrawRect(4101, 4096, 4104, 4098);
    expected = {{5, 0}, {6, 0}, {7, 0}, {5, 1}, {6, 1}, {7, 1}};
    EXPECT_EQ(Lit(board), expected);
}

TEST(GlideVertexWrap, BiasedPointsAndLinesLightTheirUnbiasedPixels)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    grConstantColorValue(0x00FFFFFFu);
    guColorCombineFunction(GR_COLORCOMBINE_CCRGB);
    for (float fBias : {SnapBias, 0.0f})
    {
        grBufferClear(0, 0, 0);
        // A point at (10.3, 20.9) lights pixel (10, 20); an x-major line from (30.5, 50.5) to
        // (40.5, 52.5) lights one pixel per column 30..39; a y-major one from (100.5, 60.5)
        // to (100.5, 64.5) rows 60..63 of column 100.
        const GrVertex p = Vertex(10.3f + fBias, 20.9f + fBias);
        grDrawPoint(&p);
        const GrVertex a = Vertex(30.5f + fBias, 50.5f + fBias);
        const GrVertex b = Vertex(40.5f + fBias, 52.5f + fBias);
        grDrawLine(&a, &b);
        const GrVertex c = Vertex(100.5f + fBias, 60.5f + fBias);
        const GrVertex d = Vertex(100.5f + fBias, 64.5f + fBias);
        grDrawLine(&c, &d);
        const std::set<std::pair<int, int>> lit = Lit(board);
        EXPECT_EQ(lit.count({10, 20}), 1u) << "bias " << fBias;
        for (int y = 60; y < 64; ++y)
            EXPECT_EQ(lit.count({100, y}), 1u) << "bias " << fBias << " row " << y;
        int nLineColumns = 0;
        for (const auto& pixel : lit)
            nLineColumns += pixel.first >= 30 && pixel.first < 40;
        // The x-major line climbs 2 rows over 10 columns: rows 50 (x 30..32), 51 (33..37) and 52.
        EXPECT_EQ(nLineColumns, 10) << "bias " << fBias;
        EXPECT_EQ(lit.size(), 15u) << "bias " << fBias;
        EXPECT_EQ(lit.count({30, 50}), 1u);
        EXPECT_EQ(lit.count({35, 51}), 1u);
        EXPECT_EQ(lit.count({39, 52}), 1u);
    }
}

TEST(GlideVertexWrap, PositionsThatAreNotFiniteDrawNothing)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    grConstantColorValue(0x00FFFFFFu);
    guColorCombineFunction(GR_COLORCOMBINE_CCRGB);
    const float fInf = std::numeric_limits<float>::infinity();
    const GrVertex a = Vertex(10, 10), b = Vertex(fInf, 10), c = Vertex(10, -fInf);
    const GrVertex d = Vertex(std::nanf(""), 50), e = Vertex(100, 10);
    grDrawTriangle(&a, &b, &c);
    grDrawTriangle(&a, &e, &d);
    grDrawPoint(&b);
    grDrawLine(&a, &c);
    EXPECT_TRUE(Lit(board).empty());
}
} // namespace
