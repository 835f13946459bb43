#include "TracePlayer.h"

#include "FrameReadBack.h"
#include "GlideContext.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace
{
static_assert(sizeof(GrVertex) == TraceFormat::VertexBytes, "a GrVertex is 15 floats");

// The largest pixel region any call takes: 2048 x 2048 pixels of 32 bits (the board's screens
// are at most 1600 x 1200); a larger recorded region is refused by the call before it reads.
const size_t MAX_REGION_BYTES = size_t(2048) * 2048 * 4;

template <typename T> T As(const TraceRecord& rRecord, Int32 i)
{
    return static_cast<T>(rRecord.anWords[i]);
}

GrTexInfo TexInfo(const TraceRecord& rRecord, Int32 nFirst, void* pData)
{
    GrTexInfo info;
    info.smallLod = As<GrLOD_t>(rRecord, nFirst + 1);
    info.largeLod = As<GrLOD_t>(rRecord, nFirst + 2);
    info.aspectRatio = As<GrAspectRatio_t>(rRecord, nFirst + 3);
    info.format = As<GrTextureFormat_t>(rRecord, nFirst + 4);
    info.data = pData;
    return info;
}

// Bytes per pixel of a grLfbWriteRegion source format; 4 (the most) for one the call refuses.
size_t LfbPixelBytes(GrLfbSrcFmt_t eFormat)
{
    switch (eFormat)
    {
    case GR_LFB_SRC_FMT_565:
    case GR_LFB_SRC_FMT_555:
    case GR_LFB_SRC_FMT_1555:
    case GR_LFB_SRC_FMT_ZA16:
        return 2;
    default:
        return 4;
    }
}

const char* BoardName(UInt32 uBoard)
{
    switch (TraceBoard(uBoard))
    {
    case TraceBoard::Voodoo2:
        return "voodoo2";
    case TraceBoard::Sst96:
        return "sst96";
    case TraceBoard::At3d:
        return "at3d";
    case TraceBoard::None:
        return "none";
    default:
        return "voodoo";
    }
}

void SetSwitch(const char* pszName, UInt32 uOn)
{
    if (uOn != 0)
        setenv(pszName, "1", 1);
    else
        unsetenv(pszName);
}
} // namespace

TracePlayer::TracePlayer() : m_bReportedOpen(0)
{
    // Swaps never wait: the replay runs as fast as it can.
    setenv("FX_GLIDE_SWAPINTERVAL", "0", 1);
}

Int64 TracePlayer::TakePixelCount()
{
    GrSstPerfStats_t stats;
    std::memset(&stats, 0, sizeof stats);
    grSstPerfStats(&stats);
    grSstResetPerfStats();
    return (Int64)stats.pixelsOut;
}

Int32 TracePlayer::ReadFrame(RgbImage& rImage)
{
    // The frame just swapped is the front buffer.
    const Int32 nWidth = (Int32)grSstScreenWidth();
    const Int32 nHeight = (Int32)grSstScreenHeight();
    if (nWidth <= 0 || nHeight <= 0)
        return 0;
    FrameReadBack readBack(nWidth, nHeight);
    if (!readBack.Read())
        return 0;
    readBack.ToRgb(rImage);
    return 1;
}

void TracePlayer::Reset()
{
    grGlideShutdown();
    m_Tables.clear();
}

Byte* TracePlayer::Scratch(const TraceRecord& rRecord, size_t nBytes, size_t nOffset)
{
    m_abScratch.assign(nBytes, 0);
    if (nOffset < nBytes)
    {
        const size_t nCopy = rRecord.nData < nBytes - nOffset ? rRecord.nData : nBytes - nOffset;
        if (nCopy > 0)
            std::memcpy(m_abScratch.data() + nOffset, rRecord.pData, nCopy);
    }
    return m_abScratch.data();
}

const GrVertex* TracePlayer::Vertices(const TraceRecord& rRecord)
{
    m_aVertices.resize((size_t)rRecord.nVertices);
    for (Int32 i = 0; i < rRecord.nVertices; i++)
        std::memcpy(&m_aVertices[(size_t)i], rRecord.pVertices[i].anFloats, sizeof(GrVertex));
    return m_aVertices.data();
}

