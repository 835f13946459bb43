// GlideTraceRecorder: each recorded call's arguments and the memory the call reads.
#include "GlideTraceRecorder.h"
#include "BoardSelection.h"
#include "GlideContext.h"
#include "GlideMap.h"
#include "TextureLayout.h"
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

GlideTraceRecorder* GlideTraceRecorder::s_pActive = nullptr;

namespace
{
static_assert(sizeof(GrVertex) == TraceFormat::VertexBytes, "a GrVertex is 15 floats");
static_assert(sizeof(GrState) == TraceFormat::StateBytes, "GrState is the published 312 bytes");
static_assert(sizeof(GuNccTable) == TraceFormat::NccTableBytes, "GuNccTable as published");
static_assert(sizeof(GuTexPalette) == TraceFormat::PaletteBytes, "GuTexPalette as published");
static_assert(GR_FOG_TABLE_SIZE == TraceFormat::FogTableBytes, "one byte per fog table entry");

GlideContext& Context()
{
    return GlideContext::Get();
}

// Ends the trace when the process ends normally (ExitProcess flushes it instead).
struct TraceAtExit
{
    ~TraceAtExit() { GlideTraceRecorder::Stop(nullptr); }
} g_TraceAtExit;

bool IsPixelCall(TraceCall eCall)
{
    switch (eCall)
    {
    case TraceCall::BufferClear:
    case TraceCall::BufferSwap:
    case TraceCall::LfbReadRegion:
    case TraceCall::LfbWriteRegion:
    case TraceCall::LfbLock:
    case TraceCall::LfbUnlock:
    case TraceCall::BufferImage:
        return true;
    default:
        return eCall >= TraceCall::DrawPoint && eCall <= TraceCall::DrawPolygonVertexListWithClip;
    }
}

TraceBoard BoardOf(const BoardConfig& board, bool bHasBoard)
{
    if (!bHasBoard)
        return TraceBoard::None;
    switch (board.eKind)
    {
    case BoardKind::VoodooGraphics:
        return TraceBoard::Voodoo;
    case BoardKind::Voodoo2:
        return TraceBoard::Voodoo2;
    case BoardKind::Sst96:
        return TraceBoard::Sst96;
    case BoardKind::At3d:
        return TraceBoard::At3d;
    }
    return TraceBoard::Voodoo;
}

// Bytes per pixel of a grLfbWriteRegion source format, 0 for one the call does not read.
UInt32 LfbPixelBytes(GrLfbSrcFmt_t eFormat)
{
    switch (eFormat)
    {
    case GR_LFB_SRC_FMT_565:
    case GR_LFB_SRC_FMT_555:
    case GR_LFB_SRC_FMT_1555:
    case GR_LFB_SRC_FMT_ZA16:
        return 2;
    case GR_LFB_SRC_FMT_888:
    case GR_LFB_SRC_FMT_8888:
    case GR_LFB_SRC_FMT_565_DEPTH:
    case GR_LFB_SRC_FMT_555_DEPTH:
    case GR_LFB_SRC_FMT_1555_DEPTH:
        return 4;
    default:
        return 0;
    }
}

// A level's size as the application holds it; false for a value Glide does not define.
bool LevelSize(GrLOD_t eLod, GrAspectRatio_t eAspect, GrTextureFormat_t eFormat, UInt32* pnBytes,
               UInt32* pnRowBytes, Int32* pnRows)
{
    Int32 nLod, nAspectLog;
    TexelFormat eTexel;
    if (!GlideMap::Lod(eLod, &nLod) || !GlideMap::Aspect(eAspect, &nAspectLog) ||
        !GlideMap::TextureFormat(eFormat, &eTexel))
        return false;
    *pnBytes = TextureLayout::LevelHostBytes(nLod, nAspectLog, eTexel);
    *pnRows = TextureLayout::LevelHeight(nLod, nAspectLog);
    *pnRowBytes = *pnBytes / UInt32(*pnRows);
    return true;
}

// Host bytes of all levels of a chain, largest to smallest; false for an undefined shape.
bool ChainSize(GrLOD_t eSmall, GrLOD_t eLarge, GrAspectRatio_t eAspect, GrTextureFormat_t eFormat,
               UInt32* pnBytes)
{
    Int32 nSmall, nLarge, nAspectLog;
    TexelFormat eTexel;
    if (!GlideMap::Lod(eSmall, &nSmall) || !GlideMap::Lod(eLarge, &nLarge) || nLarge > nSmall ||
        !GlideMap::Aspect(eAspect, &nAspectLog) || !GlideMap::TextureFormat(eFormat, &eTexel))
        return false;
    *pnBytes = TextureLayout::ChainHostBytes(nSmall, nLarge, nAspectLog, eTexel);
    return true;
}
} // namespace

