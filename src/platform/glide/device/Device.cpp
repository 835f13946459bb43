// Device: frame buffer, TMUs, triangles, clears and swaps.
#include "Device.h"
#include "Dither.h"
#include "TriangleSetup.h"

Device::Device() : m_Pacer(m_Clock) {}

Device::~Device()
{
    Close();
}

Int64 Device::FrameBufferBytes(Int32 nWidth, Int32 nHeight, Int32 nColorBuffers, Int32 nAuxBuffers)
{
    return Int64(nWidth) * nHeight * 2 * (nColorBuffers + nAuxBuffers);
}

bool Device::Open(const BoardConfig& board, Int32 nWidth, Int32 nHeight, Int32 nColorBuffers,
                  Int32 nAuxBuffers, HWND hWnd, Int32 nRefreshHz)
{
    Close();
    // The colour and auxiliary buffers must fit the board's frame-buffer memory: on a 2 MB board
    // 800x600 with three buffers, 856x480 with three and 960x720 always fail.
    if (FrameBufferBytes(nWidth, nHeight, nColorBuffers, nAuxBuffers) >
        Int64(board.nFrameBufferMegabytes) << 20)
        return false;
    if (!m_FrameBuffer.Create(nWidth, nHeight, nColorBuffers, nAuxBuffers > 0))
        return false;
    m_Board = board;
    m_nTmus = board.nTmus < GlideConfig::MaxTmus ? board.nTmus : GlideConfig::MaxTmus;
    for (Int32 t = 0; t < m_nTmus; ++t)
    {
        if (!m_aTmu[t].Create(UInt32(board.nTmuMegabytes) << 20))
        {
            Close();
            return false;
        }
        m_apTmu[t] = &m_aTmu[t];
    }
    m_State = DeviceState();
    m_eRenderBuffer = BufferId::Back;
    m_bOutputActive = true;
    m_Presenter.SetWindow(hWnd);
    m_Pacer.SetRefreshRate(nRefreshHz);
    m_Pacer.Reset();
    m_Counters = PixelCounters();
    ResetTriangleCounts();
    return true;
}

void Device::Close()
{
    m_FrameBuffer.Destroy();
    for (Int32 t = 0; t < GlideConfig::MaxTmus; ++t)
    {
        m_aTmu[t].Destroy();
        m_apTmu[t] = nullptr;
    }
    m_nTmus = 0;
    m_Presenter.SetWindow(nullptr);
}

TextureUnit* Device::GetTmu(Int32 nTmu)
{
    return nTmu >= 0 && nTmu < m_nTmus ? m_apTmu[nTmu] : nullptr;
}

void Device::DrawTriangle(const DeviceVertex& a, const DeviceVertex& b, const DeviceVertex& c)
{
    if (!IsOpen())
        return;
    ++m_nTrianglesProcessed;
    TriangleParams tri;
    if (!TriangleSetup::Setup(a, b, c, m_State, m_nTmus, tri))
        return;
    ++m_nTrianglesDrawn;
    const Int32 nFirst = tri.nFirstRow > m_State.nClipMinY ? tri.nFirstRow : m_State.nClipMinY;
    const Int32 nEnd = tri.nEndRow < m_State.nClipMaxY ? tri.nEndRow : m_State.nClipMaxY;
    if (nFirst >= nEnd)
        return;
    m_Span.Begin(m_State, tri, m_apTmu, m_nTmus, m_Board.nBilinearFracMask, m_FrameBuffer,
                 m_eRenderBuffer, m_Counters);
    // Each row's span is found one row ahead, so that its pixels can be on their way into
    // the cache while the row before is drawn.
    Int32 x0, x1;
    ClippedSpan(tri, nFirst, &x0, &x1);
    for (Int32 nRow = nFirst; nRow < nEnd; ++nRow)
    {
        Int32 nNext0 = 0, nNext1 = 0;
        if (nRow + 1 < nEnd)
        {
            ClippedSpan(tri, nRow + 1, &nNext0, &nNext1);
            if (nNext0 < nNext1)
                m_Span.Prefetch(nRow + 1, nNext0, nNext1);
        }
        if (x0 < x1)
            m_Span.Render(nRow, x0, x1);
        x0 = nNext0;
        x1 = nNext1;
    }
}

DeviceState Device::SuppliedPixelState(const DeviceState& state)
{
    DeviceState out = state;
    CombineUnitState pass;
    pass.eOther = CombineOther::Iterated;
    pass.eLocal = CombineLocal::Iterated;
    pass.eFactor = CombineFactor::Zero;
    pass.bInvertFactor = false;
    pass.bZeroOther = true;
    pass.bSubtractLocal = false;
    pass.eAdd = CombineAdd::Local;
    pass.bInvertOutput = false;
    out.colorCombine = pass;
    out.alphaCombine = pass;
    out.bAlphaControlsLighting = false;
    out.bDelta0 = false;
    return out;
}

