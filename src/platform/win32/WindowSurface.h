// WindowSurface: what a window shows. The picture (its client area as 0x00RRGGBB pixels,
// top row first) is kept by the stand-in like a backing store; drawing into the window's
// device context changes it at once, and when the window has an SDL window the changed picture
// is presented there when the device context is released or the program next looks at its
// messages, so the several calls that draw one frame (bars and picture) cost one present.
// A present copies the picture row by row into SDL's window surface and shows it: on X11 a
// shared-memory image put to the window, with no OpenGL (a software OpenGL such as llvmpipe
// costs far more than the copy). Without a display only the picture exists, so tests can read
// what the program drew.
// Owner: the Window it belongs to; created with the window, released when it is destroyed.
// Present runs once per frame for the engine.
#pragma once

#include "PixelLayout.h"

#include <cstdint>
#include <vector>

struct SDL_Window;
struct SDL_Surface;

namespace StandIn
{

class WindowSurface
{
  public:
    // Sizes the picture (black). With bCreateSdlWindow, also opens a hidden SDL window:
    // borderless for a popup, desktop full screen for a popup that covers the whole screen.
    void Create(const char* pszTitle, int x, int y, int nWidth, int nHeight, bool bPopup,
                bool bFullScreen, bool bTopmost, bool bCreateSdlWindow);
    // Draws into a window of another program (an X window id) instead of opening one: the
    // surface never shows, hides, raises, minimises or retitles it. False when SDL cannot
    // wrap it; drawing then stays off screen.
    // pfnOnGone runs when drawing finds the window gone.
    bool Adopt(uint64_t uNativeWindow, int nWidth, int nHeight, void (*pfnOnGone)());
    // The adopted window was destroyed by its owner: nothing is put to it any more.
    void MarkGone() { m_bGone = true; }
    bool IsAdopted() const { return m_bAdopted; }
    void Release();

    // Keeps the top-left part of the picture; new area is black.
    void Resize(int nWidth, int nHeight);
    PixelLayout GetLayout();
    int GetWidth() const { return m_nWidth; }
    int GetHeight() const { return m_nHeight; }
    const std::vector<uint32_t>& GetPixels() const { return m_pixels; }

    void Present();
    // Drawing changed the picture: it is presented at the next PresentIfChanged.
    void MarkChanged() { m_bChanged = true; }
    void PresentIfChanged()
    {
        if (m_bChanged)
            Present();
    }
    void Show(bool bShow);
    void Raise();
    void Minimize();
    void Restore();
    void SetTitle(const char* pszTitle);
    uint32_t GetSdlId() const;
    bool HasSdlWindow() const { return m_pWindow != nullptr; }
    // The SDL window's current size (for size changes reported by SDL).
    bool GetSdlSize(int* pnWidth, int* pnHeight) const;
    SDL_Window* GetSdlWindow() const { return m_pWindow; }

  private:
    // The picture into the window surface: the rows the two share, black where the window is
    // larger (until its size change reaches the picture).
    void CopyInto(SDL_Surface* pScreen) const;

    std::vector<uint32_t> m_pixels;
    int m_nWidth = 0;
    int m_nHeight = 0;
    bool m_bShown = false;
    bool m_bChanged = false;
    bool m_bAdopted = false;
    bool m_bGone = false;
    SDL_Window* m_pWindow = nullptr;
};

} // namespace StandIn
