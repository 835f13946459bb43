// FocusState: the active window, the focus window and the mouse capture of the thread, and
// the synchronous messages Windows sends when they change:
//   activation: to the old window WM_NCACTIVATE(FALSE), WM_ACTIVATE(WA_INACTIVE, its
//   minimised flag; lParam the new window), WM_KILLFOCUS if it held the focus, and
//   WM_ACTIVATEAPP(FALSE) when no window of the program stays active; to the new window
//   WM_ACTIVATEAPP(TRUE) when none was active, WM_NCACTIVATE(TRUE) and WM_ACTIVATE(WA_ACTIVE,
//   its minimised flag; lParam the old window). DefWindowProcA's answer to WM_ACTIVATE then
//   gives the new window the focus (WM_SETFOCUS).
//   capture: WM_CAPTURECHANGED to the window losing it.
// Owner: process-wide; window thread only.
#pragma once

#include <windows.h>

namespace StandIn
{

class FocusState
{
  public:
    static HWND Active();
    static HWND Focus();
    static HWND Capture();

    // Makes a top-level window (or none) the active one, sending the messages above.
    static void Activate(HWND hNewActive);
    // Activation reported by the system: the state follows without sent messages (the
    // WM_ACTIVATE itself is queued by the input delivery).
    static void FollowSystemActivation(HWND hWnd, bool bActive, bool bMinimized);
    // A window is being destroyed: deactivation, focus and capture loss, with their messages.
    static void OnDestroy(HWND hWnd);
    static void Reset();
};

} // namespace StandIn
