// Glide entry points: culling, combine units, constant colour, blending, tests, depth, dither,
// fog and gamma.
#include "GlideContext.h"
#include "GlideTraceScope.h"
#include "GlideMap.h"
#include <cmath>
#include <cstring>
#include <glide.h>

namespace
{
GlideContext& Context()
{
    return GlideContext::Get();
}

bool Ready()
{
    return Context().IsInitialized();
}

// Builds one combine unit's unit; false (and nothing changed) for any undefined value.
bool MapCombine(GrCombineFunction_t eFunction, GrCombineFactor_t eFactor, GrCombineLocal_t eLocal,
                GrCombineOther_t eOther, FxBool bInvert, CombineUnitKind eUnit,
                CombineUnitState* pUnit)
{
    CombineUnitState unit;
    if (!GlideMap::CombineFunction(eFunction, &unit) ||
        !GlideMap::CombineFactor(eFactor, eUnit, &unit) ||
        !GlideMap::CombineLocalSource(eLocal, eUnit, &unit.eLocal) ||
        !GlideMap::CombineOtherSource(eOther, &unit.eOther))
        return false;
    unit.bInvertOutput = bInvert != FXFALSE;
    *pUnit = unit;
    return true;
}

Int32 ColorByte(UInt32 nArgb, Int32 nShift)
{
    return Int32((nArgb >> nShift) & 0xFFu);
}

Byte FogByte(double dFog)
{
    if (!(dFog > 0.0))
        return 0;
    return dFog >= 1.0 ? 255 : Byte(std::floor(dFog * 255.0 + 0.5));
}
} // namespace

void FX_CALL grCullMode(GrCullMode_t mode)
{
    GLIDE_TRACE(Record(TraceCall::CullMode, mode));
    CullMode eMode;
    if (!Ready())
        return;
    if (!GlideMap::Cull(mode, &eMode))
        return Context().Error("grCullMode: bad mode");
    Context().GetState().eCull = eMode;
}

void FX_CALL grColorCombine(GrCombineFunction_t function, GrCombineFactor_t factor,
                            GrCombineLocal_t local, GrCombineOther_t other, FxBool invert)
{
    GLIDE_TRACE(Record(TraceCall::ColorCombine, function, factor, local, other, invert));
    if (!Ready())
        return;
    if (!MapCombine(function, factor, local, other, invert, CombineUnitKind::Color,
                    &Context().GetState().colorCombine))
        Context().Error("grColorCombine: bad argument");
}

void FX_CALL grAlphaCombine(GrCombineFunction_t function, GrCombineFactor_t factor,
                            GrCombineLocal_t local, GrCombineOther_t other, FxBool invert)
{
    GLIDE_TRACE(Record(TraceCall::AlphaCombine, function, factor, local, other, invert));
    if (!Ready())
        return;
    if (!MapCombine(function, factor, local, other, invert, CombineUnitKind::Alpha,
                    &Context().GetState().alphaCombine))
        Context().Error("grAlphaCombine: bad argument");
}

void FX_CALL grAlphaControlsITRGBLighting(FxBool enable)
{
    GLIDE_TRACE(Record(TraceCall::AlphaControlsITRGBLighting, enable));
    if (Ready())
        Context().GetState().bAlphaControlsLighting = enable != FXFALSE;
}

