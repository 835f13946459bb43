// GuTextureManager: handles, allocation, download and selection of gu mip-maps.
#include "GuTextureManager.h"
#include "GlideContext.h"
#include "GlideMap.h"
#include "TextureLayout.h"
#include <cmath>
#include <cstring>
#include <new>

namespace
{
bool IsNcc(GrTextureFormat_t eFormat)
{
    return eFormat == GR_TEXFMT_YIQ_422 || eFormat == GR_TEXFMT_AYIQ_8422;
}

bool IsPalette(GrTextureFormat_t eFormat)
{
    return eFormat == GR_TEXFMT_P_8 || eFormat == GR_TEXFMT_AP_88;
}
} // namespace

GuTextureManager::~GuTextureManager()
{
    Reset();
}

void GuTextureManager::Reset()
{
    for (Int32 i = 0; i < m_nCount; ++i)
    {
        delete[] m_aEntries[i].pPalette;
        m_aEntries[i].pPalette = nullptr;
        m_aEntries[i].info.valid = FXFALSE;
    }
    m_nCount = 0;
    for (Int32 t = 0; t < GlideConfig::MaxTmus; ++t)
    {
        m_anFree[t] = 0;
        m_anCurrent[t] = GR_NULL_MIPMAP_HANDLE;
        m_aanNccSlot[t][0] = m_aanNccSlot[t][1] = GR_NULL_MIPMAP_HANDLE;
        m_anNccOldest[t] = 0;
    }
}

GuTextureManager::Entry* GuTextureManager::Find(GrMipMapId_t id)
{
    if (id == GR_NULL_MIPMAP_HANDLE || id >= GrMipMapId_t(m_nCount))
        return nullptr;
    Entry& entry = m_aEntries[id];
    return entry.info.valid ? &entry : nullptr;
}

GrMipMapId_t GuTextureManager::Allocate(GlideContext& context, GrChipID_t tmu, FxU8 nOddEven,
                                        int nWidth, int nHeight, GrTextureFormat_t eFormat,
                                        GrMipMapMode_t eMipMap, GrLOD_t eSmallLod,
                                        GrLOD_t eLargeLod, GrAspectRatio_t eAspect,
                                        GrTextureClampMode_t eClampS, GrTextureClampMode_t eClampT,
                                        GrTextureFilterMode_t eMinFilter,
                                        GrTextureFilterMode_t eMagFilter, float fLodBias,
                                        FxBool bTrilinear)
{
    TexelFormat eTexel;
    Int32 nSmall, nLarge, nAspectLog;
    UInt32 nParity;
    MipMapMode eMode;
    TextureClamp eClamp;
    TextureFilter eFilter;
    if (!context.IsOpen() || !context.IsTmu(tmu) || !GlideMap::TextureFormat(eFormat, &eTexel) ||
        !GlideMap::Lod(eSmallLod, &nSmall) || !GlideMap::Lod(eLargeLod, &nLarge) ||
        nLarge > nSmall || !GlideMap::Aspect(eAspect, &nAspectLog) ||
        !GlideMap::Parity(nOddEven, &nParity) || !GlideMap::MipMap(eMipMap, &eMode) ||
        !GlideMap::Clamp(eClampS, &eClamp) || !GlideMap::Clamp(eClampT, &eClamp) ||
        !GlideMap::Filter(eMinFilter, &eFilter) || !GlideMap::Filter(eMagFilter, &eFilter))
    {
        context.Error("guTexAllocateMemory: bad argument");
        return GR_NULL_MIPMAP_HANDLE;
    }
    if (m_nCount >= GlideConfig::MaxMipMaps)
        return GR_NULL_MIPMAP_HANDLE;
    const UInt32 nBytes = TextureLayout::ChainTmuBytes(nSmall, nLarge, nAspectLog, eTexel, nParity);
    const UInt32 nTotal = UInt32(context.GetBoard().nTmuMegabytes) << 20;
    UInt32 nStart = m_anFree[tmu];
    // A chain may not straddle the 2 MB line: start it there instead.
    if (nStart < GlideConfig::TmuBoundary && nStart + nBytes > GlideConfig::TmuBoundary)
        nStart = GlideConfig::TmuBoundary;
    if (nStart > nTotal || nTotal - nStart < nBytes)
        return GR_NULL_MIPMAP_HANDLE;
    m_anFree[tmu] = nStart + nBytes;

    const GrMipMapId_t id = GrMipMapId_t(m_nCount++);
    Entry& entry = m_aEntries[id];
    std::memset(&entry.info, 0, sizeof entry.info);
    entry.pPalette = nullptr;
    GrMipMapInfo& info = entry.info;
    info.sst = 0;
    info.valid = FXTRUE;
    info.width = nWidth;
    info.height = nHeight;
    info.aspect_ratio = eAspect;
    info.format = eFormat;
    info.mipmap_mode = eMipMap;
    info.magfilter_mode = eMagFilter;
    info.minfilter_mode = eMinFilter;
    info.s_clamp_mode = eClampS;
    info.t_clamp_mode = eClampT;
    // LOD bias as the chip's 4.2 field: -8..7.75 in quarters.
    float fBias = fLodBias;
    if (!(fBias >= -8.0f))
        fBias = -8.0f;
    if (fBias > 7.75f)
        fBias = 7.75f;
    info.lod_bias = FxU32(Int32(std::floor(fBias * 4.0f + 0.5f)) & 0x3F);
    info.lod_min = eSmallLod;
    info.lod_max = eLargeLod;
    info.tmu = tmu;
    info.odd_even_mask = nOddEven;
    info.tmu_base_address = nStart;
    info.trilinear = bTrilinear;
    return id;
}

