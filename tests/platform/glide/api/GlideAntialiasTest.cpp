// The antialiased drawing calls: the primitive as the plain call draws it, plus a fringe one
// pixel wide outside each edge the call names, whose alpha falls linearly from the vertex alpha
// to zero; points and lines get the same falling alpha around their centre.
//
// Most cases show the iterated alpha as the colour (grey level = alpha, no blending), so a
// pixel's grey tells its alpha. Alpha along a fringe is planar: with the edge on integer
// coordinates the pixel centre half a pixel out has 255 / 2 = 127.5, which the 12.12 iterator
// truncates to 127.
#include "GlideTestSupport.h"
#include <cstdint>
#include <set>
#include <utility>
#include <vector>

using namespace GlideTest;

namespace
{
const std::uint16_t Half = Truncated(127, 127, 127); // 565 (15, 31, 15)
const std::uint16_t Full = Truncated(255, 255, 255); // 0xFFFF
const std::uint16_t Quarter = Truncated(63, 63, 63); // 565 (7, 15, 7)

void ShowIteratedAlpha()
{
    grColorCombine(GR_COMBINE_FUNCTION_LOCAL_ALPHA, GR_COMBINE_FACTOR_NONE,
                   GR_COMBINE_LOCAL_ITERATED, GR_COMBINE_OTHER_NONE, FXFALSE);
    grAlphaCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_ITERATED,
                   GR_COMBINE_OTHER_NONE, FXFALSE);
}

GrVertex Opaque(float x, float y)
{
    return Vertex(x, y, 255, 255, 255, 255);
}

// Every pixel of the picture that is not zero, with its value.
std::vector<std::pair<std::pair<int, int>, std::uint16_t>> Drawn(const Board& board)
{
    std::vector<std::pair<std::pair<int, int>, std::uint16_t>> drawn;
    const std::vector<std::uint16_t> pixels = board.Read();
    for (int y = 0; y < board.Height(); ++y)
        for (int x = 0; x < board.Width(); ++x)
            if (pixels[size_t(y * board.Width() + x)] != 0)
                drawn.push_back({{x, y}, pixels[size_t(y * board.Width() + x)]});
    return drawn;
}

// The right triangle a (10, 10), b (50, 10), c (10, 50): its top edge ab and left edge ca lie
// on pixel boundaries, its hypotenuse bc on x + y = 60.
const GrVertex g_A = Opaque(10, 10), g_B = Opaque(50, 10), g_C = Opaque(10, 50);

TEST(GlideAntialiasTriangle, WithNoEdgeNamedItIsThePlainTriangle)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    ShowIteratedAlpha();
    grDrawTriangle(&g_A, &g_B, &g_C);
    const std::vector<std::uint16_t> plain = board.Read();
    grBufferClear(0, 0, 0);
    grAADrawTriangle(&g_A, &g_B, &g_C, FXFALSE, FXFALSE, FXFALSE);
    EXPECT_EQ(board.Read(), plain);
}

TEST(GlideAntialiasTriangle, FringesLieOutsideTheNamedEdgesWithFallingAlpha)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    ShowIteratedAlpha();
    grDrawTriangle(&g_A, &g_B, &g_C);
    const std::vector<std::uint16_t> plain = board.Read();
    grBufferClear(0, 0, 0);
    grAADrawTriangle(&g_A, &g_B, &g_C, FXTRUE, FXTRUE, FXTRUE);
    const std::vector<std::uint16_t> aa = board.Read();
    // Every pixel of the plain triangle keeps its value: the fringes lie outside.
    for (size_t i = 0; i < plain.size(); ++i)
    {
        if (plain[i] != 0)
        {
            ASSERT_EQ(aa[i], plain[i]) << "pixel " << i % 320 << ", " << i / 320;
        }
    }
    // Above ab: row 9 (centre 9.5) half-way through the fringe, for the columns of the edge.
    for (int x = 10; x < 50; ++x)
        EXPECT_EQ(board.Pixel(x, 9), Half) << "x " << x;
    // Left of ca: column 9 for the rows of the edge.
    for (int y = 10; y < 50; ++y)
        EXPECT_EQ(board.Pixel(9, y), Half) << "y " << y;
    // Beyond one pixel nothing; the corner beside a (between two fringes) stays empty.
    EXPECT_EQ(board.Pixel(20, 8), 0);
    EXPECT_EQ(board.Pixel(8, 20), 0);
    EXPECT_EQ(board.Pixel(9, 9), 0);
    // bc is x-major (|dx| = |dy|), so its fringe lies one pixel below it. The centres on
    // x + y = 60 are on the triangle's right edge, left out of it by the fill rule, and on
    // the fringe's left edge, at full alpha; those on x + y = 61 are on the fringe's outer
    // (right) edge and stay empty.
    for (int x = 12; x < 49; ++x)
    {
        EXPECT_EQ(plain[size_t((59 - x) * 320 + x)], 0) << "x " << x;
        EXPECT_EQ(board.Pixel(x, 59 - x), Full) << "x " << x;
        EXPECT_EQ(board.Pixel(x, 60 - x), 0) << "x " << x;
    }
}

