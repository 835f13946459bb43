// GlideCallPlayer: opening, the call loop, drawing, state, buffers and LFB calls.
#include "GlideCallPlayer.h"
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace
{
const char* const kBoards[] = {"voodoo", "voodoo2", "sst96", "at3d", "none"};
// Bytes of the largest mip-map chain: 256x256 .. 1x1 at two bytes a texel.
const size_t kTexelBytes = 174762;
// A program's buffer for LFB reads and writes is at most this large; larger claims are passed
// with no buffer (the refusal path) rather than allocated.
const std::int64_t kMaxLfbBytes = 16 << 20;
// No screen side is longer (1600x1200 is the largest resolution).
const FxU32 kMaxSide = 2048;

// kTexelBytes of a fixed, busy pattern, made once (harness loops are slow: they are
// instrumented for coverage too).
const std::uint8_t* Pattern()
{
    static const std::vector<std::uint8_t> s_abPattern = []
    {
        std::vector<std::uint8_t> ab(kTexelBytes);
        for (size_t i = 0; i < kTexelBytes; ++i)
            ab[i] = std::uint8_t((std::uint32_t(i) * 2654435761u) >> 24);
        return ab;
    }();
    return s_abPattern.data();
}
} // namespace

const GlideCallPlayer::Handler GlideCallPlayer::s_apHandlers[] = {
    &GlideCallPlayer::CallVertex,
    &GlideCallPlayer::CallVertexPosition,
    &GlideCallPlayer::CallPoint,
    &GlideCallPlayer::CallLine,
    &GlideCallPlayer::CallTriangle,
    &GlideCallPlayer::CallTriangle,
    &GlideCallPlayer::CallPolygon,
    &GlideCallPlayer::CallPolygonList,
    &GlideCallPlayer::CallClippedTriangle,
    &GlideCallPlayer::CallClear,
    &GlideCallPlayer::CallSwap,
    &GlideCallPlayer::CallColorCombine,
    &GlideCallPlayer::CallAlphaCombine,
    &GlideCallPlayer::CallGuCombine,
    &GlideCallPlayer::CallConstantColor,
    &GlideCallPlayer::CallBlend,
    &GlideCallPlayer::CallAlphaTest,
    &GlideCallPlayer::CallChromakey,
    &GlideCallPlayer::CallDepth,
    &GlideCallPlayer::CallFog,
    &GlideCallPlayer::CallFogTable,
    &GlideCallPlayer::CallMisc,
    &GlideCallPlayer::CallClip,
    &GlideCallPlayer::CallRenderBuffer,
    &GlideCallPlayer::CallOrigin,
    &GlideCallPlayer::CallControl,
    &GlideCallPlayer::CallHints,
    &GlideCallPlayer::CallQueries,
    &GlideCallPlayer::CallSaveState,
    &GlideCallPlayer::CallRestoreState,
    &GlideCallPlayer::CallStatePoke,
    &GlideCallPlayer::CallReopen,
    &GlideCallPlayer::CallShutdown,
    &GlideCallPlayer::CallLfbRead,
    &GlideCallPlayer::CallLfbWrite,
    &GlideCallPlayer::CallLfbLock,
    &GlideCallPlayer::CallLfbPoke,
    &GlideCallPlayer::CallLfbUnlock,
    &GlideCallPlayer::CallTexMemory,
    &GlideCallPlayer::CallTexDownload,
    &GlideCallPlayer::CallTexDownloadLevel,
    &GlideCallPlayer::CallTexDownloadPartial,
    &GlideCallPlayer::CallTexSource,
    &GlideCallPlayer::CallTexTable,
    &GlideCallPlayer::CallTexSampling,
    &GlideCallPlayer::CallTexCombine,
    &GlideCallPlayer::CallTexMultibase,
    &GlideCallPlayer::CallTexelPoke,
    &GlideCallPlayer::CallGuAllocate,
    &GlideCallPlayer::CallGuChange,
    &GlideCallPlayer::CallGuDownload,
    &GlideCallPlayer::CallGuSource,
    &GlideCallPlayer::CallGuQuery,
};

