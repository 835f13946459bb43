#include "Cursor.h"

#include "VideoSystem.h"

#include <SDL.h>

#include <atomic>

namespace StandIn
{

namespace
{
std::atomic<LONG> g_nCursorX{0};
std::atomic<LONG> g_nCursorY{0};
int g_nShowCount = 0; // the cursor is shown while this is >= 0
HCURSOR g_hCursor = nullptr;

// The stand-in has no resources: every icon or cursor asked for is one generic handle per
// identifier, never null, so a class registration that loads them goes through as on Windows.
const ULONG_PTR kIconHandleBase = 0x28000000;
} // namespace

POINT CursorScreenPosition()
{
    POINT pt = {g_nCursorX.load(), g_nCursorY.load()};
    return pt;
}

void SetCursorScreenPosition(POINT pt)
{
    g_nCursorX = pt.x;
    g_nCursorY = pt.y;
}

void ResetCursor()
{
    g_nCursorX = 0;
    g_nCursorY = 0;
    g_nShowCount = 0;
    g_hCursor = nullptr;
    if (VideoSystem::IsActive())
        SDL_ShowCursor(SDL_ENABLE);
}

} // namespace StandIn

using namespace StandIn;

extern "C" HICON WINAPI LoadIconA(HINSTANCE, LPCSTR lpIconName)
{
    ULONG_PTR nId = IS_INTRESOURCE(lpIconName) ? reinterpret_cast<ULONG_PTR>(lpIconName) : 0xFFFF;
    return reinterpret_cast<HICON>(kIconHandleBase | nId);
}

extern "C" HCURSOR WINAPI LoadCursorA(HINSTANCE, LPCSTR lpCursorName)
{
    ULONG_PTR nId =
        IS_INTRESOURCE(lpCursorName) ? reinterpret_cast<ULONG_PTR>(lpCursorName) : 0xFFFF;
    return reinterpret_cast<HCURSOR>(kIconHandleBase | 0x10000 | nId);
}

extern "C" HCURSOR WINAPI SetCursor(HCURSOR hCursor)
{
    HCURSOR hPrevious = g_hCursor;
    g_hCursor = hCursor;
    return hPrevious;
}

// A display counter as on Windows: the cursor shows while the count is zero or more.
extern "C" int WINAPI ShowCursor(BOOL bShow)
{
    g_nShowCount += bShow ? 1 : -1;
    if (VideoSystem::IsActive())
        SDL_ShowCursor(g_nShowCount >= 0 ? SDL_ENABLE : SDL_DISABLE);
    return g_nShowCount;
}

extern "C" BOOL WINAPI GetCursorPos(LPPOINT lpPoint)
{
    if (!lpPoint)
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (VideoSystem::IsActive())
    {
        int nX = 0, nY = 0;
        SDL_GetGlobalMouseState(&nX, &nY);
        lpPoint->x = nX;
        lpPoint->y = nY;
        return TRUE;
    }
    *lpPoint = CursorScreenPosition();
    return TRUE;
}
