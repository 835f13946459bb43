// The saver's command-line step: run modes, the parent window, the boxes, and
// command lines longer than the step's buffers. The step never ends the
// process, so these run in the test process itself.
#include <string>

#include "ShellSteps.h"
#include "ShellTestSupport.h"

namespace
{
const char kBadParameters[] = "Bad command line parameters.\nParams: ";

class CommandLineTest : public ShellTest
{
  protected:
    // A window of the test's own, brought to the foreground.
    HWND MakeForegroundWindow()
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetInstance();
        wc.lpszClassName = "CommandLineTestOwner";
        RegisterClassA(&wc);
        HWND hWnd = CreateWindowExA(0, wc.lpszClassName, "owner", WS_POPUP, 0, 0, 100, 100, nullptr,
                                    nullptr, GetInstance(), nullptr);
        ShowWindow(hWnd, SW_SHOWNORMAL);
        SetForegroundWindow(hWnd);
        return hWnd;
    }
};
} // namespace

TEST_F(CommandLineTest, RunModesAndBoxesOfEachSwitch)
{
    struct Case
    {
        const char* pszCmdLine;
        Int32 nResult;
        Int32 nRunMode;
        const char* pszBoxCaption; // null: no box
    };
    const Case cases[] = {
        {"", COMMANDLINE_EXIT, RUNMODE_CONFIGURATION, "Configuration"},
        {"  \t ", COMMANDLINE_EXIT, RUNMODE_CONFIGURATION, "Configuration"},
        {"/c", COMMANDLINE_EXIT, RUNMODE_CONFIGURATION, "Configuration"},
        {"-C:99 more", COMMANDLINE_EXIT, RUNMODE_CONFIGURATION, "Configuration"},
        {"/s", COMMANDLINE_START, RUNMODE_SCREENSAVER, nullptr},
        {"-S", COMMANDLINE_START, RUNMODE_SCREENSAVER, nullptr},
        {"/S", COMMANDLINE_START, RUNMODE_SCREENSAVER, nullptr},
        {"xs", COMMANDLINE_START, RUNMODE_SCREENSAVER, nullptr},
        {"  /s  trailing words", COMMANDLINE_START, RUNMODE_SCREENSAVER, nullptr},
        {"/a", COMMANDLINE_START, RUNMODE_RUN, "Error"},
        {"s", COMMANDLINE_START, RUNMODE_RUN,
         "Error"}, // one character: the second is the terminator
        {"/", COMMANDLINE_START, RUNMODE_RUN, "Error"},
        {"/x 1 2 3", COMMANDLINE_START, RUNMODE_RUN, "Error"},
    };
    for (const Case& c : cases)
    {
        StandIn_ClearMessageBoxes();
        SetRunMode(RUNMODE_WINDOWED); // a value no switch gives
        EXPECT_EQ(c.nResult, RunCommandLine(c.pszCmdLine)) << '"' << c.pszCmdLine << '"';
        EXPECT_EQ(c.nRunMode, GetRunMode()) << '"' << c.pszCmdLine << '"';
        EXPECT_EQ(nullptr, GetParentWindow()) << '"' << c.pszCmdLine << '"';
        const std::vector<StandInMessageBox> boxes = StandIn_GetMessageBoxes();
        if (c.pszBoxCaption == nullptr)
        {
            EXPECT_TRUE(boxes.empty()) << '"' << c.pszCmdLine << "\" showed " << Boxes();
            continue;
        }
        ASSERT_EQ(1u, boxes.size()) << '"' << c.pszCmdLine << '"';
        EXPECT_EQ(c.pszBoxCaption, boxes[0].strCaption) << '"' << c.pszCmdLine << '"';
        EXPECT_EQ(static_cast<UINT>(MB_OK), boxes[0].uFlags) << '"' << c.pszCmdLine << '"';
        EXPECT_EQ(nullptr, boxes[0].hOwner) << '"' << c.pszCmdLine << '"';
        if (std::string(c.pszBoxCaption) == "Error") // names the whole command line
        {
            EXPECT_EQ(std::string(kBadParameters) + c.pszCmdLine, boxes[0].strText);
        }
    }
}

