// GlideMap: exhaustive mappings of Glide values to device state.
#include "GlideMap.h"

bool GlideMap::CombineFunction(GrCombineFunction_t eFunction, CombineUnitState* pUnit)
{
    // Every function is ((zero-other ? 0 : other) - (subtract ? local : 0)) * f + add.
    bool bZeroOther = false, bSubtract = false;
    CombineAdd eAdd = CombineAdd::None;
    switch (eFunction)
    {
    case GR_COMBINE_FUNCTION_ZERO:
        bZeroOther = true;
        break;
    case GR_COMBINE_FUNCTION_LOCAL:
        bZeroOther = true;
        eAdd = CombineAdd::Local;
        break;
    case GR_COMBINE_FUNCTION_LOCAL_ALPHA:
        bZeroOther = true;
        eAdd = CombineAdd::LocalAlpha;
        break;
    case GR_COMBINE_FUNCTION_SCALE_OTHER:
        break;
    case GR_COMBINE_FUNCTION_SCALE_OTHER_ADD_LOCAL:
        eAdd = CombineAdd::Local;
        break;
    case GR_COMBINE_FUNCTION_SCALE_OTHER_ADD_LOCAL_ALPHA:
        eAdd = CombineAdd::LocalAlpha;
        break;
    case GR_COMBINE_FUNCTION_SCALE_OTHER_MINUS_LOCAL:
        bSubtract = true;
        break;
    case GR_COMBINE_FUNCTION_SCALE_OTHER_MINUS_LOCAL_ADD_LOCAL:
        bSubtract = true;
        eAdd = CombineAdd::Local;
        break;
    case GR_COMBINE_FUNCTION_SCALE_OTHER_MINUS_LOCAL_ADD_LOCAL_ALPHA:
        bSubtract = true;
        eAdd = CombineAdd::LocalAlpha;
        break;
    case GR_COMBINE_FUNCTION_SCALE_MINUS_LOCAL_ADD_LOCAL:
        bZeroOther = bSubtract = true;
        eAdd = CombineAdd::Local;
        break;
    case GR_COMBINE_FUNCTION_SCALE_MINUS_LOCAL_ADD_LOCAL_ALPHA:
        bZeroOther = bSubtract = true;
        eAdd = CombineAdd::LocalAlpha;
        break;
    default:
        return false;
    }
    pUnit->bZeroOther = bZeroOther;
    pUnit->bSubtractLocal = bSubtract;
    pUnit->eAdd = eAdd;
    return true;
}

bool GlideMap::CombineFactor(GrCombineFactor_t eFactor, CombineUnitKind eUnit,
                             CombineUnitState* pUnit)
{
    // Bits 2..0 select the source; bit 3 set means 1 - f (so ONE is "one minus zero").
    if (eFactor < 0 || eFactor > 0xD || (eFactor & 7) > 5)
        return false;
    ::CombineFactor eSource = ::CombineFactor::Zero;
    switch (eFactor & 7)
    {
    case GR_COMBINE_FACTOR_ZERO:
        eSource = ::CombineFactor::Zero;
        break;
    case GR_COMBINE_FACTOR_LOCAL:
        eSource = ::CombineFactor::Local;
        break;
    case GR_COMBINE_FACTOR_OTHER_ALPHA:
        eSource = ::CombineFactor::OtherAlpha;
        break;
    case GR_COMBINE_FACTOR_LOCAL_ALPHA:
        eSource = ::CombineFactor::LocalAlpha;
        break;
    case GR_COMBINE_FACTOR_TEXTURE_ALPHA:
        eSource = eUnit == CombineUnitKind::Texture ? ::CombineFactor::DetailFactor
                                                    : ::CombineFactor::TextureAlpha;
        break;
    case GR_COMBINE_FACTOR_LOD_FRACTION:
        // 0x5 is the LOD fraction in a TMU and texture RGB in the colour unit (the Voodoo2
        // meaning, used on every board here); the alpha unit has no such source and reads zero
        // (docs/fidelity.md).
        eSource = eUnit == CombineUnitKind::Texture ? ::CombineFactor::LodFraction
                  : eUnit == CombineUnitKind::Color ? ::CombineFactor::TextureRgb
                                                    : ::CombineFactor::Zero;
        break;
    default:
        return false;
    }
    pUnit->eFactor = eSource;
    pUnit->bInvertFactor = (eFactor & 8) != 0;
    return true;
}

