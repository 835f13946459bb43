// soak-engine: the capture tool's engine for a long run. The whole scene (engine, display,
// renderer, material, software Glide) runs headless at 640x480 with swaps not waiting
// (FX_GLIDE_SWAPINTERVAL=0) and a test clock moved exactly 1/30 s before each frame, as
// vellumtide-capture runs it, and the process is sampled between frames.
//
//   soak-engine [FRAMES [EVERY]]      (default 108000 frames, one hour of scene time; a sample
//                                      every 10000 frames, and one at 1800, the first minute)
//   soak-engine --pool-blocks         prints "T,N": the bytes of a Triangle and of a list node,
//                                      the two blocks that the triangle pool grows by
//
// Output, one line a sample (bench/soak/soak makes the table and the verdicts):
//   sample FRAME SECONDS RSS_KIB FDS FRAMES MALLOC NEW GROWTH POOL -
// FRAMES is the number of frames since the previous sample; MALLOC and NEW are the calls of
// malloc (all forms, counted by the soak-tally library when it is preloaded, else "-") and of
// operator new (counted by the allocation counter) inside those frames; GROWTH is how many of
// them grew the renderer's triangle pool, POOL its size. (The last field, the window system's
// present, is the soak-tally library's in a program; headless there is none.) At the end:
//   settled LAST_GROWTH_FRAME FRAMES_AFTER MALLOC_AFTER NEW_AFTER QUIET MALLOC_QUIET NEW_QUIET
// the last frame that grew the pool (0: none did) and what the frames after it allocated; then
// the frames after the first that did not grow the pool, wherever they fell, and what they
// allocated.
// Exit codes: 0 done, 1 the scene failed, 2 a bad command line.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <new>

#include <Win32StandIn.h>
#include <windows.h>

#include "AllocationCounter.h"
#include "Application.h"
#include "DisplayDevice.h"
#include "Engine.h"
#include "ProcessGauge.h"
#include "Renderer.h"
#include "Shell.h"
#include "Triangle.h"
#include "TriangleNode.h"

