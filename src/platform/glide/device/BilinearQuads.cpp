// BilinearQuads: the quad tables of a decoded texture.
#include "BilinearQuads.h"
#include "DecodedTexture.h"
#include <new>

namespace
{
// The texels a quad at column (or row) nIndex starts and ends at, on an axis of nSize texels.
void AxisPair(Int32 nIndex, Int32 nSize, bool bClamp, Int32* pFirst, Int32* pSecond)
{
    if (bClamp)
    {
        // Column c holds the pair of texel u0 = c - 1, clamped: (max(u0, 0), min(u0 + 1, w - 1)).
        const Int32 u0 = nIndex - 1;
        *pFirst = u0 < 0 ? 0 : u0;
        *pSecond = u0 + 1 > nSize - 1 ? nSize - 1 : u0 + 1;
    }
    else
    {
        *pFirst = nIndex;
        *pSecond = (nIndex + 1) & (nSize - 1);
    }
}
} // namespace

BilinearQuads::~BilinearQuads()
{
    delete[] m_pStorage;
}

bool BilinearQuads::Build(const DecodedTexture& texture, bool bClampS, bool bClampT)
{
    for (const UInt32*& pLevel : m_apLevel)
        pLevel = nullptr;
    const Int32 nExtraS = bClampS ? 1 : 0, nExtraT = bClampT ? 1 : 0;
    size_t nTexels = 0;
    for (Int32 nLod = texture.source.nLargeLod; nLod <= texture.source.nSmallLod; ++nLod)
    {
        const DecodedLevel& level = texture.aLevels[nLod];
        nTexels += 4 * size_t(level.nWidth + nExtraS) * size_t(level.nHeight + nExtraT);
    }
    if (nTexels > m_nCapacity)
    {
        delete[] m_pStorage;
        m_nCapacity = 0;
        m_pStorage = new (std::nothrow) UInt32[nTexels];
        if (!m_pStorage)
            return false;
        m_nCapacity = nTexels;
    }
    UInt32* pOut = m_pStorage;
    for (Int32 nLod = texture.source.nLargeLod; nLod <= texture.source.nSmallLod; ++nLod)
    {
        const DecodedLevel& level = texture.aLevels[nLod];
        m_apLevel[nLod] = pOut;
        for (Int32 nRow = 0; nRow < level.nHeight + nExtraT; ++nRow)
        {
            Int32 v0, v1;
            AxisPair(nRow, level.nHeight, bClampT, &v0, &v1);
            const UInt32* pRow0 = level.pTexels + (size_t(v0) << level.nWidthLog2);
            const UInt32* pRow1 = level.pTexels + (size_t(v1) << level.nWidthLog2);
            for (Int32 nColumn = 0; nColumn < level.nWidth + nExtraS; ++nColumn)
            {
                Int32 u0, u1;
                AxisPair(nColumn, level.nWidth, bClampS, &u0, &u1);
                *pOut++ = pRow0[u0];
                *pOut++ = pRow0[u1];
                *pOut++ = pRow1[u0];
                *pOut++ = pRow1[u1];
            }
        }
    }
    return true;
}
