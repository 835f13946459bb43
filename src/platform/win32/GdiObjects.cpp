// GdiObjects and the calls that make and free them: GetStockObject, CreateSolidBrush,
// CreateDIBSection, CreatePalette, DeleteObject, GetObjectA.
#include "GdiObjects.h"

#include "HandleTable.h"

#include <new>

namespace StandIn
{

namespace
{

HandleTable<GdiObject> g_objects(kHandleGdi);

const int kStockCount = 18; // GetStockObject indices 0..17 (9 is unused)
HGDIOBJ g_ahStock[kStockCount] = {};
HGDIOBJ g_hDefaultBitmap = nullptr;

HGDIOBJ AddObject(GdiKind eKind, GdiObject** ppObject)
{
    GdiObject* pObject = nullptr;
    uintptr_t h = g_objects.Add(&pObject);
    if (!h)
        return nullptr;
    pObject->eKind = eKind;
    if (ppObject)
        *ppObject = pObject;
    return reinterpret_cast<HGDIOBJ>(h);
}

HGDIOBJ AddStock(GdiKind eKind, COLORREF crColor, bool bHollow)
{
    GdiObject* pObject = nullptr;
    HGDIOBJ h = AddObject(eKind, &pObject);
    pObject->bStock = true;
    pObject->crColor = crColor;
    pObject->bHollow = bHollow;
    return h;
}

// The stock objects are made together, first, so their handles are the same in every run.
void MakeStockObjects()
{
    if (g_hDefaultBitmap)
        return;
    const COLORREF acrBrushes[] = {RGB(255, 255, 255), RGB(192, 192, 192), RGB(128, 128, 128),
                                   RGB(64, 64, 64), RGB(0, 0, 0)};
    for (int i = WHITE_BRUSH; i <= BLACK_BRUSH; ++i)
        g_ahStock[i] = AddStock(kGdiBrush, acrBrushes[i], false);
    g_ahStock[NULL_BRUSH] = AddStock(kGdiBrush, 0, true);
    g_ahStock[WHITE_PEN] = AddStock(kGdiPen, RGB(255, 255, 255), false);
    g_ahStock[BLACK_PEN] = AddStock(kGdiPen, RGB(0, 0, 0), false);
    g_ahStock[NULL_PEN] = AddStock(kGdiPen, 0, true);
    for (int i = OEM_FIXED_FONT; i <= 17; ++i)
    {
        g_ahStock[i] =
            i == DEFAULT_PALETTE ? AddStock(kGdiPalette, 0, false) : AddStock(kGdiFont, 0, false);
    }
    GdiObject* pPalette = g_objects.Find(reinterpret_cast<uintptr_t>(g_ahStock[DEFAULT_PALETTE]));
    pPalette->entries.assign(20, PALETTEENTRY{0, 0, 0, 0});
    GdiObject* pBitmap = nullptr;
    g_hDefaultBitmap = AddObject(kGdiBitmap, &pBitmap);
    pBitmap->bStock = true;
    pBitmap->pMemory.reset(new uint8_t[4]());
    pBitmap->layout = MakeXrgbLayout(reinterpret_cast<uint32_t*>(pBitmap->pMemory.get()), 1, 1);
}

} // namespace

GdiObject* GdiObjects::Find(HGDIOBJ hObject)
{
    MakeStockObjects();
    return hObject ? g_objects.Find(reinterpret_cast<uintptr_t>(hObject)) : nullptr;
}

GdiObject* GdiObjects::Find(HGDIOBJ hObject, GdiKind eKind)
{
    GdiObject* pObject = Find(hObject);
    return pObject && pObject->eKind == eKind ? pObject : nullptr;
}

HGDIOBJ GdiObjects::DefaultBitmap()
{
    MakeStockObjects();
    return g_hDefaultBitmap;
}

void GdiObjects::ResetNonStock()
{
    MakeStockObjects();
    for (uintptr_t h : g_objects.Handles())
    {
        GdiObject* pObject = g_objects.Find(h);
        if (pObject->bStock)
            pObject->nSelections = 0;
        else
            g_objects.Remove(h);
    }
}

} // namespace StandIn

using namespace StandIn;