TEST(GlideAntialiasTriangle, OnlyTheNamedEdgesGetAFringe)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    ShowIteratedAlpha();
    // bc and ca named: no fringe above ab.
    grAADrawTriangle(&g_A, &g_B, &g_C, FXFALSE, FXTRUE, FXTRUE);
    EXPECT_EQ(board.Pixel(20, 9), 0);
    EXPECT_EQ(board.Pixel(9, 20), Half);
    EXPECT_EQ(board.Pixel(30, 29), Full);
    grBufferClear(0, 0, 0);
    // Only ab: the flags follow the vertex order, so after turning the triangle over
    // (a, c, b) the first edge is ac, the left one.
    grAADrawTriangle(&g_A, &g_C, &g_B, FXTRUE, FXFALSE, FXFALSE);
    EXPECT_EQ(board.Pixel(9, 20), Half);
    EXPECT_EQ(board.Pixel(20, 9), 0);
    EXPECT_EQ(board.Pixel(30, 29), 0);
}

TEST(GlideAntialiasTriangle, BothWindingsGiveTheSamePictureAndCullingDropsTheFringesToo)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    ShowIteratedAlpha();
    grAADrawTriangle(&g_A, &g_B, &g_C, FXTRUE, FXTRUE, FXTRUE);
    const std::vector<std::uint16_t> clockwise = board.Read();
    grBufferClear(0, 0, 0);
    grAADrawTriangle(&g_A, &g_C, &g_B, FXTRUE, FXTRUE, FXTRUE);
    EXPECT_EQ(board.Read(), clockwise);
    // a, b, c runs clockwise on the screen (positive area): GR_CULL_POSITIVE rejects it with
    // its fringes; GR_CULL_NEGATIVE keeps it, and its fringes whatever their own winding.
    grBufferClear(0, 0, 0);
    grCullMode(GR_CULL_POSITIVE);
    grAADrawTriangle(&g_A, &g_B, &g_C, FXTRUE, FXTRUE, FXTRUE);
    EXPECT_TRUE(Drawn(board).empty());
    grCullMode(GR_CULL_NEGATIVE);
    grAADrawTriangle(&g_A, &g_B, &g_C, FXTRUE, FXTRUE, FXTRUE);
    EXPECT_EQ(board.Read(), clockwise);
}

TEST(GlideAntialiasTriangle, TheFringeFadesThroughAlphaBlending)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    guColorCombineFunction(GR_COLORCOMBINE_ITRGB);
    guAlphaSource(GR_ALPHASOURCE_ITERATED_ALPHA);
    grAlphaBlendFunction(GR_BLEND_SRC_ALPHA, GR_BLEND_ONE_MINUS_SRC_ALPHA, GR_BLEND_ONE,
                         GR_BLEND_ZERO);
    grBufferClear(0x00808080u, 0, 0); // grey 128: 565 (16, 32, 16)
    grAADrawTriangle(&g_A, &g_B, &g_C, FXTRUE, FXFALSE, FXFALSE);
    // Inside, alpha 255: (255 * 256) >> 8 = 255 and (dst * (0 + 1)) >> 8 = 0: white.
    EXPECT_EQ(board.Pixel(20, 20), Full);
    // Row 9, alpha 127: source (255 * 128) >> 8 = 127; destination factor 255 - 127 = 128,
    // red and blue 16 widen to 132, green 32 to 130: (132 * 129) >> 8 = 66 and
    // (130 * 129) >> 8 = 65, so red = blue = 193 (5 bits: 24) and green 192 (6 bits: 48).
    EXPECT_EQ(board.Pixel(20, 9), Rgb565(24, 48, 24));
    EXPECT_EQ(board.Pixel(20, 8), Rgb565(16, 32, 16));
}

