// The colour, alpha and texture combine units: the mapping of every Glide function and factor
// onto the chip's switches, the unit's arithmetic, and drawn results for every function, factor,
// source and invert. Expected values are worked out by hand from
//   result = clamp(((other - sub) * (f + 1)) >> 8 + add, 0, 255), inverted as 255 - result,
// with f the factor in 0..255 (255 for ONE) and >> rounding down.
#include "GlideContext.h"
#include "GlideMap.h"
#include "GlideTestSupport.h"
#include "PixelStages.h"
#include <vector>

using namespace GlideTest;

namespace
{
// ---------------------------------------------------------------- function and factor mapping

struct FunctionCase
{
    GrCombineFunction_t eFunction;
    bool bZeroOther;
    bool bSubtract;
    CombineAdd eAdd;
};

class GlideCombineFunctionMap : public ::testing::TestWithParam<FunctionCase>
{
};

TEST_P(GlideCombineFunctionMap, DecomposesIntoTheChipSwitches)
{
    CombineUnitState unit;
    ASSERT_TRUE(GlideMap::CombineFunction(GetParam().eFunction, &unit));
    EXPECT_EQ(unit.bZeroOther, GetParam().bZeroOther);
    EXPECT_EQ(unit.bSubtractLocal, GetParam().bSubtract);
    EXPECT_EQ(unit.eAdd, GetParam().eAdd);
}

INSTANTIATE_TEST_SUITE_P(
    Functions, GlideCombineFunctionMap,
    ::testing::Values(
        FunctionCase{GR_COMBINE_FUNCTION_ZERO, true, false, CombineAdd::None},
        FunctionCase{GR_COMBINE_FUNCTION_LOCAL, true, false, CombineAdd::Local},
        FunctionCase{GR_COMBINE_FUNCTION_LOCAL_ALPHA, true, false, CombineAdd::LocalAlpha},
        FunctionCase{GR_COMBINE_FUNCTION_SCALE_OTHER, false, false, CombineAdd::None},
        FunctionCase{GR_COMBINE_FUNCTION_SCALE_OTHER_ADD_LOCAL, false, false, CombineAdd::Local},
        FunctionCase{GR_COMBINE_FUNCTION_SCALE_OTHER_ADD_LOCAL_ALPHA, false, false,
                     CombineAdd::LocalAlpha},
        FunctionCase{GR_COMBINE_FUNCTION_SCALE_OTHER_MINUS_LOCAL, false, true, CombineAdd::None},
        FunctionCase{GR_COMBINE_FUNCTION_SCALE_OTHER_MINUS_LOCAL_ADD_LOCAL, false, true,
                     CombineAdd::Local},
        FunctionCase{GR_COMBINE_FUNCTION_SCALE_OTHER_MINUS_LOCAL_ADD_LOCAL_ALPHA, false, true,
                     CombineAdd::LocalAlpha},
        FunctionCase{GR_COMBINE_FUNCTION_SCALE_MINUS_LOCAL_ADD_LOCAL, true, true,
                     CombineAdd::Local},
        FunctionCase{GR_COMBINE_FUNCTION_SCALE_MINUS_LOCAL_ADD_LOCAL_ALPHA, true, true,
                     CombineAdd::LocalAlpha}));

TEST(GlideCombineMap, UndefinedValuesAreRefused)
{
    CombineUnitState unit;
    for (GrCombineFunction_t e : {0xA, 0xF, 0x11, -1})
        EXPECT_FALSE(GlideMap::CombineFunction(e, &unit)) << e;
    for (GrCombineFactor_t e : {0x6, 0x7, 0xE, 0xF, 0x10, -1})
        EXPECT_FALSE(GlideMap::CombineFactor(e, CombineUnitKind::Color, &unit)) << e;
    CombineLocal eLocal;
    EXPECT_FALSE(
        GlideMap::CombineLocalSource(GR_COMBINE_LOCAL_DEPTH, CombineUnitKind::Color, &eLocal));
    EXPECT_TRUE(
        GlideMap::CombineLocalSource(GR_COMBINE_LOCAL_DEPTH, CombineUnitKind::Alpha, &eLocal));
    CombineOther eOther;
    EXPECT_FALSE(GlideMap::CombineOtherSource(3, &eOther));
}

struct FactorCase
{
    GrCombineFactor_t eFactor;
    CombineFactor eColor;
    CombineFactor eAlpha;
    CombineFactor eTexture;
    bool bInvert;
};

class GlideCombineFactorMap : public ::testing::TestWithParam<FactorCase>
{
};

TEST_P(GlideCombineFactorMap, SelectsTheSourceOfEachUnit)
{
    const FactorCase& c = GetParam();
    CombineUnitState color, alpha, texture;
    ASSERT_TRUE(GlideMap::CombineFactor(c.eFactor, CombineUnitKind::Color, &color));
    ASSERT_TRUE(GlideMap::CombineFactor(c.eFactor, CombineUnitKind::Alpha, &alpha));
    ASSERT_TRUE(GlideMap::CombineFactor(c.eFactor, CombineUnitKind::Texture, &texture));
    EXPECT_EQ(color.eFactor, c.eColor);
    EXPECT_EQ(alpha.eFactor, c.eAlpha);
    EXPECT_EQ(texture.eFactor, c.eTexture);
    EXPECT_EQ(color.bInvertFactor, c.bInvert);
    EXPECT_EQ(texture.bInvertFactor, c.bInvert);
}

using F = CombineFactor;
INSTANTIATE_TEST_SUITE_P(
    Factors, GlideCombineFactorMap,
    ::testing::Values(
        FactorCase{GR_COMBINE_FACTOR_ZERO, F::Zero, F::Zero, F::Zero, false},
        FactorCase{GR_COMBINE_FACTOR_LOCAL, F::Local, F::Local, F::Local, false},
        FactorCase{GR_COMBINE_FACTOR_OTHER_ALPHA, F::OtherAlpha, F::OtherAlpha, F::OtherAlpha,
                   false},
        FactorCase{GR_COMBINE_FACTOR_LOCAL_ALPHA, F::LocalAlpha, F::LocalAlpha, F::LocalAlpha,
                   false},
        FactorCase{GR_COMBINE_FACTOR_TEXTURE_ALPHA, F::TextureAlpha, F::TextureAlpha,
                   F::DetailFactor, false},
        FactorCase{GR_COMBINE_FACTOR_LOD_FRACTION, F::TextureRgb, F::Zero, F::LodFraction, false},
        FactorCase{GR_COMBINE_FACTOR_ONE, F::Zero, F::Zero, F::Zero, true},
        FactorCase{GR_COMBINE_FACTOR_ONE_MINUS_LOCAL, F::Local, F::Local, F::Local, true},
        FactorCase{GR_COMBINE_FACTOR_ONE_MINUS_OTHER_ALPHA, F::OtherAlpha, F::OtherAlpha,
                   F::OtherAlpha, true},
        FactorCase{GR_COMBINE_FACTOR_ONE_MINUS_LOCAL_ALPHA, F::LocalAlpha, F::LocalAlpha,
                   F::LocalAlpha, true},
        FactorCase{GR_COMBINE_FACTOR_ONE_MINUS_TEXTURE_ALPHA, F::TextureAlpha, F::TextureAlpha,
                   F::DetailFactor, true},
        FactorCase{GR_COMBINE_FACTOR_ONE_MINUS_LOD_FRACTION, F::TextureRgb, F::Zero, F::LodFraction,
                   true}));

// ---------------------------------------------------------------- the unit's arithmetic

struct ArithmeticCase
{
    int nOther, nSub, nFactor, nFactorXor, nAdd, nOutputXor;
    int nExpected;
};

class GlideCombineArithmetic : public ::testing::TestWithParam<ArithmeticCase>
{
};

TEST_P(GlideCombineArithmetic, MatchesTheFormula)
{
    const ArithmeticCase& c = GetParam();
    // Two groups of eight lanes.
    Channel anOther[16], anSub[16], anFactor[16], anAdd[16], anOut[16];
    for (int i = 0; i < 16; ++i)
    {
        anOther[i] = Channel(c.nOther);
        anSub[i] = Channel(c.nSub);
        anFactor[i] = Channel(c.nFactor);
        anAdd[i] = Channel(c.nAdd);
    }
    PixelStages::Combine(anOther, anSub, anFactor, c.nFactorXor, anAdd, c.nOutputXor, 16, anOut);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(anOut[i], c.nExpected) << "lane " << i;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GlideCombineArithmetic,
    ::testing::Values(ArithmeticCase{180, 0, 0, 255, 0, 0, 180},     // other * ONE
                      ArithmeticCase{180, 0, 128, 0, 0, 0, 90},      // 180 * 129 = 23220 >> 8
                      ArithmeticCase{180, 0, 0, 0, 0, 0, 0},         // f = 0: 180 >> 8
                      ArithmeticCase{180, 60, 128, 0, 0, 0, 60},     // 120 * 129 = 15480 >> 8
                      ArithmeticCase{0, 60, 128, 0, 60, 0, 29},      // -7740 >> 8 = -31, + 60
                      ArithmeticCase{180, 0, 0, 255, 128, 0, 255},   // 308 clamps to 255
                      ArithmeticCase{60, 180, 0, 255, 0, 0, 0},      // -120 clamps to 0
                      ArithmeticCase{180, 0, 0, 255, 0, 255, 75},    // inverted: 255 - 180
                      ArithmeticCase{255, 0, 255, 0, 0, 0, 255},     // 255 * 256 >> 8
                      ArithmeticCase{255, 255, 255, 0, 255, 0, 255}, // 0 + 255
                      ArithmeticCase{0, 255, 255, 0, 0, 0, 0},       // -255 clamps to 0
                      ArithmeticCase{10, 200, 64, 255, 250, 0,
                                     107})); // -190 * 192 = -36480 >> 8 = -143

TEST(GlideCombineArithmetic, EveryLaneFollowsTheFormulaForAnyInput)
{
    // 64 lanes of random inputs against the formula written out: the product (other - sub) *
    // (f + 1), arithmetic shift by 8, the added term, the clamp, the inversion.
    Channel anOther[64], anSub[64], anFactor[64], anAdd[64], anOut[64];
    std::uint32_t n = 99;
    auto next = [&n]()
    {
        n = n * 1664525u + 1013904223u;
        return Channel((n >> 13) & 0xFF);
    };
    for (int nRound = 0; nRound < 200; ++nRound)
    {
        for (int i = 0; i < 64; ++i)
        {
            anOther[i] = next();
            anSub[i] = next();
            anFactor[i] = next();
            anAdd[i] = next();
        }
        const int nFactorXor = (nRound & 1) ? 255 : 0, nOutputXor = (nRound & 2) ? 255 : 0;
        PixelStages::Combine(anOther, anSub, anFactor, nFactorXor, anAdd, nOutputXor, 64, anOut);
        for (int i = 0; i < 64; ++i)
        {
            const int nProduct = (anOther[i] - anSub[i]) * ((anFactor[i] ^ nFactorXor) + 1);
            int nValue = (nProduct >> 8) + anAdd[i];
            nValue = nValue < 0 ? 0 : (nValue > 255 ? 255 : nValue);
            ASSERT_EQ(anOut[i], nValue ^ nOutputXor) << "round " << nRound << " lane " << i;
        }
    }
}

// ---------------------------------------------------------------- drawn: colour unit

// Inputs: local = constant colour (60, 60, 60) with constant alpha 128; other = iterated colour
// (180, 180, 180) with iterated alpha 64; texture texel ARGB4444 0x8C5A = alpha 136, red 204,
// green 85, blue 170. The alpha unit's local/other (the colour unit's alpha factors) are the
// constant and iterated alpha.
struct DrawnCase
{
    GrCombineFunction_t eFunction;
    GrCombineFactor_t eFactor;
    GrCombineLocal_t eLocal;
    GrCombineOther_t eOther;
    FxBool bInvert;
    int r, g, b;
};

class GlideColorCombine : public ::testing::TestWithParam<DrawnCase>
{
};

void SetUpCombineInputs()
{
    static const std::uint16_t s_nTexel = 0x8C5A;
    LoadTexture(GR_TEXFMT_ARGB_4444, GR_LOD_1, GR_ASPECT_1x1, &s_nTexel);
    grTexCombineFunction(GR_TMU0, GR_TEXTURECOMBINE_DECAL);
    grConstantColorValue(0x803C3C3Cu);
    grAlphaCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_CONSTANT,
                   GR_COMBINE_OTHER_ITERATED, FXFALSE);
}

