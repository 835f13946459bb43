// Window: one window of the stand-in, as its handle finds it in the WindowRegistry.
// The client area is the whole window (the window manager draws any frame), so the client
// rectangle is (0, 0, width, height) and the window rectangle is its place on the screen.
#pragma once

#include <windows.h>

#include "WindowSurface.h"

#include <string>
#include <vector>

namespace StandIn
{

struct Window
{
    WNDPROC pfnProc = nullptr;
    ATOM atomClass = 0;
    std::string strTitle;
    DWORD dwStyle = 0;
    DWORD dwExStyle = 0;
    HWND hParent = nullptr;
    HINSTANCE hInstance = nullptr;
    HBRUSH hbrBackground = nullptr;
    LONG_PTR lUserData = 0; // pointer-sized, as the engine's Engine pointer needs
    LONG_PTR lId = 0;
    std::vector<unsigned char> extraBytes; // cbWndExtra of the class
    RECT rcWindow = {0, 0, 0, 0};          // screen coordinates
    bool bVisible = false;
    bool bMinimized = false;
    bool bSizeSent = false;   // WM_SIZE and WM_MOVE went out with the first showing
    bool bNeedsPaint = false; // update region not empty: WM_PAINT is due
    bool bNeedsErase = false; // BeginPaint sends WM_ERASEBKGND first
    bool bDestroying = false;
    WindowSurface surface;

    int ClientWidth() const { return rcWindow.right - rcWindow.left; }
    int ClientHeight() const { return rcWindow.bottom - rcWindow.top; }
    bool IsTopLevel() const { return (dwStyle & WS_CHILD) == 0; }
};

} // namespace StandIn
