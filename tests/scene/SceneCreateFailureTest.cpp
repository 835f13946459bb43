// WarpScene::Create under allocation failure: whichever of its allocations
// (the grid, the key-frame arrays, the dome, and every array inside the two
// meshes) comes back null, Create reports 0 instead of using it, and
// Application::Destroy then releases what was made.
//
// Its own program: it links the counting operator new (AllocationCounter),
// whose non-throwing form (the engine's only way to allocate) fails the n-th
// call made while counting.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include <RecordingGlide.h>
#include <Win32StandIn.h>
#include <windows.h>

#include "AllocationCounter.h"
#include "Engine.h"
#include "Shell.h"
#include "WarpScene.h"

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
        AllocationCounter::FailNoThrowAt(nFailAt);
        AllocationCounter::Start();
        const int nResult = pScene->Create();
        AllocationCounter::Stop();
        *pnCalls = AllocationCounter::GetNoThrowAllocations();
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