TEST_P(GlideColorCombine, GivesTheWorkedOutColour)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    SetUpCombineInputs();
    const DrawnCase& c = GetParam();
    grColorCombine(c.eFunction, c.eFactor, c.eLocal, c.eOther, c.bInvert);
    DrawRect(0, 0, 8, 8, 0, 0, 0, 0, 180, 180, 180, 64);
    EXPECT_EQ(board.Pixel(3, 3), Truncated(c.r, c.g, c.b))
        << "function " << c.eFunction << " factor " << c.eFactor;
}

constexpr GrCombineLocal_t CL = GR_COMBINE_LOCAL_CONSTANT;
constexpr GrCombineOther_t OI = GR_COMBINE_OTHER_ITERATED;
INSTANTIATE_TEST_SUITE_P(
    FunctionsWithFactorOne, GlideColorCombine,
    ::testing::Values(
        DrawnCase{GR_COMBINE_FUNCTION_ZERO, GR_COMBINE_FACTOR_ONE, CL, OI, FXFALSE, 0, 0, 0},
        DrawnCase{GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_ONE, CL, OI, FXFALSE, 60, 60, 60},
        DrawnCase{GR_COMBINE_FUNCTION_LOCAL_ALPHA, GR_COMBINE_FACTOR_ONE, CL, OI, FXFALSE, 128, 128,
                  128},
        DrawnCase{GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE, CL, OI, FXFALSE, 180, 180,
                  180},
        DrawnCase{GR_COMBINE_FUNCTION_SCALE_OTHER_ADD_LOCAL, GR_COMBINE_FACTOR_ONE, CL, OI, FXFALSE,
                  240, 240, 240},
        DrawnCase{GR_COMBINE_FUNCTION_SCALE_OTHER_ADD_LOCAL_ALPHA, GR_COMBINE_FACTOR_ONE, CL, OI,
                  FXFALSE, 255, 255, 255},
        DrawnCase{GR_COMBINE_FUNCTION_SCALE_OTHER_MINUS_LOCAL, GR_COMBINE_FACTOR_ONE, CL, OI,
                  FXFALSE, 120, 120, 120},
        DrawnCase{GR_COMBINE_FUNCTION_SCALE_OTHER_MINUS_LOCAL_ADD_LOCAL, GR_COMBINE_FACTOR_ONE, CL,
                  OI, FXFALSE, 180, 180, 180},
        DrawnCase{GR_COMBINE_FUNCTION_SCALE_OTHER_MINUS_LOCAL_ADD_LOCAL_ALPHA,
                  GR_COMBINE_FACTOR_ONE, CL, OI, FXFALSE, 248, 248, 248},
        DrawnCase{GR_COMBINE_FUNCTION_SCALE_MINUS_LOCAL_ADD_LOCAL, GR_COMBINE_FACTOR_ONE, CL, OI,
                  FXFALSE, 0, 0, 0},
        DrawnCase{GR_COMBINE_FUNCTION_SCALE_MINUS_LOCAL_ADD_LOCAL_ALPHA, GR_COMBINE_FACTOR_ONE, CL,
                  OI, FXFALSE, 68, 68, 68}));