extern "C" HGDIOBJ WINAPI GetStockObject(int i)
{
    MakeStockObjects();
    return i >= 0 && i < kStockCount ? g_ahStock[i] : nullptr;
}

extern "C" HBRUSH WINAPI CreateSolidBrush(COLORREF color)
{
    GdiObject* pObject = nullptr;
    MakeStockObjects();
    HGDIOBJ h = AddObject(kGdiBrush, &pObject);
    if (pObject)
        pObject->crColor = color & 0x00FFFFFF;
    return reinterpret_cast<HBRUSH>(h);
}

// A DIB section: the pixels are zeroed memory that the program may write directly, described
// by the BITMAPINFO (see PixelLayout.h for the layouts taken). File mappings are not offered.
extern "C" HBITMAP WINAPI CreateDIBSection(HDC, const BITMAPINFO* pbmi, UINT usage, VOID** ppvBits,
                                           HANDLE hSection, DWORD)
{
    if (ppvBits)
        *ppvBits = nullptr;
    PixelLayout layout;
    if (hSection || (usage != DIB_RGB_COLORS && usage != DIB_PAL_COLORS) ||
        !ParseBitmapInfo(pbmi, usage, &layout))
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    MakeStockObjects();
    GdiObject* pObject = nullptr;
    HGDIOBJ h = AddObject(kGdiBitmap, &pObject);
    if (pObject)
        pObject->pMemory.reset(new (std::nothrow) uint8_t[layout.ImageSize()]());
    if (!pObject || !pObject->pMemory)
    {
        if (h)
            g_objects.Remove(reinterpret_cast<uintptr_t>(h));
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    layout.pBits = pObject->pMemory.get();
    pObject->layout = layout;
    if (ppvBits)
        *ppvBits = layout.pBits;
    return reinterpret_cast<HBITMAP>(h);
}

extern "C" HPALETTE WINAPI CreatePalette(const LOGPALETTE* plpal)
{
    if (!plpal || plpal->palVersion != 0x300 || plpal->palNumEntries == 0 ||
        plpal->palNumEntries > 1024)
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    MakeStockObjects();
    GdiObject* pObject = nullptr;
    HGDIOBJ h = AddObject(kGdiPalette, &pObject);
    if (pObject)
        pObject->entries.assign(plpal->palPalEntry, plpal->palPalEntry + plpal->palNumEntries);
    return reinterpret_cast<HPALETTE>(h);
}

extern "C" BOOL WINAPI DeleteObject(HGDIOBJ ho)
{
    GdiObject* pObject = GdiObjects::Find(ho);
    if (!pObject)
    {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (pObject->bStock)
        return TRUE; // stock objects are never deleted
    if (pObject->nSelections > 0)
        return FALSE; // still selected into a device context
    g_objects.Remove(reinterpret_cast<uintptr_t>(ho));
    return TRUE;
}

// BITMAP for a bitmap (bmBits is the DIB section's memory), the entry count (a WORD) for a
// palette; other objects have no description here and give 0.
extern "C" int WINAPI GetObjectA(HANDLE h, int c, LPVOID pv)
{
    GdiObject* pObject = GdiObjects::Find(h);
    if (!pObject)
        return 0;
    if (pObject->eKind == kGdiBitmap)
    {
        if (!pv)
            return sizeof(BITMAP);
        if (c < static_cast<int>(sizeof(BITMAP)))
            return 0;
        BITMAP* pBitmap = static_cast<BITMAP*>(pv);
        pBitmap->bmType = 0;
        pBitmap->bmWidth = pObject->layout.nWidth;
        pBitmap->bmHeight = pObject->layout.nHeight;
        pBitmap->bmWidthBytes = pObject->layout.nStride;
        pBitmap->bmPlanes = 1;
        pBitmap->bmBitsPixel = static_cast<WORD>(pObject->layout.nBitCount);
        pBitmap->bmBits = pObject->bStock ? nullptr : pObject->layout.pBits;
        return sizeof(BITMAP);
    }
    if (pObject->eKind == kGdiPalette)
    {
        if (!pv)
            return sizeof(WORD);
        if (c < static_cast<int>(sizeof(WORD)))
            return 0;
        *static_cast<WORD*>(pv) = static_cast<WORD>(pObject->entries.size());
        return sizeof(WORD);
    }
    return 0;
}
