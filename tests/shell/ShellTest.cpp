// The shell's own operations: accessors, the instance mutex, the emergency
// cleanup, the program's end and the assertion box.
#include "Engine.h"
#include "ShellSteps.h"
#include <sys/wait.h>

#include "ShellTestSupport.h"

namespace
{
class ShellValuesTest : public ShellTest
{
};
using ShellDeathTest = ShellValuesTest;
} // namespace

TEST_F(ShellValuesTest, AccessorsReturnWhatWasStored)
{
    HINSTANCE hInstance = reinterpret_cast<HINSTANCE>(static_cast<ULONG_PTR>(0x1234000));
    SetInstance(hInstance);
    EXPECT_EQ(hInstance, GetInstance());
    SetRunMode(RUNMODE_WINDOWED);
    EXPECT_EQ(RUNMODE_WINDOWED, GetRunMode());
    EXPECT_EQ(nullptr, GetEngine());
    EXPECT_EQ(nullptr, GetApp());
    Engine engine;
    g_pEngine = &engine;
    EXPECT_EQ(&engine, GetEngine());
    g_pEngine = nullptr;
}

TEST_F(ShellValuesTest, EmergencyCleanupTerminatesFreesAndMayRunAgain)
{
    g_pApp = CreateApplication();
    g_pEngine = new Engine;
    EmergencyCleanup();
    EXPECT_EQ(nullptr, g_pApp);
    EXPECT_EQ(nullptr, g_pEngine);
    EXPECT_EQ("Terminate", TestApplicationControl::s_strCalls);
    EmergencyCleanup();
    EXPECT_EQ("Terminate", TestApplicationControl::s_strCalls);
}

TEST_F(ShellDeathTest, ExitProgramEndsWithZeroWithoutStaticDestructors)
{
    struct Witness
    {
        ~Witness() { fprintf(stderr, "static destructor ran\n"); }
    };
    EXPECT_EXIT(
        {
            static Witness s_witness;
            AcquireInstanceMutex();
            fprintf(stderr, "ending\n");
            ExitProgram();
        },
        ::testing::ExitedWithCode(0), "^ending\n$");
}

TEST_F(ShellDeathTest, AssertionCleansUpBeforeItsBoxThenEndsWithOne)
{
    EXPECT_EXIT(
        {
            g_pApp = CreateApplication();
            g_pEngine = new Engine;
            StandIn_SetMessageBoxHook(
                [](const StandInMessageBox& box)
                {
                    fprintf(stderr, "box %s|%s|flags %u|owner %s|app %s|engine %s\n",
                            box.strCaption.c_str(), box.strText.c_str(), box.uFlags,
                            box.hOwner != nullptr ? "set" : "none",
                            g_pApp != nullptr ? "alive" : "gone",
                            g_pEngine != nullptr ? "alive" : "gone");
                    return IDOK;
                });
            AssertionFailed(9, "x > 0", "Somewhere", 42);
            fprintf(stderr, "returned\n");
        },
        ::testing::ExitedWithCode(1),
        "^calls: Terminate\nbox Assertion\\|Assert Failed: x > 0\nIn: Somewhere\nLine: "
        "42\\|flags " +
            std::to_string(MB_OK | MB_ICONERROR) + "\\|owner none\\|app gone\\|engine gone\n$");
}

TEST_F(ShellDeathTest, ACheckFailingDuringTheCleanupEndsWithoutLooping)
{
    EXPECT_EXIT(
        {
            g_pApp = CreateApplication();
            TestApplicationControl::s_pfnOnTerminate = []()
            { AssertionFailed(2, "inner", "Inner", 7); };
            AssertionFailed(1, "outer", "Outer", 5);
        },
        ::testing::ExitedWithCode(1), "Assert Failed: inner\nIn: Inner\nLine: 7");
}

TEST_F(ShellDeathTest, TheInstanceMutexIsHeldUntilTheProcessEnds)
{
    EXPECT_EXIT(
        {
            const Int32 nFirst = AcquireInstanceMutex();
            const pid_t pid = fork();
            if (pid == 0)
                _exit(AcquireInstanceMutex() == 0 ? 10 : 11);
            int nStatus = 0;
            waitpid(pid, &nStatus, 0);
            fprintf(stderr, "first %d, other process refused %d\n", nFirst,
                    WIFEXITED(nStatus) && WEXITSTATUS(nStatus) == 10);
            _exit(0);
        },
        ::testing::ExitedWithCode(0), "^first 1, other process refused 1\n$");
}
