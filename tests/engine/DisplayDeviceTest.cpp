// DisplayDevice against the recording Glide and the headless Win32 stand-in.
//
// Each test opens the engine the way the shell does (Engine::Open registers
// the class and opens the display, full screen unless the run mode is 2) and
// looks at the timeline of Glide calls, mirror builds and releases, blits and
// renderer restarts (DisplayDeviceTimeline.h).
#include "DisplayDevice.h"
#include "DisplayDeviceTimeline.h"
#include "Engine.h"
#include "HighColorMirror.h"
#include "RecordingGlide.h"
#include "Renderer.h"
#include "Shell.h"
#include "Win32StandIn.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace
{
typedef std::vector<std::string> Texts;

// Board types as the recording Glide reports them.
const int kVoodoo = GR_SSTTYPE_VOODOO;
const int kSst96 = GR_SSTTYPE_SST96;
const int kAt3d = GR_SSTTYPE_AT3D;
const int kVoodoo2 = GR_SSTTYPE_Voodoo2;
const int kNoBoard = RecordingGlideSettings::kNoBoard;

std::string Join(const Texts& texts)
{
    std::string strAll;
    for (const std::string& strText : texts)
        strAll += "  " + strText + "\n";
    return strAll;
}

class DisplayDeviceTest : public ::testing::Test
{
  protected:
    static void SetUpTestSuite()
    {
        StandIn_SetHeadless(true);
        StandIn_SetScreenSize(800, 600);
    }

    void SetUp() override
    {
        StandIn_Reset();
        RecordingGlide::Reset();
        DisplayDeviceTimeline::Reset();
        SetRunMode(RUNMODE_RUN);
        g_pEngine = new Engine;
    }

    void TearDown() override
    {
        g_pEngine->Close();
        delete g_pEngine;
        g_pEngine = nullptr;
        SetRunMode(RUNMODE_RUN);
    }

    // Opens the engine with this board in this run mode; the log starts empty.
    Int32 OpenWith(int nBoard, Int32 nRunMode)
    {
        RecordingGlide::Settings().nBoardType = nBoard;
        SetRunMode(nRunMode);
        RecordingGlide::Clear();
        return g_pEngine->Open();
    }

    DisplayDevice* Display() { return g_pEngine->GetDisplay(); }

    // Runs one operation with an empty log and returns its timeline.
    template <class F> Texts During(F operation)
    {
        RecordingGlide::Clear();
        operation();
        return DisplayDeviceTimeline::Texts();
    }
};

// ---------------------------------------------------------------- open, per board

struct OpenCase
{
    const char* pchName;
    int nBoard;
    Int32 nRunMode;
    FxBool bWinOpenResult;
    Int32 nExpectedResult;
    bool bExpectMirror;
    Texts expected; // the whole timeline of Engine::Open
};

void PrintTo(const OpenCase& c, std::ostream* pOut)
{
    *pOut << c.pchName;
}

class DisplayDeviceOpenTest : public DisplayDeviceTest,
                              public ::testing::WithParamInterface<OpenCase>
{
};

TEST_P(DisplayDeviceOpenTest, MakesTheBoardsCallsInOrder)
{
    const OpenCase& c = GetParam();
    RecordingGlide::Settings().bWinOpenResult = c.bWinOpenResult;
    EXPECT_EQ(c.nExpectedResult, OpenWith(c.nBoard, c.nRunMode));
    const Texts actual = DisplayDeviceTimeline::Texts();
    EXPECT_EQ(c.expected, actual) << "timeline:\n" << Join(actual);
    if (c.nExpectedResult)
    {
        ASSERT_NE(nullptr, Display());
        EXPECT_EQ(c.bExpectMirror, Display()->GetMirror() != nullptr);
        EXPECT_NE(nullptr, Display()->GetRenderer());
    }
    else
    {
        // A failed open leaves no display, no window and no Glide behind.
        EXPECT_EQ(nullptr, g_pEngine->GetDisplay());
        if (DisplayDeviceTimeline::LastWindow() != nullptr)
        {
            EXPECT_FALSE(IsWindow(DisplayDeviceTimeline::LastWindow()));
        }
        EXPECT_EQ(RecordingGlide::CountOf("grGlideInit"),
                  RecordingGlide::CountOf("grGlideShutdown"));
    }
}

const char* const kWinOpenFullScreen = "grSstWinOpen(0,7,0,2,0,2,0)";
const char* const kWinOpenWindow = "grSstWinOpen(hwnd,7,0,2,0,2,0)";

const OpenCase kOpenCases[] = {
    {"VoodooFullScreen",
     kVoodoo,
     RUNMODE_RUN,
     FXTRUE,
     1,
     false,
     {"CreateWindowExA", "grGlideInit()", "grSstQueryHardware(ptr)", "grSstSelect(0)",
      kWinOpenFullScreen, "Renderer::Start", "SetCapture(window)"}},
    {"VoodooScreensaverModeIsFullScreen",
     kVoodoo,
     RUNMODE_SCREENSAVER,
     FXTRUE,
     1,
     false,
     {"CreateWindowExA", "grGlideInit()", "grSstQueryHardware(ptr)", "grSstSelect(0)",
      kWinOpenFullScreen, "Renderer::Start", "SetCapture(window)"}},
    {"VoodooWindowed",
     kVoodoo,
     RUNMODE_WINDOWED,
     FXTRUE,
     1,
     true,
     {"CreateWindowExA", "grGlideInit()", "grSstQueryHardware(ptr)", "grSstSelect(0)",
      kWinOpenWindow, "grSstControl(2)", "grRenderBuffer(1)", "CreateCompatibleDC",
      "Renderer::Start", "SetCapture(window)"}},
    {"Voodoo2FullScreen",
     kVoodoo2,
     RUNMODE_RUN,
     FXTRUE,
     1,
     false,
     {"CreateWindowExA", "grGlideInit()", "grSstQueryHardware(ptr)", "grSstSelect(0)",
      kWinOpenFullScreen, "Renderer::Start", "SetCapture(window)"}},
    {"Voodoo2Windowed",
     kVoodoo2,
     RUNMODE_WINDOWED,
     FXTRUE,
     1,
     true,
     {"CreateWindowExA", "grGlideInit()", "grSstQueryHardware(ptr)", "grSstSelect(0)",
      kWinOpenWindow, "grSstControl(2)", "grRenderBuffer(1)", "CreateCompatibleDC",
      "Renderer::Start", "SetCapture(window)"}},
    {"Sst96FullScreen",
     kSst96,
     RUNMODE_RUN,
     FXTRUE,
     1,
     false,
     {"CreateWindowExA", "grGlideInit()", "grSstQueryHardware(ptr)", "grSstSelect(0)",
      kWinOpenWindow, "Renderer::Start", "SetCapture(window)"}},
    {"Sst96Windowed",
     kSst96,
     RUNMODE_WINDOWED,
     FXTRUE,
     1,
     false,
     {"CreateWindowExA", "grGlideInit()", "grSstQueryHardware(ptr)", "grSstSelect(0)",
      kWinOpenWindow, "Renderer::Start", "SetCapture(window)"}},
    // Unsupported boards: the open fails after Glide was initialised; the
    // engine then closes the display, which shuts Glide down and destroys the
    // window with its user-data slot cleared.
    {"At3dFails",
     kAt3d,
     RUNMODE_RUN,
     FXTRUE,
     0,
     false,
     {"CreateWindowExA", "grGlideInit()", "grSstQueryHardware(ptr)", "grSstSelect(0)",
      "grGlideShutdown()", "DestroyWindow(userdata=0)"}},
    {"At3dWindowedFails",
     kAt3d,
     RUNMODE_WINDOWED,
     FXTRUE,
     0,
     false,
     {"CreateWindowExA", "grGlideInit()", "grSstQueryHardware(ptr)", "grSstSelect(0)",
      "grGlideShutdown()", "DestroyWindow(userdata=0)"}},
    {"BansheeTypeFails",
     4,
     RUNMODE_RUN,
     FXTRUE,
     0,
     false,
     {"CreateWindowExA", "grGlideInit()", "grSstQueryHardware(ptr)", "grSstSelect(0)",
      "grGlideShutdown()", "DestroyWindow(userdata=0)"}},
    {"UnknownTypeFails",
     77,
     RUNMODE_RUN,
     FXTRUE,
     0,
     false,
     {"CreateWindowExA", "grGlideInit()", "grSstQueryHardware(ptr)", "grSstSelect(0)",
      "grGlideShutdown()", "DestroyWindow(userdata=0)"}},
    {"NoBoardFails",
     kNoBoard,
     RUNMODE_RUN,
     FXTRUE,
     0,
     false,
     {"CreateWindowExA", "grGlideInit()", "grSstQueryHardware(ptr)", "grGlideShutdown()",
      "DestroyWindow(userdata=0)"}},
    {"WinOpenFailsFullScreen",
     kVoodoo,
     RUNMODE_RUN,
     FXFALSE,
     0,
     false,
     {"CreateWindowExA", "grGlideInit()", "grSstQueryHardware(ptr)", "grSstSelect(0)",
      kWinOpenFullScreen, "grGlideShutdown()", "DestroyWindow(userdata=0)"}},
    {"WinOpenFailsWindowed",
     kVoodoo2,
     RUNMODE_WINDOWED,
     FXFALSE,
     0,
     false,
     {"CreateWindowExA", "grGlideInit()", "grSstQueryHardware(ptr)", "grSstSelect(0)",
      kWinOpenWindow, "grGlideShutdown()", "DestroyWindow(userdata=0)"}},
    {"WinOpenFailsSst96",
     kSst96,
     RUNMODE_RUN,
     FXFALSE,
     0,
     false,
     {"CreateWindowExA", "grGlideInit()", "grSstQueryHardware(ptr)", "grSstSelect(0)",
      kWinOpenWindow, "grGlideShutdown()", "DestroyWindow(userdata=0)"}},
};

INSTANTIATE_TEST_SUITE_P(Boards, DisplayDeviceOpenTest, ::testing::ValuesIn(kOpenCases),
                         [](const ::testing::TestParamInfo<OpenCase>& param)
                         { return std::string(param.param.pchName); });

// ---------------------------------------------------------------- open: the window

TEST_F(DisplayDeviceTest, OpenMakesAScreenSizedPopupShownAndFocusedOutsideRunMode2)
{
    ASSERT_EQ(1, OpenWith(kVoodoo, RUNMODE_RUN));
    HWND hWnd = Display()->GetWindow();
    ASSERT_NE(nullptr, hWnd);
    EXPECT_EQ(hWnd, DisplayDeviceTimeline::LastWindow());
    EXPECT_TRUE(GetWindowLongPtrA(hWnd, GWL_STYLE) & WS_POPUP);
    RECT rect;
    ASSERT_TRUE(GetWindowRect(hWnd, &rect));
    EXPECT_EQ(0, rect.left);
    EXPECT_EQ(0, rect.top);
    EXPECT_EQ(800, rect.right);
    EXPECT_EQ(600, rect.bottom);
    EXPECT_TRUE(IsWindowVisible(hWnd));
    EXPECT_EQ(hWnd, GetFocus());
    // The window procedure reaches the engine through the pointer-sized slot.
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(g_pEngine), GetWindowLongPtrA(hWnd, GWLP_USERDATA));
    EXPECT_NE(nullptr, Display()->GetDeviceContext());
    EXPECT_EQ(hWnd, GetCapture());
}