TEST(GlideAntialiasPolygon, FringesFollowTheOutlineNotTheFan)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    ShowIteratedAlpha();
    // The square [10, 30) x [10, 30), in both windings and through both calls.
    const GrVertex aSquare[4] = {Opaque(10, 10), Opaque(30, 10), Opaque(30, 30), Opaque(10, 30)};
    const GrVertex aReversed[4] = {aSquare[3], aSquare[2], aSquare[1], aSquare[0]};
    const int anOrder[4] = {2, 3, 0, 1};
    for (int nCase = 0; nCase < 3; ++nCase)
    {
        grBufferClear(0, 0, 0);
        if (nCase == 0)
            grAADrawPolygonVertexList(4, aSquare);
        else if (nCase == 1)
            grAADrawPolygonVertexList(4, aReversed);
        else
            grAADrawPolygon(4, anOrder, aSquare);
        for (int i = 0; i < 20; ++i)
        {
            EXPECT_EQ(board.Pixel(10 + i, 9), Half) << "top, case " << nCase;
            EXPECT_EQ(board.Pixel(10 + i, 30), Half) << "bottom, case " << nCase;
            EXPECT_EQ(board.Pixel(9, 10 + i), Half) << "left, case " << nCase;
            EXPECT_EQ(board.Pixel(30, 10 + i), Half) << "right, case " << nCase;
            for (int j = 0; j < 20; ++j)
                ASSERT_EQ(board.Pixel(10 + i, 10 + j), Full) << "inside, case " << nCase;
        }
        EXPECT_EQ(Drawn(board).size(), 20u * 20u + 4u * 20u) << "case " << nCase;
    }
}

TEST(GlideAntialiasPolygon, TheClippingCallFringesOnlyInsideTheClipWindow)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    ShowIteratedAlpha();
    grClipWindow(20, 20, 60, 60);
    // Top edge y = 30 crosses the window; the other edges lie outside it.
    const GrVertex a = Opaque(0, 30), b = Opaque(200, 30), c = Opaque(0, 230);
    guAADrawTriangleWithClip(&a, &b, &c);
    for (int x = 20; x < 60; ++x)
    {
        EXPECT_EQ(board.Pixel(x, 29), Half) << "x " << x;
        EXPECT_EQ(board.Pixel(x, 45), Full) << "x " << x;
    }
    EXPECT_EQ(Drawn(board).size(), 40u * 30u + 40u);
}

TEST(GlideAntialiasLine, AlphaFallsToZeroOnePixelEitherSide)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    ShowIteratedAlpha();
    // Along row 20's centres: row 20 at full alpha; rows 19 and 21 lie on the outer edges
    // (alpha 0 there). Columns 10..29, as a plain line ends.
    GrVertex a = Opaque(10.5f, 20.5f), b = Opaque(30.5f, 20.5f);
    grAADrawLine(&a, &b);
    std::set<std::pair<int, int>> lit;
    for (const auto& pixel : Drawn(board))
    {
        lit.insert(pixel.first);
        EXPECT_EQ(pixel.second, Full);
    }
    std::set<std::pair<int, int>> expected;
    for (int x = 10; x < 30; ++x)
        expected.insert({x, 20});
    EXPECT_EQ(lit, expected);

    // A quarter of a pixel lower, y = 20.75: row 20's centre is 0.25 away (alpha 191.25),
    // row 21's 0.75 away (alpha 63.75).
    grBufferClear(0, 0, 0);
    a = Opaque(10.5f, 20.75f);
    b = Opaque(30.5f, 20.75f);
    grAADrawLine(&a, &b);
    EXPECT_EQ(board.Pixel(15, 20), Truncated(191, 191, 191));
    EXPECT_EQ(board.Pixel(15, 21), Quarter);
    EXPECT_EQ(board.Pixel(15, 19), 0);
    EXPECT_EQ(board.Pixel(15, 22), 0);

    // y-major, on the boundary between columns 49 and 50: both half.
    grBufferClear(0, 0, 0);
    a = Opaque(50, 100.5f);
    b = Opaque(50, 110.5f);
    grAADrawLine(&a, &b);
    for (int y = 100; y < 110; ++y)
    {
        EXPECT_EQ(board.Pixel(49, y), Half) << "y " << y;
        EXPECT_EQ(board.Pixel(50, y), Half) << "y " << y;
    }
    EXPECT_EQ(Drawn(board).size(), 20u);
}