bool GlideTraceRecorder::Start(const char* pchPath, bool bPixels, std::string* pError)
{
    if (s_pActive)
    {
        *pError = "a trace is already being written";
        return false;
    }
    GlideTraceRecorder* pRecorder = new GlideTraceRecorder;
    if (!pRecorder->m_Writer.Open(pchPath))
    {
        *pError = pRecorder->m_Writer.Error();
        delete pRecorder;
        return false;
    }
    pRecorder->m_bPixels = bPixels;
    s_pActive = pRecorder;
    return true;
}

void GlideTraceRecorder::StartFromEnvironment()
{
    const char* pchPath = std::getenv("GLIDE_SW_TRACE");
    if (s_pActive || !pchPath || !*pchPath)
        return;
    std::string strError;
    if (!Start(pchPath, true, &strError))
        std::fprintf(stderr, "glide: GLIDE_SW_TRACE: %s; no trace is written\n", strError.c_str());
}

bool GlideTraceRecorder::Stop(std::string* pError)
{
    GlideTraceRecorder* pRecorder = s_pActive;
    if (!pRecorder || pRecorder->m_nDepth != 0)
        return pRecorder == nullptr;
    s_pActive = nullptr;
    const bool bOk = pRecorder->m_Writer.Close();
    if (!bOk && pError)
        *pError = pRecorder->m_Writer.Error();
    delete pRecorder;
    return bOk;
}

bool GlideTraceRecorder::Wants(TraceCall eCall) const
{
    return !m_Writer.Failed() && (m_bPixels || !IsPixelCall(eCall));
}

void GlideTraceRecorder::End()
{
    m_Writer.End();
    if (m_Writer.Failed() && !m_bReported)
    {
        m_bReported = true;
        std::fprintf(stderr, "glide: trace: %s; the trace ends here\n", m_Writer.Error().c_str());
    }
}

void GlideTraceRecorder::PutVertex(const GrVertex& vertex)
{
    float afFloats[TraceFormat::VertexFloats];
    std::memcpy(afFloats, &vertex, sizeof afFloats);
    m_Writer.Vertex(afFloats);
}

void GlideTraceRecorder::Put(const GrTexInfo* pInfo)
{
    // The shape only: calls that read texels take them through their own data.
    Put(pInfo ? 1 : 0);
    Put(pInfo ? pInfo->smallLod : 0);
    Put(pInfo ? pInfo->largeLod : 0);
    Put(pInfo ? pInfo->aspectRatio : 0);
    Put(pInfo ? pInfo->format : 0);
}

void GlideTraceRecorder::BeginPixels()
{
    if (m_bPixels)
        return;
    m_bPixels = true;
    if (!Context().IsOpen())
        return;
    // The buffers as the frames before left them: the frames to come may blend with them.
    const GrBuffer_t aeBuffers[] = {GR_BUFFER_FRONTBUFFER, GR_BUFFER_BACKBUFFER,
                                    GR_BUFFER_AUXBUFFER};
    const BufferId aeIds[] = {BufferId::Front, BufferId::Back, BufferId::Aux};
    for (Int32 i = 0; i < 3; ++i)
        WriteBufferImage(aeBuffers[i], aeIds[i]);
}

void GlideTraceRecorder::WriteBufferImage(GrBuffer_t eBuffer, BufferId eId)
{
    FrameBuffer& frameBuffer = Context().GetDevice().GetFrameBuffer();
    const std::uint16_t* pPixels = frameBuffer.GetBuffer(eId);
    if (!pPixels)
        return;
    m_Writer.Begin(TraceCall::BufferImage);
    Put(eBuffer);
    Put(frameBuffer.GetWidth());
    Put(frameBuffer.GetHeight());
    m_Writer.Data();
    m_Writer.Bytes(pPixels, size_t(frameBuffer.GetWidth()) * size_t(frameBuffer.GetHeight()) * 2);
    End();
}

void GlideTraceRecorder::Marker(const char* pchText)
{
    if (!Wants(TraceCall::Marker) || !pchText)
        return;
    const size_t nLength = std::strlen(pchText);
    m_Writer.Begin(TraceCall::Marker);
    m_Writer.Data();
    m_Writer.Bytes(pchText, nLength < 4096 ? nLength : 4096);
    End();
}

