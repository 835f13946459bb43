// FrameGuard: sentinel ring along the screen's edges.
#include "FrameGuard.h"
#include <cstdio>
#include <cstring>

namespace
{
// Distinct from black and white and from any clear a seed makes.
const FxU16 kSentinel565 = 0xA2D8;
const FxU16 kSentinelDepth = 0x5AA5;
const GrBuffer_t kBuffers[3] = {GR_BUFFER_FRONTBUFFER, GR_BUFFER_BACKBUFFER, GR_BUFFER_AUXBUFFER};
const char* const kBufferNames[3] = {"front", "back", "aux"};

const GrBuffer_t kAux = GR_BUFFER_AUXBUFFER;
} // namespace

// Writes the sentinel into the ring of one buffer (LFB region writes, raw 16-bit): clearing the
// whole screen would cost more than most inputs.
void FrameGuard::FillRing(GrBuffer_t eBuffer) const
{
    const FxU16 nValue = eBuffer == kAux ? kSentinelDepth : kSentinel565;
    std::vector<FxU16> row(size_t(m_nWidth > m_nHeight ? m_nWidth : m_nHeight) * kMargin, nValue);
    for (const Strip& strip : Strips())
        grLfbWriteRegion(eBuffer, strip.nX, strip.nY, GR_LFB_SRC_FMT_565, strip.nWidth,
                         strip.nHeight, FxI32(strip.nWidth * 2), row.data());
}

void FrameGuard::Arm()
{
    m_bArmed = false;
    m_nWidth = grSstScreenWidth();
    m_nHeight = grSstScreenHeight();
    if (m_nWidth <= 4 * kMargin || m_nHeight <= 4 * kMargin)
        return;
    // Front and back, then (after a swap) the third buffer of triple buffering, which is now the
    // back buffer; the auxiliary buffer when there is one.
    FillRing(GR_BUFFER_FRONTBUFFER);
    FillRing(GR_BUFFER_BACKBUFFER);
    grBufferSwap(0);
    FillRing(GR_BUFFER_BACKBUFFER);
    FillRing(kAux);
    for (int i = 0; i < 3; ++i)
        if (!ReadRing(kBuffers[i], &m_anRing[i]))
            m_anRing[i].clear();
    grClipWindow(kMargin, kMargin, m_nWidth - kMargin, m_nHeight - kMargin);
    m_bArmed = true;
}

void FrameGuard::KeepInside(FxU32* pnMinX, FxU32* pnMinY, FxU32* pnMaxX, FxU32* pnMaxY) const
{
    const FxU32 nLowX = kMargin, nLowY = kMargin;
    const FxU32 nHighX = m_nWidth - kMargin, nHighY = m_nHeight - kMargin;
    *pnMinX = *pnMinX < nLowX ? nLowX : (*pnMinX > nHighX ? nHighX : *pnMinX);
    *pnMinY = *pnMinY < nLowY ? nLowY : (*pnMinY > nHighY ? nHighY : *pnMinY);
    *pnMaxX = *pnMaxX < nLowX ? nLowX : (*pnMaxX > nHighX ? nHighX : *pnMaxX);
    *pnMaxY = *pnMaxY < nLowY ? nLowY : (*pnMaxY > nHighY ? nHighY : *pnMaxY);
}

bool FrameGuard::CutToInside(FxU32* pnX, FxU32* pnY, FxU32* pnWidth, FxU32* pnHeight) const
{
    // 64-bit ends: the program's rectangle may be anything.
    std::uint64_t nX0 = *pnX, nY0 = *pnY;
    std::uint64_t nX1 = nX0 + *pnWidth, nY1 = nY0 + *pnHeight;
    const std::uint64_t nLow = kMargin;
    const std::uint64_t nHighX = m_nWidth - kMargin, nHighY = m_nHeight - kMargin;
    nX0 = nX0 < nLow ? nLow : nX0;
    nY0 = nY0 < nLow ? nLow : nY0;
    nX1 = nX1 > nHighX ? nHighX : nX1;
    nY1 = nY1 > nHighY ? nHighY : nY1;
    if (nX0 >= nX1 || nY0 >= nY1)
        return false;
    *pnX = FxU32(nX0);
    *pnY = FxU32(nY0);
    *pnWidth = FxU32(nX1 - nX0);
    *pnHeight = FxU32(nY1 - nY0);
    return true;
}

bool FrameGuard::IsInside(FxU32 nX, FxU32 nY) const
{
    return nX >= FxU32(kMargin) && nY >= FxU32(kMargin) && nX < m_nWidth - kMargin &&
           nY < m_nHeight - kMargin;
}

std::vector<FrameGuard::Strip> FrameGuard::Strips() const
{
    const FxU32 m = kMargin;
    return {{0, 0, m_nWidth, m},
            {0, m_nHeight - m, m_nWidth, m},
            {0, m, m, m_nHeight - 2 * m},
            {m_nWidth - m, m, m, m_nHeight - 2 * m}};
}

bool FrameGuard::ReadRing(GrBuffer_t eBuffer, std::vector<std::uint16_t>* pRing) const
{
    pRing->clear();
    for (const Strip& strip : Strips())
    {
        std::vector<std::uint16_t> pixels(size_t(strip.nWidth) * strip.nHeight);
        if (!grLfbReadRegion(eBuffer, strip.nX, strip.nY, strip.nWidth, strip.nHeight,
                             strip.nWidth * 2, pixels.data()))
            return false;
        pRing->insert(pRing->end(), pixels.begin(), pixels.end());
    }
    return true;
}

void FrameGuard::Check(const char* pchWhen, const std::string& strContext) const
{
    if (!m_bArmed)
        return;
    for (int i = 0; i < 3; ++i)
    {
        if (m_anRing[i].empty())
            continue;
        std::vector<std::uint16_t> ring;
        if (!ReadRing(kBuffers[i], &ring))
            continue; // the board was closed: nothing of it is left to guard
        if (std::memcmp(ring.data(), m_anRing[i].data(), ring.size() * sizeof(std::uint16_t)) == 0)
            continue; // the pixel loop below only names the first change
        size_t nAt = 0;
        for (const Strip& strip : Strips())
            for (FxU32 y = 0; y < strip.nHeight; ++y)
                for (FxU32 x = 0; x < strip.nWidth; ++x, ++nAt)
                    if (ring[nAt] != m_anRing[i][nAt])
                    {
                        std::fprintf(stderr,
                                     "fuzz-glide: %s: %s buffer pixel (%u, %u) outside the clip "
                                     "window changed from 0x%04x to 0x%04x (%s)\n",
                                     pchWhen, kBufferNames[i], strip.nX + x, strip.nY + y,
                                     m_anRing[i][nAt], ring[nAt], strContext.c_str());
                        __builtin_trap();
                    }
    }
}