TEST_F(DisplayDeviceTest, RunMode2LeavesTheWindowHidden)
{
    ASSERT_EQ(1, OpenWith(kVoodoo, RUNMODE_WINDOWED));
    HWND hWnd = Display()->GetWindow();
    EXPECT_FALSE(IsWindowVisible(hWnd));
    EXPECT_EQ(0, Display()->GetFullScreen());
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(g_pEngine), GetWindowLongPtrA(hWnd, GWLP_USERDATA));
    EXPECT_EQ(hWnd, GetCapture());
}

TEST_F(DisplayDeviceTest, TheMirrorCoversTheRenderSizeWithRowsOfTheRoundedWidth)
{
    ASSERT_EQ(1, OpenWith(kVoodoo, RUNMODE_WINDOWED));
    HighColorMirror* pMirror = Display()->GetMirror();
    ASSERT_NE(nullptr, pMirror);
    EXPECT_EQ(Display()->GetWindow(), pMirror->GetWindow());
    EXPECT_EQ(0, pMirror->GetRect().left);
    EXPECT_EQ(0, pMirror->GetRect().top);
    EXPECT_EQ(640, pMirror->GetRect().right);
    EXPECT_EQ(480, pMirror->GetRect().bottom);
    EXPECT_NE(nullptr, pMirror->GetPixels());
}