void TracePlayer::Play(const TraceRecord& rRecord)
{
    const TraceCall eCall = rRecord.eCall;
    if (eCall >= TraceCall::DrawPoint && eCall <= TraceCall::DrawPolygonVertexListWithClip)
        PlayDraw(rRecord);
    else if (eCall >= TraceCall::BufferClear && eCall <= TraceCall::BufferImage)
        PlayBuffer(rRecord);
    else if (eCall >= TraceCall::CullMode && eCall <= TraceCall::DisableAllEffects)
        PlayState(rRecord);
    else if (eCall == TraceCall::TexDownloadTable || eCall == TraceCall::TexDownloadTablePartial)
        PlayTable(rRecord);
    else if (eCall >= TraceCall::TexSource && eCall <= TraceCall::TexMultibaseAddress)
        PlayTexture(rRecord);
    else if (eCall >= TraceCall::GuTexAllocateMemory && eCall <= TraceCall::GuTexMemReset)
        PlayGu(rRecord);
    else
        PlayBoard(rRecord);
}

void TracePlayer::PlayBoard(const TraceRecord& rRecord)
{
    const TraceRecord& r = rRecord;
    switch (r.eCall)
    {
    case TraceCall::GlideInit:
        // The board and switches the program's grGlideInit saw.
        setenv("GLIDE_SW_BOARD", BoardName(r.anWords[0]), 1);
        SetSwitch("FX_GLIDE_IGNORE_REOPEN", r.anWords[1]);
        SetSwitch("FX_GLIDE_REPORT_REAL_HW", r.anWords[2]);
        grGlideInit();
        return;
    case TraceCall::GlideShutdown:
        grGlideShutdown();
        return;
    case TraceCall::SstWinOpen:
        if (!grSstWinOpen(0, As<GrScreenResolution_t>(r, 1), As<GrScreenRefresh_t>(r, 2),
                          As<GrColorFormat_t>(r, 3), As<GrOriginLocation_t>(r, 4), As<int>(r, 5),
                          As<int>(r, 6)) &&
            r.anWords[0] != 0 && !m_bReportedOpen)
        {
            // A program's window may have given the board its size; the replay has none.
            m_bReportedOpen = 1;
            fprintf(stderr,
                    "glide-replay: grSstWinOpen of record %llu failed without the "
                    "program's window\n",
                    (unsigned long long)(r.llIndex + 1));
        }
        return;
    case TraceCall::SstWinClose:
        grSstWinClose();
        return;
    case TraceCall::SstControl:
        grSstControl(r.anWords[0]);
        return;
    case TraceCall::SstControlMode:
        grSstControlMode(As<GrControl_t>(r, 0));
        return;
    case TraceCall::SstOrigin:
        grSstOrigin(As<GrOriginLocation_t>(r, 0));
        return;
    case TraceCall::Hints:
        grHints(As<GrHint_t>(r, 0), r.anWords[1]);
        return;
    case TraceCall::GlideSetState:
    {
        GrState state;
        std::memcpy(&state, Scratch(r, sizeof state), sizeof state);
        grGlideSetState(&state);
        return;
    }
    default:
        // Markers are for the tools.
        return;
    }
}

void TracePlayer::PlayDraw(const TraceRecord& rRecord)
{
    const TraceRecord& r = rRecord;
    const GrVertex* pV = Vertices(r);
    const int nCount = r.nVertices;
    m_anIndices.resize((size_t)nCount);
    for (int i = 0; i < nCount; i++)
        m_anIndices[(size_t)i] = i;
    const int* pnIndices = m_anIndices.data();
    switch (r.eCall)
    {
    case TraceCall::DrawPoint:
        return grDrawPoint(&pV[0]);
    case TraceCall::DrawLine:
        return grDrawLine(&pV[0], &pV[1]);
    case TraceCall::DrawTriangle:
        return grDrawTriangle(&pV[0], &pV[1], &pV[2]);
    case TraceCall::DrawPolygon:
        return grDrawPolygon(nCount, pnIndices, pV);
    case TraceCall::DrawPolygonVertexList:
        return grDrawPolygonVertexList(nCount, pV);
    case TraceCall::DrawPlanarPolygon:
        return grDrawPlanarPolygon(nCount, pnIndices, pV);
    case TraceCall::DrawPlanarPolygonVertexList:
        return grDrawPlanarPolygonVertexList(nCount, pV);
    case TraceCall::AADrawPoint:
        return grAADrawPoint(&pV[0]);
    case TraceCall::AADrawLine:
        return grAADrawLine(&pV[0], &pV[1]);
    case TraceCall::AADrawTriangle:
        return grAADrawTriangle(&pV[0], &pV[1], &pV[2], As<FxBool>(r, 0), As<FxBool>(r, 1),
                                As<FxBool>(r, 2));
    case TraceCall::AADrawPolygon:
        return grAADrawPolygon(nCount, pnIndices, pV);
    case TraceCall::AADrawPolygonVertexList:
        return grAADrawPolygonVertexList(nCount, pV);
    case TraceCall::DrawTriangleWithClip:
        return guDrawTriangleWithClip(&pV[0], &pV[1], &pV[2]);
    case TraceCall::AADrawTriangleWithClip:
        return guAADrawTriangleWithClip(&pV[0], &pV[1], &pV[2]);
    case TraceCall::DrawPolygonVertexListWithClip:
        return guDrawPolygonVertexListWithClip(nCount, pV);
    default:
        return;
    }
}

