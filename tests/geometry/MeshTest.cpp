// Mesh and MeshGroup: allocation, release and the key-frame morph.
#include <gtest/gtest.h>

#include <cmath>

#include "Mesh.h"

namespace
{

TEST(MeshTest, FreshMeshHasNoArrays)
{
    Mesh mesh;
    EXPECT_EQ(mesh.m_pVertices, nullptr);
    EXPECT_EQ(mesh.m_pFrameVertices, nullptr);
    EXPECT_EQ(mesh.m_pGroups, nullptr);
    mesh.Free(); // nothing to release
    mesh.Free();
    EXPECT_EQ(mesh.m_pVertices, nullptr);
}

TEST(MeshTest, AllocateWithoutFramesLeavesFrameVerticesNull)
{
    Mesh mesh;
    EXPECT_EQ(mesh.Allocate(7, 1, 0), 1);
    EXPECT_EQ(mesh.GetVertexCount(), 7);
    EXPECT_EQ(mesh.GetGroupCount(), 1);
    EXPECT_EQ(mesh.GetFrameCount(), 0);
    EXPECT_NE(mesh.m_pVertices, nullptr);
    EXPECT_EQ(mesh.m_pFrameVertices, nullptr);
    ASSERT_NE(mesh.m_pGroups, nullptr);
    // The one group is empty until its own Allocate.
    EXPECT_EQ(mesh.GetGroup(0).m_pCorners, nullptr);
    EXPECT_EQ(mesh.GetGroup(0).m_pTriangles, nullptr);
}

TEST(MeshTest, FreeTwiceKeepsCounts)
{
    Mesh mesh;
    mesh.Allocate(5, 2, 3);
    mesh.GetGroup(1).Allocate(4, 2);
    mesh.Free();
    mesh.Free();
    EXPECT_EQ(mesh.m_pVertices, nullptr);
    EXPECT_EQ(mesh.m_pFrameVertices, nullptr);
    EXPECT_EQ(mesh.m_pGroups, nullptr);
    EXPECT_EQ(mesh.GetVertexCount(), 5);
    EXPECT_EQ(mesh.GetGroupCount(), 2);
    EXPECT_EQ(mesh.GetFrameCount(), 3);
}

TEST(MeshTest, GroupAllocateAndFree)
{
    MeshGroup group;
    EXPECT_EQ(group.Allocate(6, 4), 1);
    EXPECT_EQ(group.GetCornerCount(), 6);
    EXPECT_EQ(group.GetTriangleCount(), 4);
    EXPECT_NE(group.m_pCorners, nullptr);
    EXPECT_NE(group.m_pTriangles, nullptr);
    group.Free();
    group.Free();
    EXPECT_EQ(group.m_pCorners, nullptr);
    EXPECT_EQ(group.m_pTriangles, nullptr);
}

TEST(MeshTest, FrameVertexIndexingIsVertexFirst)
{
    Mesh mesh;
    mesh.Allocate(3, 1, 2);
    // Element frame * vertexCount + vertex.
    EXPECT_EQ(&mesh.GetFrameVertex(2, 1), mesh.m_pFrameVertices + 5);
    EXPECT_EQ(&mesh.GetFrameVertex(1, 0), mesh.m_pFrameVertices + 1);
}

// Four key frames of one vertex. Frame f has position (f, 10f, -f) and a
// normal along a different axis per frame, so the blends below are easy to
// work out by hand.
class SetFrameTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        m_Mesh.Allocate(1, 1, 4);
        const float afNormal[4][3] = {{1, 0, 0}, {0, 0, 1}, {0, 1, 0}, {-1, 0, 0}};
        for (Int32 f = 0; f < 4; ++f)
        {
            MeshVertex& v = m_Mesh.GetFrameVertex(0, f);
            v.m_fX = static_cast<float>(f);
            v.m_fY = 10.0f * static_cast<float>(f);
            v.m_fZ = -static_cast<float>(f);
            v.m_fW = 100.0f + static_cast<float>(f); // never copied
            v.m_fNX = afNormal[f][0];
            v.m_fNY = afNormal[f][1];
            v.m_fNZ = afNormal[f][2];
            v.m_fNW = 200.0f + static_cast<float>(f); // never copied
        }
        MeshVertex& v = m_Mesh.GetVertex(0);
        v.m_fW = 1.5f;
        v.m_fNW = 2.5f;
    }

    Mesh m_Mesh;
};

TEST_F(SetFrameTest, WholePositionGivesThatFrameExactly)
{
    m_Mesh.SetFrame(2.0f);
    const MeshVertex& v = m_Mesh.GetVertex(0);
    EXPECT_EQ(v.m_fX, 2.0f);
    EXPECT_EQ(v.m_fY, 20.0f);
    EXPECT_EQ(v.m_fZ, -2.0f);
    EXPECT_EQ(v.m_fNX, 0.0f);
    EXPECT_EQ(v.m_fNY, 1.0f);
    EXPECT_EQ(v.m_fNZ, 0.0f);
}

TEST_F(SetFrameTest, LastFrameBlendsIntoFrameZero)
{
    // 3.5: halfway from frame 3 (3, 30, -3) to frame 0 (0, 0, 0).
    m_Mesh.SetFrame(3.5f);
    const MeshVertex& v = m_Mesh.GetVertex(0);
    EXPECT_EQ(v.m_fX, 1.5f);
    EXPECT_EQ(v.m_fY, 15.0f);
    EXPECT_EQ(v.m_fZ, -1.5f);
    // Normals (-1,0,0) and (1,0,0) cancel: length 0 is below the threshold
    // and the blend is kept as it is.
    EXPECT_EQ(v.m_fNX, 0.0f);
    EXPECT_EQ(v.m_fNY, 0.0f);
    EXPECT_EQ(v.m_fNZ, 0.0f);
}

