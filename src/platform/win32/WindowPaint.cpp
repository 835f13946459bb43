#include "WindowPaint.h"

#include "Cursor.h"
#include "MessageQueue.h"
#include "WindowRegistry.h"

using namespace StandIn;

namespace StandIn
{

bool FindPaintMessage(HWND hFilter, UINT uMin, UINT uMax, MSG* pMsg)
{
    MSG msg = {};
    msg.message = WM_PAINT;
    HWND hFound = WindowRegistry::FindFirst(
        [&](HWND hWnd, Window& window)
        {
            msg.hwnd = hWnd;
            return window.bVisible && window.bNeedsPaint &&
                   MessageQueue::PassesFilter(msg, hFilter, uMin, uMax);
        });
    if (!hFound)
        return false;
    msg.hwnd = hFound;
    msg.time = GetTickCount();
    msg.pt = CursorScreenPosition();
    *pMsg = msg;
    return true;
}

} // namespace StandIn

extern "C" BOOL WINAPI InvalidateRect(HWND hWnd, const RECT*, BOOL bErase)
{
    std::vector<HWND> windows = hWnd ? std::vector<HWND>{hWnd} : WindowRegistry::All();
    for (HWND hTarget : windows)
    {
        Window* pWindow = WindowRegistry::Find(hTarget);
        if (!pWindow)
        {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        pWindow->bNeedsPaint = true;
        pWindow->bNeedsErase = pWindow->bNeedsErase || bErase;
    }
    MessageQueue::Instance().MarkNew();
    return TRUE;
}

// The stand-in keeps one update state per window: validating any part validates all of it.
extern "C" BOOL WINAPI ValidateRect(HWND hWnd, const RECT*)
{
    Window* pWindow = WindowRegistry::Find(hWnd);
    if (!pWindow)
        return FALSE;
    pWindow->bNeedsPaint = false;
    pWindow->bNeedsErase = false;
    return TRUE;
}

extern "C" BOOL WINAPI UpdateWindow(HWND hWnd)
{
    Window* pWindow = WindowRegistry::Find(hWnd);
    if (!pWindow)
    {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (pWindow->bVisible && pWindow->bNeedsPaint)
        WindowRegistry::Send(hWnd, WM_PAINT, 0, 0);
    return TRUE;
}

extern "C" HDC WINAPI BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint)
{
    Window* pWindow = WindowRegistry::Find(hWnd);
    if (!pWindow || !lpPaint)
        return nullptr;
    bool bErase = pWindow->bNeedsErase;
    pWindow->bNeedsPaint = false;
    pWindow->bNeedsErase = false;
    *lpPaint = {};
    lpPaint->rcPaint = {0, 0, pWindow->ClientWidth(), pWindow->ClientHeight()};
    lpPaint->hdc = GetDC(hWnd);
    if (bErase)
        lpPaint->fErase =
            WindowRegistry::Send(hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(lpPaint->hdc), 0)
                ? FALSE
                : TRUE;
    return lpPaint->hdc;
}

extern "C" BOOL WINAPI EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint)
{
    if (lpPaint && lpPaint->hdc)
        ReleaseDC(hWnd, lpPaint->hdc);
    return TRUE;
}