GlideCallPlayer::GlideCallPlayer(FuzzInput& input, FrameRecorder& recorder,
                                 const std::string& strPass)
    : m_Input(input), m_Recorder(recorder), m_strPass(strPass)
{
    // Blocks of their exact sizes, so the address sanitizer sees a read past either.
    static const std::unique_ptr<std::uint8_t[]> s_pbTexels(new std::uint8_t[kTexelBytes]);
    static const std::unique_ptr<GuTexTable> s_pTable(new GuTexTable);
    m_pbTexels = s_pbTexels.get();
    m_pTable = s_pTable.get();
    // A fixed, busy texel pattern; the input changes parts of it with CallTexelPoke.
    std::memcpy(m_pbTexels, Pattern(), kTexelBytes);
    std::memset(m_pTable, 0, sizeof(GuTexTable));
    for (GrVertex& vertex : m_aVertices)
        vertex.oow = vertex.tmuvtx[0].oow = vertex.tmuvtx[1].oow = 1.0f;
}

void GlideCallPlayer::Play()
{
    const std::uint8_t nFlags = m_Input.U8();
    // Bit 0: guarded; bits 1-3: the board; bit 4: a second open closes the first.
    m_bGuarded = (nFlags & 1) != 0;
    setenv("GLIDE_SW_BOARD", kBoards[((nFlags >> 1) & 7) % 5], 1);
    if (nFlags & 0x10)
        setenv("FX_GLIDE_IGNORE_REOPEN", "1", 1);
    else
        unsetenv("FX_GLIDE_IGNORE_REOPEN");
    grGlideInit();
    GrHwConfiguration hw;
    grSstQueryHardware(&hw);
    grSstSelect(0);
    OpenBoard();
    constexpr int kHandlers = int(sizeof s_apHandlers / sizeof s_apHandlers[0]);
    // GLIDE_FUZZ_TRACE=1 lists the calls an input makes (to read a finding).
    static const bool s_bTrace = std::getenv("GLIDE_FUZZ_TRACE") != nullptr;
    for (m_nCalls = 0; m_nCalls < kMaxCalls && !m_Input.AtEnd(); ++m_nCalls)
    {
        const int nHandler = m_Input.U8() % kHandlers;
        if (s_bTrace)
            std::fprintf(stderr, "fuzz-glide: call %d: handler %d, %lld pixels so far\n", m_nCalls,
                         nHandler, static_cast<long long>(m_nPixels));
        (this->*s_apHandlers[nHandler])();
    }
    PlantFault();
    FrameCheck("end of input");
    grGlideShutdown();
    ForgetBoardPointers();
}

void GlideCallPlayer::OpenBoard()
{
    // Resolutions and refresh rates include GR_*_NONE and values outside the tables.
    static const std::int32_t anResolutions[] = {0x0, 0x1, 0x2, 0x3, 0x4, 0x5, 0x6, 0x7,  0x8,
                                                 0x9, 0xA, 0xB, 0xC, 0xD, 0xE, 0xF, 0xFF, 0x10};
    const GrScreenResolution_t eResolution =
        m_Input.OneOf(anResolutions, std::int32_t(sizeof anResolutions / sizeof(std::int32_t)));
    const GrScreenRefresh_t eRefresh = m_Input.Enum(9);
    const GrColorFormat_t eFormat = m_Input.Enum(4);
    static const std::int32_t anOrigins[] = {GR_ORIGIN_UPPER_LEFT, GR_ORIGIN_LOWER_LEFT,
                                             GR_ORIGIN_ANY};
    const GrOriginLocation_t eOrigin = m_Input.OneOf(anOrigins, 3);
    const int nBuffers = 2 + m_Input.Enum(2);
    const int nAux = m_Input.Enum(2);
    const bool bOpened =
        grSstWinOpen(0, eResolution, eRefresh, eFormat, eOrigin, nBuffers, nAux) != FXFALSE;
    // A refused second open leaves the first board open: it is guarded afresh all the same.
    AfterOpen(bOpened || grSstScreenWidth() != 0);
}

void GlideCallPlayer::AfterOpen(bool bOpened)
{
    ForgetBoardPointers();
    m_nWidth = bOpened ? grSstScreenWidth() : 0;
    m_nHeight = bOpened ? grSstScreenHeight() : 0;
    m_Guard.Disarm();
    if (bOpened && m_bGuarded)
        m_Guard.Arm();
}

void GlideCallPlayer::ForgetBoardPointers()
{
    // What a program must not use once its board is gone: the LFB pointer, the mip-map
    // identifiers and states saved with the old screen's clip window.
    m_pLockedPixels = nullptr;
    m_anMipMaps.clear();
    m_abStateTaken[0] = m_abStateTaken[1] = false;
}

