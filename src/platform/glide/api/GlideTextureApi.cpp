// Glide entry points: texture memory, downloads, tables, texture source and TMU state.
#include "GlideContext.h"
#include "GlideTraceScope.h"
#include "GlideMap.h"
#include "TextureLayout.h"
#include <cmath>
#include <glide.h>

namespace
{
GlideContext& Context()
{
    return GlideContext::Get();
}

// The levels, aspect and format of a GrTexInfo in device terms.
struct TextureShape
{
    Int32 nSmallLod = 0;
    Int32 nLargeLod = 0;
    Int32 nAspectLog = 0;
    TexelFormat eFormat = TexelFormat::Rgb565;
};

bool MapShape(GrLOD_t eSmall, GrLOD_t eLarge, GrAspectRatio_t eAspect, GrTextureFormat_t eFormat,
              TextureShape* pShape)
{
    return GlideMap::Lod(eSmall, &pShape->nSmallLod) && GlideMap::Lod(eLarge, &pShape->nLargeLod) &&
           pShape->nLargeLod <= pShape->nSmallLod &&
           GlideMap::Aspect(eAspect, &pShape->nAspectLog) &&
           GlideMap::TextureFormat(eFormat, &pShape->eFormat);
}

bool MapInfo(const GrTexInfo* pInfo, TextureShape* pShape)
{
    return pInfo &&
           MapShape(pInfo->smallLod, pInfo->largeLod, pInfo->aspectRatio, pInfo->format, pShape);
}

// TMU state of a valid TMU, or null (and the call reported) for a bad one.
TmuState* Tmu(GrChipID_t tmu, const char* pchCall)
{
    if (!Context().IsInitialized())
        return nullptr;
    if (!Context().IsTmu(tmu))
    {
        Context().Error(pchCall);
        return nullptr;
    }
    return &Context().GetState().aTmu[tmu];
}

// True when a chain of nBytes at nAddress lies inside the TMU's memory and is 8-byte aligned.
bool FitsTmu(GrChipID_t tmu, FxU32 nAddress, UInt32 nBytes)
{
    const UInt32 nTotal = UInt32(Context().GetBoard().nTmuMegabytes) << 20;
    return Context().IsTmu(tmu) && (nAddress & 7u) == 0 && nAddress <= nTotal &&
           nBytes <= nTotal - nAddress;
}

void DownloadLevelRows(GrChipID_t tmu, FxU32 startAddress, const TextureShape& shape,
                       UInt32 nParity, Int32 nLod, const void* pData, int nFirstRow, int nLastRow)
{
    TextureUnit* pUnit = Context().GetDevice().GetTmu(tmu);
    if (!pUnit || !pData || !TextureLayout::InParity(nLod, nParity))
        return;
    TextureSource layout;
    layout.eFormat = shape.eFormat;
    layout.nLargeLod = shape.nLargeLod;
    layout.nSmallLod = shape.nSmallLod;
    layout.nAspectLog = shape.nAspectLog;
    layout.nParity = nParity;
    layout.nStartAddress = startAddress;
    // pData is the whole level; rows nFirstRow..nLastRow of it are sent.
    const size_t nRowBytes = size_t(TextureLayout::LevelWidth(nLod, shape.nAspectLog)) *
                             size_t(TexelDecoder::BytesPerTexel(shape.eFormat));
    const Byte* pRows =
        nFirstRow >= 0 ? static_cast<const Byte*>(pData) + nRowBytes * size_t(nFirstRow) : nullptr;
    if (!pUnit->WriteLevel(TextureLayout::LevelAddress(layout, nLod), nLod, shape.nAspectLog,
                           shape.eFormat, pRows, nFirstRow, nLastRow))
        Context().Error("texture download outside texture memory");
}
} // namespace

FxU32 FX_CALL grTexMinAddress(GrChipID_t tmu)
{
    (void)tmu;
    return 0;
}

FxU32 FX_CALL grTexMaxAddress(GrChipID_t tmu)
{
    // The last address at which a 1x1 level (8 bytes) still fits.
    if (!Context().IsTmu(tmu))
        return 0;
    return (FxU32(Context().GetBoard().nTmuMegabytes) << 20) - 8;
}

FxU32 FX_CALL grTexCalcMemRequired(GrLOD_t lodmin, GrLOD_t lodmax, GrAspectRatio_t aspect,
                                   GrTextureFormat_t fmt)
{
    TextureShape shape;
    if (!MapShape(lodmin, lodmax, aspect, fmt, &shape))
        return 0;
    return TextureLayout::ChainTmuBytes(shape.nSmallLod, shape.nLargeLod, shape.nAspectLog,
                                        shape.eFormat, ParityBoth);
}

