// NativeWindow: what the stand-in needs of the window system to draw into a window that another
// program made (an X window on X11): whether it exists and how large it is, the root window,
// and, once SDL wraps it, the window-system events that tell of its size and its end. The
// build picks the X11 version or the version that has no such windows.
// Window thread only.
#pragma once

#include <cstdint>

struct SDL_Window;
union SDL_Event;

namespace StandIn
{

class NativeWindow
{
  public:
    // True when the window exists on the display named by DISPLAY; its size in pixels. On
    // failure pszWhy (a static text) says why.
    static bool Query(uint64_t uNativeWindow, int* pnWidth, int* pnHeight, const char** ppszWhy);
    // The root window of the default screen, or 0 when there is no such display.
    static uint64_t Root();
    // After SDL wrapped the window: asks for its size changes, exposures and destruction on
    // SDL's own connection (never for its input, which stays with the program that made it),
    // and keeps window errors (drawing into it after it went away) from ending the process;
    // pfnOnGone runs, on the window thread, at the first error about the window itself.
    static void Watch(SDL_Window* pWindow, uint64_t uNativeWindow, void (*pfnOnGone)());
    // True when the event tells that the watched window was destroyed.
    static bool IsDestroyEvent(const SDL_Event& event, uint64_t uNativeWindow);
    // True once an error about the watched window was reported (it is gone).
    static bool HasFailed();
    static void Forget();
};

} // namespace StandIn
