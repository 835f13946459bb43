// Engine: open and close, the two flags, Tick, and the window procedure's
// message rules, against the real display device on the recording Glide and
// the headless stand-in.
//
// The mouse rule keeps its state for the whole life of the process, so every
// test that moves the mouse runs in a child process that starts from the
// state the test program began with; the parent never moves the mouse.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <RecordingGlide.h>
#include <Win32StandIn.h>
#include <windows.h>

#include "Application.h"
#include "DisplayDevice.h"
#include "Engine.h"
#include "Shell.h"

namespace
{
// Counts the frames the engine asks for.
class CountingApplication : public Application
{
  public:
    Int32 Create() override { return 1; }
    void Destroy() override {}
    void Terminate() override {}
    Int32 Frame() override
    {
        m_nFrames++;
        return 1;
    }
    int m_nFrames = 0;
};

class EngineTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        StandIn_SetHeadless(true);
        StandIn_Reset();
        RecordingGlide::Reset();
        SetInstance(GetModuleHandleA(nullptr));
        SetRunMode(RUNMODE_RUN);
        g_pApp = &m_app;
        m_pEngine = new Engine;
        g_pEngine = m_pEngine;
    }

    void TearDown() override
    {
        m_pEngine->Close();
        delete m_pEngine;
        g_pEngine = nullptr;
        g_pApp = nullptr;
        StandIn_Reset();
    }

    // Opens the engine; the window is then the display's.
    void Open()
    {
        ASSERT_EQ(1, m_pEngine->Open());
        m_hWnd = m_pEngine->GetDisplay()->GetWindow();
        ASSERT_NE(nullptr, m_hWnd);
        RecordingGlide::Clear();
    }

    LRESULT Send(UINT uMsg, WPARAM wParam, LPARAM lParam)
    {
        return EngineWindowProc(m_hWnd, uMsg, wParam, lParam);
    }

    // Takes in queued input and dispatches it the way the shell's loop does.
    void Pump()
    {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }

    // A fresh, unopened engine, for tests that go through several runs.
    void Restart()
    {
        TearDown();
        SetUp();
    }

    int CountDisplayOutputSwitches() { return RecordingGlide::CountOf("grSstControl"); }

    CountingApplication m_app;
    Engine* m_pEngine = nullptr;
    HWND m_hWnd = nullptr;
};
using EngineDeathTest = EngineTest;

// One mouse move and the running flag the rules must leave after it.
struct Move
{
    int x;
    int y;
    UINT uFlags;
    Int32 nRunning;
};

// Runs the moves through the window procedure in a child process and returns
// the transcript of running flags ("1 1 0"), which the caller matches against
// the expected one.
std::string Transcript(const std::vector<Move>& moves)
{
    std::string strTranscript;
    for (const Move& m : moves)
        strTranscript += (strTranscript.empty() ? "" : " ") + std::to_string(m.nRunning);
    return strTranscript;
}
} // namespace

// ---- Open, close, flags ----

TEST_F(EngineTest, ConstructionLeavesEverythingZero)
{
    EXPECT_EQ(0, m_pEngine->IsRunning());
    EXPECT_EQ(0, m_pEngine->IsActive());
    EXPECT_EQ(nullptr, m_pEngine->GetDisplay());
}

TEST_F(EngineTest, OpenRegistersTheClassAndOpensTheDisplay)
{
    Open();
    EXPECT_EQ(1, m_pEngine->IsRunning());
    EXPECT_EQ(1, m_pEngine->IsActive());
    EXPECT_EQ(1, m_pEngine->GetDisplay()->GetFullScreen());
    // The window procedure finds the engine through the pointer-sized slot.
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(m_pEngine), GetWindowLongPtrA(m_hWnd, GWLP_USERDATA));
    // The class is taken: registering it again fails while the engine is open.
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetInstance();
    wc.lpszClassName = "Vellumtide";
    EXPECT_EQ(0, RegisterClassA(&wc));
}

TEST_F(EngineTest, WindowedRunModeAsksForFullScreenOff)
{
    SetRunMode(RUNMODE_WINDOWED);
    Open();
    EXPECT_EQ(0, m_pEngine->GetDisplay()->GetFullScreen());
}

TEST_F(EngineTest, CloseReleasesEverythingAndMayRunAgain)
{
    Open();
    m_pEngine->Close();
    EXPECT_EQ(nullptr, m_pEngine->GetDisplay());
    EXPECT_EQ(0, m_pEngine->IsRunning());
    EXPECT_EQ(1, m_pEngine->IsActive()); // not changed by Close
    EXPECT_FALSE(IsWindow(m_hWnd));
    m_pEngine->Close();
    EXPECT_EQ(0, m_pEngine->IsRunning());
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetInstance();
    wc.lpszClassName = "Vellumtide";
    EXPECT_NE(0, RegisterClassA(&wc)); // unregistered by Close
}

