// MeshBuilder: sizes and named elements of the grid and the dome, worked out
// by hand from the builders' formulas.
#include <gtest/gtest.h>

#include <memory>

#include "Mesh.h"
#include "MeshBuilder.h"

namespace
{

struct TriangleCase
{
    Int32 nIndex;
    Int32 a, b, c;
};

void ExpectTriangle(Mesh& rMesh, const TriangleCase& t)
{
    const MeshTriangle& rTriangle = rMesh.GetGroup(0).GetTriangle(t.nIndex);
    EXPECT_EQ(rTriangle.m_anCorner[0], t.a) << "triangle " << t.nIndex;
    EXPECT_EQ(rTriangle.m_anCorner[1], t.b) << "triangle " << t.nIndex;
    EXPECT_EQ(rTriangle.m_anCorner[2], t.c) << "triangle " << t.nIndex;
}

// ------------------------------------------------------------------ grid

TEST(BuildGridTest, TwentyFiveByTwentyFiveSizes)
{
    std::unique_ptr<Mesh> pMesh(MeshBuilder::BuildGrid(25, 25));
    ASSERT_NE(pMesh, nullptr);
    EXPECT_EQ(pMesh->GetVertexCount(), 625);
    EXPECT_EQ(pMesh->GetGroupCount(), 1);
    EXPECT_EQ(pMesh->GetFrameCount(), 0);
    EXPECT_EQ(pMesh->m_pFrameVertices, nullptr);
    EXPECT_EQ(pMesh->GetGroup(0).GetCornerCount(), 625);
    EXPECT_EQ(pMesh->GetGroup(0).GetTriangleCount(), 1152); // 24 * 24 * 2
}

TEST(BuildGridTest, TwentyFiveByTwentyFiveNamedElements)
{
    std::unique_ptr<Mesh> pMesh(MeshBuilder::BuildGrid(25, 25));
    ASSERT_NE(pMesh, nullptr);
    const TriangleCase aTriangles[] = {
        {0, 0, 1, 25},         // pass 1, first quad: (v, v+1, v+W)
        {1, 1, 2, 26},         // pass 1, second quad
        {24, 25, 26, 50},      // pass 1, quad row 1 starts at v = 25
        {575, 598, 599, 623},  // pass 1, last quad: v = 23*25 + 23 = 598
        {576, 1, 26, 25},      // pass 2, first quad: (v+1, v+W+1, v+W)
        {1151, 599, 624, 623}, // pass 2, last quad
    };
    for (const TriangleCase& t : aTriangles)
        ExpectTriangle(*pMesh, t);

    const MeshCorner& rLast = pMesh->GetGroup(0).GetCorner(624);
    EXPECT_EQ(rLast.m_nVertex, 624);
    EXPECT_EQ(rLast.m_bRed, 112); // 624 mod 256
    EXPECT_EQ(rLast.m_bGreen, 112);
    EXPECT_EQ(rLast.m_bBlue, 112);
    EXPECT_EQ(rLast.m_bAlpha, 255);
    EXPECT_EQ(rLast.m_fS, 244.8f); // 24 / 25 * 255
    EXPECT_EQ(rLast.m_fT, 244.8f);

    const MeshCorner& rCorner27 = pMesh->GetGroup(0).GetCorner(27);
    EXPECT_EQ(rCorner27.m_nVertex, 27);
    EXPECT_EQ(rCorner27.m_bRed, 27);
    EXPECT_EQ(rCorner27.m_fS, 20.4f); // 2 / 25 * 255
    EXPECT_EQ(rCorner27.m_fT, 10.2f); // 1 / 25 * 255
}

TEST(BuildGridTest, VerticesRowByRow)
{
    std::unique_ptr<Mesh> pMesh(MeshBuilder::BuildGrid(25, 25));
    ASSERT_NE(pMesh, nullptr);
    struct
    {
        Int32 n;
        float x, y;
    } const aCases[] = {{0, 0, 0},  {1, 1, 0},     {24, 24, 0},
                        {25, 0, 1}, {337, 12, 13}, {624, 24, 24}};
    for (const auto& c : aCases)
    {
        const MeshVertex& v = pMesh->GetVertex(c.n);
        EXPECT_EQ(v.m_fX, c.x) << "vertex " << c.n;
        EXPECT_EQ(v.m_fY, c.y) << "vertex " << c.n;
        EXPECT_EQ(v.m_fZ, 0.0f) << "vertex " << c.n;
        EXPECT_EQ(v.m_fW, 1.0f) << "vertex " << c.n;
        EXPECT_EQ(v.m_fNX, 0.0f) << "vertex " << c.n;
        EXPECT_EQ(v.m_fNY, 0.0f) << "vertex " << c.n;
        EXPECT_EQ(v.m_fNZ, 1.0f) << "vertex " << c.n;
        EXPECT_EQ(v.m_fNW, 1.0f) << "vertex " << c.n;
    }
}

TEST(BuildGridTest, CornerColoursWrapEvery256)
{
    std::unique_ptr<Mesh> pMesh(MeshBuilder::BuildGrid(25, 25));
    ASSERT_NE(pMesh, nullptr);
    EXPECT_EQ(pMesh->GetGroup(0).GetCorner(255).m_bRed, 255);
    EXPECT_EQ(pMesh->GetGroup(0).GetCorner(256).m_bRed, 0);
    EXPECT_EQ(pMesh->GetGroup(0).GetCorner(513).m_bBlue, 1);
}

TEST(BuildGridTest, WidthOrHeightOneHasNoTriangles)
{
    struct
    {
        UInt32 w, h;
    } const aCases[] = {{1, 1}, {1, 7}, {9, 1}};
    for (const auto& c : aCases)
    {
        std::unique_ptr<Mesh> pMesh(MeshBuilder::BuildGrid(c.w, c.h));
        ASSERT_NE(pMesh, nullptr) << c.w << "x" << c.h;
        EXPECT_EQ(pMesh->GetVertexCount(), static_cast<Int32>(c.w * c.h)) << c.w << "x" << c.h;
        EXPECT_EQ(pMesh->GetGroup(0).GetCornerCount(), static_cast<Int32>(c.w * c.h));
        EXPECT_EQ(pMesh->GetGroup(0).GetTriangleCount(), 0) << c.w << "x" << c.h;
    }
    // 1 x 7: one column, so s is always 0 and t steps by 255/7.
    std::unique_ptr<Mesh> pColumn(MeshBuilder::BuildGrid(1, 7));
    EXPECT_EQ(pColumn->GetGroup(0).GetCorner(6).m_fS, 0.0f);
    EXPECT_EQ(pColumn->GetGroup(0).GetCorner(6).m_fT, 218.57143f); // 6 / 7 * 255
    EXPECT_EQ(pColumn->GetVertex(6).m_fY, 6.0f);
}

TEST(BuildGridTest, ZeroSizeIsRefused)
{
    EXPECT_EQ(MeshBuilder::BuildGrid(0, 5), nullptr);
    EXPECT_EQ(MeshBuilder::BuildGrid(5, 0), nullptr);
}

// ------------------------------------------------------------------ dome

TEST(BuildDomeTest, SixteenByTwentySizes)
{
    std::unique_ptr<Mesh> pMesh(MeshBuilder::BuildDome(16, 20, 1.0f));
    ASSERT_NE(pMesh, nullptr);
    EXPECT_EQ(pMesh->GetVertexCount(), 321);               // 16 * 20 + 1
    EXPECT_EQ(pMesh->GetGroup(0).GetCornerCount(), 357);   // 17 * 21
    EXPECT_EQ(pMesh->GetGroup(0).GetTriangleCount(), 640); // 16 * 20 * 2
    EXPECT_EQ(pMesh->GetFrameCount(), 0);
}

TEST(BuildDomeTest, PoleAndRim)
{
    std::unique_ptr<Mesh> pMesh(MeshBuilder::BuildDome(16, 20, 1.0f));
    ASSERT_NE(pMesh, nullptr);
    const MeshVertex& rPole = pMesh->GetVertex(320);
    EXPECT_EQ(rPole.m_fX, 0.0f);
    EXPECT_EQ(rPole.m_fY, 0.0f);
    EXPECT_EQ(rPole.m_fZ, -1.0f);
    EXPECT_EQ(rPole.m_fW, 1.0f);
    EXPECT_EQ(rPole.m_fNX, 0.0f);
    EXPECT_EQ(rPole.m_fNY, 0.0f);
    EXPECT_EQ(rPole.m_fNZ, 1.0f);
    EXPECT_EQ(rPole.m_fNW, 1.0f);

    // Vertex 0: ring 0 (phi 0), slice 0 (theta 0).
    const MeshVertex& rFirst = pMesh->GetVertex(0);
    EXPECT_EQ(rFirst.m_fX, 1.0f);
    EXPECT_EQ(rFirst.m_fY, 0.0f);
    EXPECT_EQ(rFirst.m_fZ, 0.0f);
    EXPECT_EQ(rFirst.m_fNX, -1.0f);
    EXPECT_EQ(rFirst.m_fNY, 0.0f);
    EXPECT_EQ(rFirst.m_fNZ, 0.0f);

    // Vertex 4: ring 0, slice 4, theta = 4 * 0.39269909 (a quarter turn, to
    // float precision): (cos, sin) = (-4.37e-8, 1).
    const MeshVertex& rQuarter = pMesh->GetVertex(4);
    EXPECT_NEAR(rQuarter.m_fX, 0.0f, 1e-7f);
    EXPECT_EQ(rQuarter.m_fY, 1.0f);
    EXPECT_EQ(rQuarter.m_fNY, -1.0f);
}

TEST(BuildDomeTest, AngleStepsOfTheRings)
{
    // du = 6.2831855 / 16 = 0.39269909, dv = 1.5707964 / 20 = 0.078539819.
    // Ring 10 lies at phi = 10 * dv = 0.78539819 (45 degrees): z = -sin phi
    // and ring radius cos phi, both 0.70710677 within float rounding.
    std::unique_ptr<Mesh> pMesh(MeshBuilder::BuildDome(16, 20, 1.0f));
    ASSERT_NE(pMesh, nullptr);
    const MeshVertex& v = pMesh->GetVertex(10 * 16);
    EXPECT_NEAR(v.m_fZ, -0.70710677f, 1e-7f);
    EXPECT_NEAR(v.m_fX, 0.70710677f, 1e-7f);
    EXPECT_EQ(v.m_fY, 0.0f);
    EXPECT_NEAR(v.m_fNZ, 0.70710677f, 1e-7f);
    // Slice 1 of ring 0: theta = 0.39269909 (22.5 degrees).
    const MeshVertex& w = pMesh->GetVertex(1);
    EXPECT_NEAR(w.m_fX, 0.92387953f, 1e-7f);
    EXPECT_NEAR(w.m_fY, 0.38268343f, 1e-7f);
    // The last ring: phi = 19 * dv = 1.4922565 (85.5 degrees).
    const MeshVertex& u = pMesh->GetVertex(19 * 16);
    EXPECT_NEAR(u.m_fZ, -0.99691731f, 1e-7f);
    EXPECT_NEAR(u.m_fX, 0.078459084f, 1e-7f);
}

TEST(BuildDomeTest, RadiusScalesPositionsNotNormals)
{
    std::unique_ptr<Mesh> pMesh(MeshBuilder::BuildDome(4, 2, 30.0f));
    ASSERT_NE(pMesh, nullptr);
    EXPECT_EQ(pMesh->GetVertex(0).m_fX, 30.0f);
    EXPECT_EQ(pMesh->GetVertex(0).m_fNX, -1.0f);
    EXPECT_EQ(pMesh->GetVertex(8).m_fZ, -30.0f); // the pole, 4 * 2
}

TEST(BuildDomeTest, ClosingCornersAndPoleRow)
{
    std::unique_ptr<Mesh> pMesh(MeshBuilder::BuildDome(16, 20, 1.0f));
    ASSERT_NE(pMesh, nullptr);
    MeshGroup& rGroup = pMesh->GetGroup(0);
    struct
    {
        Int32 nCorner, nVertex;
        float s, t;
    } const aCases[] = {
        {0, 0, 0.0f, 0.0f},
        {1, 1, 15.9375f, 0.0f},         // 1 / 16 * 255
        {15, 15, 239.0625f, 0.0f},      // 15 / 16 * 255
        {16, 0, 255.0f, 0.0f},          // closes ring 0 on its first vertex
        {17, 16, 0.0f, 12.75f},         // ring 1: t = 1 / 20 * 255
        {33, 16, 255.0f, 12.75f},       // closes ring 1
        {338, 319, 239.0625f, 242.25f}, // ring 19, slice 15: t = 19 / 20 * 255
        {339, 304, 255.0f, 242.25f},    // closes ring 19
        {340, 320, 0.0f, 255.0f},       // pole row
        {355, 320, 239.0625f, 255.0f},
        {356, 320, 255.0f, 255.0f}, // the last corner
    };
    for (const auto& c : aCases)
    {
        const MeshCorner& rCorner = rGroup.GetCorner(c.nCorner);
        EXPECT_EQ(rCorner.m_nVertex, c.nVertex) << "corner " << c.nCorner;
        EXPECT_EQ(rCorner.m_fS, c.s) << "corner " << c.nCorner;
        EXPECT_EQ(rCorner.m_fT, c.t) << "corner " << c.nCorner;
        EXPECT_EQ(rCorner.m_bRed, 255) << "corner " << c.nCorner;
        EXPECT_EQ(rCorner.m_bGreen, 255) << "corner " << c.nCorner;
        EXPECT_EQ(rCorner.m_bBlue, 255) << "corner " << c.nCorner;
        EXPECT_EQ(rCorner.m_bAlpha, 255) << "corner " << c.nCorner;
    }
}

TEST(BuildDomeTest, TrianglesInterleavedPerQuad)
{
    std::unique_ptr<Mesh> pMesh(MeshBuilder::BuildDome(16, 20, 1.0f));
    ASSERT_NE(pMesh, nullptr);
    const TriangleCase aTriangles[] = {
        {0, 0, 1, 17},        {1, 1, 18, 17},       {2, 1, 2, 18},
        {31, 16, 33, 32}, // ring 0, slice 15: the quad that ends on the closing corner
        {32, 17, 18, 34}, // ring 1 starts at e = 17
        {638, 338, 339, 355}, {639, 339, 356, 355}, // both last corners on the pole
    };
    for (const TriangleCase& t : aTriangles)
        ExpectTriangle(*pMesh, t);
    EXPECT_EQ(pMesh->GetGroup(0).GetCorner(356).m_nVertex, 320);
    EXPECT_EQ(pMesh->GetGroup(0).GetCorner(355).m_nVertex, 320);
}

TEST(BuildDomeTest, ZeroSizeIsRefused)
{
    EXPECT_EQ(MeshBuilder::BuildDome(0, 20, 1.0f), nullptr);
    EXPECT_EQ(MeshBuilder::BuildDome(16, 0, 1.0f), nullptr);
}

} // namespace
