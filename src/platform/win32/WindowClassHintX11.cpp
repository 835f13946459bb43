// WindowClassHint on X11: WM_CLASS of the SDL window, both parts set to the Win32 class name.
#include "WindowClassHint.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <string>

namespace StandIn
{

void SetWindowClassHint(SDL_Window* pWindow, const char* pszClassName)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!pWindow || !pszClassName || !SDL_GetWindowWMInfo(pWindow, &info) ||
        info.subsystem != SDL_SYSWM_X11)
        return;
    std::string strName = pszClassName; // XClassHint takes writable strings
    XClassHint hint;
    hint.res_name = &strName[0];
    hint.res_class = &strName[0];
    XSetClassHint(info.info.x11.display, info.info.x11.window, &hint);
    XFlush(info.info.x11.display);
}

} // namespace StandIn
