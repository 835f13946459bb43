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

Int32 BandRenderer::NextOwnedRow(bool bLowerLeft, Int32 nRow, Int32 nHeight) const
{
    if (m_nCount == 1)
        return nRow;
    const Int32 nScreen = bLowerLeft ? nHeight - 1 - nRow : nRow;
    const Int32 nBand = nScreen / BandRows;
    if (!bLowerLeft)
    {
        // Screen rows grow with the rasteriser's: the next band of ours at or below this one.
        const Int32 nOwned = nBand + ((m_nIndex - nBand % m_nCount) + m_nCount) % m_nCount;
        return nOwned == nBand ? nRow : nOwned * BandRows;
    }
    // Screen rows fall as the rasteriser's grow: the next band of ours at or above this one.
    const Int32 nOwned = nBand - ((nBand % m_nCount - m_nIndex) + m_nCount) % m_nCount;
    if (nOwned < 0)
        return nHeight; // past every row
    return nOwned == nBand ? nRow : nHeight - 1 - (nOwned * BandRows + BandRows - 1);
}

Int32 BandRenderer::BandEndRow(bool bLowerLeft, Int32 nRow, Int32 nHeight)
{
    // The first rasteriser row past the band that holds nRow.
    if (!bLowerLeft)
        return (nRow / BandRows + 1) * BandRows;
    const Int32 nBand = (nHeight - 1 - nRow) / BandRows;
    return nHeight - nBand * BandRows;
}

void BandRenderer::Draw(const BoundState& draw, const TriangleParams& tri, Int32 nFirst, Int32 nEnd,
                        FrameBuffer& frameBuffer)
{
    const Int32 nHeight = frameBuffer.GetHeight();
    const bool bLowerLeft = draw.state.bOriginLowerLeft;
    Int32 nRow = NextOwnedRow(bLowerLeft, nFirst, nHeight);
    if (nRow >= nEnd)
        return; // none of the triangle's rows is this renderer's
    m_Span.Begin(draw, tri, frameBuffer, m_Counters);
    // Band by band of this renderer's: the walker starts at each band's first row (rows of
    // other renderers are skipped, not walked), and each row's span is found one row ahead,
    // so that its pixels can be on their way into the cache while the row before is drawn.
    while (nRow < nEnd)
    {
        const Int32 nBandEnd = m_nCount == 1 ? nEnd : BandEndRow(bLowerLeft, nRow, nHeight);
        const Int32 nStop = nBandEnd < nEnd ? nBandEnd : nEnd;
        EdgeWalker walker;
        walker.Start(tri, nRow);
        Int32 x0, x1;
        ClippedSpan(draw.state, walker, &x0, &x1);
        for (; nRow < nStop; ++nRow)
        {
            Int32 nNext0 = 0, nNext1 = 0;
            if (nRow + 1 < nStop)
            {
                ClippedSpan(draw.state, walker, &nNext0, &nNext1);
                if (nNext0 < nNext1)
                    m_Span.Prefetch(nRow + 1, nNext0, nNext1);
            }
            if (x0 < x1)
                m_Span.Render(nRow, x0, x1);
            x0 = nNext0;
            x1 = nNext1;
        }
        if (nRow < nEnd)
            nRow = NextOwnedRow(bLowerLeft, nRow, nHeight);
    }
}

void BandRenderer::Clear(const BoundState& draw, const DrawQueue::ClearArgs& args,
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
