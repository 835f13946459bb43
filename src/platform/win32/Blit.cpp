// The GDI drawing calls: BitBlt, StretchDIBits, PatBlt, FillRect. Drawing into a window's
// device context changes its picture at once (see WindowSurface for when it is presented).
// Raster operations: SRCCOPY, and the sourceless BLACKNESS, WHITENESS and PATCOPY (the
// selected brush). Any other is refused (FALSE / 0) with ERROR_INVALID_PARAMETER.
#include <windows.h>

#include "DeviceContexts.h"
#include "GdiObjects.h"
#include "PixelCopy.h"

#include <cstdlib>

using namespace StandIn;

namespace
{

bool Fail()
{
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
}

// The colour a sourceless raster operation paints; false when it paints nothing.
bool SourcelessColour(DWORD rop, const DeviceContext& context, uint32_t* puRgb, bool* pbKnown)
{
    *pbKnown = true;
    switch (rop)
    {
    case BLACKNESS:
        *puRgb = 0;
        return true;
    case WHITENESS:
        *puRgb = 0xFFFFFF;
        return true;
    case PATCOPY:
    {
        GdiObject* pBrush = GdiObjects::Find(context.hBrush, kGdiBrush);
        if (!pBrush || pBrush->bHollow)
            return false;
        *puRgb = XrgbFromColorRef(pBrush->crColor);
        return true;
    }
    default:
        *pbKnown = false;
        return false;
    }
}

// Normalises a rectangle given with a negative extent.
PixelRect Normalised(int x, int y, int nWidth, int nHeight)
{
    if (nWidth < 0)
        x += nWidth, nWidth = -nWidth;
    if (nHeight < 0)
        y += nHeight, nHeight = -nHeight;
    return {x, y, nWidth, nHeight};
}

BOOL Paint(HDC hdc, const PixelRect& rect, DWORD rop)
{
    DeviceContext* pContext = DeviceContexts::Find(hdc);
    if (!pContext)
        return Fail();
    uint32_t uRgb = 0;
    bool bKnown = false;
    bool bPaints = SourcelessColour(rop, *pContext, &uRgb, &bKnown);
    if (!bKnown)
        return Fail();
    PixelLayout target;
    HWND hPresent = nullptr;
    if (bPaints && DeviceContexts::Target(hdc, &target, &hPresent))
    {
        FillRectangle(target, rect, uRgb);
        DeviceContexts::MarkChanged(hPresent);
    }
    return TRUE;
}

} // namespace

extern "C" BOOL WINAPI BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1,
                              DWORD rop)
{
    if (rop != SRCCOPY)
        return Paint(hdc, Normalised(x, y, cx, cy), rop);
    if (!DeviceContexts::Find(hdc) || !DeviceContexts::Find(hdcSrc))
        return Fail();
    if (cx <= 0 || cy <= 0)
        return TRUE;
    PixelLayout source, target;
    HWND hSourceWindow = nullptr, hPresent = nullptr;
    // From the screen there is nothing to read; into the screen nothing shows.
    if (!DeviceContexts::Target(hdcSrc, &source, &hSourceWindow))
        return TRUE;
    if (!DeviceContexts::Target(hdc, &target, &hPresent))
        return TRUE;
    StretchCopy(source, {x1, y1, cx, cy}, target, {x, y, cx, cy}, false, false);
    DeviceContexts::MarkChanged(hPresent);
    return TRUE;
}

// The source rectangle is in the DIB's own coordinates: from the bottom row up for a bottom-up
// DIB, from the top row down for a top-down one. Opposite signs of the source and destination
// extents mirror the picture. Returns the number of source rows taken, 0 on failure.
extern "C" int WINAPI StretchDIBits(HDC hdc, int xDest, int yDest, int DestWidth, int DestHeight,
                                    int xSrc, int ySrc, int SrcWidth, int SrcHeight,
                                    const VOID* lpBits, const BITMAPINFO* lpbmi, UINT iUsage,
                                    DWORD rop)
{
    if (rop != SRCCOPY)
        return Paint(hdc, Normalised(xDest, yDest, DestWidth, DestHeight), rop) ? abs(SrcHeight)
                                                                                : 0;
    PixelLayout source;
    if (!DeviceContexts::Find(hdc) || !lpBits || !ParseBitmapInfo(lpbmi, iUsage, &source))
        return Fail();
    if (DestWidth == 0 || DestHeight == 0 || SrcWidth == 0 || SrcHeight == 0)
        return 0;
    source.pBits = static_cast<uint8_t*>(const_cast<VOID*>(lpBits));
    bool bMirrorX = (DestWidth < 0) != (SrcWidth < 0);
    bool bMirrorY = (DestHeight < 0) != (SrcHeight < 0);
    PixelRect to = Normalised(xDest, yDest, DestWidth, DestHeight);
    PixelRect from = Normalised(xSrc, ySrc, SrcWidth, SrcHeight);
    if (!source.bTopDown)
        from.y = source.nHeight - from.y - from.nHeight;
    PixelLayout target;
    HWND hPresent = nullptr;
    if (DeviceContexts::Target(hdc, &target, &hPresent))
    {
        StretchCopy(source, from, target, to, bMirrorX, bMirrorY);
        DeviceContexts::MarkChanged(hPresent);
    }
    return from.nHeight;
}

extern "C" BOOL WINAPI PatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop)
{
    return Paint(hdc, Normalised(x, y, w, h), rop);
}

extern "C" int WINAPI FillRect(HDC hDC, const RECT* lprc, HBRUSH hbr)
{
    GdiObject* pBrush = GdiObjects::Find(hbr, kGdiBrush);
    if (!lprc || !pBrush || !DeviceContexts::Find(hDC))
        return Fail();
    PixelLayout target;
    HWND hPresent = nullptr;
    if (!pBrush->bHollow && DeviceContexts::Target(hDC, &target, &hPresent))
    {
        PixelRect rect = {lprc->left, lprc->top, lprc->right - lprc->left,
                          lprc->bottom - lprc->top};
        FillRectangle(target, rect, XrgbFromColorRef(pBrush->crColor));
        DeviceContexts::MarkChanged(hPresent);
    }
    return 1;
}
