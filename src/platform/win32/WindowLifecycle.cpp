// CreateWindowExA and DestroyWindow, with the messages Windows sends on the way:
//   creation: WM_NCCREATE (FALSE aborts), WM_CREATE (-1 aborts), then, for WS_VISIBLE, what
//   ShowWindow(SW_SHOW) sends;
//   destruction: deactivation, focus and capture loss (FocusState), WM_DESTROY, the children's
//   destruction, WM_NCDESTROY; the window's queued messages are dropped.
// A top-level window gets an SDL window when a display is there; a WS_POPUP window that covers
// the whole screen becomes a borderless desktop-full-screen window. When a window of another
// program waits to be adopted (AdoptedWindow), the next top-level window draws into it instead.
#include <windows.h>

#include "AdoptedWindow.h"
#include "FocusState.h"
#include "MessageQueue.h"
#include "VideoSystem.h"
#include "WindowClassHint.h"
#include "WindowClassRegistry.h"
#include "WindowRegistry.h"

#include <algorithm>

using namespace StandIn;

namespace
{

void FinishDestruction(HWND hWnd)
{
    MessageQueue::Instance().RemoveForWindow(hWnd);
    Window* pWindow = WindowRegistry::Find(hWnd);
    if (!pWindow)
        return;
    pWindow->surface.Release();
    AdoptedWindow::OnDestroy(hWnd);
    WindowRegistry::Remove(hWnd);
}

// CW_USEDEFAULT places the window at the top-left corner with three quarters of the screen.
void ApplyDefaults(int* pnX, int* pnY, int* pnWidth, int* pnHeight)
{
    int nScreenWidth = 0, nScreenHeight = 0;
    VideoSystem::GetScreenSize(&nScreenWidth, &nScreenHeight);
    if (*pnX == CW_USEDEFAULT)
        *pnX = *pnY = 0;
    if (*pnWidth == CW_USEDEFAULT)
    {
        *pnWidth = nScreenWidth * 3 / 4;
        *pnHeight = nScreenHeight * 3 / 4;
    }
    *pnWidth = std::max(*pnWidth, 0);
    *pnHeight = std::max(*pnHeight, 0);
}

bool CoversScreen(int x, int y, int nWidth, int nHeight)
{
    int nScreenWidth = 0, nScreenHeight = 0;
    VideoSystem::GetScreenSize(&nScreenWidth, &nScreenHeight);
    return x <= 0 && y <= 0 && x + nWidth >= nScreenWidth && y + nHeight >= nScreenHeight;
}

// The adopted window keeps its owner's size and place, whatever the program asked for.
bool AdoptPending(HWND hWnd, Window& window)
{
    if (!window.IsTopLevel() || VideoSystem::IsHeadless())
        return false;
    int nWidth = 0, nHeight = 0;
    uint64_t uNative = AdoptedWindow::TakePending(&nWidth, &nHeight);
    if (!uNative)
        return false;
    AdoptedWindow::Bind(hWnd);
    window.rcWindow = {0, 0, nWidth, nHeight};
    window.surface.Adopt(uNative, nWidth, nHeight, AdoptedWindow::OnGone);
    return true;
}

void SetUp(HWND hWnd, Window& window, const WindowClass& windowClass, const CREATESTRUCTA& create)
{
    window.pfnProc = windowClass.wc.lpfnWndProc;
    window.atomClass = windowClass.atom;
    window.hbrBackground = windowClass.wc.hbrBackground;
    window.extraBytes.assign(static_cast<size_t>(windowClass.wc.cbWndExtra), 0);
    window.strTitle = create.lpszName ? create.lpszName : "";
    window.dwStyle = static_cast<DWORD>(create.style) & ~WS_VISIBLE;
    window.dwExStyle = create.dwExStyle;
    window.hParent = create.hwndParent;
    window.hInstance = create.hInstance;
    window.lId = reinterpret_cast<LONG_PTR>(create.hMenu);
    int nLeft = create.x, nTop = create.y;
    Window* pParent = WindowRegistry::Find(create.hwndParent);
    if (pParent && !window.IsTopLevel())
    {
        nLeft += pParent->rcWindow.left;
        nTop += pParent->rcWindow.top;
    }
    window.rcWindow = {nLeft, nTop, nLeft + create.cx, nTop + create.cy};
    if (AdoptPending(hWnd, window))
        return; // not named either: the class name is its owner's
    bool bPopup = (create.style & WS_POPUP) != 0;
    bool bFullScreen = bPopup && CoversScreen(create.x, create.y, create.cx, create.cy);
    bool bSdlWindow = window.IsTopLevel() && !VideoSystem::IsHeadless();
    window.surface.Create(window.strTitle.c_str(), create.x, create.y, create.cx, create.cy, bPopup,
                          bFullScreen, (create.dwExStyle & WS_EX_TOPMOST) != 0, bSdlWindow);
    // Named before it is first mapped, so the window system sees the class from the start.
    SetWindowClassHint(window.surface.GetSdlWindow(), windowClass.strName.c_str());
}

} // namespace

