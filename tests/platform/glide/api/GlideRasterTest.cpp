// Rasterisation: which pixels a triangle lights (pixel centres, the fill rule, 1/16-pixel
// vertices), culling by signed area, points, lines, the clip window and the origin.
#include "GlideTestSupport.h"
#include <cstdint>
#include <set>
#include <utility>
#include <vector>

using namespace GlideTest;

namespace
{
// Every drawn pixel adds 8 to red (red5 + 1) with dithering off, so a pixel's red5 is the
// number of times it was drawn.
void CountCoverage()
{
    grConstantColorValue(0x00080000u); // ARGB: red 8
    guColorCombineFunction(GR_COLORCOMBINE_CCRGB);
    grAlphaBlendFunction(GR_BLEND_ONE, GR_BLEND_ONE, GR_BLEND_ONE, GR_BLEND_ZERO);
}

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

void Triangle(float ax, float ay, float bx, float by, float cx, float cy)
{
    const GrVertex a = Vertex(ax, ay), b = Vertex(bx, by), c = Vertex(cx, cy);
    grDrawTriangle(&a, &b, &c);
}

TEST(GlideFillRule, SmallTrianglesLightTheCentresInside)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    CountCoverage();
    // (0,0) (4,0) (0,4): row j holds the centres x + 0.5 < 4 - (j + 0.5); the centre (3.5, 0.5)
    // lies on the right edge and is not drawn.
    Triangle(0, 0, 4, 0, 0, 4);
    const std::set<std::pair<int, int>> expected = {{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {0, 2}};
    EXPECT_EQ(Lit(board), expected);
}

TEST(GlideFillRule, HorizontalEdgesAtLowerYAreInsideAtHigherYOutside)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    CountCoverage();
    // Top edge y = 0.5 runs through row 0's centres: drawn. Right edge x = 4 - 2 (y - 0.5):
    // row 0 takes x < 4 (0..3), row 1 x < 2 (0, 1); the bottom vertex's row 2 is not drawn.
    Triangle(0, 0.5f, 4, 0.5f, 0, 2.5f);
    std::set<std::pair<int, int>> expected = {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {0, 1}, {1, 1}};
    EXPECT_EQ(Lit(board), expected);

    grBufferClear(0, 0, 0);
    // Bottom edge y = 2.5 through row 2's centres: not drawn. Row 0 is empty (right edge at
    // x = 0), row 1 takes x < 2.
    Triangle(0, 2.5f, 4, 2.5f, 0, 0.5f);
    expected = {{0, 1}, {1, 1}};
    EXPECT_EQ(Lit(board), expected);
}

TEST(GlideFillRule, ZeroAreaDrawsNothing)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    CountCoverage();
    Triangle(0, 0, 10, 10, 20, 20);   // collinear
    Triangle(5, 5, 5, 5, 5, 5);       // a single point
    Triangle(0, 8, 10, 8.01f, 20, 8); // collinear once y is snapped to 1/16
    EXPECT_TRUE(Lit(board).empty());
}

TEST(GlideFillRule, VerticesSnapToSixteenthsOfAPixel)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    CountCoverage();
    // A rectangle [0, X) x [0, 2): the centre 3.5 of column 3 is drawn only when the snapped
    // right edge lies beyond it. 3.49 snaps to 56/16 = 3.5 (on the edge: not drawn); 3.53 to
    // 56.48 -> 56 (the same); 3.54 to 56.64 -> 57 = 3.5625 (drawn).
    const float afX[] = {3.49f, 3.53f, 3.54f};
    const bool abDrawn[] = {false, false, true};
    for (int k = 0; k < 3; ++k)
    {
        grBufferClear(0, 0, 0);
        DrawRect(0, 0, afX[k], 2);
        EXPECT_EQ(board.Pixel(2, 1), Rgb565(1, 0, 0)) << afX[k];
        EXPECT_EQ(board.Pixel(3, 1), abDrawn[k] ? Rgb565(1, 0, 0) : 0) << afX[k];
    }
}

