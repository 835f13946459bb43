// WindowSurface with a real SDL window on SDL's dummy video driver, whose window surfaces are
// plain memory: what a present puts into the window surface, after size changes of the window
// or of the picture, and only when something was drawn.
#include "WindowSurface.h"

#include <SDL.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

namespace
{

using StandIn::PixelLayout;
using StandIn::WindowSurface;

// A colour no two nearby pixels share, computed without the code under test.
uint32_t Pattern(int x, int y, uint32_t uSeed)
{
    uint32_t uRed = static_cast<uint32_t>(x * 3 + 17) & 0xFF;
    uint32_t uGreen = static_cast<uint32_t>(y * 5 + 101) & 0xFF;
    uint32_t uBlue = (static_cast<uint32_t>(x + y) + uSeed) & 0xFF;
    return uRed << 16 | uGreen << 8 | uBlue;
}

void DrawPattern(WindowSurface& surface, uint32_t uSeed)
{
    PixelLayout layout = surface.GetLayout();
    for (int y = 0; y < layout.nHeight; ++y)
    {
        uint32_t* pRow = reinterpret_cast<uint32_t*>(layout.pBits + y * layout.nStride);
        for (int x = 0; x < layout.nWidth; ++x)
            pRow[x] = Pattern(x, y, uSeed);
    }
}

// The window surface's pixel at (x, y) as 0x00RRGGBB, whatever its layout.
uint32_t ScreenPixel(SDL_Surface* pScreen, int x, int y)
{
    const uint8_t* pRow = static_cast<const uint8_t*>(pScreen->pixels) + y * pScreen->pitch;
    Uint32 uRaw = 0;
    memcpy(&uRaw, pRow + x * pScreen->format->BytesPerPixel, pScreen->format->BytesPerPixel);
    Uint8 r = 0, g = 0, b = 0;
    SDL_GetRGB(uRaw, pScreen->format, &r, &g, &b);
    return static_cast<uint32_t>(r) << 16 | static_cast<uint32_t>(g) << 8 | b;
}

// How many pixels of the window surface differ from the pattern inside nWidth x nHeight and
// from black outside it.
int Mismatches(SDL_Surface* pScreen, int nWidth, int nHeight, uint32_t uSeed)
{
    int nWrong = 0;
    for (int y = 0; y < pScreen->h; ++y)
    {
        for (int x = 0; x < pScreen->w; ++x)
        {
            uint32_t uWanted = (x < nWidth && y < nHeight) ? Pattern(x, y, uSeed) : 0;
            nWrong += ScreenPixel(pScreen, x, y) != uWanted ? 1 : 0;
        }
    }
    return nWrong;
}

class WindowSurfaceTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
            GTEST_SKIP() << "SDL's dummy video driver does not start: " << SDL_GetError();
        m_bVideo = true;
        m_surface.Create("surface", 0, 0, 64, 48, true, false, false, true);
        ASSERT_TRUE(m_surface.HasSdlWindow()) << SDL_GetError();
        m_surface.Show(true);
    }
    void TearDown() override
    {
        m_surface.Release();
        if (m_bVideo)
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
        SDL_ResetHint(SDL_HINT_VIDEODRIVER);
    }
    SDL_Surface* Screen() { return SDL_GetWindowSurface(m_surface.GetSdlWindow()); }

    WindowSurface m_surface;
    bool m_bVideo = false;
};

TEST_F(WindowSurfaceTest, PresentPutsThePictureIntoTheWindow)
{
    DrawPattern(m_surface, 0);
    m_surface.Present();
    SDL_Surface* pScreen = Screen();
    ASSERT_NE(pScreen, nullptr);
    ASSERT_EQ(pScreen->w, 64);
    ASSERT_EQ(pScreen->h, 48);
    EXPECT_EQ(Mismatches(pScreen, 64, 48, 0), 0);
}

TEST_F(WindowSurfaceTest, OnlyADrawnFramePresents)
{
    DrawPattern(m_surface, 0);
    m_surface.Present();
    DrawPattern(m_surface, 40); // drawn but not reported: the window keeps the last frame
    m_surface.PresentIfChanged();
    EXPECT_EQ(Mismatches(Screen(), 64, 48, 0), 0);
    m_surface.MarkChanged();
    m_surface.PresentIfChanged();
    EXPECT_EQ(Mismatches(Screen(), 64, 48, 40), 0);
}

TEST_F(WindowSurfaceTest, HiddenWindowIsNotPresented)
{
    DrawPattern(m_surface, 0);
    m_surface.Present();
    m_surface.Show(false);
    DrawPattern(m_surface, 90);
    m_surface.Present();
    EXPECT_EQ(Mismatches(Screen(), 64, 48, 0), 0);
}

// A window that changed size has a new surface; the picture follows a little later (its
// WM_SIZE), and until then the part it does not reach is black.
TEST_F(WindowSurfaceTest, SizeChangesOfWindowAndPicture)
{
    struct Case
    {
        int nWindowWidth, nWindowHeight;
    };
    const Case aCases[] = {{100, 70}, {40, 30}, {64, 90}, {120, 20}};
    uint32_t uSeed = 0;
    for (const Case& test : aCases)
    {
        SCOPED_TRACE(testing::Message() << test.nWindowWidth << "x" << test.nWindowHeight);
        int nOldWidth = m_surface.GetWidth(), nOldHeight = m_surface.GetHeight();
        DrawPattern(m_surface, uSeed);
        SDL_SetWindowSize(m_surface.GetSdlWindow(), test.nWindowWidth, test.nWindowHeight);
        m_surface.Present();
        SDL_Surface* pScreen = Screen();
        ASSERT_NE(pScreen, nullptr);
        ASSERT_EQ(pScreen->w, test.nWindowWidth);
        ASSERT_EQ(pScreen->h, test.nWindowHeight);
        EXPECT_EQ(Mismatches(pScreen, nOldWidth, nOldHeight, uSeed), 0);

        uSeed += 7;
        m_surface.Resize(test.nWindowWidth, test.nWindowHeight);
        DrawPattern(m_surface, uSeed);
        m_surface.Present();
        EXPECT_EQ(Mismatches(Screen(), test.nWindowWidth, test.nWindowHeight, uSeed), 0);
    }
}

// A picture smaller than its window (a size change on its way) leaves no earlier frame behind.
TEST_F(WindowSurfaceTest, WindowBeyondThePictureIsBlack)
{
    DrawPattern(m_surface, 0);
    m_surface.Present();
    m_surface.Resize(30, 20);
    m_surface.Present();
    EXPECT_EQ(Mismatches(Screen(), 30, 20, 0), 0);
}

// Steady frames reuse the one window surface: nothing is made again per frame.
TEST_F(WindowSurfaceTest, SteadyFramesKeepTheWindowSurface)
{
    m_surface.Present();
    SDL_Surface* pFirst = Screen();
    for (int i = 0; i < 5; ++i)
    {
        DrawPattern(m_surface, static_cast<uint32_t>(i));
        m_surface.MarkChanged();
        m_surface.PresentIfChanged();
        EXPECT_EQ(Screen(), pFirst);
    }
    EXPECT_EQ(Mismatches(Screen(), 64, 48, 4), 0);
}

} // namespace
