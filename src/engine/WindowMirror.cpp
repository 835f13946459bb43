// WindowMirror: the surface-independent half of a window mirror.
#include "WindowMirror.h"

#include <cstring>

WindowMirror::WindowMirror()
    : m_Rect(), m_hWnd(nullptr), m_hMemDC(nullptr), m_hDib(nullptr), m_hPrevObject(nullptr),
      m_BitmapInfo(), m_pPixels(nullptr)
{
}

WindowMirror::~WindowMirror()
{
    // The variant has already destroyed the surface; this only catches a
    // variant that did not, and does nothing when the mirror is empty.
    WindowMirror::Destroy();
}

void WindowMirror::Destroy()
{
    if (m_hMemDC)
    {
        // The DIB must be out of the DC before it can be deleted.
        SelectObject(m_hMemDC, m_hPrevObject);
        DeleteObject(m_hDib);
        DeleteDC(m_hMemDC);
    }
    m_hMemDC = nullptr;
    m_hDib = nullptr;
    m_hPrevObject = nullptr;
    // Mended: the pixels went with the DIB section.
    m_pPixels = nullptr;
}

void WindowMirror::RealizeInto(HDC /*hDC*/) {}

void WindowMirror::SetPalette(const Byte* /*pbyRgb*/) {}

void WindowMirror::Recreate(const RECT* pRect)
{
    // Copy first: the caller may pass the mirror's own rectangle.
    RECT rect = *pRect;
    Destroy();
    Create(m_hWnd, &rect);
}

void WindowMirror::Present()
{
    HDC hDC = GetDC(m_hWnd);
    RealizeInto(hDC);
    // Kept: the unrounded size, at the window's top-left corner whatever the
    // rectangle's own position (PresentTo uses the position).
    BitBlt(hDC, 0, 0, GetRectWidth(), GetRectHeight(), m_hMemDC, 0, 0, SRCCOPY);
    ReleaseDC(m_hWnd, hDC);
}

BOOL WindowMirror::PresentTo(HDC hDC)
{
    RealizeInto(hDC);
    return BitBlt(hDC, m_Rect.left, m_Rect.top, GetRectWidth(), GetRectHeight(), m_hMemDC, 0, 0,
                  SRCCOPY);
}
