#include "PixelLayout.h"

#include <cstring>

namespace StandIn
{

namespace
{

const int kMaxDimension = 32768;

bool MaskShape(uint32_t uMask, int* pShift, int* pBits)
{
    if (uMask == 0)
        return false;
    int nShift = 0;
    while (!(uMask & (1u << nShift)))
        ++nShift;
    int nBits = 0;
    while (nShift + nBits < 32 && (uMask & (1u << (nShift + nBits))))
        ++nBits;
    if ((uMask >> nShift) != ((nBits == 32) ? 0xFFFFFFFFu : ((1u << nBits) - 1)))
        return false; // holes
    *pShift = nShift;
    *pBits = nBits;
    return true;
}

// Widens an n-bit channel value to 8 bits by repeating its top bits.
uint32_t Widen(uint32_t uValue, int nBits)
{
    if (nBits >= 8)
        return (uValue >> (nBits - 8)) & 0xFF;
    uint32_t uResult = 0;
    int nFilled = 0;
    while (nFilled < 8)
    {
        uResult = (uResult << nBits) | uValue;
        nFilled += nBits;
    }
    return (uResult >> (nFilled - 8)) & 0xFF;
}

uint32_t Narrow(uint32_t uChannel, int nBits)
{
    if (nBits >= 8)
        return uChannel << (nBits - 8);
    return uChannel >> (8 - nBits);
}

bool SetMasks(PixelLayout& layout, uint32_t uRed, uint32_t uGreen, uint32_t uBlue)
{
    const uint32_t auMasks[3] = {uRed, uGreen, uBlue};
    for (int i = 0; i < 3; ++i)
    {
        layout.auMask[i] = auMasks[i];
        if (!MaskShape(auMasks[i], &layout.anShift[i], &layout.anBits[i]))
            return false;
        if (layout.nBitCount == 16 && (auMasks[i] >> 16))
            return false;
    }
    if ((uRed & uGreen) || (uRed & uBlue) || (uGreen & uBlue))
        return false;
    if (layout.nBitCount == 16 && uRed == 0xF800 && uGreen == 0x07E0 && uBlue == 0x001F)
        layout.eKind = kPixelRgb565;
    if (layout.nBitCount == 32 && uRed == 0xFF0000 && uGreen == 0xFF00 && uBlue == 0xFF)
        layout.eKind = kPixelXrgb8888;
    return true;
}

// The three masks of a BI_BITFIELDS header: after a 40-byte header, else inside the larger one.
void ReadMasks(const BITMAPINFO* pInfo, uint32_t auMasks[3])
{
    const uint8_t* pSource = reinterpret_cast<const uint8_t*>(pInfo) + 40;
    memcpy(auMasks, pSource, sizeof(uint32_t) * 3);
}

bool Fail()
{
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
}

} // namespace

bool ParseBitmapInfo(const BITMAPINFO* pInfo, UINT uUsage, PixelLayout* pLayout)
{
    if (!pInfo || !pLayout)
        return Fail();
    const BITMAPINFOHEADER& header = pInfo->bmiHeader;
    if (header.biSize < 40 || header.biPlanes != 1)
        return Fail();
    if (header.biWidth <= 0 || header.biWidth > kMaxDimension)
        return Fail();
    if (header.biHeight == 0 || header.biHeight > kMaxDimension || header.biHeight < -kMaxDimension)
        return Fail();
    PixelLayout layout;
    layout.nWidth = header.biWidth;
    layout.nHeight = header.biHeight < 0 ? -header.biHeight : header.biHeight;
    layout.bTopDown = header.biHeight < 0;
    layout.nBitCount = header.biBitCount;
    layout.nStride = ((layout.nWidth * layout.nBitCount + 31) / 32) * 4;
    bool bBitfields = header.biCompression == BI_BITFIELDS;
    if (header.biCompression != BI_RGB && !bBitfields)
        return Fail();
    switch (layout.nBitCount)
    {
    case 8:
    {
        if (bBitfields || uUsage != DIB_RGB_COLORS)
            return Fail();
        layout.nColors = (header.biClrUsed == 0 || header.biClrUsed > 256)
                             ? 256
                             : static_cast<int>(header.biClrUsed);
        memcpy(layout.aColors, reinterpret_cast<const uint8_t*>(pInfo) + header.biSize,
               sizeof(RGBQUAD) * static_cast<size_t>(layout.nColors));
        break;
    }
    case 16:
    case 32:
    {
        uint32_t auMasks[3];
        if (bBitfields)
            ReadMasks(pInfo, auMasks);
        else if (layout.nBitCount == 16)
            auMasks[0] = 0x7C00, auMasks[1] = 0x03E0, auMasks[2] = 0x001F;
        else
            auMasks[0] = 0xFF0000, auMasks[1] = 0xFF00, auMasks[2] = 0xFF;
        if (!SetMasks(layout, auMasks[0], auMasks[1], auMasks[2]))
            return Fail();
        break;
    }
    case 24:
        if (bBitfields)
            return Fail();
        break;
    default:
        return Fail();
    }
    *pLayout = layout;
    return true;
}

PixelLayout MakeXrgbLayout(uint32_t* pPixels, int nWidth, int nHeight)
{
    PixelLayout layout;
    layout.nWidth = nWidth;
    layout.nHeight = nHeight;
    layout.bTopDown = true;
    layout.nBitCount = 32;
    layout.nStride = nWidth * 4;
    SetMasks(layout, 0xFF0000, 0xFF00, 0xFF);
    layout.pBits = reinterpret_cast<uint8_t*>(pPixels);
    return layout;
}

uint32_t ReadPixel(const PixelLayout& layout, int x, int y)
{
    const uint8_t* pRow = layout.Row(y);
    switch (layout.nBitCount)
    {
    case 8:
    {
        const RGBQUAD& entry = layout.aColors[pRow[x] < layout.nColors ? pRow[x] : 0];
        return (static_cast<uint32_t>(entry.rgbRed) << 16) |
               (static_cast<uint32_t>(entry.rgbGreen) << 8) | entry.rgbBlue;
    }
    case 24:
    {
        const uint8_t* p = pRow + x * 3;
        return (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[1]) << 8) | p[0];
    }
    default:
        break;
    }
    uint32_t uPixel;
    if (layout.nBitCount == 16)
    {
        uint16_t u16;
        memcpy(&u16, pRow + x * 2, 2);
        uPixel = u16;
    }
    else
    {
        memcpy(&uPixel, pRow + x * 4, 4);
    }
    uint32_t uResult = 0;
    for (int i = 0; i < 3; ++i)
    {
        uint32_t uValue = (uPixel & layout.auMask[i]) >> layout.anShift[i];
        uResult = (uResult << 8) | Widen(uValue, layout.anBits[i]);
    }
    return uResult;
}