bool GlideMap::CombineLocalSource(GrCombineLocal_t eLocal, CombineUnitKind eUnit,
                                  CombineLocal* pLocal)
{
    switch (eLocal)
    {
    case GR_COMBINE_LOCAL_ITERATED:
        *pLocal = CombineLocal::Iterated;
        return true;
    case GR_COMBINE_LOCAL_CONSTANT:
        *pLocal = CombineLocal::Constant;
        return true;
    case GR_COMBINE_LOCAL_DEPTH:
        // Depth is a local source of the alpha unit only.
        if (eUnit != CombineUnitKind::Alpha)
            return false;
        *pLocal = CombineLocal::Depth;
        return true;
    default:
        return false;
    }
}

bool GlideMap::CombineOtherSource(GrCombineOther_t eOther, CombineOther* pOther)
{
    switch (eOther)
    {
    case GR_COMBINE_OTHER_ITERATED:
        *pOther = CombineOther::Iterated;
        return true;
    case GR_COMBINE_OTHER_TEXTURE:
        *pOther = CombineOther::Texture;
        return true;
    case GR_COMBINE_OTHER_CONSTANT:
        *pOther = CombineOther::Constant;
        return true;
    default:
        return false;
    }
}

bool GlideMap::BlendSourceFactor(GrAlphaBlendFnc_t eFactor, BlendFactor* pFactor)
{
    switch (eFactor)
    {
    case GR_BLEND_ZERO:
        *pFactor = BlendFactor::Zero;
        return true;
    case GR_BLEND_SRC_ALPHA:
        *pFactor = BlendFactor::SrcAlpha;
        return true;
    case GR_BLEND_DST_COLOR:
        *pFactor = BlendFactor::DstColor;
        return true;
    case GR_BLEND_DST_ALPHA:
        *pFactor = BlendFactor::DstAlpha;
        return true;
    case GR_BLEND_ONE:
        *pFactor = BlendFactor::One;
        return true;
    case GR_BLEND_ONE_MINUS_SRC_ALPHA:
        *pFactor = BlendFactor::OneMinusSrcAlpha;
        return true;
    case GR_BLEND_ONE_MINUS_DST_COLOR:
        *pFactor = BlendFactor::OneMinusDstColor;
        return true;
    case GR_BLEND_ONE_MINUS_DST_ALPHA:
        *pFactor = BlendFactor::OneMinusDstAlpha;
        return true;
    case GR_BLEND_ALPHA_SATURATE:
        *pFactor = BlendFactor::AlphaSaturate;
        return true;
    default:
        return false; // 0x8..0xE are reserved
    }
}

bool GlideMap::BlendDestinationFactor(GrAlphaBlendFnc_t eFactor, BlendFactor* pFactor)
{
    switch (eFactor)
    {
    case GR_BLEND_ZERO:
        *pFactor = BlendFactor::Zero;
        return true;
    case GR_BLEND_SRC_ALPHA:
        *pFactor = BlendFactor::SrcAlpha;
        return true;
    case GR_BLEND_SRC_COLOR:
        *pFactor = BlendFactor::SrcColor;
        return true;
    case GR_BLEND_DST_ALPHA:
        *pFactor = BlendFactor::DstAlpha;
        return true;
    case GR_BLEND_ONE:
        *pFactor = BlendFactor::One;
        return true;
    case GR_BLEND_ONE_MINUS_SRC_ALPHA:
        *pFactor = BlendFactor::OneMinusSrcAlpha;
        return true;
    case GR_BLEND_ONE_MINUS_SRC_COLOR:
        *pFactor = BlendFactor::OneMinusSrcColor;
        return true;
    case GR_BLEND_ONE_MINUS_DST_ALPHA:
        *pFactor = BlendFactor::OneMinusDstAlpha;
        return true;
    case GR_BLEND_PREFOG_COLOR:
        *pFactor = BlendFactor::PrefogColor;
        return true;
    default:
        return false;
    }
}

