// EdgeWalker: where the edges of a set-up triangle cross the centres of successive rows, found
// exactly with integers and no division per row.
//
// Owner: whoever rasterises a triangle (the Device, a render thread), one per triangle, on the
// stack. Start places it at a row (a division per edge); Step moves to the next row. The span
// of a row is the pixels whose centres lie inside (TriangleSetup's fill rule): pixel x is inside
// a left edge when its centre 16x + 8 is at or right of the crossing, and inside a right edge
// when strictly left of it, which is one bound, x >= ceil((N - 8D) / 16D), for both (N / D is the
// crossing in 1/16 pixel).
#pragma once
#include "TriangleParams.h"
#include "Types.h"

class EdgeWalker
{
  public:
    // Places the walker at row nRow, which must have its centre inside the triangle's rows.
    void Start(const TriangleParams& tri, Int32 nRow);
    // The span of the current row, [*pX0, *pX1) (empty when equal), then on to the next row.
    void Next(Int32* pX0, Int32* pX1);

    // ceil(a / b) for b > 0.
    static Int64 CeilDiv(Int64 a, Int64 b);

  private:
    // One edge: the bound q = ceil(A / B) of the current row and its excess e = qB - A (0..B-1);
    // per row A grows by S = k B + m (0 <= m < B).
    struct Edge
    {
        Int64 q, e, k, m, b;
        void Start(const TriangleParams& tri, Int32 i, Int32 j, Int32 nRow);
        void Step();
    };

    Edge m_Long;  // top to bottom vertex
    Edge m_Short; // top to middle, then middle to bottom
    const TriangleParams* m_pTri = nullptr;
    Int32 m_nRow = 0;
    bool m_bUpper = true; // the short edge is still the upper one
};
