// Presenter: StretchDIBits into the output window with black bars.
#include "Presenter.h"
#include <cmath>
#include <new>

namespace
{
// A BITMAPINFO with room for the three colour masks of a 5-6-5 DIB.
struct Bitmap565
{
    BITMAPINFOHEADER header;
    DWORD anMasks[3];
};
} // namespace

Presenter::~Presenter()
{
    delete[] m_pGammaFrame;
}

void Presenter::SetGamma(float fGamma)
{
    if (!(fGamma >= 0.1f && fGamma <= 10.0f))
        return;
    m_bGamma = fGamma != 1.0f;
    // Gamma tables on the 5- and 6-bit channels of the 565 frame.
    for (Int32 v = 0; v < 64; ++v)
    {
        const double dIn = v / 63.0;
        const Int32 n6 = Int32(std::floor(std::pow(dIn, 1.0 / fGamma) * 63.0 + 0.5));
        m_anGreen[v] = std::uint16_t(n6 << 5);
        if (v < 32)
        {
            const Int32 n5 = Int32(std::floor(std::pow(v / 31.0, 1.0 / fGamma) * 31.0 + 0.5));
            m_anRed[v] = std::uint16_t(n5 << 11);
            m_anBlue[v] = std::uint16_t(n5);
        }
    }
}

const std::uint16_t* Presenter::ApplyGamma(const std::uint16_t* pPixels, Int32 nCount)
{
    if (!m_bGamma)
        return pPixels;
    if (nCount > m_nGammaCapacity)
    {
        delete[] m_pGammaFrame;
        m_nGammaCapacity = 0;
        m_pGammaFrame = new (std::nothrow) std::uint16_t[size_t(nCount)];
        if (!m_pGammaFrame)
            return pPixels;
        m_nGammaCapacity = nCount;
    }
    for (Int32 i = 0; i < nCount; ++i)
    {
        const std::uint16_t p = pPixels[i];
        m_pGammaFrame[i] =
            std::uint16_t(m_anRed[p >> 11] | m_anGreen[(p >> 5) & 0x3F] | m_anBlue[p & 0x1F]);
    }
    return m_pGammaFrame;
}

PresentRect Presenter::Fit(Int32 nClientWidth, Int32 nClientHeight, Int32 nFrameWidth,
                           Int32 nFrameHeight)
{
    PresentRect rect;
    if (nClientWidth <= 0 || nClientHeight <= 0 || nFrameWidth <= 0 || nFrameHeight <= 0)
        return rect;
    if (Int64(nClientWidth) * nFrameHeight > Int64(nClientHeight) * nFrameWidth)
    {
        // Wider than the frame: full height, bars left and right.
        rect.nHeight = nClientHeight;
        rect.nWidth = Int32(Int64(nClientHeight) * nFrameWidth / nFrameHeight);
        rect.x = (nClientWidth - rect.nWidth) / 2;
    }
    else
    {
        rect.nWidth = nClientWidth;
        rect.nHeight = Int32(Int64(nClientWidth) * nFrameHeight / nFrameWidth);
        rect.y = (nClientHeight - rect.nHeight) / 2;
    }
    return rect;
}

void Presenter::Present(const std::uint16_t* pPixels, Int32 nWidth, Int32 nHeight)
{
    HWND hWnd = m_hWnd ? m_hWnd : GetActiveWindow();
    if (!hWnd || !pPixels)
        return;
    RECT client;
    if (!GetClientRect(hWnd, &client))
        return;
    const Int32 nClientWidth = Int32(client.right - client.left);
    const Int32 nClientHeight = Int32(client.bottom - client.top);
    const PresentRect rect = Fit(nClientWidth, nClientHeight, nWidth, nHeight);
    if (rect.nWidth <= 0 || rect.nHeight <= 0)
        return;
    HDC hDC = GetDC(hWnd);
    if (!hDC)
        return;
    if (rect.x > 0)
    {
        PatBlt(hDC, 0, 0, rect.x, nClientHeight, BLACKNESS);
        PatBlt(hDC, rect.x + rect.nWidth, 0, nClientWidth - rect.x - rect.nWidth, nClientHeight,
               BLACKNESS);
    }
    if (rect.y > 0)
    {
        PatBlt(hDC, 0, 0, nClientWidth, rect.y, BLACKNESS);
        PatBlt(hDC, 0, rect.y + rect.nHeight, nClientWidth, nClientHeight - rect.y - rect.nHeight,
               BLACKNESS);
    }
    Bitmap565 info = {};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = nWidth;
    info.header.biHeight = -nHeight; // top-down
    info.header.biPlanes = 1;
    info.header.biBitCount = 16;
    info.header.biCompression = BI_BITFIELDS;
    info.anMasks[0] = 0xF800;
    info.anMasks[1] = 0x07E0;
    info.anMasks[2] = 0x001F;
    const std::uint16_t* pShown = ApplyGamma(pPixels, nWidth * nHeight);
    StretchDIBits(hDC, rect.x, rect.y, rect.nWidth, rect.nHeight, 0, 0, nWidth, nHeight, pShown,
                  reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS, SRCCOPY);
    ReleaseDC(hWnd, hDC);
}
