// GlideContext: initialisation, board open and close, state reset, vertex conversion.
#include "GlideContext.h"
#include "BoardSelection.h"
#include "GlideMap.h"
#include <cerrno>
#include <cstdio>
#include <cstdlib>

GlideContext& GlideContext::Get()
{
    static GlideContext context;
    return context;
}

void GlideContext::ReadEnvironment()
{
    m_bHasBoard = BoardSelection::FromName(std::getenv("GLIDE_SW_BOARD"), &m_Board);
    m_bReportRealHardware = std::getenv("FX_GLIDE_REPORT_REAL_HW") != nullptr;
    m_bIgnoreReopen = std::getenv("FX_GLIDE_IGNORE_REOPEN") != nullptr;
    m_nSwapOverride = -1;
    if (const char* pchInterval = std::getenv("FX_GLIDE_SWAPINTERVAL"))
    {
        char* pchEnd = nullptr;
        errno = 0;
        const long nValue = std::strtol(pchInterval, &pchEnd, 10);
        if (pchEnd == pchInterval || *pchEnd != '\0' || errno != 0)
            std::fprintf(stderr, "glide: FX_GLIDE_SWAPINTERVAL=%s is not a number; ignored\n",
                         pchInterval);
        else
            m_nSwapOverride = nValue < 0 ? 0 : (nValue > 255 ? 255 : Int32(nValue));
    }
}

void GlideContext::Init()
{
    if (m_bInitialized)
        return;
    ReadEnvironment();
    m_bInitialized = true;
    if (!m_bHasBoard)
    {
        // Without a board Glide raises a fatal error through the error callback; this Glide
        // reports it and carries on, so grSstQueryHardware can answer FXFALSE.
        const char* pchMessage = "grGlideInit: no 3Dfx board found";
        if (m_pfnError)
            m_pfnError(pchMessage, FXTRUE);
        else
            std::fprintf(stderr, "glide: %s (GLIDE_SW_BOARD=none)\n", pchMessage);
    }
}

void GlideContext::Shutdown()
{
    Close();
    m_Gu.Reset();
    m_bInitialized = false;
    m_bHasBoard = false;
}

bool GlideContext::Open(HWND hWnd, GrScreenResolution_t eResolution, GrScreenRefresh_t eRefresh,
                        GrColorFormat_t eColorFormat, GrOriginLocation_t eOrigin, int nColorBuffers,
                        int nAuxBuffers)
{
    if (!HasBoard())
        return false;
    if (IsOpen())
    {
        if (!m_bIgnoreReopen)
            return false;
        Close();
    }
    if (nColorBuffers < 2 || nColorBuffers > 3 || nAuxBuffers < 0 || nAuxBuffers > 1)
        return false;
    if (eColorFormat < GR_COLORFORMAT_ARGB || eColorFormat > GR_COLORFORMAT_BGRA)
        return false;
    if (eOrigin != GR_ORIGIN_UPPER_LEFT && eOrigin != GR_ORIGIN_LOWER_LEFT)
        return false;

    Int32 nWidth = 0, nHeight = 0;
    const bool bWindowed = m_Board.eKind == BoardKind::Sst96 || m_Board.eKind == BoardKind::At3d;
    if (eResolution == GR_RESOLUTION_NONE && bWindowed)
    {
        // A windowed board without a resolution renders at the window's size.
        RECT client;
        HWND hTarget = hWnd ? hWnd : GetActiveWindow();
        if (!hTarget || !GetClientRect(hTarget, &client))
            return false;
        nWidth = Int32(client.right - client.left);
        nHeight = Int32(client.bottom - client.top);
    }
    else if (!GlideMap::Resolution(eResolution, &nWidth, &nHeight))
        return false;
    switch (m_Board.eKind)
    {
    case BoardKind::VoodooGraphics:
        // 400x300 lies above GR_RESOLUTION_MAX and fails the range check.
        if (eResolution > GR_RESOLUTION_MAX)
            return false;
        break;
    case BoardKind::Voodoo2:
        // The Voodoo2 driver refuses the small modes and 400x300.
        if (eResolution == GR_RESOLUTION_320x200 || eResolution == GR_RESOLUTION_320x240 ||
            eResolution == GR_RESOLUTION_400x256 || eResolution == GR_RESOLUTION_512x256 ||
            eResolution == GR_RESOLUTION_400x300)
            return false;
        break;
    case BoardKind::Sst96:
    case BoardKind::At3d:
        break;
    }
    if (!m_Device.Open(m_Board, nWidth, nHeight, nColorBuffers, nAuxBuffers, hWnd,
                       GlideMap::RefreshHz(eRefresh)))
        return false;
    m_eColorFormat = eColorFormat;
    m_nScreenWidth = nWidth;
    m_nScreenHeight = nHeight;
    ResetState();
    grSstOrigin(eOrigin);
    return true;
}

void GlideContext::Close()
{
    // The buffers behind every lock go away with the board; nothing is written back.
    for (auto& aLocks : m_aLfbLocks)
        for (LfbLock& lock : aLocks)
            lock.Discard();
    m_Device.Close();
    m_Gu.Reset();
    m_nScreenWidth = m_nScreenHeight = 0;
    for (auto& apTables : m_aapLastNcc)
        apTables[0] = apTables[1] = nullptr;
}

