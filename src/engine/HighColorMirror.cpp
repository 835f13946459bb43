// HighColorMirror: 16-bit 5-6-5 top-down mirror with a grey-ramp palette.
#include "HighColorMirror.h"

#include <cstring>

namespace
{
// 5-6-5 channel masks, stored as the first three colour-table entries of a
// BI_BITFIELDS header.
const DWORD kRedMask = 0xF800;
const DWORD kGreenMask = 0x07E0;
const DWORD kBlueMask = 0x001F;

// LOGPALETTE with room for all 256 entries.
struct FullLogPalette
{
    WORD palVersion;
    WORD palNumEntries;
    PALETTEENTRY palPalEntry[256];
};
} // namespace

HighColorMirror::HighColorMirror(HWND hWnd, const RECT* pRect) : m_hPalette(nullptr)
{
    RECT rect;
    if (pRect)
        rect = *pRect;
    else
        GetClientRect(hWnd, &rect);
    Create(hWnd, &rect);
}

HighColorMirror::~HighColorMirror()
{
    Destroy();
}

void HighColorMirror::Create(HWND hWnd, const RECT* pRect)
{
    m_Rect = *pRect;
    m_hWnd = hWnd;
    const Int32 nRoundedWidth = RoundedWidth(GetRectWidth());
    const Int32 nHeight = GetRectHeight();

    std::memset(&m_BitmapInfo, 0, sizeof(m_BitmapInfo));
    BITMAPINFOHEADER& header = m_BitmapInfo.bmiHeader;
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = nRoundedWidth;
    header.biHeight = -nHeight; // negative: rows stored top row first
    header.biPlanes = 1;
    header.biBitCount = 16;
    header.biCompression = BI_BITFIELDS;
    header.biSizeImage = 0;
    header.biXPelsPerMeter = 0;
    header.biYPelsPerMeter = 0;
    header.biClrUsed = 0;
    header.biClrImportant = 0;
    std::memcpy(&m_BitmapInfo.bmiColors[0], &kRedMask, sizeof(DWORD));
    std::memcpy(&m_BitmapInfo.bmiColors[1], &kGreenMask, sizeof(DWORD));
    std::memcpy(&m_BitmapInfo.bmiColors[2], &kBlueMask, sizeof(DWORD));

    m_hMemDC = CreateCompatibleDC(nullptr);
    m_pPixels = nullptr;
    m_hDib = CreateDIBSection(m_hMemDC, reinterpret_cast<const BITMAPINFO*>(&m_BitmapInfo),
                              DIB_RGB_COLORS, &m_pPixels, nullptr, 0);
    m_hPrevObject = SelectObject(m_hMemDC, m_hDib);

    BuildPalette();
}

void HighColorMirror::Destroy()
{
    if (m_hPalette)
    {
        DeleteObject(m_hPalette);
        m_hPalette = nullptr;
    }
    WindowMirror::Destroy();
}

void HighColorMirror::RealizeInto(HDC hDC)
{
    SelectPalette(hDC, m_hPalette, FALSE);
    RealizePalette(hDC);
}

void HighColorMirror::BuildPalette()
{
    FullLogPalette logPalette;
    logPalette.palVersion = 0x300;
    logPalette.palNumEntries = 256;
    for (Int32 i = 0; i < 256; ++i)
    {
        logPalette.palPalEntry[i].peRed = static_cast<BYTE>(i);
        logPalette.palPalEntry[i].peGreen = static_cast<BYTE>(i);
        logPalette.palPalEntry[i].peBlue = static_cast<BYTE>(i);
        logPalette.palPalEntry[i].peFlags = 0;
    }
    InstallPalette(reinterpret_cast<const LOGPALETTE*>(&logPalette));
}

// Kept: the palette is realised on the screen as soon as the mirror exists;
// on a true-colour desktop this changes nothing that can be seen.
void HighColorMirror::InstallPalette(const LOGPALETTE* pLogPalette)
{
    if (m_hPalette)
        DeleteObject(m_hPalette);
    m_hPalette = CreatePalette(pLogPalette);
    HDC hScreen = GetDC(nullptr);
    SelectPalette(hScreen, m_hPalette, FALSE);
    RealizePalette(hScreen);
    UpdateColors(hScreen);
    ReleaseDC(nullptr, hScreen);
}
