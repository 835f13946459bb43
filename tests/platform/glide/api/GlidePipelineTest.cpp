// The pixel pipeline around the combine units: Gouraud iterators, alpha test, chroma key,
// depth buffering, fog, write masks, the render buffer, and the state grSstWinOpen resets.
#include "GlideTestSupport.h"
#include <cstring>
#include <vector>

using namespace GlideTest;

namespace
{
TEST(GlideGouraud, ColoursArePlanarAndExactAtPixelCentres)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    // A (0.5, 0.5) = (0, 0, 255), B (64.5, 0.5) = (128, 0, 191), C (0.5, 64.5) = (0, 128, 191):
    // at pixel (x, y) the planes give r = 2x, g = 2y, b = 255 - x - y exactly (steps 2, 2 and
    // -1 are exact in 12.12).
    const GrVertex a = Vertex(0.5f, 0.5f, 0, 0, 255), b = Vertex(64.5f, 0.5f, 128, 0, 191),
                   c = Vertex(0.5f, 64.5f, 0, 128, 191);
    grDrawTriangle(&a, &b, &c);
    const std::vector<std::uint16_t> pixels = board.Read();
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x + y < 63; ++x)
            ASSERT_EQ(pixels[size_t(y * board.Width() + x)], Truncated(2 * x, 2 * y, 255 - x - y))
                << "x " << x << " y " << y;
    // The vertex on a pixel centre shows its own colour.
    EXPECT_EQ(board.Pixel(0, 0), Truncated(0, 0, 255));
}

TEST(GlideGouraud, ParametersStartAtThePixelCentre)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    // A vertex on the pixel corner (0, 0) with red 0, B (31, 0) with 248: 8 per pixel along x.
    // Pixel x is evaluated at its centre x + 0.5: red = 8x + 4.
    const GrVertex a = Vertex(0, 0, 0), b = Vertex(31, 0, 248), c = Vertex(0, 31, 0);
    grDrawTriangle(&a, &b, &c);
    EXPECT_EQ(board.Pixel(0, 0), Truncated(4, 0, 0));
    EXPECT_EQ(board.Pixel(1, 0), Truncated(12, 0, 0));
    EXPECT_EQ(board.Pixel(2, 0), Truncated(20, 0, 0));
    EXPECT_EQ(board.Pixel(10, 3), Truncated(84, 0, 0));
}

TEST(GlideGouraud, AlphaIsIteratedLikeColour)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    // Show iterated alpha as colour: LOCAL_ALPHA of the alpha unit's iterated local.
    grColorCombine(GR_COMBINE_FUNCTION_LOCAL_ALPHA, GR_COMBINE_FACTOR_NONE,
                   GR_COMBINE_LOCAL_ITERATED, GR_COMBINE_OTHER_NONE, FXFALSE);
    grAlphaCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_ITERATED,
                   GR_COMBINE_OTHER_NONE, FXFALSE);
    const GrVertex a = Vertex(0.5f, 0.5f, 0, 0, 0, 10), b = Vertex(100.5f, 0.5f, 0, 0, 0, 210),
                   c = Vertex(0.5f, 100.5f, 0, 0, 0, 10);
    grDrawTriangle(&a, &b, &c);
    // alpha = 10 + 2x at pixel (x, y).
    for (int x = 0; x < 90; x += 7)
        EXPECT_EQ(board.Pixel(x, 5), Truncated(10 + 2 * x, 10 + 2 * x, 10 + 2 * x)) << x;
}

TEST(GlideGouraud, OutOfRangeColoursAreClamped)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    const GrVertex a = Vertex(0.5f, 0.5f, -100, 400, 128), b = Vertex(20.5f, 0.5f, -100, 400, 128),
                   c = Vertex(0.5f, 20.5f, -100, 400, 128);
    grDrawTriangle(&a, &b, &c);
    EXPECT_EQ(board.Pixel(3, 3), Truncated(0, 255, 128));
}