TEST(GlideAntialiasPoint, CoverageMatchesThePixelSquaresOverlap)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    ShowIteratedAlpha();
    // At a pixel centre: that pixel only, at full alpha.
    GrVertex p = Opaque(40.5f, 60.5f);
    grAADrawPoint(&p);
    std::vector<std::pair<std::pair<int, int>, std::uint16_t>> expected = {{{40, 60}, Full}};
    EXPECT_EQ(Drawn(board), expected);
    // Between two pixels: half each.
    grBufferClear(0, 0, 0);
    p = Opaque(40.0f, 60.5f);
    grAADrawPoint(&p);
    expected = {{{39, 60}, Half}, {{40, 60}, Half}};
    EXPECT_EQ(Drawn(board), expected);
    // On a pixel corner: a quarter (63.75) each of four.
    grBufferClear(0, 0, 0);
    p = Opaque(40.0f, 60.0f);
    grAADrawPoint(&p);
    expected = {{{39, 59}, Quarter}, {{40, 59}, Quarter}, {{39, 60}, Quarter}, {{40, 60}, Quarter}};
    EXPECT_EQ(Drawn(board), expected);
}

TEST(GlideAntialiasPoint, AlphasAddUpToThePointsAlphaWhereverItLies)
{
    // The alpha buffer keeps the exact 8-bit alphas: each of the at most four pixels within a
    // pixel of the point loses less than one to truncation.
    Board board("voodoo", GR_RESOLUTION_320x240, 1);
    ASSERT_TRUE(board.IsOpen());
    ShowIteratedAlpha();
    grColorMask(FXTRUE, FXTRUE);
    for (int i = 0; i < 16; ++i)
        for (int j = 0; j < 16; j += 3)
        {
            grBufferClear(0, 0, 0);
            const GrVertex p = Opaque(100.0f + i / 16.0f, 100.0f + j / 16.0f);
            grAADrawPoint(&p);
            const std::vector<std::uint16_t> alpha = board.Read(GR_BUFFER_AUXBUFFER);
            int nSum = 0, nTouched = 0;
            for (std::uint16_t n : alpha)
            {
                nSum += n & 0xFF;
                nTouched += n != 0;
            }
            EXPECT_LE(nSum, 255) << i << "/16, " << j << "/16";
            EXPECT_GE(nSum, 255 - 4) << i << "/16, " << j << "/16";
            EXPECT_LE(nTouched, 4) << i << "/16, " << j << "/16";
        }
}

TEST(GlideAntialias, WorksWithTheSnapBiasAndIgnoresNullVertices)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    ShowIteratedAlpha();
    grAADrawTriangle(&g_A, &g_B, &g_C, FXTRUE, FXTRUE, FXTRUE);
    const GrVertex p = Opaque(100.0f, 100.5f);
    grAADrawPoint(&p);
    const std::vector<std::uint16_t> unbiased = board.Read();
    grBufferClear(0, 0, 0);
    const float fBias = float(3 << 18);
    const GrVertex a = Opaque(10 + fBias, 10 + fBias), b = Opaque(50 + fBias, 10 + fBias),
                   c = Opaque(10 + fBias, 50 + fBias), q = Opaque(100.0f + fBias, 100.5f + fBias);
    grAADrawTriangle(&a, &b, &c, FXTRUE, FXTRUE, FXTRUE);
    grAADrawPoint(&q);
    EXPECT_EQ(board.Read(), unbiased);

    grBufferClear(0, 0, 0);
    grAADrawTriangle(nullptr, &b, &c, FXTRUE, FXTRUE, FXTRUE);
    grAADrawLine(&a, nullptr);
    grAADrawPoint(nullptr);
    grAADrawPolygon(3, nullptr, &a);
    grAADrawPolygonVertexList(3, nullptr);
    grAADrawPolygonVertexList(2, &a);
    guAADrawTriangleWithClip(&a, &b, nullptr);
    EXPECT_TRUE(Drawn(board).empty());
}
} // namespace
