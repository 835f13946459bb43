// Glide entry points: the gu texture manager and small gu utilities.
#include "GlideContext.h"
#include "GlideTraceScope.h"
#include <glide.h>

namespace
{
GlideContext& Context()
{
    return GlideContext::Get();
}
} // namespace

GrMipMapId_t FX_CALL guTexAllocateMemory(GrChipID_t tmu, FxU8 odd_even_mask, int width, int height,
                                         GrTextureFormat_t fmt, GrMipMapMode_t mm_mode,
                                         GrLOD_t smallest_lod, GrLOD_t largest_lod,
                                         GrAspectRatio_t aspect, GrTextureClampMode_t s_clamp_mode,
                                         GrTextureClampMode_t t_clamp_mode,
                                         GrTextureFilterMode_t minfilter_mode,
                                         GrTextureFilterMode_t magfilter_mode, float lod_bias,
                                         FxBool trilinear)
{
    GLIDE_TRACE(Record(TraceCall::GuTexAllocateMemory, tmu, odd_even_mask, width, height, fmt,
                       mm_mode, smallest_lod, largest_lod, aspect, s_clamp_mode, t_clamp_mode,
                       minfilter_mode, magfilter_mode, lod_bias, trilinear));
    return Context().GetGu().Allocate(Context(), tmu, odd_even_mask, width, height, fmt, mm_mode,
                                      smallest_lod, largest_lod, aspect, s_clamp_mode, t_clamp_mode,
                                      minfilter_mode, magfilter_mode, lod_bias, trilinear);
}

FxBool FX_CALL guTexChangeAttributes(GrMipMapId_t mmid, int width, int height,
                                     GrTextureFormat_t fmt, GrMipMapMode_t mm_mode,
                                     GrLOD_t smallest_lod, GrLOD_t largest_lod,
                                     GrAspectRatio_t aspect, GrTextureClampMode_t s_clamp_mode,
                                     GrTextureClampMode_t t_clamp_mode,
                                     GrTextureFilterMode_t minFilterMode,
                                     GrTextureFilterMode_t magFilterMode)
{
    GLIDE_TRACE(Record(TraceCall::GuTexChangeAttributes, mmid, width, height, fmt, mm_mode,
                       smallest_lod, largest_lod, aspect, s_clamp_mode, t_clamp_mode, minFilterMode,
                       magFilterMode));
    return Context().GetGu().ChangeAttributes(mmid, width, height, fmt, mm_mode, smallest_lod,
                                              largest_lod, aspect, s_clamp_mode, t_clamp_mode,
                                              minFilterMode, magFilterMode);
}

void FX_CALL guTexDownloadMipMap(GrMipMapId_t mmid, const void* src, const GuNccTable* nccTable)
{
    GLIDE_TRACE(GuTexDownloadMipMap(mmid, src, nccTable));
    Context().GetGu().Download(Context(), mmid, src, nccTable);
}

void FX_CALL guTexDownloadMipMapLevel(GrMipMapId_t mmid, GrLOD_t lod, const void** src)
{
    GLIDE_TRACE(GuTexDownloadMipMapLevel(mmid, lod, src));
    Context().GetGu().DownloadLevel(Context(), mmid, lod, src);
}

GrMipMapId_t FX_CALL guTexGetCurrentMipMap(GrChipID_t tmu)
{
    return Context().GetGu().Current(tmu);
}

GrMipMapInfo* FX_CALL guTexGetMipMapInfo(GrMipMapId_t mmid)
{
    return Context().GetGu().Info(mmid);
}

FxU32 FX_CALL guTexMemQueryAvail(GrChipID_t tmu)
{
    return Context().GetGu().QueryAvailable(Context(), tmu);
}

void FX_CALL guTexMemReset(void)
{
    GLIDE_TRACE(Record(TraceCall::GuTexMemReset));
    Context().GetGu().Reset();
}

void FX_CALL guTexSource(GrMipMapId_t mmid)
{
    GLIDE_TRACE(Record(TraceCall::GuTexSource, mmid));
    // GR_NULL_MIPMAP_HANDLE, unknown and stale identifiers do nothing.
    Context().GetGu().Source(Context(), mmid);
}

GrMipMapId_t FX_CALL guTexCreateColorMipMap(void)
{
    // The diagnostic colour-level mip-map is not provided by the software board.
    return GR_NULL_MIPMAP_HANDLE;
}

FxU16 FX_CALL guEndianSwapBytes(FxU16 value)
{
    return FxU16(((value & 0xFFu) << 8) | (value >> 8));
}

FxU32 FX_CALL guEndianSwapWords(FxU32 value)
{
    return FxU32(((value & 0xFFFFu) << 16) | ((value >> 16) & 0xFFFFu));
}

int FX_CALL guEncodeRLE16(void* dst, void* src, FxU32 width, FxU32 height)
{
    // The RLE16 encoding is not provided by the software board, which also refuses
    // GR_LFB_SRC_FMT_RLE16 region writes: nothing is encoded.
    (void)dst;
    (void)src;
    (void)width;
    (void)height;
    return 0;
}

void FX_CALL guMovieSetName(const char* name)
{
    // Frame capture to a movie file is not provided by the software board.
    (void)name;
}

void FX_CALL guMovieStart(void) {}

void FX_CALL guMovieStop(void) {}