TEST(GlideAlphaTest, ComparesTheCombinedAlphaWithTheReference)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    grConstantColorValue(0x00FFFFFFu);
    guColorCombineFunction(GR_COLORCOMBINE_CCRGB);
    guAlphaSource(GR_ALPHASOURCE_ITERATED_ALPHA);
    grAlphaTestFunction(GR_CMP_GREATER);
    grAlphaTestReferenceValue(100);
    // alpha = 2x along the row: pixels with 2x > 100, x >= 51, are drawn.
    const GrVertex a = Vertex(0.5f, 0.5f, 0, 0, 0, 0), b = Vertex(100.5f, 0.5f, 0, 0, 0, 200),
                   c = Vertex(0.5f, 100.5f, 0, 0, 0, 0);
    grSstResetPerfStats(); // the board's first clear counts as pixels out
    grDrawTriangle(&a, &b, &c);
    EXPECT_EQ(board.Pixel(50, 2), 0);
    EXPECT_EQ(board.Pixel(51, 2), 0xFFFF);
    GrSstPerfStats_t stats;
    grSstPerfStats(&stats);
    EXPECT_GT(stats.aFuncFail, 0u);
    EXPECT_EQ(stats.pixelsOut + stats.aFuncFail, stats.pixelsIn);
}

TEST(GlideChromaKey, DropsPixelsWhoseOtherColourMatches)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    // Other = iterated colour (10, 20, 30), shown unchanged.
    grColorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE,
                   GR_COMBINE_LOCAL_ITERATED, GR_COMBINE_OTHER_ITERATED, FXFALSE);
    grChromakeyValue(0x000A141Eu);
    grChromakeyMode(GR_CHROMAKEY_ENABLE);
    DrawRect(0, 0, 8, 8, 0, 0, 0, 0, 10, 20, 30);
    EXPECT_EQ(board.Pixel(3, 3), 0);
    DrawRect(0, 0, 8, 8, 0, 0, 0, 0, 10, 20, 31);
    EXPECT_EQ(board.Pixel(3, 3), Truncated(10, 20, 31));
    grChromakeyMode(GR_CHROMAKEY_DISABLE);
    DrawRect(10, 0, 18, 8, 0, 0, 0, 0, 10, 20, 30);
    EXPECT_EQ(board.Pixel(13, 3), Truncated(10, 20, 30));
}

GrVertex DepthVertex(float x, float y, float ooz, float oow)
{
    GrVertex v = Vertex(x, y, 255, 255, 255);
    v.ooz = ooz;
    v.oow = oow;
    return v;
}

void DepthRect(float ooz, float oow)
{
    const GrVertex a = DepthVertex(0, 0, ooz, oow), b = DepthVertex(8, 0, ooz, oow),
                   c = DepthVertex(8, 8, ooz, oow), d = DepthVertex(0, 8, ooz, oow);
    grDrawTriangle(&a, &b, &c);
    grDrawTriangle(&a, &c, &d);
}