TEST_F(CommandLineTest, ConfigurationBoxNamesTheSceneAndTheEngine)
{
    EXPECT_EQ(COMMANDLINE_EXIT, RunCommandLine(""));
    const std::vector<StandInMessageBox> boxes = StandIn_GetMessageBoxes();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ("Configuration", boxes[0].strCaption);
    EXPECT_NE(std::string::npos, boxes[0].strText.find("Vellumtide"));
    EXPECT_NE(std::string::npos, boxes[0].strText.find("test of the Moltrane engine"));
    EXPECT_NE(std::string::npos, boxes[0].strText.find("just warps a texture-mapped mesh"));
}

TEST_F(CommandLineTest, ConfigurationSwitchOwnsTheBoxByTheForegroundWindow)
{
    HWND hOwner = MakeForegroundWindow();
    ASSERT_NE(nullptr, hOwner);
    ASSERT_EQ(hOwner, GetForegroundWindow());

    EXPECT_EQ(COMMANDLINE_EXIT, RunCommandLine("/c:1234"));
    EXPECT_EQ(RUNMODE_CONFIGURATION, GetRunMode());
    EXPECT_EQ(hOwner, GetParentWindow()); // the number after the colon is ignored
    const std::vector<StandInMessageBox> boxes = StandIn_GetMessageBoxes();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(hOwner, boxes[0].hOwner);

    // With no argument the box has no owner, foreground window or not.
    StandIn_ClearMessageBoxes();
    EXPECT_EQ(COMMANDLINE_EXIT, RunCommandLine(""));
    ASSERT_EQ(1u, StandIn_GetMessageBoxes().size());
    EXPECT_EQ(nullptr, StandIn_GetMessageBoxes()[0].hOwner);

    // A run afterwards starts with no parent.
    EXPECT_EQ(COMMANDLINE_START, RunCommandLine("/s"));
    EXPECT_EQ(nullptr, GetParentWindow());
}

TEST_F(CommandLineTest, PreviewEndsAtOnceTouchingNothing)
{
    SetRunMode(RUNMODE_WINDOWED);
    const DWORD dwPriority = GetPriorityClass(GetCurrentProcess());
    EXPECT_EQ(COMMANDLINE_EXIT, RunCommandLine("/p 1234"));
    EXPECT_EQ(COMMANDLINE_EXIT, RunCommandLine("-P"));
    EXPECT_EQ(RUNMODE_WINDOWED, GetRunMode());
    EXPECT_EQ(dwPriority, GetPriorityClass(GetCurrentProcess()));
    EXPECT_TRUE(StandIn_GetMessageBoxes().empty()) << Boxes();
    EXPECT_EQ(nullptr, g_pEngine);
}

TEST_F(CommandLineTest, LongCommandLinesAreShortenedNeverOverrun)
{
    const std::string strLongBad = "/a" + std::string(5000, 'x') + " tail";
    EXPECT_EQ(COMMANDLINE_START, RunCommandLine(strLongBad.c_str()));
    EXPECT_EQ(RUNMODE_RUN, GetRunMode());
    const std::vector<StandInMessageBox> boxes = StandIn_GetMessageBoxes();
    ASSERT_EQ(1u, boxes.size());
    const std::string strFull = kBadParameters + strLongBad;
    EXPECT_EQ(strFull.substr(0, 1023), boxes[0].strText); // the box's buffer holds 1023 characters

    const std::string strLongRun = "/s" + std::string(5000, 'y');
    EXPECT_EQ(COMMANDLINE_START, RunCommandLine(strLongRun.c_str()));
    EXPECT_EQ(RUNMODE_SCREENSAVER, GetRunMode());
}
