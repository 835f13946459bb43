// NativeWindow where the window system has no windows of other programs to draw into.
#include "NativeWindow.h"

namespace StandIn
{

bool NativeWindow::Query(uint64_t, int*, int*, const char** ppszWhy)
{
    *ppszWhy = "this build draws only into windows of its own";
    return false;
}

uint64_t NativeWindow::Root()
{
    return 0;
}

void NativeWindow::Watch(SDL_Window*, uint64_t, void (*)()) {}

bool NativeWindow::IsDestroyEvent(const SDL_Event&, uint64_t)
{
    return false;
}

bool NativeWindow::HasFailed()
{
    return false;
}

void NativeWindow::Forget() {}

} // namespace StandIn
