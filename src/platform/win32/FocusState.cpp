// FocusState and the USER calls on activation, focus and capture.
#include "FocusState.h"

#include "WindowRegistry.h"

namespace StandIn
{

namespace
{
HWND g_hActive = nullptr;
HWND g_hFocus = nullptr;
HWND g_hCapture = nullptr;

bool IsMinimized(HWND hWnd)
{
    Window* pWindow = WindowRegistry::Find(hWnd);
    return pWindow && pWindow->bMinimized;
}

void KillFocus(HWND hNewFocus)
{
    HWND hOld = g_hFocus;
    g_hFocus = nullptr;
    if (hOld)
        WindowRegistry::Send(hOld, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hNewFocus), 0);
}

bool FocusInside(HWND hTopLevel)
{
    return g_hFocus && WindowRegistry::TopLevelOf(g_hFocus) == hTopLevel;
}
} // namespace

HWND FocusState::Active()
{
    return g_hActive;
}
HWND FocusState::Focus()
{
    return g_hFocus;
}
HWND FocusState::Capture()
{
    return g_hCapture;
}

void FocusState::Activate(HWND hNew)
{
    HWND hOld = g_hActive;
    if (hOld == hNew)
        return;
    if (hOld && WindowRegistry::Find(hOld))
    {
        WindowRegistry::Send(hOld, WM_NCACTIVATE, FALSE, 0);
        WindowRegistry::Send(hOld, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, IsMinimized(hOld) ? 1 : 0),
                             reinterpret_cast<LPARAM>(hNew));
        if (FocusInside(hOld))
            KillFocus(nullptr);
        if (!hNew)
            WindowRegistry::Send(hOld, WM_ACTIVATEAPP, FALSE, 0);
    }
    g_hActive = WindowRegistry::Find(hNew) ? hNew : nullptr;
    if (!g_hActive)
        return;
    if (!hOld)
        WindowRegistry::Send(hNew, WM_ACTIVATEAPP, TRUE, 0);
    WindowRegistry::Send(hNew, WM_NCACTIVATE, TRUE, 0);
    WindowRegistry::Send(hNew, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, IsMinimized(hNew) ? 1 : 0),
                         reinterpret_cast<LPARAM>(hOld));
}

void FocusState::FollowSystemActivation(HWND hWnd, bool bActive, bool bMinimized)
{
    if (bActive)
    {
        g_hActive = hWnd;
        if (!bMinimized && !FocusInside(hWnd))
            g_hFocus = hWnd;
    }
    else if (g_hActive == hWnd)
    {
        g_hActive = nullptr;
        if (FocusInside(hWnd))
            g_hFocus = nullptr;
    }
}

void FocusState::OnDestroy(HWND hWnd)
{
    if (g_hActive == hWnd)
        Activate(nullptr);
    if (g_hFocus == hWnd)
        KillFocus(nullptr);
    if (g_hCapture == hWnd)
    {
        g_hCapture = nullptr;
        WindowRegistry::Send(hWnd, WM_CAPTURECHANGED, 0, 0);
    }
}

void FocusState::Reset()
{
    g_hActive = nullptr;
    g_hFocus = nullptr;
    g_hCapture = nullptr;
}

} // namespace StandIn

using namespace StandIn;

extern "C" HWND WINAPI GetFocus(void)
{
    return g_hFocus;
}
extern "C" HWND WINAPI GetActiveWindow(void)
{
    return g_hActive;
}
// The stand-in knows only its own windows: with none of them active there is no foreground
// window it could name.
extern "C" HWND WINAPI GetForegroundWindow(void)
{
    return g_hActive;
}
extern "C" HWND WINAPI GetCapture(void)
{
    return g_hCapture;
}
extern "C" HWND WINAPI GetDesktopWindow(void)
{
    return nullptr;
}

extern "C" HWND WINAPI SetFocus(HWND hWnd)
{
    HWND hPrevious = g_hFocus;
    if (!hWnd)
    {
        KillFocus(nullptr);
        return hPrevious;
    }
    if (!WindowRegistry::Find(hWnd))
    {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    HWND hTopLevel = WindowRegistry::TopLevelOf(hWnd);
    if (g_hActive != hTopLevel)
        FocusState::Activate(hTopLevel);
    if (!WindowRegistry::Find(hWnd) || g_hFocus == hWnd)
        return hPrevious;
    HWND hOld = g_hFocus;
    g_hFocus = hWnd;
    if (hOld)
        WindowRegistry::Send(hOld, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hWnd), 0);
    WindowRegistry::Send(hWnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(hOld), 0);
    return hPrevious;
}

extern "C" HWND WINAPI SetActiveWindow(HWND hWnd)
{
    HWND hPrevious = g_hActive;
    if (hWnd && !WindowRegistry::Find(hWnd))
    {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    FocusState::Activate(hWnd ? WindowRegistry::TopLevelOf(hWnd) : nullptr);
    return hPrevious;
}

extern "C" BOOL WINAPI SetForegroundWindow(HWND hWnd)
{
    Window* pWindow = WindowRegistry::Find(hWnd);
    if (!pWindow)
        return FALSE;
    pWindow->surface.Raise();
    FocusState::Activate(WindowRegistry::TopLevelOf(hWnd));
    return TRUE;
}

extern "C" HWND WINAPI SetCapture(HWND hWnd)
{
    HWND hPrevious = g_hCapture;
    if (hWnd && !WindowRegistry::Find(hWnd))
        return hPrevious;
    g_hCapture = hWnd;
    if (hPrevious && hPrevious != hWnd)
    {
        WindowRegistry::Send(hPrevious, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hWnd));
    }
    return hPrevious;
}

extern "C" BOOL WINAPI ReleaseCapture(void)
{
    HWND hPrevious = g_hCapture;
    g_hCapture = nullptr;
    if (hPrevious)
        WindowRegistry::Send(hPrevious, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}