// f = local alpha 128: products scale by 129 / 256.
INSTANTIATE_TEST_SUITE_P(
    FunctionsWithFactorLocalAlpha, GlideColorCombine,
    ::testing::Values(DrawnCase{GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_LOCAL_ALPHA, CL,
                                OI, FXFALSE, 90, 90, 90},
                      DrawnCase{GR_COMBINE_FUNCTION_SCALE_OTHER_ADD_LOCAL,
                                GR_COMBINE_FACTOR_LOCAL_ALPHA, CL, OI, FXFALSE, 150, 150, 150},
                      DrawnCase{GR_COMBINE_FUNCTION_SCALE_OTHER_ADD_LOCAL_ALPHA,
                                GR_COMBINE_FACTOR_LOCAL_ALPHA, CL, OI, FXFALSE, 218, 218, 218},
                      DrawnCase{GR_COMBINE_FUNCTION_SCALE_OTHER_MINUS_LOCAL,
                                GR_COMBINE_FACTOR_LOCAL_ALPHA, CL, OI, FXFALSE, 60, 60, 60},
                      DrawnCase{GR_COMBINE_FUNCTION_SCALE_OTHER_MINUS_LOCAL_ADD_LOCAL,
                                GR_COMBINE_FACTOR_LOCAL_ALPHA, CL, OI, FXFALSE, 120, 120, 120},
                      DrawnCase{GR_COMBINE_FUNCTION_SCALE_OTHER_MINUS_LOCAL_ADD_LOCAL_ALPHA,
                                GR_COMBINE_FACTOR_LOCAL_ALPHA, CL, OI, FXFALSE, 188, 188, 188},
                      DrawnCase{GR_COMBINE_FUNCTION_SCALE_MINUS_LOCAL_ADD_LOCAL,
                                GR_COMBINE_FACTOR_LOCAL_ALPHA, CL, OI, FXFALSE, 29, 29, 29},
                      DrawnCase{GR_COMBINE_FUNCTION_SCALE_MINUS_LOCAL_ADD_LOCAL_ALPHA,
                                GR_COMBINE_FACTOR_LOCAL_ALPHA, CL, OI, FXFALSE, 97, 97, 97}));

