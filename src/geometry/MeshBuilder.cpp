// MeshBuilder: the grid and the dome, with their fixed vertex, corner and
// triangle orders.
#include "MeshBuilder.h"

#include <cmath>
#include <new>

#include "Mesh.h"

namespace
{

// n / d * 255: quotient and product in extended precision, stored as a float
// (24 of 25 gives exactly the float nearest 244.8).
inline float TextureCoordinate(UInt32 n, UInt32 d)
{
    return static_cast<float>(static_cast<long double>(n) / static_cast<long double>(d) * 255.0L);
}

inline void SetCorner(MeshCorner& rCorner, Int32 nVertex, Byte bGrey, Byte bAlpha, float fS,
                      float fT)
{
    rCorner.m_nVertex = nVertex;
    rCorner.m_bRed = bGrey;
    rCorner.m_bGreen = bGrey;
    rCorner.m_bBlue = bGrey;
    rCorner.m_bAlpha = bAlpha;
    rCorner.m_fS = fS;
    rCorner.m_fT = fT;
}

inline void SetTriangle(MeshTriangle& rTriangle, UInt32 nA, UInt32 nB, UInt32 nC)
{
    rTriangle.m_anCorner[0] = static_cast<Int32>(nA);
    rTriangle.m_anCorner[1] = static_cast<Int32>(nB);
    rTriangle.m_anCorner[2] = static_cast<Int32>(nC);
}

inline void SetVertex(MeshVertex& rVertex, float fX, float fY, float fZ, float fNX, float fNY,
                      float fNZ)
{
    rVertex.m_fX = fX;
    rVertex.m_fY = fY;
    rVertex.m_fZ = fZ;
    rVertex.m_fW = 1.0f;
    rVertex.m_fNX = fNX;
    rVertex.m_fNY = fNY;
    rVertex.m_fNZ = fNZ;
    rVertex.m_fNW = 1.0f;
}

// A mesh with nVertices vertices and one group of the given sizes, or null
// (nothing leaked) when a size does not fit a signed 32-bit count or any part
// cannot be allocated.
Mesh* MakeMesh(Int64 nVertices, Int64 nCorners, Int64 nTriangles)
{
    const Int64 nLimit = 0x7FFFFFFF;
    if (nVertices > nLimit || nCorners > nLimit || nTriangles > nLimit)
        return nullptr;
    Mesh* pMesh = new (std::nothrow) Mesh;
    if (pMesh == nullptr)
        return nullptr;
    if (pMesh->Allocate(static_cast<Int32>(nVertices), 1, 0) == 0 ||
        pMesh->GetGroup(0).Allocate(static_cast<Int32>(nCorners), static_cast<Int32>(nTriangles)) ==
            0)
    {
        delete pMesh;
        return nullptr;
    }
    return pMesh;
}

// Sizes the builders accept: at least 1, and small enough that the counts
// computed from them fit in 64 bits before the 32-bit check.
inline bool ValidSize(UInt32 n)
{
    return n >= 1 && n <= 0x7FFFFFFFu;
}

} // namespace

Mesh* MeshBuilder::BuildGrid(UInt32 nColumns, UInt32 nRows)
{
    if (!ValidSize(nColumns) || !ValidSize(nRows))
        return nullptr;
    const UInt32 W = nColumns, H = nRows;
    Mesh* pMesh = MakeMesh(static_cast<Int64>(W) * H, static_cast<Int64>(W) * H,
                           static_cast<Int64>(W - 1) * (H - 1) * 2);
    if (pMesh == nullptr)
        return nullptr;

    for (UInt32 i = 0; i < H; ++i)
        for (UInt32 j = 0; j < W; ++j)
            SetVertex(pMesh->GetVertex(static_cast<Int32>(i * W + j)), static_cast<float>(j),
                      static_cast<float>(i), 0.0f, 0.0f, 0.0f, 1.0f);

    MeshGroup& rGroup = pMesh->GetGroup(0);
    const UInt32 nCorners = W * H;
    for (UInt32 n = 0; n < nCorners; ++n)
        SetCorner(rGroup.GetCorner(static_cast<Int32>(n)), static_cast<Int32>(n),
                  static_cast<Byte>(n % 256), 255, TextureCoordinate(n % W, W),
                  TextureCoordinate(n / W, H));

    // Two passes over the quads: first every (v, v+1, v+W), then every
    // (v+1, v+W+1, v+W); both wind the same way.
    UInt32 nTriangle = 0;
    for (UInt32 nPass = 0; nPass < 2; ++nPass)
        for (UInt32 a = 0; a + 1 < H; ++a)
            for (UInt32 b = 0; b + 1 < W; ++b)
            {
                const UInt32 v = a * W + b;
                MeshTriangle& rTriangle = rGroup.GetTriangle(static_cast<Int32>(nTriangle++));
                if (nPass == 0)
                    SetTriangle(rTriangle, v, v + 1, v + W);
                else
                    SetTriangle(rTriangle, v + 1, v + W + 1, v + W);
            }
    return pMesh;
}

