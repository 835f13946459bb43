// NativeWindow on X11: the window is an X window id. Its existence and size are asked on a
// connection of our own (SDL's may not be open yet); the events come on SDL's connection as
// SDL_SYSWMEVENT. Xlib's default error handler ends the process, and drawing into a window that
// its owner has just destroyed, or asking where it is (SDL does on its last configure events),
// is an error the program cannot avoid: while a window is watched, window and drawable errors
// are kept (one about the watched window means it is gone) and the rest go on to the handler
// that was there before.
#include "NativeWindow.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include <X11/Xlib.h>

#include <atomic>

namespace StandIn
{

namespace
{

// The error seen while a Query runs (0: none).
int g_nQueryError = 0;
std::atomic<unsigned long> g_uWatched{0};
std::atomic<bool> g_bFailed{false};
void (*g_pfnOnGone)() = nullptr;
XErrorHandler g_pfnPrevious = nullptr;
bool g_bHandlerInstalled = false;

int KeepQueryError(Display*, XErrorEvent* pError)
{
    g_nQueryError = pError->error_code;
    return 0;
}

int KeepWatchedErrors(Display* pDisplay, XErrorEvent* pError)
{
    const bool bWindowError = pError->error_code == BadWindow || pError->error_code == BadDrawable;
    if (g_uWatched != 0 && bWindowError)
    {
        if (pError->resourceid == g_uWatched && !g_bFailed.exchange(true) && g_pfnOnGone)
            g_pfnOnGone();
        return 0;
    }
    return g_pfnPrevious ? g_pfnPrevious(pDisplay, pError) : 0;
}

} // namespace

bool NativeWindow::Query(uint64_t uNativeWindow, int* pnWidth, int* pnHeight, const char** ppszWhy)
{
    if (uNativeWindow == 0 || uNativeWindow > 0xFFFFFFFFu)
    {
        *ppszWhy = "not an X window id";
        return false;
    }
    Display* pDisplay = XOpenDisplay(nullptr);
    if (!pDisplay)
    {
        *ppszWhy = "cannot open the X display (is DISPLAY set?)";
        return false;
    }
    g_nQueryError = 0;
    XErrorHandler pfnOld = XSetErrorHandler(KeepQueryError);
    XWindowAttributes attributes = {};
    Status status = XGetWindowAttributes(pDisplay, static_cast<Window>(uNativeWindow), &attributes);
    XSync(pDisplay, False);
    XSetErrorHandler(pfnOld);
    XCloseDisplay(pDisplay);
    if (!status || g_nQueryError != 0)
    {
        *ppszWhy = "no such window on the X display";
        return false;
    }
    *pnWidth = attributes.width;
    *pnHeight = attributes.height;
    return true;
}

uint64_t NativeWindow::Root()
{
    Display* pDisplay = XOpenDisplay(nullptr);
    if (!pDisplay)
        return 0;
    uint64_t uRoot = DefaultRootWindow(pDisplay);
    XCloseDisplay(pDisplay);
    return uRoot;
}

void NativeWindow::Watch(SDL_Window* pWindow, uint64_t uNativeWindow, void (*pfnOnGone)())
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!pWindow || !SDL_GetWindowWMInfo(pWindow, &info) || info.subsystem != SDL_SYSWM_X11)
        return;
    Display* pDisplay = info.info.x11.display;
    Window window = static_cast<Window>(uNativeWindow);
    g_uWatched = window;
    g_bFailed = false;
    g_pfnOnGone = pfnOnGone;
    if (!g_bHandlerInstalled)
    {
        g_pfnPrevious = XSetErrorHandler(KeepWatchedErrors);
        g_bHandlerInstalled = true;
    }
    // Event masks are kept per client: these add to what SDL selected on its connection and
    // take nothing from the owner. Button presses are never asked for (only one client may
    // select them on a window, and the owner decides what input means).
    XWindowAttributes attributes = {};
    long lMask = StructureNotifyMask | ExposureMask;
    if (XGetWindowAttributes(pDisplay, window, &attributes))
        lMask |= attributes.your_event_mask;
    XSelectInput(pDisplay, window, lMask);
    XFlush(pDisplay);
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
}

bool NativeWindow::IsDestroyEvent(const SDL_Event& event, uint64_t uNativeWindow)
{
    if (event.type != SDL_SYSWMEVENT || !event.syswm.msg ||
        event.syswm.msg->subsystem != SDL_SYSWM_X11)
        return false;
    const XEvent& xevent = event.syswm.msg->msg.x11.event;
    return xevent.type == DestroyNotify && xevent.xdestroywindow.window == uNativeWindow;
}

bool NativeWindow::HasFailed()
{
    return g_bFailed;
}

void NativeWindow::Forget()
{
    g_pfnOnGone = nullptr;
    g_uWatched = 0;
    g_bFailed = false;
}

} // namespace StandIn