TEST_F(EngineTest, AFailedDisplayOpenLeavesNothingBehind)
{
    RecordingGlide::Settings().nBoardType = RecordingGlideSettings::kNoBoard;
    EXPECT_EQ(0, m_pEngine->Open());
    EXPECT_EQ(nullptr, m_pEngine->GetDisplay());
    EXPECT_EQ(0, m_pEngine->IsRunning());
    EXPECT_EQ(0, m_pEngine->IsActive());
    // What the display had opened is closed again: Glide shut down, and the
    // class (and so its window) gone.
    EXPECT_EQ(RecordingGlide::CountOf("grGlideInit"), RecordingGlide::CountOf("grGlideShutdown"));
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetInstance();
    wc.lpszClassName = "Vellumtide";
    EXPECT_NE(0, RegisterClassA(&wc));
}

TEST_F(EngineTest, ATakenClassFailsTheOpenBeforeAnythingIsMade)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetInstance();
    wc.lpszClassName = "Vellumtide";
    ASSERT_NE(0, RegisterClassA(&wc));
    EXPECT_EQ(0, m_pEngine->Open());
    EXPECT_EQ(nullptr, m_pEngine->GetDisplay());
    EXPECT_EQ(0, m_pEngine->IsRunning());
    EXPECT_TRUE(RecordingGlide::Calls().empty());
}

TEST_F(EngineTest, TickDrawsOnlyWhileActive)
{
    m_pEngine->Tick(); // constructed: inactive
    EXPECT_EQ(0, m_app.m_nFrames);
    Open();
    m_pEngine->Tick();
    m_pEngine->Tick();
    EXPECT_EQ(2, m_app.m_nFrames);
    Send(WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), 0);
    m_pEngine->Tick();
    EXPECT_EQ(2, m_app.m_nFrames);
}

// ---- Messages that end the run ----

TEST_F(EngineTest, CloseDestroyAndCharacterEndTheRunAndReachTheDefault)
{
    const UINT messages[] = {WM_CHAR, WM_DESTROY, WM_CLOSE};
    for (UINT uMsg : messages)
    {
        Open();
        Send(uMsg, 'x', 0);
        EXPECT_EQ(0, m_pEngine->IsRunning()) << "message " << uMsg;
        EXPECT_EQ(1, m_pEngine->IsActive()) << "message " << uMsg;
        Restart();
    }
    // WM_CLOSE goes on to the default processing, which destroys the window.
    Open();
    Send(WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(m_hWnd));
}

TEST_F(EngineTest, SystemCloseShowsItsBoxAndSkipsTheDefault)
{
    Open();
    EXPECT_EQ(0, Send(WM_SYSCOMMAND, SC_CLOSE, 0));
    EXPECT_EQ(0, m_pEngine->IsRunning());
    const std::vector<StandInMessageBox> boxes = StandIn_GetMessageBoxes();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ("Error", boxes[0].strCaption);
    EXPECT_EQ("We got an SC_CLOSE message.", boxes[0].strText);
    EXPECT_EQ(static_cast<UINT>(MB_OK), boxes[0].uFlags);
    EXPECT_EQ(nullptr, boxes[0].hOwner);
    EXPECT_TRUE(IsWindow(m_hWnd)); // no default processing: the window stays
}

TEST_F(EngineTest, TheWindowManagersCloseRequestGoesThroughTheBox)
{
    Open();
    // The user dismisses the box; only then does the run end.
    Int32 nRunningDuringBox = -1;
    StandIn_SetMessageBoxHook(
        [&](const StandInMessageBox&)
        {
            nRunningDuringBox = m_pEngine->IsRunning();
            return IDOK;
        });
    ASSERT_TRUE(StandIn_PostCloseRequest(m_hWnd));
    Pump();
    EXPECT_EQ(1, nRunningDuringBox);
    EXPECT_EQ(0, m_pEngine->IsRunning());
    ASSERT_EQ(1u, StandIn_GetMessageBoxes().size());
    EXPECT_EQ("We got an SC_CLOSE message.", StandIn_GetMessageBoxes()[0].strText);
}

TEST_F(EngineTest, SystemCommandsAreComparedWhole)
{
    Open();
    // SC_CLOSE with its low four bits set is another command here: no box.
    Send(WM_SYSCOMMAND, SC_CLOSE | 0x3, 0);
    EXPECT_TRUE(StandIn_GetMessageBoxes().empty());
}