TEST_F(DisplayDeviceTest, NoWindowFailsBeforeGlideAndReleasesNothingElse)
{
    DisplayDeviceTimeline::FailNextWindow();
    EXPECT_EQ(0, OpenWith(kVoodoo, RUNMODE_RUN));
    EXPECT_EQ(Texts({"CreateWindowExA:fail"}), DisplayDeviceTimeline::Texts());
    EXPECT_EQ(nullptr, g_pEngine->GetDisplay());
}

TEST_F(DisplayDeviceTest, AFailedRendererStartReleasesRendererMirrorGlideAndWindow)
{
    DisplayDeviceTimeline::SetFailRendererStart(true);
    EXPECT_EQ(0, OpenWith(kVoodoo, RUNMODE_WINDOWED));
    const Texts expected = {
        "CreateWindowExA",          "grGlideInit()",      "grSstQueryHardware(ptr)",
        "grSstSelect(0)",           kWinOpenWindow,       "grSstControl(2)",
        "grRenderBuffer(1)",        "CreateCompatibleDC", "Renderer::Start",
        "Renderer::Stop",           "DeleteDC",           "grGlideShutdown()",
        "DestroyWindow(userdata=0)"};
    const Texts actual = DisplayDeviceTimeline::Texts();
    EXPECT_EQ(expected, actual) << Join(actual);
    EXPECT_FALSE(IsWindow(DisplayDeviceTimeline::LastWindow()));
    // The mouse capture never moved to the window.
    EXPECT_EQ(nullptr, GetCapture());
}

