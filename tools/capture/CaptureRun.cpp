#include "CaptureRun.h"

#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <new>

#include "Application.h"
#include "DisplayDevice.h"
#include "Engine.h"
#include "FrameReadBack.h"
#include "ScreenSize.h"
#include "Shell.h"
#include "Win32StandIn.h"

namespace
{
typedef std::chrono::steady_clock Clock;

double SecondsBetween(Clock::time_point start, Clock::time_point end)
{
    return std::chrono::duration<double>(end - start).count();
}

// Processor time of the process (one thread): unlike wall time, it does not
// grow when other programs take the processor.
double ProcessCpuSeconds()
{
    return (double)std::clock() / (double)CLOCKS_PER_SEC;
}

// Delivers whatever the stand-in queued for the window (creation, showing,
// activation), one message at a time, as the programs' main loop does.
// Returns 0 when a quit message arrives.
Int32 PumpMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
    {
        if (msg.message == WM_QUIT)
            return 0;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 1;
}

// The engine and the scene, made and released in the shell's order.
Int32 OpenScene(std::string& rError)
{
    SetInstance(GetModuleHandleA(nullptr));
    SetRunMode(RUNMODE_RUN);
    g_pEngine = new (std::nothrow) Engine;
    g_pApp = CreateApplication();
    if (g_pEngine == nullptr || g_pApp == nullptr)
    {
        rError = "out of memory";
        return 0;
    }
    if (!g_pEngine->Open())
    {
        rError = "the engine did not open (no Glide board, or the material could not be set up)";
        return 0;
    }
    if (!g_pApp->Create())
    {
        rError = "the scene could not be created";
        return 0;
    }
    return 1;
}

void CloseScene()
{
    if (g_pApp != nullptr)
    {
        // Destroy is only for a scene whose Create ran; it is safe on a
        // partly made one, and releases nothing twice.
        g_pApp->Destroy();
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

Int32 DrawFrames(const CaptureOptions& rOptions, CaptureResult& rResult, std::string& rError,
                 Clock::time_point runStart)
{
    ScreenSize size;
    g_pEngine->GetDisplay()->GetScreenSize(&size);
    FrameReadBack readBack(size.m_nWidth, size.m_nHeight);

    size_t uNext = 0;
    const Int64 llLast = rOptions.m_allFrames.back();
    for (Int64 k = 1; k <= llLast; k++)
    {
        StandIn_AdvanceTestClock(rOptions.m_llStepNumerator);
        if (!PumpMessages() || !g_pEngine->IsRunning() || !g_pEngine->IsActive())
        {
            rError = "the engine stopped running before the last frame";
            return 0;
        }

        const Clock::time_point start = Clock::now();
        const double dCpuStart = ProcessCpuSeconds();
        g_pEngine->Tick();
        rResult.m_dDrawCpuSeconds += ProcessCpuSeconds() - dCpuStart;
        const Clock::time_point end = Clock::now();
        rResult.m_dDrawSeconds += SecondsBetween(start, end);
        rResult.m_llFramesDrawn++;
        if (k == 1)
            rResult.m_dFirstFrameSeconds = SecondsBetween(runStart, end);

        if (k != rOptions.m_allFrames[uNext])
            continue;
        if (!readBack.Read())
        {
            rError = "grLfbReadRegion could not read the frame";
            return 0;
        }
        CapturedFrame frame;
        frame.m_llFrame = k;
        frame.m_dTime = TimeOfFrame(rOptions, k);
        readBack.ToRgb(frame.m_Image);
        rResult.m_aFrames.push_back(std::move(frame));
        uNext++;
    }
    return 1;
}
} // namespace

Int32 RunCapture(const CaptureOptions& rOptions, CaptureResult& rResult, std::string& rError)
{
    const Clock::time_point runStart = Clock::now();

    // No display, no waiting for retraces, and a clock that only the run
    // moves: one step is exactly m_llStepNumerator counts at a frequency of
    // m_llStepDenominator counts per second.
    StandIn_SetHeadless(true);
    setenv("FX_GLIDE_SWAPINTERVAL", "0", 1);
    StandIn_SetTestClock(rOptions.m_llStepDenominator, 0);

    Int32 bOk = OpenScene(rError);
    if (bOk)
        bOk = DrawFrames(rOptions, rResult, rError, runStart);
    CloseScene();
    StandIn_UseRealClock();
    return bOk;
}