void FX_CALL guColorCombineFunction(GrColorCombineFnc_t fnc)
{
    GLIDE_TRACE(Record(TraceCall::ColorCombineFunction, fnc));
    if (!Ready())
        return;
    struct Row
    {
        GrCombineFunction_t eFunction;
        GrCombineFactor_t eFactor;
        GrCombineLocal_t eLocal;
        GrCombineOther_t eOther;
        FxBool bInvert;
        bool bDelta0;
    };
    // The gu colour-combine modes as grColorCombine calls (glide-reference.md §5.3).
    static const Row aRows[] = {
        /* ZERO */ {GR_COMBINE_FUNCTION_ZERO, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_NONE,
                    GR_COMBINE_OTHER_NONE, FXFALSE, false},
        /* CCRGB */
        {GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_CONSTANT,
         GR_COMBINE_OTHER_NONE, FXFALSE, false},
        /* ITRGB */
        {GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_ITERATED,
         GR_COMBINE_OTHER_NONE, FXFALSE, false},
        /* ITRGB_DELTA0 */
        {GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_ITERATED,
         GR_COMBINE_OTHER_NONE, FXFALSE, true},
        /* DECAL_TEXTURE */
        {GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE, GR_COMBINE_LOCAL_NONE,
         GR_COMBINE_OTHER_TEXTURE, FXFALSE, false},
        /* TEXTURE_TIMES_CCRGB */
        {GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_LOCAL, GR_COMBINE_LOCAL_CONSTANT,
         GR_COMBINE_OTHER_TEXTURE, FXFALSE, false},
        /* TEXTURE_TIMES_ITRGB */
        {GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_LOCAL, GR_COMBINE_LOCAL_ITERATED,
         GR_COMBINE_OTHER_TEXTURE, FXFALSE, false},
        /* TEXTURE_TIMES_ITRGB_DELTA0 */
        {GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_LOCAL, GR_COMBINE_LOCAL_ITERATED,
         GR_COMBINE_OTHER_TEXTURE, FXFALSE, true},
        /* TEXTURE_TIMES_ITRGB_ADD_ALPHA */
        {GR_COMBINE_FUNCTION_SCALE_OTHER_ADD_LOCAL_ALPHA, GR_COMBINE_FACTOR_LOCAL,
         GR_COMBINE_LOCAL_ITERATED, GR_COMBINE_OTHER_TEXTURE, FXFALSE, false},
        /* TEXTURE_TIMES_ALPHA */
        {GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_LOCAL_ALPHA, GR_COMBINE_LOCAL_NONE,
         GR_COMBINE_OTHER_TEXTURE, FXFALSE, false},
        /* TEXTURE_TIMES_ALPHA_ADD_ITRGB */
        {GR_COMBINE_FUNCTION_SCALE_OTHER_ADD_LOCAL, GR_COMBINE_FACTOR_LOCAL_ALPHA,
         GR_COMBINE_LOCAL_ITERATED, GR_COMBINE_OTHER_TEXTURE, FXFALSE, false},
        /* TEXTURE_ADD_ITRGB */
        {GR_COMBINE_FUNCTION_SCALE_OTHER_ADD_LOCAL, GR_COMBINE_FACTOR_ONE,
         GR_COMBINE_LOCAL_ITERATED, GR_COMBINE_OTHER_TEXTURE, FXFALSE, false},
        /* TEXTURE_SUB_ITRGB */
        {GR_COMBINE_FUNCTION_SCALE_OTHER_MINUS_LOCAL, GR_COMBINE_FACTOR_ONE,
         GR_COMBINE_LOCAL_ITERATED, GR_COMBINE_OTHER_TEXTURE, FXFALSE, false},
        /* CCRGB_BLEND_ITRGB_ON_TEXALPHA */
        {GR_COMBINE_FUNCTION_BLEND, GR_COMBINE_FACTOR_TEXTURE_ALPHA, GR_COMBINE_LOCAL_CONSTANT,
         GR_COMBINE_OTHER_ITERATED, FXFALSE, false},
        /* DIFF_SPEC_A */
        {GR_COMBINE_FUNCTION_SCALE_OTHER_ADD_LOCAL, GR_COMBINE_FACTOR_LOCAL_ALPHA,
         GR_COMBINE_LOCAL_ITERATED, GR_COMBINE_OTHER_TEXTURE, FXFALSE, false},
        /* DIFF_SPEC_B */
        {GR_COMBINE_FUNCTION_SCALE_OTHER_ADD_LOCAL_ALPHA, GR_COMBINE_FACTOR_LOCAL,
         GR_COMBINE_LOCAL_ITERATED, GR_COMBINE_OTHER_TEXTURE, FXFALSE, false},
        /* ONE */
        {GR_COMBINE_FUNCTION_ZERO, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_NONE,
         GR_COMBINE_OTHER_NONE, FXTRUE, false},
    };
    static_assert(sizeof(aRows) / sizeof(aRows[0]) == GR_COLORCOMBINE_ONE + 1,
                  "one row per gu colour-combine mode");
    if (fnc < GR_COLORCOMBINE_ZERO || fnc > GR_COLORCOMBINE_ONE)
        return Context().Error("guColorCombineFunction: bad mode");
    const Row& row = aRows[fnc];
    Context().GetState().bDelta0 = row.bDelta0;
    grColorCombine(row.eFunction, row.eFactor, row.eLocal, row.eOther, row.bInvert);
}

