// EdgeWalker: exact edge crossings, row by row.
#include "EdgeWalker.h"
#include "GlideConfig.h"

namespace
{
constexpr Int64 One = GlideConfig::SubpixelOne;

// The centre of row nRow in 1/16 pixel.
Int64 CentreY(Int32 nRow)
{
    return Int64(nRow) * One + One / 2;
}

// floor(a / b) for b > 0.
Int64 FloorDiv(Int64 a, Int64 b)
{
    const Int64 q = a / b;
    return (a % b != 0 && a < 0) ? q - 1 : q;
}
} // namespace

Int64 EdgeWalker::CeilDiv(Int64 a, Int64 b)
{
    const Int64 q = a / b;
    return (a % b != 0 && a > 0) ? q + 1 : q;
}

void EdgeWalker::Edge::Start(const TriangleParams& tri, Int32 i, Int32 j, Int32 nRow)
{
    // The edge from vertex i down to vertex j (D > 0) crosses a row's centre C at
    // x = N / D with N = x_i D + (C - y_i)(x_j - x_i): A = N - 8D over B = 16D.
    const Int64 nD = Int64(tri.anY[j]) - tri.anY[i];
    const Int64 nDx = Int64(tri.anX[j]) - tri.anX[i];
    const Int64 nA = Int64(tri.anX[i]) * nD + (CentreY(nRow) - tri.anY[i]) * nDx - nD * (One / 2);
    b = One * nD;
    q = CeilDiv(nA, b);
    e = q * b - nA;
    // A row down, A grows by 16 (x_j - x_i).
    const Int64 nStep = One * nDx;
    k = FloorDiv(nStep, b);
    m = nStep - k * b;
}

void EdgeWalker::Edge::Step()
{
    // A' = (q + k) B + (m - e), with -B < m - e < B.
    q += k;
    if (m > e)
    {
        q += 1;
        e += b - m;
    }
    else
        e -= m;
}

void EdgeWalker::Start(const TriangleParams& tri, Int32 nRow)
{
    m_pTri = &tri;
    m_nRow = nRow;
    m_Long.Start(tri, 0, 2, nRow);
    m_bUpper = CentreY(nRow) < tri.anY[1];
    if (m_bUpper)
        m_Short.Start(tri, 0, 1, nRow);
    else
        m_Short.Start(tri, 1, 2, nRow);
}

void EdgeWalker::Next(Int32* pX0, Int32* pX1)
{
    const TriangleParams& tri = *m_pTri;
    const Int64 nLeft = tri.bLongEdgeLeft ? m_Long.q : m_Short.q;
    Int64 nRight = tri.bLongEdgeLeft ? m_Short.q : m_Long.q;
    if (nRight < nLeft)
        nRight = nLeft;
    *pX0 = Int32(nLeft);
    *pX1 = Int32(nRight);
    ++m_nRow;
    m_Long.Step();
    // The lower short edge exists (D > 0) only for rows inside the triangle.
    if (m_bUpper && CentreY(m_nRow) >= tri.anY[1] && m_nRow < tri.nEndRow)
    {
        m_bUpper = false;
        m_Short.Start(tri, 1, 2, m_nRow);
    }
    else
        m_Short.Step();
}
