// DeviceContexts: window, screen and memory device contexts by handle, with the objects
// selected into them. Drawing into a window's context changes that window's picture; into a
// memory context, its selected bitmap; into the screen's context, nothing visible (the
// stand-in owns no desktop).
// A context handed out by GetDC is kept until ReleaseDC (the engine keeps one for its whole
// run and takes and releases another every frame; slots are reused, nothing is allocated).
// Owner: process-wide; window thread only.
#pragma once

#include <windows.h>

#include "PixelLayout.h"

namespace StandIn
{

enum DcKind
{
    kDcWindow = 1,
    kDcScreen,
    kDcMemory
};

struct DeviceContext
{
    DcKind eKind = kDcScreen;
    HWND hWnd = nullptr;
    HGDIOBJ hBitmap = nullptr; // memory contexts only
    HGDIOBJ hBrush = nullptr;
    HGDIOBJ hPen = nullptr;
    HGDIOBJ hFont = nullptr;
    HGDIOBJ hPalette = nullptr;
    int nStretchMode = BLACKONWHITE;
};

class DeviceContexts
{
  public:
    static DeviceContext* Find(HDC hdc);
    // The pixels that drawing into this context changes, and the window to present afterwards
    // (null for a memory context). False when drawing there shows nothing (the screen, a
    // destroyed window).
    static bool Target(HDC hdc, PixelLayout* pLayout, HWND* phPresent);
    // Drawing changed the window's picture: it is presented when the context is released or
    // the program next looks at its messages.
    static void MarkChanged(HWND hWnd);
    static void Reset();
};

} // namespace StandIn