bool GlideMap::Compare(GrCmpFnc_t eFunction, CompareFunc* pFunc)
{
    switch (eFunction)
    {
    case GR_CMP_NEVER:
        *pFunc = CompareFunc::Never;
        return true;
    case GR_CMP_LESS:
        *pFunc = CompareFunc::Less;
        return true;
    case GR_CMP_EQUAL:
        *pFunc = CompareFunc::Equal;
        return true;
    case GR_CMP_LEQUAL:
        *pFunc = CompareFunc::LessEqual;
        return true;
    case GR_CMP_GREATER:
        *pFunc = CompareFunc::Greater;
        return true;
    case GR_CMP_NOTEQUAL:
        *pFunc = CompareFunc::NotEqual;
        return true;
    case GR_CMP_GEQUAL:
        *pFunc = CompareFunc::GreaterEqual;
        return true;
    case GR_CMP_ALWAYS:
        *pFunc = CompareFunc::Always;
        return true;
    default:
        return false;
    }
}

bool GlideMap::Depth(GrDepthBufferMode_t eMode, DepthMode* pMode)
{
    switch (eMode)
    {
    case GR_DEPTHBUFFER_DISABLE:
        *pMode = DepthMode::Disabled;
        return true;
    case GR_DEPTHBUFFER_ZBUFFER:
        *pMode = DepthMode::ZBuffer;
        return true;
    case GR_DEPTHBUFFER_WBUFFER:
        *pMode = DepthMode::WBuffer;
        return true;
    case GR_DEPTHBUFFER_ZBUFFER_COMPARE_TO_BIAS:
        *pMode = DepthMode::ZCompareToBias;
        return true;
    case GR_DEPTHBUFFER_WBUFFER_COMPARE_TO_BIAS:
        *pMode = DepthMode::WCompareToBias;
        return true;
    default:
        return false;
    }
}

bool GlideMap::Fog(GrFogMode_t eMode, FogMode* pMode, bool* pbMult, bool* pbAdd)
{
    if (eMode & ~(0xFF | GR_FOG_MULT2 | GR_FOG_ADD2))
        return false;
    switch (eMode & 0xFF)
    {
    case GR_FOG_DISABLE:
        *pMode = FogMode::Disabled;
        break;
    case GR_FOG_WITH_ITERATED_ALPHA:
        *pMode = FogMode::IteratedAlpha;
        break;
    case GR_FOG_WITH_TABLE:
        *pMode = FogMode::Table;
        break;
    case GR_FOG_WITH_ITERATED_Z:
        *pMode = FogMode::IteratedZ;
        break;
    default:
        return false;
    }
    *pbMult = (eMode & GR_FOG_MULT2) != 0;
    *pbAdd = (eMode & GR_FOG_ADD2) != 0;
    return true;
}

bool GlideMap::Dither(GrDitherMode_t eMode, DitherMode* pMode)
{
    switch (eMode)
    {
    case GR_DITHER_DISABLE:
        *pMode = DitherMode::Disabled;
        return true;
    case GR_DITHER_2x2:
        *pMode = DitherMode::Dither2x2;
        return true;
    case GR_DITHER_4x4:
        *pMode = DitherMode::Dither4x4;
        return true;
    default:
        return false;
    }
}

bool GlideMap::Cull(GrCullMode_t eMode, CullMode* pMode)
{
    switch (eMode)
    {
    case GR_CULL_DISABLE:
        *pMode = CullMode::Disabled;
        return true;
    case GR_CULL_NEGATIVE:
        *pMode = CullMode::Negative;
        return true;
    case GR_CULL_POSITIVE:
        *pMode = CullMode::Positive;
        return true;
    default:
        return false;
    }
}

bool GlideMap::Filter(GrTextureFilterMode_t eMode, TextureFilter* pFilter)
{
    switch (eMode)
    {
    case GR_TEXTUREFILTER_POINT_SAMPLED:
        *pFilter = TextureFilter::Point;
        return true;
    case GR_TEXTUREFILTER_BILINEAR:
        *pFilter = TextureFilter::Bilinear;
        return true;
    default:
        return false;
    }
}

