// PixelLayout: a view of pixel memory in one of the device-independent bitmap layouts, and the
// reading and writing of single pixels in it.
//
// Layouts: 8 bits with a colour table; 16 bits with channel masks (5-5-5 for BI_RGB, any
// contiguous masks for BI_BITFIELDS, typically 5-6-5); 24 bits B, G, R; 32 bits with masks
// (x8-8-8 for BI_RGB). Rows are padded to 32-bit words; bottom-up unless the height was
// negative. Coordinates here are always counted from the top row.
// A channel narrower than 8 bits widens by repeating its top bits (5-bit 31 becomes 255, 6-bit
// 32 becomes 130), so full intensity stays full intensity on the 8-bit display.
#pragma once

#include <windows.h>

#include <cstdint>

namespace StandIn
{

enum PixelKind
{
    kPixelXrgb8888,
    kPixelRgb565,
    kPixelOther
};

struct PixelLayout
{
    int nWidth = 0;
    int nHeight = 0; // always positive
    bool bTopDown = false;
    int nBitCount = 0;
    int nStride = 0;                // bytes per row
    uint32_t auMask[3] = {0, 0, 0}; // red, green, blue (16 and 32 bits)
    int anShift[3] = {0, 0, 0};
    int anBits[3] = {0, 0, 0};
    int nColors = 0; // colour-table entries (8 bits)
    RGBQUAD aColors[256] = {};
    PixelKind eKind = kPixelOther;
    uint8_t* pBits = nullptr;

    uint8_t* Row(int y) const
    {
        return pBits + static_cast<intptr_t>(bTopDown ? y : nHeight - 1 - y) * nStride;
    }
    size_t ImageSize() const { return static_cast<size_t>(nStride) * static_cast<size_t>(nHeight); }
};

// Reads a BITMAPINFO as CreateDIBSection and StretchDIBits accept it. Returns false (with
// ERROR_INVALID_PARAMETER set) for a header it cannot use: size below 40, width or height of
// 0 or beyond 32768, planes other than 1, a bit count other than 8, 16, 24 or 32, a compression
// other than BI_RGB (or BI_BITFIELDS at 16 and 32 bits), empty or broken masks.
bool ParseBitmapInfo(const BITMAPINFO* pInfo, UINT uUsage, PixelLayout* pLayout);

// A 32-bit top-down layout of 0x00RRGGBB pixels (window pictures).
PixelLayout MakeXrgbLayout(uint32_t* pPixels, int nWidth, int nHeight);

uint32_t ReadPixel(const PixelLayout& layout, int x, int y); // 0x00RRGGBB
void WritePixel(const PixelLayout& layout, int x, int y,
                uint32_t uRgb); // nearest representable colour

// 0x00RRGGBB of a 5-6-5 pixel, by the widening rule above (a table, built once).
uint32_t Rgb565ToXrgb(uint16_t uPixel);
// The whole table: 65536 entries indexed by the 5-6-5 pixel.
const uint32_t* Rgb565Table();

} // namespace StandIn