void FX_CALL guAlphaSource(GrAlphaSource_t mode)
{
    GLIDE_TRACE(Record(TraceCall::AlphaSource, mode));
    switch (mode)
    {
    case GR_ALPHASOURCE_CC_ALPHA:
        return grAlphaCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE,
                              GR_COMBINE_LOCAL_CONSTANT, GR_COMBINE_OTHER_NONE, FXFALSE);
    case GR_ALPHASOURCE_ITERATED_ALPHA:
        return grAlphaCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE,
                              GR_COMBINE_LOCAL_ITERATED, GR_COMBINE_OTHER_NONE, FXFALSE);
    case GR_ALPHASOURCE_TEXTURE_ALPHA:
        return grAlphaCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE,
                              GR_COMBINE_LOCAL_NONE, GR_COMBINE_OTHER_TEXTURE, FXFALSE);
    case GR_ALPHASOURCE_TEXTURE_ALPHA_TIMES_ITERATED_ALPHA:
        return grAlphaCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_LOCAL,
                              GR_COMBINE_LOCAL_ITERATED, GR_COMBINE_OTHER_TEXTURE, FXFALSE);
    default:
        if (Ready())
            Context().Error("guAlphaSource: bad mode");
        return;
    }
}

void FX_CALL grConstantColorValue(GrColor_t value)
{
    GLIDE_TRACE(Record(TraceCall::ConstantColorValue, value));
    if (!Ready())
        return;
    const UInt32 nArgb = GlideMap::ColorToArgb(value, Context().GetColorFormat());
    DeviceState& state = Context().GetState();
    state.nConstA = ColorByte(nArgb, 24);
    state.nConstR = ColorByte(nArgb, 16);
    state.nConstG = ColorByte(nArgb, 8);
    state.nConstB = ColorByte(nArgb, 0);
}

void FX_CALL grConstantColorValue4(float a, float r, float g, float b)
{
    GLIDE_TRACE(Record(TraceCall::ConstantColorValue4, a, r, g, b));
    if (!Ready())
        return;
    // Feeds only the delta-0 colour modes (iterated RGB replaced by this colour).
    (void)a;
    DeviceState& state = Context().GetState();
    state.fDelta0R = r;
    state.fDelta0G = g;
    state.fDelta0B = b;
}

