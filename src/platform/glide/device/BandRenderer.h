// BandRenderer: draws queued triangles and clears into the rows it owns.
//
// The screen's rows are dealt out in bands of BandRows rows: with n renderers, renderer i owns
// the screen rows (top row 0, whatever the origin) whose band number (row / BandRows) is i
// modulo n, so every pixel belongs to exactly one renderer and is drawn by it in call order,
// whatever n is and however the origin changes between calls. With n = 1 it owns every row
// (the Device draws on the calling thread).
//
// Owner: the Device (on the calling thread) or a RenderWorkers thread, one each. Per triangle:
// the span renderer's Begin, then the rows; per clear: the owned rows of the clip window.
#pragma once
#include "DrawQueue.h"
#include "BoundState.h"
#include "EdgeWalker.h"
#include "FrameBuffer.h"
#include "PixelCounters.h"
#include "SpanRenderer.h"
#include "TriangleParams.h"
#include "Types.h"

class BandRenderer
{
  public:
    static constexpr Int32 BandRows = 8;

    // This renderer is number nIndex of nCount.
    void SetBands(Int32 nIndex, Int32 nCount);
    bool Owns(Int32 nScreenRow) const
    {
        return m_nCount == 1 || (nScreenRow / BandRows) % m_nCount == m_nIndex;
    }

    // A triangle's owned rows among nFirst..nEnd-1 (already clipped to the clip window's rows).
    void Draw(const BoundState& draw, const TriangleParams& tri, Int32 nFirst, Int32 nEnd,
              FrameBuffer& frameBuffer);
    // grBufferClear on the owned rows of the state's clip window.
    void Clear(const BoundState& draw, const DrawQueue::ClearArgs& args, FrameBuffer& frameBuffer);
    // One queued command; a state command becomes this renderer's own copy, which the commands
    // after it are drawn with.
    void Run(const DrawQueue::Command& command, FrameBuffer& frameBuffer);

    PixelCounters& GetCounters() { return m_Counters; }
    SpanRenderer& GetSpanRenderer() { return m_Span; }

  private:
    // The screen row of a rasteriser row (the Glide y of the state's origin).
    static Int32 ScreenRow(const DeviceState& state, Int32 nRow, Int32 nHeight)
    {
        return state.bOriginLowerLeft ? nHeight - 1 - nRow : nRow;
    }
    // The first rasteriser row at or after nRow in one of this renderer's bands (nHeight when
    // there is none), and the first row past the band that holds nRow.
    Int32 NextOwnedRow(bool bLowerLeft, Int32 nRow, Int32 nHeight) const;
    static Int32 BandEndRow(bool bLowerLeft, Int32 nRow, Int32 nHeight);
    // The walker's next row: its pixels inside the triangle and the clip window.
    static void ClippedSpan(const DeviceState& state, EdgeWalker& walker, Int32* pX0, Int32* pX1);

    SpanRenderer m_Span;
    BoundState m_State; // the queue's current state
    PixelCounters m_Counters;
    Int32 m_nIndex = 0;
    Int32 m_nCount = 1;
};
