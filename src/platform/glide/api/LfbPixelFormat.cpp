// LfbPixelFormat: decoding and encoding the LFB write modes.
#include "LfbPixelFormat.h"
#include "GlideMap.h"
#include <cstring>

namespace
{
UInt32 Load32(const Byte* p)
{
    UInt32 n;
    std::memcpy(&n, p, 4);
    return n;
}

void Store32(Byte* p, UInt32 n)
{
    std::memcpy(p, &n, 4);
}

// 5- and 6-bit channels widen by repeating their top bits, as read-back for blending does.
UInt32 Widen5(UInt32 n)
{
    return (n << 3) | (n >> 2);
}

UInt32 Widen6(UInt32 n)
{
    return (n << 2) | (n >> 4);
}

bool RedBlueSwapped(GrColorFormat_t eOrder)
{
    return eOrder == GR_COLORFORMAT_ABGR || eOrder == GR_COLORFORMAT_BGRA;
}

bool AlphaLast(GrColorFormat_t eOrder)
{
    return eOrder == GR_COLORFORMAT_RGBA || eOrder == GR_COLORFORMAT_BGRA;
}
} // namespace

bool LfbPixelFormat::IsWriteMode(GrLfbWriteMode_t eMode)
{
    switch (eMode)
    {
    case GR_LFBWRITEMODE_565:
    case GR_LFBWRITEMODE_555:
    case GR_LFBWRITEMODE_1555:
    case GR_LFBWRITEMODE_888:
    case GR_LFBWRITEMODE_8888:
    case GR_LFBWRITEMODE_565_DEPTH:
    case GR_LFBWRITEMODE_555_DEPTH:
    case GR_LFBWRITEMODE_1555_DEPTH:
    case GR_LFBWRITEMODE_ZA16:
        return true;
    default:
        return false;
    }
}

LfbPixelFormat::LfbPixelFormat(GrLfbWriteMode_t eMode, GrColorFormat_t eOrder, bool bSwizzleBytes,
                               bool bSwapWords)
    : m_eMode(eMode), m_eOrder(eOrder), m_bSwizzleBytes(bSwizzleBytes), m_bSwapWords(bSwapWords)
{
}

Int32 LfbPixelFormat::BytesPerPixel() const
{
    switch (m_eMode)
    {
    case GR_LFBWRITEMODE_888:
    case GR_LFBWRITEMODE_8888:
    case GR_LFBWRITEMODE_565_DEPTH:
    case GR_LFBWRITEMODE_555_DEPTH:
    case GR_LFBWRITEMODE_1555_DEPTH:
        return 4;
    default:
        return 2;
    }
}

bool LfbPixelFormat::HasAlpha() const
{
    return m_eMode == GR_LFBWRITEMODE_1555 || m_eMode == GR_LFBWRITEMODE_8888 ||
           m_eMode == GR_LFBWRITEMODE_1555_DEPTH;
}

bool LfbPixelFormat::HasDepth() const
{
    return m_eMode == GR_LFBWRITEMODE_565_DEPTH || m_eMode == GR_LFBWRITEMODE_555_DEPTH ||
           m_eMode == GR_LFBWRITEMODE_1555_DEPTH || m_eMode == GR_LFBWRITEMODE_ZA16;
}

bool LfbPixelFormat::IsNative16() const
{
    const bool bNativeLayout = (m_eMode == GR_LFBWRITEMODE_565 && !RedBlueSwapped(m_eOrder)) ||
                               m_eMode == GR_LFBWRITEMODE_ZA16;
    return bNativeLayout && !m_bSwizzleBytes && !m_bSwapWords;
}

Int32 LfbPixelFormat::LockRowBytes(Int32 nWidth) const
{
    return BytesPerPixel() == 4 ? 4 * nWidth : 4 * ((nWidth + 1) / 2);
}

UInt32 LfbPixelFormat::Swizzled(UInt32 nWord) const
{
    // Both are their own inverse and they commute, so the same steps undo them.
    if (m_bSwizzleBytes)
        nWord =
            (nWord >> 24) | ((nWord >> 8) & 0xFF00u) | ((nWord << 8) & 0xFF0000u) | (nWord << 24);
    if (m_bSwapWords)
        nWord = (nWord >> 16) | (nWord << 16);
    return nWord;
}

UInt32 LfbPixelFormat::Bits(const Byte* pRow, Int32 x) const
{
    if (BytesPerPixel() == 4)
        return Swizzled(Load32(pRow + 4 * size_t(x)));
    if (!m_bSwizzleBytes && !m_bSwapWords)
    {
        std::uint16_t n;
        std::memcpy(&n, pRow + 2 * size_t(x), 2);
        return n;
    }
    const UInt32 nWord = Swizzled(Load32(pRow + 4 * size_t(x / 2)));
    return (x & 1) ? nWord >> 16 : nWord & 0xFFFFu;
}

void LfbPixelFormat::SetBits(Byte* pRow, Int32 x, UInt32 nBits) const
{
    if (BytesPerPixel() == 4)
    {
        Store32(pRow + 4 * size_t(x), Swizzled(nBits));
        return;
    }
    if (!m_bSwizzleBytes && !m_bSwapWords)
    {
        const std::uint16_t n = std::uint16_t(nBits);
        std::memcpy(pRow + 2 * size_t(x), &n, 2);
        return;
    }
    Byte* pWord = pRow + 4 * size_t(x / 2);
    UInt32 nWord = Swizzled(Load32(pWord));
    nWord = (x & 1) ? (nWord & 0xFFFFu) | (nBits << 16) : (nWord & 0xFFFF0000u) | (nBits & 0xFFFFu);
    Store32(pWord, Swizzled(nWord));
}