bool GlideCallPlayer::Charge(std::int64_t nPixels)
{
    if (m_nPixels + nPixels > kMaxPixels)
        return false;
    m_nPixels += nPixels;
    return true;
}

std::int64_t GlideCallPlayer::ScreenArea() const
{
    // A closed board draws nothing; the 640x480 estimate still bounds the attempt.
    return m_nWidth ? std::int64_t(m_nWidth) * m_nHeight : 640 * 480;
}

std::int64_t GlideCallPlayer::VertexArea(const int* pnIndices, int nCount) const
{
    // The bounding box of the vertices on the screen; anything not finite may cover it all.
    float fMinX = 1e9f, fMinY = 1e9f, fMaxX = -1e9f, fMaxY = -1e9f;
    for (int i = 0; i < nCount; ++i)
    {
        const GrVertex& v = m_aVertices[pnIndices[i]];
        if (!std::isfinite(v.x) || !std::isfinite(v.y))
            return ScreenArea();
        fMinX = std::min(fMinX, v.x);
        fMaxX = std::max(fMaxX, v.x);
        fMinY = std::min(fMinY, v.y);
        fMaxY = std::max(fMaxY, v.y);
    }
    const float fWidth = float(m_nWidth ? m_nWidth : 640);
    const float fHeight = float(m_nHeight ? m_nHeight : 480);
    const float fSpanX = std::min(fMaxX, fWidth) - std::max(fMinX, 0.0f);
    const float fSpanY = std::min(fMaxY, fHeight) - std::max(fMinY, 0.0f);
    if (fSpanX < 0.0f || fSpanY < 0.0f)
        return 1;
    return (std::int64_t(fSpanX) + 2) * (std::int64_t(fSpanY) + 2);
}

void GlideCallPlayer::PlantFault()
{
    if (m_ePlant == Plant::None || m_nWidth == 0)
        return;
    FxU16 nPixel = 0x1234;
    const bool bRing = m_ePlant == Plant::Ring;
    grLfbWriteRegion(GR_BUFFER_BACKBUFFER, bRing ? 0 : m_nWidth / 2, bRing ? 0 : m_nHeight / 2,
                     GR_LFB_SRC_FMT_565, 1, 1, 2, &nPixel);
}

void GlideCallPlayer::FrameCheck(const char* pchWhen)
{
    m_Guard.Check(pchWhen, m_strPass);
    m_Recorder.Capture(pchWhen);
}

// ---------------------------------------------------------------- vertices and drawing

void GlideCallPlayer::CallVertex()
{
    GrVertex& v = m_aVertices[VertexIndex()];
    const float fWidth = float(m_nWidth ? m_nWidth : 640);
    const float fHeight = float(m_nHeight ? m_nHeight : 480);
    v.x = m_Input.Float(fWidth * 0.75f) + fWidth * 0.5f;
    v.y = m_Input.Float(fHeight * 0.75f) + fHeight * 0.5f;
    v.z = m_Input.Float(1.0f);
    v.r = m_Input.Float(160.0f) + 128.0f;
    v.g = m_Input.Float(160.0f) + 128.0f;
    v.b = m_Input.Float(160.0f) + 128.0f;
    v.a = m_Input.Float(160.0f) + 128.0f;
    v.ooz = m_Input.Float(40000.0f) + 32768.0f;
    v.oow = m_Input.Float(1.0f) + 1.0f;
    for (GrTmuVertex& tmu : v.tmuvtx)
    {
        tmu.sow = m_Input.Float(300.0f) * v.oow;
        tmu.tow = m_Input.Float(300.0f) * v.oow;
        tmu.oow = m_Input.Float(1.0f) + 1.0f;
    }
}

void GlideCallPlayer::CallVertexPosition()
{
    // Moving one vertex is the cheap way to a new triangle.
    GrVertex& v = m_aVertices[VertexIndex()];
    const float fWidth = float(m_nWidth ? m_nWidth : 640);
    const float fHeight = float(m_nHeight ? m_nHeight : 480);
    v.x = m_Input.Float(fWidth * 0.75f) + fWidth * 0.5f;
    v.y = m_Input.Float(fHeight * 0.75f) + fHeight * 0.5f;
}

void GlideCallPlayer::CallPoint()
{
    const int i = VertexIndex();
    if (!Charge(4))
        return;
    if (m_Input.Bool())
        grAADrawPoint(&m_aVertices[i]);
    else
        grDrawPoint(&m_aVertices[i]);
}