namespace
{
const long long kFramesPerSecond = 30;
const long long kFirstMinute = 60 * kFramesPerSecond;

typedef long long (*TallyFunction)();

// Allocation counts since the start, sampled around each frame.
struct AllocationCounts
{
    long long llMalloc = 0;
    long long llNew = 0;
};

// What a stretch of frames did.
struct FrameSpan
{
    long long llFrames = 0;
    long long llMalloc = 0;
    long long llNew = 0;
    long long llGrowth = 0;
};

TallyFunction g_pfnTally = nullptr;

AllocationCounts ReadCounts()
{
    AllocationCounts counts;
    counts.llMalloc = g_pfnTally != nullptr ? g_pfnTally() : 0;
    counts.llNew = AllocationCounter::GetAllocations();
    return counts;
}

// Delivers whatever the stand-in queued, as the programs' main loop does; 0 on a quit message.
int PumpMessages()
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

int OpenScene()
{
    setenv("FX_GLIDE_SWAPINTERVAL", "0", 1);
    StandIn_SetHeadless(true);
    StandIn_SetTestClock(kFramesPerSecond, 0);
    SetInstance(GetModuleHandleA(nullptr));
    SetRunMode(RUNMODE_RUN);
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

// The frames since the last sample, and those since the pool last grew.
struct SoakTotals
{
    FrameSpan window;
    FrameSpan afterGrowth;
    FrameSpan quiet;            // frames after the first that did not grow the pool
    long long llLastGrowth = 0; // the last frame that grew the pool; 0 before any did
};

void AddFrame(FrameSpan& rSpan, long long llMalloc, long long llNew, bool bGrew)
{
    rSpan.llFrames++;
    rSpan.llMalloc += llMalloc;
    rSpan.llNew += llNew;
    rSpan.llGrowth += bGrew ? 1 : 0;
}

// One frame as the capture tool draws it: the clock on by one step, the messages, the tick.
// Adds what it allocated to rTotals; returns 0 when the engine stopped.
int DrawFrame(long long llFrame, SoakTotals& rTotals)
{
    const TriangleList& rPool = g_pEngine->GetDisplay()->GetRenderer()->GetFreeTriangles();
    const Int32 nPoolBefore = rPool.GetCount();
    StandIn_AdvanceTestClock(1);
    const AllocationCounts before = ReadCounts();
    if (!PumpMessages() || !g_pEngine->IsRunning() || !g_pEngine->IsActive())
        return 0;
    g_pEngine->Tick();
    const AllocationCounts after = ReadCounts();
    const long long llMalloc = after.llMalloc - before.llMalloc;
    const long long llNew = after.llNew - before.llNew;
    const bool bGrew = rPool.GetCount() > nPoolBefore;
    AddFrame(rTotals.window, llMalloc, llNew, bGrew);
    if (bGrew)
    {
        rTotals.llLastGrowth = llFrame;
        rTotals.afterGrowth = FrameSpan();
    }
    else
    {
        AddFrame(rTotals.afterGrowth, llMalloc, llNew, false);
        if (llFrame > 1)
            AddFrame(rTotals.quiet, llMalloc, llNew, false);
    }
    return 1;
}

void PrintCount(long long llCount)
{
    if (g_pfnTally != nullptr)
        printf(" %lld", llCount);
    else
        printf(" -");
}

void PrintSample(long long llFrame, const FrameSpan& rSpan)
{
    const TriangleList& rPool = g_pEngine->GetDisplay()->GetRenderer()->GetFreeTriangles();
    printf("sample %lld %.3f %ld %d %lld", llFrame, (double)llFrame / (double)kFramesPerSecond,
           ProcessGauge::GetResidentKiB(), ProcessGauge::GetOpenDescriptors(), rSpan.llFrames);
    PrintCount(rSpan.llMalloc);
    printf(" %lld %lld %d -\n", rSpan.llNew, rSpan.llGrowth, (int)rPool.GetCount());
    fflush(stdout);
}

bool IsSampleFrame(long long llFrame, long long llEvery, long long llLast)
{
    return llFrame == kFirstMinute || llFrame % llEvery == 0 || llFrame == llLast;
}

int RunFrames(long long llFrames, long long llEvery)
{
    SoakTotals totals;
    PrintSample(0, totals.window);
    for (long long k = 1; k <= llFrames; k++)
    {
        if (!DrawFrame(k, totals))
        {
            fprintf(stderr, "soak-engine: the engine stopped running at frame %lld\n", k);
            return 0;
        }
        if (!IsSampleFrame(k, llEvery, llFrames))
            continue;
        PrintSample(k, totals.window);
        totals.window = FrameSpan();
    }
    printf("settled %lld %lld", totals.llLastGrowth, totals.afterGrowth.llFrames);
    PrintCount(totals.afterGrowth.llMalloc);
    printf(" %lld %lld", totals.afterGrowth.llNew, totals.quiet.llFrames);
    PrintCount(totals.quiet.llMalloc);
    printf(" %lld\n", totals.quiet.llNew);
    return 1;
}

bool ParseCount(const char* pszText, long long* pllValue)
{
    char* pszEnd = nullptr;
    const long long llValue = strtoll(pszText, &pszEnd, 10);
    if (pszEnd == pszText || *pszEnd != '\0' || llValue < 1)
        return false;
    *pllValue = llValue;
    return true;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && strcmp(argv[1], "--pool-blocks") == 0)
    {
        printf("%zu,%zu\n", sizeof(Triangle), sizeof(TriangleNode));
        return 0;
    }
    long long llFrames = 108000;
    long long llEvery = 10000;
    if (argc > 3 || (argc > 1 && !ParseCount(argv[1], &llFrames)) ||
        (argc > 2 && !ParseCount(argv[2], &llEvery)))
    {
        fprintf(stderr, "usage: soak-engine [FRAMES [EVERY]]   (positive whole numbers)\n");
        return 2;
    }
    g_pfnTally = reinterpret_cast<TallyFunction>(dlsym(RTLD_DEFAULT, "SoakTally_GetAllocations"));
    AllocationCounter::Start();
    int bOk = OpenScene();
    if (!bOk)
        fprintf(stderr, "soak-engine: the engine or the scene did not open\n");
    else
        bOk = RunFrames(llFrames, llEvery);
    CloseScene();
    return bOk ? 0 : 1;
}