// A deterministic sequence for vertex jitter in 1/16 steps.
struct Lcg
{
    std::uint32_t n = 12345;
    int Next(int nRange)
    {
        n = n * 1103515245u + 12345u;
        return int((n >> 16) % std::uint32_t(nRange));
    }
};

TEST(GlideFillRule, AMeshCoversEveryPixelExactlyOnce)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    CountCoverage();
    // A 12 x 9 grid over the rectangle [20, 200) x [20, 146): boundary vertices stay on the
    // rectangle, inner ones move by up to +-5 pixels in 1/16 steps (many edges then run through
    // pixel centres). Cells are split along alternating diagonals and drawn in both windings.
    const int nColumns = 12, nRows = 9;
    std::vector<float> afX, afY;
    Lcg lcg;
    for (int j = 0; j <= nRows; ++j)
        for (int i = 0; i <= nColumns; ++i)
        {
            float x = 20.0f + 15.0f * i, y = 20.0f + 14.0f * j;
            if (i > 0 && i < nColumns)
                x += (lcg.Next(161) - 80) / 16.0f;
            if (j > 0 && j < nRows)
                y += (lcg.Next(161) - 80) / 16.0f;
            if (i > 0 && i < nColumns && lcg.Next(3) == 0)
                x = float(int(x)) + 0.5f; // exactly on a pixel centre column
            afX.push_back(x);
            afY.push_back(y);
        }
    auto at = [&](int i, int j) { return size_t(j * (nColumns + 1) + i); };
    for (int j = 0; j < nRows; ++j)
        for (int i = 0; i < nColumns; ++i)
        {
            const size_t a = at(i, j), b = at(i + 1, j), c = at(i + 1, j + 1), d = at(i, j + 1);
            if ((i + j) % 2 == 0)
            {
                Triangle(afX[a], afY[a], afX[b], afY[b], afX[c], afY[c]);
                Triangle(afX[a], afY[a], afX[d], afY[d], afX[c], afY[c]);
            }
            else
            {
                Triangle(afX[b], afY[b], afX[d], afY[d], afX[a], afY[a]);
                Triangle(afX[b], afY[b], afX[c], afY[c], afX[d], afY[d]);
            }
        }
    const std::vector<std::uint16_t> pixels = board.Read();
    int nWrong = 0;
    for (int y = 0; y < board.Height(); ++y)
        for (int x = 0; x < board.Width(); ++x)
        {
            const bool bInside = x >= 20 && x < 200 && y >= 20 && y < 146;
            const int nCount = Red5(pixels[size_t(y * board.Width() + x)]);
            if (nCount != (bInside ? 1 : 0) && ++nWrong < 10)
                ADD_FAILURE() << "pixel (" << x << ", " << y << ") drawn " << nCount << " times";
        }
    EXPECT_EQ(nWrong, 0);
}

TEST(GlideFillRule, AFanAroundAPixelCentreCoversItsSquareOnce)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    CountCoverage();
    // Centre (100.5, 100.5); the rim walks the square [60, 140)^2 through its corners and
    // points at 1/16 positions in between.
    const float afRim[][2] = {{60, 60},      {83.3125f, 60}, {100.5f, 60}, {140, 60},
                              {140, 77.5f},  {140, 100.5f},  {140, 140},   {117.0625f, 140},
                              {100.5f, 140}, {60, 140},      {60, 121.5f}, {60, 100.5f}};
    const int nRim = int(sizeof(afRim) / sizeof(afRim[0]));
    for (int k = 0; k < nRim; ++k)
    {
        const int m = (k + 1) % nRim;
        Triangle(100.5f, 100.5f, afRim[k][0], afRim[k][1], afRim[m][0], afRim[m][1]);
    }
    const std::vector<std::uint16_t> pixels = board.Read();
    int nWrong = 0;
    for (int y = 40; y < 160; ++y)
        for (int x = 40; x < 160; ++x)
        {
            const bool bInside = x >= 60 && x < 140 && y >= 60 && y < 140;
            nWrong += Red5(pixels[size_t(y * board.Width() + x)]) != (bInside ? 1 : 0);
        }
    EXPECT_EQ(nWrong, 0);
}

