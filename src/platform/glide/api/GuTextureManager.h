// GuTextureManager: Glide's gu texture-memory manager (guTexAllocateMemory and friends).
//
// API half; owned by the GlideContext, reset at every grSstWinOpen and guTexMemReset. Handles
// are numbered from 0 upwards, at most MAX_MIPMAPS_PER_SST (1024); memory is taken from a free
// pointer per TMU that only grows (no individual free); a chain never straddles the 2 MB
// boundary: the free pointer first jumps to 2 MB when it would. An allocation fails with
// GR_NULL_MIPMAP_HANDLE when the TMU has too little memory left or the handles are used up
// (glide-reference.md §4.6). guTexSource makes a handle current on its TMU with its recorded
// filter, clamp, mip-map and bias settings and loads its NCC table (into the slot already holding
// it, else the least recently loaded one) or its palette.
#pragma once
#include "GlideConfig.h"
#include "Types.h"
#include <glide.h>

class GlideContext;

class GuTextureManager
{
  public:
    GuTextureManager() = default;
    ~GuTextureManager();
    GuTextureManager(const GuTextureManager&) = delete;
    GuTextureManager& operator=(const GuTextureManager&) = delete;

    // Forgets every handle; free pointers to 0; no current mip-map; NCC bookkeeping cleared.
    void Reset();

    GrMipMapId_t Allocate(GlideContext& context, GrChipID_t tmu, FxU8 nOddEven, int nWidth,
                          int nHeight, GrTextureFormat_t eFormat, GrMipMapMode_t eMipMap,
                          GrLOD_t eSmallLod, GrLOD_t eLargeLod, GrAspectRatio_t eAspect,
                          GrTextureClampMode_t eClampS, GrTextureClampMode_t eClampT,
                          GrTextureFilterMode_t eMinFilter, GrTextureFilterMode_t eMagFilter,
                          float fLodBias, FxBool bTrilinear);
    FxBool ChangeAttributes(GrMipMapId_t id, int nWidth, int nHeight, GrTextureFormat_t eFormat,
                            GrMipMapMode_t eMipMap, GrLOD_t eSmallLod, GrLOD_t eLargeLod,
                            GrAspectRatio_t eAspect, GrTextureClampMode_t eClampS,
                            GrTextureClampMode_t eClampT, GrTextureFilterMode_t eMinFilter,
                            GrTextureFilterMode_t eMagFilter);

    // All levels, largest first, host sizes; pTable: the NCC table for YIQ formats and, for
    // P_8 / AP_88, the palette of a GuTexTable (see docs/fidelity.md).
    void Download(GlideContext& context, GrMipMapId_t id, const void* pSource,
                  const GuNccTable* pTable);
    // One level; advances *ppSource past it.
    void DownloadLevel(GlideContext& context, GrMipMapId_t id, GrLOD_t eLod, const void** ppSource);
    // Unknown, stale and null handles are ignored.
    void Source(GlideContext& context, GrMipMapId_t id);

    FxU32 QueryAvailable(const GlideContext& context, GrChipID_t tmu) const;
    GrMipMapId_t Current(GrChipID_t tmu) const;
    GrMipMapInfo* Info(GrMipMapId_t id);

  private:
    struct Entry
    {
        GrMipMapInfo info;
        UInt32* pPalette; // P_8 / AP_88 palette given at download, or null
    };

    Entry* Find(GrMipMapId_t id);

    Entry m_aEntries[GlideConfig::MaxMipMaps] = {};
    Int32 m_nCount = 0;
    UInt32 m_anFree[GlideConfig::MaxTmus] = {0, 0};
    GrMipMapId_t m_anCurrent[GlideConfig::MaxTmus] = {GR_NULL_MIPMAP_HANDLE, GR_NULL_MIPMAP_HANDLE};
    // Which handle's table each NCC slot holds, and which slot was loaded longest ago.
    GrMipMapId_t m_aanNccSlot[GlideConfig::MaxTmus][2] = {
        {GR_NULL_MIPMAP_HANDLE, GR_NULL_MIPMAP_HANDLE},
        {GR_NULL_MIPMAP_HANDLE, GR_NULL_MIPMAP_HANDLE}};
    Int32 m_anNccOldest[GlideConfig::MaxTmus] = {0, 0};
};