FxBool GuTextureManager::ChangeAttributes(GrMipMapId_t id, int nWidth, int nHeight,
                                          GrTextureFormat_t eFormat, GrMipMapMode_t eMipMap,
                                          GrLOD_t eSmallLod, GrLOD_t eLargeLod,
                                          GrAspectRatio_t eAspect, GrTextureClampMode_t eClampS,
                                          GrTextureClampMode_t eClampT,
                                          GrTextureFilterMode_t eMinFilter,
                                          GrTextureFilterMode_t eMagFilter)
{
    Entry* pEntry = Find(id);
    if (!pEntry)
        return FXFALSE;
    // -1 keeps an attribute; values Glide does not define are kept as well.
    GrMipMapInfo& info = pEntry->info;
    TexelFormat eTexel;
    Int32 nLod;
    MipMapMode eMode;
    TextureClamp eClamp;
    TextureFilter eFilter;
    if (nWidth != -1)
        info.width = nWidth;
    if (nHeight != -1)
        info.height = nHeight;
    if (GlideMap::TextureFormat(eFormat, &eTexel))
        info.format = eFormat;
    if (GlideMap::MipMap(eMipMap, &eMode))
        info.mipmap_mode = eMipMap;
    if (GlideMap::Lod(eSmallLod, &nLod))
        info.lod_min = eSmallLod;
    if (GlideMap::Lod(eLargeLod, &nLod))
        info.lod_max = eLargeLod;
    if (GlideMap::Aspect(eAspect, &nLod))
        info.aspect_ratio = eAspect;
    if (GlideMap::Clamp(eClampS, &eClamp))
        info.s_clamp_mode = eClampS;
    if (GlideMap::Clamp(eClampT, &eClamp))
        info.t_clamp_mode = eClampT;
    if (GlideMap::Filter(eMinFilter, &eFilter))
        info.minfilter_mode = eMinFilter;
    if (GlideMap::Filter(eMagFilter, &eFilter))
        info.magfilter_mode = eMagFilter;
    return FXTRUE;
}

void GuTextureManager::DownloadLevel(GlideContext& context, GrMipMapId_t id, GrLOD_t eLod,
                                     const void** ppSource)
{
    Entry* pEntry = Find(id);
    Int32 nLod, nLarge, nSmall, nAspectLog;
    TexelFormat eTexel;
    if (!pEntry || !ppSource || !*ppSource || !context.IsOpen())
        return;
    const GrMipMapInfo& info = pEntry->info;
    if (!GlideMap::Lod(eLod, &nLod) || !GlideMap::Lod(info.lod_max, &nLarge) ||
        !GlideMap::Lod(info.lod_min, &nSmall) || nLod < nLarge || nLod > nSmall ||
        !GlideMap::Aspect(info.aspect_ratio, &nAspectLog) ||
        !GlideMap::TextureFormat(info.format, &eTexel))
        return context.Error("guTexDownloadMipMapLevel: bad level");
    grTexDownloadMipMapLevel(info.tmu, info.tmu_base_address, eLod, info.lod_max, info.aspect_ratio,
                             info.format, info.odd_even_mask, const_cast<void*>(*ppSource));
    *ppSource = static_cast<const Byte*>(*ppSource) +
                TextureLayout::LevelHostBytes(nLod, nAspectLog, eTexel);
}

