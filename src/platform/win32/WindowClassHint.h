// WindowClassHint: names an SDL window after its Win32 window class where the window system has
// such a name (the WM_CLASS property on X11), so that tools and window managers see the class
// the program registered ("Vellumtide") and not the executable's name. The build picks the
// X11 version or the version that does nothing.
#pragma once

struct SDL_Window;

namespace StandIn
{

void SetWindowClassHint(SDL_Window* pWindow, const char* pszClassName);

} // namespace StandIn
