// Benchmarks of the whole Vellumtide scene on the real engine, display,
// renderer, material and software Glide at 640x480, headless, with swaps not
// waiting for retraces (FX_GLIDE_SWAPINTERVAL=0).
//
//   BM_SceneFrame        one frame of the scene; items per second = frames per second
//   BM_StartToFirstFrame engine open, scene create and the first frame, from nothing
//
// BM_SceneFrame/N (N seconds of scene drawn first, unmeasured) also reports
// allocs_per_frame, global operator new calls per measured frame, and
// pool_growth_frames, how many of those frames queued more triangles than any
// frame before them: the renderer grows its triangle pool only then, and
// every other frame allocates nothing.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <new>

#include "AllocationCounter.h"

#include <Win32StandIn.h>
#include <windows.h>

#include "Application.h"
#include "DisplayDevice.h"
#include "Engine.h"
#include "Renderer.h"
#include "Shell.h"

namespace
{
// The scene's clock: 30 counts a second, one count a frame.
const long long kFramesPerSecond = 30;

void Prepare()
{
    setenv("FX_GLIDE_SWAPINTERVAL", "0", 1);
    StandIn_SetHeadless(true);
    StandIn_Reset();
    StandIn_SetTestClock(kFramesPerSecond, 0);
    SetInstance(GetModuleHandleA(nullptr));
    SetRunMode(RUNMODE_RUN);
}

bool OpenScene()
{
    g_pEngine = new (std::nothrow) Engine;
    g_pApp = CreateApplication();
    return g_pEngine != nullptr && g_pApp != nullptr && g_pEngine->Open() && g_pApp->Create();
}

void CloseScene()
{
    if (g_pApp != nullptr)
    {
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

void DrawFrame()
{
    StandIn_AdvanceTestClock(1);
    g_pEngine->Tick();
}

void BM_SceneFrame(benchmark::State& state)
{
    Prepare();
    if (!OpenScene())
    {
        state.SkipWithError("the engine or the scene did not open");
        CloseScene();
        return;
    }
    // state.range(0) seconds of scene first. The pool of queued triangles
    // grows to the largest frame seen; the grid's two turns and its swelling
    // keep setting new records for a while, rarer and rarer.
    for (long long k = 0; k < state.range(0) * kFramesPerSecond; k++)
        DrawFrame();

    const TriangleList& rPool = g_pEngine->GetDisplay()->GetRenderer()->GetFreeTriangles();
    long long llFrames = 0;
    long long llGrowthFrames = 0;
    AllocationCounter::Start();
    for (auto _ : state)
    {
        const Int32 nPoolBefore = rPool.GetCount();
        DrawFrame();
        llFrames++;
        if (rPool.GetCount() != nPoolBefore)
            llGrowthFrames++;
    }
    AllocationCounter::Stop();
    state.SetItemsProcessed(llFrames);
    const double dAllocations = (double)AllocationCounter::GetAllocations();
    state.counters["allocs_per_frame"] =
        benchmark::Counter(dAllocations / (double)(llFrames > 0 ? llFrames : 1));
    state.counters["pool_growth_frames"] = benchmark::Counter((double)llGrowthFrames);
    state.counters["fps"] = benchmark::Counter((double)llFrames, benchmark::Counter::kIsRate);
    CloseScene();
}
BENCHMARK(BM_SceneFrame)->Unit(benchmark::kMillisecond)->MinTime(5.0)->Arg(3)->Arg(70);

void BM_StartToFirstFrame(benchmark::State& state)
{
    Prepare();
    for (auto _ : state)
    {
        if (!OpenScene())
        {
            state.SkipWithError("the engine or the scene did not open");
            break;
        }
        DrawFrame();
        state.PauseTiming();
        CloseScene();
        StandIn_Reset();
        StandIn_SetTestClock(kFramesPerSecond, 0);
        state.ResumeTiming();
    }
    CloseScene();
}
BENCHMARK(BM_StartToFirstFrame)->Unit(benchmark::kMillisecond)->Iterations(20);
} // namespace

BENCHMARK_MAIN();
