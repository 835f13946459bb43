// Allocations made by the renderer, counted: the pool makes a frame that
// queues no more triangles than an earlier one allocate nothing, and the
// renderer's destruction gives back everything it took.
//
// Its own program: it links the counting operator new and delete
// (AllocationCounter), and runs the real software Glide (which draws without
// allocating).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <stdlib.h>
#include <string>

#include <Win32StandIn.h>
#include <windows.h>

#include "AllocationCounter.h"
#include "DisplayDevice.h"
#include "Engine.h"
#include "Mesh.h"
#include "MeshBuilder.h"
#include "Renderer.h"
#include "Shell.h"

namespace
{

class RendererAllocationTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        char szTemplate[] = "/tmp/moltrane-render-alloc-XXXXXX";
        const char* pszDir = mkdtemp(szTemplate);
        setenv("XDG_RUNTIME_DIR", pszDir != nullptr ? pszDir : "/tmp", 1);
        setenv("FX_GLIDE_SWAPINTERVAL", "0", 1);
        StandIn_SetHeadless(true);
        StandIn_Reset();
        SetInstance(GetModuleHandleA(nullptr));
        SetRunMode(RUNMODE_RUN);
        g_pEngine = new Engine;
        ASSERT_EQ(1, g_pEngine->Open());
        m_pRenderer = g_pEngine->GetDisplay()->GetRenderer();
        ASSERT_NE(nullptr, m_pRenderer);
        // Whatever the software Glide sets up on its first triangle happens
        // here, uncounted; the restart then gives a renderer as fresh as after
        // the open (empty pool, one-entry batch).
        GrVertex v;
        std::memset(&v, 0, sizeof v);
        v.x = 10.0f;
        v.y = 10.0f;
        GrVertex w = v, u = v;
        w.x = 20.0f;
        u.y = 20.0f;
        m_pRenderer->AddTriangle(v, w, u);
        m_pRenderer->Flush();
        m_pRenderer->Stop();
        ASSERT_EQ(1, m_pRenderer->Start());
    }

    void TearDown() override
    {
        AllocationCounter::Stop();
        if (g_pEngine != nullptr)
        {
            g_pEngine->Close();
            delete g_pEngine;
            g_pEngine = nullptr;
        }
        StandIn_Reset();
    }

    // A grid of nSide x nSide vertices spread over clip x and y in [-0.9, 0.9],
    // all inside: 2 (nSide - 1)^2 triangles, nSide^2 corners in one group.
    static Mesh* InsideGrid(UInt32 nSide)
    {
        Mesh* pMesh = MeshBuilder::BuildGrid(nSide, nSide);
        const float fScale = 1.8f / static_cast<float>(nSide - 1);
        for (Int32 n = 0; n < pMesh->GetVertexCount(); ++n)
        {
            MeshVertex& v = pMesh->GetVertex(n);
            v.m_fX = v.m_fX * fScale - 0.9f;
            v.m_fY = v.m_fY * fScale - 0.9f;
            v.m_fZ = 0.5f;
        }
        return pMesh;
    }

    // One frame: the meshes under the identity, then the flush. Returns the
    // allocations made during it.
    long Frame(std::initializer_list<Mesh*> meshes)
    {
        AllocationCounter::Start();
        m_pRenderer->BeginFrame();
        Matrix4* pTop = m_pRenderer->PushMatrix();
        for (Int32 i = 0; i < 16; ++i)
            pTop->m_afEntry[i] = (i % 5 == 0) ? 1.0f : 0.0f;
        for (Mesh* pMesh : meshes)
            pMesh->Draw();
        m_pRenderer->PopMatrix();
        m_pRenderer->Flush();
        AllocationCounter::Stop();
        return AllocationCounter::GetAllocations();
    }

    Renderer* m_pRenderer = nullptr;
};