TEST_F(EngineTest, ScreenSaveIsSwallowedWhileRunning)
{
    Open();
    EXPECT_EQ(0, Send(WM_SYSCOMMAND, SC_SCREENSAVE, 0));
    EXPECT_EQ(1, m_pEngine->IsRunning());
    EXPECT_EQ(1, m_pEngine->IsActive());
}

TEST_F(EngineTest, KeysEndTheRunOnlyWhenTheyTypeACharacter)
{
    Open();
    const UINT keys[] = {VK_SHIFT, VK_CONTROL, VK_LEFT, VK_F1};
    for (UINT uKey : keys)
    {
        ASSERT_TRUE(StandIn_PostKey(m_hWnd, uKey, true));
        ASSERT_TRUE(StandIn_PostKey(m_hWnd, uKey, false));
        Pump();
        EXPECT_EQ(1, m_pEngine->IsRunning()) << "virtual key " << uKey;
    }
    ASSERT_TRUE(StandIn_PostKey(m_hWnd, 'A', true));
    Pump();
    EXPECT_EQ(0, m_pEngine->IsRunning());
}

// ---- Activation ----

TEST_F(EngineTest, LosingActivationSwitchesTheDisplayAwayAndEndsTheRun)
{
    struct Case
    {
        const char* pszName;
        WPARAM wParam;
    };
    const Case cases[] = {
        {"inactive", MAKEWPARAM(WA_INACTIVE, 0)},
        {"inactive, minimised", MAKEWPARAM(WA_INACTIVE, 1)},
        {"active but minimised", MAKEWPARAM(WA_ACTIVE, 1)},
        {"click-active but minimised", MAKEWPARAM(WA_CLICKACTIVE, 1)},
    };
    for (const Case& c : cases)
    {
        Open();
        Send(WM_ACTIVATE, c.wParam, 0);
        EXPECT_EQ(0, m_pEngine->IsActive()) << c.pszName;
        EXPECT_EQ(0, m_pEngine->IsRunning()) << c.pszName;
        // The board's output is switched off and the frame goes to a mirror.
        EXPECT_EQ(1, CountDisplayOutputSwitches()) << c.pszName;
        EXPECT_NE(nullptr, m_pEngine->GetDisplay()->GetMirror()) << c.pszName;
        Restart();
    }
}

TEST_F(EngineTest, RepeatedActivationChangesNothing)
{
    Open();
    Send(WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0), 0);
    Send(WM_ACTIVATE, MAKEWPARAM(WA_CLICKACTIVE, 0), 0);
    EXPECT_EQ(1, m_pEngine->IsActive());
    EXPECT_EQ(1, m_pEngine->IsRunning());
    EXPECT_EQ(0, CountDisplayOutputSwitches());
}

TEST_F(EngineTest, OnceStoppedTheRulesAreOff)
{
    Open();
    Send(WM_CHAR, 'q', 0);
    ASSERT_EQ(0, m_pEngine->IsRunning());

    Send(WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), 0);
    EXPECT_EQ(1, m_pEngine->IsActive()); // activation changes are ignored
    EXPECT_EQ(0, CountDisplayOutputSwitches());
    m_pEngine->SetActive(0);
    EXPECT_EQ(1, m_pEngine->IsActive());

    // A system close gets the default processing now: no box, and the
    // close it turns into destroys the window.
    Send(WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(StandIn_GetMessageBoxes().empty());
    EXPECT_FALSE(IsWindow(m_hWnd));
}

TEST_F(EngineTest, WithoutTheEnginePointerTheWindowGetsDefaults)
{
    Open();
    SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, 0);
    Send(WM_CHAR, 'x', 0);
    Send(WM_SYSCOMMAND, SC_SCREENSAVE, 0);
    EXPECT_EQ(1, m_pEngine->IsRunning());
    SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(m_pEngine));
}

// ---- The mouse rule (each scenario in a child process) ----

