// WindowPaint: the update state of windows. A window that was shown or invalidated needs
// painting: WM_PAINT is generated for it when the queue holds nothing else (and UpdateWindow
// sends it at once); BeginPaint erases its background first (WM_ERASEBKGND) and validates it.
// The stand-in keeps each window's picture, so exposing a window repaints it from there
// without WM_PAINT.
#pragma once

#include <windows.h>

namespace StandIn
{

// A WM_PAINT for the first visible window that needs painting and passes the filter.
bool FindPaintMessage(HWND hFilter, UINT uMin, UINT uMax, MSG* pMsg);

} // namespace StandIn
