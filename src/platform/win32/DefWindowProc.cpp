// DefWindowProcA: the default answers to the messages the stand-in's windows receive.
//   WM_SYSCOMMAND SC_CLOSE sends WM_CLOSE; WM_CLOSE destroys the window; SC_MINIMIZE,
//   SC_MAXIMIZE and SC_RESTORE show the window accordingly; SC_SCREENSAVE starts nothing.
//   WM_ACTIVATE gives an activated, not minimised window the focus.
//   WM_PAINT validates (BeginPaint/EndPaint); WM_ERASEBKGND fills with the class brush.
//   Alt+F4 (WM_SYSKEYDOWN) sends WM_SYSCOMMAND SC_CLOSE.
//   WM_NCCREATE and WM_NCACTIVATE answer TRUE, WM_MOUSEACTIVATE MA_ACTIVATE, the rest 0.
#include <windows.h>

#include "WindowRegistry.h"

using namespace StandIn;

namespace
{

LRESULT SystemCommand(HWND hWnd, WPARAM wParam)
{
    switch (wParam & 0xFFF0)
    {
    case SC_CLOSE:
        WindowRegistry::Send(hWnd, WM_CLOSE, 0, 0);
        break;
    case SC_MINIMIZE:
        ShowWindow(hWnd, SW_MINIMIZE);
        break;
    case SC_MAXIMIZE:
        ShowWindow(hWnd, SW_MAXIMIZE);
        break;
    case SC_RESTORE:
        ShowWindow(hWnd, SW_RESTORE);
        break;
    default:
        break; // SC_SCREENSAVE: this system starts no screensaver of its own
    }
    return 0;
}

LRESULT EraseBackground(HWND hWnd, HDC hdc)
{
    Window* pWindow = WindowRegistry::Find(hWnd);
    if (!pWindow || !pWindow->hbrBackground)
        return 0;
    RECT rcClient = {0, 0, pWindow->ClientWidth(), pWindow->ClientHeight()};
    FillRect(hdc, &rcClient, pWindow->hbrBackground);
    return 1;
}

} // namespace

extern "C" LRESULT WINAPI DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    switch (Msg)
    {
    case WM_NCCREATE:
    case WM_NCACTIVATE:
        return TRUE;
    case WM_CLOSE:
        DestroyWindow(hWnd);
        return 0;
    case WM_SYSCOMMAND:
        return SystemCommand(hWnd, wParam);
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE && HIWORD(wParam) == 0)
            SetFocus(hWnd);
        return 0;
    case WM_PAINT:
    {
        PAINTSTRUCT paint;
        if (BeginPaint(hWnd, &paint))
            EndPaint(hWnd, &paint);
        return 0;
    }
    case WM_ERASEBKGND:
        return EraseBackground(hWnd, reinterpret_cast<HDC>(wParam));
    case WM_MOUSEACTIVATE:
        return MA_ACTIVATE;
    case WM_SYSKEYDOWN:
        if (wParam == VK_F4 && (lParam & (1 << 29)))
            WindowRegistry::Send(hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
        return 0;
    default:
        return 0;
    }
}

extern "C" LRESULT WINAPI CallWindowProcA(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam,
                                          LPARAM lParam)
{
    return lpPrevWndFunc ? lpPrevWndFunc(hWnd, Msg, wParam, lParam) : 0;
}