// SCALE_OTHER with every factor: 180 * (f + 1) >> 8.
INSTANTIATE_TEST_SUITE_P(
    Factors, GlideColorCombine,
    ::testing::Values(
        DrawnCase{GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ZERO, CL, OI, FXFALSE, 0, 0,
                  0},
        DrawnCase{GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_LOCAL, CL, OI, FXFALSE, 42, 42,
                  42},
        DrawnCase{GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_OTHER_ALPHA, CL, OI, FXFALSE,
                  45, 45, 45},
        DrawnCase{GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_TEXTURE_ALPHA, CL, OI, FXFALSE,
                  96, 96, 96},
        // Factor 0x5 in the colour unit: texture RGB per channel (204, 85, 170).
        DrawnCase{GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_LOD_FRACTION, CL, OI, FXFALSE,
                  144, 60, 120},
        DrawnCase{GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE_MINUS_LOCAL, CL, OI,
                  FXFALSE, 137, 137, 137},
        DrawnCase{GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE_MINUS_OTHER_ALPHA, CL, OI,
                  FXFALSE, 135, 135, 135},
        DrawnCase{GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE_MINUS_LOCAL_ALPHA, CL, OI,
                  FXFALSE, 90, 90, 90},
        DrawnCase{GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE_MINUS_TEXTURE_ALPHA, CL,
                  OI, FXFALSE, 84, 84, 84},
        DrawnCase{GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE_MINUS_LOD_FRACTION, CL, OI,
                  FXFALSE, 36, 120, 60}));

// Sources and invert.
INSTANTIATE_TEST_SUITE_P(
    SourcesAndInvert, GlideColorCombine,
    ::testing::Values(DrawnCase{GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE,
                                GR_COMBINE_LOCAL_ITERATED, OI, FXFALSE, 180, 180, 180},
                      DrawnCase{GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE, CL,
                                GR_COMBINE_OTHER_CONSTANT, FXFALSE, 60, 60, 60},
                      DrawnCase{GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE, CL,
                                GR_COMBINE_OTHER_TEXTURE, FXFALSE, 204, 85, 170},
                      DrawnCase{GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE, CL, OI,
                                FXTRUE, 75, 75, 75},
                      DrawnCase{GR_COMBINE_FUNCTION_ZERO, GR_COMBINE_FACTOR_NONE, CL, OI, FXTRUE,
                                255, 255, 255},
                      DrawnCase{GR_COMBINE_FUNCTION_SCALE_OTHER_MINUS_LOCAL,
                                GR_COMBINE_FACTOR_LOCAL_ALPHA, CL, OI, FXTRUE, 195, 195, 195}));

TEST(GlideColorCombine, DepthAsTheAlphaUnitsLocalFeedsLocalAlpha)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    // Iterated z 12800 = 0x3200: its high byte 0x32 = 50 is the alpha unit's local.
    grAlphaCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_DEPTH,
                   GR_COMBINE_OTHER_NONE, FXFALSE);
    grColorCombine(GR_COMBINE_FUNCTION_LOCAL_ALPHA, GR_COMBINE_FACTOR_NONE,
                   GR_COMBINE_LOCAL_ITERATED, GR_COMBINE_OTHER_NONE, FXFALSE);
    GrVertex a = Vertex(0, 0), b = Vertex(8, 0), c = Vertex(0, 8);
    a.ooz = b.ooz = c.ooz = 12800.0f;
    grDrawTriangle(&a, &b, &c);
    EXPECT_EQ(board.Pixel(1, 1), Truncated(50, 50, 50));
}

TEST(GlideColorCombine, AlphaControlsLightingPicksTheLocalColour)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    // Texture alpha 136 has its top bit set: the local colour becomes the constant (60).
    SetUpCombineInputs();
    grAlphaControlsITRGBLighting(FXTRUE);
    grColorCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_ITERATED,
                   GR_COMBINE_OTHER_NONE, FXFALSE);
    DrawRect(0, 0, 8, 8, 0, 0, 0, 0, 180, 180, 180, 64);
    EXPECT_EQ(board.Pixel(3, 3), Truncated(60, 60, 60));
    // ARGB4444 0x7C5A: alpha 0x7 * 17 = 119, top bit clear: iterated (180).
    const std::uint16_t nTexel = 0x7C5A;
    LoadTexture(GR_TEXFMT_ARGB_4444, GR_LOD_1, GR_ASPECT_1x1, &nTexel);
    DrawRect(0, 0, 8, 8, 0, 0, 0, 0, 180, 180, 180, 64);
    EXPECT_EQ(board.Pixel(3, 3), Truncated(180, 180, 180));
}

// ---------------------------------------------------------------- drawn: alpha unit

// Read back exactly through the alpha buffer (auxiliary buffer, depth off, alpha writes on).
struct AlphaCase
{
    GrCombineFunction_t eFunction;
    GrCombineFactor_t eFactor;
    GrCombineLocal_t eLocal;
    GrCombineOther_t eOther;
    FxBool bInvert;
    int nExpected;
};

class GlideAlphaCombine : public ::testing::TestWithParam<AlphaCase>
{
};

