// Shell: process-wide values, the instance mutex, the configuration box and
// the fatal-error path.
#include "Shell.h"

#include "Application.h"
#include "Engine.h"
#include "ShellSteps.h"

Engine* g_pEngine = nullptr;
Application* g_pApp = nullptr;

namespace
{
HINSTANCE s_hInstance = nullptr;
HWND s_hParentWindow = nullptr;
Int32 s_nRunMode = RUNMODE_RUN;
HANDLE s_hMutex = nullptr;
Int32 s_nInstanceGuard = 1;
// Set while a failed check is being reported, so that a check failing again
// during the cleanup does not clean up twice.
Int32 s_nInAssertion = 0;

const char kMutexName[] = "Moltrane - Mutex";
const char kConfigurationText[] =
    "Vellumtide\n\n"
    "A test of the Moltrane engine: it just warps a texture-mapped mesh.\n"
    "There is nothing to configure.";

// Releases and closes the instance mutex, then ends the process. The runtime's
// exit processing (static destructors) does not run.
void EndProcess(UINT uExitCode)
{
    if (s_hMutex != nullptr)
    {
        ReleaseMutex(s_hMutex);
        CloseHandle(s_hMutex);
        s_hMutex = nullptr;
    }
    ExitProcess(uExitCode);
}
} // namespace

HINSTANCE GetInstance()
{
    return s_hInstance;
}

HWND GetParentWindow()
{
    return s_hParentWindow;
}

Int32 GetRunMode()
{
    return s_nRunMode;
}

Engine* GetEngine()
{
    return g_pEngine;
}

Application* GetApp()
{
    return g_pApp;
}

void SetInstance(HINSTANCE hInstance)
{
    s_hInstance = hInstance;
}

void SetRunMode(Int32 nRunMode)
{
    s_nRunMode = nRunMode;
}

void SetParentWindow(HWND hWnd)
{
    s_hParentWindow = hWnd;
}

void SetInstanceGuard(Int32 nOn)
{
    s_nInstanceGuard = nOn;
}

Int32 AcquireInstanceMutex()
{
    if (!s_nInstanceGuard)
        return 1;
    s_hMutex = CreateMutexA(nullptr, TRUE, kMutexName);
    if (GetLastError() == ERROR_ALREADY_EXISTS)
    {
        ReleaseMutex(s_hMutex);
        return 0;
    }
    return 1;
}

void ExitProgram()
{
    EndProcess(0);
}

void EmergencyCleanup()
{
    if (g_pApp != nullptr)
    {
        g_pApp->Terminate();
        delete g_pApp;
        g_pApp = nullptr;
    }
    if (g_pEngine != nullptr)
    {
        g_pEngine->Close();
        delete g_pEngine;
        g_pEngine = nullptr;
    }
}

void AssertionFailed(Int32 nId, const char* pszExpr, const char* pszFile, Int32 nLine)
{
    (void)nId; // names the check at its call site; not shown
    char szText[1024];
    // wsprintfA writes at most 1024 characters, terminator included.
    wsprintfA(szText, "Assert Failed: %s\nIn: %s\nLine: %d", pszExpr != nullptr ? pszExpr : "",
              pszFile != nullptr ? pszFile : "", static_cast<int>(nLine));

    // The cleanup runs before the box, so the full-screen display is closed
    // and the box appears on the desktop.
    if (!s_nInAssertion)
    {
        s_nInAssertion = 1;
        EmergencyCleanup();
    }
    MessageBoxA(nullptr, szText, "Assertion", MB_OK | MB_ICONERROR);

    // Nothing can go on without the application and the engine, which the
    // cleanup has destroyed: end the way ExitProgram does, but report the
    // failure in the exit code.
    EndProcess(1);
}

void ShowConfiguration()
{
    MessageBoxA(GetParentWindow(), kConfigurationText, "Configuration", MB_OK);
}