TEST(GlideDepth, ZBufferComparesAndStoresIteratedZ)
{
    Board board("voodoo", GR_RESOLUTION_320x240, 1);
    ASSERT_TRUE(board.IsOpen());
    grDepthBufferMode(GR_DEPTHBUFFER_ZBUFFER);
    grDepthBufferFunction(GR_CMP_GREATER);
    grDepthMask(FXTRUE);
    grBufferClear(0, 0, 0);
    DepthRect(1000, 1);
    EXPECT_EQ(board.Pixel(4, 4, GR_BUFFER_AUXBUFFER), 1000);
    grConstantColorValue(0x00FF0000u);
    guColorCombineFunction(GR_COLORCOMBINE_CCRGB);
    DepthRect(500, 1); // 500 > 1000 fails: nothing changes
    EXPECT_EQ(board.Pixel(4, 4), 0xFFFF);
    EXPECT_EQ(board.Pixel(4, 4, GR_BUFFER_AUXBUFFER), 1000);
    grDepthBiasLevel(10);
    DepthRect(2000, 1); // passes, stores 2000 + bias
    EXPECT_EQ(board.Pixel(4, 4), Rgb565(31, 0, 0));
    EXPECT_EQ(board.Pixel(4, 4, GR_BUFFER_AUXBUFFER), 2010);
    grDepthMask(FXFALSE);
    DepthRect(3000, 1);
    EXPECT_EQ(board.Pixel(4, 4, GR_BUFFER_AUXBUFFER), 2010);
    // Clearing writes depth only while depth buffering is on and writable.
    grBufferClear(0, 0, 7);
    EXPECT_EQ(board.Pixel(4, 4, GR_BUFFER_AUXBUFFER), 2010);
    grDepthMask(FXTRUE);
    grBufferClear(0, 0, 7);
    EXPECT_EQ(board.Pixel(4, 4, GR_BUFFER_AUXBUFFER), 7);
}

TEST(GlideDepth, WBufferStoresTheWFloat)
{
    Board board("voodoo", GR_RESOLUTION_320x240, 1);
    ASSERT_TRUE(board.IsOpen());
    grDepthBufferMode(GR_DEPTHBUFFER_WBUFFER);
    grDepthBufferFunction(GR_CMP_ALWAYS);
    grDepthMask(FXTRUE);
    // 1/w = 2^-k is the fraction 2^(32-k): exponent k - 1 leading zeros, mantissa all ones
    // after inversion: ((k - 1) << 12 | 0xFFF) + 1 = k * 4096. 1/w = 0.75: 0xC0000000, no leading
    // zero, inverted mantissa 0x7FF, + 1 = 0x800. 1/w >= 1 is the nearest value, 0.
    const float afOow[] = {0.5f, 0.25f, 0.75f, 1.0f, 2.0f};
    const int anExpected[] = {0x1000, 0x2000, 0x800, 0, 0};
    for (int k = 0; k < 5; ++k)
    {
        DepthRect(0, afOow[k]);
        EXPECT_EQ(board.Pixel(4, 4, GR_BUFFER_AUXBUFFER), anExpected[k]) << afOow[k];
    }
}

TEST(GlideDepth, WithoutAnAuxiliaryBufferDepthIsIgnored)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    grDepthBufferMode(GR_DEPTHBUFFER_ZBUFFER);
    grDepthBufferFunction(GR_CMP_NEVER);
    DepthRect(100, 1);
    EXPECT_EQ(board.Pixel(4, 4), 0xFFFF);
}

TEST(GlideFog, IteratedAlphaBlendsTowardsTheFogColour)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    grConstantColorValue(0);
    guColorCombineFunction(GR_COLORCOMBINE_CCRGB);
    grFogColorValue(0x00C86428u); // (200, 100, 40)
    grFogMode(GR_FOG_WITH_ITERATED_ALPHA);
    // f = 128: C = 0 + ((fog - 0) * 129) >> 8 = 100, 50, 20.
    DrawRect(0, 0, 8, 8, 0, 0, 0, 0, 0, 0, 0, 128);
    EXPECT_EQ(board.Pixel(3, 3), Truncated(100, 50, 20));
    grFogMode(GR_FOG_DISABLE);
    DrawRect(0, 0, 8, 8, 0, 0, 0, 0, 0, 0, 0, 128);
    EXPECT_EQ(board.Pixel(3, 3), 0);
}

TEST(GlideMasks, ColourMaskStopsColourWrites)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    grColorMask(FXFALSE, FXFALSE);
    DrawRect(0, 0, 8, 8, 0, 0, 0, 0, 255, 255, 255);
    grBufferClear(0x00FFFFFFu, 0, 0);
    EXPECT_EQ(board.Pixel(3, 3), 0);
    grColorMask(FXTRUE, FXFALSE);
    DrawRect(0, 0, 8, 8, 0, 0, 0, 0, 255, 255, 255);
    EXPECT_EQ(board.Pixel(3, 3), 0xFFFF);
}