TEST_F(DisplayDeviceTest, AFailedOpenLeavesNoWindowOfTheClassBehind)
{
    ASSERT_EQ(0, OpenWith(kAt3d, RUNMODE_RUN));
    // The class could be unregistered only because no window of it was left,
    // so registering it afresh succeeds.
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetInstance();
    wc.lpszClassName = "Vellumtide";
    EXPECT_NE(0, RegisterClassA(&wc) & 0xFFFF);
    UnregisterClassA("Vellumtide", GetInstance());
}

// ---------------------------------------------------------------- close

TEST_F(DisplayDeviceTest, CloseReleasesInReverseOrder)
{
    ASSERT_EQ(1, OpenWith(kVoodoo, RUNMODE_WINDOWED));
    HWND hWnd = Display()->GetWindow();
    const Texts actual = During([&] { g_pEngine->Close(); });
    EXPECT_EQ(
        Texts({"Renderer::Stop", "DeleteDC", "grGlideShutdown()", "DestroyWindow(userdata=0)"}),
        actual)
        << Join(actual);
    EXPECT_FALSE(IsWindow(hWnd));
}

TEST_F(DisplayDeviceTest, CloseTwiceReleasesOnce)
{
    ASSERT_EQ(1, OpenWith(kSst96, RUNMODE_RUN));
    DisplayDevice* pDisplay = Display();
    const Texts first = During([&] { pDisplay->Close(); });
    EXPECT_EQ(Texts({"Renderer::Stop", "grGlideShutdown()", "DestroyWindow(userdata=0)"}), first)
        << Join(first);
    EXPECT_EQ(nullptr, pDisplay->GetRenderer());
    EXPECT_EQ(nullptr, pDisplay->GetWindow());
    EXPECT_EQ(nullptr, pDisplay->GetDeviceContext());
    EXPECT_EQ(Texts(), During([&] { pDisplay->Close(); }));
}

