#include "WindowSurface.h"

#include <SDL.h>

#include <algorithm>
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
    // The renderer comes now, while the window is hidden: an OpenGL renderer makes SDL build
    // the window again, which must happen before it is named and shown.
    EnsureRenderer();
}

void WindowSurface::Release()
{
    if (m_pTexture)
        SDL_DestroyTexture(m_pTexture);
    if (m_pRenderer)
        SDL_DestroyRenderer(m_pRenderer);
    if (m_pWindow)
        SDL_DestroyWindow(m_pWindow);
    m_pTexture = nullptr;
    m_pRenderer = nullptr;
    m_pWindow = nullptr;
    m_pixels.clear();
    m_pixels.shrink_to_fit();
    m_nWidth = m_nHeight = 0;
    m_bShown = false;
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

bool WindowSurface::EnsureRenderer()
{
    if (!m_pWindow)
        return false;
    if (!m_pRenderer)
    {
        // No vsync: the program paces itself, and a present must never wait for a retrace.
        m_pRenderer = SDL_CreateRenderer(m_pWindow, -1, 0);
        if (!m_pRenderer)
            m_pRenderer = SDL_CreateRenderer(m_pWindow, -1, SDL_RENDERER_SOFTWARE);
        if (!m_pRenderer)
            return false;
    }
    if (m_pTexture && (m_nTextureWidth != m_nWidth || m_nTextureHeight != m_nHeight))
    {
        SDL_DestroyTexture(m_pTexture);
        m_pTexture = nullptr;
    }
    if (!m_pTexture && m_nWidth > 0 && m_nHeight > 0)
    {
        m_pTexture = SDL_CreateTexture(m_pRenderer, SDL_PIXELFORMAT_RGB888,
                                       SDL_TEXTUREACCESS_STREAMING, m_nWidth, m_nHeight);
        m_nTextureWidth = m_nWidth;
        m_nTextureHeight = m_nHeight;
    }
    return m_pTexture != nullptr;
}

void WindowSurface::Present()
{
    m_bChanged = false;
    if (!m_bShown || !EnsureRenderer())
        return;
    SDL_UpdateTexture(m_pTexture, nullptr, m_pixels.data(), m_nWidth * 4);
    SDL_RenderCopy(m_pRenderer, m_pTexture, nullptr, nullptr);
    SDL_RenderPresent(m_pRenderer);
}

void WindowSurface::Show(bool bShow)
{
    m_bShown = bShow;
    if (!m_pWindow)
        return;
    if (bShow)
        SDL_ShowWindow(m_pWindow);
    else
        SDL_HideWindow(m_pWindow);
}

void WindowSurface::Raise()
{
    if (m_pWindow)
        SDL_RaiseWindow(m_pWindow);
}

void WindowSurface::Minimize()
{
    if (m_pWindow)
        SDL_MinimizeWindow(m_pWindow);
}

void WindowSurface::Restore()
{
    if (m_pWindow)
        SDL_RestoreWindow(m_pWindow);
}

void WindowSurface::SetTitle(const char* pszTitle)
{
    if (m_pWindow)
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