void GlideCallPlayer::CallLine()
{
    const int an[2] = {VertexIndex(), VertexIndex()};
    const bool bAntialiased = m_Input.Bool();
    if (!Charge(VertexArea(an, 2)))
        return;
    if (bAntialiased)
        grAADrawLine(&m_aVertices[an[0]], &m_aVertices[an[1]]);
    else
        grDrawLine(&m_aVertices[an[0]], &m_aVertices[an[1]]);
}

void GlideCallPlayer::CallTriangle()
{
    const int an[3] = {VertexIndex(), VertexIndex(), VertexIndex()};
    const std::uint8_t nKind = m_Input.U8();
    if (!Charge(VertexArea(an, 3)))
        return;
    const GrVertex* a = &m_aVertices[an[0]];
    const GrVertex* b = &m_aVertices[an[1]];
    const GrVertex* c = &m_aVertices[an[2]];
    if (nKind & 1)
        grAADrawTriangle(a, b, c, (nKind >> 1) & 1, (nKind >> 2) & 1, (nKind >> 3) & 1);
    else
        grDrawTriangle(a, b, c);
}

void GlideCallPlayer::CallPolygon()
{
    // Indices stay inside the program's vertex array; the count may be anything up to it.
    const int nCount = m_Input.Count(kVertices);
    int anIndices[kVertices];
    for (int& n : anIndices)
        n = VertexIndex();
    const std::uint8_t nKind = m_Input.U8() % 3;
    const int nUsed = std::max(0, std::min(nCount, int(kVertices)));
    if (!Charge(VertexArea(anIndices, nUsed)))
        return;
    const int nPassed = nCount > kVertices ? kVertices : nCount;
    if (nKind == 0)
        grDrawPolygon(nPassed, anIndices, m_aVertices);
    else if (nKind == 1)
        grDrawPlanarPolygon(nPassed, anIndices, m_aVertices);
    else
        grAADrawPolygon(nPassed, anIndices, m_aVertices);
}

void GlideCallPlayer::CallPolygonList()
{
    const int nCount = m_Input.Count(kVertices);
    const std::uint8_t nKind = m_Input.U8() % 4;
    const int anAll[kVertices] = {0, 1, 2, 3, 4, 5, 6, 7};
    const int nUsed = std::max(0, std::min(nCount, int(kVertices)));
    if (!Charge(VertexArea(anAll, nUsed)))
        return;
    const int nPassed = nCount > kVertices ? kVertices : nCount;
    if (nKind == 0)
        grDrawPolygonVertexList(nPassed, m_aVertices);
    else if (nKind == 1)
        grDrawPlanarPolygonVertexList(nPassed, m_aVertices);
    else if (nKind == 2)
        grAADrawPolygonVertexList(nPassed, m_aVertices);
    else
        guDrawPolygonVertexListWithClip(nPassed, m_aVertices);
}

void GlideCallPlayer::CallClippedTriangle()
{
    const int an[3] = {VertexIndex(), VertexIndex(), VertexIndex()};
    const bool bAntialiased = m_Input.Bool();
    if (!Charge(VertexArea(an, 3)))
        return;
    if (bAntialiased)
        guAADrawTriangleWithClip(&m_aVertices[an[0]], &m_aVertices[an[1]], &m_aVertices[an[2]]);
    else
        guDrawTriangleWithClip(&m_aVertices[an[0]], &m_aVertices[an[1]], &m_aVertices[an[2]]);
}

void GlideCallPlayer::CallClear()
{
    const GrColor_t nColor = m_Input.U32();
    const GrAlpha_t nAlpha = m_Input.U8();
    const FxU16 nDepth = m_Input.U16();
    if (Charge(ScreenArea()))
        grBufferClear(nColor, nAlpha, nDepth);
}

void GlideCallPlayer::CallSwap()
{
    // Pacing is off (FX_GLIDE_SWAPINTERVAL=0), so any interval returns at once.
    const int nInterval = m_Input.Enum(4);
    if (m_nSwaps >= kMaxSwaps)
        return;
    ++m_nSwaps;
    grBufferSwap(nInterval);
    FrameCheck("after a swap");
}

// ---------------------------------------------------------------- pixel pipeline state

