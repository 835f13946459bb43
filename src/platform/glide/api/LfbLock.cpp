// LfbLock: direct and staged locks, and writing a staged lock back.
#include "LfbLock.h"
#include <cstring>
#include <new>

namespace
{
// 8-bit channels -> RGB565 by truncation: pixels stored without the pixel pipeline are not
// dithered.
std::uint16_t Pack565(UInt32 nArgb)
{
    return std::uint16_t((((nArgb >> 19) & 0x1Fu) << 11) | (((nArgb >> 10) & 0x3Fu) << 5) |
                         ((nArgb >> 3) & 0x1Fu));
}

UInt32 Widen565(std::uint16_t n)
{
    const UInt32 r = (n >> 11) & 0x1Fu, g = (n >> 5) & 0x3Fu, b = n & 0x1Fu;
    return 0xFF000000u | (((r << 3) | (r >> 2)) << 16) | (((g << 2) | (g >> 4)) << 8) |
           ((b << 3) | (b >> 2));
}
} // namespace

LfbLock::~LfbLock()
{
    Discard();
}

bool LfbLock::Matches(const LfbLockRequest& request) const
{
    return request.eBuffer == m_Request.eBuffer && request.bWrite == m_Request.bWrite &&
           request.bLowerLeft == m_Request.bLowerLeft &&
           (!request.bWrite ||
            (request.format == m_Request.format && request.bPipeline == m_Request.bPipeline));
}

bool LfbLock::IsDirect() const
{
    if (m_Request.bLowerLeft)
        return false;
    return !m_Request.bWrite || (m_Request.format.IsNative16() && !m_Request.bPipeline);
}

Int32 LfbLock::ScreenRow(Int32 nLockRow) const
{
    return m_Request.bLowerLeft ? m_nHeight - 1 - nLockRow : nLockRow;
}

bool LfbLock::Acquire(Device& device, const LfbLockRequest& request)
{
    Discard();
    FrameBuffer& frameBuffer = device.GetFrameBuffer();
    std::uint16_t* pBuffer = frameBuffer.GetBuffer(request.eBuffer);
    if (!pBuffer)
        return false;
    m_Request = request;
    m_nWidth = frameBuffer.GetWidth();
    m_nHeight = frameBuffer.GetHeight();
    const size_t nPixels = size_t(m_nWidth) * size_t(m_nHeight);
    if (IsDirect())
    {
        m_pPixels = pBuffer;
        m_nStride = 2 * m_nWidth;
        if (request.bWrite)
        {
            m_pSnapshot = new (std::nothrow) Byte[nPixels * 2];
            if (!m_pSnapshot)
                return false;
            std::memcpy(m_pSnapshot, pBuffer, nPixels * 2);
        }
    }
    else if (!Stage(device))
    {
        Discard();
        return false;
    }
    m_nHolds = 1;
    return true;
}

bool LfbLock::Stage(Device& device)
{
    FrameBuffer& frameBuffer = device.GetFrameBuffer();
    const std::uint16_t* pBuffer = frameBuffer.GetBuffer(m_Request.eBuffer);
    const std::uint16_t* pAux = frameBuffer.GetBuffer(BufferId::Aux);
    m_nStride = m_Request.bWrite ? m_Request.format.LockRowBytes(m_nWidth) : 2 * m_nWidth;
    const size_t nBytes = size_t(m_nStride) * size_t(m_nHeight);
    m_pStaging = new (std::nothrow) Byte[nBytes];
    if (!m_pStaging)
        return false;
    std::memset(m_pStaging, 0, nBytes);
    for (Int32 nRow = 0; nRow < m_nHeight; ++nRow)
    {
        const size_t nScreen = size_t(ScreenRow(nRow)) * size_t(m_nWidth);
        Byte* pRow = m_pStaging + size_t(nRow) * size_t(m_nStride);
        if (!m_Request.bWrite)
        {
            std::memcpy(pRow, pBuffer + nScreen, size_t(m_nWidth) * 2);
            continue;
        }
        // The lock starts with the board's pixels, so that what the program leaves alone can
        // be told from what it writes.
        const bool bAuxTarget = m_Request.eBuffer == BufferId::Aux;
        for (Int32 x = 0; x < m_nWidth; ++x)
        {
            LfbPixel pixel;
            pixel.nArgb = bAuxTarget ? 0xFF000000u : Widen565(pBuffer[nScreen + size_t(x)]);
            pixel.nDepth = pAux ? pAux[nScreen + size_t(x)] : 0;
            m_Request.format.Write(pRow, x, pixel);
        }
    }
    if (m_Request.bWrite)
    {
        m_pSnapshot = new (std::nothrow) Byte[nBytes];
        if (!m_pSnapshot)
            return false;
        std::memcpy(m_pSnapshot, m_pStaging, nBytes);
    }
    m_pPixels = m_pStaging;
    return true;
}

