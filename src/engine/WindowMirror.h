// WindowMirror: a GDI off-screen surface bound to one window.
//
// A memory device context with a DIB section selected into it, plus (in the
// variants) a 256-entry logical palette for palette-based desktops. The
// DisplayDevice uses one while the 3D board's own video output is switched
// off: each frame it reads Glide's back buffer straight into GetPixels() and
// then calls Present() to blit the surface into the window.
//
// Owner: the DisplayDevice, which creates the variant (HighColorMirror) with
// new, presents it once per frame (Present, per frame) and deletes it when
// leaving the mirrored state or closing. Destroy() leaves the object empty (no
// DC, no DIB); Create() or Recreate() fills it again.
//
// The virtual operations keep a fixed slot order: Create, Destroy,
// RealizeInto, SetPalette. There is deliberately no virtual destructor (it
// would take a slot); objects are deleted through the variant's own type,
// which is final, and the base destructor is protected.
#pragma once
#include <windows.h>
#include "Types.h"

class WindowMirror
{
  public:
    // Slot 0: build the surface for window hWnd covering *pRect.
    virtual void Create(HWND hWnd, const RECT* pRect) = 0;
    // Slot 1: release the DIB section and the memory DC.
    virtual void Destroy();
    // Slot 2: prepare hDC for the blit (palette selection in the variants).
    virtual void RealizeInto(HDC hDC);
    // Slot 3: take 768 bytes of red, green, blue. The base ignores them.
    virtual void SetPalette(const Byte* pbyRgb);

    // Destroy, then Create again with the stored window and a new rectangle.
    void Recreate(const RECT* pRect);
    // Blit the whole surface at (0, 0) of the mirror's own window (per frame).
    void Present();
    // Blit the surface at the rectangle's own position in hDC.
    BOOL PresentTo(HDC hDC);

    void* GetPixels() const { return m_pPixels; }
    HWND GetWindow() const { return m_hWnd; }
    HDC GetMemoryDC() const { return m_hMemDC; }
    const RECT& GetRect() const { return m_Rect; }
    const BITMAPINFO* GetBitmapInfo() const
    {
        return reinterpret_cast<const BITMAPINFO*>(&m_BitmapInfo);
    }

  protected:
    WindowMirror();
    // Not virtual on purpose (see above); the variant calls its own Destroy.
    ~WindowMirror();

    Int32 GetRectWidth() const { return m_Rect.right - m_Rect.left; }
    Int32 GetRectHeight() const { return m_Rect.bottom - m_Rect.top; }

    // A BITMAPINFO with room for a full 256-entry colour table; a 16-bit
    // BI_BITFIELDS surface keeps its three channel masks in the first entries.
    struct MirrorBitmapInfo
    {
        BITMAPINFOHEADER bmiHeader;
        RGBQUAD bmiColors[256];
    };

    RECT m_Rect;
    HWND m_hWnd;
    HDC m_hMemDC;
    HBITMAP m_hDib;
    HGDIOBJ m_hPrevObject;
    MirrorBitmapInfo m_BitmapInfo;
    void* m_pPixels;
};