void WritePixel(const PixelLayout& layout, int x, int y, uint32_t uRgb)
{
    uint8_t* pRow = layout.Row(y);
    const uint32_t auChannel[3] = {(uRgb >> 16) & 0xFF, (uRgb >> 8) & 0xFF, uRgb & 0xFF};
    switch (layout.nBitCount)
    {
    case 8:
    {
        // Nearest colour-table entry by squared distance.
        int nBest = 0;
        long lBest = -1;
        for (int i = 0; i < layout.nColors; ++i)
        {
            long dr = static_cast<long>(layout.aColors[i].rgbRed) - static_cast<long>(auChannel[0]);
            long dg =
                static_cast<long>(layout.aColors[i].rgbGreen) - static_cast<long>(auChannel[1]);
            long db =
                static_cast<long>(layout.aColors[i].rgbBlue) - static_cast<long>(auChannel[2]);
            long lDistance = dr * dr + dg * dg + db * db;
            if (lBest < 0 || lDistance < lBest)
                lBest = lDistance, nBest = i;
        }
        pRow[x] = static_cast<uint8_t>(nBest);
        return;
    }
    case 24:
        pRow[x * 3] = static_cast<uint8_t>(auChannel[2]);
        pRow[x * 3 + 1] = static_cast<uint8_t>(auChannel[1]);
        pRow[x * 3 + 2] = static_cast<uint8_t>(auChannel[0]);
        return;
    default:
        break;
    }
    uint32_t uPixel = 0;
    for (int i = 0; i < 3; ++i)
        uPixel |= (Narrow(auChannel[i], layout.anBits[i]) << layout.anShift[i]) & layout.auMask[i];
    if (layout.nBitCount == 16)
    {
        uint16_t u16 = static_cast<uint16_t>(uPixel);
        memcpy(pRow + x * 2, &u16, 2);
    }
    else
    {
        memcpy(pRow + x * 4, &uPixel, 4);
    }
}

const uint32_t* Rgb565Table()
{
    static const uint32_t* s_puTable = []
    {
        static uint32_t s_auTable[65536];
        for (uint32_t u = 0; u < 65536; ++u)
        {
            s_auTable[u] =
                (Widen(u >> 11, 5) << 16) | (Widen((u >> 5) & 0x3F, 6) << 8) | Widen(u & 0x1F, 5);
        }
        return s_auTable;
    }();
    return s_puTable;
}

uint32_t Rgb565ToXrgb(uint16_t uPixel)
{
    return Rgb565Table()[uPixel];
}

} // namespace StandIn
