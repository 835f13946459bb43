// Alpha blending with every factor as source and as destination. Worked out by hand from
//   C = min(255, (Cs * (S + 1)) >> 8 + (Cd * (D + 1)) >> 8)
// with source Cs = constant colour (200, 100, 40), source alpha As = 96, and the destination
// cleared to 565 (16, 32, 16), which expands by bit replication to Cd = (132, 130, 132).
// Without an alpha buffer the destination alpha reads as 255.
#include "GlideTestSupport.h"

using namespace GlideTest;

namespace
{
struct BlendCase
{
    GrAlphaBlendFnc_t eSource;
    GrAlphaBlendFnc_t eDestination;
    int r, g, b;
};

void DrawSourceOverGreyDestination(GrAlphaBlendFnc_t eSource, GrAlphaBlendFnc_t eDestination,
                                   GrAlphaBlendFnc_t eAlphaSource = GR_BLEND_ONE,
                                   GrAlphaBlendFnc_t eAlphaDestination = GR_BLEND_ZERO)
{
    grAlphaBlendFunction(GR_BLEND_ONE, GR_BLEND_ZERO, GR_BLEND_ONE, GR_BLEND_ZERO);
    grBufferClear(0x00808080u, 64, 0); // 565 (16, 32, 16); alpha buffer (if any) 64
    grConstantColorValue(0x60C86428u); // alpha 96, (200, 100, 40)
    guColorCombineFunction(GR_COLORCOMBINE_CCRGB);
    guAlphaSource(GR_ALPHASOURCE_CC_ALPHA);
    grAlphaBlendFunction(eSource, eDestination, eAlphaSource, eAlphaDestination);
    DrawRect(0, 0, 8, 8);
}

class GlideBlend : public ::testing::TestWithParam<BlendCase>
{
};

TEST_P(GlideBlend, GivesTheWorkedOutColour)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    const BlendCase& c = GetParam();
    DrawSourceOverGreyDestination(c.eSource, c.eDestination);
    EXPECT_EQ(board.Pixel(3, 3), Truncated(c.r, c.g, c.b))
        << "source " << c.eSource << " destination " << c.eDestination;
}

// Each factor as the source factor (destination ZERO).
INSTANTIATE_TEST_SUITE_P(
    SourceFactors, GlideBlend,
    ::testing::Values(BlendCase{GR_BLEND_ZERO, GR_BLEND_ZERO, 0, 0, 0},
                      BlendCase{GR_BLEND_SRC_ALPHA, GR_BLEND_ZERO, 75, 37, 15},
                      BlendCase{GR_BLEND_DST_COLOR, GR_BLEND_ZERO, 103, 51, 20},
                      BlendCase{GR_BLEND_DST_ALPHA, GR_BLEND_ZERO, 200, 100, 40},
                      BlendCase{GR_BLEND_ONE, GR_BLEND_ZERO, 200, 100, 40},
                      BlendCase{GR_BLEND_ONE_MINUS_SRC_ALPHA, GR_BLEND_ZERO, 125, 62, 25},
                      BlendCase{GR_BLEND_ONE_MINUS_DST_COLOR, GR_BLEND_ZERO, 96, 49, 19},
                      BlendCase{GR_BLEND_ONE_MINUS_DST_ALPHA, GR_BLEND_ZERO, 0, 0, 0},
                      BlendCase{GR_BLEND_ALPHA_SATURATE, GR_BLEND_ZERO, 0, 0, 0}));

// Each factor as the destination factor (source ZERO). 0x2 means SRC_COLOR here, 0x6
// ONE_MINUS_SRC_COLOR and 0xF PREFOG_COLOR (the colour before fog: the source colour).
INSTANTIATE_TEST_SUITE_P(
    DestinationFactors, GlideBlend,
    ::testing::Values(BlendCase{GR_BLEND_ZERO, GR_BLEND_ZERO, 0, 0, 0},
                      BlendCase{GR_BLEND_ZERO, GR_BLEND_SRC_ALPHA, 50, 49, 50},
                      BlendCase{GR_BLEND_ZERO, GR_BLEND_SRC_COLOR, 103, 51, 21},
                      BlendCase{GR_BLEND_ZERO, GR_BLEND_DST_ALPHA, 132, 130, 132},
                      BlendCase{GR_BLEND_ZERO, GR_BLEND_ONE, 132, 130, 132},
                      BlendCase{GR_BLEND_ZERO, GR_BLEND_ONE_MINUS_SRC_ALPHA, 82, 81, 82},
                      BlendCase{GR_BLEND_ZERO, GR_BLEND_ONE_MINUS_SRC_COLOR, 28, 79, 111},
                      BlendCase{GR_BLEND_ZERO, GR_BLEND_ONE_MINUS_DST_ALPHA, 0, 0, 0},
                      BlendCase{GR_BLEND_ZERO, GR_BLEND_PREFOG_COLOR, 103, 51, 21}));

