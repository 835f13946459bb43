// ShowWindow: visibility, minimised state and activation, with the messages Windows sends:
// WM_SHOWWINDOW when visibility changes, the activation messages (FocusState) when the
// command activates, and WM_SIZE and WM_MOVE the first time the window is shown. A newly shown
// window needs painting (WM_PAINT, its background erased by BeginPaint).
#include <windows.h>

#include "FocusState.h"
#include "MessageQueue.h"
#include "WindowRegistry.h"

using namespace StandIn;

namespace
{

enum SizeChange
{
    kKeepSize,
    kMinimize,
    kRestore
};

bool MakeVisible(HWND hWnd)
{
    Window* pWindow = WindowRegistry::Find(hWnd);
    if (pWindow->bVisible)
        return true;
    WindowRegistry::Send(hWnd, WM_SHOWWINDOW, TRUE, 0);
    pWindow = WindowRegistry::Find(hWnd);
    if (!pWindow)
        return false;
    pWindow->bVisible = true;
    pWindow->bNeedsPaint = true;
    pWindow->bNeedsErase = true;
    pWindow->surface.Show(true);
    MessageQueue::Instance().MarkNew();
    return true;
}

void ApplySize(Window& window, SizeChange eChange)
{
    if (eChange == kMinimize && !window.bMinimized)
    {
        window.bMinimized = true;
        window.surface.Minimize();
    }
    else if (eChange == kRestore && window.bMinimized)
    {
        window.bMinimized = false;
        window.surface.Restore();
    }
}

void SendFirstSize(HWND hWnd)
{
    Window* pWindow = WindowRegistry::Find(hWnd);
    if (!pWindow || pWindow->bSizeSent)
        return;
    pWindow->bSizeSent = true;
    WPARAM wKind = pWindow->bMinimized ? SIZE_MINIMIZED : SIZE_RESTORED;
    LPARAM lSize = MAKELPARAM(pWindow->ClientWidth(), pWindow->ClientHeight());
    LPARAM lPlace = MAKELPARAM(pWindow->rcWindow.left, pWindow->rcWindow.top);
    WindowRegistry::Send(hWnd, WM_SIZE, wKind, lSize);
    WindowRegistry::Send(hWnd, WM_MOVE, 0, lPlace);
}

void Show(HWND hWnd, bool bActivate, SizeChange eChange)
{
    if (!MakeVisible(hWnd))
        return;
    Window* pWindow = WindowRegistry::Find(hWnd);
    ApplySize(*pWindow, eChange);
    if (bActivate && pWindow->IsTopLevel())
    {
        pWindow->surface.Raise();
        FocusState::Activate(hWnd);
    }
    SendFirstSize(hWnd);
    pWindow = WindowRegistry::Find(hWnd);
    if (pWindow)
        pWindow->surface.Present();
}

void Hide(HWND hWnd)
{
    WindowRegistry::Send(hWnd, WM_SHOWWINDOW, FALSE, 0);
    Window* pWindow = WindowRegistry::Find(hWnd);
    if (!pWindow)
        return;
    pWindow->bVisible = false;
    pWindow->surface.Show(false);
    if (FocusState::Active() == hWnd)
        FocusState::Activate(nullptr);
}

} // namespace

// Returns whether the window was visible before the call.
extern "C" BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow)
{
    Window* pWindow = WindowRegistry::Find(hWnd);
    if (!pWindow)
    {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    BOOL bWasVisible = pWindow->bVisible ? TRUE : FALSE;
    switch (nCmdShow)
    {
    case SW_HIDE:
        if (bWasVisible)
            Hide(hWnd);
        break;
    case SW_MINIMIZE:
        Show(hWnd, false, kMinimize);
        if (FocusState::Active() == hWnd)
            FocusState::Activate(nullptr);
        break;
    case SW_SHOWMINIMIZED:
        Show(hWnd, true, kMinimize);
        break;
    case SW_SHOWMINNOACTIVE:
        Show(hWnd, false, kMinimize);
        break;
    case SW_SHOWNA:
        Show(hWnd, false, kKeepSize);
        break;
    case SW_SHOWNOACTIVATE:
        Show(hWnd, false, kRestore);
        break;
    case SW_SHOW:
        Show(hWnd, true, kKeepSize);
        break;
    default:
        Show(hWnd, true, kRestore);
        break; // SW_SHOWNORMAL, SW_RESTORE, SW_SHOWDEFAULT, SW_MAXIMIZE
    }
    return bWasVisible;
}
