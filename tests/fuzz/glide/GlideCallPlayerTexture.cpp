// GlideCallPlayer: texture memory, downloads, tables, sources and the gu texture manager.
#include "GlideCallPlayer.h"
#include <cstring>

namespace
{
const size_t kTexelBytes = 174762;

// Host bytes of one level as a program computes them, or 0 for an invalid shape.
size_t LevelBytes(GrLOD_t eLod, GrAspectRatio_t eAspect, GrTextureFormat_t eFormat)
{
    if (eLod < GR_LOD_256 || eLod > GR_LOD_1 || eAspect < GR_ASPECT_8x1 ||
        eAspect > GR_ASPECT_1x8 || eFormat < 0 || eFormat > GR_TEXFMT_RSVD2)
        return 0;
    const size_t nLong = size_t(256) >> eLod;
    const int nShift = eAspect < GR_ASPECT_1x1 ? GR_ASPECT_1x1 - eAspect : eAspect - GR_ASPECT_1x1;
    const size_t nShort = (nLong >> nShift) ? (nLong >> nShift) : 1;
    return nLong * nShort * (eFormat >= GR_TEXFMT_16BIT ? 2 : 1);
}

// Host bytes of levels eLarge .. eSmall, or 0 for an invalid shape.
size_t ChainBytes(GrLOD_t eSmall, GrLOD_t eLarge, GrAspectRatio_t eAspect,
                  GrTextureFormat_t eFormat)
{
    if (eLarge < GR_LOD_256 || eSmall > GR_LOD_1 || eLarge > eSmall)
        return 0;
    size_t nBytes = 0;
    for (GrLOD_t eLod = eLarge; eLod <= eSmall; ++eLod)
        nBytes += LevelBytes(eLod, eAspect, eFormat);
    return nBytes;
}
} // namespace

FxU32 GlideCallPlayer::TexAddress()
{
    // Mostly 8-byte aligned inside 4 MB (the largest TMU), sometimes anything.
    const std::uint8_t nSelect = m_Input.U8();
    if (nSelect < 0xC0)
        return FxU32(m_Input.U16()) << 6;
    if (nSelect < 0xE0)
        return (FxU32(m_Input.U16()) << 6) | (nSelect & 7);
    return m_Input.U32();
}

void GlideCallPlayer::FillTexInfo(GrTexInfo* pInfo)
{
    pInfo->smallLod = m_Input.Enum(9);
    pInfo->largeLod = m_Input.Enum(9);
    pInfo->aspectRatio = m_Input.Enum(7);
    pInfo->format = m_Input.Enum(16);
    // The program's texels end where the chain ends: a download reading past them is caught.
    const size_t nBytes =
        ChainBytes(pInfo->smallLod, pInfo->largeLod, pInfo->aspectRatio, pInfo->format);
    pInfo->data = m_pbTexels + (nBytes ? kTexelBytes - nBytes : 0);
}

GrMipMapId_t GlideCallPlayer::MipMapId()
{
    const std::uint8_t nSelect = m_Input.U8();
    if (!m_anMipMaps.empty() && nSelect < 0xE0)
        return m_anMipMaps[nSelect % m_anMipMaps.size()];
    return nSelect < 0xF0 ? GR_NULL_MIPMAP_HANDLE : m_Input.U32();
}

void GlideCallPlayer::CallTexMemory()
{
    const GrChipID_t eTmu = Tmu();
    GrTexInfo info;
    FillTexInfo(&info);
    const FxU32 nEvenOdd = FxU32(m_Input.Enum(4));
    (void)grTexMinAddress(eTmu);
    (void)grTexMaxAddress(eTmu);
    (void)grTexCalcMemRequired(info.smallLod, info.largeLod, info.aspectRatio, info.format);
    (void)grTexTextureMemRequired(nEvenOdd, m_Input.Bool() ? &info : nullptr);
}

void GlideCallPlayer::CallTexDownload()
{
    const GrChipID_t eTmu = Tmu();
    const FxU32 nAddress = TexAddress();
    const FxU32 nEvenOdd = FxU32(m_Input.Enum(4));
    GrTexInfo info;
    FillTexInfo(&info);
    if (m_Input.U8() >= 0xF0)
        info.data = nullptr;
    grTexDownloadMipMap(eTmu, nAddress, nEvenOdd, &info);
}

void GlideCallPlayer::CallTexDownloadLevel()
{
    const GrChipID_t eTmu = Tmu();
    const FxU32 nAddress = TexAddress();
    const GrLOD_t eLod = m_Input.Enum(9);
    const GrLOD_t eLarge = m_Input.Enum(9);
    const GrAspectRatio_t eAspect = m_Input.Enum(7);
    const GrTextureFormat_t eFormat = m_Input.Enum(16);
    const FxU32 nEvenOdd = FxU32(m_Input.Enum(4));
    const size_t nBytes = LevelBytes(eLod, eAspect, eFormat);
    grTexDownloadMipMapLevel(eTmu, nAddress, eLod, eLarge, eAspect, eFormat, nEvenOdd,
                             m_pbTexels + kTexelBytes - (nBytes ? nBytes : kTexelBytes));
}

