#include "VideoSystem.h"

#include "SdlEvents.h"

#include <SDL.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace StandIn
{

namespace
{

enum VideoMode
{
    kUndecided,
    kHeadless,
    kDisplay
};

std::atomic<int> g_eMode{kUndecided};
std::atomic<bool> g_bForcedHeadless{false};
std::atomic<Uint32> g_uWakeEvent{0};
int g_nHeadlessWidth = 640;
int g_nHeadlessHeight = 480;
const std::thread::id g_windowThread = std::this_thread::get_id();

bool EnvironmentIsHeadless()
{
    const char* pszHeadless = getenv("MOLTRANE_HEADLESS");
    if (pszHeadless && strcmp(pszHeadless, "1") == 0)
        return true;
    const char* pszDisplay = getenv("DISPLAY");
    const char* pszWayland = getenv("WAYLAND_DISPLAY");
    if ((!pszDisplay || !*pszDisplay) && (!pszWayland || !*pszWayland))
        return true;
    const char* pszDriver = getenv("SDL_VIDEODRIVER");
    return pszDriver && (strcmp(pszDriver, "dummy") == 0 || strcmp(pszDriver, "offscreen") == 0);
}

bool StartSdlVideo()
{
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0)
        return false;
    SDL_StopTextInput(); // characters come from TranslateMessage, as on Windows
    // On X11 a window surface is a shared-memory image put to the window; SDL would otherwise
    // back it with an OpenGL texture, which without a GPU is Mesa's software OpenGL and costs
    // many times the copy. (SDL_FRAMEBUFFER_ACCELERATION in the environment still wins.)
    const char* pszDriver = SDL_GetCurrentVideoDriver();
    if (pszDriver && strcmp(pszDriver, "x11") == 0)
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    g_uWakeEvent = SDL_RegisterEvents(1);
    return true;
}

void Decide()
{
    if (g_eMode != kUndecided)
        return;
    bool bHeadless = EnvironmentIsHeadless() || !StartSdlVideo();
    g_eMode = bHeadless ? kHeadless : kDisplay;
}

} // namespace

bool VideoSystem::IsHeadless()
{
    if (g_bForcedHeadless)
        return true;
    Decide();
    return g_eMode == kHeadless;
}

void VideoSystem::ForceHeadless(bool bHeadless)
{
    g_bForcedHeadless = bHeadless;
}

bool VideoSystem::IsActive()
{
    return !g_bForcedHeadless && g_eMode == kDisplay;
}

void VideoSystem::PollEvents()
{
    if (!IsActive())
        return;
    SDL_Event event;
    while (SDL_PollEvent(&event))
    {
        if (event.type != g_uWakeEvent)
            HandleSdlEvent(event);
    }
}

void VideoSystem::WaitForEvent()
{
    if (IsActive())
        SDL_WaitEvent(nullptr);
}

void VideoSystem::WakeFromAnyThread()
{
    if (!IsActive() || IsWindowThread() || g_uWakeEvent == 0 ||
        g_uWakeEvent == static_cast<Uint32>(-1))
        return;
    SDL_Event event;
    memset(&event, 0, sizeof(event));
    event.type = g_uWakeEvent;
    SDL_PushEvent(&event);
}

void VideoSystem::GetScreenSize(int* pnWidth, int* pnHeight)
{
    if (!IsHeadless())
    {
        SDL_DisplayMode mode;
        if (SDL_GetDesktopDisplayMode(0, &mode) == 0)
        {
            *pnWidth = mode.w;
            *pnHeight = mode.h;
            return;
        }
    }
    *pnWidth = g_nHeadlessWidth;
    *pnHeight = g_nHeadlessHeight;
}

void VideoSystem::SetHeadlessScreenSize(int nWidth, int nHeight)
{
    if (nWidth > 0 && nHeight > 0)
    {
        g_nHeadlessWidth = nWidth;
        g_nHeadlessHeight = nHeight;
    }
}

bool VideoSystem::IsWindowThread()
{
    return std::this_thread::get_id() == g_windowThread;
}

} // namespace StandIn