void TracePlayer::PlayBuffer(const TraceRecord& rRecord)
{
    const TraceRecord& r = rRecord;
    switch (r.eCall)
    {
    case TraceCall::BufferClear:
        return grBufferClear(As<GrColor_t>(r, 0), As<GrAlpha_t>(r, 1), As<FxU16>(r, 2));
    case TraceCall::BufferSwap:
        return grBufferSwap(As<int>(r, 0));
    case TraceCall::RenderBuffer:
        return grRenderBuffer(As<GrBuffer_t>(r, 0));
    case TraceCall::ClipWindow:
        return grClipWindow(r.anWords[0], r.anWords[1], r.anWords[2], r.anWords[3]);
    case TraceCall::ColorMask:
        return grColorMask(As<FxBool>(r, 0), As<FxBool>(r, 1));
    case TraceCall::LfbReadRegion:
    {
        // Rows of the stride, the last one only as wide as the region.
        const size_t nWidth = r.anWords[3], nHeight = r.anWords[4], nStride = r.anWords[5];
        size_t nBytes = 16;
        if (nWidth > 0 && nHeight > 0 && nWidth <= MAX_REGION_BYTES &&
            nHeight <= MAX_REGION_BYTES && nStride <= MAX_REGION_BYTES)
            nBytes += (nHeight - 1) * nStride + 2 * nWidth;
        if (nBytes > MAX_REGION_BYTES)
            return;
        grLfbReadRegion(As<GrBuffer_t>(r, 0), r.anWords[1], r.anWords[2], r.anWords[3],
                        r.anWords[4], r.anWords[5], Scratch(r, nBytes));
        return;
    }
    case TraceCall::LfbWriteRegion:
    {
        const GrLfbSrcFmt_t eFormat = As<GrLfbSrcFmt_t>(r, 3);
        const size_t nRowBytes = size_t(r.anWords[4]) * LfbPixelBytes(eFormat);
        const size_t nHeight = r.anWords[5];
        if (nRowBytes > MAX_REGION_BYTES || nHeight > MAX_REGION_BYTES ||
            nRowBytes * nHeight > MAX_REGION_BYTES)
            return;
        grLfbWriteRegion(As<GrBuffer_t>(r, 0), r.anWords[1], r.anWords[2], eFormat, r.anWords[4],
                         r.anWords[5], FxI32(nRowBytes), Scratch(r, nRowBytes * nHeight + 16));
        return;
    }
    case TraceCall::LfbLock:
    {
        GrLfbInfo_t info;
        std::memset(&info, 0, sizeof info);
        info.size = int(sizeof info);
        grLfbLock(As<GrLock_t>(r, 0), As<GrBuffer_t>(r, 1), As<GrLfbWriteMode_t>(r, 2),
                  As<GrOriginLocation_t>(r, 3), As<FxBool>(r, 4), &info);
        return;
    }
    case TraceCall::LfbUnlock:
        // What the program wrote through its lock follows as BufferImage records.
        grLfbUnlock(As<GrLock_t>(r, 0), As<GrBuffer_t>(r, 1));
        return;
    case TraceCall::LfbConstantAlpha:
        return grLfbConstantAlpha(As<GrAlpha_t>(r, 0));
    case TraceCall::LfbConstantDepth:
        return grLfbConstantDepth(As<FxU16>(r, 0));
    case TraceCall::LfbWriteColorFormat:
        return grLfbWriteColorFormat(As<GrColorFormat_t>(r, 0));
    case TraceCall::LfbWriteColorSwizzle:
        return grLfbWriteColorSwizzle(As<FxBool>(r, 0), As<FxBool>(r, 1));
    case TraceCall::BufferImage:
    {
        // A buffer's pixels exactly as they were recorded, written into the board's memory
        // (not through an LFB write, which would apply the write format and counters).
        const GrBuffer_t eBuffer = As<GrBuffer_t>(r, 0);
        if (!GlideContext::Get().IsOpen() || eBuffer < GR_BUFFER_FRONTBUFFER ||
            eBuffer > GR_BUFFER_AUXBUFFER)
            return;
        const BufferId eId = eBuffer == GR_BUFFER_FRONTBUFFER  ? BufferId::Front
                             : eBuffer == GR_BUFFER_BACKBUFFER ? BufferId::Back
                                                               : BufferId::Aux;
        FrameBuffer& frameBuffer = GlideContext::Get().GetDevice().GetFrameBuffer();
        std::uint16_t* pPixels = frameBuffer.GetBuffer(eId);
        const size_t nBytes = size_t(frameBuffer.GetWidth()) * size_t(frameBuffer.GetHeight()) * 2;
        if (pPixels && r.anWords[1] == UInt32(frameBuffer.GetWidth()) &&
            r.anWords[2] == UInt32(frameBuffer.GetHeight()) && r.nData >= nBytes)
            std::memcpy(pPixels, r.pData, nBytes);
        return;
    }
    default:
        return;
    }
}