void GlideCallPlayer::CallTexDownloadPartial()
{
    const GrChipID_t eTmu = Tmu();
    const FxU32 nAddress = TexAddress();
    const GrLOD_t eLod = m_Input.Enum(9);
    const GrLOD_t eLarge = m_Input.Enum(9);
    const GrAspectRatio_t eAspect = m_Input.Enum(7);
    const GrTextureFormat_t eFormat = m_Input.Enum(16);
    const FxU32 nEvenOdd = FxU32(m_Input.Enum(4));
    const int nStart = m_Input.Shifted(300, 20);
    const int nEnd = m_Input.Shifted(300, 20);
    // The data is the whole level, whichever rows are sent.
    const size_t nBytes = LevelBytes(eLod, eAspect, eFormat);
    grTexDownloadMipMapLevelPartial(eTmu, nAddress, eLod, eLarge, eAspect, eFormat, nEvenOdd,
                                    m_pbTexels + kTexelBytes - (nBytes ? nBytes : kTexelBytes),
                                    nStart, nEnd);
}

void GlideCallPlayer::CallTexSource()
{
    const GrChipID_t eTmu = Tmu();
    const FxU32 nAddress = TexAddress();
    const FxU32 nEvenOdd = FxU32(m_Input.Enum(4));
    GrTexInfo info;
    FillTexInfo(&info);
    grTexSource(eTmu, nAddress, nEvenOdd, m_Input.U8() < 0xF8 ? &info : nullptr);
}

void GlideCallPlayer::CallTexTable()
{
    const GrChipID_t eTmu = Tmu();
    const GrTexTable_t eType = GrTexTable_t(m_Input.Enum(3));
    const std::uint8_t nKind = m_Input.U8();
    // Half the table's bytes come from the input, at an offset it picks.
    std::uint8_t* pbTable = reinterpret_cast<std::uint8_t*>(m_pTable);
    const size_t nAt = m_Input.U16() % sizeof(GuTexTable);
    for (size_t i = 0; i < 8 && nAt + i < sizeof(GuTexTable); ++i)
        pbTable[nAt + i] = m_Input.U8();
    if (nKind & 1)
    {
        const int nStart = m_Input.Shifted(260, 2);
        grTexDownloadTablePartial(eTmu, eType, m_pTable, nStart, m_Input.Shifted(260, 2));
    }
    else
        grTexDownloadTable(eTmu, eType, (nKind & 2) ? nullptr : m_pTable);
    if (nKind & 4)
        grTexNCCTable(eTmu, GrNCCTable_t(m_Input.Enum(2)));
}

void GlideCallPlayer::CallTexSampling()
{
    const GrChipID_t eTmu = Tmu();
    switch (m_Input.U8() % 5)
    {
    case 0:
    {
        const GrTextureFilterMode_t eMin = m_Input.Enum(2);
        grTexFilterMode(eTmu, eMin, m_Input.Enum(2));
        break;
    }
    case 1:
    {
        const GrTextureClampMode_t eS = m_Input.Enum(2);
        grTexClampMode(eTmu, eS, m_Input.Enum(2));
        break;
    }
    case 2:
    {
        const GrMipMapMode_t eMode = m_Input.Enum(3);
        grTexMipMapMode(eTmu, eMode, m_Input.Bool());
        break;
    }
    case 3:
        grTexLodBiasValue(eTmu, m_Input.Float(8.0f));
        break;
    default:
    {
        const int nBias = m_Input.Shifted(64, 32);
        const FxU8 nScale = m_Input.U8();
        grTexDetailControl(eTmu, nBias, nScale, m_Input.Float(2.0f));
        break;
    }
    }
}

void GlideCallPlayer::CallTexCombine()
{
    const GrChipID_t eTmu = Tmu();
    if (m_Input.Bool())
    {
        const GrTextureCombineFnc_t eFunction = m_Input.Enum(11);
        if (m_Input.Bool())
            guTexCombineFunction(eTmu, eFunction);
        else
            grTexCombineFunction(eTmu, eFunction);
        return;
    }
    const GrCombineFunction_t eRgb = m_Input.Enum(0x11);
    const GrCombineFactor_t eRgbFactor = m_Input.Enum(0xE);
    const GrCombineFunction_t eAlpha = m_Input.Enum(0x11);
    const GrCombineFactor_t eAlphaFactor = m_Input.Enum(0xE);
    const FxBool bRgbInvert = m_Input.Bool();
    grTexCombine(eTmu, eRgb, eRgbFactor, eAlpha, eAlphaFactor, bRgbInvert, m_Input.Bool());
}

