// FrameBuffer: colour and auxiliary buffers.
#include "FrameBuffer.h"
#include "GlideConfig.h"
#include <cstring>
#include <new>

FrameBuffer::~FrameBuffer()
{
    Destroy();
}

bool FrameBuffer::Create(Int32 nWidth, Int32 nHeight, Int32 nColorBuffers, bool bAux)
{
    Destroy();
    if (nWidth <= 0 || nHeight <= 0 || nWidth > GlideConfig::MaxScreenWidth ||
        nHeight > GlideConfig::MaxScreenHeight || nColorBuffers < 2 || nColorBuffers > 3)
        return false;
    const size_t nPixels = size_t(nWidth) * size_t(nHeight) + Padding;
    for (Int32 i = 0; i < nColorBuffers; ++i)
    {
        m_apColor[i] = new (std::nothrow) std::uint16_t[nPixels];
        if (!m_apColor[i])
        {
            Destroy();
            return false;
        }
        std::memset(m_apColor[i], 0, nPixels * sizeof(std::uint16_t));
    }
    if (bAux)
    {
        m_pAux = new (std::nothrow) std::uint16_t[nPixels];
        if (!m_pAux)
        {
            Destroy();
            return false;
        }
        std::memset(m_pAux, 0, nPixels * sizeof(std::uint16_t));
    }
    m_nWidth = nWidth;
    m_nHeight = nHeight;
    m_nColorBuffers = nColorBuffers;
    return true;
}

void FrameBuffer::Destroy()
{
    for (std::uint16_t*& pBuffer : m_apColor)
    {
        delete[] pBuffer;
        pBuffer = nullptr;
    }
    delete[] m_pAux;
    m_pAux = nullptr;
    m_nWidth = m_nHeight = m_nColorBuffers = 0;
}

std::uint16_t* FrameBuffer::GetBuffer(BufferId eBuffer)
{
    switch (eBuffer)
    {
    case BufferId::Front:
        return m_apColor[0];
    case BufferId::Back:
        return m_apColor[1];
    case BufferId::Aux:
        return m_pAux;
    }
    return nullptr;
}

const std::uint16_t* FrameBuffer::GetBuffer(BufferId eBuffer) const
{
    return const_cast<FrameBuffer*>(this)->GetBuffer(eBuffer);
}

void FrameBuffer::Swap()
{
    if (m_nColorBuffers < 2)
        return;
    // Double buffering exchanges front and back. Triple buffering rotates: the finished back
    // buffer is shown, the third buffer (finished earlier and shown last) is drawn next.
    std::uint16_t* pOldFront = m_apColor[0];
    m_apColor[0] = m_apColor[1];
    if (m_nColorBuffers == 3)
    {
        m_apColor[1] = m_apColor[2];
        m_apColor[2] = pOldFront;
    }
    else
        m_apColor[1] = pOldFront;
}

bool FrameBuffer::ReadRegion(BufferId eBuffer, Int32 x, Int32 y, Int32 nWidth, Int32 nHeight,
                             Int32 nStride, void* pDst) const
{
    const std::uint16_t* pSrc = GetBuffer(eBuffer);
    if (!pSrc || !pDst || x < 0 || y < 0 || nWidth < 0 || nHeight < 0 || x > m_nWidth ||
        y > m_nHeight || nWidth > m_nWidth - x || nHeight > m_nHeight - y ||
        Int64(nStride) < 2 * Int64(nWidth))
        return false;
    Byte* pOut = static_cast<Byte*>(pDst);
    for (Int32 nRow = 0; nRow < nHeight; ++nRow)
        std::memcpy(pOut + size_t(nRow) * size_t(nStride),
                    pSrc + size_t(y + nRow) * size_t(m_nWidth) + size_t(x),
                    size_t(nWidth) * sizeof(std::uint16_t));
    return true;
}