bool GlideMap::Clamp(GrTextureClampMode_t eMode, TextureClamp* pClamp)
{
    switch (eMode)
    {
    case GR_TEXTURECLAMP_WRAP:
        *pClamp = TextureClamp::Wrap;
        return true;
    case GR_TEXTURECLAMP_CLAMP:
        *pClamp = TextureClamp::Clamp;
        return true;
    default:
        return false;
    }
}

bool GlideMap::MipMap(GrMipMapMode_t eMode, MipMapMode* pMode)
{
    switch (eMode)
    {
    case GR_MIPMAP_DISABLE:
        *pMode = MipMapMode::Disabled;
        return true;
    case GR_MIPMAP_NEAREST:
        *pMode = MipMapMode::Nearest;
        return true;
    case GR_MIPMAP_NEAREST_DITHER:
        *pMode = MipMapMode::NearestDither;
        return true;
    default:
        return false;
    }
}

bool GlideMap::TextureFormat(GrTextureFormat_t eFormat, TexelFormat* pFormat)
{
    switch (eFormat)
    {
    case GR_TEXFMT_RGB_332:
        *pFormat = TexelFormat::Rgb332;
        return true;
    case GR_TEXFMT_YIQ_422:
        *pFormat = TexelFormat::Yiq422;
        return true;
    case GR_TEXFMT_ALPHA_8:
        *pFormat = TexelFormat::Alpha8;
        return true;
    case GR_TEXFMT_INTENSITY_8:
        *pFormat = TexelFormat::Intensity8;
        return true;
    case GR_TEXFMT_ALPHA_INTENSITY_44:
        *pFormat = TexelFormat::AlphaIntensity44;
        return true;
    case GR_TEXFMT_P_8:
        *pFormat = TexelFormat::P8;
        return true;
    case GR_TEXFMT_ARGB_8332:
        *pFormat = TexelFormat::Argb8332;
        return true;
    case GR_TEXFMT_AYIQ_8422:
        *pFormat = TexelFormat::Ayiq8422;
        return true;
    case GR_TEXFMT_RGB_565:
        *pFormat = TexelFormat::Rgb565;
        return true;
    case GR_TEXFMT_ARGB_1555:
        *pFormat = TexelFormat::Argb1555;
        return true;
    case GR_TEXFMT_ARGB_4444:
        *pFormat = TexelFormat::Argb4444;
        return true;
    case GR_TEXFMT_ALPHA_INTENSITY_88:
        *pFormat = TexelFormat::AlphaIntensity88;
        return true;
    case GR_TEXFMT_AP_88:
        *pFormat = TexelFormat::Ap88;
        return true;
    default:
        return false; // reserved 0x6, 0x7, 0xF
    }
}

bool GlideMap::Lod(GrLOD_t eLod, Int32* pnLod)
{
    switch (eLod)
    {
    case GR_LOD_256:
    case GR_LOD_128:
    case GR_LOD_64:
    case GR_LOD_32:
    case GR_LOD_16:
    case GR_LOD_8:
    case GR_LOD_4:
    case GR_LOD_2:
    case GR_LOD_1:
        *pnLod = Int32(eLod); // the chip numbers levels as GrLOD_t does: 0 is 256 texels
        return true;
    default:
        return false;
    }
}

bool GlideMap::Aspect(GrAspectRatio_t eAspect, Int32* pnAspectLog)
{
    switch (eAspect)
    {
    case GR_ASPECT_8x1:
        *pnAspectLog = 3;
        return true;
    case GR_ASPECT_4x1:
        *pnAspectLog = 2;
        return true;
    case GR_ASPECT_2x1:
        *pnAspectLog = 1;
        return true;
    case GR_ASPECT_1x1:
        *pnAspectLog = 0;
        return true;
    case GR_ASPECT_1x2:
        *pnAspectLog = -1;
        return true;
    case GR_ASPECT_1x4:
        *pnAspectLog = -2;
        return true;
    case GR_ASPECT_1x8:
        *pnAspectLog = -3;
        return true;
    default:
        return false;
    }
}

bool GlideMap::Parity(FxU32 nEvenOdd, UInt32* pnParity)
{
    switch (nEvenOdd)
    {
    case GR_MIPMAPLEVELMASK_EVEN:
        *pnParity = ParityEven;
        return true;
    case GR_MIPMAPLEVELMASK_ODD:
        *pnParity = ParityOdd;
        return true;
    case GR_MIPMAPLEVELMASK_BOTH:
        *pnParity = ParityBoth;
        return true;
    default:
        return false;
    }
}

