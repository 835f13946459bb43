#include "WindowSurface.h"

#include "NativeWindow.h"

#include <SDL.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace StandIn
{

void WindowSurface::Create(const char* pszTitle, int x, int y, int nWidth, int nHeight, bool bPopup,
                           bool bFullScreen, bool bTopmost, bool bCreateSdlWindow)
{
    Resize(nWidth, nHeight);
    if (!bCreateSdlWindow)
        return;
    Uint32 uFlags = SDL_WINDOW_HIDDEN;
    if (bPopup)
        uFlags |= SDL_WINDOW_BORDERLESS;
    if (bFullScreen)
        uFlags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    if (bTopmost)
        uFlags |= SDL_WINDOW_ALWAYS_ON_TOP;
    m_pWindow = SDL_CreateWindow(pszTitle ? pszTitle : "", x, y, std::max(nWidth, 1),
                                 std::max(nHeight, 1), uFlags);
    if (!m_pWindow)
    {
        fprintf(stderr, "win32 stand-in: no SDL window (%s); drawing stays off screen\n",
                SDL_GetError());
        return;
    }
    // The window surface comes now, while the window is hidden: where SDL backs it with a
    // renderer (any display but X11, or SDL_FRAMEBUFFER_ACCELERATION set), an OpenGL one makes
    // SDL build the window again, which must happen before it is named and shown.
    if (!SDL_GetWindowSurface(m_pWindow))
        fprintf(stderr, "win32 stand-in: no window surface (%s); drawing stays off screen\n",
                SDL_GetError());
}

bool WindowSurface::Adopt(uint64_t uNativeWindow, int nWidth, int nHeight, void (*pfnOnGone)())
{
    Resize(nWidth, nHeight);
    m_bAdopted = true;
    m_pWindow =
        SDL_CreateWindowFrom(reinterpret_cast<const void*>(static_cast<uintptr_t>(uNativeWindow)));
    if (!m_pWindow)
    {
        fprintf(stderr, "win32 stand-in: cannot draw into window 0x%llx (%s)\n",
                static_cast<unsigned long long>(uNativeWindow), SDL_GetError());
        return false;
    }
    NativeWindow::Watch(m_pWindow, uNativeWindow, pfnOnGone);
    // A window lent by the screensaver itself (or its preview pane) must not hold the
    // desktop's screensaver off, as SDL does for a program's own windows.
    SDL_EnableScreenSaver();
    if (!SDL_GetWindowSurface(m_pWindow))
        fprintf(stderr, "win32 stand-in: no window surface (%s); drawing stays off screen\n",
                SDL_GetError());
    return true;
}

void WindowSurface::Release()
{
    if (m_pWindow)
        SDL_DestroyWindow(m_pWindow); // its surface goes with it
    m_pWindow = nullptr;
    m_pixels.clear();
    m_pixels.shrink_to_fit();
    m_nWidth = m_nHeight = 0;
    m_bShown = false;
    m_bAdopted = false;
    m_bGone = false;
}

void WindowSurface::Resize(int nWidth, int nHeight)
{
    nWidth = std::max(nWidth, 0);
    nHeight = std::max(nHeight, 0);
    if (nWidth == m_nWidth && nHeight == m_nHeight)
        return;
    std::vector<uint32_t> pixels(static_cast<size_t>(nWidth) * static_cast<size_t>(nHeight), 0);
    int nCopyWidth = std::min(nWidth, m_nWidth);
    for (int y = 0; y < std::min(nHeight, m_nHeight); ++y)
    {
        std::copy_n(m_pixels.begin() + static_cast<ptrdiff_t>(y) * m_nWidth, nCopyWidth,
                    pixels.begin() + static_cast<ptrdiff_t>(y) * nWidth);
    }
    m_pixels.swap(pixels);
    m_nWidth = nWidth;
    m_nHeight = nHeight;
}

PixelLayout WindowSurface::GetLayout()
{
    return MakeXrgbLayout(m_pixels.data(), m_nWidth, m_nHeight);
}

void WindowSurface::CopyInto(SDL_Surface* pScreen) const
{
    int nWidth = std::min(m_nWidth, pScreen->w);
    int nHeight = std::min(m_nHeight, pScreen->h);
    bool bLock = SDL_MUSTLOCK(pScreen);
    if (bLock && SDL_LockSurface(pScreen) != 0)
        return;
    // The same layout (0x00RRGGBB, as X11's 24-bit visuals have) copies whole rows.
    if (nWidth > 0 && nHeight > 0)
        SDL_ConvertPixels(nWidth, nHeight, SDL_PIXELFORMAT_RGB888, m_pixels.data(), m_nWidth * 4,
                          pScreen->format->format, pScreen->pixels, pScreen->pitch);
    if (bLock)
        SDL_UnlockSurface(pScreen);
    Uint32 uBlack = SDL_MapRGB(pScreen->format, 0, 0, 0);
    if (pScreen->w > nWidth)
    {
        SDL_Rect right = {nWidth, 0, pScreen->w - nWidth, pScreen->h};
        SDL_FillRect(pScreen, &right, uBlack);
    }
    if (pScreen->h > nHeight)
    {
        SDL_Rect below = {0, nHeight, nWidth, pScreen->h - nHeight};
        SDL_FillRect(pScreen, &below, uBlack);
    }
}

void WindowSurface::Present()
{
    m_bChanged = false;
    if (!m_bShown || !m_pWindow || m_bGone || (m_bAdopted && NativeWindow::HasFailed()))
        return;
    // A size change (or a restore) leaves SDL's old surface invalid: asking each time gets the
    // new one then, and costs a flag test otherwise.
    SDL_Surface* pScreen = SDL_GetWindowSurface(m_pWindow);
    if (!pScreen)
        return;
    CopyInto(pScreen);
    SDL_UpdateWindowSurface(m_pWindow);
}

void WindowSurface::Show(bool bShow)
{
    m_bShown = bShow;
    if (!m_pWindow || m_bAdopted)
        return;
    if (bShow)
        SDL_ShowWindow(m_pWindow);
    else
        SDL_HideWindow(m_pWindow);
}

void WindowSurface::Raise()
{
    if (m_pWindow && !m_bAdopted)
        SDL_RaiseWindow(m_pWindow);
}

void WindowSurface::Minimize()
{
    if (m_pWindow && !m_bAdopted)
        SDL_MinimizeWindow(m_pWindow);
}

void WindowSurface::Restore()
{
    if (m_pWindow && !m_bAdopted)
        SDL_RestoreWindow(m_pWindow);
}

void WindowSurface::SetTitle(const char* pszTitle)
{
    if (m_pWindow && !m_bAdopted)
        SDL_SetWindowTitle(m_pWindow, pszTitle ? pszTitle : "");
}

uint32_t WindowSurface::GetSdlId() const
{
    return m_pWindow ? SDL_GetWindowID(m_pWindow) : 0;
}

bool WindowSurface::GetSdlSize(int* pnWidth, int* pnHeight) const
{
    if (!m_pWindow)
        return false;
    SDL_GetWindowSize(m_pWindow, pnWidth, pnHeight);
    return true;
}

} // namespace StandIn