FxU32 FX_CALL grTexTextureMemRequired(FxU32 evenOdd, GrTexInfo* info)
{
    TextureShape shape;
    UInt32 nParity;
    if (!MapInfo(info, &shape) || !GlideMap::Parity(evenOdd, &nParity))
        return 0;
    return TextureLayout::ChainTmuBytes(shape.nSmallLod, shape.nLargeLod, shape.nAspectLog,
                                        shape.eFormat, nParity);
}

void FX_CALL grTexSource(GrChipID_t tmu, FxU32 startAddress, FxU32 evenOdd, GrTexInfo* info)
{
    GLIDE_TRACE(Record(TraceCall::TexSource, tmu, startAddress, evenOdd, info));
    TmuState* pTmu = Tmu(tmu, "grTexSource: bad TMU");
    TextureShape shape;
    UInt32 nParity;
    if (!pTmu)
        return;
    if (!MapInfo(info, &shape) || !GlideMap::Parity(evenOdd, &nParity) ||
        !FitsTmu(tmu, startAddress,
                 TextureLayout::ChainTmuBytes(shape.nSmallLod, shape.nLargeLod, shape.nAspectLog,
                                              shape.eFormat, nParity)))
        return Context().Error("grTexSource: bad texture");
    TextureSource& source = pTmu->source;
    source.bValid = true;
    source.eFormat = shape.eFormat;
    source.nLargeLod = shape.nLargeLod;
    source.nSmallLod = shape.nSmallLod;
    source.nAspectLog = shape.nAspectLog;
    source.nParity = nParity;
    source.nStartAddress = startAddress;
}

void FX_CALL grTexDownloadMipMapLevelPartial(GrChipID_t tmu, FxU32 startAddress, GrLOD_t thisLod,
                                             GrLOD_t largeLod, GrAspectRatio_t aspectRatio,
                                             GrTextureFormat_t format, FxU32 evenOdd, void* data,
                                             int start, int end)
{
    GLIDE_TRACE(TexDownloadMipMapLevelPartial(TraceCall::TexDownloadMipMapLevelPartial, tmu,
                                              startAddress, thisLod, largeLod, aspectRatio, format,
                                              evenOdd, data, start, end));
    TextureShape shape;
    UInt32 nParity;
    Int32 nLod;
    if (!Context().IsOpen())
        return;
    if (!Context().IsTmu(tmu) || !MapShape(GR_LOD_1, largeLod, aspectRatio, format, &shape) ||
        !GlideMap::Lod(thisLod, &nLod) || nLod < shape.nLargeLod ||
        !GlideMap::Parity(evenOdd, &nParity) || (startAddress & 7u) != 0)
        return Context().Error("grTexDownloadMipMapLevel: bad argument");
    DownloadLevelRows(tmu, startAddress, shape, nParity, nLod, data, start, end);
}

void FX_CALL grTexDownloadMipMapLevel(GrChipID_t tmu, FxU32 startAddress, GrLOD_t thisLod,
                                      GrLOD_t largeLod, GrAspectRatio_t aspectRatio,
                                      GrTextureFormat_t format, FxU32 evenOdd, void* data)
{
    GLIDE_TRACE(TexDownloadMipMapLevelPartial(TraceCall::TexDownloadMipMapLevel, tmu, startAddress,
                                              thisLod, largeLod, aspectRatio, format, evenOdd, data,
                                              0, 0));
    Int32 nLod, nAspectLog;
    if (!GlideMap::Lod(thisLod, &nLod) || !GlideMap::Aspect(aspectRatio, &nAspectLog))
    {
        if (Context().IsOpen())
            Context().Error("grTexDownloadMipMapLevel: bad argument");
        return;
    }
    grTexDownloadMipMapLevelPartial(tmu, startAddress, thisLod, largeLod, aspectRatio, format,
                                    evenOdd, data, 0,
                                    TextureLayout::LevelHeight(nLod, nAspectLog) - 1);
}

