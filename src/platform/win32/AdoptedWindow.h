// AdoptedWindow: a window made by another program (on X11 an X window: the one XScreenSaver
// hands a display mode, or the root window) that the next top-level window CreateWindowExA
// makes takes as its own instead of opening a new one. Until then, and while that window
// lives, GetSystemMetrics reports the adopted window's size as the screen's, so a program that
// sizes its window to the screen fills it exactly. The adopted window keeps its owner: the
// stand-in never maps, unmaps, retitles, raises or destroys it, and delivers no input for it
// (its owner decides what input means); it draws into it and follows its size. When the owner
// destroys it, the program is asked to close (CloseRequest).
// Owner: process-wide; window thread only.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

union SDL_Event;

namespace StandIn
{

class AdoptedWindow
{
  public:
    // Checks that the window exists and keeps it for the next top-level window. False, with
    // the reason in *pstrWhy, when there is no display or no such window.
    static bool Prepare(uint64_t uNativeWindow, std::string* pstrWhy);
    // The native window waiting for a top-level window (0: none) and its size; taking it
    // clears it.
    static uint64_t TakePending(int* pnWidth, int* pnHeight);
    // The window that took it.
    static void Bind(HWND hWnd);
    static bool IsAdopted(HWND hWnd);
    // The size to report as the screen's; false when no window is adopted or waiting.
    static bool GetScreenSize(int* pnWidth, int* pnHeight);
    // A window-system event: the adopted window's destruction asks the program to close.
    static void OnSystemEvent(const SDL_Event& event);
    // Its owner destroyed it (seen by an error when drawing into it): the program is asked to
    // close.
    static void OnGone();
    // The window that took it is being destroyed.
    static void OnDestroy(HWND hWnd);
    static void Reset();
};

} // namespace StandIn