void GlideCallPlayer::CallTexMultibase()
{
    const GrChipID_t eTmu = Tmu();
    if (m_Input.Bool())
    {
        grTexMultibase(eTmu, m_Input.Bool());
        return;
    }
    const GrTexBaseRange_t eRange = GrTexBaseRange_t(m_Input.Enum(4));
    const FxU32 nAddress = TexAddress();
    const FxU32 nEvenOdd = FxU32(m_Input.Enum(4));
    GrTexInfo info;
    FillTexInfo(&info);
    grTexMultibaseAddress(eTmu, eRange, nAddress, nEvenOdd, &info);
}

void GlideCallPlayer::CallTexelPoke()
{
    // Sixteen texels of the program's own choosing, anywhere in its texel memory.
    const size_t nAt = (size_t(m_Input.U16()) * 3) % (kTexelBytes - 16);
    for (size_t i = 0; i < 16; ++i)
        m_pbTexels[nAt + i] = m_Input.U8();
}

void GlideCallPlayer::CallGuAllocate()
{
    const GrChipID_t eTmu = Tmu();
    const FxU8 nMask = FxU8(m_Input.Enum(4));
    const int nWidth = m_Input.Count(512);
    const int nHeight = m_Input.Count(512);
    const GrTextureFormat_t eFormat = m_Input.Enum(16);
    const GrMipMapMode_t eMode = m_Input.Enum(3);
    const GrLOD_t eSmall = m_Input.Enum(9);
    const GrLOD_t eLarge = m_Input.Enum(9);
    const GrAspectRatio_t eAspect = m_Input.Enum(7);
    const GrTextureClampMode_t eClampS = m_Input.Enum(2);
    const GrTextureClampMode_t eClampT = m_Input.Enum(2);
    const GrTextureFilterMode_t eMin = m_Input.Enum(2);
    const GrTextureFilterMode_t eMag = m_Input.Enum(2);
    const float fBias = m_Input.Float(4.0f);
    const GrMipMapId_t id =
        guTexAllocateMemory(eTmu, nMask, nWidth, nHeight, eFormat, eMode, eSmall, eLarge, eAspect,
                            eClampS, eClampT, eMin, eMag, fBias, m_Input.Bool());
    if (id != GR_NULL_MIPMAP_HANDLE && m_anMipMaps.size() < 32)
        m_anMipMaps.push_back(id);
}

void GlideCallPlayer::CallGuChange()
{
    const GrMipMapId_t id = MipMapId();
    const int nWidth = m_Input.Count(512);
    const int nHeight = m_Input.Count(512);
    const GrTextureFormat_t eFormat = m_Input.Enum(16);
    const GrMipMapMode_t eMode = m_Input.Enum(3);
    const GrLOD_t eSmall = m_Input.Enum(9);
    const GrLOD_t eLarge = m_Input.Enum(9);
    const GrAspectRatio_t eAspect = m_Input.Enum(7);
    const GrTextureClampMode_t eClampS = m_Input.Enum(2);
    const GrTextureClampMode_t eClampT = m_Input.Enum(2);
    const GrTextureFilterMode_t eMin = m_Input.Enum(2);
    guTexChangeAttributes(id, nWidth, nHeight, eFormat, eMode, eSmall, eLarge, eAspect, eClampS,
                          eClampT, eMin, m_Input.Enum(2));
}

void GlideCallPlayer::CallGuDownload()
{
    const GrMipMapId_t id = MipMapId();
    const std::uint8_t nKind = m_Input.U8();
    const GuNccTable* pTable = (nKind & 2) ? nullptr : &m_pTable->nccTable;
    if (nKind & 1)
    {
        guTexDownloadMipMap(id, (nKind & 4) ? nullptr : m_pbTexels, pTable);
        return;
    }
    // The level download moves the program's pointer past the level it sent.
    const void* pSource = m_pbTexels;
    guTexDownloadMipMapLevel(id, m_Input.Enum(9), (nKind & 4) ? nullptr : &pSource);
}

void GlideCallPlayer::CallGuSource()
{
    guTexSource(MipMapId());
}

void GlideCallPlayer::CallGuQuery()
{
    switch (m_Input.U8() % 4)
    {
    case 0:
        (void)guTexGetCurrentMipMap(Tmu());
        break;
    case 1:
        if (const GrMipMapInfo* pInfo = guTexGetMipMapInfo(MipMapId()))
        {
            volatile int nSum = pInfo->width + pInfo->height + pInfo->format;
            (void)nSum;
        }
        break;
    case 2:
        (void)guTexMemQueryAvail(Tmu());
        break;
    default:
        guTexMemReset();
        m_anMipMaps.clear();
        break;
    }
}
