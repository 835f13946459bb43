// The steps the two programs' entry points are made of: the saver's
// command-line step, the start-up sequence, the main loop and the teardown.
// Each WinMain stores its instance, then calls these in order; they are kept
// apart so that harnesses can run each step without ending the process where
// the step itself does not.
#pragma once
#include <windows.h>
#include "Types.h"

// Source lines of the checks made in one program's WinMain, as that program's
// assertion boxes report them (the file is "WinMain" in both programs).
struct CheckLines
{
    Int32 nEngineAllocated; // id 1, after the Engine's allocation
    Int32 nAppAllocated;    // id 4, after CreateApplication
    Int32 nAppCreated;      // id 5, when Create returned 0
    Int32 nAppTeardown;     // id 6, before Application::Destroy
    Int32 nEngineTeardown;  // id 3, before Engine::Close
};

// The two programs' lines.
extern const CheckLines g_SaverCheckLines;
extern const CheckLines g_DemoCheckLines;

enum
{
    COMMANDLINE_EXIT = 0, // the program ends now with exit code 0
    COMMANDLINE_START = 1 // go on with the start-up sequence
};

// Sets the parent window; the command-line step and the demo's entry point.
void SetParentWindow(HWND hWnd);

// The saver's command-line step: chooses the run mode and the parent window,
// shows the configuration box or the bad-parameter box. Never ends the process.
Int32 RunCommandLine(const char* pszCmdLine);

// Start-up sequence, main loop and teardown. Returns only on the paths that
// end through the runtime's ordinary exit, with the exit code: -1 when another
// instance runs, 1 when the engine failed to start (after its box). Otherwise
// the process ends inside (ExitProgram, or AssertionFailed).
Int32 RunProgram(const CheckLines& lines);

// Steps 1 to 6 of the start-up sequence: 1 to go on to the loop; 0 when the
// program must end now, with the exit code (-1 or 1) in *pnExitCode.
Int32 StartUp(const CheckLines& lines, Int32* pnExitCode);
// Called after each frame the loop drew (Engine::Tick while active).
typedef void (*AfterFrameHook)();

// One message per pass, frames only when the queue is empty, WaitMessage when
// inactive. Returns when the running flag is cleared; a quit message ends the
// process (EmergencyCleanup, ExitProgram). pfnAfterFrame, when given, runs
// after every frame.
void RunMainLoop(AfterFrameHook pfnAfterFrame = nullptr);
// Destroy, Close, ExitProgram. Never returns.
void TearDown(const CheckLines& lines);