TEST_F(DisplayDeviceTest, CloseOnANeverOpenedDeviceDoesNothing)
{
    DisplayDevice display;
    EXPECT_EQ(Texts(), During([&] { display.Close(); }));
}

TEST_F(DisplayDeviceTest, CloseHandsTheCaptureBackToTheWindowThatHeldIt)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "DisplayDeviceTestOther";
    ASSERT_NE(0, RegisterClassA(&wc) & 0xFFFF);
    HWND hOther = CreateWindowExA(0, "DisplayDeviceTestOther", "other", WS_POPUP, 0, 0, 10, 10,
                                  nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, hOther);
    SetCapture(hOther);
    ASSERT_EQ(hOther, GetCapture());

    ASSERT_EQ(1, OpenWith(kVoodoo, RUNMODE_RUN));
    EXPECT_EQ(Display()->GetWindow(), GetCapture());
    g_pEngine->Close();
    EXPECT_EQ(hOther, GetCapture());
    DestroyWindow(hOther);
}

// ---------------------------------------------------------------- output-state switches

TEST_F(DisplayDeviceTest, GoingFullScreenFreesTheMirrorBeforeActivating)
{
    ASSERT_EQ(1, OpenWith(kVoodoo, RUNMODE_WINDOWED));
    const Texts actual = During([&] { Display()->SetFullScreen(1); });
    EXPECT_EQ(Texts({"Renderer::Stop", "DeleteDC", "grSstControl(1)", "Renderer::Start"}), actual)
        << Join(actual);
    EXPECT_EQ(nullptr, Display()->GetMirror());
    EXPECT_EQ(1, Display()->GetFullScreen());
}

TEST_F(DisplayDeviceTest, EveryWayBackToTheWindowBuildsAFreshMirror)
{
    ASSERT_EQ(1, OpenWith(kVoodoo2, RUNMODE_RUN));
    const Texts toMirror = {"Renderer::Stop", "grSstControl(2)", "grRenderBuffer(1)",
                            "CreateCompatibleDC", "Renderer::Start"};
    const Texts toFullScreen = {"Renderer::Stop", "DeleteDC", "grSstControl(1)", "Renderer::Start"};
    for (int nRound = 0; nRound < 2; ++nRound)
    {
        SCOPED_TRACE(nRound);
        Texts actual = During([&] { Display()->SetActive(0); });
        EXPECT_EQ(toMirror, actual) << Join(actual);
        ASSERT_NE(nullptr, Display()->GetMirror());
        EXPECT_NE(nullptr, Display()->GetMirror()->GetPixels());
        actual = During([&] { Display()->SetActive(1); });
        EXPECT_EQ(toFullScreen, actual) << Join(actual);
        EXPECT_EQ(nullptr, Display()->GetMirror());
    }
    // The wanted state was never changed by activation.
    EXPECT_EQ(1, Display()->GetFullScreen());
}

TEST_F(DisplayDeviceTest, TheEnginesDeactivationSwitchesToTheMirror)
{
    ASSERT_EQ(1, OpenWith(kVoodoo, RUNMODE_RUN));
    const Texts actual = During([&] { g_pEngine->SetActive(0); });
    EXPECT_EQ(Texts({"Renderer::Stop", "grSstControl(2)", "grRenderBuffer(1)", "CreateCompatibleDC",
                     "Renderer::Start"}),
              actual)
        << Join(actual);
    EXPECT_EQ(0, g_pEngine->IsRunning());
}

