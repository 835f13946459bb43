// DeviceContexts and GetDC, ReleaseDC, CreateCompatibleDC, DeleteDC, SelectObject,
// SelectPalette, RealizePalette, UpdateColors, SetStretchBltMode, GdiFlush.
#include "DeviceContexts.h"

#include "GdiObjects.h"
#include "HandleTable.h"
#include "WindowRegistry.h"

namespace StandIn
{

namespace
{

HandleTable<DeviceContext> g_contexts(kHandleDc);

void Select(HGDIOBJ hObject, int nChange)
{
    GdiObject* pObject = GdiObjects::Find(hObject);
    if (pObject)
        pObject->nSelections += nChange;
}

// Every context starts with the stock objects Windows gives it.
HDC NewContext(DcKind eKind, HWND hWnd)
{
    DeviceContext* pContext = nullptr;
    uintptr_t h = g_contexts.Add(&pContext);
    if (!h)
        return nullptr;
    pContext->eKind = eKind;
    pContext->hWnd = hWnd;
    pContext->hBrush = GetStockObject(WHITE_BRUSH);
    pContext->hPen = GetStockObject(BLACK_PEN);
    pContext->hFont = GetStockObject(SYSTEM_FONT);
    pContext->hPalette = GetStockObject(DEFAULT_PALETTE);
    if (eKind == kDcMemory)
    {
        pContext->hBitmap = GdiObjects::DefaultBitmap();
        Select(pContext->hBitmap, 1);
    }
    return reinterpret_cast<HDC>(h);
}

void FreeContext(HDC hdc, DeviceContext& context)
{
    Window* pWindow = context.eKind == kDcWindow ? WindowRegistry::Find(context.hWnd) : nullptr;
    if (pWindow)
        pWindow->surface.PresentIfChanged();
    // Objects still selected are set free (Windows leaves them to the program to delete).
    for (HGDIOBJ hObject :
         {context.hBitmap, context.hBrush, context.hPen, context.hFont, context.hPalette})
    {
        Select(hObject, -1);
    }
    g_contexts.Remove(reinterpret_cast<uintptr_t>(hdc));
}

HGDIOBJ* SlotFor(DeviceContext& context, GdiKind eKind)
{
    switch (eKind)
    {
    case kGdiBitmap:
        return &context.hBitmap;
    case kGdiBrush:
        return &context.hBrush;
    case kGdiPen:
        return &context.hPen;
    case kGdiFont:
        return &context.hFont;
    case kGdiPalette:
        return &context.hPalette;
    }
    return nullptr;
}

} // namespace

DeviceContext* DeviceContexts::Find(HDC hdc)
{
    return hdc ? g_contexts.Find(reinterpret_cast<uintptr_t>(hdc)) : nullptr;
}

bool DeviceContexts::Target(HDC hdc, PixelLayout* pLayout, HWND* phPresent)
{
    *phPresent = nullptr;
    DeviceContext* pContext = Find(hdc);
    if (!pContext)
        return false;
    if (pContext->eKind == kDcMemory)
    {
        GdiObject* pBitmap = GdiObjects::Find(pContext->hBitmap, kGdiBitmap);
        if (!pBitmap || !pBitmap->layout.pBits)
            return false;
        *pLayout = pBitmap->layout;
        return true;
    }
    Window* pWindow = pContext->eKind == kDcWindow ? WindowRegistry::Find(pContext->hWnd) : nullptr;
    if (!pWindow)
        return false;
    *pLayout = pWindow->surface.GetLayout();
    *phPresent = pContext->hWnd;
    return true;
}

void DeviceContexts::MarkChanged(HWND hWnd)
{
    Window* pWindow = WindowRegistry::Find(hWnd);
    if (pWindow)
        pWindow->surface.MarkChanged();
}

void DeviceContexts::Reset()
{
    for (uintptr_t h : g_contexts.Handles())
        g_contexts.Remove(h);
}

} // namespace StandIn

using namespace StandIn;

extern "C" HDC WINAPI GetDC(HWND hWnd)
{
    if (!hWnd)
        return NewContext(kDcScreen, nullptr);
    if (!WindowRegistry::Find(hWnd))
    {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    return NewContext(kDcWindow, hWnd);
}

// 1 when the context was released; 0 for a memory context or an unknown handle.
extern "C" int WINAPI ReleaseDC(HWND, HDC hDC)
{
    DeviceContext* pContext = DeviceContexts::Find(hDC);
    if (!pContext || pContext->eKind == kDcMemory)
        return 0;
    FreeContext(hDC, *pContext);
    return 1;
}

extern "C" HDC WINAPI CreateCompatibleDC(HDC hdc)
{
    if (hdc && !DeviceContexts::Find(hdc))
    {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return NewContext(kDcMemory, nullptr);
}

extern "C" BOOL WINAPI DeleteDC(HDC hdc)
{
    DeviceContext* pContext = DeviceContexts::Find(hdc);
    if (!pContext)
    {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    FreeContext(hdc, *pContext);
    return TRUE;
}

// Returns the object of the same kind that was selected before; null when the object cannot
// go into this context (a bitmap into a window context, a bitmap already selected elsewhere,
// a palette, which goes through SelectPalette).
extern "C" HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ h)
{
    DeviceContext* pContext = DeviceContexts::Find(hdc);
    GdiObject* pObject = GdiObjects::Find(h);
    if (!pContext || !pObject || pObject->eKind == kGdiPalette)
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    HGDIOBJ* phSlot = SlotFor(*pContext, pObject->eKind);
    if (*phSlot == h)
        return h;
    if (pObject->eKind == kGdiBitmap)
    {
        if (pContext->eKind != kDcMemory || (pObject->nSelections > 0 && !pObject->bStock))
            return nullptr;
    }
    HGDIOBJ hPrevious = *phSlot;
    Select(hPrevious, -1);
    Select(h, 1);
    *phSlot = h;
    return hPrevious;
}

// Palettes are taken and kept with no visible effect: the display is true-colour.
extern "C" HPALETTE WINAPI SelectPalette(HDC hdc, HPALETTE hPal, BOOL)
{
    DeviceContext* pContext = DeviceContexts::Find(hdc);
    if (!pContext || !GdiObjects::Find(hPal, kGdiPalette))
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    HGDIOBJ hPrevious = pContext->hPalette;
    Select(hPrevious, -1);
    Select(hPal, 1);
    pContext->hPalette = hPal;
    return reinterpret_cast<HPALETTE>(hPrevious);
}

// No entry of a true-colour display's palette changes.
extern "C" UINT WINAPI RealizePalette(HDC hdc)
{
    return DeviceContexts::Find(hdc) ? 0 : GDI_ERROR;
}

extern "C" BOOL WINAPI UpdateColors(HDC hdc)
{
    return DeviceContexts::Find(hdc) ? TRUE : FALSE;
}

// The mode is kept; stretching always takes the nearest source pixel (COLORONCOLOR).
extern "C" int WINAPI SetStretchBltMode(HDC hdc, int mode)
{
    DeviceContext* pContext = DeviceContexts::Find(hdc);
    if (!pContext || mode < BLACKONWHITE || mode > HALFTONE)
        return 0;
    int nPrevious = pContext->nStretchMode;
    pContext->nStretchMode = mode;
    return nPrevious;
}

extern "C" BOOL WINAPI GdiFlush(void)
{
    return TRUE;
}