TEST_F(EngineDeathTest, MouseMovesAgainstTheFirstPositionSeen)
{
    struct Scenario
    {
        const char* pszName;
        std::vector<Move> moves;
    };
    const Scenario scenarios[] = {
        {"30 pixels in x keeps running, 31 stops",
         {{100, 100, 0, 1}, {130, 100, 0, 1}, {70, 100, 0, 1}, {131, 100, 0, 0}}},
        {"30 pixels in y keeps running, 31 stops",
         {{100, 100, 0, 1}, {100, 130, 0, 1}, {100, 70, 0, 1}, {100, 69, 0, 0}}},
        {"the first move only records the origin, however far",
         {{60000, 50000, 0, 1}, {60030, 49970, 0, 1}}},
        {"the origin never moves, so drift adds up",
         {{100, 100, 0, 1},
          {115, 100, 0, 1},
          {125, 100, 0, 1},
          {130, 100, 0, 1},
          {131, 100, 0, 0}}},
        {"a button held on the first move stops", {{10, 10, MK_LBUTTON, 0}}},
        {"right button", {{10, 10, 0, 1}, {10, 10, MK_RBUTTON, 0}}},
        {"middle button", {{10, 10, 0, 1}, {11, 10, MK_MBUTTON, 0}}},
        {"Shift held", {{10, 10, 0, 1}, {10, 11, MK_SHIFT, 0}}},
        {"Ctrl held", {{10, 10, 0, 1}, {10, 10, MK_CONTROL, 0}}},
        // -1 in a low word is 65535, not -1: a pointer just left of the
        // window is far from an origin at 0.
        {"coordinates are unsigned 16-bit values", {{0, 0, 0, 1}, {-1, 0, 0, 0}}},
        {"unsigned at the top of the range",
         {{65535, 65535, 0, 1}, {-31, -31, 0, 1}, {-32, 65535, 0, 0}}},
    };
    for (const Scenario& s : scenarios)
    {
        EXPECT_EXIT(
            {
                Open();
                std::string strTranscript;
                for (const Move& m : s.moves)
                {
                    Send(WM_MOUSEMOVE, m.uFlags, MAKELPARAM(m.x, m.y));
                    strTranscript +=
                        (strTranscript.empty() ? "" : " ") + std::to_string(m_pEngine->IsRunning());
                }
                fprintf(stderr, "running %s\n", strTranscript.c_str());
                _exit(0);
            },
            ::testing::ExitedWithCode(0), "^running " + Transcript(s.moves) + "\n$")
            << s.pszName;
    }
}

TEST_F(EngineDeathTest, OnlyTheLowThirtyTwoBitsOfTheMovesLParamCount)
{
    EXPECT_EXIT(
        {
            Open();
            const LPARAM lHigh =
                static_cast<LPARAM>(static_cast<ULONG_PTR>(1) << (sizeof(LPARAM) * 8 - 2));
            Send(WM_MOUSEMOVE, 0, MAKELPARAM(100, 100) | lHigh);
            Send(WM_MOUSEMOVE, 0, MAKELPARAM(130, 130) | lHigh);
            fprintf(stderr, "running %d\n", m_pEngine->IsRunning());
            _exit(0);
        },
        ::testing::ExitedWithCode(0), "^running 1\n$");
}

TEST_F(EngineDeathTest, TheOriginOutlivesTheRun)
{
    EXPECT_EXIT(
        {
            Open();
            Send(WM_MOUSEMOVE, 0, MAKELPARAM(100, 100));
            m_pEngine->Close();
            Open(); // a second run in the same process keeps the first origin
            Send(WM_MOUSEMOVE, 0, MAKELPARAM(300, 100));
            fprintf(stderr, "running %d\n", m_pEngine->IsRunning());
            _exit(0);
        },
        ::testing::ExitedWithCode(0), "^running 0\n$");
}

TEST_F(EngineDeathTest, MovesBeforeTheRunDoNotSetTheOrigin)
{
    EXPECT_EXIT(
        {
            Open();
            Send(WM_CHAR, 'x', 0); // stopped: the rules are off
            Send(WM_MOUSEMOVE, 0, MAKELPARAM(500, 500));
            m_pEngine->Close();
            Open();
            Send(WM_MOUSEMOVE, 0, MAKELPARAM(100, 100)); // the first move the rules see
            Send(WM_MOUSEMOVE, 0, MAKELPARAM(120, 120));
            fprintf(stderr, "running %d\n", m_pEngine->IsRunning());
            _exit(0);
        },
        ::testing::ExitedWithCode(0), "^running 1\n$");
}

TEST_F(EngineDeathTest, RealPointerInputReachesTheRules)
{
    EXPECT_EXIT(
        {
            Open();
            // Pumped after each move: queued moves are merged into the last one,
            // as Windows merges them.
            StandIn_PostMouseMove(m_hWnd, 200, 200, 0);
            Pump();
            StandIn_PostMouseMove(m_hWnd, 230, 170, 0);
            Pump();
            const Int32 nAfter30 = m_pEngine->IsRunning();
            StandIn_PostMouseMove(m_hWnd, 231, 200, 0);
            Pump();
            fprintf(stderr, "running %d %d\n", nAfter30, m_pEngine->IsRunning());
            _exit(0);
        },
        ::testing::ExitedWithCode(0), "^running 1 0\n$");
}
