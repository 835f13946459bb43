// The triangle queue: AddTriangle, Flush and the pool, SetMaterial and
// SetCullMode, checked on the recording Glide's log.
#include "RendererFixture.h"

#include <memory>

namespace
{

// The built-in material's state, set once per flush (no texture: no
// guTexSource).
const std::vector<std::string> kApplyCalls = {"grTexCombineFunction", "grConstantColorValue",
                                              "guColorCombineFunction", "grAlphaBlendFunction",
                                              "grAlphaCombine"};

TEST_F(RendererTest, EmptyFlushStillAppliesTheMaterialOnce)
{
    m_pRenderer->Flush();
    EXPECT_EQ(kApplyCalls, RecordingGlide::Names());
    EXPECT_EQ(0, RecordingGlide::CountOf("grDrawTriangle"));
}

TEST_F(RendererTest, FlushDrawsEveryTriangleInQueueOrderAfterOneApply)
{
    const Int32 N = 5;
    for (Int32 i = 0; i < N; ++i)
    {
        GrVertex a = Marked(10.0f * i), b = Marked(10.0f * i + 1), c = Marked(10.0f * i + 2);
        m_pRenderer->AddTriangle(a, b, c);
    }
    EXPECT_EQ(N, m_pRenderer->GetActiveList()->GetCount());
    m_pRenderer->Flush();

    std::vector<std::string> expected = kApplyCalls;
    for (Int32 i = 0; i < N; ++i)
        expected.push_back("grDrawTriangle");
    EXPECT_EQ(expected, RecordingGlide::Names());
    const std::vector<RecordedTriangle>& drawn = RecordingGlide::Triangles();
    ASSERT_EQ(static_cast<size_t>(N), drawn.size());
    for (Int32 i = 0; i < N; ++i)
        for (Int32 k = 0; k < 3; ++k)
            EXPECT_EQ(10.0f * i + k, drawn[i].v[k].x) << "triangle " << i << " vertex " << k;

    // Everything drawn goes to the pool, in drawing order.
    EXPECT_EQ(0, m_pRenderer->GetActiveList()->GetCount());
    EXPECT_EQ(nullptr, m_pRenderer->GetActiveList()->GetFirst());
    const std::vector<TriangleNode*> pool = Nodes(m_pRenderer->GetFreeTriangles());
    ASSERT_EQ(static_cast<size_t>(N), pool.size());
    for (Int32 i = 0; i < N; ++i)
        EXPECT_EQ(10.0f * i, pool[i]->m_pTriangle->m_aVertices[0].x) << "pool position " << i;
}

TEST_F(RendererTest, TrianglesAreCopiedWhole)
{
    GrVertex a, b, c;
    float* apf[3] = {&a.x, &b.x, &c.x};
    for (Int32 k = 0; k < 3; ++k)
        for (Int32 f = 0; f < 15; ++f)
            apf[k][f] = 100.0f * k + f;
    m_pRenderer->AddTriangle(a, b, c);
    a.x = b.x = c.x = -1.0f; // the queue holds copies
    const Triangle* pTriangle = Pending()[0];
    for (Int32 k = 0; k < 3; ++k)
    {
        const float* pf = &pTriangle->m_aVertices[k].x;
        for (Int32 f = 0; f < 15; ++f)
            EXPECT_EQ(100.0f * k + f, pf[f]) << "vertex " << k << " float " << f;
    }
}

TEST_F(RendererTest, QueuingTakesThePoolsFirstNode)
{
    GrVertex v = Marked(0.0f);
    for (Int32 i = 0; i < 3; ++i)
        m_pRenderer->AddTriangle(v, v, v);
    m_pRenderer->Flush();
    const std::vector<TriangleNode*> pool = Nodes(m_pRenderer->GetFreeTriangles());
    ASSERT_EQ(3u, pool.size());
    Triangle* pFirstTriangle = pool[0]->m_pTriangle;

    m_pRenderer->AddTriangle(v, v, v);
    EXPECT_EQ(pool[0], m_pRenderer->GetActiveList()->GetLast());
    EXPECT_EQ(pFirstTriangle, m_pRenderer->GetActiveList()->GetLast()->m_pTriangle)
        << "the node keeps its Triangle";
    EXPECT_EQ(2, m_pRenderer->GetFreeTriangles().GetCount());
    EXPECT_EQ(pool[1], m_pRenderer->GetFreeTriangles().GetFirst());
}

TEST_F(RendererTest, PooledNodesAreReusedInRotation)
{
    // Three pooled nodes, two triangles per frame: the flush appends the
    // drained nodes at the pool's tail, so the nodes take turns.
    GrVertex v = Marked(0.0f);
    for (Int32 i = 0; i < 3; ++i)
        m_pRenderer->AddTriangle(v, v, v);
    m_pRenderer->Flush();
    const std::vector<TriangleNode*> n = Nodes(m_pRenderer->GetFreeTriangles()); // n0 n1 n2

    const std::vector<std::vector<TriangleNode*>> aExpectedUsed = {
        {n[0], n[1]}, {n[2], n[0]}, {n[1], n[2]}, {n[0], n[1]}};
    const std::vector<std::vector<TriangleNode*>> aExpectedPool = {
        {n[2], n[0], n[1]}, {n[1], n[2], n[0]}, {n[0], n[1], n[2]}, {n[2], n[0], n[1]}};
    for (size_t f = 0; f < aExpectedUsed.size(); ++f)
    {
        m_pRenderer->AddTriangle(v, v, v);
        m_pRenderer->AddTriangle(v, v, v);
        EXPECT_EQ(aExpectedUsed[f], Nodes(*m_pRenderer->GetActiveList())) << "frame " << f;
        m_pRenderer->Flush();
        EXPECT_EQ(aExpectedPool[f], Nodes(m_pRenderer->GetFreeTriangles())) << "frame " << f;
    }
}

TEST_F(RendererTest, DrawingOrderRunsAcrossMeshes)
{
    BeginIdentityFrame();
    // Two meshes, each one triangle, drawn in turn, then a third queued by hand.
    std::unique_ptr<Mesh> pFirst(MakeMesh({{-0.5f, -0.5f, 0.5f, 1, 1, 1, 1, 1, 0, 0},
                                           {0.5f, -0.5f, 0.5f, 1, 1, 1, 1, 1, 0, 0},
                                           {0.0f, 0.5f, 0.5f, 1, 1, 1, 1, 1, 0, 0}},
                                          {{0, 1, 2}}));
    std::unique_ptr<Mesh> pSecond(MakeMesh({{-0.25f, -0.25f, 0.5f, 1, 2, 2, 2, 2, 0, 0},
                                            {0.25f, -0.25f, 0.5f, 1, 2, 2, 2, 2, 0, 0},
                                            {0.0f, 0.25f, 0.5f, 1, 2, 2, 2, 2, 0, 0}},
                                           {{0, 1, 2}}));
    pFirst->Draw();
    pSecond->Draw();
    pFirst->Draw();
    m_pRenderer->Flush();
    const std::vector<RecordedTriangle>& drawn = RecordingGlide::Triangles();
    ASSERT_EQ(3u, drawn.size());
    EXPECT_EQ(1.0f, drawn[0].v[0].r);
    EXPECT_EQ(2.0f, drawn[1].v[0].r);
    EXPECT_EQ(1.0f, drawn[2].v[0].r);
    EXPECT_EQ(240.0f, drawn[1].v[0].x); // -0.25 * 320 + 320
}

TEST_F(RendererTest, OtherMaterialOnlyTagsTriangles)
{
    Material other;
    GrVertex v = Marked(3.0f);
    m_pRenderer->SetMaterial(&other);
    EXPECT_EQ(&other, m_pRenderer->GetCurrentMaterial());
    EXPECT_EQ(&m_pRenderer->GetDefaultMaterial()->m_TriangleList, m_pRenderer->GetActiveList());
    m_pRenderer->AddTriangle(v, v, v);
    ASSERT_EQ(1u, Pending().size());
    EXPECT_EQ(&other, Pending()[0]->m_pMaterial);
    EXPECT_EQ(0, other.m_TriangleList.GetCount());

    // Drawn with the default material's state, which the flush makes current.
    m_pRenderer->Flush();
    EXPECT_EQ(1, RecordingGlide::CountOf("grDrawTriangle"));
    EXPECT_EQ(1, RecordingGlide::CountOf("grAlphaCombine"));
    const std::vector<RecordedCall> blend = RecordingGlide::CallsNamed("grAlphaBlendFunction");
    ASSERT_EQ(1u, blend.size());
    EXPECT_EQ("grAlphaBlendFunction(4,2,4,0)", blend[0].text); // the built-in material
    EXPECT_EQ(m_pRenderer->GetDefaultMaterial(), m_pRenderer->GetCurrentMaterial());

    m_pRenderer->SetMaterial(&other);
    m_pRenderer->SetMaterial(nullptr);
    EXPECT_EQ(m_pRenderer->GetDefaultMaterial(), m_pRenderer->GetCurrentMaterial());
}

TEST_F(RendererTest, SetCullModeStoresAndCallsGlide)
{
    m_pRenderer->SetCullMode(GR_CULL_NEGATIVE);
    EXPECT_EQ(GR_CULL_NEGATIVE, m_pRenderer->GetCullMode());
    m_pRenderer->SetCullMode(GR_CULL_POSITIVE);
    EXPECT_EQ(GR_CULL_POSITIVE, m_pRenderer->GetCullMode());
    EXPECT_EQ((std::vector<std::string>{"grCullMode(1)", "grCullMode(2)"}),
              RecordingGlide::Texts());
}

TEST_F(RendererTest, StopAndStartKeepTheQueueWorking)
{
    // After a restart (an output-mode switch) the pool starts empty and
    // grows again; the pending list is drawn by the next flush.
    GrVertex v = Marked(0.0f);
    m_pRenderer->AddTriangle(v, v, v);
    m_pRenderer->Flush();
    m_pRenderer->Stop();
    ASSERT_EQ(1, m_pRenderer->Start());
    EXPECT_EQ(0, m_pRenderer->GetFreeTriangles().GetCount());
    m_pRenderer->AddTriangle(v, v, v);
    m_pRenderer->AddTriangle(v, v, v);
    RecordingGlide::Clear();
    m_pRenderer->Flush();
    EXPECT_EQ(2, RecordingGlide::CountOf("grDrawTriangle"));
    EXPECT_EQ(2, m_pRenderer->GetFreeTriangles().GetCount());
}

} // namespace