void GlideCallPlayer::CallColorCombine()
{
    const GrCombineFunction_t eFunction = m_Input.Enum(0x11);
    const GrCombineFactor_t eFactor = m_Input.Enum(0xE);
    const GrCombineLocal_t eLocal = m_Input.Enum(3);
    const GrCombineOther_t eOther = m_Input.Enum(3);
    grColorCombine(eFunction, eFactor, eLocal, eOther, m_Input.Bool());
}

void GlideCallPlayer::CallAlphaCombine()
{
    const GrCombineFunction_t eFunction = m_Input.Enum(0x11);
    const GrCombineFactor_t eFactor = m_Input.Enum(0xE);
    const GrCombineLocal_t eLocal = m_Input.Enum(3);
    const GrCombineOther_t eOther = m_Input.Enum(3);
    grAlphaCombine(eFunction, eFactor, eLocal, eOther, m_Input.Bool());
}

void GlideCallPlayer::CallGuCombine()
{
    switch (m_Input.U8() % 3)
    {
    case 0:
        guColorCombineFunction(m_Input.Enum(0x11));
        break;
    case 1:
        guAlphaSource(m_Input.Enum(4));
        break;
    default:
        grAlphaControlsITRGBLighting(m_Input.Bool());
        break;
    }
}

void GlideCallPlayer::CallConstantColor()
{
    if (m_Input.Bool())
    {
        grConstantColorValue(m_Input.U32());
        return;
    }
    const float a = m_Input.Float(160.0f) + 128.0f;
    const float r = m_Input.Float(160.0f) + 128.0f;
    const float g = m_Input.Float(160.0f) + 128.0f;
    grConstantColorValue4(a, r, g, m_Input.Float(160.0f) + 128.0f);
}

void GlideCallPlayer::CallBlend()
{
    const GrAlphaBlendFnc_t eRgbSrc = m_Input.Enum(16);
    const GrAlphaBlendFnc_t eRgbDst = m_Input.Enum(16);
    const GrAlphaBlendFnc_t eAlphaSrc = m_Input.Enum(16);
    grAlphaBlendFunction(eRgbSrc, eRgbDst, eAlphaSrc, m_Input.Enum(16));
}

void GlideCallPlayer::CallAlphaTest()
{
    if (m_Input.Bool())
        grAlphaTestFunction(m_Input.Enum(8));
    else
        grAlphaTestReferenceValue(m_Input.U8());
}

void GlideCallPlayer::CallChromakey()
{
    if (m_Input.Bool())
        grChromakeyMode(m_Input.Enum(2));
    else
        grChromakeyValue(m_Input.U32());
}

void GlideCallPlayer::CallDepth()
{
    switch (m_Input.U8() % 4)
    {
    case 0:
        grDepthBufferMode(m_Input.Enum(5));
        break;
    case 1:
        grDepthBufferFunction(m_Input.Enum(8));
        break;
    case 2:
        grDepthMask(m_Input.Bool());
        break;
    default:
        grDepthBiasLevel(FxI16(m_Input.U16()));
        break;
    }
}

void GlideCallPlayer::CallFog()
{
    static const std::int32_t anModes[] = {
        GR_FOG_DISABLE,
        GR_FOG_WITH_ITERATED_ALPHA,
        GR_FOG_WITH_TABLE,
        GR_FOG_WITH_ITERATED_Z,
        GR_FOG_WITH_TABLE | GR_FOG_MULT2,
        GR_FOG_WITH_TABLE | GR_FOG_ADD2,
        GR_FOG_WITH_ITERATED_ALPHA | GR_FOG_MULT2 | GR_FOG_ADD2,
        4,
    };
    if (m_Input.Bool())
        grFogMode(m_Input.OneOf(anModes, 8));
    else
        grFogColorValue(m_Input.U32());
}

void GlideCallPlayer::CallFogTable()
{
    GrFog_t anTable[GR_FOG_TABLE_SIZE];
    switch (m_Input.U8() % 4)
    {
    case 0:
        for (GrFog_t& n : anTable)
            n = m_Input.U8();
        break;
    case 1:
        guFogGenerateExp(anTable, m_Input.Float(0.01f));
        break;
    case 2:
        guFogGenerateExp2(anTable, m_Input.Float(0.01f));
        break;
    default:
    {
        const float fNear = m_Input.Float(100.0f) + 50.0f;
        guFogGenerateLinear(anTable, fNear, m_Input.Float(5000.0f) + 2500.0f);
        break;
    }
    }
    grFogTable(anTable);
    (void)guFogTableIndexToW(m_Input.Count(GR_FOG_TABLE_SIZE));
}