// Sums clamp at 255; (ONE, DST_COLOR) is the built-in material's blend.
INSTANTIATE_TEST_SUITE_P(
    Sums, GlideBlend,
    ::testing::Values(BlendCase{GR_BLEND_ONE, GR_BLEND_ONE, 255, 230, 172},
                      BlendCase{GR_BLEND_ONE, GR_BLEND_DST_COLOR, 255, 151, 61},
                      BlendCase{GR_BLEND_SRC_ALPHA, GR_BLEND_ONE_MINUS_SRC_ALPHA, 157, 118, 97}));

TEST(GlideBlend, ReservedFactorsAreRefused)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    DrawSourceOverGreyDestination(GR_BLEND_ONE, GR_BLEND_ONE);
    // 0x8..0xE are reserved: the call changes nothing, (ONE, ONE) stays.
    grAlphaBlendFunction(GR_BLEND_RESERVED_8, GR_BLEND_ZERO, GR_BLEND_ONE, GR_BLEND_ZERO);
    grAlphaBlendFunction(GR_BLEND_ZERO, GR_BLEND_RESERVED_E, GR_BLEND_ONE, GR_BLEND_ZERO);
    grBufferClear(0x00808080u, 0, 0);
    DrawRect(0, 0, 8, 8);
    EXPECT_EQ(board.Pixel(3, 3), Truncated(255, 230, 172));
}

// With an alpha buffer (auxiliary buffer, no depth buffering, alpha writes on) the destination
// alpha is the buffer's value, cleared to 64 here.
struct AlphaBufferCase
{
    const char* pchBoard;
    GrAlphaBlendFnc_t eSource;
    GrAlphaBlendFnc_t eDestination;
    GrAlphaBlendFnc_t eAlphaSource;
    GrAlphaBlendFnc_t eAlphaDestination;
    int r, g, b;
    int nAlpha;
};

class GlideBlendAlphaBuffer : public ::testing::TestWithParam<AlphaBufferCase>
{
};

TEST_P(GlideBlendAlphaBuffer, ReadsAndWritesDestinationAlpha)
{
    const AlphaBufferCase& c = GetParam();
    Board board(c.pchBoard, GR_RESOLUTION_512x384, 1);
    ASSERT_TRUE(board.IsOpen());
    grColorMask(FXTRUE, FXTRUE);
    DrawSourceOverGreyDestination(c.eSource, c.eDestination, c.eAlphaSource, c.eAlphaDestination);
    EXPECT_EQ(board.Pixel(3, 3), Truncated(c.r, c.g, c.b));
    EXPECT_EQ(board.Pixel(3, 3, GR_BUFFER_AUXBUFFER) & 0xFF, c.nAlpha);
}

// DST_ALPHA 64: 200 * 65 >> 8 = 50 ...; ALPHA_SATURATE: min(96, 255 - 64) = 96, as SRC_ALPHA;
// ONE_MINUS_DST_ALPHA 191: 200 * 192 >> 8 = 150. Alpha channel on Voodoo2 with (SRC_ALPHA,
// DST_ALPHA): 96 * 97 >> 8 + 64 * 65 >> 8 = 36 + 16. Voodoo Graphics blends alpha only with
// ZERO and ONE: other source factors become ONE, other destination factors ZERO (alpha 96).
INSTANTIATE_TEST_SUITE_P(
    Cases, GlideBlendAlphaBuffer,
    ::testing::Values(AlphaBufferCase{"voodoo2", GR_BLEND_DST_ALPHA, GR_BLEND_ZERO, GR_BLEND_ONE,
                                      GR_BLEND_ZERO, 50, 25, 10, 96},
                      AlphaBufferCase{"voodoo2", GR_BLEND_ALPHA_SATURATE, GR_BLEND_ZERO,
                                      GR_BLEND_ONE, GR_BLEND_ZERO, 75, 37, 15, 96},
                      AlphaBufferCase{"voodoo2", GR_BLEND_ONE_MINUS_DST_ALPHA, GR_BLEND_ZERO,
                                      GR_BLEND_ONE, GR_BLEND_ZERO, 150, 75, 30, 96},
                      // Cd * 65 >> 8: 132 -> 33, 130 -> 33.
                      AlphaBufferCase{"voodoo2", GR_BLEND_ZERO, GR_BLEND_DST_ALPHA, GR_BLEND_ZERO,
                                      GR_BLEND_ONE, 33, 33, 33, 64},
                      AlphaBufferCase{"voodoo2", GR_BLEND_ONE, GR_BLEND_ZERO, GR_BLEND_SRC_ALPHA,
                                      GR_BLEND_DST_ALPHA, 200, 100, 40, 52},
                      AlphaBufferCase{"voodoo", GR_BLEND_ONE, GR_BLEND_ZERO, GR_BLEND_SRC_ALPHA,
                                      GR_BLEND_DST_ALPHA, 200, 100, 40, 96},
                      AlphaBufferCase{"voodoo", GR_BLEND_ONE, GR_BLEND_ZERO, GR_BLEND_ZERO,
                                      GR_BLEND_ONE, 200, 100, 40, 64}));
} // namespace
