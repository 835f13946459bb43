// Shell: the process-wide values every subsystem reaches through small
// accessors, the single-instance guard, the fatal-error path and the steps
// shared by the two programs' entry points (saver and demo).
//
// Owner of g_pEngine and g_pApp. Only the shell writes these values; all start
// as zero or null. Everything runs on the one thread that called WinMain.
#pragma once
#include <windows.h>
#include "Types.h"

class Engine;
class Application;

// Run modes. Every reader tests only for RUNMODE_WINDOWED; run and screensaver
// behave alike.
enum
{
    RUNMODE_RUN = 0,           // demo, or saver with an unknown switch
    RUNMODE_CONFIGURATION = 1, // saver with no argument or /c: box, then exit
    RUNMODE_WINDOWED = 2,      // no entry point sets it: full screen off, window not shown
    RUNMODE_SCREENSAVER = 3    // saver /s
};

extern Engine* g_pEngine;
extern Application* g_pApp;

HINSTANCE GetInstance();
HWND GetParentWindow();
Int32 GetRunMode();
Engine* GetEngine();
Application* GetApp();

// For harnesses and tools that drive the engine without an entry point (the
// capture tool, tests). The programs themselves set these only in WinMain and
// in the command-line step.
void SetInstance(HINSTANCE hInstance);
void SetRunMode(Int32 nRunMode);

// Reports a failed internal check: formats the box text, destroys what is left
// of the application and the engine, shows the "Assertion" box, then ends the
// process the way ExitProgram does but with exit code 1. Never returns.
void AssertionFailed(Int32 nId, const char* pszExpr, const char* pszFile, Int32 nLine);
// Destroys whatever of the application and the engine still exists
// (Application::Terminate, not Destroy). Safe to call again.
void EmergencyCleanup();
// Releases and closes the instance mutex and ends the process with exit code 0.
void ExitProgram();
// Creates the mutex "Moltrane - Mutex"; 1 when this process is the only
// instance, 0 when another one holds it. With the guard off (below) it
// creates nothing and returns 1.
Int32 AcquireInstanceMutex();
// On (1, the default) for saver and demo. The display mode turns it off when
// it draws into a window it was given: its host starts one instance per
// window (the preview pane, each screen) and ends each itself.
void SetInstanceGuard(Int32 nOn);
// The "Configuration" box, owned by the parent window.
void ShowConfiguration();