void FX_CALL grTexDownloadMipMap(GrChipID_t tmu, FxU32 startAddress, FxU32 evenOdd, GrTexInfo* info)
{
    GLIDE_TRACE(TexDownloadMipMap(tmu, startAddress, evenOdd, info));
    TextureShape shape;
    UInt32 nParity;
    if (!Context().IsOpen())
        return;
    if (!Context().IsTmu(tmu) || !MapInfo(info, &shape) || !info->data ||
        !GlideMap::Parity(evenOdd, &nParity))
        return Context().Error("grTexDownloadMipMap: bad argument");
    // The data holds every level from the largest to the smallest; levels of the other parity
    // are skipped but still stepped over.
    const Byte* pData = static_cast<const Byte*>(info->data);
    for (Int32 nLod = shape.nLargeLod; nLod <= shape.nSmallLod; ++nLod)
    {
        DownloadLevelRows(tmu, startAddress, shape, nParity, nLod, pData, 0,
                          TextureLayout::LevelHeight(nLod, shape.nAspectLog) - 1);
        pData += TextureLayout::LevelHostBytes(nLod, shape.nAspectLog, shape.eFormat);
    }
}

void FX_CALL grTexDownloadTablePartial(GrChipID_t tmu, GrTexTable_t type, void* data, int start,
                                       int end)
{
    GLIDE_TRACE(
        TexDownloadTablePartial(TraceCall::TexDownloadTablePartial, tmu, type, data, start, end));
    if (!Context().IsOpen())
        return;
    TextureUnit* pUnit = Context().GetDevice().GetTmu(tmu);
    if (!pUnit || !data)
        return Context().Error("grTexDownloadTable: bad argument");
    switch (type)
    {
    case GR_TEXTABLE_NCC0:
    case GR_TEXTABLE_NCC1:
    {
        // Only the register image (packed_data) is sent; a table whose address equals the
        // last one sent to that slot is not sent again, as Glide does (docs/fidelity.md).
        const void*& pLast = Context().m_aapLastNcc[tmu][type];
        if (pLast == data)
            return;
        pLast = data;
        const GuNccTable* pTable = static_cast<const GuNccTable*>(data);
        UInt32 anPacked[12];
        for (Int32 i = 0; i < 12; ++i)
            anPacked[i] = UInt32(pTable->packed_data[i]);
        pUnit->SetNccTable(Int32(type), TexelDecoder::UnpackNcc(anPacked));
        return;
    }
    case GR_TEXTABLE_PALETTE:
    {
        if (start < 0 || end > 255 || start > end)
            return Context().Error("grTexDownloadTablePartial: bad range");
        const GuTexPalette* pPalette = static_cast<const GuTexPalette*>(data);
        UInt32 anEntries[256];
        for (int i = start; i <= end; ++i)
            anEntries[i - start] = UInt32(pPalette->data[i]);
        pUnit->SetPaletteEntries(start, end, anEntries);
        return;
    }
    default:
        return Context().Error("grTexDownloadTable: bad table");
    }
}

void FX_CALL grTexDownloadTable(GrChipID_t tmu, GrTexTable_t type, void* data)
{
    GLIDE_TRACE(TexDownloadTablePartial(TraceCall::TexDownloadTable, tmu, type, data, 0, 255));
    grTexDownloadTablePartial(tmu, type, data, 0, 255);
}

void FX_CALL grTexNCCTable(GrChipID_t tmu, GrNCCTable_t table)
{
    GLIDE_TRACE(Record(TraceCall::TexNCCTable, tmu, table));
    TmuState* pTmu = Tmu(tmu, "grTexNCCTable: bad TMU");
    if (!pTmu)
        return;
    if (table != GR_NCCTABLE_NCC0 && table != GR_NCCTABLE_NCC1)
        return Context().Error("grTexNCCTable: bad table");
    pTmu->sampler.nNccTable = Int32(table);
}

void FX_CALL grTexCombine(GrChipID_t tmu, GrCombineFunction_t rgb_function,
                          GrCombineFactor_t rgb_factor, GrCombineFunction_t alpha_function,
                          GrCombineFactor_t alpha_factor, FxBool rgb_invert, FxBool alpha_invert)
{
    GLIDE_TRACE(Record(TraceCall::TexCombine, tmu, rgb_function, rgb_factor, alpha_function,
                       alpha_factor, rgb_invert, alpha_invert));
    TmuState* pTmu = Tmu(tmu, "grTexCombine: bad TMU");
    if (!pTmu)
        return;
    CombineUnitState rgb, alpha;
    if (!GlideMap::CombineFunction(rgb_function, &rgb) ||
        !GlideMap::CombineFactor(rgb_factor, CombineUnitKind::Texture, &rgb) ||
        !GlideMap::CombineFunction(alpha_function, &alpha) ||
        !GlideMap::CombineFactor(alpha_factor, CombineUnitKind::Texture, &alpha))
        return Context().Error("grTexCombine: bad argument");
    rgb.bInvertOutput = rgb_invert != FXFALSE;
    alpha.bInvertOutput = alpha_invert != FXFALSE;
    pTmu->rgbCombine = rgb;
    pTmu->alphaCombine = alpha;
}