void GlideCallPlayer::CallMisc()
{
    switch (m_Input.U8() % 6)
    {
    case 0:
        grCullMode(m_Input.Enum(3));
        break;
    case 1:
        grDitherMode(m_Input.Enum(3));
        break;
    case 2:
    {
        const bool bRgb = m_Input.Bool();
        grColorMask(bRgb, m_Input.Bool());
        break;
    }
    case 3:
        grGammaCorrectionValue(m_Input.Float(2.0f) + 2.0f);
        break;
    case 4:
        grDisableAllEffects();
        break;
    default:
        grLfbConstantAlpha(m_Input.U8());
        grLfbConstantDepth(m_Input.U16());
        grLfbWriteColorFormat(m_Input.Enum(4));
        grLfbWriteColorSwizzle(m_Input.Bool(), m_Input.Bool());
        break;
    }
}

void GlideCallPlayer::CallClip()
{
    // Mostly on or near the screen, sometimes anything at all.
    const FxU32 nRange = (m_nWidth ? m_nWidth : 640) + 64;
    FxU32 an[4];
    for (FxU32& n : an)
        n = m_Input.U8() < 0xF0 ? FxU32(m_Input.U16() % nRange) : m_Input.U32();
    if (m_Guard.IsArmed())
        m_Guard.KeepInside(&an[0], &an[1], &an[2], &an[3]);
    grClipWindow(an[0], an[1], an[2], an[3]);
}

void GlideCallPlayer::CallRenderBuffer()
{
    grRenderBuffer(m_Input.Enum(6));
}

void GlideCallPlayer::CallOrigin()
{
    static const std::int32_t anOrigins[] = {GR_ORIGIN_UPPER_LEFT, GR_ORIGIN_LOWER_LEFT,
                                             GR_ORIGIN_ANY};
    grSstOrigin(m_Input.OneOf(anOrigins, 3));
}

void GlideCallPlayer::CallControl()
{
    if (m_Input.Bool())
        grSstControl(FxU32(m_Input.Enum(5)));
    else
        grSstControlMode(GrControl_t(m_Input.Enum(5)));
}

void GlideCallPlayer::CallHints()
{
    const GrHint_t eHint = GrHint_t(m_Input.Enum(4));
    grHints(eHint, m_Input.U8() < 0xE0 ? FxU32(m_Input.U8() & 0x7F) : m_Input.U32());
}

void GlideCallPlayer::CallQueries()
{
    // Every query writes only into what it is given.
    GrHwConfiguration hw;
    GrSstPerfStats_t stats;
    FxU32 nProcessed = 0, nDrawn = 0;
    char achVersion[80];
    switch (m_Input.U8() % 8)
    {
    case 0:
        grSstQueryHardware(&hw);
        grSstQueryBoards(&hw);
        break;
    case 1:
        grSstPerfStats(&stats);
        grSstResetPerfStats();
        break;
    case 2:
        grTriStats(&nProcessed, &nDrawn);
        grResetTriStats();
        break;
    case 3:
        (void)grSstStatus();
        (void)grSstIsBusy();
        grSstIdle();
        (void)grSstVideoLine();
        (void)grSstVRetraceOn();
        break;
    case 4:
        (void)grBufferNumPending();
        (void)grCheckForRoom(m_Input.I32());
        grGlideGetVersion(achVersion);
        break;
    case 5:
        grSstSelect(m_Input.Enum(2));
        break;
    case 6:
        grGlideShamelessPlug(m_Input.Bool());
        grSplash(0.0f, 0.0f, 64.0f, 64.0f, m_Input.U32());
        break;
    default:
    {
        (void)guEndianSwapBytes(m_Input.U16());
        (void)guEndianSwapWords(m_Input.U32());
        // What the software board does not provide: each must return without effect.
        std::uint16_t anSource[16] = {}, anEncoded[64] = {};
        (void)guEncodeRLE16(anEncoded, anSource, 4, 4);
        guMovieSetName("fuzz");
        guMovieStart();
        guMovieStop();
        (void)guTexCreateColorMipMap();
        break;
    }
    }
}

void GlideCallPlayer::CallSaveState()
{
    const int nSlot = m_Input.U8() & 1;
    grGlideGetState(&m_aStates[nSlot]);
    m_abStateTaken[nSlot] = true;
}

