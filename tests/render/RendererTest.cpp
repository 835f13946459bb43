// Renderer: lifecycle, matrix stack, the vertex batch, outcodes and
// projection, with values worked out by hand for a 640 x 480 screen.
#include <cmath>

#include "RendererFixture.h"

namespace
{

// ------------------------------------------------------------------ lifecycle

TEST_F(RendererTest, StartReadsTheScreenAndSetsUpTheBatch)
{
    EXPECT_EQ(320.0f, m_pRenderer->GetCentreX());
    EXPECT_EQ(240.0f, m_pRenderer->GetCentreY());
    EXPECT_EQ(1u, m_pRenderer->GetVertexCapacity());
    EXPECT_EQ(0u, m_pRenderer->GetVertexCount());
    EXPECT_EQ(0, m_pRenderer->GetStackTop());
    EXPECT_EQ(&m_pRenderer->GetDefaultMaterial()->m_TriangleList, m_pRenderer->GetActiveList());
    EXPECT_EQ(m_pRenderer->GetDefaultMaterial(), m_pRenderer->GetCurrentMaterial());
    EXPECT_EQ(0, m_pRenderer->GetFreeTriangles().GetCount());
    EXPECT_EQ(0, m_pRenderer->GetActiveList()->GetCount());
    EXPECT_EQ(0, m_pRenderer->GetCullMode());
    EXPECT_EQ(0, m_nOpenCullModeCalls) << "construction and start make no grCullMode call";
}

TEST_F(RendererTest, StopFreesThePoolButNotThePendingList)
{
    GrVertex v = Marked(1.0f);
    for (int i = 0; i < 3; ++i)
        m_pRenderer->AddTriangle(v, v, v);
    m_pRenderer->Flush();
    ASSERT_EQ(3, m_pRenderer->GetFreeTriangles().GetCount());
    m_pRenderer->AddTriangle(v, v, v); // one from the pool stays pending
    m_pRenderer->Stop();
    EXPECT_EQ(0, m_pRenderer->GetFreeTriangles().GetCount());
    EXPECT_EQ(nullptr, m_pRenderer->GetClipVertices());
    EXPECT_EQ(nullptr, m_pRenderer->GetScreenVertices());
    EXPECT_EQ(nullptr, m_pRenderer->GetTopMatrix());
    EXPECT_EQ(1, m_pRenderer->GetActiveList()->GetCount());
    m_pRenderer->Stop(); // a second stop finds nothing to free
    EXPECT_EQ(0, m_pRenderer->GetFreeTriangles().GetCount());

    // Restartable: the pending triangle is still drawn by the next flush.
    ASSERT_EQ(1, m_pRenderer->Start());
    EXPECT_EQ(1u, m_pRenderer->GetVertexCapacity());
    RecordingGlide::Clear();
    m_pRenderer->Flush();
    EXPECT_EQ(1, RecordingGlide::CountOf("grDrawTriangle"));
}

TEST_F(RendererTest, AStoppedRendererRefusesFramesInsteadOfCrashing)
{
    m_pRenderer->Stop();
    EXPECT_EQ(0, m_pRenderer->BeginFrame());
    EXPECT_EQ(nullptr, m_pRenderer->PushMatrix());
    EXPECT_EQ(nullptr, m_pRenderer->PopMatrix());
    EXPECT_EQ(nullptr, m_pRenderer->GetTopMatrix());
    // A mesh drawn now queues nothing.
    Mesh* pMesh = MakeMesh({{0, 0, 0.5f, 1, 1, 1, 1, 1, 0, 0},
                            {0.5f, 0, 0.5f, 1, 1, 1, 1, 1, 0, 0},
                            {0, 0.5f, 0.5f, 1, 1, 1, 1, 1, 0, 0}},
                           {{0, 1, 2}});
    EXPECT_EQ(1, pMesh->Draw());
    EXPECT_EQ(0, m_pRenderer->GetActiveList()->GetCount());
    delete pMesh;
}

TEST_F(RendererTest, AStartWithoutAStopKeepsWorking)
{
    ASSERT_EQ(1, m_pRenderer->Start());
    ASSERT_EQ(1, m_pRenderer->BeginFrame());
    EXPECT_EQ(0, m_pRenderer->GetStackTop());
}

// ------------------------------------------------------------------ matrix stack

TEST_F(RendererTest, BeginFrameCopiesTheCameraMatrix)
{
    ASSERT_EQ(1, m_pRenderer->BeginFrame());
    const Matrix4* pTop = m_pRenderer->GetTopMatrix();
    // The default camera: c on the diagonal and in row 3 column 2, 1 in entry 15.
    const float c = 0.70710677f;
    const float afExpected[16] = {c, 0, 0, 0, 0, c, 0, 0, 0, 0, c, 0, 0, 0, c, 1};
    for (Int32 i = 0; i < 16; ++i)
        EXPECT_EQ(afExpected[i], pTop->m_afEntry[i]) << "entry " << i;
    EXPECT_NE(m_pRenderer->GetCamera()->GetMatrix(), pTop) << "a copy, not the cache";
}

TEST_F(RendererTest, TwoFramesWithoutASetterRebuildOnce)
{
    ASSERT_EQ(1, m_pRenderer->BeginFrame());
    // Mark the camera's cache: a rebuild would overwrite the mark.
    m_pRenderer->GetCamera()->GetMatrix()->m_afEntry[1] = 42.0f;
    ASSERT_EQ(1, m_pRenderer->BeginFrame());
    EXPECT_EQ(42.0f, m_pRenderer->GetTopMatrix()->m_afEntry[1]);
    m_pRenderer->GetCamera()->SetFarPlane(50.0f);
    ASSERT_EQ(1, m_pRenderer->BeginFrame());
    EXPECT_EQ(0.0f, m_pRenderer->GetTopMatrix()->m_afEntry[1]);
}

TEST_F(RendererTest, PushCopiesAndPopRestores)
{
    ASSERT_EQ(1, m_pRenderer->BeginFrame());
    Matrix4* pBottom = m_pRenderer->GetTopMatrix();
    const Matrix4 before = *pBottom;
    Matrix4* pPushed = m_pRenderer->PushMatrix();
    EXPECT_EQ(1, m_pRenderer->GetStackTop());
    EXPECT_EQ(pPushed, m_pRenderer->GetTopMatrix());
    EXPECT_NE(pBottom, pPushed);
    for (Int32 i = 0; i < 16; ++i)
        EXPECT_EQ(before.m_afEntry[i], pPushed->m_afEntry[i]) << "entry " << i;

    for (Int32 i = 0; i < 16; ++i)
        pPushed->m_afEntry[i] = 100.0f + static_cast<float>(i);
    for (Int32 i = 0; i < 16; ++i)
        EXPECT_EQ(before.m_afEntry[i], pBottom->m_afEntry[i]) << "entry " << i;

    Matrix4* pPopped = m_pRenderer->PopMatrix();
    EXPECT_EQ(pBottom, pPopped);
    EXPECT_EQ(0, m_pRenderer->GetStackTop());
    for (Int32 i = 0; i < 16; ++i)
        EXPECT_EQ(before.m_afEntry[i], pPopped->m_afEntry[i]) << "entry " << i;
}

TEST_F(RendererTest, NestedPushesRestoreInTurn)
{
    ASSERT_EQ(1, m_pRenderer->BeginFrame());
    m_pRenderer->GetTopMatrix()->m_afEntry[3] = 1.0f;
    m_pRenderer->PushMatrix()->m_afEntry[3] = 2.0f;
    m_pRenderer->PushMatrix()->m_afEntry[3] = 3.0f;
    EXPECT_EQ(2, m_pRenderer->GetStackTop());
    EXPECT_EQ(2.0f, m_pRenderer->PopMatrix()->m_afEntry[3]);
    EXPECT_EQ(1.0f, m_pRenderer->PopMatrix()->m_afEntry[3]);
}

TEST_F(RendererTest, BeginFrameResetsTheTopWhateverTheDepth)
{
    ASSERT_EQ(1, m_pRenderer->BeginFrame());
    m_pRenderer->PushMatrix();
    m_pRenderer->PushMatrix();
    m_pRenderer->PushMatrix();
    ASSERT_EQ(3, m_pRenderer->GetStackTop());
    ASSERT_EQ(1, m_pRenderer->BeginFrame());
    EXPECT_EQ(0, m_pRenderer->GetStackTop());
}

TEST_F(RendererTest, PushBeyondTheTenthAndPopBelowTheFirstStayInside)
{
    ASSERT_EQ(1, m_pRenderer->BeginFrame());
    Matrix4* pFirst = m_pRenderer->GetTopMatrix();
    Matrix4* pLast = nullptr;
    for (Int32 i = 1; i <= 9; ++i)
        pLast = m_pRenderer->PushMatrix();
    ASSERT_EQ(9, m_pRenderer->GetStackTop());
    EXPECT_EQ(pFirst + 9, pLast);
    pLast->m_afEntry[0] = 7.0f;
    for (Int32 i = 0; i < 3; ++i)
    {
        EXPECT_EQ(pLast, m_pRenderer->PushMatrix()) << "the push is refused at entry 9";
        EXPECT_EQ(9, m_pRenderer->GetStackTop());
    }
    EXPECT_EQ(7.0f, pLast->m_afEntry[0]) << "a refused push does not copy";

    ASSERT_EQ(1, m_pRenderer->BeginFrame());
    for (Int32 i = 0; i < 3; ++i)
    {
        EXPECT_EQ(pFirst, m_pRenderer->PopMatrix()) << "the pop is refused at entry 0";
        EXPECT_EQ(0, m_pRenderer->GetStackTop());
    }
}

// ------------------------------------------------------------------ batch and transform

TEST_F(RendererTest, BatchGrowsToTheLargestCountAndNeverShrinks)
{
    m_pRenderer->BeginVertices(5);
    EXPECT_EQ(5u, m_pRenderer->GetVertexCapacity());
    EXPECT_EQ(0u, m_pRenderer->GetVertexCount());
    const ClipVertex* pArray = m_pRenderer->GetClipVertices();
    m_pRenderer->BeginVertices(3);
    EXPECT_EQ(5u, m_pRenderer->GetVertexCapacity());
    EXPECT_EQ(pArray, m_pRenderer->GetClipVertices()) << "no reallocation for fewer";
    m_pRenderer->BeginVertices(5);
    EXPECT_EQ(pArray, m_pRenderer->GetClipVertices()) << "no reallocation for as many";
    m_pRenderer->BeginVertices(8);
    EXPECT_EQ(8u, m_pRenderer->GetVertexCapacity());
}

TEST_F(RendererTest, AddVertexBeyondTheCapacityIsIgnored)
{
    m_pRenderer->BeginVertices(2);
    const ClipVertex v = MakeClipVertex({0, 0, 0.5f, 1, 0, 0, 0, 0, 0, 0});
    m_pRenderer->AddVertex(v);
    m_pRenderer->AddVertex(v);
    m_pRenderer->AddVertex(v);
    EXPECT_EQ(2u, m_pRenderer->GetVertexCount());
}

TEST_F(RendererTest, TransformUsesTheTopMatrixAndEachVertexsW)
{
    ASSERT_EQ(1, m_pRenderer->BeginFrame());
    // Rows (1,2,0,1), (0,1,0,0), (0,0,2,0), (0,0,1,1).
    const float afMatrix[16] = {1, 2, 0, 1, 0, 1, 0, 0, 0, 0, 2, 0, 0, 0, 1, 1};
    for (Int32 i = 0; i < 16; ++i)
        m_pRenderer->GetTopMatrix()->m_afEntry[i] = afMatrix[i];
    const ClipVertex aIn[] = {
        MakeClipVertex({1, 1, 1, 1, 0, 0, 0, 0, 0, 0}),         // -> (4, 1, 2, 2)
        MakeClipVertex({1, 0, 0, 0.5f, 0, 0, 0, 0, 0, 0}),      // -> (1.5, 0, 0, 0.5)
        MakeClipVertex({-1, 0.5f, 0.25f, 1, 0, 0, 0, 0, 0, 0}), // -> (1, 0.5, 0.5, 1.25)
    };
    ASSERT_EQ(3u, m_pRenderer->SubmitVertices(3, aIn));
    const ClipVertex* pOut = m_pRenderer->GetClipVertices();
    const float afExpected[3][4] = {{4, 1, 2, 2}, {1.5f, 0, 0, 0.5f}, {1, 0.5f, 0.5f, 1.25f}};
    const Int32 anCodes[3] = {CLIP_RIGHT, CLIP_RIGHT, 0};
    for (Int32 i = 0; i < 3; ++i)
    {
        EXPECT_EQ(afExpected[i][0], pOut[i].m_fX) << "vertex " << i;
        EXPECT_EQ(afExpected[i][1], pOut[i].m_fY) << "vertex " << i;
        EXPECT_EQ(afExpected[i][2], pOut[i].m_fZ) << "vertex " << i;
        EXPECT_EQ(afExpected[i][3], pOut[i].m_fW) << "vertex " << i;
        EXPECT_EQ(anCodes[i], pOut[i].m_nOutcode) << "vertex " << i;
    }
    EXPECT_EQ(0, m_pRenderer->GetOutcodeAnd());
    EXPECT_EQ(CLIP_RIGHT, m_pRenderer->GetOutcodeOr());
    // The inside vertex is projected: (1/1.25, 0.5/1.25) = (0.8, 0.4)
    // -> (0.8 * 320 + 320, 0.4 * 240 + 240) = (576, 336).
    EXPECT_EQ(576.0f, m_pRenderer->GetScreenVertices()[2].x);
    EXPECT_EQ(336.0f, m_pRenderer->GetScreenVertices()[2].y);
}

TEST_F(RendererTest, OutcodesUseStrictComparisons)
{
    BeginIdentityFrame();
    const float N = NAN;
    struct
    {
        float x, y, z, w;
        Int32 nCode;
    } const aCases[] = {
        {0, 0, 0.5f, 1, 0},
        {-1, 1, 0, 1, 0},    // on the left, bottom and near planes
        {1, -1, 1, 1, 0},    // on the right, top and far planes
        {0, 0, -0.0f, 1, 0}, // -0 >= 0
        {-1.0001f, 0, 0.5f, 1, CLIP_LEFT},
        {1.5f, 0, 0.5f, 1, CLIP_RIGHT},
        {0, -2, 0.5f, 1, CLIP_TOP},
        {0, 2, 0.5f, 1, CLIP_BOTTOM},
        {0, 0, -0.1f, 1, CLIP_NEAR},
        {0, 0, N, 1, CLIP_NEAR}, // not a number: outside the near plane only
        {0, 0, 2, 1, CLIP_FAR},
        {-3, 3, -1, 1, CLIP_LEFT | CLIP_BOTTOM | CLIP_NEAR},
        {2, -2, 3, 1, CLIP_RIGHT | CLIP_TOP | CLIP_FAR},
        // w < 0: no x or y can be inside, and z > w.
        {0.5f, 0.5f, 0.5f, -1, CLIP_LEFT | CLIP_RIGHT | CLIP_TOP | CLIP_BOTTOM | CLIP_FAR},
    };
    const Int32 nCases = sizeof aCases / sizeof aCases[0];
    std::vector<ClipVertex> vertices;
    for (const auto& c : aCases)
        vertices.push_back(MakeClipVertex({c.x, c.y, c.z, c.w, 0, 0, 0, 0, 0, 0}));
    ASSERT_EQ(static_cast<UInt32>(nCases), m_pRenderer->SubmitVertices(nCases, vertices.data()));
    Int32 nAnd = -1, nOr = 0;
    for (Int32 i = 0; i < nCases; ++i)
    {
        EXPECT_EQ(aCases[i].nCode, m_pRenderer->GetClipVertices()[i].m_nOutcode)
            << "(" << aCases[i].x << ", " << aCases[i].y << ", " << aCases[i].z << ", "
            << aCases[i].w << ")";
        nAnd &= aCases[i].nCode;
        nOr |= aCases[i].nCode;
    }
    EXPECT_EQ(nAnd, m_pRenderer->GetOutcodeAnd());
    EXPECT_EQ(nOr, m_pRenderer->GetOutcodeOr());
}

TEST_F(RendererTest, EmptyBatchKeepsAllBitsInTheAndSummary)
{
    BeginIdentityFrame();
    EXPECT_EQ(0u, m_pRenderer->SubmitVertices(0, nullptr));
    EXPECT_EQ(-1, m_pRenderer->GetOutcodeAnd());
    EXPECT_EQ(0, m_pRenderer->GetOutcodeOr());
}

// ------------------------------------------------------------------ projection

TEST_F(RendererTest, ProjectionToTheScreen)
{
    struct
    {
        TestCorner in;
        float x, y, z, oow;
    } const aCases[] = {
        {{0, 0, 0, 1, 0, 0, 0, 0, 0, 0}, 320.0f, 240.0f, 0.0f, 1.0f},
        {{1, 1, 0, 1, 0, 0, 0, 0, 0, 0}, 640.0f, 480.0f, 0.0f, 1.0f},
        {{-1, -1, 1, 1, 0, 0, 0, 0, 0, 0}, 0.0f, 0.0f, 1.0f, 1.0f},
        {{0.5f, 0, 0.5f, 2, 0, 0, 0, 0, 0, 0}, 400.0f, 240.0f, 0.25f, 0.5f},
        // Clip +y runs down the screen: y = -0.5 w lands above the centre.
        {{0, -2, 1, 4, 0, 0, 0, 0, 0, 0}, 320.0f, 120.0f, 0.25f, 0.25f},
    };
    for (const auto& c : aCases)
    {
        GrVertex out;
        m_pRenderer->ProjectVertex(out, MakeClipVertex(c.in));
        EXPECT_EQ(c.x, out.x) << "clip (" << c.in.x << ", " << c.in.y << ", " << c.in.w << ")";
        EXPECT_EQ(c.y, out.y) << "clip (" << c.in.x << ", " << c.in.y << ", " << c.in.w << ")";
        EXPECT_EQ(c.z, out.z);
        EXPECT_EQ(c.oow, out.oow);
    }
}

TEST_F(RendererTest, ScreenPositionsSnapToSixteenths)
{
    // X = x * 320 + 320 and Y = y * 240 + 240 before the snap:
    // 100.03 is 0.48 of a sixteenth past 100 (down), 100.04 is 0.64 (up).
    struct
    {
        float x, y;
        float fExpectedX, fExpectedY;
    } const aCases[] = {
        {-0.6874063f, -0.5832083f, 100.0f, 100.0f},      // 100.03
        {-0.687375f, -0.5831667f, 100.0625f, 100.0625f}, // 100.04
        {0.1f, 0.1f, 352.0f, 264.0f},                    // 352.0 and 264.0
        {0.10009765625f, 0.0f, 352.0f, 240.0f},          // 352.03125: a tie goes to even
        {-0.00009f, 0.0001f, 320.0f, 240.0f},            // -0.0288 and 0.024
    };
    for (const auto& c : aCases)
    {
        GrVertex out;
        m_pRenderer->ProjectVertex(out, MakeClipVertex({c.x, c.y, 0.5f, 1, 0, 0, 0, 0, 0, 0}));
        EXPECT_EQ(c.fExpectedX, out.x) << "clip x " << c.x;
        EXPECT_EQ(c.fExpectedY, out.y) << "clip y " << c.y;
        EXPECT_EQ(out.x * 16.0f, std::floor(out.x * 16.0f)) << "a multiple of 1/16";
    }
}

TEST_F(RendererTest, TextureCoordinatesAreDividedByW)
{
    GrVertex out;
    m_pRenderer->ProjectVertex(out, MakeClipVertex({0, 0, 0, 2, 0, 0, 0, 0, 128.0f, 64.0f}));
    EXPECT_EQ(64.0f, out.tmuvtx[0].sow);
    EXPECT_EQ(32.0f, out.tmuvtx[0].tow);
    EXPECT_EQ(0.5f, out.oow);
    m_pRenderer->ProjectVertex(out, MakeClipVertex({0, 0, 0, 4, 0, 0, 0, 0, 255.0f, 10.0f}));
    EXPECT_EQ(63.75f, out.tmuvtx[0].sow);
    EXPECT_EQ(2.5f, out.tmuvtx[0].tow);
}

TEST_F(RendererTest, ColourBytesBecomeFloats)
{
    GrVertex out;
    m_pRenderer->ProjectVertex(out, MakeClipVertex({0, 0, 0, 1, 10, 20, 30, 255, 0, 0}));
    EXPECT_EQ(10.0f, out.r);
    EXPECT_EQ(20.0f, out.g);
    EXPECT_EQ(30.0f, out.b);
    EXPECT_EQ(255.0f, out.a);
}

TEST_F(RendererTest, ProjectionLeavesDepthAndOtherUnitsAlone)
{
    GrVertex out;
    std::memset(&out, 0, sizeof out);
    out.ooz = -7.0f;
    out.tmuvtx[0].oow = -8.0f;
    out.tmuvtx[1].sow = -9.0f;
    out.tmuvtx[1].tow = -10.0f;
    out.tmuvtx[1].oow = -11.0f;
    m_pRenderer->ProjectVertex(out, MakeClipVertex({0.25f, 0, 0.5f, 1, 1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(-7.0f, out.ooz);
    EXPECT_EQ(-8.0f, out.tmuvtx[0].oow);
    EXPECT_EQ(-9.0f, out.tmuvtx[1].sow);
    EXPECT_EQ(-10.0f, out.tmuvtx[1].tow);
    EXPECT_EQ(-11.0f, out.tmuvtx[1].oow);
}

TEST_F(RendererTest, OnlyVerticesInsideAreProjected)
{
    BeginIdentityFrame();
    const ClipVertex aIn[] = {
        MakeClipVertex({0, 0, 0.5f, 1, 0, 0, 0, 0, 0, 0}),
        MakeClipVertex({5, 0, 0.5f, 1, 0, 0, 0, 0, 0, 0}),
    };
    m_pRenderer->BeginVertices(2);
    GrVertex* pScreen = const_cast<GrVertex*>(m_pRenderer->GetScreenVertices());
    pScreen[1].x = -123.0f; // an outside vertex's screen record is not written
    m_pRenderer->AddVertex(aIn[0]);
    m_pRenderer->AddVertex(aIn[1]);
    ASSERT_EQ(2u, m_pRenderer->TransformVertices());
    EXPECT_EQ(320.0f, pScreen[0].x);
    EXPECT_EQ(-123.0f, pScreen[1].x);
}

} // namespace