void LfbLock::Release(Device& device, Int32 nConstantAlpha, Int32 nConstantDepth)
{
    if (m_nHolds <= 0 || --m_nHolds > 0)
        return;
    if (m_Request.bWrite && device.IsOpen())
    {
        if (m_pStaging)
            WriteBack(device, nConstantAlpha, nConstantDepth);
        else
            CountDirectChanges(device);
    }
    Discard();
}

void LfbLock::Discard()
{
    delete[] m_pStaging;
    delete[] m_pSnapshot;
    m_pStaging = m_pSnapshot = nullptr;
    m_pPixels = nullptr;
    m_nHolds = 0;
}

void LfbLock::CountDirectChanges(Device& device)
{
    const std::uint16_t* pNow = static_cast<const std::uint16_t*>(m_pPixels);
    UInt32 nChanged = 0;
    for (size_t i = 0, n = size_t(m_nWidth) * size_t(m_nHeight); i < n; ++i)
    {
        std::uint16_t nOld;
        std::memcpy(&nOld, m_pSnapshot + 2 * i, 2);
        nChanged += pNow[i] != nOld;
    }
    device.GetCounters().nPixelsOut += nChanged;
}

bool LfbLock::Changed(const Byte* pRow, const Byte* pOld, Int32 x) const
{
    return m_Request.format.Bits(pRow, x) != m_Request.format.Bits(pOld, x);
}

void LfbLock::WriteBack(Device& device, Int32 nConstantAlpha, Int32 nConstantDepth)
{
    // The board may have been reopened at another size since the lock.
    if (device.GetFrameBuffer().GetWidth() != m_nWidth ||
        device.GetFrameBuffer().GetHeight() != m_nHeight)
        return;
    const bool bShade = m_Request.bPipeline && m_Request.format.HasColor();
    for (Int32 nRow = 0; nRow < m_nHeight; ++nRow)
    {
        if (bShade)
            ShadeRow(device, nRow, nConstantAlpha, nConstantDepth);
        else
            StoreRow(device, nRow);
    }
}

void LfbLock::StoreRow(Device& device, Int32 nLockRow)
{
    FrameBuffer& frameBuffer = device.GetFrameBuffer();
    std::uint16_t* pColor =
        m_Request.format.HasColor() ? frameBuffer.GetBuffer(m_Request.eBuffer) : nullptr;
    std::uint16_t* pAux =
        m_Request.format.HasDepth() ? frameBuffer.GetBuffer(BufferId::Aux) : nullptr;
    const size_t nScreen = size_t(ScreenRow(nLockRow)) * size_t(m_nWidth);
    const Byte* pRow = m_pStaging + size_t(nLockRow) * size_t(m_nStride);
    const Byte* pOld = m_pSnapshot + size_t(nLockRow) * size_t(m_nStride);
    UInt32 nChanged = 0;
    for (Int32 x = 0; x < m_nWidth; ++x)
    {
        if (!Changed(pRow, pOld, x))
            continue;
        const LfbPixel pixel = m_Request.format.Read(pRow, x);
        if (pColor)
            pColor[nScreen + size_t(x)] = Pack565(pixel.nArgb);
        if (pAux)
            pAux[nScreen + size_t(x)] = pixel.nDepth;
        ++nChanged;
    }
    device.GetCounters().nPixelsOut += nChanged;
}

void LfbLock::ShadeRow(Device& device, Int32 nLockRow, Int32 nConstantAlpha, Int32 nConstantDepth)
{
    const Byte* pRow = m_pStaging + size_t(nLockRow) * size_t(m_nStride);
    const Byte* pOld = m_pSnapshot + size_t(nLockRow) * size_t(m_nStride);
    const bool bAlpha = m_Request.format.HasAlpha();
    const bool bDepth = m_Request.format.HasDepth();
    UInt32 anArgb[GlideConfig::MaxScreenWidth];
    std::uint16_t anDepth[GlideConfig::MaxScreenWidth];
    // Each run of changed pixels goes through the pipeline as one span.
    Int32 x = 0;
    while (x < m_nWidth)
    {
        if (!Changed(pRow, pOld, x))
        {
            ++x;
            continue;
        }
        const Int32 nStart = x;
        for (; x < m_nWidth && Changed(pRow, pOld, x); ++x)
        {
            const LfbPixel pixel = m_Request.format.Read(pRow, x);
            anArgb[x - nStart] =
                bAlpha ? pixel.nArgb : (pixel.nArgb & 0xFFFFFFu) | (UInt32(nConstantAlpha) << 24);
            anDepth[x - nStart] = bDepth ? pixel.nDepth : std::uint16_t(nConstantDepth);
        }
        device.ShadePixels(m_Request.eBuffer, ScreenRow(nLockRow), nStart, x - nStart, anArgb,
                           anDepth);
    }
}