void GuTextureManager::Download(GlideContext& context, GrMipMapId_t id, const void* pSource,
                                const GuNccTable* pTable)
{
    Entry* pEntry = Find(id);
    if (!pEntry || !pSource || !context.IsOpen())
        return;
    GrMipMapInfo& info = pEntry->info;
    Int32 nLarge, nSmall;
    if (!GlideMap::Lod(info.lod_max, &nLarge) || !GlideMap::Lod(info.lod_min, &nSmall))
        return;
    const void* pLevel = pSource;
    for (Int32 nLod = nLarge; nLod <= nSmall; ++nLod)
        DownloadLevel(context, id, GrLOD_t(nLod), &pLevel);
    if (IsNcc(info.format) && pTable)
    {
        info.ncc_table = *pTable;
        // A slot holding this handle's previous table must be loaded again.
        for (Int32 k = 0; k < 2; ++k)
            if (m_aanNccSlot[info.tmu][k] == id)
                m_aanNccSlot[info.tmu][k] = GR_NULL_MIPMAP_HANDLE;
    }
    else if (IsPalette(info.format) && pTable)
    {
        // The 3DF loader's table is a GuTexTable: for palette formats it holds the palette.
        // Keeping it with the mip-map makes guSource show the texture in its own colours; the
        // original left palettes to grTexDownloadTable (docs/fidelity.md).
        if (!pEntry->pPalette)
            pEntry->pPalette = new (std::nothrow) UInt32[256];
        if (pEntry->pPalette)
        {
            const GuTexPalette* pPalette = reinterpret_cast<const GuTexPalette*>(pTable);
            for (Int32 i = 0; i < 256; ++i)
                pEntry->pPalette[i] = UInt32(pPalette->data[i]);
        }
    }
}

void GuTextureManager::Source(GlideContext& context, GrMipMapId_t id)
{
    Entry* pEntry = Find(id);
    if (!pEntry || !context.IsOpen())
        return;
    const GrMipMapInfo& info = pEntry->info;
    const GrChipID_t tmu = info.tmu;
    GrTexInfo texInfo;
    texInfo.smallLod = info.lod_min;
    texInfo.largeLod = info.lod_max;
    texInfo.aspectRatio = info.aspect_ratio;
    texInfo.format = info.format;
    texInfo.data = nullptr;
    grTexSource(tmu, info.tmu_base_address, info.odd_even_mask, &texInfo);
    grTexClampMode(tmu, info.s_clamp_mode, info.t_clamp_mode);
    grTexFilterMode(tmu, info.minfilter_mode, info.magfilter_mode);
    grTexMipMapMode(tmu, info.mipmap_mode, info.trilinear);
    // lod_bias is the 4.2 field: a signed count of quarter levels.
    const Int32 nQuarters = Int32(info.lod_bias & 0x3Fu) - ((info.lod_bias & 0x20u) ? 64 : 0);
    grTexLodBiasValue(tmu, float(nQuarters) / 4.0f);
    if (IsNcc(info.format))
    {
        Int32 nSlot = -1;
        for (Int32 k = 0; k < 2; ++k)
            if (m_aanNccSlot[tmu][k] == id)
                nSlot = k;
        if (nSlot < 0)
        {
            nSlot = m_anNccOldest[tmu];
            m_anNccOldest[tmu] = 1 - nSlot;
            m_aanNccSlot[tmu][nSlot] = id;
            UInt32 anPacked[12];
            for (Int32 i = 0; i < 12; ++i)
                anPacked[i] = UInt32(info.ncc_table.packed_data[i]);
            if (TextureUnit* pUnit = context.GetDevice().GetTmu(tmu))
                pUnit->SetNccTable(nSlot, TexelDecoder::UnpackNcc(anPacked));
            context.m_aapLastNcc[tmu][nSlot] = nullptr;
        }
        grTexNCCTable(tmu, GrNCCTable_t(nSlot));
    }
    else if (IsPalette(info.format) && pEntry->pPalette)
    {
        if (TextureUnit* pUnit = context.GetDevice().GetTmu(tmu))
            pUnit->SetPaletteEntries(0, 255, pEntry->pPalette);
    }
    m_anCurrent[tmu] = id;
}

FxU32 GuTextureManager::QueryAvailable(const GlideContext& context, GrChipID_t tmu) const
{
    if (!context.IsTmu(tmu))
        return 0;
    const UInt32 nTotal = UInt32(context.GetBoard().nTmuMegabytes) << 20;
    return nTotal - m_anFree[tmu];
}

GrMipMapId_t GuTextureManager::Current(GrChipID_t tmu) const
{
    return tmu >= 0 && tmu < GlideConfig::MaxTmus ? m_anCurrent[tmu] : GR_NULL_MIPMAP_HANDLE;
}

GrMipMapInfo* GuTextureManager::Info(GrMipMapId_t id)
{
    Entry* pEntry = Find(id);
    return pEntry ? &pEntry->info : nullptr;
}