void GlideCallPlayer::CallRestoreState()
{
    // A guarded input restores only what it saved on this board; otherwise any bytes go.
    const int nSlot = m_Input.U8() & 1;
    if (m_Guard.IsArmed() && !m_abStateTaken[nSlot])
        return;
    grGlideSetState(&m_aStates[nSlot]);
}

void GlideCallPlayer::CallStatePoke()
{
    // A saved state changed by the program: grGlideSetState must not trust it.
    const int nSlot = m_Input.U8() & 1;
    const size_t nAt = m_Input.U16() % sizeof(GrState);
    m_aStates[nSlot].pad[nAt] = char(m_Input.U8());
    m_abStateTaken[nSlot] = false;
}

void GlideCallPlayer::CallReopen()
{
    FrameCheck("before a close or reopen");
    switch (m_Input.U8() % 4)
    {
    case 0:
        grSstWinClose();
        AfterOpen(false);
        break;
    case 1:
        grGlideInit(); // a second init changes nothing
        break;
    case 2:
        grSstWinClose();
        OpenBoard();
        break;
    default:
        // A second open without a close is refused while the first stays open.
        OpenBoard();
        break;
    }
}

void GlideCallPlayer::CallShutdown()
{
    // Everything after it runs on a shut-down Glide, as a careless program would.
    FrameCheck("before a shutdown");
    grGlideShutdown();
    AfterOpen(false);
}

// ---------------------------------------------------------------- linear frame buffer

void GlideCallPlayer::CallLfbRead()
{
    const GrBuffer_t eBuffer = m_Input.Enum(6);
    const FxU32 nRange = (m_nWidth ? m_nWidth : 640) + 8;
    const FxU32 nX = FxU32(m_Input.Count(int(nRange)));
    const FxU32 nY = FxU32(m_Input.Count(int(nRange)));
    const FxU32 nWidth = FxU32(m_Input.Count(int(nRange)));
    const FxU32 nHeight = FxU32(m_Input.Count(int(nRange)));
    const FxU32 nStride = m_Input.Bool() ? nWidth * 2 + m_Input.U8() : m_Input.U32();
    const bool bNull = m_Input.U8() >= 0xF0;
    // The program's buffer holds what it claims: (height - 1) strides and one row. A region
    // larger than any screen gets a small buffer: it must be refused before anything is written.
    const bool bHuge = nWidth > kMaxSide || nHeight > kMaxSide;
    const std::int64_t nBytes =
        bHuge ? 64
              : std::max<std::int64_t>(64, std::int64_t(nHeight ? nHeight - 1 : 0) * nStride +
                                               2 * std::int64_t(nWidth));
    if (nBytes > kMaxLfbBytes || !Charge(bHuge ? 1 : std::int64_t(nWidth) * nHeight / 4 + 1))
        return;
    std::vector<std::uint8_t> buffer(static_cast<size_t>(nBytes));
    grLfbReadRegion(eBuffer, nX, nY, nWidth, nHeight, nStride, bNull ? nullptr : buffer.data());
}

void GlideCallPlayer::CallLfbWrite()
{
    static const std::int32_t anFormats[] = {0x0, 0x1, 0x2, 0x3, 0x4, 0x5,
                                             0xC, 0xD, 0xE, 0xF, 0x80};
    const GrBuffer_t eBuffer = m_Input.Enum(6);
    const GrLfbSrcFmt_t eFormat = GrLfbSrcFmt_t(m_Input.OneOf(anFormats, 11));
    const FxU32 nRange = (m_nWidth ? m_nWidth : 640) + 8;
    FxU32 nX = FxU32(m_Input.Count(int(nRange)));
    FxU32 nY = FxU32(m_Input.Count(int(nRange)));
    FxU32 nWidth = FxU32(m_Input.Count(int(nRange)));
    FxU32 nHeight = FxU32(m_Input.Count(int(nRange)));
    const std::int32_t nSlack = std::int32_t(m_Input.U8()) - 128;
    const std::uint16_t nSeed = m_Input.U16();
    if (m_Guard.IsArmed() && !m_Guard.CutToInside(&nX, &nY, &nWidth, &nHeight))
        return;
    if (nWidth > kMaxSide || nHeight > kMaxSide)
    {
        // Larger than any screen: refused before a byte of the (small) source is read.
        std::uint8_t abSmall[64] = {};
        grLfbWriteRegion(eBuffer, nX, nY, eFormat, nWidth, nHeight, 8, abSmall);
        return;
    }
    // Four bytes a pixel covers every source format; the stride may be short, long or negative.
    const std::int64_t nRow = 4 * std::int64_t(nWidth);
    const std::int64_t nStride = nRow + nSlack * 2 - (nSeed & 1 ? 2 * nRow : 0);
    const std::int64_t nBytes =
        nHeight == 0 ? nRow : std::int64_t(nHeight - 1) * std::llabs(nStride) + nRow;
    if (nBytes > kMaxLfbBytes || nStride != std::int64_t(std::int32_t(nStride)) ||
        !Charge(std::int64_t(nWidth) * nHeight + 1))
        return;
    std::vector<std::uint8_t> source(size_t(nBytes) + 1);
    for (size_t nAt = 0; nAt < source.size(); nAt += kTexelBytes / 2)
        std::memcpy(source.data() + nAt, Pattern() + (nSeed % 4096),
                    std::min(kTexelBytes / 2, source.size() - nAt));
    // With a negative stride the program passes its last row, and rows go upward from there.
    std::uint8_t* pStart = nStride < 0 && nHeight > 0
                               ? source.data() + (nHeight - 1) * std::llabs(nStride)
                               : source.data();
    grLfbWriteRegion(eBuffer, nX, nY, eFormat, nWidth, nHeight, std::int32_t(nStride), pStart);
}

