// Presentation and pacing: grBufferSwap shows the finished frame in the output window (scaled
// with its aspect kept, black bars), nothing while the output is deactivated, and waits for a
// virtual 60 Hz retrace against absolute deadlines (FX_GLIDE_SWAPINTERVAL overrides the count).
// Runs on the Win32 stand-in headless, with its test clock where time matters.
#include "GlideTestSupport.h"
#include "Win32StandIn.h"
#include <cstdint>
#include <string>
#include <vector>
#include <windows.h>

using namespace GlideTest;

namespace
{
class GlidePresent : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        StandIn_SetHeadless(true);
        StandIn_Reset();
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.lpszClassName = "GlidePresentTest";
        RegisterClassA(&wc);
    }
    void TearDown() override
    {
        grGlideShutdown();
        StandIn_Reset();
    }

    HWND Window(int nWidth, int nHeight)
    {
        return CreateWindowExA(0, "GlidePresentTest", "glide", WS_POPUP, 0, 0, nWidth, nHeight,
                               nullptr, nullptr, nullptr, nullptr);
    }

    static bool Open(HWND hWnd)
    {
        grGlideInit();
        return grSstWinOpen(static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(hWnd)),
                            GR_RESOLUTION_640x480, GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB,
                            GR_ORIGIN_UPPER_LEFT, 2, 0) != FXFALSE;
    }

    static std::uint32_t WindowPixel(HWND hWnd, int x, int y)
    {
        std::vector<std::uint32_t> pixels;
        int nWidth = 0, nHeight = 0;
        EXPECT_TRUE(StandIn_ReadWindowPixels(hWnd, pixels, nWidth, nHeight));
        if (x >= nWidth || y >= nHeight)
            return 0xDEADBEEF;
        return pixels[size_t(y * nWidth + x)];
    }

    static void Frame(std::uint32_t nArgb)
    {
        grBufferClear(nArgb, 0, 0);
        grBufferSwap(0);
    }

    ScopedEnv m_Board{"GLIDE_SW_BOARD", "voodoo"};
    ScopedEnv m_Interval{"FX_GLIDE_SWAPINTERVAL", nullptr};
};

TEST_F(GlidePresent, WideWindowGetsBarsLeftAndRight)
{
    HWND hWnd = Window(800, 480);
    ASSERT_TRUE(hWnd);
    ASSERT_TRUE(Open(hWnd));
    grDitherMode(GR_DITHER_DISABLE);
    Frame(0x00FF0000u);
    // 640x480 in 800x480: full height, 640 wide, 80 pixels of black each side.
    EXPECT_EQ(WindowPixel(hWnd, 40, 240), 0u);
    EXPECT_EQ(WindowPixel(hWnd, 79, 240), 0u);
    EXPECT_EQ(WindowPixel(hWnd, 80, 240), 0xFF0000u);
    EXPECT_EQ(WindowPixel(hWnd, 400, 10), 0xFF0000u);
    EXPECT_EQ(WindowPixel(hWnd, 719, 479), 0xFF0000u);
    EXPECT_EQ(WindowPixel(hWnd, 720, 240), 0u);
}

TEST_F(GlidePresent, TallWindowGetsBarsAboveAndBelow)
{
    HWND hWnd = Window(400, 400);
    ASSERT_TRUE(hWnd);
    ASSERT_TRUE(Open(hWnd));
    grDitherMode(GR_DITHER_DISABLE);
    Frame(0x0000FF00u);
    // 640x480 in 400x400: 400 wide, 300 high, 50 rows of black above and below.
    EXPECT_EQ(WindowPixel(hWnd, 200, 25), 0u);
    EXPECT_EQ(WindowPixel(hWnd, 200, 50), 0x00FF00u);
    EXPECT_EQ(WindowPixel(hWnd, 200, 349), 0x00FF00u);
    EXPECT_EQ(WindowPixel(hWnd, 200, 350), 0u);
}

TEST_F(GlidePresent, TheSwappedFrameIsTheOneShown)
{
    HWND hWnd = Window(640, 480);
    ASSERT_TRUE(Open(hWnd));
    grDitherMode(GR_DITHER_DISABLE);
    grBufferClear(0x00FF0000u, 0, 0);
    const GrVertex a = Vertex(0, 0, 0, 0, 255), b = Vertex(320, 0, 0, 0, 255),
                   c = Vertex(0, 240, 0, 0, 255);
    grDrawTriangle(&a, &b, &c);
    grBufferSwap(0);
    EXPECT_EQ(WindowPixel(hWnd, 10, 10), 0x0000FFu);
    EXPECT_EQ(WindowPixel(hWnd, 600, 400), 0xFF0000u);
}

TEST_F(GlidePresent, DeactivatedOutputShowsNothing)
{
    HWND hWnd = Window(640, 480);
    ASSERT_TRUE(Open(hWnd));
    grDitherMode(GR_DITHER_DISABLE);
    Frame(0x00FF0000u);
    ASSERT_EQ(WindowPixel(hWnd, 100, 100), 0xFF0000u);
    EXPECT_EQ(grSstControl(GR_CONTROL_DEACTIVATE), FXTRUE);
    Frame(0x0000FF00u);
    EXPECT_EQ(WindowPixel(hWnd, 100, 100), 0xFF0000u);
    // The buffers still swapped: the green frame is the front buffer now.
    std::uint16_t nFront = 0;
    ASSERT_TRUE(grLfbReadRegion(GR_BUFFER_FRONTBUFFER, 100, 100, 1, 1, 2, &nFront));
    EXPECT_EQ(nFront, Rgb565(0, 63, 0));
    EXPECT_EQ(grSstControl(GR_CONTROL_ACTIVATE), FXTRUE);
    Frame(0x000000FFu);
    EXPECT_EQ(WindowPixel(hWnd, 100, 100), 0x0000FFu);
}

