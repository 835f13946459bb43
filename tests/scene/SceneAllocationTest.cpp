// Nothing is allocated per frame: the key frames change roles by pointer
// exchange, the grid is rewritten in place, the renderer reuses its pooled
// triangles and the software Glide its buffers.
//
// Its own program: it links the counting operator new (AllocationCounter) to
// count allocations while frames are drawn, and it runs the real software Glide.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include <Win32StandIn.h>
#include <windows.h>

#include "AllocationCounter.h"
#include "Application.h"
#include "DisplayDevice.h"
#include "Engine.h"
#include "Renderer.h"
#include "Shell.h"

namespace
{
// The renderer keeps the largest number of triangles any frame has queued in
// its pool; only a frame that queues more than every frame before it may
// allocate (a Triangle and its list node per extra triangle). Every other
// frame after the first, key-frame changes included, allocates nothing.
TEST(SceneAllocationTest, OnlyAFrameWithMoreTrianglesThanAnyBeforeAllocates)
{
    char szTemplate[] = "/tmp/moltrane-scene-alloc-XXXXXX";
    const char* pszDir = mkdtemp(szTemplate);
    setenv("XDG_RUNTIME_DIR", pszDir != nullptr ? pszDir : "/tmp", 1);
    setenv("FX_GLIDE_SWAPINTERVAL", "0", 1);
    StandIn_SetHeadless(true);
    StandIn_Reset();
    const long long kFrequency = 30;
    StandIn_SetTestClock(kFrequency, 0);

    SetInstance(GetModuleHandleA(nullptr));
    SetRunMode(RUNMODE_RUN);
    g_pEngine = new Engine;
    ASSERT_EQ(1, g_pEngine->Open());
    g_pApp = CreateApplication();
    ASSERT_NE(nullptr, g_pApp);
    ASSERT_EQ(1, g_pApp->Create());
    Renderer* pRenderer = g_pEngine->GetDisplay()->GetRenderer();

    // Five seconds at 30 frames a second: five key-frame changes.
    const int kFrames = 150;
    int nSteadyFrames = 0;
    for (int k = 1; k <= kFrames; k++)
    {
        const long nPoolBefore = pRenderer->GetFreeTriangles().GetCount();
        StandIn_AdvanceTestClock(1);
        AllocationCounter::Start();
        g_pEngine->Tick();
        AllocationCounter::Stop();
        const long nAllocations = AllocationCounter::GetAllocations();
        const long nGrowth = pRenderer->GetFreeTriangles().GetCount() - nPoolBefore;
        ASSERT_GE(nGrowth, 0) << "frame " << k;
        if (k == 1)
            continue; // the first frame also sizes the renderer's vertex batch
        if (nGrowth == 0)
        {
            nSteadyFrames++;
            ASSERT_EQ(0, nAllocations) << "frame " << k << " queued no more triangles than "
                                       << "an earlier frame, yet allocated";
        }
        else
        {
            ASSERT_LE(nAllocations, 2 * nGrowth)
                << "frame " << k << " grew the pool by " << nGrowth << " triangles";
        }
    }
    EXPECT_GT(nSteadyFrames, kFrames / 2) << "most frames reuse the pool";
    EXPECT_EQ(1, g_pEngine->IsRunning());

    g_pApp->Destroy();
    delete g_pApp;
    g_pApp = nullptr;
    g_pEngine->Close();
    delete g_pEngine;
    g_pEngine = nullptr;
    StandIn_Reset();
}
} // namespace