TEST_F(SetFrameTest, PositionWrapsAroundTheFrameCount)
{
    // 5.25: k = 5, frames 5 mod 4 = 1 and 6 mod 4 = 2, f = 0.25.
    m_Mesh.SetFrame(5.25f);
    const MeshVertex& v = m_Mesh.GetVertex(0);
    EXPECT_EQ(v.m_fX, 1.25f);
    EXPECT_EQ(v.m_fY, 12.5f);
    EXPECT_EQ(v.m_fZ, -1.25f);
    // Normal blend (0, 0.25, 0.75), squared length 0.625, renormalised:
    // (0, 0.25/sqrt(0.625), 0.75/sqrt(0.625)) = (0, 0.31622777, 0.94868330).
    EXPECT_EQ(v.m_fNX, 0.0f);
    EXPECT_NEAR(v.m_fNY, 0.31622777f, 1e-6f);
    EXPECT_NEAR(v.m_fNZ, 0.94868330f, 1e-6f);
}

TEST_F(SetFrameTest, WOfPositionAndNormalAreKept)
{
    for (float fPosition : {0.0f, 0.75f, 2.0f, 3.5f, 5.25f})
    {
        m_Mesh.SetFrame(fPosition);
        EXPECT_EQ(m_Mesh.GetVertex(0).m_fW, 1.5f) << "position " << fPosition;
        EXPECT_EQ(m_Mesh.GetVertex(0).m_fNW, 2.5f) << "position " << fPosition;
    }
}

TEST_F(SetFrameTest, KeyFramesAreNotChanged)
{
    m_Mesh.SetFrame(1.5f);
    EXPECT_EQ(m_Mesh.GetFrameVertex(0, 1).m_fX, 1.0f);
    EXPECT_EQ(m_Mesh.GetFrameVertex(0, 2).m_fX, 2.0f);
    EXPECT_EQ(m_Mesh.GetFrameVertex(0, 1).m_fNZ, 1.0f);
}

TEST(MeshSetFrameNormalTest, NormalsAreUnitUnlessTiny)
{
    // Two key frames: normal a and normal b, blended at 0.5.
    struct Case
    {
        float a[3], b[3];
        bool bTiny;
    };
    const Case aCases[] = {
        {{3, 0, 0}, {3, 0, 0}, false},        // length 3 -> 1
        {{0, 0.2f, 0}, {0, 0, 0.2f}, false},  // (0, 0.1, 0.1)
        {{1e-5f, 0, 0}, {1e-5f, 0, 0}, true}, // squared 1e-10 < 1e-8: kept
        {{0, 1, 0}, {0, -1, 0}, true},        // opposite: cancels
    };
    for (const Case& c : aCases)
    {
        Mesh mesh;
        mesh.Allocate(1, 1, 2);
        MeshVertex& a = mesh.GetFrameVertex(0, 0);
        MeshVertex& b = mesh.GetFrameVertex(0, 1);
        a.m_fNX = c.a[0], a.m_fNY = c.a[1], a.m_fNZ = c.a[2];
        b.m_fNX = c.b[0], b.m_fNY = c.b[1], b.m_fNZ = c.b[2];
        a.m_fX = a.m_fY = a.m_fZ = b.m_fX = b.m_fY = b.m_fZ = 0.0f;
        mesh.SetFrame(0.5f);
        const MeshVertex& v = mesh.GetVertex(0);
        const float fLength = std::sqrt(v.m_fNX * v.m_fNX + v.m_fNY * v.m_fNY + v.m_fNZ * v.m_fNZ);
        if (c.bTiny)
        {
            EXPECT_EQ(v.m_fNX, (c.a[0] + c.b[0]) * 0.5f);
            EXPECT_EQ(v.m_fNY, (c.a[1] + c.b[1]) * 0.5f);
        }
        else
        {
            EXPECT_NEAR(fLength, 1.0f, 1e-6f);
        }
    }
}

TEST(MeshSetFrameTest, OutsideTheDomainChangesNothing)
{
    Mesh noFrames;
    noFrames.Allocate(1, 1, 0);
    noFrames.GetVertex(0).m_fX = 7.0f;
    noFrames.SetFrame(1.0f);
    EXPECT_EQ(noFrames.GetVertex(0).m_fX, 7.0f);

    Mesh mesh;
    mesh.Allocate(1, 1, 2);
    mesh.GetVertex(0).m_fX = 7.0f;
    mesh.GetFrameVertex(0, 0).m_fX = 1.0f;
    mesh.GetFrameVertex(0, 1).m_fX = 2.0f;
    mesh.SetFrame(-0.5f);
    mesh.SetFrame(std::nanf(""));
    // 2^31 and beyond do not convert to a 32-bit frame number.
    for (float fPosition : {2147483648.0f, 4294967296.0f, 1e30f, INFINITY})
        mesh.SetFrame(fPosition);
    EXPECT_EQ(mesh.GetVertex(0).m_fX, 7.0f);
}

// The largest float below 2^31, 2147483520, converts exactly: k = 2147483520 is frame
// 2147483520 mod 4 = 0, blended into frame 1 with f = 0, so the mesh takes frame 0.
TEST_F(SetFrameTest, LargestConvertiblePositionIsAFrame)
{
    m_Mesh.GetVertex(0).m_fX = 7.0f; // frame 0 has x = 0: a refusal would leave the 7
    m_Mesh.SetFrame(2147483520.0f);
    const MeshVertex& v = m_Mesh.GetVertex(0);
    EXPECT_EQ(v.m_fX, 0.0f);
    EXPECT_EQ(v.m_fY, 0.0f);
    EXPECT_EQ(v.m_fNX, 1.0f);
}

} // namespace
