// HighColorMirrorGdiLog: the wrapped GDI calls.
#include "HighColorMirrorGdiLog.h"

namespace
{
bool s_bLogging = false;
std::vector<GdiCall> s_calls;

uintptr_t V(const void* p)
{
    return reinterpret_cast<uintptr_t>(p);
}

template <class R> R Log(const char* pchName, std::vector<uintptr_t> args, R result)
{
    if (s_bLogging)
    {
        GdiCall call;
        call.name = pchName;
        call.args = std::move(args);
        call.result = (uintptr_t)(result);
        call.nPaletteVersion = 0;
        s_calls.push_back(std::move(call));
    }
    return result;
}
} // namespace

namespace HighColorMirrorGdiLog
{
void Start()
{
    s_calls.clear();
    s_bLogging = true;
}

void Stop()
{
    s_bLogging = false;
}

const std::vector<GdiCall>& Calls()
{
    return s_calls;
}

std::vector<std::string> Names()
{
    std::vector<std::string> names;
    for (const GdiCall& call : s_calls)
        names.push_back(call.name);
    return names;
}
} // namespace HighColorMirrorGdiLog

extern "C"
{
    HDC __real_GetDC(HWND);
    int __real_ReleaseDC(HWND, HDC);
    HDC __real_CreateCompatibleDC(HDC);
    HBITMAP __real_CreateDIBSection(HDC, const BITMAPINFO*, UINT, VOID**, HANDLE, DWORD);
    HGDIOBJ __real_SelectObject(HDC, HGDIOBJ);
    BOOL __real_DeleteObject(HGDIOBJ);
    BOOL __real_DeleteDC(HDC);
    BOOL __real_BitBlt(HDC, int, int, int, int, HDC, int, int, DWORD);
    HPALETTE __real_CreatePalette(const LOGPALETTE*);
    HPALETTE __real_SelectPalette(HDC, HPALETTE, BOOL);
    UINT __real_RealizePalette(HDC);
    BOOL __real_UpdateColors(HDC);

    HDC __wrap_GetDC(HWND hWnd)
    {
        return Log("GetDC", {V(hWnd)}, __real_GetDC(hWnd));
    }

    int __wrap_ReleaseDC(HWND hWnd, HDC hDC)
    {
        return Log("ReleaseDC", {V(hWnd), V(hDC)}, __real_ReleaseDC(hWnd, hDC));
    }

    HDC __wrap_CreateCompatibleDC(HDC hDC)
    {
        return Log("CreateCompatibleDC", {V(hDC)}, __real_CreateCompatibleDC(hDC));
    }

    HBITMAP __wrap_CreateDIBSection(HDC hDC, const BITMAPINFO* pInfo, UINT uUsage, VOID** ppvBits,
                                    HANDLE hSection, DWORD dwOffset)
    {
        return Log("CreateDIBSection",
                   {V(hDC), V(pInfo), uUsage, V(ppvBits), V(hSection), dwOffset},
                   __real_CreateDIBSection(hDC, pInfo, uUsage, ppvBits, hSection, dwOffset));
    }

    HGDIOBJ __wrap_SelectObject(HDC hDC, HGDIOBJ hObject)
    {
        return Log("SelectObject", {V(hDC), V(hObject)}, __real_SelectObject(hDC, hObject));
    }

    BOOL __wrap_DeleteObject(HGDIOBJ hObject)
    {
        return Log("DeleteObject", {V(hObject)}, __real_DeleteObject(hObject));
    }

    BOOL __wrap_DeleteDC(HDC hDC)
    {
        return Log("DeleteDC", {V(hDC)}, __real_DeleteDC(hDC));
    }

    BOOL __wrap_BitBlt(HDC hDC, int x, int y, int cx, int cy, HDC hSrc, int x1, int y1, DWORD dwRop)
    {
        return Log("BitBlt",
                   {V(hDC), uintptr_t(x), uintptr_t(y), uintptr_t(cx), uintptr_t(cy), V(hSrc),
                    uintptr_t(x1), uintptr_t(y1), dwRop},
                   __real_BitBlt(hDC, x, y, cx, cy, hSrc, x1, y1, dwRop));
    }

    HPALETTE __wrap_CreatePalette(const LOGPALETTE* pLogPalette)
    {
        HPALETTE hPalette =
            Log("CreatePalette", {V(pLogPalette)}, __real_CreatePalette(pLogPalette));
        if (s_bLogging && pLogPalette != nullptr)
        {
            GdiCall& call = s_calls.back();
            call.nPaletteVersion = pLogPalette->palVersion;
            call.palette.assign(pLogPalette->palPalEntry,
                                pLogPalette->palPalEntry + pLogPalette->palNumEntries);
        }
        return hPalette;
    }

    HPALETTE __wrap_SelectPalette(HDC hDC, HPALETTE hPalette, BOOL bForceBackground)
    {
        return Log("SelectPalette", {V(hDC), V(hPalette), uintptr_t(bForceBackground)},
                   __real_SelectPalette(hDC, hPalette, bForceBackground));
    }

    UINT __wrap_RealizePalette(HDC hDC)
    {
        return Log("RealizePalette", {V(hDC)}, __real_RealizePalette(hDC));
    }

    BOOL __wrap_UpdateColors(HDC hDC)
    {
        return Log("UpdateColors", {V(hDC)}, __real_UpdateColors(hDC));
    }
}