void GlideTraceRecorder::GlideInit()
{
    // The board and switches grGlideInit reads, so the replay initialises the same board.
    BoardConfig board;
    const bool bHasBoard = BoardSelection::FromName(std::getenv("GLIDE_SW_BOARD"), &board, true);
    Record(TraceCall::GlideInit, UInt32(BoardOf(board, bHasBoard)),
           std::getenv("FX_GLIDE_IGNORE_REOPEN") ? 1 : 0,
           std::getenv("FX_GLIDE_REPORT_REAL_HW") ? 1 : 0);
}

void GlideTraceRecorder::GlideShutdown()
{
    Record(TraceCall::GlideShutdown);
    m_Writer.Flush();
}

void GlideTraceRecorder::SstWinOpen(bool bWindow, GrScreenResolution_t eResolution,
                                    GrScreenRefresh_t eRefresh, GrColorFormat_t eColorFormat,
                                    GrOriginLocation_t eOrigin, int nColorBuffers, int nAuxBuffers)
{
    Record(TraceCall::SstWinOpen, bWindow ? 1 : 0, eResolution, eRefresh, eColorFormat, eOrigin,
           nColorBuffers, nAuxBuffers);
}

void GlideTraceRecorder::GlideSetState(const GrState* pState)
{
    if (!pState || !Wants(TraceCall::GlideSetState))
        return;
    m_Writer.Begin(TraceCall::GlideSetState);
    m_Writer.Data();
    m_Writer.Bytes(pState, sizeof *pState);
    End();
}

void GlideTraceRecorder::FogTable(const GrFog_t* pTable)
{
    if (!pTable || !Wants(TraceCall::FogTable))
        return;
    m_Writer.Begin(TraceCall::FogTable);
    m_Writer.Data();
    m_Writer.Bytes(pTable, GR_FOG_TABLE_SIZE);
    End();
}

void GlideTraceRecorder::LfbWriteRegion(GrBuffer_t eBuffer, FxU32 x, FxU32 y, GrLfbSrcFmt_t eFormat,
                                        FxU32 nWidth, FxU32 nHeight, FxI32 nStride,
                                        const void* pData)
{
    if (!Wants(TraceCall::LfbWriteRegion))
        return;
    m_Writer.Begin(TraceCall::LfbWriteRegion);
    Put(eBuffer);
    Put(x);
    Put(y);
    Put(eFormat);
    Put(nWidth);
    Put(nHeight);
    m_Writer.Data();
    // The rows are read only where the call reads them: a region inside an existing buffer.
    BufferId eId;
    const UInt32 nPixelBytes = LfbPixelBytes(eFormat);
    if (Context().IsOpen() && GlideMap::Buffer(eBuffer, &eId) && pData && nPixelBytes != 0 &&
        Context().GetDevice().GetFrameBuffer().GetBuffer(eId))
    {
        const FxU32 nBufferWidth = FxU32(Context().GetDevice().GetFrameBuffer().GetWidth());
        const FxU32 nBufferHeight = FxU32(Context().GetDevice().GetFrameBuffer().GetHeight());
        if (x <= nBufferWidth && y <= nBufferHeight && nWidth <= nBufferWidth - x &&
            nHeight <= nBufferHeight - y)
        {
            const Byte* pRow = static_cast<const Byte*>(pData);
            for (FxU32 nRow = 0; nRow < nHeight; ++nRow, pRow += nStride)
                m_Writer.Bytes(pRow, size_t(nWidth) * nPixelBytes);
        }
    }
    End();
}

void GlideTraceRecorder::LfbUnlock(GrLock_t eType, GrBuffer_t eBuffer)
{
    if (!Wants(TraceCall::LfbUnlock))
        return;
    m_Writer.Begin(TraceCall::LfbUnlock);
    Put(eType);
    Put(eBuffer);
    m_Writer.Data(); // none: the pixels follow as buffer images
    End();
    // Recorded once the unlock is done: whatever the program wrote through the lock (in any
    // write mode, through the pipeline or not) is in the buffers now, the locked one and the
    // auxiliary one that depth-carrying modes reach, and the replay puts them back as they are.
    BufferId eId;
    if ((eType & 0x1u) != GR_LFB_WRITE_ONLY || !Context().IsOpen() ||
        !GlideMap::Buffer(eBuffer, &eId))
        return;
    WriteBufferImage(eBuffer, eId);
    if (eId != BufferId::Aux)
        WriteBufferImage(GR_BUFFER_AUXBUFFER, BufferId::Aux);
}

void GlideTraceRecorder::BufferSwap(int nInterval)
{
    Record(TraceCall::BufferSwap, nInterval);
    // Every finished frame reaches the file, whatever ends the program later.
    m_Writer.Flush();
}

