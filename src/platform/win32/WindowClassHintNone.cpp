// WindowClassHint where the window system has no class name for windows: nothing to do.
#include "WindowClassHint.h"

namespace StandIn
{

void SetWindowClassHint(SDL_Window*, const char*) {}

} // namespace StandIn