void GlideContext::ResetState()
{
    // Every state grSstWinOpen resets, to its documented value.
    grAlphaBlendFunction(GR_BLEND_ONE, GR_BLEND_ZERO, GR_BLEND_ONE, GR_BLEND_ZERO);
    grAlphaTestFunction(GR_CMP_ALWAYS);
    grAlphaTestReferenceValue(0);
    grChromakeyMode(GR_CHROMAKEY_DISABLE);
    grChromakeyValue(0);
    grConstantColorValue(0xFFFFFFFFu);
    grConstantColorValue4(0.0f, 0.0f, 0.0f, 0.0f);
    grClipWindow(0, 0, FxU32(m_nScreenWidth), FxU32(m_nScreenHeight));
    grColorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE,
                   GR_COMBINE_LOCAL_ITERATED, GR_COMBINE_OTHER_ITERATED, FXFALSE);
    grAlphaCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE, GR_COMBINE_LOCAL_NONE,
                   GR_COMBINE_OTHER_CONSTANT, FXFALSE);
    grAlphaControlsITRGBLighting(FXFALSE);
    grColorMask(FXTRUE, FXFALSE);
    grCullMode(GR_CULL_DISABLE);
    grDepthBufferMode(GR_DEPTHBUFFER_DISABLE);
    grDepthBufferFunction(GR_CMP_LESS);
    grDepthMask(FXFALSE);
    grDepthBiasLevel(0);
    grDitherMode(GR_DITHER_4x4);
    grFogMode(GR_FOG_DISABLE);
    grFogColorValue(0);
    // Gamma 1.0, the reference manual's default (the drivers used 1.3 or 1.7; docs/fidelity.md).
    grGammaCorrectionValue(1.0f);
    m_Gu.Reset();
    for (GrChipID_t tmu = 0; tmu < GetTmuCount(); ++tmu)
    {
        GetState().aTmu[tmu] = TmuState();
        grTexClampMode(tmu, GR_TEXTURECLAMP_CLAMP, GR_TEXTURECLAMP_CLAMP);
        grTexFilterMode(tmu, GR_TEXTUREFILTER_POINT_SAMPLED, GR_TEXTUREFILTER_POINT_SAMPLED);
        grTexLodBiasValue(tmu, 0.0f);
        grTexMipMapMode(tmu, GR_MIPMAP_DISABLE, FXFALSE);
        grTexDetailControl(tmu, 0, 1, 1.0f);
        grTexCombine(tmu, GR_COMBINE_FUNCTION_ZERO, GR_COMBINE_FACTOR_NONE,
                     GR_COMBINE_FUNCTION_ZERO, GR_COMBINE_FACTOR_NONE, FXFALSE, FXFALSE);
        grTexNCCTable(tmu, GR_NCCTABLE_NCC0);
    }
    m_nLfbConstantAlpha = 0xFF;
    m_nLfbConstantDepth = 0;
    m_eLfbColorFormat = m_eColorFormat;
    m_bLfbSwizzleBytes = m_bLfbSwapWords = false;
    m_nStwHint = 0;
    GetState().bAllowMipMapDither = false;
    m_Device.SetRenderBuffer(BufferId::Back);
}

void GlideContext::Error(const char* pchMessage)
{
    if (m_pfnError)
        m_pfnError(pchMessage, FXFALSE);
}

void GlideContext::ToDeviceVertex(const GrVertex& vertex, DeviceVertex* pOut) const
{
    pOut->x = vertex.x;
    pOut->y = vertex.y;
    pOut->r = vertex.r;
    pOut->g = vertex.g;
    pOut->b = vertex.b;
    pOut->a = vertex.a;
    pOut->ooz = vertex.ooz;
    pOut->oow = vertex.oow;
    // By default every TMU reads tmuvtx[0]'s s and t and the vertex's 1/w; the STW hint gives a
    // TMU its own coordinates.
    static const FxU32 anOwnST[2] = {GR_STWHINT_ST_DIFF_TMU0, GR_STWHINT_ST_DIFF_TMU1};
    static const FxU32 anOwnW[2] = {GR_STWHINT_W_DIFF_TMU0, GR_STWHINT_W_DIFF_TMU1};
    for (Int32 t = 0; t < GlideConfig::MaxTmus; ++t)
    {
        const GrTmuVertex& own = vertex.tmuvtx[t];
        const GrTmuVertex& st = (m_nStwHint & anOwnST[t]) ? own : vertex.tmuvtx[0];
        pOut->asow[t] = st.sow;
        pOut->atow[t] = st.tow;
        pOut->aoow[t] = (m_nStwHint & anOwnW[t]) ? own.oow : vertex.oow;
    }
}

void GlideContext::NoteLfbLocks()
{
    bool bHeld = false;
    for (const auto& aLocks : m_aLfbLocks)
        for (const LfbLock& lock : aLocks)
            bHeld = bHeld || lock.IsHeld();
    m_Device.SetDrawAtOnce(bHeld);
}