TEST_F(DisplayDeviceTest, ReactivationGoesBackToTheWantedStateNotToFullScreen)
{
    ASSERT_EQ(1, OpenWith(kVoodoo, RUNMODE_WINDOWED));
    // Wanted is 0: deactivating and reactivating leave the mirror alone.
    EXPECT_EQ(Texts(), During([&] { Display()->SetActive(0); }));
    EXPECT_EQ(Texts(), During([&] { Display()->SetActive(1); }));
    EXPECT_NE(nullptr, Display()->GetMirror());
    // Asked for full screen while inactive, it goes there at once; the next
    // deactivation mirrors again and reactivation returns to full screen.
    Display()->SetActive(0);
    Display()->SetFullScreen(1);
    EXPECT_EQ(nullptr, Display()->GetMirror());
    Display()->SetActive(1);
    EXPECT_EQ(Texts({"Renderer::Stop", "grSstControl(2)", "grRenderBuffer(1)", "CreateCompatibleDC",
                     "Renderer::Start"}),
              During([&] { Display()->SetActive(0); }));
    EXPECT_EQ(Texts({"Renderer::Stop", "DeleteDC", "grSstControl(1)", "Renderer::Start"}),
              During([&] { Display()->SetActive(1); }));
}

TEST_F(DisplayDeviceTest, OnAnSst96OnlyTheRendererRestarts)
{
    ASSERT_EQ(1, OpenWith(kSst96, RUNMODE_RUN));
    Texts actual = During([&] { Display()->SetActive(0); });
    EXPECT_EQ(Texts({"Renderer::Stop", "Renderer::Start"}), actual) << Join(actual);
    EXPECT_EQ(nullptr, Display()->GetMirror());
    actual = During([&] { Display()->SetActive(1); });
    EXPECT_EQ(Texts({"Renderer::Stop", "Renderer::Start"}), actual) << Join(actual);
}

TEST_F(DisplayDeviceTest, NoChangeOfStateDoesNothingAtAll)
{
    ASSERT_EQ(1, OpenWith(kVoodoo, RUNMODE_WINDOWED));
    HighColorMirror* pMirror = Display()->GetMirror();
    ASSERT_EQ(1, Display()->GetRenderer()->BeginFrame());
    EXPECT_EQ(Texts(), During([&] { Display()->SetActive(1); }));
    EXPECT_EQ(Texts(), During([&] { Display()->SetFullScreen(0); }));
    Int32 nResult = -1;
    EXPECT_EQ(Texts(), During([&] { nResult = Display()->ApplyMode(0); }));
    EXPECT_NE(0, nResult);
    EXPECT_EQ(pMirror, Display()->GetMirror());
    // The renderer was left running.
    EXPECT_NE(nullptr, Display()->GetRenderer()->GetTopMatrix());
}

TEST_F(DisplayDeviceTest, SetFullScreenWithTheWantedStateDoesNothingEvenWhenNotShown)
{
    ASSERT_EQ(1, OpenWith(kVoodoo, RUNMODE_RUN));
    ASSERT_NE(Texts(), During([&] { Display()->SetActive(0); }));
    // Wanted is still 1, so asking for it again changes nothing, even though
    // the output is mirrored now.
    EXPECT_EQ(Texts(), During([&] { Display()->SetFullScreen(1); }));
    EXPECT_NE(nullptr, Display()->GetMirror());
}

TEST_F(DisplayDeviceTest, ApplyModeReturnsTheRestartsResult)
{
    ASSERT_EQ(1, OpenWith(kVoodoo, RUNMODE_RUN));
    DisplayDeviceTimeline::SetFailRendererStart(true);
    EXPECT_EQ(0, Display()->ApplyMode(0));
    DisplayDeviceTimeline::SetFailRendererStart(false);
    EXPECT_EQ(1, Display()->ApplyMode(1));
}

// ---------------------------------------------------------------- end of frame