void Device::ShadePixels(BufferId eTarget, Int32 nScreenY, Int32 x, Int32 n, const UInt32* pArgb,
                         const std::uint16_t* pDepth)
{
    if (!IsOpen() || !pArgb || !pDepth || eTarget == BufferId::Aux || nScreenY < 0 ||
        nScreenY >= m_FrameBuffer.GetHeight())
        return;
    const Int32 nRow =
        m_State.bOriginLowerLeft ? m_FrameBuffer.GetHeight() - 1 - nScreenY : nScreenY;
    if (nRow < m_State.nClipMinY || nRow >= m_State.nClipMaxY)
        return;
    const Int32 x0 = x > m_State.nClipMinX ? x : m_State.nClipMinX;
    const Int32 x1 = Int64(x) + n < m_State.nClipMaxX ? x + n : m_State.nClipMaxX;
    if (x0 >= x1)
        return;
    m_SuppliedState = SuppliedPixelState(m_State);
    const TriangleParams unused;
    m_Span.Begin(m_SuppliedState, unused, m_apTmu, m_nTmus, m_Board.nBilinearFracMask,
                 m_FrameBuffer, eTarget, m_Counters);
    m_Span.RenderSupplied(nRow, x0, x1, pArgb + (x0 - x), pDepth + (x0 - x));
}

void Device::ClippedSpan(const TriangleParams& tri, Int32 nRow, Int32* pX0, Int32* pX1) const
{
    TriangleSetup::RowSpan(tri, nRow, pX0, pX1);
    if (*pX0 < m_State.nClipMinX)
        *pX0 = m_State.nClipMinX;
    if (*pX1 > m_State.nClipMaxX)
        *pX1 = m_State.nClipMaxX;
}

void Device::Clear(UInt32 nRgb, Int32 nAlpha, Int32 nDepth)
{
    if (!IsOpen())
        return;
    std::uint16_t* pColor = m_State.bRgbMask ? m_FrameBuffer.GetBuffer(m_eRenderBuffer) : nullptr;
    std::uint16_t* pAux = m_FrameBuffer.GetBuffer(BufferId::Aux);
    std::uint16_t nAuxValue = 0;
    if (pAux && m_State.eDepthMode != DepthMode::Disabled && m_State.bDepthMask)
        nAuxValue = std::uint16_t(nDepth);
    else if (pAux && m_State.eDepthMode == DepthMode::Disabled && m_State.bAlphaMask)
        nAuxValue = std::uint16_t(nAlpha & 0xFF);
    else
        pAux = nullptr;
    const Int32 nRed = Int32((nRgb >> 16) & 0xFFu);
    const Int32 nGreen = Int32((nRgb >> 8) & 0xFFu);
    const Int32 nBlue = Int32(nRgb & 0xFFu);
    const Int32 nWidth = m_FrameBuffer.GetWidth();
    const Int32 nHeight = m_FrameBuffer.GetHeight();
    for (Int32 nRow = m_State.nClipMinY; nRow < m_State.nClipMaxY; ++nRow)
    {
        const Int32 nScreenY = m_State.bOriginLowerLeft ? nHeight - 1 - nRow : nRow;
        const size_t nOffset = size_t(nScreenY) * size_t(nWidth);
        if (pColor)
        {
            // The fill is dithered like pixels: the pattern repeats every four pixels.
            std::uint16_t anPattern[4];
            for (Int32 k = 0; k < 4; ++k)
                anPattern[k] = Dither::Pack(nRed, nGreen, nBlue, k, nScreenY, m_State.eDither);
            for (Int32 x = m_State.nClipMinX; x < m_State.nClipMaxX; ++x)
                pColor[nOffset + size_t(x)] = anPattern[x & 3];
        }
        if (pAux)
            for (Int32 x = m_State.nClipMinX; x < m_State.nClipMaxX; ++x)
                pAux[nOffset + size_t(x)] = nAuxValue;
    }
    if (pColor || pAux)
        m_Counters.nPixelsOut += UInt32(m_State.nClipMaxX - m_State.nClipMinX) *
                                 UInt32(m_State.nClipMaxY - m_State.nClipMinY);
}

void Device::Swap(Int32 nRetraces)
{
    if (!IsOpen())
        return;
    m_Pacer.Wait(nRetraces);
    m_FrameBuffer.Swap();
    if (m_bOutputActive)
        m_Presenter.Present(m_FrameBuffer.GetBuffer(BufferId::Front), m_FrameBuffer.GetWidth(),
                            m_FrameBuffer.GetHeight());
}