void FX_CALL grAlphaBlendFunction(GrAlphaBlendFnc_t rgb_sf, GrAlphaBlendFnc_t rgb_df,
                                  GrAlphaBlendFnc_t alpha_sf, GrAlphaBlendFnc_t alpha_df)
{
    GLIDE_TRACE(Record(TraceCall::AlphaBlendFunction, rgb_sf, rgb_df, alpha_sf, alpha_df));
    if (!Ready())
        return;
    BlendState blend;
    if (!GlideMap::BlendSourceFactor(rgb_sf, &blend.eRgbSrc) ||
        !GlideMap::BlendDestinationFactor(rgb_df, &blend.eRgbDst) ||
        !GlideMap::BlendSourceFactor(alpha_sf, &blend.eAlphaSrc) ||
        !GlideMap::BlendDestinationFactor(alpha_df, &blend.eAlphaDst))
        return Context().Error("grAlphaBlendFunction: bad factor");
    if (Context().GetBoard().eKind == BoardKind::VoodooGraphics)
    {
        // Voodoo Graphics blends alpha with ZERO or ONE only; Glide forces any other source
        // factor to ONE and destination factor to ZERO (docs/fidelity.md).
        if (blend.eAlphaSrc != BlendFactor::Zero && blend.eAlphaSrc != BlendFactor::One)
            blend.eAlphaSrc = BlendFactor::One;
        if (blend.eAlphaDst != BlendFactor::Zero && blend.eAlphaDst != BlendFactor::One)
            blend.eAlphaDst = BlendFactor::Zero;
    }
    Context().GetState().blend = blend;
}

void FX_CALL grAlphaTestFunction(GrCmpFnc_t function)
{
    GLIDE_TRACE(Record(TraceCall::AlphaTestFunction, function));
    CompareFunc eFunc;
    if (!Ready())
        return;
    if (!GlideMap::Compare(function, &eFunc))
        return Context().Error("grAlphaTestFunction: bad function");
    Context().GetState().eAlphaTest = eFunc;
}

void FX_CALL grAlphaTestReferenceValue(GrAlpha_t value)
{
    GLIDE_TRACE(Record(TraceCall::AlphaTestReferenceValue, value));
    if (Ready())
        Context().GetState().nAlphaRef = value;
}

void FX_CALL grChromakeyMode(GrChromakeyMode_t mode)
{
    GLIDE_TRACE(Record(TraceCall::ChromakeyMode, mode));
    if (!Ready())
        return;
    if (mode != GR_CHROMAKEY_DISABLE && mode != GR_CHROMAKEY_ENABLE)
        return Context().Error("grChromakeyMode: bad mode");
    Context().GetState().bChromaKey = mode == GR_CHROMAKEY_ENABLE;
}

void FX_CALL grChromakeyValue(GrColor_t value)
{
    GLIDE_TRACE(Record(TraceCall::ChromakeyValue, value));
    if (Ready())
        Context().GetState().nChromaRgb =
            GlideMap::ColorToArgb(value, Context().GetColorFormat()) & 0xFFFFFFu;
}

void FX_CALL grDepthBufferMode(GrDepthBufferMode_t mode)
{
    GLIDE_TRACE(Record(TraceCall::DepthBufferMode, mode));
    DepthMode eMode;
    if (!Ready())
        return;
    if (!GlideMap::Depth(mode, &eMode))
        return Context().Error("grDepthBufferMode: bad mode");
    Context().GetState().eDepthMode = eMode;
}

void FX_CALL grDepthBufferFunction(GrCmpFnc_t function)
{
    GLIDE_TRACE(Record(TraceCall::DepthBufferFunction, function));
    CompareFunc eFunc;
    if (!Ready())
        return;
    if (!GlideMap::Compare(function, &eFunc))
        return Context().Error("grDepthBufferFunction: bad function");
    Context().GetState().eDepthFunc = eFunc;
}

void FX_CALL grDepthMask(FxBool mask)
{
    GLIDE_TRACE(Record(TraceCall::DepthMask, mask));
    if (Ready())
        Context().GetState().bDepthMask = mask != FXFALSE;
}

void FX_CALL grDepthBiasLevel(FxI16 level)
{
    GLIDE_TRACE(Record(TraceCall::DepthBiasLevel, level));
    if (Ready())
        Context().GetState().nDepthBias = level;
}

void FX_CALL grDitherMode(GrDitherMode_t mode)
{
    GLIDE_TRACE(Record(TraceCall::DitherMode, mode));
    DitherMode eMode;
    if (!Ready())
        return;
    if (!GlideMap::Dither(mode, &eMode))
        return Context().Error("grDitherMode: bad mode");
    Context().GetState().eDither = eMode;
}

