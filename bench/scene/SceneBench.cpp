// Benchmarks of the whole Vellumtide scene on the real engine, display,
// renderer, material and software Glide at 640x480, headless, with swaps not
// waiting for retraces (FX_GLIDE_SWAPINTERVAL=0).
//
//   BM_SceneFrame        one frame of the scene; items per second = frames per second
//   BM_StartToFirstFrame engine open, scene create and the first frame, from nothing
//
// Both report allocs_per_frame: global operator new calls per frame once the
// scene has run its first frames (the triangle pool has grown), expected 0.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <new>

#include <Win32StandIn.h>
#include <windows.h>

#include "Application.h"
#include "Engine.h"
#include "Shell.h"

namespace
{
bool g_bCounting = false;
long long g_llAllocations = 0;

void* CountedAllocate(std::size_t uSize)
{
    if (g_bCounting)
        g_llAllocations++;
    return std::malloc(uSize == 0 ? 1 : uSize);
}
} // namespace

void* operator new(std::size_t uSize)
{
    void* p = CountedAllocate(uSize);
    if (p == nullptr)
        std::abort();
    return p;
}
void* operator new[](std::size_t uSize)
{
    return operator new(uSize);
}
void* operator new(std::size_t uSize, const std::nothrow_t&) noexcept
{
    return CountedAllocate(uSize);
}
void* operator new[](std::size_t uSize, const std::nothrow_t&) noexcept
{
    return CountedAllocate(uSize);
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete[](void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept
{
    std::free(p);
}

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
    // Three seconds of scene first: the pool of queued triangles has grown.
    for (int k = 0; k < 3 * kFramesPerSecond; k++)
        DrawFrame();

    long long llFrames = 0;
    g_llAllocations = 0;
    g_bCounting = true;
    for (auto _ : state)
    {
        DrawFrame();
        llFrames++;
    }
    g_bCounting = false;
    state.SetItemsProcessed(llFrames);
    state.counters["allocs_per_frame"] =
        benchmark::Counter((double)g_llAllocations / (double)(llFrames > 0 ? llFrames : 1));
    state.counters["fps"] = benchmark::Counter((double)llFrames, benchmark::Counter::kIsRate);
    CloseScene();
}
BENCHMARK(BM_SceneFrame)->Unit(benchmark::kMillisecond)->MinTime(5.0);

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