void TracePlayer::PlayState(const TraceRecord& rRecord)
{
    const TraceRecord& r = rRecord;
    switch (r.eCall)
    {
    case TraceCall::CullMode:
        return grCullMode(As<GrCullMode_t>(r, 0));
    case TraceCall::ColorCombine:
        return grColorCombine(As<GrCombineFunction_t>(r, 0), As<GrCombineFactor_t>(r, 1),
                              As<GrCombineLocal_t>(r, 2), As<GrCombineOther_t>(r, 3),
                              As<FxBool>(r, 4));
    case TraceCall::AlphaCombine:
        return grAlphaCombine(As<GrCombineFunction_t>(r, 0), As<GrCombineFactor_t>(r, 1),
                              As<GrCombineLocal_t>(r, 2), As<GrCombineOther_t>(r, 3),
                              As<FxBool>(r, 4));
    case TraceCall::AlphaControlsITRGBLighting:
        return grAlphaControlsITRGBLighting(As<FxBool>(r, 0));
    case TraceCall::ColorCombineFunction:
        return guColorCombineFunction(As<GrColorCombineFnc_t>(r, 0));
    case TraceCall::AlphaSource:
        return guAlphaSource(As<GrAlphaSource_t>(r, 0));
    case TraceCall::ConstantColorValue:
        return grConstantColorValue(As<GrColor_t>(r, 0));
    case TraceCall::ConstantColorValue4:
        return grConstantColorValue4(r.WordFloat(0), r.WordFloat(1), r.WordFloat(2),
                                     r.WordFloat(3));
    case TraceCall::AlphaBlendFunction:
        return grAlphaBlendFunction(As<GrAlphaBlendFnc_t>(r, 0), As<GrAlphaBlendFnc_t>(r, 1),
                                    As<GrAlphaBlendFnc_t>(r, 2), As<GrAlphaBlendFnc_t>(r, 3));
    case TraceCall::AlphaTestFunction:
        return grAlphaTestFunction(As<GrCmpFnc_t>(r, 0));
    case TraceCall::AlphaTestReferenceValue:
        return grAlphaTestReferenceValue(As<GrAlpha_t>(r, 0));
    case TraceCall::ChromakeyMode:
        return grChromakeyMode(As<GrChromakeyMode_t>(r, 0));
    case TraceCall::ChromakeyValue:
        return grChromakeyValue(As<GrColor_t>(r, 0));
    case TraceCall::DepthBufferMode:
        return grDepthBufferMode(As<GrDepthBufferMode_t>(r, 0));
    case TraceCall::DepthBufferFunction:
        return grDepthBufferFunction(As<GrCmpFnc_t>(r, 0));
    case TraceCall::DepthMask:
        return grDepthMask(As<FxBool>(r, 0));
    case TraceCall::DepthBiasLevel:
        return grDepthBiasLevel(As<FxI16>(r, 0));
    case TraceCall::DitherMode:
        return grDitherMode(As<GrDitherMode_t>(r, 0));
    case TraceCall::FogMode:
        return grFogMode(As<GrFogMode_t>(r, 0));
    case TraceCall::FogColorValue:
        return grFogColorValue(As<GrColor_t>(r, 0));
    case TraceCall::FogTable:
    {
        GrFog_t aTable[GR_FOG_TABLE_SIZE];
        std::memcpy(aTable, Scratch(r, sizeof aTable), sizeof aTable);
        return grFogTable(aTable);
    }
    case TraceCall::GammaCorrectionValue:
        return grGammaCorrectionValue(r.WordFloat(0));
    case TraceCall::DisableAllEffects:
        return grDisableAllEffects();
    default:
        return;
    }
}

