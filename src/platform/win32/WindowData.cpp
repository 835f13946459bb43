// What a window holds and reports: window longs (user data, procedure, styles, id, instance,
// the class's extra bytes), rectangles, visibility, and the screen metrics.
// The user data and every other long are pointer-sized (see windows.h on SetWindowLongA).
#include <windows.h>

#include "AdoptedWindow.h"
#include "VideoSystem.h"
#include "WindowRegistry.h"

#include <cstring>

using namespace StandIn;

namespace
{

Window* FindOrFail(HWND hWnd)
{
    Window* pWindow = WindowRegistry::Find(hWnd);
    if (!pWindow)
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return pWindow;
}

LONG_PTR StyleValue(const Window& window)
{
    DWORD dwStyle =
        window.dwStyle | (window.bVisible ? WS_VISIBLE : 0) | (window.bMinimized ? WS_MINIMIZE : 0);
    return static_cast<LONG>(dwStyle); // a LONG widened with its sign, as GetWindowLongPtr gives it
}

bool ExtraBytesFit(const Window& window, int nIndex)
{
    return nIndex >= 0 &&
           static_cast<size_t>(nIndex) + sizeof(LONG_PTR) <= window.extraBytes.size();
}

LONG_PTR ReadLong(const Window& window, int nIndex, bool* pbValid)
{
    *pbValid = true;
    switch (nIndex)
    {
    case GWLP_USERDATA:
        return window.lUserData;
    case GWLP_WNDPROC:
        return reinterpret_cast<LONG_PTR>(window.pfnProc);
    case GWLP_HINSTANCE:
        return reinterpret_cast<LONG_PTR>(window.hInstance);
    case GWLP_ID:
        return window.lId;
    case GWL_STYLE:
        return StyleValue(window);
    case GWL_EXSTYLE:
        return static_cast<LONG>(window.dwExStyle);
    default:
        break;
    }
    if (ExtraBytesFit(window, nIndex))
    {
        LONG_PTR lValue;
        memcpy(&lValue, window.extraBytes.data() + nIndex, sizeof(lValue));
        return lValue;
    }
    *pbValid = false;
    return 0;
}

void WriteLong(Window& window, int nIndex, LONG_PTR lValue)
{
    switch (nIndex)
    {
    case GWLP_USERDATA:
        window.lUserData = lValue;
        return;
    case GWLP_WNDPROC:
        window.pfnProc = reinterpret_cast<WNDPROC>(lValue);
        return;
    case GWLP_HINSTANCE:
        window.hInstance = reinterpret_cast<HINSTANCE>(lValue);
        return;
    case GWLP_ID:
        window.lId = lValue;
        return;
    case GWL_STYLE:
        window.dwStyle = static_cast<DWORD>(lValue) & ~(WS_VISIBLE | WS_MINIMIZE);
        return;
    case GWL_EXSTYLE:
        window.dwExStyle = static_cast<DWORD>(lValue);
        return;
    default:
        memcpy(window.extraBytes.data() + nIndex, &lValue, sizeof(lValue));
        return;
    }
}

} // namespace

extern "C" LONG_PTR WINAPI GetWindowLongPtrA(HWND hWnd, int nIndex)
{
    Window* pWindow = FindOrFail(hWnd);
    if (!pWindow)
        return 0;
    bool bValid = false;
    LONG_PTR lValue = ReadLong(*pWindow, nIndex, &bValid);
    if (!bValid)
        SetLastError(ERROR_INVALID_INDEX);
    return lValue;
}

// Returns the previous value; 0 with ERROR_INVALID_INDEX or ERROR_INVALID_WINDOW_HANDLE on
// failure. A WNDPROC set here takes effect from the next message.
extern "C" LONG_PTR WINAPI SetWindowLongPtrA(HWND hWnd, int nIndex, LONG_PTR dwNewLong)
{
    Window* pWindow = FindOrFail(hWnd);
    if (!pWindow)
        return 0;
    bool bValid = false;
    LONG_PTR lPrevious = ReadLong(*pWindow, nIndex, &bValid);
    if (!bValid)
    {
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
    WriteLong(*pWindow, nIndex, dwNewLong);
    return lPrevious;
}

extern "C" LONG_PTR WINAPI GetWindowLongA(HWND hWnd, int nIndex)
{
    return GetWindowLongPtrA(hWnd, nIndex);
}

extern "C" LONG_PTR WINAPI SetWindowLongA(HWND hWnd, int nIndex, LONG_PTR dwNewLong)
{
    return SetWindowLongPtrA(hWnd, nIndex, dwNewLong);
}

extern "C" BOOL WINAPI IsWindow(HWND hWnd)
{
    return WindowRegistry::Find(hWnd) != nullptr;
}

extern "C" BOOL WINAPI IsWindowVisible(HWND hWnd)
{
    Window* pWindow = WindowRegistry::Find(hWnd);
    return pWindow && pWindow->bVisible;
}

extern "C" BOOL WINAPI IsIconic(HWND hWnd)
{
    Window* pWindow = WindowRegistry::Find(hWnd);
    return pWindow && pWindow->bMinimized;
}

extern "C" BOOL WINAPI GetClientRect(HWND hWnd, LPRECT lpRect)
{
    Window* pWindow = FindOrFail(hWnd);
    if (!pWindow || !lpRect)
        return FALSE;
    *lpRect = {0, 0, pWindow->ClientWidth(), pWindow->ClientHeight()};
    return TRUE;
}

extern "C" BOOL WINAPI GetWindowRect(HWND hWnd, LPRECT lpRect)
{
    Window* pWindow = FindOrFail(hWnd);
    if (!pWindow || !lpRect)
        return FALSE;
    *lpRect = pWindow->rcWindow;
    return TRUE;
}

namespace
{
// A program drawing into an adopted window sees that window as its screen.
void ScreenSize(int* pnWidth, int* pnHeight)
{
    if (!AdoptedWindow::GetScreenSize(pnWidth, pnHeight))
        VideoSystem::GetScreenSize(pnWidth, pnHeight);
}
} // namespace

extern "C" int WINAPI GetSystemMetrics(int nIndex)
{
    int nWidth = 0, nHeight = 0;
    switch (nIndex)
    {
    case SM_CXSCREEN:
        ScreenSize(&nWidth, &nHeight);
        return nWidth;
    case SM_CYSCREEN:
        ScreenSize(&nWidth, &nHeight);
        return nHeight;
    default:
        return 0;
    }
}