void FX_CALL guTexCombineFunction(GrChipID_t tmu, GrTextureCombineFnc_t fnc)
{
    GLIDE_TRACE(Record(TraceCall::GuTexCombineFunction, tmu, fnc));
    // The gu texture-combine modes as grTexCombine calls (glide-reference.md §5.4); RGB and
    // alpha always get the same function and factor.
    GrCombineFunction_t eFunction;
    GrCombineFactor_t eFactor;
    FxBool bInvert = FXFALSE;
    switch (fnc)
    {
    case GR_TEXTURECOMBINE_ZERO:
        eFunction = GR_COMBINE_FUNCTION_ZERO, eFactor = GR_COMBINE_FACTOR_NONE;
        break;
    case GR_TEXTURECOMBINE_DECAL:
        eFunction = GR_COMBINE_FUNCTION_LOCAL, eFactor = GR_COMBINE_FACTOR_NONE;
        break;
    case GR_TEXTURECOMBINE_OTHER:
        eFunction = GR_COMBINE_FUNCTION_SCALE_OTHER, eFactor = GR_COMBINE_FACTOR_ONE;
        break;
    case GR_TEXTURECOMBINE_ADD:
        eFunction = GR_COMBINE_FUNCTION_SCALE_OTHER_ADD_LOCAL, eFactor = GR_COMBINE_FACTOR_ONE;
        break;
    case GR_TEXTURECOMBINE_MULTIPLY:
        eFunction = GR_COMBINE_FUNCTION_SCALE_OTHER, eFactor = GR_COMBINE_FACTOR_LOCAL;
        break;
    case GR_TEXTURECOMBINE_SUBTRACT:
        eFunction = GR_COMBINE_FUNCTION_SCALE_OTHER_MINUS_LOCAL, eFactor = GR_COMBINE_FACTOR_ONE;
        break;
    case GR_TEXTURECOMBINE_DETAIL:
        eFunction = GR_COMBINE_FUNCTION_BLEND, eFactor = GR_COMBINE_FACTOR_ONE_MINUS_DETAIL_FACTOR;
        break;
    case GR_TEXTURECOMBINE_DETAIL_OTHER:
        eFunction = GR_COMBINE_FUNCTION_BLEND, eFactor = GR_COMBINE_FACTOR_DETAIL_FACTOR;
        break;
    case GR_TEXTURECOMBINE_TRILINEAR_ODD:
        eFunction = GR_COMBINE_FUNCTION_BLEND, eFactor = GR_COMBINE_FACTOR_ONE_MINUS_LOD_FRACTION;
        break;
    case GR_TEXTURECOMBINE_TRILINEAR_EVEN:
        eFunction = GR_COMBINE_FUNCTION_BLEND, eFactor = GR_COMBINE_FACTOR_LOD_FRACTION;
        break;
    case GR_TEXTURECOMBINE_ONE:
        eFunction = GR_COMBINE_FUNCTION_ZERO, eFactor = GR_COMBINE_FACTOR_NONE, bInvert = FXTRUE;
        break;
    default:
        if (Context().IsInitialized())
            Context().Error("grTexCombineFunction: bad mode");
        return;
    }
    grTexCombine(tmu, eFunction, eFactor, eFunction, eFactor, bInvert, bInvert);
}

void FX_CALL grTexCombineFunction(GrChipID_t tmu, GrTextureCombineFnc_t fnc)
{
    GLIDE_TRACE(Record(TraceCall::TexCombineFunction, tmu, fnc));
    // The obsolete name of guTexCombineFunction.
    guTexCombineFunction(tmu, fnc);
}

void FX_CALL grTexFilterMode(GrChipID_t tmu, GrTextureFilterMode_t minfilter_mode,
                             GrTextureFilterMode_t magfilter_mode)
{
    GLIDE_TRACE(Record(TraceCall::TexFilterMode, tmu, minfilter_mode, magfilter_mode));
    TmuState* pTmu = Tmu(tmu, "grTexFilterMode: bad TMU");
    TextureFilter eMin, eMag;
    if (!pTmu)
        return;
    if (!GlideMap::Filter(minfilter_mode, &eMin) || !GlideMap::Filter(magfilter_mode, &eMag))
        return Context().Error("grTexFilterMode: bad filter");
    pTmu->sampler.eMinFilter = eMin;
    pTmu->sampler.eMagFilter = eMag;
}