void GlideTraceRecorder::Draw(TraceCall eCall, const GrVertex* a, const GrVertex* b,
                              const GrVertex* c)
{
    const TraceCallShape* pShape = TraceFormat::Shape(eCall);
    const Int32 nCount = Int32(pShape->eVertices);
    if (!a || (nCount >= 2 && !b) || (nCount >= 3 && !c) || !Context().IsOpen() || !Wants(eCall))
        return;
    m_Writer.Begin(eCall);
    PutVertex(*a);
    if (nCount >= 2)
        PutVertex(*b);
    if (nCount >= 3)
        PutVertex(*c);
    End();
}

void GlideTraceRecorder::AADrawTriangle(const GrVertex* a, const GrVertex* b, const GrVertex* c,
                                        FxBool bAB, FxBool bBC, FxBool bCA)
{
    if (!a || !b || !c || !Context().IsOpen() || !Wants(TraceCall::AADrawTriangle))
        return;
    m_Writer.Begin(TraceCall::AADrawTriangle);
    Put(bAB);
    Put(bBC);
    Put(bCA);
    PutVertex(*a);
    PutVertex(*b);
    PutVertex(*c);
    End();
}

void GlideTraceRecorder::DrawPolygon(TraceCall eCall, int nCount, const int* pnIndices,
                                     const GrVertex* pVertices)
{
    const bool bIndexed = eCall == TraceCall::DrawPolygon ||
                          eCall == TraceCall::DrawPlanarPolygon ||
                          eCall == TraceCall::AADrawPolygon;
    // Clipped polygons are drawn only with 3 to 64 vertices; the others draw nothing below 3.
    const int nMax =
        eCall == TraceCall::DrawPolygonVertexListWithClip ? 64 : int(TraceFormat::MaxVertices);
    if (!pVertices || (bIndexed && !pnIndices) || nCount < 3 || !Context().IsOpen() ||
        !Wants(eCall))
        return;
    if (nCount > nMax)
    {
        if (eCall != TraceCall::DrawPolygonVertexListWithClip)
            std::fprintf(stderr, "glide: trace: a polygon of %d vertices is not recorded\n",
                         nCount);
        return;
    }
    m_Writer.Begin(eCall);
    m_Writer.VertexCount(UInt32(nCount));
    for (int i = 0; i < nCount; ++i)
        PutVertex(pVertices[bIndexed ? pnIndices[i] : i]);
    End();
}

void GlideTraceRecorder::TexDownloadMipMap(GrChipID_t tmu, FxU32 nAddress, FxU32 nEvenOdd,
                                           const GrTexInfo* pInfo)
{
    if (!Wants(TraceCall::TexDownloadMipMap))
        return;
    m_Writer.Begin(TraceCall::TexDownloadMipMap);
    Put(tmu);
    Put(nAddress);
    Put(nEvenOdd);
    Put(pInfo);
    m_Writer.Data();
    UInt32 nBytes, nParity;
    if (pInfo && pInfo->data && Context().IsOpen() && Context().IsTmu(tmu) &&
        GlideMap::Parity(nEvenOdd, &nParity) &&
        ChainSize(pInfo->smallLod, pInfo->largeLod, pInfo->aspectRatio, pInfo->format, &nBytes))
        m_Writer.Bytes(pInfo->data, nBytes);
    End();
}

void GlideTraceRecorder::TexDownloadMipMapLevelPartial(TraceCall eCall, GrChipID_t tmu,
                                                       FxU32 nAddress, GrLOD_t eLod,
                                                       GrLOD_t eLargeLod, GrAspectRatio_t eAspect,
                                                       GrTextureFormat_t eFormat, FxU32 nEvenOdd,
                                                       const void* pData, int nStart, int nEnd)
{
    if (!Wants(eCall))
        return;
    UInt32 nBytes = 0, nRowBytes = 0;
    Int32 nRows = 0;
    const bool bShape = LevelSize(eLod, eAspect, eFormat, &nBytes, &nRowBytes, &nRows);
    const bool bPartial = eCall == TraceCall::TexDownloadMipMapLevelPartial;
    if (!bPartial)
    {
        nStart = 0;
        nEnd = nRows - 1;
    }
    // The call's own checks: a level of the chain it names, a parity, an aligned address.
    Int32 nLod = 0, nLarge = 0;
    UInt32 nParity = 0;
    const bool bChain = GlideMap::Lod(eLod, &nLod) && GlideMap::Lod(eLargeLod, &nLarge) &&
                        nLod >= nLarge && GlideMap::Parity(nEvenOdd, &nParity) &&
                        (nAddress & 7u) == 0;
    const bool bRead = bShape && bChain && pData && Context().IsOpen() && Context().IsTmu(tmu) &&
                       nStart >= 0 && nStart <= nEnd && nEnd < nRows;
    m_Writer.Begin(eCall);
    Put(tmu);
    Put(nAddress);
    Put(eLod);
    Put(eLargeLod);
    Put(eAspect);
    Put(eFormat);
    Put(nEvenOdd);
    if (bPartial)
    {
        Put(nStart);
        Put(nEnd);
        Put(bRead ? UInt32(nStart) * nRowBytes : 0u);
    }
    m_Writer.Data();
    if (bRead)
        m_Writer.Bytes(static_cast<const Byte*>(pData) + size_t(nStart) * nRowBytes,
                       size_t(nEnd - nStart + 1) * nRowBytes);
    End();
}

