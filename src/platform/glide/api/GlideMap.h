// GlideMap: Glide 2.x argument values -> the device's own state.
//
// API half. Each function checks one Glide enumeration value with an exhaustive switch and
// returns false for a value Glide does not define (the caller then reports the call as invalid
// and leaves the state unchanged). Values from glide-reference.md §2, §4, §5.
#pragma once
#include "DeviceState.h"
#include "FrameBuffer.h"
#include "TexelDecoder.h"
#include "Types.h"
#include <glide.h>

// Which combine unit a factor or local source is meant for: the factor select 0x4/0x5 means
// texture alpha / texture RGB in the colour unit, detail factor / LOD fraction in a TMU.
enum class CombineUnitKind
{
    Color,
    Alpha,
    Texture,
};

class GlideMap
{
  public:
    // Function -> zero-other / subtract-local / add switches.
    static bool CombineFunction(GrCombineFunction_t eFunction, CombineUnitState* pUnit);
    // Factor -> factor source and "one minus" flag.
    static bool CombineFactor(GrCombineFactor_t eFactor, CombineUnitKind eUnit,
                              CombineUnitState* pUnit);
    static bool CombineLocalSource(GrCombineLocal_t eLocal, CombineUnitKind eUnit,
                                   CombineLocal* pLocal);
    static bool CombineOtherSource(GrCombineOther_t eOther, CombineOther* pOther);

    // Value 0x2, 0x6 and 0xF mean different factors as source and as destination.
    static bool BlendSourceFactor(GrAlphaBlendFnc_t eFactor, BlendFactor* pFactor);
    static bool BlendDestinationFactor(GrAlphaBlendFnc_t eFactor, BlendFactor* pFactor);

    static bool Compare(GrCmpFnc_t eFunction, CompareFunc* pFunc);
    static bool Depth(GrDepthBufferMode_t eMode, DepthMode* pMode);
    static bool Fog(GrFogMode_t eMode, FogMode* pMode, bool* pbMult, bool* pbAdd);
    static bool Dither(GrDitherMode_t eMode, DitherMode* pMode);
    static bool Cull(GrCullMode_t eMode, CullMode* pMode);
    static bool Filter(GrTextureFilterMode_t eMode, TextureFilter* pFilter);
    static bool Clamp(GrTextureClampMode_t eMode, TextureClamp* pClamp);
    static bool MipMap(GrMipMapMode_t eMode, MipMapMode* pMode);

    static bool TextureFormat(GrTextureFormat_t eFormat, TexelFormat* pFormat);
    static bool Lod(GrLOD_t eLod, Int32* pnLod);
    // Aspect -> log2(width / height), +3 (8x1) .. -3 (1x8).
    static bool Aspect(GrAspectRatio_t eAspect, Int32* pnAspectLog);
    static bool Parity(FxU32 nEvenOdd, UInt32* pnParity);

    // Depth and alpha share the auxiliary buffer's memory.
    static bool Buffer(GrBuffer_t eBuffer, BufferId* pId);

    static bool Resolution(GrScreenResolution_t eResolution, Int32* pnWidth, Int32* pnHeight);
    // Refresh rate in Hz; GR_REFRESH_NONE and unknown values give 60.
    static Int32 RefreshHz(GrScreenRefresh_t eRefresh);

    // A packed colour in the given format -> 0xAARRGGBB.
    static UInt32 ColorToArgb(GrColor_t nColor, GrColorFormat_t eFormat);
};