extern "C" HWND WINAPI CreateWindowExA(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName,
                                       DWORD dwStyle, int X, int Y, int nWidth, int nHeight,
                                       HWND hWndParent, HMENU hMenu, HINSTANCE hInstance,
                                       LPVOID lpParam)
{
    const WindowClass* pClass = WindowClassRegistry::Find(lpClassName);
    if (!pClass)
    {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    if (hWndParent && !WindowRegistry::Find(hWndParent))
    {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    if ((dwStyle & WS_CHILD) && !hWndParent)
    {
        SetLastError(ERROR_TLW_WITH_WSCHILD);
        return nullptr;
    }
    ApplyDefaults(&X, &Y, &nWidth, &nHeight);
    CREATESTRUCTA create = {lpParam,
                            hInstance,
                            hMenu,
                            hWndParent,
                            nHeight,
                            nWidth,
                            Y,
                            X,
                            static_cast<LONG>(dwStyle),
                            lpWindowName,
                            lpClassName,
                            dwExStyle};
    Window* pWindow = nullptr;
    HWND hWnd = WindowRegistry::Add(&pWindow);
    if (!hWnd)
    {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    SetUp(hWnd, *pWindow, *pClass, create);
    LPARAM lCreate = reinterpret_cast<LPARAM>(&create);
    if (!WindowRegistry::Send(hWnd, WM_NCCREATE, 0, lCreate))
    {
        WindowRegistry::Send(hWnd, WM_NCDESTROY, 0, 0);
        FinishDestruction(hWnd);
        return nullptr;
    }
    if (WindowRegistry::Send(hWnd, WM_CREATE, 0, lCreate) == -1)
    {
        DestroyWindow(hWnd);
        return nullptr;
    }
    if ((dwStyle & WS_VISIBLE) && WindowRegistry::Find(hWnd))
        ShowWindow(hWnd, SW_SHOW);
    return WindowRegistry::Find(hWnd) ? hWnd : nullptr;
}

extern "C" BOOL WINAPI DestroyWindow(HWND hWnd)
{
    Window* pWindow = WindowRegistry::Find(hWnd);
    if (!pWindow)
    {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (pWindow->bDestroying)
        return TRUE; // asked again from inside its own destruction
    pWindow->bDestroying = true;
    if (pWindow->bVisible)
    {
        pWindow->bVisible = false;
        pWindow->surface.Show(false);
    }
    FocusState::OnDestroy(hWnd);
    WindowRegistry::Send(hWnd, WM_DESTROY, 0, 0);
    for (HWND hChild : WindowRegistry::All())
    {
        Window* pChild = WindowRegistry::Find(hChild);
        if (pChild && pChild->hParent == hWnd)
            DestroyWindow(hChild);
    }
    WindowRegistry::Send(hWnd, WM_NCDESTROY, 0, 0);
    FinishDestruction(hWnd);
    return TRUE;
}
