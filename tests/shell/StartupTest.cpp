// The start-up sequence, the main loop and the teardown: the order of the
// application's calls, the exit codes and the boxes. Every path that ends the
// process runs in a child process; the test application prints its calls to
// standard error when it is freed.
#include <sys/wait.h>
#include <unistd.h>

#include "DisplayDevice.h"
#include "Engine.h"
#include "ShellSteps.h"
#include "ShellTestSupport.h"

namespace
{
const char kOpenFailure[] = "Failed to initialize the Moltrane Engine!\n"
                            "You probably hit the Preview button, or ran the program\n"
                            " while you had the Display Properties box open\n"
                            " and you've got a Pure3D card.. Right?\n"
                            " If no, then email me with the problem!";

HWND EngineWindow()
{
    return g_pEngine->GetDisplay()->GetWindow();
}

// Ends the run the way a typed character does, from inside a frame.
void TypeCharacterOnFrame(int nFrame)
{
    if (nFrame == 1)
        PostMessageA(EngineWindow(), WM_CHAR, 'x', 0);
}

std::string AssertionBox(const char* pszExpr, const char* pszFile, int nLine)
{
    return Literal(std::string("Assertion: Assert Failed: ") + pszExpr + "\nIn: " + pszFile +
                   "\nLine: " + std::to_string(nLine));
}

class StartupTest : public ShellTest
{
};
using StartupDeathTest = StartupTest;
} // namespace

TEST_F(StartupDeathTest, ANormalRunDestroysClosesAndExitsWithZero)
{
    EXPECT_EXIT(
        {
            TestApplicationControl::s_pfnOnFrame = TypeCharacterOnFrame;
            RunProgram(g_SaverCheckLines);
        },
        ::testing::ExitedWithCode(0), "^calls: Create,Frame,Destroy\n$");
}

TEST_F(StartupDeathTest, AQuitMessageTerminatesInsteadOfDestroying)
{
    EXPECT_EXIT(
        {
            TestApplicationControl::s_pfnOnFrame = [](int) { PostQuitMessage(0); };
            RunProgram(g_DemoCheckLines);
        },
        ::testing::ExitedWithCode(0), "^calls: Create,Frame,Terminate\n$");
}

TEST_F(StartupDeathTest, TheLoopRunsAtIdlePriority)
{
    EXPECT_EXIT(
        {
            TestApplicationControl::s_pfnOnFrame = [](int nFrame)
            {
                fprintf(stderr, "idle %d\n",
                        GetPriorityClass(GetCurrentProcess()) == IDLE_PRIORITY_CLASS);
                TypeCharacterOnFrame(nFrame);
            };
            RunProgram(g_SaverCheckLines);
        },
        ::testing::ExitedWithCode(0), "^idle 1\ncalls: Create,Frame,Destroy\n$");
}

// Pending messages go first, one per pass; frames come only when the queue is
// empty.
TEST_F(StartupDeathTest, FramesComeOnlyWhenTheQueueIsEmpty)
{
    EXPECT_EXIT(
        {
            Int32 nExitCode = 0;
            if (!StartUp(g_SaverCheckLines, &nExitCode))
                _exit(3);
            for (int i = 0; i < 5; i++)
                PostMessageA(EngineWindow(), WM_NULL, 0, 0);
            TestApplicationControl::s_pfnOnFrame = [](int nFrame)
            {
                MSG msg;
                if (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE))
                    fprintf(stderr, "frame %d with a message waiting\n", nFrame);
                if (nFrame == 3)
                    PostMessageA(EngineWindow(), WM_CHAR, 'x', 0);
            };
            RunMainLoop();
            fprintf(stderr, "frames %d\n", TestApplicationControl::s_nFrames);
            ::TearDown(g_SaverCheckLines);
        },
        ::testing::ExitedWithCode(0), "^frames 3\ncalls: Create,Frame,Destroy\n$");
}

TEST_F(StartupDeathTest, AFailedEngineStartShowsItsBoxAndExitsWithOne)
{
    EXPECT_EXIT(
        {
            RecordingGlide::Settings().nBoardType = RecordingGlideSettings::kNoBoard;
            const Int32 nExitCode = RunProgram(g_SaverCheckLines);
            fprintf(stderr, "returned %d, engine %s, display %s, boxes:\n%s", nExitCode,
                    g_pEngine != nullptr ? "kept" : "gone",
                    g_pEngine != nullptr && g_pEngine->GetDisplay() == nullptr ? "gone" : "kept",
                    Boxes().c_str());
            _exit(nExitCode);
        },
        ::testing::ExitedWithCode(1),
        "returned 1, engine kept, display gone, boxes:\n" +
            Literal(std::string("Error|") + kOpenFailure) + "\n$");
}