TEST_F(DisplayDeviceTest, EndFrameSwapsWhenFullScreen)
{
    for (int nBoard : {kVoodoo, kVoodoo2, kSst96})
    {
        SCOPED_TRACE(nBoard);
        ASSERT_EQ(1, OpenWith(nBoard, RUNMODE_RUN));
        EXPECT_EQ(Texts({"grBufferSwap(1)"}), During([&] { Display()->EndFrame(); }));
        g_pEngine->Close();
    }
}

TEST_F(DisplayDeviceTest, EndFrameReadsTheBackBufferIntoTheMirrorAndBlitsIt)
{
    ASSERT_EQ(1, OpenWith(kVoodoo, RUNMODE_WINDOWED));
    RecordingGlide::Clear();
    Display()->EndFrame();
    const Texts actual = DisplayDeviceTimeline::Texts();
    EXPECT_EQ(Texts({"grLfbReadRegion(1,0,0,640,480,1280,ptr)", "BitBlt(0,0,640,480)"}), actual)
        << Join(actual);
    const std::vector<RecordedCall> reads = RecordingGlide::CallsNamed("grLfbReadRegion");
    ASSERT_EQ(1u, reads.size());
    ASSERT_EQ(1u, reads[0].pointers.size());
    EXPECT_EQ(Display()->GetMirror()->GetPixels(), reads[0].pointers[0]);
}

// Pixel (x, y) of the recording Glide's back buffer: 5-6-5 with red from x,
// green from y and blue fixed, so every row and column can be told apart.
FxU16 BackBufferPixel(FxU32 x, FxU32 y)
{
    return static_cast<FxU16>(((x & 0x1F) << 11) | ((y & 0x3F) << 5) | 0x0A);
}

TEST_F(DisplayDeviceTest, TheMirroredFrameShowsInTheWindowTopRowFirst)
{
    ASSERT_EQ(1, OpenWith(kVoodoo, RUNMODE_WINDOWED));
    RecordingGlide::Settings().pfnLfbPixel = BackBufferPixel;
    Display()->EndFrame();

    std::vector<uint32_t> pixels;
    int nWidth = 0;
    int nHeight = 0;
    ASSERT_TRUE(StandIn_ReadWindowPixels(Display()->GetWindow(), pixels, nWidth, nHeight));
    ASSERT_GE(nWidth, 640);
    ASSERT_GE(nHeight, 480);
    for (int y : {0, 1, 2, 63, 64, 239, 479})
        for (int x : {0, 1, 31, 32, 330, 639})
        {
            const uint32_t nPixel = pixels[static_cast<size_t>(y) * nWidth + x];
            // Compare the top bits of each channel, whatever way 5-6-5 is widened.
            EXPECT_EQ(static_cast<uint32_t>(x & 0x1F), (nPixel >> 19) & 0x1F) << x << "," << y;
            EXPECT_EQ(static_cast<uint32_t>(y & 0x3F), (nPixel >> 10) & 0x3F) << x << "," << y;
            EXPECT_EQ(0x0Au, (nPixel >> 3) & 0x1F) << x << "," << y;
        }
}

TEST_F(DisplayDeviceTest, EndFrameOnAWindowedSst96DoesNothing)
{
    ASSERT_EQ(1, OpenWith(kSst96, RUNMODE_WINDOWED));
    EXPECT_EQ(Texts(), During([&] { Display()->EndFrame(); }));
}

TEST_F(DisplayDeviceTest, EndFrameFollowsTheOutputState)
{
    ASSERT_EQ(1, OpenWith(kVoodoo, RUNMODE_RUN));
    Display()->SetActive(0);
    EXPECT_EQ(Texts({"grLfbReadRegion(1,0,0,640,480,1280,ptr)", "BitBlt(0,0,640,480)"}),
              During([&] { Display()->EndFrame(); }));
    Display()->SetActive(1);
    EXPECT_EQ(Texts({"grBufferSwap(1)"}), During([&] { Display()->EndFrame(); }));
}

// ---------------------------------------------------------------- clear

struct ClearCase
{
    Int32 nRed, nGreen, nBlue;
    const char* pchExpected; // worked out by hand: 0xRRGGBB00 in decimal
};