TEST_P(GlideAlphaCombine, GivesTheWorkedOutAlpha)
{
    Board board("voodoo", GR_RESOLUTION_320x240, 1);
    ASSERT_TRUE(board.IsOpen());
    SetUpCombineInputs();
    grColorMask(FXTRUE, FXTRUE);
    const AlphaCase& c = GetParam();
    grAlphaCombine(c.eFunction, c.eFactor, c.eLocal, c.eOther, c.bInvert);
    DrawRect(0, 0, 8, 8, 0, 0, 0, 0, 180, 180, 180, 64);
    EXPECT_EQ(board.Pixel(3, 3, GR_BUFFER_AUXBUFFER) & 0xFF, c.nExpected)
        << "function " << c.eFunction << " factor " << c.eFactor;
}

// Local alpha = constant 128, other = iterated 64 (or texture 136).
INSTANTIATE_TEST_SUITE_P(
    Cases, GlideAlphaCombine,
    ::testing::Values(
        AlphaCase{GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE, CL, OI, FXFALSE, 64},
        AlphaCase{GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, CL, OI, FXFALSE, 128},
        AlphaCase{GR_COMBINE_FUNCTION_LOCAL_ALPHA, GR_COMBINE_FACTOR_NONE, CL, OI, FXFALSE, 128},
        AlphaCase{GR_COMBINE_FUNCTION_SCALE_OTHER_MINUS_LOCAL, GR_COMBINE_FACTOR_ONE, CL, OI,
                  FXFALSE, 0},
        // (64 - 128) * 65 = -4160 >> 8 = -17, + 128
        AlphaCase{GR_COMBINE_FUNCTION_BLEND, GR_COMBINE_FACTOR_OTHER_ALPHA, CL, OI, FXFALSE, 111},
        // -128 * 129 = -16512 >> 8 = -65, + 128
        AlphaCase{GR_COMBINE_FUNCTION_SCALE_MINUS_LOCAL_ADD_LOCAL, GR_COMBINE_FACTOR_LOCAL, CL, OI,
                  FXFALSE, 63},
        // 64 * 129 = 8256 >> 8 = 32, + 128; inverted 95
        AlphaCase{GR_COMBINE_FUNCTION_SCALE_OTHER_ADD_LOCAL_ALPHA, GR_COMBINE_FACTOR_LOCAL_ALPHA,
                  CL, OI, FXFALSE, 160},
        AlphaCase{GR_COMBINE_FUNCTION_SCALE_OTHER_ADD_LOCAL_ALPHA, GR_COMBINE_FACTOR_LOCAL_ALPHA,
                  CL, OI, FXTRUE, 95},
        // Texture alpha 136 as other; as factor: 64 * 137 = 8768 >> 8 = 34
        AlphaCase{GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE, CL,
                  GR_COMBINE_OTHER_TEXTURE, FXFALSE, 136},
        AlphaCase{GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_TEXTURE_ALPHA, CL, OI, FXFALSE,
                  34},
        // The alpha unit has no 0x5 source: it reads zero, so f = 0 and 1 - f = 255.
        AlphaCase{GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_LOD_FRACTION, CL, OI, FXFALSE,
                  0},
        AlphaCase{GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE_MINUS_LOD_FRACTION, CL, OI,
                  FXFALSE, 64},
        AlphaCase{GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_ITERATED, OI,
                  FXFALSE, 64}));

// ---------------------------------------------------------------- gu mappings

bool SameUnitState(const CombineUnitState& a, const CombineUnitState& b)
{
    return a.eOther == b.eOther && a.eLocal == b.eLocal && a.eFactor == b.eFactor &&
           a.bInvertFactor == b.bInvertFactor && a.bZeroOther == b.bZeroOther &&
           a.bSubtractLocal == b.bSubtractLocal && a.eAdd == b.eAdd &&
           a.bInvertOutput == b.bInvertOutput;
}

struct GuColorCase
{
    GrColorCombineFnc_t eMode;
    GrCombineFunction_t eFunction;
    GrCombineFactor_t eFactor;
    GrCombineLocal_t eLocal;
    GrCombineOther_t eOther;
    FxBool bInvert;
    bool bDelta0;
};

class GlideGuColorCombine : public ::testing::TestWithParam<GuColorCase>
{
};

TEST_P(GlideGuColorCombine, IsThePublishedColorCombineCall)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    const GuColorCase& c = GetParam();
    grColorCombine(c.eFunction, c.eFactor, c.eLocal, c.eOther, c.bInvert);
    const CombineUnitState expected = GlideContext::Get().GetState().colorCombine;
    grColorCombine(GR_COMBINE_FUNCTION_BLEND, GR_COMBINE_FACTOR_OTHER_ALPHA,
                   GR_COMBINE_LOCAL_ITERATED, GR_COMBINE_OTHER_TEXTURE, FXTRUE);
    guColorCombineFunction(c.eMode);
    EXPECT_TRUE(SameUnitState(GlideContext::Get().GetState().colorCombine, expected)) << c.eMode;
    EXPECT_EQ(GlideContext::Get().GetState().bDelta0, c.bDelta0) << c.eMode;
}