Mesh* MeshBuilder::BuildDome(UInt32 nSlices, UInt32 nRings, float fRadius)
{
    if (!ValidSize(nSlices) || !ValidSize(nRings))
        return nullptr;
    const UInt32 S = nSlices, N = nRings;
    Mesh* pMesh = MakeMesh(static_cast<Int64>(S) * N + 1, static_cast<Int64>(S + 1) * (N + 1),
                           static_cast<Int64>(S) * N * 2);
    if (pMesh == nullptr)
        return nullptr;

    // Angle steps in single precision; sines and cosines in double precision,
    // each product stored as a float.
    const float fDu = 6.2831855f / static_cast<float>(S);
    const float fDv = 1.5707964f / static_cast<float>(N);
    const double dRadius = fRadius;
    for (UInt32 i = 0; i < N; ++i)
    {
        const float fPhi = static_cast<float>(i) * fDv;
        const double dSinPhi = std::sin(static_cast<double>(fPhi));
        const float fZ = static_cast<float>(-dSinPhi * dRadius);
        const double dRho = static_cast<float>(std::cos(static_cast<double>(fPhi)) * dRadius);
        for (UInt32 j = 0; j < S; ++j)
        {
            const float fTheta = static_cast<float>(j) * fDu;
            const double dCos = std::cos(static_cast<double>(fTheta));
            const double dSin = std::sin(static_cast<double>(fTheta));
            SetVertex(pMesh->GetVertex(static_cast<Int32>(i * S + j)),
                      static_cast<float>(dCos * dRho), static_cast<float>(dSin * dRho), fZ,
                      static_cast<float>(-dCos), static_cast<float>(-dSin),
                      static_cast<float>(dSinPhi));
        }
    }
    const UInt32 nPole = S * N;
    SetVertex(pMesh->GetVertex(static_cast<Int32>(nPole)), 0.0f, 0.0f, -fRadius, 0.0f, 0.0f, 1.0f);

    // Each ring has S corners and one closing corner on its first vertex with
    // s = 255, so the texture wraps exactly once around the ring; the pole row
    // repeats the pole S + 1 times.
    MeshGroup& rGroup = pMesh->GetGroup(0);
    Int32 nCorner = 0;
    for (UInt32 i = 0; i < N; ++i)
    {
        const float fT = TextureCoordinate(i, N);
        for (UInt32 j = 0; j < S; ++j)
            SetCorner(rGroup.GetCorner(nCorner++), static_cast<Int32>(i * S + j), 255, 255,
                      TextureCoordinate(j, S), fT);
        SetCorner(rGroup.GetCorner(nCorner++), static_cast<Int32>(i * S), 255, 255, 255.0f, fT);
    }
    for (UInt32 j = 0; j < S; ++j)
        SetCorner(rGroup.GetCorner(nCorner++), static_cast<Int32>(nPole), 255, 255,
                  TextureCoordinate(j, S), 255.0f);
    SetCorner(rGroup.GetCorner(nCorner++), static_cast<Int32>(nPole), 255, 255, 255.0f, 255.0f);

    // Two triangles per quad, interleaved. Corner row N is the pole row, so
    // the second triangle of each pair in the last ring has no area.
    Int32 nTriangle = 0;
    for (UInt32 i = 0; i < N; ++i)
    {
        const UInt32 e = i * (S + 1);
        for (UInt32 j = 0; j < S; ++j)
        {
            SetTriangle(rGroup.GetTriangle(nTriangle++), e + j, e + j + 1, e + j + S + 1);
            SetTriangle(rGroup.GetTriangle(nTriangle++), e + j + 1, e + j + S + 2, e + j + S + 1);
        }
    }
    return pMesh;
}