TEST_F(StartupDeathTest, ASecondInstanceReturnsMinusOneWithNothingMade)
{
    EXPECT_EXIT(
        {
            if (!AcquireInstanceMutex())
                _exit(3);
            const pid_t pid = fork();
            if (pid == 0)
            {
                // The second instance, while the first holds the mutex.
                Int32 nExitCode = 0;
                const Int32 nGoOn = StartUp(g_DemoCheckLines, &nExitCode);
                fprintf(stderr, "go on %d, exit code %d, engine %s, app %s, idle %d, boxes %d\n",
                        nGoOn, nExitCode, g_pEngine != nullptr ? "made" : "none",
                        g_pApp != nullptr ? "made" : "none",
                        GetPriorityClass(GetCurrentProcess()) == IDLE_PRIORITY_CLASS,
                        static_cast<int>(StandIn_GetMessageBoxes().size()));
                _exit(0);
            }
            int nStatus = 0;
            waitpid(pid, &nStatus, 0);
            _exit(WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : 2);
        },
        ::testing::ExitedWithCode(0),
        "^go on 0, exit code -1, engine none, app none, idle 1, boxes 0\n$");
}

TEST_F(StartupDeathTest, TheMutexIsFreeAgainAfterTheProgramEnded)
{
    EXPECT_EXIT(
        {
            const pid_t pid = fork();
            if (pid == 0)
            {
                TestApplicationControl::s_pfnOnFrame = TypeCharacterOnFrame;
                RunProgram(g_SaverCheckLines);
                _exit(5);
            }
            int nStatus = 0;
            waitpid(pid, &nStatus, 0);
            fprintf(stderr, "first exit %d, acquired after %d\n",
                    WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1, AcquireInstanceMutex());
            _exit(0);
        },
        ::testing::ExitedWithCode(0), "first exit 0, acquired after 1\n$");
}

// ---- Failed checks: the box names the expression, WinMain and the line ----

TEST_F(StartupDeathTest, CreateFailingIsCheckFiveOnEachProgramsLine)
{
    TestApplicationControl::s_nCreateResult = 0;
    EXPECT_EXIT(RunProgram(g_SaverCheckLines), ::testing::ExitedWithCode(1),
                "^calls: Create,Terminate\n" + AssertionBox("g_pApp->Create()", "WinMain", 231) +
                    "\n$");
    EXPECT_EXIT(RunProgram(g_DemoCheckLines), ::testing::ExitedWithCode(1),
                "^calls: Create,Terminate\n" + AssertionBox("g_pApp->Create()", "WinMain", 232) +
                    "\n$");
}

TEST_F(StartupDeathTest, NoApplicationIsCheckFour)
{
    TestApplicationControl::s_bCreateReturnsNull = true;
    EXPECT_EXIT(RunProgram(g_SaverCheckLines), ::testing::ExitedWithCode(1),
                "^" + AssertionBox("g_pApp", "WinMain", 215) + "\n$");
    EXPECT_EXIT(RunProgram(g_DemoCheckLines), ::testing::ExitedWithCode(1),
                "^" + AssertionBox("g_pApp", "WinMain", 216) + "\n$");
}

TEST_F(StartupDeathTest, ApplicationGoneAtTeardownIsCheckSix)
{
    for (const CheckLines* pLines : {&g_SaverCheckLines, &g_DemoCheckLines})
    {
        EXPECT_EXIT(
            {
                Int32 nExitCode = 0;
                if (!StartUp(*pLines, &nExitCode))
                    _exit(3);
                TestApplicationControl::s_pfnOnFrame = TypeCharacterOnFrame;
                RunMainLoop();
                // Gone from the global, but still held here: only the check is under test,
                // and a sanitizer build's leak check at the end must not count the object.
                static Application* s_pHeld = g_pApp;
                (void)s_pHeld;
                g_pApp = nullptr;
                ::TearDown(*pLines);
            },
            ::testing::ExitedWithCode(1),
            "^" + AssertionBox("g_pApp", "WinMain", pLines->nAppTeardown) + "\n$");
    }
    EXPECT_EQ(268, g_SaverCheckLines.nAppTeardown);
    EXPECT_EQ(269, g_DemoCheckLines.nAppTeardown);
}

TEST_F(StartupDeathTest, EngineGoneAtTeardownIsCheckThreeAfterDestroy)
{
    for (const CheckLines* pLines : {&g_SaverCheckLines, &g_DemoCheckLines})
    {
        EXPECT_EXIT(
            {
                Int32 nExitCode = 0;
                if (!StartUp(*pLines, &nExitCode))
                    _exit(3);
                TestApplicationControl::s_pfnOnFrame = TypeCharacterOnFrame;
                RunMainLoop();
                g_pEngine = nullptr; // lost: never closed
                ::TearDown(*pLines);
            },
            ::testing::ExitedWithCode(1),
            "^calls: Create,Frame,Destroy\n" +
                AssertionBox("g_pEngine", "WinMain", pLines->nEngineTeardown) + "\n$");
    }
    EXPECT_EQ(275, g_SaverCheckLines.nEngineTeardown);
    EXPECT_EQ(276, g_DemoCheckLines.nEngineTeardown);
}

TEST(StartupLines, TheTwoProgramsChecksStandOnTheirOwnLines)
{
    EXPECT_EQ(208, g_SaverCheckLines.nEngineAllocated);
    EXPECT_EQ(215, g_SaverCheckLines.nAppAllocated);
    EXPECT_EQ(231, g_SaverCheckLines.nAppCreated);
    EXPECT_EQ(209, g_DemoCheckLines.nEngineAllocated);
    EXPECT_EQ(216, g_DemoCheckLines.nAppAllocated);
    EXPECT_EQ(232, g_DemoCheckLines.nAppCreated);
}
