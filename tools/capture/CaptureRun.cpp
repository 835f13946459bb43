#include "CaptureRun.h"

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <new>

#include "Application.h"
#include "DisplayDevice.h"
#include "Engine.h"
#include "FrameReadBack.h"
#include "GlideTraceRecorder.h"
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

// Before frame k: the traced stretch begins with the buffers as they are, and a marker that
// tells the replay which frame of the run its first frame is.
void BeginTrace(const CaptureOptions& rOptions, Int64 k)
{
    GlideTraceRecorder* pTrace = GlideTraceRecorder::Active();
    if (rOptions.m_strTracePath.empty() || k != rOptions.m_llTraceFrom || pTrace == nullptr)
        return;
    char szMarker[96];
    snprintf(szMarker, sizeof(szMarker), "vellumtide-capture first-frame=%lld step=%lld/%lld",
             (long long)k, (long long)rOptions.m_llStepNumerator,
             (long long)rOptions.m_llStepDenominator);
    pTrace->Marker(szMarker);
    pTrace->BeginPixels();
}

// After frame k: the last traced frame ends the trace.
Int32 EndTrace(const CaptureOptions& rOptions, Int64 k, std::string& rError)
{
    if (rOptions.m_strTracePath.empty() || k != rOptions.m_llTraceTo)
        return 1;
    std::string strError;
    if (!GlideTraceRecorder::Stop(&strError))
    {
        rError = "the trace could not be written: " + strError;
        return 0;
    }
    return 1;
}

Int32 DrawFrames(const CaptureOptions& rOptions, CaptureResult& rResult, std::string& rError,
                 Clock::time_point runStart)
{
    ScreenSize size;
    g_pEngine->GetDisplay()->GetScreenSize(&size);
    FrameReadBack readBack(size.m_nWidth, size.m_nHeight);

    size_t uNext = 0;
    const Int64 llLast = LastFrame(rOptions);
    for (Int64 k = 1; k <= llLast; k++)
    {
        BeginTrace(rOptions, k);
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

        if (uNext < rOptions.m_allFrames.size() && k == rOptions.m_allFrames[uNext])
        {
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
        if (!EndTrace(rOptions, k, rError))
            return 0;
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

    // A trace starts before the engine opens Glide, with state only (the board, textures and
    // state of the frames before the stretch), and records pixels from its first frame.
    if (!rOptions.m_strTracePath.empty())
    {
        std::string strError;
        if (!GlideTraceRecorder::Start(rOptions.m_strTracePath.c_str(), false, &strError))
        {
            rError = "cannot write the trace: " + strError;
            StandIn_UseRealClock();
            return 0;
        }
    }
    Int32 bOk = OpenScene(rError);
    if (bOk)
        bOk = DrawFrames(rOptions, rResult, rError, runStart);
    CloseScene();
    // A run that ended early leaves what it traced.
    GlideTraceRecorder::Stop(nullptr);
    StandIn_UseRealClock();
    return bOk;
}