INSTANTIATE_TEST_SUITE_P(
    Modes, GlideGuColorCombine,
    ::testing::Values(
        GuColorCase{GR_COLORCOMBINE_ZERO, GR_COMBINE_FUNCTION_ZERO, GR_COMBINE_FACTOR_NONE,
                    GR_COMBINE_LOCAL_NONE, GR_COMBINE_OTHER_NONE, FXFALSE, false},
        GuColorCase{GR_COLORCOMBINE_CCRGB, GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE,
                    GR_COMBINE_LOCAL_CONSTANT, GR_COMBINE_OTHER_NONE, FXFALSE, false},
        GuColorCase{GR_COLORCOMBINE_ITRGB, GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE,
                    GR_COMBINE_LOCAL_ITERATED, GR_COMBINE_OTHER_NONE, FXFALSE, false},
        GuColorCase{GR_COLORCOMBINE_ITRGB_DELTA0, GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE,
                    GR_COMBINE_LOCAL_ITERATED, GR_COMBINE_OTHER_NONE, FXFALSE, true},
        GuColorCase{GR_COLORCOMBINE_DECAL_TEXTURE, GR_COMBINE_FUNCTION_SCALE_OTHER,
                    GR_COMBINE_FACTOR_ONE, GR_COMBINE_LOCAL_NONE, GR_COMBINE_OTHER_TEXTURE, FXFALSE,
                    false},
        GuColorCase{GR_COLORCOMBINE_TEXTURE_TIMES_CCRGB, GR_COMBINE_FUNCTION_SCALE_OTHER,
                    GR_COMBINE_FACTOR_LOCAL, GR_COMBINE_LOCAL_CONSTANT, GR_COMBINE_OTHER_TEXTURE,
                    FXFALSE, false},
        GuColorCase{GR_COLORCOMBINE_TEXTURE_TIMES_ITRGB, GR_COMBINE_FUNCTION_SCALE_OTHER,
                    GR_COMBINE_FACTOR_LOCAL, GR_COMBINE_LOCAL_ITERATED, GR_COMBINE_OTHER_TEXTURE,
                    FXFALSE, false},
        GuColorCase{GR_COLORCOMBINE_TEXTURE_TIMES_ITRGB_DELTA0, GR_COMBINE_FUNCTION_SCALE_OTHER,
                    GR_COMBINE_FACTOR_LOCAL, GR_COMBINE_LOCAL_ITERATED, GR_COMBINE_OTHER_TEXTURE,
                    FXFALSE, true},
        GuColorCase{GR_COLORCOMBINE_TEXTURE_TIMES_ITRGB_ADD_ALPHA,
                    GR_COMBINE_FUNCTION_SCALE_OTHER_ADD_LOCAL_ALPHA, GR_COMBINE_FACTOR_LOCAL,
                    GR_COMBINE_LOCAL_ITERATED, GR_COMBINE_OTHER_TEXTURE, FXFALSE, false},
        GuColorCase{GR_COLORCOMBINE_TEXTURE_TIMES_ALPHA, GR_COMBINE_FUNCTION_SCALE_OTHER,
                    GR_COMBINE_FACTOR_LOCAL_ALPHA, GR_COMBINE_LOCAL_NONE, GR_COMBINE_OTHER_TEXTURE,
                    FXFALSE, false},
        GuColorCase{GR_COLORCOMBINE_TEXTURE_TIMES_ALPHA_ADD_ITRGB,
                    GR_COMBINE_FUNCTION_SCALE_OTHER_ADD_LOCAL, GR_COMBINE_FACTOR_LOCAL_ALPHA,
                    GR_COMBINE_LOCAL_ITERATED, GR_COMBINE_OTHER_TEXTURE, FXFALSE, false},
        GuColorCase{GR_COLORCOMBINE_TEXTURE_ADD_ITRGB, GR_COMBINE_FUNCTION_SCALE_OTHER_ADD_LOCAL,
                    GR_COMBINE_FACTOR_ONE, GR_COMBINE_LOCAL_ITERATED, GR_COMBINE_OTHER_TEXTURE,
                    FXFALSE, false},
        GuColorCase{GR_COLORCOMBINE_TEXTURE_SUB_ITRGB, GR_COMBINE_FUNCTION_SCALE_OTHER_MINUS_LOCAL,
                    GR_COMBINE_FACTOR_ONE, GR_COMBINE_LOCAL_ITERATED, GR_COMBINE_OTHER_TEXTURE,
                    FXFALSE, false},
        GuColorCase{GR_COLORCOMBINE_CCRGB_BLEND_ITRGB_ON_TEXALPHA, GR_COMBINE_FUNCTION_BLEND,
                    GR_COMBINE_FACTOR_TEXTURE_ALPHA, GR_COMBINE_LOCAL_CONSTANT,
                    GR_COMBINE_OTHER_ITERATED, FXFALSE, false},
        GuColorCase{GR_COLORCOMBINE_DIFF_SPEC_A, GR_COMBINE_FUNCTION_SCALE_OTHER_ADD_LOCAL,
                    GR_COMBINE_FACTOR_LOCAL_ALPHA, GR_COMBINE_LOCAL_ITERATED,
                    GR_COMBINE_OTHER_TEXTURE, FXFALSE, false},
        GuColorCase{GR_COLORCOMBINE_DIFF_SPEC_B, GR_COMBINE_FUNCTION_SCALE_OTHER_ADD_LOCAL_ALPHA,
                    GR_COMBINE_FACTOR_LOCAL, GR_COMBINE_LOCAL_ITERATED, GR_COMBINE_OTHER_TEXTURE,
                    FXFALSE, false},
        GuColorCase{GR_COLORCOMBINE_ONE, GR_COMBINE_FUNCTION_ZERO, GR_COMBINE_FACTOR_NONE,
                    GR_COMBINE_LOCAL_NONE, GR_COMBINE_OTHER_NONE, FXTRUE, false}));