void GlideTraceRecorder::TexDownloadTablePartial(TraceCall eCall, GrChipID_t tmu,
                                                 GrTexTable_t eType, const void* pData, int nStart,
                                                 int nEnd)
{
    if (!Wants(eCall))
        return;
    const bool bPartial = eCall == TraceCall::TexDownloadTablePartial;
    const std::uint64_t llAddress = std::uint64_t(reinterpret_cast<std::uintptr_t>(pData));
    m_Writer.Begin(eCall);
    Put(tmu);
    Put(eType);
    // The table's address: a repeated address is not sent again, and the replay must know.
    Put(UInt32(llAddress));
    Put(UInt32(llAddress >> 32));
    if (bPartial)
    {
        Put(nStart);
        Put(nEnd);
    }
    m_Writer.Data();
    if (pData && Context().IsOpen() && Context().IsTmu(tmu))
    {
        if (eType == GR_TEXTABLE_NCC0 || eType == GR_TEXTABLE_NCC1)
            m_Writer.Bytes(pData, sizeof(GuNccTable));
        else if (eType == GR_TEXTABLE_PALETTE && nStart >= 0 && nStart <= nEnd && nEnd <= 255)
            m_Writer.Bytes(static_cast<const GuTexPalette*>(pData)->data + nStart,
                           size_t(nEnd - nStart + 1) * 4);
    }
    End();
}

void GlideTraceRecorder::GuTexDownloadMipMap(GrMipMapId_t id, const void* pSource,
                                             const GuNccTable* pTable)
{
    const GrMipMapInfo* pInfo = Context().GetGu().Info(id);
    UInt32 nBytes;
    if (!pInfo || !pSource || !Context().IsOpen() || !Wants(TraceCall::GuTexDownloadMipMap) ||
        !ChainSize(pInfo->lod_min, pInfo->lod_max, pInfo->aspect_ratio, pInfo->format, &nBytes))
        return;
    // The table is read as an NCC table for the YIQ formats and as a palette for P_8, AP_88.
    UInt32 nTableBytes = 0;
    if (pTable && (pInfo->format == GR_TEXFMT_YIQ_422 || pInfo->format == GR_TEXFMT_AYIQ_8422))
        nTableBytes = sizeof(GuNccTable);
    else if (pTable && (pInfo->format == GR_TEXFMT_P_8 || pInfo->format == GR_TEXFMT_AP_88))
        nTableBytes = sizeof(GuTexPalette);
    m_Writer.Begin(TraceCall::GuTexDownloadMipMap);
    Put(id);
    Put(nTableBytes);
    m_Writer.Data();
    m_Writer.Bytes(pSource, nBytes);
    m_Writer.Bytes(pTable, nTableBytes);
    End();
}

void GlideTraceRecorder::GuTexDownloadMipMapLevel(GrMipMapId_t id, GrLOD_t eLod,
                                                  const void* const* ppSource)
{
    const GrMipMapInfo* pInfo = Context().GetGu().Info(id);
    Int32 nLod, nLarge, nSmall;
    UInt32 nBytes, nRowBytes;
    Int32 nRows;
    if (!pInfo || !ppSource || !*ppSource || !Context().IsOpen() ||
        !Wants(TraceCall::GuTexDownloadMipMapLevel) || !GlideMap::Lod(eLod, &nLod) ||
        !GlideMap::Lod(pInfo->lod_max, &nLarge) || !GlideMap::Lod(pInfo->lod_min, &nSmall) ||
        nLod < nLarge || nLod > nSmall ||
        !LevelSize(eLod, pInfo->aspect_ratio, pInfo->format, &nBytes, &nRowBytes, &nRows))
        return;
    m_Writer.Begin(TraceCall::GuTexDownloadMipMapLevel);
    Put(id);
    Put(eLod);
    m_Writer.Data();
    m_Writer.Bytes(*ppSource, nBytes);
    End();
}