TEST(GlideBuffers, RenderBufferAndSwap)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    grRenderBuffer(GR_BUFFER_FRONTBUFFER);
    DrawRect(0, 0, 8, 8, 0, 0, 0, 0, 255, 0, 0);
    EXPECT_EQ(board.Pixel(3, 3, GR_BUFFER_FRONTBUFFER), Rgb565(31, 0, 0));
    EXPECT_EQ(board.Pixel(3, 3, GR_BUFFER_BACKBUFFER), 0);
    grRenderBuffer(GR_BUFFER_BACKBUFFER);
    DrawRect(0, 0, 8, 8, 0, 0, 0, 0, 0, 255, 0);
    ScopedEnv interval("FX_GLIDE_SWAPINTERVAL", "0");
    grBufferSwap(0);
    // The finished back buffer is now the front buffer, and the old front is drawn next.
    EXPECT_EQ(board.Pixel(3, 3, GR_BUFFER_FRONTBUFFER), Rgb565(0, 63, 0));
    EXPECT_EQ(board.Pixel(3, 3, GR_BUFFER_BACKBUFFER), Rgb565(31, 0, 0));
}

TEST(GlideOpenResets, EveryStateGoesBackToItsDefault)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    // Change everything grSstWinOpen resets.
    grCullMode(GR_CULL_POSITIVE);
    grDitherMode(GR_DITHER_2x2);
    grAlphaBlendFunction(GR_BLEND_ZERO, GR_BLEND_ONE, GR_BLEND_ZERO, GR_BLEND_ONE);
    grAlphaTestFunction(GR_CMP_NEVER);
    grChromakeyMode(GR_CHROMAKEY_ENABLE);
    grConstantColorValue(0);
    grClipWindow(0, 0, 1, 1);
    guColorCombineFunction(GR_COLORCOMBINE_ZERO);
    guAlphaSource(GR_ALPHASOURCE_ITERATED_ALPHA);
    grColorMask(FXFALSE, FXFALSE);
    grFogMode(GR_FOG_WITH_ITERATED_ALPHA);
    grTexCombineFunction(GR_TMU0, GR_TEXTURECOMBINE_ONE);
    grSstOrigin(GR_ORIGIN_LOWER_LEFT);
    grSstWinClose();
    ASSERT_TRUE(grSstWinOpen(0, GR_RESOLUTION_320x240, GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB,
                             GR_ORIGIN_UPPER_LEFT, 2, 0));
    // Defaults: Gouraud colour, no blending, no tests, full clip, no culling, 4x4 dither,
    // upper-left origin. White (255 in every channel) is exact under any dither.
    const GrVertex a = Vertex(10, 10, 255, 255, 255), b = Vertex(20, 10, 255, 255, 255),
                   c = Vertex(10, 20, 255, 255, 255);
    grDrawTriangle(&a, &b, &c); // positive area: would be culled by GR_CULL_POSITIVE
    EXPECT_EQ(board.Pixel(12, 12), 0xFFFF);
    // The alpha unit's default is the constant alpha (0xFF after the reset): blending with
    // SRC_ALPHA shows the full colour.
    grAlphaBlendFunction(GR_BLEND_SRC_ALPHA, GR_BLEND_ZERO, GR_BLEND_ONE, GR_BLEND_ZERO);
    const GrVertex d = Vertex(30, 10, 255, 255, 255), e = Vertex(40, 10, 255, 255, 255),
                   f = Vertex(30, 20, 255, 255, 255);
    grDrawTriangle(&d, &e, &f);
    EXPECT_EQ(board.Pixel(32, 12), 0xFFFF);
    // Texture combine is back to ZERO: texture output 0 whatever the (absent) texture.
    guColorCombineFunction(GR_COLORCOMBINE_DECAL_TEXTURE);
    DrawRect(50, 10, 60, 20, 0, 0, 0, 0, 255, 255, 255);
    EXPECT_EQ(board.Pixel(55, 15), 0);
}

