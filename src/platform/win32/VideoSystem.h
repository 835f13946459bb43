// VideoSystem: whether the stand-in has a display, and SDL's video and event side when it does.
//
// Headless is decided once, on first need: forced by StandIn_SetHeadless(true), or chosen when
// MOLTRANE_HEADLESS=1, when neither DISPLAY nor WAYLAND_DISPLAY is set, when SDL_VIDEODRIVER
// names SDL's dummy or offscreen driver, or when SDL's video does not start. With a display,
// SDL runs with its signal handlers off (Ctrl+C and SIGTERM keep their ordinary effect) and
// without minimising full-screen windows when they lose focus, and on X11 with window surfaces
// put to the window directly (no OpenGL behind them); while the program has a window
// the desktop's screensaver stays off (SDL's default), as an active full-screen window on
// Windows answers SC_SCREENSAVE.
// Owner: process-wide. IsActive and WakeFromAnyThread may be called from any thread; the rest
// runs on the window thread.
#pragma once

namespace StandIn
{

class VideoSystem
{
  public:
    static bool IsHeadless();
    static void ForceHeadless(bool bHeadless);
    // True when SDL's video runs (a display is there and headless was not chosen).
    static bool IsActive();

    // Takes SDL's pending events in (input events, window size and exposure changes).
    static void PollEvents();
    // Blocks until SDL has an event (without taking it).
    static void WaitForEvent();
    // Makes a WaitForEvent on the window thread return; nothing when called on that thread.
    static void WakeFromAnyThread();

    static void GetScreenSize(int* pnWidth, int* pnHeight);
    static void SetHeadlessScreenSize(int nWidth, int nHeight);

    // True on the thread that loaded the stand-in (the program's one thread).
    static bool IsWindowThread();
};

} // namespace StandIn