void TracePlayer::PlayTexture(const TraceRecord& rRecord)
{
    const TraceRecord& r = rRecord;
    const GrChipID_t tmu = As<GrChipID_t>(r, 0);
    switch (r.eCall)
    {
    case TraceCall::TexSource:
    {
        GrTexInfo info = TexInfo(r, 3, nullptr);
        return grTexSource(tmu, r.anWords[1], r.anWords[2], r.anWords[3] ? &info : nullptr);
    }
    case TraceCall::TexDownloadMipMap:
    {
        GrTexInfo info = TexInfo(r, 3, Scratch(r, TraceFormat::MaxChainBytes));
        if (r.nData == 0)
            info.data = nullptr;
        return grTexDownloadMipMap(tmu, r.anWords[1], r.anWords[2], r.anWords[3] ? &info : nullptr);
    }
    case TraceCall::TexDownloadMipMapLevel:
    case TraceCall::TexDownloadMipMapLevelPartial:
    {
        const int bPartial = r.eCall == TraceCall::TexDownloadMipMapLevelPartial;
        void* pLevel = Scratch(r, TraceFormat::MaxLevelBytes, bPartial ? r.anWords[9] : 0);
        if (r.nData == 0)
            pLevel = nullptr;
        if (!bPartial)
            return grTexDownloadMipMapLevel(tmu, r.anWords[1], As<GrLOD_t>(r, 2), As<GrLOD_t>(r, 3),
                                            As<GrAspectRatio_t>(r, 4), As<GrTextureFormat_t>(r, 5),
                                            r.anWords[6], pLevel);
        return grTexDownloadMipMapLevelPartial(
            tmu, r.anWords[1], As<GrLOD_t>(r, 2), As<GrLOD_t>(r, 3), As<GrAspectRatio_t>(r, 4),
            As<GrTextureFormat_t>(r, 5), r.anWords[6], pLevel, As<int>(r, 7), As<int>(r, 8));
    }
    case TraceCall::TexNCCTable:
        return grTexNCCTable(tmu, As<GrNCCTable_t>(r, 1));
    case TraceCall::TexCombine:
        return grTexCombine(tmu, As<GrCombineFunction_t>(r, 1), As<GrCombineFactor_t>(r, 2),
                            As<GrCombineFunction_t>(r, 3), As<GrCombineFactor_t>(r, 4),
                            As<FxBool>(r, 5), As<FxBool>(r, 6));
    case TraceCall::TexCombineFunction:
        return grTexCombineFunction(tmu, As<GrTextureCombineFnc_t>(r, 1));
    case TraceCall::GuTexCombineFunction:
        return guTexCombineFunction(tmu, As<GrTextureCombineFnc_t>(r, 1));
    case TraceCall::TexFilterMode:
        return grTexFilterMode(tmu, As<GrTextureFilterMode_t>(r, 1),
                               As<GrTextureFilterMode_t>(r, 2));
    case TraceCall::TexClampMode:
        return grTexClampMode(tmu, As<GrTextureClampMode_t>(r, 1), As<GrTextureClampMode_t>(r, 2));
    case TraceCall::TexMipMapMode:
        return grTexMipMapMode(tmu, As<GrMipMapMode_t>(r, 1), As<FxBool>(r, 2));
    case TraceCall::TexLodBiasValue:
        return grTexLodBiasValue(tmu, r.WordFloat(1));
    case TraceCall::TexDetailControl:
        return grTexDetailControl(tmu, As<int>(r, 1), As<FxU8>(r, 2), r.WordFloat(3));
    case TraceCall::TexMultibase:
        return grTexMultibase(tmu, As<FxBool>(r, 1));
    case TraceCall::TexMultibaseAddress:
    {
        GrTexInfo info = TexInfo(r, 4, nullptr);
        return grTexMultibaseAddress(tmu, As<GrTexBaseRange_t>(r, 1), r.anWords[2], r.anWords[3],
                                     r.anWords[4] ? &info : nullptr);
    }
    default:
        return;
    }
}

