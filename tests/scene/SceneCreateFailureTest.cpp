// WarpScene::Create under allocation failure: whichever of its allocations
// (the grid, the key-frame arrays, the dome, and every array inside the two
// meshes) comes back null, Create reports 0 instead of using it, and
// Application::Destroy then releases what was made.
//
// Its own program: it replaces the non-throwing operator new (the engine's
// only way to allocate) so that the n-th call made while armed fails.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <string>

#include <RecordingGlide.h>
#include <Win32StandIn.h>
#include <windows.h>

#include "Engine.h"
#include "Shell.h"
#include "WarpScene.h"

namespace
{
bool g_bArmed = false;
long g_nCalls = 0;   // non-throwing allocations while armed
long g_nFailAt = -1; // the call (0-based) that fails; -1: none

void* MaybeAllocate(std::size_t uSize)
{
    if (g_bArmed && g_nCalls++ == g_nFailAt)
        return nullptr;
    return std::malloc(uSize == 0 ? 1 : uSize);
}
} // namespace

void* operator new(std::size_t uSize, const std::nothrow_t&) noexcept
{
    return MaybeAllocate(uSize);
}
void* operator new[](std::size_t uSize, const std::nothrow_t&) noexcept
{
    return MaybeAllocate(uSize);
}
void* operator new(std::size_t uSize)
{
    void* p = std::malloc(uSize == 0 ? 1 : uSize);
    if (p == nullptr)
        std::abort();
    return p;
}
void* operator new[](std::size_t uSize)
{
    return operator new(uSize);
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
class SceneCreateFailureTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        char szTemplate[] = "/tmp/moltrane-scene-fail-XXXXXX";
        const char* pszDir = mkdtemp(szTemplate);
        setenv("XDG_RUNTIME_DIR", pszDir != nullptr ? pszDir : "/tmp", 1);
        StandIn_SetHeadless(true);
        StandIn_Reset();
        RecordingGlide::Reset();
        SetInstance(GetModuleHandleA(nullptr));
        SetRunMode(RUNMODE_RUN);
        g_pEngine = new Engine;
        ASSERT_EQ(1, g_pEngine->Open());
    }

    void TearDown() override
    {
        g_pEngine->Close();
        delete g_pEngine;
        g_pEngine = nullptr;
        StandIn_Reset();
    }

    // Creates a scene with call nFailAt failing; returns Create's result and
    // the number of non-throwing allocations Create made.
    static int CreateWithFailure(long nFailAt, long* pnCalls)
    {
        WarpScene* pScene = new WarpScene;
        g_pApp = pScene;
        g_nCalls = 0;
        g_nFailAt = nFailAt;
        g_bArmed = true;
        const int nResult = pScene->Create();
        g_bArmed = false;
        *pnCalls = g_nCalls;
        pScene->Destroy();
        pScene->Destroy();
        delete pScene;
        g_pApp = nullptr;
        return nResult;
    }
};

TEST_F(SceneCreateFailureTest, EveryFailedAllocationMakesCreateReportZero)
{
    long nCalls = 0;
    ASSERT_EQ(1, CreateWithFailure(-1, &nCalls)) << "nothing failing";
    // The grid (mesh, vertices, groups, corners, triangles), four key-frame
    // arrays, the Backdrop and the dome (the same five): at least fifteen.
    ASSERT_GE(nCalls, 15);
    for (long n = 0; n < nCalls; n++)
    {
        long nMade = 0;
        EXPECT_EQ(0, CreateWithFailure(n, &nMade))
            << "allocation " << n << " of " << nCalls << " failing";
    }
}
} // namespace