TEST_F(RendererAllocationTest, OnlyGrowthAllocates)
{
    std::unique_ptr<Mesh> pSmall(InsideGrid(3)); // 9 corners, 8 triangles
    std::unique_ptr<Mesh> pLarge(InsideGrid(4)); // 16 corners, 18 triangles
    // First frame: the batch grows from 1 to 9 entries (two arrays) and every
    // triangle needs a new Triangle and node: 2 + 8 * 2.
    EXPECT_EQ(18, Frame({pSmall.get()}));
    EXPECT_EQ(0, Frame({pSmall.get()})) << "the same frame again";
    // The large grid: the batch grows to 16 (two arrays) and the pool of 8
    // lacks 10 triangles: 2 + 10 * 2.
    EXPECT_EQ(22, Frame({pLarge.get()}));
    EXPECT_EQ(0, Frame({pLarge.get()}));
    EXPECT_EQ(0, Frame({pSmall.get()})) << "fewer than before";
    // Both meshes in one frame: 26 triangles, 8 more than the pool holds.
    EXPECT_EQ(16, Frame({pSmall.get(), pLarge.get()}));
    for (Int32 i = 0; i < 20; ++i)
        EXPECT_EQ(0, Frame({pLarge.get(), pSmall.get()})) << "frame " << i;
    EXPECT_EQ(26, m_pRenderer->GetFreeTriangles().GetCount());
}

TEST_F(RendererAllocationTest, SceneFramesAllocateNothingAfterTheFirst)
{
    // The scene's two meshes with the scene's matrices, clipped and queued.
    std::unique_ptr<Mesh> pGrid(MeshBuilder::BuildGrid(25, 25));
    std::unique_ptr<Mesh> pDome(MeshBuilder::BuildDome(16, 20, 1.0f));
    for (Int32 n = 0; n < 625; ++n)
    {
        pGrid->GetVertex(n).m_fX -= 12.5f;
        pGrid->GetVertex(n).m_fY -= 12.5f;
        pGrid->GetVertex(n).m_fZ = 3.0f * std::sin(0.37f * static_cast<float>(n));
    }
    m_pRenderer->GetCamera()->SetPosition(Vector3(0.0f, 0.0f, 25 * -0.2857143f));
    m_pRenderer->GetCamera()->SetFarPlane(50.0f);
    const float fAngle = 0.8f;
    auto frame = [&]()
    {
        AllocationCounter::Start();
        m_pRenderer->BeginFrame();
        float* m = m_pRenderer->PushMatrix()->m_afEntry;
        const float c = std::cos(fAngle), s = std::sin(fAngle);
        for (Int32 r = 0; r < 4; ++r)
        {
            const float m0 = m[4 * r], m1 = m[4 * r + 1];
            m[4 * r] = c * m0 - s * m1;
            m[4 * r + 1] = s * m0 + c * m1;
        }
        pGrid->Draw();
        m_pRenderer->PopMatrix();
        m = m_pRenderer->PushMatrix()->m_afEntry;
        for (Int32 r = 0; r < 4; ++r)
        {
            m[4 * r] *= 30.0f;
            m[4 * r + 1] *= 30.0f;
            m[4 * r + 2] *= -30.0f;
        }
        pDome->Draw();
        m_pRenderer->PopMatrix();
        const Int32 nQueued = m_pRenderer->GetActiveList()->GetCount();
        m_pRenderer->Flush();
        AllocationCounter::Stop();
        return nQueued;
    };
    const Int32 nQueued = frame();
    EXPECT_GT(nQueued, 1152) << "the grid and part of the dome";
    EXPECT_GE(AllocationCounter::GetAllocations(), 2 * nQueued) << "the first frame fills the pool";
    for (Int32 i = 0; i < 30; ++i)
    {
        EXPECT_EQ(nQueued, frame());
        EXPECT_EQ(0, AllocationCounter::GetAllocations()) << "frame " << i;
    }
}

TEST_F(RendererAllocationTest, DestructionGivesBackEverything)
{
    // A renderer of our own with triangles in the pool and still pending.
    AllocationCounter::Start();
    Renderer* pRenderer = new Renderer;
    ASSERT_EQ(1, pRenderer->Start());
    GrVertex v;
    std::memset(&v, 0, sizeof v);
    for (Int32 i = 0; i < 4; ++i)
        pRenderer->AddTriangle(v, v, v);
    pRenderer->Flush();
    for (Int32 i = 0; i < 6; ++i)
        pRenderer->AddTriangle(v, v, v); // 4 from the pool, 2 new; all pending
    pRenderer->BeginVertices(40);
    pRenderer->Stop();
    pRenderer->Stop(); // as the display does before destroying it
    delete pRenderer;
    AllocationCounter::Stop();
    EXPECT_GT(AllocationCounter::GetAllocations(), 2 * 6);
    EXPECT_EQ(AllocationCounter::GetAllocations(), AllocationCounter::GetReleases())
        << "allocations not given back";
}

} // namespace
