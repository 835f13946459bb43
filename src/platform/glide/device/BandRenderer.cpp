// BandRenderer: triangles and clears, row by owned row.
#include "BandRenderer.h"
#include "Dither.h"

void BandRenderer::SetBands(Int32 nIndex, Int32 nCount)
{
    m_nIndex = nIndex;
    m_nCount = nCount > 0 ? nCount : 1;
}

void BandRenderer::ClippedSpan(const DeviceState& state, EdgeWalker& walker, Int32* pX0, Int32* pX1)
{
    walker.Next(pX0, pX1);
    if (*pX0 < state.nClipMinX)
        *pX0 = state.nClipMinX;
    if (*pX1 > state.nClipMaxX)
        *pX1 = state.nClipMaxX;
}

void BandRenderer::Draw(const DrawState& draw, const TriangleParams& tri, Int32 nFirst, Int32 nEnd,
                        FrameBuffer& frameBuffer)
{
    // A triangle that lies in one band of another renderer is not this one's at all.
    const Int32 nHeight = frameBuffer.GetHeight();
    const Int32 nTop = ScreenRow(draw.state, nFirst, nHeight);
    const Int32 nBottom = ScreenRow(draw.state, nEnd - 1, nHeight);
    if (m_nCount > 1 && nTop / BandRows == nBottom / BandRows && !Owns(nTop))
        return;
    m_Span.Begin(draw, tri, frameBuffer, m_Counters);
    // Each row's span is found one row ahead, so that its pixels can be on their way into
    // the cache while the row before is drawn; rows of other renderers are only walked past.
    EdgeWalker walker;
    walker.Start(tri, nFirst);
    Int32 x0, x1;
    ClippedSpan(draw.state, walker, &x0, &x1);
    for (Int32 nRow = nFirst; nRow < nEnd; ++nRow)
    {
        Int32 nNext0 = 0, nNext1 = 0;
        if (nRow + 1 < nEnd)
        {
            ClippedSpan(draw.state, walker, &nNext0, &nNext1);
            if (nNext0 < nNext1 && Owns(ScreenRow(draw.state, nRow + 1, nHeight)))
                m_Span.Prefetch(nRow + 1, nNext0, nNext1);
        }
        if (x0 < x1 && Owns(ScreenRow(draw.state, nRow, nHeight)))
            m_Span.Render(nRow, x0, x1);
        x0 = nNext0;
        x1 = nNext1;
    }
}

void BandRenderer::Clear(const DrawState& draw, const DrawQueue::ClearArgs& args,
                         FrameBuffer& frameBuffer)
{
    const DeviceState& state = draw.state;
    std::uint16_t* pColor = state.bRgbMask ? frameBuffer.GetBuffer(draw.eTarget) : nullptr;
    std::uint16_t* pAux = frameBuffer.GetBuffer(BufferId::Aux);
    std::uint16_t nAuxValue = 0;
    if (pAux && state.eDepthMode != DepthMode::Disabled && state.bDepthMask)
        nAuxValue = std::uint16_t(args.nDepth);
    else if (pAux && state.eDepthMode == DepthMode::Disabled && state.bAlphaMask)
        nAuxValue = std::uint16_t(args.nAlpha & 0xFF);
    else
        pAux = nullptr;
    const Int32 nRed = Int32((args.nRgb >> 16) & 0xFFu);
    const Int32 nGreen = Int32((args.nRgb >> 8) & 0xFFu);
    const Int32 nBlue = Int32(args.nRgb & 0xFFu);
    const Int32 nWidth = frameBuffer.GetWidth();
    const Int32 nHeight = frameBuffer.GetHeight();
    for (Int32 nRow = state.nClipMinY; nRow < state.nClipMaxY; ++nRow)
    {
        const Int32 nScreenY = ScreenRow(state, nRow, nHeight);
        if (!Owns(nScreenY))
            continue;
        // The filled pixels count as pixels out.
        if (pColor || pAux)
            m_Counters.nPixelsOut += UInt32(state.nClipMaxX - state.nClipMinX);
        const size_t nOffset = size_t(nScreenY) * size_t(nWidth);
        if (pColor)
        {
            // The fill is dithered like pixels: the pattern repeats every four pixels.
            std::uint16_t anPattern[4];
            for (Int32 k = 0; k < 4; ++k)
                anPattern[k] = Dither::Pack(nRed, nGreen, nBlue, k, nScreenY, state.eDither);
            for (Int32 x = state.nClipMinX; x < state.nClipMaxX; ++x)
                pColor[nOffset + size_t(x)] = anPattern[x & 3];
        }
        if (pAux)
            for (Int32 x = state.nClipMinX; x < state.nClipMaxX; ++x)
                pAux[nOffset + size_t(x)] = nAuxValue;
    }
}

void BandRenderer::Run(const DrawQueue::Command& command, FrameBuffer& frameBuffer)
{
    switch (command.eKind)
    {
    case DrawQueue::Kind::State:
        m_State = command.state;
        return;
    case DrawQueue::Kind::Triangle:
        Draw(m_State, command.triangle.tri, command.triangle.nFirstRow, command.triangle.nEndRow,
             frameBuffer);
        return;
    case DrawQueue::Kind::Clear:
        Clear(m_State, command.clear, frameBuffer);
        return;
    }
}
