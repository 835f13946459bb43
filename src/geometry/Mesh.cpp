// Mesh: allocation, release and the key-frame morph.
#include "Mesh.h"

#include <cmath>
#include <new>

Mesh::Mesh()
    : m_nVertexCount(0), m_pVertices(nullptr), m_nFrameCount(0), m_pFrameVertices(nullptr),
      m_nGroupCount(0), m_pGroups(nullptr)
{
}

Mesh::~Mesh()
{
    Free();
}

Int32 Mesh::Allocate(Int32 nVertexCount, Int32 nGroupCount, Int32 nFrameCount)
{
    m_nVertexCount = nVertexCount > 0 ? nVertexCount : 0;
    m_nGroupCount = nGroupCount > 0 ? nGroupCount : 0;
    m_nFrameCount = nFrameCount > 0 ? nFrameCount : 0;
    Int32 nResult = 1;

    m_pVertices = new (std::nothrow) MeshVertex[m_nVertexCount];
    if (m_pVertices == nullptr)
    {
        m_nVertexCount = 0;
        nResult = 0;
    }
    if (m_nFrameCount != 0)
    {
        const Int64 nFrameVertices = static_cast<Int64>(m_nFrameCount) * m_nVertexCount;
        if (nFrameVertices <= 0x7FFFFFFF)
            m_pFrameVertices = new (std::nothrow) MeshVertex[static_cast<size_t>(nFrameVertices)];
        if (m_pFrameVertices == nullptr)
        {
            m_nFrameCount = 0;
            nResult = 0;
        }
    }
    m_pGroups = new (std::nothrow) MeshGroup[m_nGroupCount];
    if (m_pGroups == nullptr)
    {
        m_nGroupCount = 0;
        nResult = 0;
    }
    return nResult;
}

void Mesh::Free()
{
    if (m_pVertices != nullptr)
    {
        delete[] m_pVertices;
        m_pVertices = nullptr;
    }
    if (m_pFrameVertices != nullptr)
    {
        delete[] m_pFrameVertices;
        m_pFrameVertices = nullptr;
    }
    if (m_pGroups != nullptr)
    {
        delete[] m_pGroups;
        m_pGroups = nullptr;
    }
}

namespace
{

inline float Blend(float fA, float fB, float fFraction)
{
    return fA + (fB - fA) * fFraction;
}

} // namespace

void Mesh::SetFrame(float fPosition)
{
    // Outside the morph's domain (no key frames, a negative position, or one
    // too large for an integer frame number) there is nothing sound to do.
    // 2^31 is the first float that a 32-bit integer cannot hold; the float
    // below it, 2147483520, converts exactly.
    if (m_nFrameCount <= 0 || m_pFrameVertices == nullptr || !(fPosition >= 0.0f) ||
        fPosition >= 2147483648.0f)
        return;
    const Int32 k = static_cast<Int32>(fPosition); // truncated toward zero
    const float f = fPosition - static_cast<float>(k);
    const Int32 nFrameA = k % m_nFrameCount;
    const Int32 nFrameB = static_cast<Int32>((static_cast<Int64>(k) + 1) % m_nFrameCount);

    for (Int32 i = 0; i < m_nVertexCount; ++i)
    {
        const MeshVertex& a = GetFrameVertex(i, nFrameA);
        const MeshVertex& b = GetFrameVertex(i, nFrameB);
        MeshVertex& v = m_pVertices[i];
        v.m_fX = Blend(a.m_fX, b.m_fX, f);
        v.m_fY = Blend(a.m_fY, b.m_fY, f);
        v.m_fZ = Blend(a.m_fZ, b.m_fZ, f);
        v.m_fNX = Blend(a.m_fNX, b.m_fNX, f);
        v.m_fNY = Blend(a.m_fNY, b.m_fNY, f);
        v.m_fNZ = Blend(a.m_fNZ, b.m_fNZ, f);
        // w of position and normal stay as they are.
        const float fLength2 = v.m_fNX * v.m_fNX + v.m_fNY * v.m_fNY + v.m_fNZ * v.m_fNZ;
        // A normal that blended to (almost) nothing has no direction to keep.
        if (static_cast<double>(fLength2) >= 1e-8)
        {
            const float fScale = 1.0f / std::sqrt(fLength2);
            v.m_fNX *= fScale;
            v.m_fNY *= fScale;
            v.m_fNZ *= fScale;
        }
    }
}