struct CullCase
{
    GrCullMode_t eMode;
    bool bPositiveArea; // (b - a) x (c - a) > 0: clockwise on screen with the upper-left origin
    bool bDrawn;
};

class GlideCull : public ::testing::TestWithParam<CullCase>
{
};

TEST_P(GlideCull, RejectsBySignedArea)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    CountCoverage();
    grCullMode(GetParam().eMode);
    // (10,10) (20,10) (10,20): area (20-10)(20-10) - (10-10)(10-10) = 100 > 0.
    if (GetParam().bPositiveArea)
        Triangle(10, 10, 20, 10, 10, 20);
    else
        Triangle(10, 10, 10, 20, 20, 10);
    EXPECT_EQ(board.Pixel(12, 12) != 0, GetParam().bDrawn);
}

INSTANTIATE_TEST_SUITE_P(Modes, GlideCull,
                         ::testing::Values(CullCase{GR_CULL_DISABLE, true, true},
                                           CullCase{GR_CULL_DISABLE, false, true},
                                           CullCase{GR_CULL_NEGATIVE, true, true},
                                           CullCase{GR_CULL_NEGATIVE, false, false},
                                           CullCase{GR_CULL_POSITIVE, true, false},
                                           CullCase{GR_CULL_POSITIVE, false, true}));

TEST(GlideCull, PointsAndLinesAreNeverCulled)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    CountCoverage();
    for (GrCullMode_t eMode : {GR_CULL_NEGATIVE, GR_CULL_POSITIVE})
    {
        grBufferClear(0, 0, 0);
        grCullMode(eMode);
        const GrVertex p = Vertex(5.5f, 5.5f);
        grDrawPoint(&p);
        const GrVertex a = Vertex(10.5f, 30.5f), b = Vertex(20.5f, 30.5f);
        grDrawLine(&a, &b);
        grDrawLine(&b, &a);
        EXPECT_EQ(board.Pixel(5, 5), Rgb565(1, 0, 0));
        EXPECT_EQ(board.Pixel(15, 30), Rgb565(2, 0, 0));
    }
}

TEST(GlidePoint, LightsExactlyThePixelItFallsIn)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    CountCoverage();
    GrVertex p = Vertex(10.3f, 20.9f);
    grDrawPoint(&p);
    // 10.97 rounds to 176/16 = 11.0: pixel 11.
    p = Vertex(10.97f, 5.0f);
    grDrawPoint(&p);
    const std::set<std::pair<int, int>> expected = {{10, 20}, {11, 5}};
    EXPECT_EQ(Lit(board), expected);
}

TEST(GlideLine, IsAOnePixelWideParallelogram)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    CountCoverage();
    // x-major from (10.5, 30.5) to (20.5, 30.5): the quad [10.5, 20.5) x [30, 31) holds the
    // centres of pixels 10..19 of row 30; the last pixel (20) is not drawn.
    GrVertex a = Vertex(10.5f, 30.5f), b = Vertex(20.5f, 30.5f);
    grDrawLine(&a, &b);
    std::set<std::pair<int, int>> expected;
    for (int x = 10; x < 20; ++x)
        expected.insert({x, 30});
    EXPECT_EQ(Lit(board), expected);

    grBufferClear(0, 0, 0);
    // y-major from (50.5, 10.5) to (50.5, 14.5): pixels 10..13 of column 50.
    a = Vertex(50.5f, 10.5f);
    b = Vertex(50.5f, 14.5f);
    grDrawLine(&a, &b);
    expected = {{50, 10}, {50, 11}, {50, 12}, {50, 13}};
    EXPECT_EQ(Lit(board), expected);
}