void GlideCallPlayer::CallLfbLock()
{
    static const std::int32_t anTypes[] = {GR_LFB_READ_ONLY, GR_LFB_WRITE_ONLY,
                                           GR_LFB_READ_ONLY | GR_LFB_NOIDLE,
                                           GR_LFB_WRITE_ONLY | GR_LFB_NOIDLE};
    static const std::int32_t anOrigins[] = {GR_ORIGIN_UPPER_LEFT, GR_ORIGIN_LOWER_LEFT,
                                             GR_ORIGIN_ANY};
    const GrLock_t eType = GrLock_t(m_Input.OneOf(anTypes, 4));
    const GrBuffer_t eBuffer = m_Input.Enum(6);
    const GrLfbWriteMode_t eMode = m_Input.U8() < 0x20 ? GR_LFBWRITEMODE_ANY : m_Input.Enum(16);
    const GrOriginLocation_t eOrigin = m_Input.OneOf(anOrigins, 3);
    const FxBool bPipeline = m_Input.Bool();
    GrLfbInfo_t info;
    std::memset(&info, 0, sizeof info);
    info.size = m_Input.U8() < 0xF0 ? int(sizeof info) : int(m_Input.U8());
    if (grLfbLock(eType, eBuffer, eMode, eOrigin, bPipeline, &info) && info.lfbPtr &&
        (eType & 1) == GR_LFB_WRITE_ONLY)
    {
        m_pLockedPixels = static_cast<std::uint16_t*>(info.lfbPtr);
        m_nLockedStride = info.strideInBytes;
    }
    else if (info.lfbPtr && m_nHeight)
    {
        // A read lock: the program reads its rows.
        const std::uint16_t* pPixels = static_cast<const std::uint16_t*>(info.lfbPtr);
        volatile std::uint16_t nSum = 0;
        for (FxU32 y = 0; y < m_nHeight; y += 7)
            nSum = std::uint16_t(nSum + pPixels[y * (info.strideInBytes / 2) + m_nWidth - 1]);
    }
}

void GlideCallPlayer::CallLfbPoke()
{
    // Writes through the locked pointer: within the rows and stride the lock reported.
    FxU32 nX = FxU32(m_Input.U16()), nY = FxU32(m_Input.U16());
    FxU32 nCount = m_Input.U8();
    const std::uint16_t nValue = m_Input.U16();
    if (!m_pLockedPixels || m_nWidth == 0)
        return;
    nX %= m_nWidth;
    nY %= m_nHeight;
    nCount = std::min(nCount, m_nWidth - nX);
    for (FxU32 i = 0; i < nCount; ++i)
        if (!m_Guard.IsArmed() || m_Guard.IsInside(nX + i, nY))
            m_pLockedPixels[nY * (m_nLockedStride / 2) + nX + i] = nValue;
}

void GlideCallPlayer::CallLfbUnlock()
{
    const GrLock_t eType = GrLock_t(m_Input.U8() & 0x11);
    if (grLfbUnlock(eType, m_Input.Enum(6)))
        m_pLockedPixels = nullptr;
}