TEST(GlideGuColorCombine, DeltaZeroReplacesIteratedColourWithTheConstantColour4)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    grConstantColorValue4(255.0f, 10.0f, 20.0f, 30.0f);
    guColorCombineFunction(GR_COLORCOMBINE_ITRGB_DELTA0);
    const GrVertex a = Vertex(0, 0, 255, 0, 0), b = Vertex(16, 0, 0, 255, 0),
                   c = Vertex(0, 16, 0, 0, 255);
    grDrawTriangle(&a, &b, &c);
    EXPECT_EQ(board.Pixel(2, 2), Truncated(10, 20, 30));
    EXPECT_EQ(board.Pixel(9, 3), Truncated(10, 20, 30));
    // Any other mode turns delta-0 off again.
    guColorCombineFunction(GR_COLORCOMBINE_ITRGB);
    const GrVertex d = Vertex(20, 0, 255, 0, 0), e = Vertex(36, 0, 255, 0, 0),
                   f = Vertex(20, 16, 255, 0, 0);
    grDrawTriangle(&d, &e, &f);
    EXPECT_EQ(board.Pixel(22, 2), Truncated(255, 0, 0));
}

TEST(GlideGuColorCombine, UnknownModesChangeNothing)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    guColorCombineFunction(GR_COLORCOMBINE_CCRGB);
    const CombineUnitState before = GlideContext::Get().GetState().colorCombine;
    guColorCombineFunction(0x11);
    guColorCombineFunction(-1);
    EXPECT_TRUE(SameUnitState(GlideContext::Get().GetState().colorCombine, before));
}

struct GuAlphaCase
{
    GrAlphaSource_t eSource;
    GrCombineFunction_t eFunction;
    GrCombineFactor_t eFactor;
    GrCombineLocal_t eLocal;
    GrCombineOther_t eOther;
};

class GlideGuAlphaSource : public ::testing::TestWithParam<GuAlphaCase>
{
};

TEST_P(GlideGuAlphaSource, IsThePublishedAlphaCombineCall)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    const GuAlphaCase& c = GetParam();
    grAlphaCombine(c.eFunction, c.eFactor, c.eLocal, c.eOther, FXFALSE);
    const CombineUnitState expected = GlideContext::Get().GetState().alphaCombine;
    grAlphaCombine(GR_COMBINE_FUNCTION_BLEND, GR_COMBINE_FACTOR_OTHER_ALPHA, GR_COMBINE_LOCAL_DEPTH,
                   GR_COMBINE_OTHER_CONSTANT, FXTRUE);
    guAlphaSource(c.eSource);
    EXPECT_TRUE(SameUnitState(GlideContext::Get().GetState().alphaCombine, expected));
}

INSTANTIATE_TEST_SUITE_P(
    Sources, GlideGuAlphaSource,
    ::testing::Values(
        GuAlphaCase{GR_ALPHASOURCE_CC_ALPHA, GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE,
                    GR_COMBINE_LOCAL_CONSTANT, GR_COMBINE_OTHER_NONE},
        GuAlphaCase{GR_ALPHASOURCE_ITERATED_ALPHA, GR_COMBINE_FUNCTION_LOCAL,
                    GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_ITERATED, GR_COMBINE_OTHER_NONE},
        GuAlphaCase{GR_ALPHASOURCE_TEXTURE_ALPHA, GR_COMBINE_FUNCTION_SCALE_OTHER,
                    GR_COMBINE_FACTOR_ONE, GR_COMBINE_LOCAL_NONE, GR_COMBINE_OTHER_TEXTURE},
        GuAlphaCase{GR_ALPHASOURCE_TEXTURE_ALPHA_TIMES_ITERATED_ALPHA,
                    GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_LOCAL,
                    GR_COMBINE_LOCAL_ITERATED, GR_COMBINE_OTHER_TEXTURE}));

// ---------------------------------------------------------------- texture combine

// Voodoo2 (two TMUs): TMU1 shows its texel ARGB4444 0x4369 (alpha 68, red 51, green 102,
// blue 153) as the "other" input of TMU0, whose local texel is 0x8C5A (136, 204, 85, 170).
struct TexCombineCase
{
    GrTextureCombineFnc_t eMode;
    int r, g, b;
};

class GlideTexCombine : public ::testing::TestWithParam<TexCombineCase>
{
};

TEST_P(GlideTexCombine, CombinesTheLocalTexelWithTheUpstreamTmu)
{
    Board board("voodoo2", GR_RESOLUTION_512x384);
    ASSERT_TRUE(board.IsOpen());
    const std::uint16_t nTexel1 = 0x4369;
    const GrMipMapId_t id1 = guTexAllocateMemory(
        GR_TMU1, GR_MIPMAPLEVELMASK_BOTH, 1, 1, GR_TEXFMT_ARGB_4444, GR_MIPMAP_DISABLE, GR_LOD_1,
        GR_LOD_1, GR_ASPECT_1x1, GR_TEXTURECLAMP_CLAMP, GR_TEXTURECLAMP_CLAMP,
        GR_TEXTUREFILTER_POINT_SAMPLED, GR_TEXTUREFILTER_POINT_SAMPLED, 0.0f, FXFALSE);
    ASSERT_NE(id1, GR_NULL_MIPMAP_HANDLE);
    guTexDownloadMipMap(id1, &nTexel1, nullptr);
    guTexSource(id1);
    grTexCombineFunction(GR_TMU1, GR_TEXTURECOMBINE_DECAL);
    const std::uint16_t nTexel0 = 0x8C5A;
    LoadTexture(GR_TEXFMT_ARGB_4444, GR_LOD_1, GR_ASPECT_1x1, &nTexel0);
    guColorCombineFunction(GR_COLORCOMBINE_DECAL_TEXTURE);
    grTexCombineFunction(GR_TMU0, GetParam().eMode);
    DrawRect(0, 0, 8, 8);
    const TexCombineCase& c = GetParam();
    EXPECT_EQ(board.Pixel(3, 3), Truncated(c.r, c.g, c.b)) << "mode " << c.eMode;
}