TEST(GlideState, GetAndSetStateRestoreThePipeline)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    grConstantColorValue(0x00FF0000u);
    guColorCombineFunction(GR_COLORCOMBINE_CCRGB);
    GrState saved;
    grGlideGetState(&saved);
    grConstantColorValue(0x0000FF00u);
    grCullMode(GR_CULL_NEGATIVE);
    grGlideSetState(&saved);
    DrawRect(0, 0, 8, 8);
    EXPECT_EQ(board.Pixel(3, 3), Rgb565(31, 0, 0));
}

} // namespace

namespace
{
int g_nStateErrors = 0;
void CountStateError(const char* pchMessage, FxBool bFatal)
{
    (void)pchMessage;
    if (!bFatal)
        ++g_nStateErrors;
}
} // namespace

namespace
{
// A state saved at 640x480, restored after the board was reopened at 320x200 (the fuzzer's
// input: save, close, open smaller, restore, clear): the clear stays on the smaller screen.
TEST(GlideState, StateFromALargerScreenKeepsTheClipWindowOnTheScreen)
{
    Board board("voodoo", GR_RESOLUTION_640x480);
    ASSERT_TRUE(board.IsOpen());
    GrState saved;
    grGlideGetState(&saved);
    grSstWinClose();
    ASSERT_TRUE(grSstWinOpen(0, GR_RESOLUTION_320x200, GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB,
                             GR_ORIGIN_UPPER_LEFT, 2, 1));
    grGlideSetState(&saved);
    grDitherMode(GR_DITHER_DISABLE);
    grBufferClear(0x00FFFFFFu, 0, 0);
    std::vector<std::uint16_t> pixels(320 * 200);
    ASSERT_TRUE(grLfbReadRegion(GR_BUFFER_BACKBUFFER, 0, 0, 320, 200, 640, pixels.data()));
    EXPECT_EQ(pixels.front(), 0xFFFF);
    EXPECT_EQ(pixels.back(), 0xFFFF);
    // The clip window is the whole smaller screen: a triangle reaching past it fills to the edge.
    grConstantColorValue(0x000000FFu);
    guColorCombineFunction(GR_COLORCOMBINE_CCRGB);
    DrawRect(300, 180, 700, 500);
    ASSERT_TRUE(grLfbReadRegion(GR_BUFFER_BACKBUFFER, 0, 0, 320, 200, 640, pixels.data()));
    EXPECT_EQ(pixels.back(), Rgb565(0, 0, 31));
}

TEST(GlideState, BytesNotWrittenByGetStateAreRefused)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    g_nStateErrors = 0;
    grErrorSetCallback(&CountStateError);
    grConstantColorValue(0x00FF0000u);
    guColorCombineFunction(GR_COLORCOMBINE_CCRGB);
    GrState saved;
    grGlideGetState(&saved);
    grConstantColorValue(0x0000FF00u);
    // One changed byte (in the combine units, where the device reads enumerations), and a
    // state of all zeros: both refused, the pipeline left as it is.
    GrState changed = saved;
    changed.pad[1] = char(0x7F);
    grGlideSetState(&changed);
    GrState zeros;
    std::memset(&zeros, 0, sizeof zeros);
    grGlideSetState(&zeros);
    EXPECT_EQ(g_nStateErrors, 2);
    DrawRect(0, 0, 8, 8);
    EXPECT_EQ(board.Pixel(3, 3), Rgb565(0, 63, 0));
    // The state as saved is still taken.
    grGlideSetState(&saved);
    DrawRect(0, 0, 8, 8);
    EXPECT_EQ(board.Pixel(3, 3), Rgb565(31, 0, 0));
    EXPECT_EQ(g_nStateErrors, 2);
    grErrorSetCallback(nullptr);
}
} // namespace