UInt32 LfbPixelFormat::DecodeColor16(UInt32 nBits, bool bAlpha, bool b565) const
{
    UInt32 nFirst, nGreen, nThird, nAlpha = 255;
    if (b565)
    {
        nFirst = Widen5((nBits >> 11) & 0x1Fu);
        nGreen = Widen6((nBits >> 5) & 0x3Fu);
        nThird = Widen5(nBits & 0x1Fu);
    }
    else
    {
        // Five bits per channel, the spare (or alpha) bit at the top or the bottom.
        const bool bLast = AlphaLast(m_eOrder);
        const UInt32 nColor = bLast ? nBits >> 1 : nBits;
        nFirst = Widen5((nColor >> 10) & 0x1Fu);
        nGreen = Widen5((nColor >> 5) & 0x1Fu);
        nThird = Widen5(nColor & 0x1Fu);
        if (bAlpha)
            nAlpha = ((bLast ? nBits : nBits >> 15) & 1u) ? 255u : 0u;
    }
    const UInt32 nRed = RedBlueSwapped(m_eOrder) ? nThird : nFirst;
    const UInt32 nBlue = RedBlueSwapped(m_eOrder) ? nFirst : nThird;
    return (nAlpha << 24) | (nRed << 16) | (nGreen << 8) | nBlue;
}

UInt32 LfbPixelFormat::EncodeColor16(UInt32 nArgb, bool bAlpha, bool b565) const
{
    const UInt32 nRed = (nArgb >> 16) & 0xFFu, nGreen = (nArgb >> 8) & 0xFFu, nBlue = nArgb & 0xFFu;
    const UInt32 nFirst = RedBlueSwapped(m_eOrder) ? nBlue : nRed;
    const UInt32 nThird = RedBlueSwapped(m_eOrder) ? nRed : nBlue;
    if (b565)
        return ((nFirst >> 3) << 11) | ((nGreen >> 2) << 5) | (nThird >> 3);
    const UInt32 nColor = ((nFirst >> 3) << 10) | ((nGreen >> 3) << 5) | (nThird >> 3);
    const UInt32 nAlphaBit = bAlpha && (nArgb >> 31) ? 1u : 0u;
    return AlphaLast(m_eOrder) ? (nColor << 1) | nAlphaBit : nColor | (nAlphaBit << 15);
}

UInt32 LfbPixelFormat::DecodeColor32(UInt32 nBits) const
{
    const UInt32 nArgb = GlideMap::ColorToArgb(nBits, m_eOrder);
    return m_eMode == GR_LFBWRITEMODE_888 ? nArgb | 0xFF000000u : nArgb;
}

UInt32 LfbPixelFormat::EncodeColor32(UInt32 nArgb) const
{
    const UInt32 a = nArgb >> 24, r = (nArgb >> 16) & 0xFFu, g = (nArgb >> 8) & 0xFFu,
                 b = nArgb & 0xFFu;
    switch (m_eOrder)
    {
    case GR_COLORFORMAT_ABGR:
        return (a << 24) | (b << 16) | (g << 8) | r;
    case GR_COLORFORMAT_RGBA:
        return (r << 24) | (g << 16) | (b << 8) | a;
    case GR_COLORFORMAT_BGRA:
        return (b << 24) | (g << 16) | (r << 8) | a;
    default:
        return nArgb;
    }
}

LfbPixel LfbPixelFormat::Read(const Byte* pRow, Int32 x) const
{
    const UInt32 nBits = Bits(pRow, x);
    LfbPixel pixel;
    switch (m_eMode)
    {
    case GR_LFBWRITEMODE_565:
    case GR_LFBWRITEMODE_555:
    case GR_LFBWRITEMODE_1555:
        pixel.nArgb = DecodeColor16(nBits, HasAlpha(), m_eMode == GR_LFBWRITEMODE_565);
        break;
    case GR_LFBWRITEMODE_888:
    case GR_LFBWRITEMODE_8888:
        pixel.nArgb = DecodeColor32(nBits);
        break;
    case GR_LFBWRITEMODE_565_DEPTH:
    case GR_LFBWRITEMODE_555_DEPTH:
    case GR_LFBWRITEMODE_1555_DEPTH:
        pixel.nArgb =
            DecodeColor16(nBits & 0xFFFFu, HasAlpha(), m_eMode == GR_LFBWRITEMODE_565_DEPTH);
        pixel.nDepth = std::uint16_t(nBits >> 16);
        break;
    case GR_LFBWRITEMODE_ZA16:
    default:
        pixel.nDepth = std::uint16_t(nBits);
        break;
    }
    return pixel;
}

void LfbPixelFormat::Write(Byte* pRow, Int32 x, const LfbPixel& pixel) const
{
    UInt32 nBits = 0;
    switch (m_eMode)
    {
    case GR_LFBWRITEMODE_565:
    case GR_LFBWRITEMODE_555:
    case GR_LFBWRITEMODE_1555:
        nBits = EncodeColor16(pixel.nArgb, HasAlpha(), m_eMode == GR_LFBWRITEMODE_565);
        break;
    case GR_LFBWRITEMODE_888:
    case GR_LFBWRITEMODE_8888:
        nBits = EncodeColor32(pixel.nArgb);
        break;
    case GR_LFBWRITEMODE_565_DEPTH:
    case GR_LFBWRITEMODE_555_DEPTH:
    case GR_LFBWRITEMODE_1555_DEPTH:
        nBits = EncodeColor16(pixel.nArgb, HasAlpha(), m_eMode == GR_LFBWRITEMODE_565_DEPTH) |
                (UInt32(pixel.nDepth) << 16);
        break;
    case GR_LFBWRITEMODE_ZA16:
    default:
        nBits = pixel.nDepth;
        break;
    }
    SetBits(pRow, x, nBits);
}