void FX_CALL grFogMode(GrFogMode_t mode)
{
    GLIDE_TRACE(Record(TraceCall::FogMode, mode));
    FogMode eMode;
    bool bMult, bAdd;
    if (!Ready())
        return;
    if (!GlideMap::Fog(mode, &eMode, &bMult, &bAdd))
        return Context().Error("grFogMode: bad mode");
    DeviceState& state = Context().GetState();
    state.eFogMode = eMode;
    state.bFogMult = bMult;
    state.bFogAdd = bAdd;
}

void FX_CALL grFogColorValue(GrColor_t fogcolor)
{
    GLIDE_TRACE(Record(TraceCall::FogColorValue, fogcolor));
    if (Ready())
        Context().GetState().nFogRgb =
            GlideMap::ColorToArgb(fogcolor, Context().GetColorFormat()) & 0xFFFFFFu;
}

void FX_CALL grFogTable(const GrFog_t ft[GR_FOG_TABLE_SIZE])
{
    GLIDE_TRACE(FogTable(ft));
    if (Ready() && ft)
        std::memcpy(Context().GetState().abFogTable, ft, GR_FOG_TABLE_SIZE);
}

void FX_CALL grGammaCorrectionValue(float value)
{
    GLIDE_TRACE(Record(TraceCall::GammaCorrectionValue, value));
    if (Ready())
        Context().GetDevice().SetGamma(value);
}

void FX_CALL grDisableAllEffects(void)
{
    GLIDE_TRACE(Record(TraceCall::DisableAllEffects));
    // Blending, alpha test, chroma key, depth buffering and fog off; dithering stays.
    grAlphaBlendFunction(GR_BLEND_ONE, GR_BLEND_ZERO, GR_BLEND_ONE, GR_BLEND_ZERO);
    grAlphaTestFunction(GR_CMP_ALWAYS);
    grChromakeyMode(GR_CHROMAKEY_DISABLE);
    grDepthBufferMode(GR_DEPTHBUFFER_DISABLE);
    grFogMode(GR_FOG_DISABLE);
}

float FX_CALL guFogTableIndexToW(int i)
{
    // Entry i stands for w = 2^(3 + (i >> 2)) / (8 - (i & 3)).
    if (i < 0)
        i = 0;
    if (i >= GR_FOG_TABLE_SIZE)
        i = GR_FOG_TABLE_SIZE - 1;
    return float(std::ldexp(1.0, 3 + (i >> 2)) / double(8 - (i & 3)));
}

void FX_CALL guFogGenerateExp(GrFog_t fogtable[GR_FOG_TABLE_SIZE], float density)
{
    if (!fogtable)
        return;
    for (int i = 0; i < GR_FOG_TABLE_SIZE; ++i)
        fogtable[i] = FogByte(1.0 - std::exp(-double(density) * guFogTableIndexToW(i)));
}

void FX_CALL guFogGenerateExp2(GrFog_t fogtable[GR_FOG_TABLE_SIZE], float density)
{
    if (!fogtable)
        return;
    for (int i = 0; i < GR_FOG_TABLE_SIZE; ++i)
    {
        const double d = double(density) * guFogTableIndexToW(i);
        fogtable[i] = FogByte(1.0 - std::exp(-d * d));
    }
}

void FX_CALL guFogGenerateLinear(GrFog_t fogtable[GR_FOG_TABLE_SIZE], float nearW, float farW)
{
    if (!fogtable)
        return;
    for (int i = 0; i < GR_FOG_TABLE_SIZE; ++i)
    {
        const double dRange = double(farW) - nearW;
        const double dW = guFogTableIndexToW(i);
        fogtable[i] = dRange > 0.0 ? FogByte((dW - nearW) / dRange) : Byte(dW >= farW ? 255 : 0);
    }
}