void TracePlayer::PlayTable(const TraceRecord& rRecord)
{
    const TraceRecord& r = rRecord;
    const GrChipID_t tmu = As<GrChipID_t>(r, 0);
    const GrTexTable_t eType = As<GrTexTable_t>(r, 1);
    const UInt64 llAddress = UInt64(r.anWords[2]) | (UInt64(r.anWords[3]) << 32);
    const int bPartial = r.eCall == TraceCall::TexDownloadTablePartial;
    const int nStart = bPartial ? As<int>(r, 4) : 0;
    const int nEnd = bPartial ? As<int>(r, 5) : 255;
    GuTexTable* pTable = nullptr;
    if (llAddress != 0)
    {
        std::unique_ptr<GuTexTable>& rpTable = m_Tables[llAddress];
        if (!rpTable)
            rpTable.reset(new GuTexTable());
        pTable = rpTable.get();
        // NCC tables arrive whole; palette entries from the first one sent.
        const size_t nOffset =
            eType == GR_TEXTABLE_PALETTE && nStart > 0 && nStart < 256 ? size_t(nStart) * 4 : 0;
        if (r.nData > 0 && nOffset + r.nData <= sizeof(GuTexTable))
            std::memcpy(reinterpret_cast<Byte*>(pTable) + nOffset, r.pData, r.nData);
    }
    if (bPartial)
        grTexDownloadTablePartial(tmu, eType, pTable, nStart, nEnd);
    else
        grTexDownloadTable(tmu, eType, pTable);
}

void TracePlayer::PlayGu(const TraceRecord& rRecord)
{
    const TraceRecord& r = rRecord;
    switch (r.eCall)
    {
    case TraceCall::GuTexAllocateMemory:
        guTexAllocateMemory(As<GrChipID_t>(r, 0), As<FxU8>(r, 1), As<int>(r, 2), As<int>(r, 3),
                            As<GrTextureFormat_t>(r, 4), As<GrMipMapMode_t>(r, 5),
                            As<GrLOD_t>(r, 6), As<GrLOD_t>(r, 7), As<GrAspectRatio_t>(r, 8),
                            As<GrTextureClampMode_t>(r, 9), As<GrTextureClampMode_t>(r, 10),
                            As<GrTextureFilterMode_t>(r, 11), As<GrTextureFilterMode_t>(r, 12),
                            r.WordFloat(13), As<FxBool>(r, 14));
        return;
    case TraceCall::GuTexChangeAttributes:
        guTexChangeAttributes(As<GrMipMapId_t>(r, 0), As<int>(r, 1), As<int>(r, 2),
                              As<GrTextureFormat_t>(r, 3), As<GrMipMapMode_t>(r, 4),
                              As<GrLOD_t>(r, 5), As<GrLOD_t>(r, 6), As<GrAspectRatio_t>(r, 7),
                              As<GrTextureClampMode_t>(r, 8), As<GrTextureClampMode_t>(r, 9),
                              As<GrTextureFilterMode_t>(r, 10), As<GrTextureFilterMode_t>(r, 11));
        return;
    case TraceCall::GuTexDownloadMipMap:
    {
        // The levels, then the table (the reader checked that it fits).
        const UInt32 uTableBytes = r.anWords[1];
        GuTexTable table;
        std::memset(&table, 0, sizeof table);
        std::memcpy(&table, r.pData + (r.nData - uTableBytes), uTableBytes);
        TraceRecord levels = r;
        levels.nData = r.nData - uTableBytes;
        const void* pLevels = Scratch(levels, TraceFormat::MaxChainBytes);
        guTexDownloadMipMap(As<GrMipMapId_t>(r, 0), pLevels,
                            uTableBytes ? &table.nccTable : nullptr);
        return;
    }
    case TraceCall::GuTexDownloadMipMapLevel:
    {
        const void* pLevel = Scratch(r, TraceFormat::MaxLevelBytes);
        guTexDownloadMipMapLevel(As<GrMipMapId_t>(r, 0), As<GrLOD_t>(r, 1), &pLevel);
        return;
    }
    case TraceCall::GuTexSource:
        guTexSource(As<GrMipMapId_t>(r, 0));
        return;
    case TraceCall::GuTexMemReset:
        guTexMemReset();
        return;
    default:
        return;
    }
}