TEST(GlideClip, DrawingAndClearingStayInsideTheClipWindow)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    CountCoverage();
    grClipWindow(10, 20, 30, 40);
    DrawRect(0, 0, 320, 240);
    std::set<std::pair<int, int>> expected;
    for (int y = 20; y < 40; ++y)
        for (int x = 10; x < 30; ++x)
            expected.insert({x, y});
    EXPECT_EQ(Lit(board), expected);

    grClipWindow(0, 0, 320, 240);
    grBufferClear(0, 0, 0);
    grClipWindow(100, 100, 102, 101);
    grBufferClear(0x00FFFFFFu, 0, 0);
    expected = {{100, 100}, {101, 100}};
    EXPECT_EQ(Lit(board), expected);
}

TEST(GlideClip, OutOfRangeWindowsAreKeptOnTheScreen)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    CountCoverage();
    grClipWindow(300, 230, 5000, 5000);
    DrawRect(-100, -100, 1000, 1000);
    EXPECT_EQ(Lit(board).size(), size_t(20 * 10));
    grBufferClear(0, 0, 0);
    grClipWindow(50, 50, 40, 40); // inverted: empty
    DrawRect(0, 0, 320, 240);
    EXPECT_TRUE(Lit(board).empty());
}

TEST(GlideOrigin, LowerLeftPutsYZeroAtTheBottom)
{
    Board board("voodoo", GR_RESOLUTION_320x240, 0, GR_ORIGIN_LOWER_LEFT);
    ASSERT_TRUE(board.IsOpen());
    CountCoverage();
    DrawRect(0, 0, 10, 5);
    // Read back top row first: the rectangle is in the bottom five rows.
    std::set<std::pair<int, int>> expected;
    for (int y = 235; y < 240; ++y)
        for (int x = 0; x < 10; ++x)
            expected.insert({x, y});
    EXPECT_EQ(Lit(board), expected);

    // The clip window is in the same coordinates.
    grBufferClear(0, 0, 0);
    grClipWindow(0, 0, 2, 1);
    DrawRect(0, 0, 320, 240);
    expected = {{0, 239}, {1, 239}};
    EXPECT_EQ(Lit(board), expected);

    // grSstOrigin switches back to y growing downwards.
    grClipWindow(0, 0, 320, 240);
    grBufferClear(0, 0, 0);
    grSstOrigin(GR_ORIGIN_UPPER_LEFT);
    DrawRect(0, 0, 1, 1);
    expected = {{0, 0}};
    EXPECT_EQ(Lit(board), expected);
}

TEST(GlidePolygon, FansCoverLikeTheirTriangles)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    CountCoverage();
    const GrVertex aVertices[] = {Vertex(10, 10), Vertex(30, 10), Vertex(30, 20), Vertex(10, 20)};
    grDrawPolygonVertexList(4, aVertices);
    const int aIndices[] = {3, 2, 1, 0};
    grClipWindow(0, 30, 320, 240);
    grDrawPolygon(4, aIndices, aVertices); // clipped away entirely
    grClipWindow(0, 0, 320, 240);
    const std::vector<std::uint16_t> pixels = board.Read();
    int nOnce = 0, nOther = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
        {
            const int nCount = Red5(pixels[size_t(y * board.Width() + x)]);
            const bool bInside = x >= 10 && x < 30 && y >= 10 && y < 20;
            (nCount == (bInside ? 1 : 0) ? nOnce : nOther)++;
        }
    EXPECT_EQ(nOther, 0);
    EXPECT_EQ(nOnce, 40 * 40);
}

TEST(GlidePolygon, ClippedDrawingMatchesTheClipWindow)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    CountCoverage();
    grClipWindow(0, 0, 100, 100);
    // A triangle far beyond the window: the gu clipper cuts it to the window first.
    const GrVertex a = Vertex(-5000, -5000), b = Vertex(15000, -5000), c = Vertex(-5000, 15000);
    guDrawTriangleWithClip(&a, &b, &c);
    std::set<std::pair<int, int>> expected;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x)
            expected.insert({x, y});
    EXPECT_EQ(Lit(board), expected);
}
} // namespace