bool GlideMap::Resolution(GrScreenResolution_t eResolution, Int32* pnWidth, Int32* pnHeight)
{
    Int32 w = 0, h = 0;
    switch (eResolution)
    {
    case GR_RESOLUTION_320x200:
        w = 320, h = 200;
        break;
    case GR_RESOLUTION_320x240:
        w = 320, h = 240;
        break;
    case GR_RESOLUTION_400x256:
        w = 400, h = 256;
        break;
    case GR_RESOLUTION_512x384:
        w = 512, h = 384;
        break;
    case GR_RESOLUTION_640x200:
        w = 640, h = 200;
        break;
    case GR_RESOLUTION_640x350:
        w = 640, h = 350;
        break;
    case GR_RESOLUTION_640x400:
        w = 640, h = 400;
        break;
    case GR_RESOLUTION_640x480:
        w = 640, h = 480;
        break;
    case GR_RESOLUTION_800x600:
        w = 800, h = 600;
        break;
    case GR_RESOLUTION_960x720:
        w = 960, h = 720;
        break;
    case GR_RESOLUTION_856x480:
        w = 856, h = 480;
        break;
    case GR_RESOLUTION_512x256:
        w = 512, h = 256;
        break;
    case GR_RESOLUTION_1024x768:
        w = 1024, h = 768;
        break;
    case GR_RESOLUTION_1280x1024:
        w = 1280, h = 1024;
        break;
    case GR_RESOLUTION_1600x1200:
        w = 1600, h = 1200;
        break;
    case GR_RESOLUTION_400x300:
        w = 400, h = 300;
        break;
    default:
        return false; // GR_RESOLUTION_NONE has no size of its own
    }
    *pnWidth = w;
    *pnHeight = h;
    return true;
}

Int32 GlideMap::RefreshHz(GrScreenRefresh_t eRefresh)
{
    switch (eRefresh)
    {
    case GR_REFRESH_60Hz:
        return 60;
    case GR_REFRESH_70Hz:
        return 70;
    case GR_REFRESH_72Hz:
        return 72;
    case GR_REFRESH_75Hz:
        return 75;
    case GR_REFRESH_80Hz:
        return 80;
    case GR_REFRESH_90Hz:
        return 90;
    case GR_REFRESH_100Hz:
        return 100;
    case GR_REFRESH_85Hz:
        return 85;
    case GR_REFRESH_120Hz:
        return 120;
    default:
        return 60;
    }
}

UInt32 GlideMap::ColorToArgb(GrColor_t nColor, GrColorFormat_t eFormat)
{
    const UInt32 n = UInt32(nColor);
    const UInt32 b0 = n & 0xFFu, b1 = (n >> 8) & 0xFFu, b2 = (n >> 16) & 0xFFu, b3 = n >> 24;
    switch (eFormat)
    {
    case GR_COLORFORMAT_ABGR: // 0xAABBGGRR
        return (b3 << 24) | (b0 << 16) | (b1 << 8) | b2;
    case GR_COLORFORMAT_RGBA: // 0xRRGGBBAA
        return (b0 << 24) | (b3 << 16) | (b2 << 8) | b1;
    case GR_COLORFORMAT_BGRA: // 0xBBGGRRAA
        return (b0 << 24) | (b1 << 16) | (b2 << 8) | b3;
    case GR_COLORFORMAT_ARGB:
    default:
        return n;
    }
}

bool GlideMap::Buffer(GrBuffer_t eBuffer, BufferId* pId)
{
    switch (eBuffer)
    {
    case GR_BUFFER_FRONTBUFFER:
        *pId = BufferId::Front;
        return true;
    case GR_BUFFER_BACKBUFFER:
        *pId = BufferId::Back;
        return true;
    case GR_BUFFER_AUXBUFFER:
    case GR_BUFFER_DEPTHBUFFER:
    case GR_BUFFER_ALPHABUFFER:
        *pId = BufferId::Aux;
        return true;
    default:
        return false;
    }
}
