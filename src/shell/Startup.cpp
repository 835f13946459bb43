// Start-up sequence, main loop and teardown, shared by saver and demo.
#include <new>

#include "Application.h"
#include "Engine.h"
#include "Shell.h"
#include "ShellSteps.h"

namespace
{
// The checks live in each program's WinMain; their boxes name that file.
const char kCheckFile[] = "WinMain";

const char kOpenFailure[] = "Failed to initialize the Moltrane Engine!\n"
                            "You probably hit the Preview button, or ran the program\n"
                            " while you had the Display Properties box open\n"
                            " and you've got a Pure3D card.. Right?\n"
                            " If no, then email me with the problem!";
} // namespace

// Where the checks stand in each program's WinMain.
const CheckLines g_SaverCheckLines = {208, 215, 231, 268, 275};
const CheckLines g_DemoCheckLines = {209, 216, 232, 269, 276};

Int32 StartUp(const CheckLines& lines, Int32* pnExitCode)
{
    // The whole process, rendering included, runs at idle priority.
    SetPriorityClass(GetCurrentProcess(), IDLE_PRIORITY_CLASS);

    if (!AcquireInstanceMutex())
    {
        *pnExitCode = -1;
        return 0;
    }

    g_pEngine = new (std::nothrow) Engine;
    if (g_pEngine == nullptr)
        AssertionFailed(1, "g_pEngine", kCheckFile, lines.nEngineAllocated);

    g_pApp = CreateApplication();
    if (g_pApp == nullptr)
        AssertionFailed(4, "g_pApp", kCheckFile, lines.nAppAllocated);

    if (!g_pEngine->Open())
    {
        // Nothing more is released here: the process ends through the
        // runtime's exit and the system releases the mutex. The exit code
        // says that the start failed.
        MessageBoxA(nullptr, kOpenFailure, "Error", MB_OK);
        *pnExitCode = 1;
        return 0;
    }

    if (!g_pApp->Create())
        AssertionFailed(5, "g_pApp->Create()", kCheckFile, lines.nAppCreated);
    return 1;
}

void RunMainLoop(AfterFrameHook pfnAfterFrame)
{
    MSG msg;
    while (g_pEngine->IsRunning())
    {
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE))
        {
            if (!GetMessageA(&msg, nullptr, 0, 0))
            {
                // A quit message: the abnormal end (Terminate, not Destroy).
                EmergencyCleanup();
                ExitProgram();
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        else if (g_pEngine->IsActive())
        {
            g_pEngine->Tick();
            if (pfnAfterFrame != nullptr)
                pfnAfterFrame();
        }
        else
        {
            // An inactive engine costs no processor time.
            WaitMessage();
        }
    }
}

void TearDown(const CheckLines& lines)
{
    if (g_pApp == nullptr)
        AssertionFailed(6, "g_pApp", kCheckFile, lines.nAppTeardown);
    g_pApp->Destroy();
    delete g_pApp;
    g_pApp = nullptr;

    if (g_pEngine == nullptr)
        AssertionFailed(3, "g_pEngine", kCheckFile, lines.nEngineTeardown);
    g_pEngine->Close();
    delete g_pEngine;
    g_pEngine = nullptr;

    // The entry point never returns on this path, so the runtime's exit-time
    // handlers do not run.
    ExitProgram();
}

Int32 RunProgram(const CheckLines& lines)
{
    Int32 nExitCode = 0;
    if (!StartUp(lines, &nExitCode))
        return nExitCode;
    RunMainLoop();
    TearDown(lines);
    return 0;
}