void FX_CALL grTexClampMode(GrChipID_t tmu, GrTextureClampMode_t s_clampmode,
                            GrTextureClampMode_t t_clampmode)
{
    GLIDE_TRACE(Record(TraceCall::TexClampMode, tmu, s_clampmode, t_clampmode));
    TmuState* pTmu = Tmu(tmu, "grTexClampMode: bad TMU");
    TextureClamp eS, eT;
    if (!pTmu)
        return;
    if (!GlideMap::Clamp(s_clampmode, &eS) || !GlideMap::Clamp(t_clampmode, &eT))
        return Context().Error("grTexClampMode: bad mode");
    pTmu->sampler.eClampS = eS;
    pTmu->sampler.eClampT = eT;
}

void FX_CALL grTexMipMapMode(GrChipID_t tmu, GrMipMapMode_t mode, FxBool lodBlend)
{
    GLIDE_TRACE(Record(TraceCall::TexMipMapMode, tmu, mode, lodBlend));
    TmuState* pTmu = Tmu(tmu, "grTexMipMapMode: bad TMU");
    MipMapMode eMode;
    if (!pTmu)
        return;
    if (!GlideMap::MipMap(mode, &eMode))
        return Context().Error("grTexMipMapMode: bad mode");
    pTmu->sampler.eMipMap = eMode;
    pTmu->sampler.bLodBlend = lodBlend != FXFALSE;
}

void FX_CALL grTexLodBiasValue(GrChipID_t tmu, float bias)
{
    GLIDE_TRACE(Record(TraceCall::TexLodBiasValue, tmu, bias));
    TmuState* pTmu = Tmu(tmu, "grTexLodBiasValue: bad TMU");
    if (!pTmu)
        return;
    // -8..7.75 in quarter levels (the chip's 4.2 field), kept as 8.8 fixed point.
    float fBias = bias;
    if (!(fBias >= -8.0f))
        fBias = -8.0f;
    if (fBias > 7.75f)
        fBias = 7.75f;
    pTmu->sampler.nLodBias = Int32(std::floor(fBias * 4.0f + 0.5f)) * 64;
}

void FX_CALL grTexDetailControl(GrChipID_t tmu, int lod_bias, FxU8 detail_scale, float detail_max)
{
    GLIDE_TRACE(Record(TraceCall::TexDetailControl, tmu, lod_bias, detail_scale, detail_max));
    TmuState* pTmu = Tmu(tmu, "grTexDetailControl: bad TMU");
    if (!pTmu)
        return;
    if (lod_bias < -32 || lod_bias > 31 || detail_scale > 7 || !(detail_max >= 0.0f) ||
        detail_max > 1.0f)
        return Context().Error("grTexDetailControl: bad argument");
    pTmu->sampler.nDetailBias = lod_bias;
    pTmu->sampler.nDetailScale = detail_scale;
    pTmu->sampler.nDetailMax = Int32(std::floor(detail_max * 255.0f + 0.5f));
}

void FX_CALL grTexMultibase(GrChipID_t tmu, FxBool enable)
{
    GLIDE_TRACE(Record(TraceCall::TexMultibase, tmu, enable));
    TmuState* pTmu = Tmu(tmu, "grTexMultibase: bad TMU");
    if (pTmu)
        pTmu->source.bMultibase = enable != FXFALSE;
}

void FX_CALL grTexMultibaseAddress(GrChipID_t tmu, GrTexBaseRange_t range, FxU32 startAddress,
                                   FxU32 evenOdd, GrTexInfo* info)
{
    GLIDE_TRACE(Record(TraceCall::TexMultibaseAddress, tmu, range, startAddress, evenOdd, info));
    TmuState* pTmu = Tmu(tmu, "grTexMultibaseAddress: bad TMU");
    TextureShape shape;
    UInt32 nParity;
    if (!pTmu)
        return;
    if (range > GR_TEXBASE_32_TO_1 || !MapInfo(info, &shape) ||
        !GlideMap::Parity(evenOdd, &nParity) ||
        !FitsTmu(tmu, startAddress,
                 TextureLayout::ChainTmuBytes(shape.nSmallLod, shape.nLargeLod, shape.nAspectLog,
                                              shape.eFormat, nParity)))
        return Context().Error("grTexMultibaseAddress: bad argument");
    pTmu->source.anBaseAddress[range] = startAddress;
}