TEST_F(GlidePresent, WithoutAWindowTheActiveWindowIsUsed)
{
    HWND hWnd = Window(640, 480);
    ShowWindow(hWnd, SW_SHOW);
    SetActiveWindow(hWnd);
    ASSERT_EQ(GetActiveWindow(), hWnd);
    ASSERT_TRUE(Open(nullptr));
    grDitherMode(GR_DITHER_DISABLE);
    Frame(0x00FF00FFu);
    EXPECT_EQ(WindowPixel(hWnd, 320, 240), 0xFF00FFu);
}

// ---------------------------------------------------------------- pacing on the test clock

class GlidePacing : public GlidePresent
{
  protected:
    void SetUp() override
    {
        GlidePresent::SetUp();
        // One count per microsecond; Sleep moves the clock instead of waiting.
        StandIn_SetTestClock(1000000, 0);
        StandIn_SetSleepAdvancesTestClock(true);
    }

    static std::int64_t Now()
    {
        LARGE_INTEGER count;
        QueryPerformanceCounter(&count);
        return std::int64_t(count.QuadPart);
    }
};

TEST_F(GlidePacing, SwapsFollowSixtyHertzWithoutDrift)
{
    ASSERT_TRUE(Open(nullptr));
    grBufferSwap(1); // the first swap starts the schedule
    EXPECT_EQ(Now(), 0);
    // Retrace k at k * 1e6 / 60 us; sleeping stops short of it by less than a millisecond.
    grBufferSwap(1);
    EXPECT_EQ(Now(), 16000);
    grBufferSwap(1);
    EXPECT_EQ(Now(), 33000);
    for (int k = 3; k <= 60; ++k)
        grBufferSwap(1);
    // Deadlines are absolute: the 60th retrace is exactly one second after the first swap.
    EXPECT_EQ(Now(), 1000000);
    grBufferSwap(2);
    EXPECT_EQ(Now(), 1033000);
}

TEST_F(GlidePacing, AnOverrunReanchorsTheSchedule)
{
    ASSERT_TRUE(Open(nullptr));
    grBufferSwap(1);
    StandIn_AdvanceTestClock(100000); // a 100 ms frame
    grBufferSwap(1);
    EXPECT_EQ(Now(), 100000); // late: no wait
    grBufferSwap(1);
    EXPECT_EQ(Now(), 116000); // one retrace after the late swap, not after the old schedule
}

TEST_F(GlidePacing, ZeroNeverWaits)
{
    ASSERT_TRUE(Open(nullptr));
    for (int k = 0; k < 10; ++k)
        grBufferSwap(0);
    EXPECT_EQ(Now(), 0);
}

TEST_F(GlidePacing, EnvironmentOverridesTheInterval)
{
    {
        ScopedEnv interval("FX_GLIDE_SWAPINTERVAL", "0");
        ASSERT_TRUE(Open(nullptr));
        grBufferSwap(1);
        grBufferSwap(1);
        grBufferSwap(5);
        EXPECT_EQ(Now(), 0);
        grGlideShutdown();
    }
    {
        ScopedEnv interval("FX_GLIDE_SWAPINTERVAL", "3");
        ASSERT_TRUE(Open(nullptr));
        grBufferSwap(1);
        grBufferSwap(1); // three retraces: 50000 us
        EXPECT_EQ(Now(), 50000);
        grGlideShutdown();
    }
    {
        ScopedEnv interval("FX_GLIDE_SWAPINTERVAL", "-4"); // negative means 0
        ASSERT_TRUE(Open(nullptr));
        grBufferSwap(1);
        grBufferSwap(1);
        EXPECT_EQ(Now(), 50000);
        grGlideShutdown();
    }
    {
        ScopedEnv interval("FX_GLIDE_SWAPINTERVAL", "soon");
        testing::internal::CaptureStderr();
        ASSERT_TRUE(Open(nullptr));
        const std::string strErr = testing::internal::GetCapturedStderr();
        EXPECT_NE(strErr.find("FX_GLIDE_SWAPINTERVAL"), std::string::npos);
        grBufferSwap(1);
        grBufferSwap(1); // the argument counts again
        EXPECT_EQ(Now(), 66000);
    }
}

TEST_F(GlidePacing, TheRefreshRateSetsTheRetracePeriod)
{
    grGlideInit();
    ASSERT_TRUE(grSstWinOpen(0, GR_RESOLUTION_640x480, GR_REFRESH_75Hz, GR_COLORFORMAT_ARGB,
                             GR_ORIGIN_UPPER_LEFT, 2, 0));
    grBufferSwap(1);
    grBufferSwap(3); // 3 / 75 s = 40000 us
    EXPECT_EQ(Now(), 40000);
}
} // namespace