INSTANTIATE_TEST_SUITE_P(Modes, GlideTexCombine,
                         ::testing::Values(TexCombineCase{GR_TEXTURECOMBINE_ZERO, 0, 0, 0},
                                           TexCombineCase{GR_TEXTURECOMBINE_DECAL, 204, 85, 170},
                                           TexCombineCase{GR_TEXTURECOMBINE_OTHER, 51, 102, 153},
                                           TexCombineCase{GR_TEXTURECOMBINE_ADD, 255, 187, 255},
                                           // other * (local + 1) >> 8: 51*205, 102*86, 153*171 >> 8
                                           TexCombineCase{GR_TEXTURECOMBINE_MULTIPLY, 40, 34, 102},
                                           TexCombineCase{GR_TEXTURECOMBINE_SUBTRACT, 0, 17, 0},
                                           TexCombineCase{GR_TEXTURECOMBINE_ONE, 255, 255, 255}));

TEST(GlideTexCombine, TheMostUpstreamTmuSeesZeroAsOther)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    const std::uint16_t nTexel = 0x8C5A;
    LoadTexture(GR_TEXFMT_ARGB_4444, GR_LOD_1, GR_ASPECT_1x1, &nTexel);
    guColorCombineFunction(GR_COLORCOMBINE_DECAL_TEXTURE);
    grTexCombineFunction(GR_TMU0, GR_TEXTURECOMBINE_OTHER);
    DrawRect(0, 0, 8, 8);
    EXPECT_EQ(board.Pixel(3, 3), 0);
    grTexCombineFunction(GR_TMU0, GR_TEXTURECOMBINE_ADD);
    DrawRect(0, 0, 8, 8);
    EXPECT_EQ(board.Pixel(3, 3), Truncated(204, 85, 170));
    // The texture unit's own combine with invert: ZERO inverted is 255 (GR_TEXTURECOMBINE_ONE).
    grTexCombine(GR_TMU0, GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE,
                 GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, FXTRUE, FXFALSE);
    DrawRect(0, 0, 8, 8);
    EXPECT_EQ(board.Pixel(3, 3), Truncated(51, 170, 85));
}
} // namespace

namespace
{
// A white 64x64 mip chain, mip-mapped, sampled 6 units per pixel in s and t:
// lod = floor(256 * 0.5 * log2(6^2 + 0)) = floor(661.75) = 661 (8.8): level 2, fraction 149.
void DrawWhiteChainAtLod661(GrTextureCombineFnc_t eMode)
{
    std::vector<std::uint16_t> texels(64 * 64 + 32 * 32 + 16 * 16 + 8 * 8 + 4 * 4 + 2 * 2 + 1,
                                      0xFFFF);
    const GrMipMapId_t id = guTexAllocateMemory(
        GR_TMU0, GR_MIPMAPLEVELMASK_BOTH, 64, 64, GR_TEXFMT_RGB_565, GR_MIPMAP_NEAREST, GR_LOD_1,
        GR_LOD_64, GR_ASPECT_1x1, GR_TEXTURECLAMP_WRAP, GR_TEXTURECLAMP_WRAP,
        GR_TEXTUREFILTER_POINT_SAMPLED, GR_TEXTUREFILTER_POINT_SAMPLED, 0.0f, FXFALSE);
    ASSERT_NE(id, GR_NULL_MIPMAP_HANDLE);
    guTexDownloadMipMap(id, texels.data(), nullptr);
    guTexSource(id);
    guColorCombineFunction(GR_COLORCOMBINE_DECAL_TEXTURE);
    grTexCombineFunction(GR_TMU0, eMode);
    DrawRect(0, 0, 16, 16, 0, 0, 96, 0);
}

TEST(GlideTexCombine, TrilinearBlendsByTheLodFraction)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    // BLEND with other 0 (no upstream TMU): 255 + ((0 - 255) * (f + 1)) >> 8.
    // Even: f = 149: -38250 >> 8 = -150 -> 105. Odd: f = 255 - 149 = 106: -27285 >> 8 = -107
    // -> 148.
    DrawWhiteChainAtLod661(GR_TEXTURECOMBINE_TRILINEAR_EVEN);
    EXPECT_EQ(board.Pixel(5, 5), Truncated(105, 105, 105));
    DrawWhiteChainAtLod661(GR_TEXTURECOMBINE_TRILINEAR_ODD);
    EXPECT_EQ(board.Pixel(5, 5), Truncated(148, 148, 148));
}

TEST(GlideTexCombine, DetailBlendsByTheDetailFactor)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    // Detail factor = clamp((bias - lod in quarter levels) << scale, 0, max): lod 661 is
    // 10 quarter levels; bias 20, scale 2: 40. DETAIL blends with 1 - 40/255 (f = 215):
    // 255 + (-255 * 216) >> 8 = 255 - 216 = 39. DETAIL_OTHER with f = 40: (-255 * 41) >> 8 =
    // -41 -> 214.
    DrawWhiteChainAtLod661(GR_TEXTURECOMBINE_DETAIL);
    grTexDetailControl(GR_TMU0, 20, 2, 1.0f);
    DrawRect(0, 0, 16, 16, 0, 0, 96, 0);
    EXPECT_EQ(board.Pixel(5, 5), Truncated(39, 39, 39));
    grTexCombineFunction(GR_TMU0, GR_TEXTURECOMBINE_DETAIL_OTHER);
    DrawRect(0, 0, 16, 16, 0, 0, 96, 0);
    EXPECT_EQ(board.Pixel(5, 5), Truncated(214, 214, 214));
    // detail_max 0.1 caps the factor at 26: (-255 * 27) >> 8 = -27 -> 228.
    grTexDetailControl(GR_TMU0, 20, 2, 0.1f);
    DrawRect(0, 0, 16, 16, 0, 0, 96, 0);
    EXPECT_EQ(board.Pixel(5, 5), Truncated(228, 228, 228));
}
} // namespace
