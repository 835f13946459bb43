// In a steady scene nothing is allocated per frame: the key frames change
// roles by pointer exchange, the grid is rewritten in place, the renderer
// reuses its pooled triangles and the software Glide its buffers.
//
// Its own program: it replaces the global operator new to count allocations
// while frames are drawn, and it runs the real software Glide.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <string>

#include <Win32StandIn.h>
#include <windows.h>

#include "Application.h"
#include "Engine.h"
#include "Shell.h"

namespace
{
bool g_bCounting = false;
long g_nAllocations = 0;

void* CountedAllocate(std::size_t uSize)
{
    if (g_bCounting)
        g_nAllocations++;
    return std::malloc(uSize == 0 ? 1 : uSize);
}
} // namespace

void* operator new(std::size_t uSize)
{
    void* p = CountedAllocate(uSize);
    if (p == nullptr)
        std::abort(); // the engine is built without exceptions
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
TEST(SceneAllocationTest, NothingIsAllocatedPerFrameAfterTheFirstFrames)
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

    // Warm-up: the triangle pool grows to the largest frame seen. The
    // counted frames cover key-frame changes (once a second at 30 frames a
    // second) and turns the grid has not shown before.
    const int kWarmUp = 90;
    const int kCounted = 300;
    long nPerFrameMax = 0;
    for (int k = 1; k <= kWarmUp + kCounted; k++)
    {
        StandIn_AdvanceTestClock(1);
        g_nAllocations = 0;
        g_bCounting = k > kWarmUp;
        g_pEngine->Tick();
        g_bCounting = false;
        if (g_nAllocations > nPerFrameMax)
            nPerFrameMax = g_nAllocations;
    }
    EXPECT_EQ(0, nPerFrameMax) << "allocations in the worst of " << kCounted << " frames";
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
