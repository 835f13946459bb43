// Mesh::Draw: group and triangle accept and reject, clipping and the fan,
// checked on the triangles the flush hands to Glide. Positions are clip
// coordinates (the top of the stack is the identity); screen positions are
// worked out by hand as x * 320 + 320 and y * 240 + 240 for w = 1.
#include "RendererFixture.h"

#include <memory>

namespace
{

// Inside corners of a wholly visible quad: (-0.5, -0.5), (0.5, -0.5),
// (0.5, 0.5), (-0.5, 0.5), z 0.5 -> screen (160, 120), (480, 120),
// (480, 360), (160, 360).
const std::vector<TestCorner> kQuad = {
    {-0.5f, -0.5f, 0.5f, 1, 10, 20, 30, 255, 0, 0},
    {0.5f, -0.5f, 0.5f, 1, 40, 50, 60, 255, 255, 0},
    {0.5f, 0.5f, 0.5f, 1, 70, 80, 90, 255, 255, 255},
    {-0.5f, 0.5f, 0.5f, 1, 100, 110, 120, 255, 0, 255},
};

TEST_F(RendererTest, EmptyGroupIsSkipped)
{
    BeginIdentityFrame();
    std::unique_ptr<Mesh> pMesh(MakeMesh({}, {}));
    EXPECT_EQ(1, pMesh->Draw());
    EXPECT_EQ(-1, m_pRenderer->GetOutcodeAnd());
    EXPECT_EQ(0, m_pRenderer->GetActiveList()->GetCount());
}

TEST_F(RendererTest, GroupBehindTheCameraIsSkipped)
{
    BeginIdentityFrame();
    std::unique_ptr<Mesh> pMesh(MakeMesh({{-0.5f, -0.5f, -0.5f, 1, 0, 0, 0, 0, 0, 0},
                                          {0.5f, -0.5f, -0.1f, 1, 0, 0, 0, 0, 0, 0},
                                          {0.0f, 0.5f, -2.0f, 1, 0, 0, 0, 0, 0, 0}},
                                         {{0, 1, 2}, {2, 1, 0}}));
    pMesh->Draw();
    EXPECT_EQ(CLIP_NEAR, m_pRenderer->GetOutcodeAnd());
    EXPECT_EQ(0, m_pRenderer->GetActiveList()->GetCount());
}

TEST_F(RendererTest, WhollyInsideGroupQueuesExactlyItsTriangles)
{
    BeginIdentityFrame();
    std::unique_ptr<Mesh> pMesh(MakeMesh(kQuad, {{0, 1, 2}, {0, 2, 3}, {3, 2, 1}}));
    pMesh->Draw();
    EXPECT_EQ(0, m_pRenderer->GetOutcodeOr());
    const std::vector<Triangle*> pending = Pending();
    ASSERT_EQ(3u, pending.size());
    // Each queued triangle holds the projected corners, in the mesh's order.
    const Int32 anCorners[3][3] = {{0, 1, 2}, {0, 2, 3}, {3, 2, 1}};
    const ScreenPoint aScreen[4] = {{160, 120}, {480, 120}, {480, 360}, {160, 360}};
    for (Int32 t = 0; t < 3; ++t)
        for (Int32 k = 0; k < 3; ++k)
        {
            const GrVertex& v = pending[t]->m_aVertices[k];
            const TestCorner& c = kQuad[anCorners[t][k]];
            EXPECT_EQ(aScreen[anCorners[t][k]].x, v.x) << t << "/" << k;
            EXPECT_EQ(aScreen[anCorners[t][k]].y, v.y) << t << "/" << k;
            EXPECT_EQ(0.5f, v.z);
            EXPECT_EQ(1.0f, v.oow);
            EXPECT_EQ(static_cast<float>(c.r), v.r);
            EXPECT_EQ(static_cast<float>(c.b), v.b);
            EXPECT_EQ(c.s, v.tmuvtx[0].sow);
            EXPECT_EQ(c.t, v.tmuvtx[0].tow);
        }
    EXPECT_EQ(m_pRenderer->GetDefaultMaterial(), pending[0]->m_pMaterial);
}

TEST_F(RendererTest, CornersOfOneVertexKeepTheirOwnTextureCoordinates)
{
    // Two corners name vertex 0 with different s: the seam of a closed ring.
    BeginIdentityFrame();
    std::unique_ptr<Mesh> pMesh(MakeMesh(kQuad, {{0, 1, 2}}));
    MeshGroup& rGroup = pMesh->GetGroup(0);
    rGroup.GetCorner(2).m_nVertex = 0;
    rGroup.GetCorner(2).m_fS = 200.0f;
    pMesh->Draw();
    const std::vector<Triangle*> pending = Pending();
    ASSERT_EQ(1u, pending.size());
    EXPECT_EQ(160.0f, pending[0]->m_aVertices[2].x);
    EXPECT_EQ(120.0f, pending[0]->m_aVertices[2].y);
    EXPECT_EQ(200.0f, pending[0]->m_aVertices[2].tmuvtx[0].sow);
    EXPECT_EQ(0.0f, pending[0]->m_aVertices[0].tmuvtx[0].sow);
}

TEST_F(RendererTest, QuadrilateralBecomesAFanOfTwo)
{
    // (-2, 0) is left of the volume; the left stage turns the triangle into
    // a = (-1, 0.25), b = (-1, -0.25), c = (0, -0.5), d = (0, 0.5), drawn as
    // (a, b, c) and (a, c, d).
    BeginIdentityFrame();
    std::unique_ptr<Mesh> pMesh(MakeMesh({{-2.0f, 0.0f, 0.5f, 1, 0, 0, 0, 255, 0, 0},
                                          {0.0f, -0.5f, 0.5f, 1, 0, 0, 0, 255, 0, 0},
                                          {0.0f, 0.5f, 0.5f, 1, 0, 0, 0, 255, 0, 0}},
                                         {{0, 1, 2}}));
    pMesh->Draw();
    m_pRenderer->Flush();
    const ScreenPoint a = {0, 300}, b = {0, 180}, c = {320, 120}, d = {320, 360};
    ExpectDrawn({{a, b, c}, {a, c, d}});
}

TEST_F(RendererTest, LeftAndTopTriangleIsClippedNotDropped)
{
    // One vertex left of the volume, one above it, none outside a plane
    // shared by all three. Left gives a = (-1, 0.125), b = (-1, -0.5), the
    // vertex (0, -1.5) and (0.5, 0.5); top then cuts (0, -1.5) into
    // (-0.5, -1) and (0.125, -1): five vertices, a fan of three.
    BeginIdentityFrame();
    std::unique_ptr<Mesh> pMesh(MakeMesh({{-1.5f, 0.0f, 0.5f, 1, 0, 0, 0, 255, 0, 0},
                                          {0.0f, -1.5f, 0.5f, 1, 0, 0, 0, 255, 0, 0},
                                          {0.5f, 0.5f, 0.5f, 1, 0, 0, 0, 255, 0, 0}},
                                         {{0, 1, 2}}));
    pMesh->Draw();
    EXPECT_EQ(0, m_pRenderer->GetOutcodeAnd());
    m_pRenderer->Flush();
    const ScreenPoint a = {0, 270}, b = {0, 120}, c = {160, 0}, d = {360, 0}, e = {480, 360};
    ExpectDrawn({{a, b, c}, {a, c, d}, {a, d, e}});
}

TEST_F(RendererTest, TriangleThatMissesTheVolumeCornerIsDroppedByTheStages)
{
    // Left of, or above, the volume everywhere, yet no plane has all three
    // vertices outside: the left stage keeps a piece that the top stage
    // removes entirely.
    BeginIdentityFrame();
    std::unique_ptr<Mesh> pMesh(MakeMesh({{-3.0f, 0.5f, 0.5f, 1, 0, 0, 0, 0, 0, 0},
                                          {-0.5f, -3.0f, 0.5f, 1, 0, 0, 0, 0, 0, 0},
                                          {-3.0f, -3.0f, 0.5f, 1, 0, 0, 0, 0, 0, 0}},
                                         {{0, 1, 2}}));
    pMesh->Draw();
    EXPECT_EQ(0, m_pRenderer->GetActiveList()->GetCount());
}

TEST_F(RendererTest, PartlyVisibleGroupTreatsEachTriangleOnItsOwn)
{
    // Triangle 0 inside (queued as projected), triangle 1 wholly right of
    // the volume (dropped), triangle 2 across the right plane (clipped into
    // a quadrilateral: two triangles), in the mesh's order.
    BeginIdentityFrame();
    std::unique_ptr<Mesh> pMesh(MakeMesh({{-0.5f, -0.5f, 0.5f, 1, 0, 0, 0, 0, 0, 0}, // 0
                                          {0.5f, -0.5f, 0.5f, 1, 0, 0, 0, 0, 0, 0},  // 1
                                          {0.0f, 0.5f, 0.5f, 1, 0, 0, 0, 0, 0, 0},   // 2
                                          {2.0f, 0.0f, 0.5f, 1, 0, 0, 0, 0, 0, 0},   // 3
                                          {3.0f, -0.5f, 0.5f, 1, 0, 0, 0, 0, 0, 0},  // 4
                                          {3.0f, 0.5f, 0.5f, 1, 0, 0, 0, 0, 0, 0}},  // 5
                                         {{0, 1, 2}, {3, 4, 5}, {3, 2, 1}}));
    pMesh->Draw();
    EXPECT_EQ(0, m_pRenderer->GetOutcodeAnd());
    EXPECT_EQ(CLIP_RIGHT, m_pRenderer->GetOutcodeOr());
    m_pRenderer->Flush();
    // Triangle 2 = (3, 2, 1), last vertex inside: the exit point on 1 -> 3
    // (from (0.5, -0.5) to (2, 0), lambda 1/3) is (1, -1/3); the entry point
    // on 3 -> 2 (from (2, 0) to (0, 0.5), lambda 1/2) is (1, 0.25); then
    // vertices 2 and 1.
    const ScreenPoint p0 = {160, 120}, p1 = {480, 120}, p2 = {320, 360};
    const ScreenPoint exit = {640, 160}, entry = {640, 300};
    ExpectDrawn({{p0, p1, p2}, {exit, entry, p2}, {exit, p2, p1}});
}

TEST_F(RendererTest, TrianglesAreNeitherCulledNorReordered)
{
    // Both windings reach the queue, in the mesh's vertex order.
    BeginIdentityFrame();
    std::unique_ptr<Mesh> pMesh(MakeMesh(kQuad, {{0, 1, 2}, {2, 1, 0}}));
    pMesh->Draw();
    m_pRenderer->Flush();
    const ScreenPoint p0 = {160, 120}, p1 = {480, 120}, p2 = {480, 360};
    ExpectDrawn({{p0, p1, p2}, {p2, p1, p0}});
}

TEST_F(RendererTest, DrawUsesTheTopOfTheStack)
{
    // The default camera: a point at eye (0, 0, 1) has clip (0, 0, c, c + 1)
    // and lands at the centre; with the top scaled by 2 in x, a vertex at
    // eye x = 0.5 has clip x = 2 * 0.5 * c = c, so screen x = c / (c + 1) * 320
    // + 320 = 452.548... -> 452.5625 after the snap.
    ASSERT_EQ(1, m_pRenderer->BeginFrame());
    Matrix4* pTop = m_pRenderer->PushMatrix();
    for (Int32 r = 0; r < 4; ++r)
        pTop->At(r, 0) *= 2.0f;
    std::unique_ptr<Mesh> pMesh(MakeMesh({{0.0f, 0.0f, 1.0f, 1, 0, 0, 0, 0, 0, 0},
                                          {0.5f, 0.0f, 1.0f, 1, 0, 0, 0, 0, 0, 0},
                                          {0.0f, 0.5f, 1.0f, 1, 0, 0, 0, 0, 0, 0}},
                                         {{0, 1, 2}}));
    pMesh->Draw();
    m_pRenderer->PopMatrix();
    m_pRenderer->Flush();
    // y of the third vertex (unscaled): 0.5 c / (c + 1) * 240 + 240 =
    // 289.7056... -> 289.6875.
    ExpectDrawn({{{320, 240}, {452.5625f, 240}, {320, 289.6875f}}});
}

TEST_F(RendererTest, EveryGroupIsDrawnInOrder)
{
    BeginIdentityFrame();
    std::unique_ptr<Mesh> pMesh(new Mesh);
    pMesh->Allocate(4, 3, 0);
    for (Int32 n = 0; n < 4; ++n)
    {
        MeshVertex& v = pMesh->GetVertex(n);
        v.m_fX = kQuad[n].x;
        v.m_fY = kQuad[n].y;
        v.m_fZ = kQuad[n].z;
        v.m_fW = 1.0f;
        v.m_fNX = v.m_fNY = v.m_fNZ = v.m_fNW = 0.0f;
    }
    // Group 0 draws (2, 1, 0), group 1 is empty, group 2 draws (0, 2, 3).
    const Int32 anTriangles[2][3] = {{2, 1, 0}, {0, 2, 3}};
    for (Int32 g : {0, 2})
    {
        MeshGroup& rGroup = pMesh->GetGroup(g);
        rGroup.Allocate(3, 1);
        for (Int32 k = 0; k < 3; ++k)
        {
            MeshCorner& rCorner = rGroup.GetCorner(k);
            rCorner.m_nVertex = anTriangles[g / 2][k];
            rCorner.m_bRed = rCorner.m_bGreen = rCorner.m_bBlue = rCorner.m_bAlpha = 255;
            rCorner.m_fS = rCorner.m_fT = 0.0f;
            rGroup.GetTriangle(0).m_anCorner[k] = k;
        }
    }
    pMesh->Draw();
    m_pRenderer->Flush();
    const ScreenPoint aScreen[4] = {{160, 120}, {480, 120}, {480, 360}, {160, 360}};
    ExpectDrawn({{aScreen[2], aScreen[1], aScreen[0]}, {aScreen[0], aScreen[2], aScreen[3]}});
    EXPECT_EQ(3u, m_pRenderer->GetVertexCapacity()) << "sized for the largest group";
}

} // namespace