void PrintTo(const ClearCase& c, std::ostream* pOut)
{
    *pOut << "(" << c.nRed << ", " << c.nGreen << ", " << c.nBlue << ")";
}

class DisplayDeviceClearTest : public DisplayDeviceTest,
                               public ::testing::WithParamInterface<ClearCase>
{
};

TEST_P(DisplayDeviceClearTest, PacksTheLowEightBitsAsRgbaWithAlphaZero)
{
    const ClearCase& c = GetParam();
    ASSERT_EQ(1, OpenWith(kVoodoo, RUNMODE_RUN));
    EXPECT_EQ(Texts({c.pchExpected}), During([&] { Display()->Clear(c.nRed, c.nGreen, c.nBlue); }));
}

INSTANTIATE_TEST_SUITE_P(
    Colours, DisplayDeviceClearTest,
    ::testing::Values(ClearCase{0, 0, 0, "grBufferClear(0,0,65535)"},
                      ClearCase{255, 255, 255, "grBufferClear(4294967040,0,65535)"},
                      ClearCase{1, 2, 3, "grBufferClear(16909056,0,65535)"},
                      ClearCase{127, 0, 0, "grBufferClear(2130706432,0,65535)"},
                      // 0x1FF, 0x280, 0x3AB: only 0xFF, 0x80, 0xAB count
                      ClearCase{0x1FF, 0x280, 0x3AB, "grBufferClear(4286622464,0,65535)"},
                      // 256 is 0, 511 is 0xFF, -1 is 0xFF
                      ClearCase{256, 511, -1, "grBufferClear(16776960,0,65535)"}));

// ---------------------------------------------------------------- accessors and tables

TEST_F(DisplayDeviceTest, ConstructionSetsTheRenderSizeAndNothingElse)
{
    DisplayDevice display;
    ScreenSize size = {-1, -1};
    EXPECT_EQ(&size, display.GetScreenSize(&size));
    EXPECT_EQ(640, size.m_nWidth);
    EXPECT_EQ(480, size.m_nHeight);
    EXPECT_EQ(nullptr, display.GetRenderer());
    EXPECT_EQ(nullptr, display.GetWindow());
    EXPECT_EQ(nullptr, display.GetDeviceContext());
    EXPECT_EQ(nullptr, display.GetMirror());
}

TEST_F(DisplayDeviceTest, TheRendererPlacesTheScreenCentreFromTheScreenSize)
{
    ASSERT_EQ(1, OpenWith(kVoodoo, RUNMODE_RUN));
    ScreenSize size = {0, 0};
    Display()->GetScreenSize(&size);
    EXPECT_EQ(640, size.m_nWidth);
    EXPECT_EQ(480, size.m_nHeight);
    EXPECT_EQ(1, Display()->GetFullScreen());
}

struct ResolutionCase
{
    Int32 nHeight;
    int nExpected; // GrScreenResolution_t value, from the resolution table
};

TEST(ResolutionForHeightTest, MapsEveryHeightOfTheTableAndDefaultsTo640x480)
{
    const ResolutionCase cases[] = {{200, 0x0},
                                    {240, 0x1},
                                    {256, 0x2},
                                    {300, 0xF},
                                    {384, 0x3},
                                    {400, 0x6},
                                    {600, 0x8},
                                    {720, 0x9},
                                    {768, 0xC},
                                    {1024, 0xD},
                                    {1200, 0xE},
                                    // everything else, the default height among them
                                    {480, 0x7},
                                    {0, 0x7},
                                    {-480, 0x7},
                                    {201, 0x7},
                                    {350, 0x7},
                                    {864, 0x7},
                                    {960, 0x7},
                                    {1080, 0x7},
                                    {1536, 0x7},
                                    {0x7FFFFFFF, 0x7}};
    for (const ResolutionCase& c : cases)
        EXPECT_EQ(c.nExpected, static_cast<int>(ResolutionForHeight(c.nHeight)))
            << "height " << c.nHeight;
}
} // namespace
