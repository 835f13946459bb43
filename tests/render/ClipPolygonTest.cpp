// ClipPolygon: the six stages and the crossing vertex, with values worked out
// by hand from the planes' lambda formulas.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "ClipPolygon.h"

namespace
{

ClipVertex Vertex(float x, float y, float z, float w)
{
    ClipVertex v;
    std::memset(&v, 0, sizeof v);
    v.m_fX = x;
    v.m_fY = y;
    v.m_fZ = z;
    v.m_fW = w;
    return v;
}

ClipVertex Coloured(float x, float y, float z, float w, Byte bRed, float fS)
{
    ClipVertex v = Vertex(x, y, z, w);
    v.m_bRed = bRed;
    v.m_bGreen = 255 - bRed;
    v.m_bBlue = 40;
    v.m_bAlpha = 255;
    v.m_fS = fS;
    v.m_fT = 2.0f * fS;
    v.m_fNX = 9.0f; // carried only by copies
    v.m_nOutcode = 0x3F;
    return v;
}

void SetTriangle(ClipPolygon& rPolygon, const ClipVertex& a, const ClipVertex& b,
                 const ClipVertex& c)
{
    rPolygon.m_nCount = 3;
    rPolygon.m_aVertices[0] = a;
    rPolygon.m_aVertices[1] = b;
    rPolygon.m_aVertices[2] = c;
}

bool SameWords(const ClipVertex& a, const ClipVertex& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

typedef Int32 (ClipPolygon::*Stage)(ClipPolygon&) const;

struct StageCase
{
    const char* pszName;
    Stage pfnStage;
};

const StageCase kStages[] = {
    {"left", &ClipPolygon::ClipLeft}, {"right", &ClipPolygon::ClipRight},
    {"top", &ClipPolygon::ClipTop},   {"bottom", &ClipPolygon::ClipBottom},
    {"near", &ClipPolygon::ClipNear}, {"far", &ClipPolygon::ClipFar},
};

TEST(ClipPolygonTest, InsideTrianglePassesEveryStageUnchanged)
{
    const ClipVertex a = Coloured(-0.5f, -0.5f, 0.25f, 1.0f, 10, 1.0f);
    const ClipVertex b = Coloured(0.5f, -0.5f, 0.5f, 1.0f, 20, 2.0f);
    const ClipVertex c = Coloured(0.0f, 0.5f, 0.75f, 1.0f, 30, 3.0f);
    for (const StageCase& s : kStages)
    {
        ClipPolygon source, dest;
        SetTriangle(source, a, b, c);
        dest.m_nCount = 99;
        EXPECT_EQ((source.*s.pfnStage)(dest), 1) << s.pszName;
        ASSERT_EQ(dest.m_nCount, 3u) << s.pszName;
        EXPECT_TRUE(SameWords(dest.m_aVertices[0], a)) << s.pszName;
        EXPECT_TRUE(SameWords(dest.m_aVertices[1], b)) << s.pszName;
        EXPECT_TRUE(SameWords(dest.m_aVertices[2], c)) << s.pszName;
    }
}

TEST(ClipPolygonTest, OneVertexOutsideLeftGivesFourWithHalfwayCrossings)
{
    // (-2, 0) is outside x >= -w; both its edges reach x = 0, so each crossing
    // has lambda 0.5 and lands on x = -1 exactly.
    const ClipVertex p0 = Coloured(-2.0f, 0.0f, 0.5f, 1.0f, 0, 0.0f);
    const ClipVertex p1 = Coloured(0.0f, -0.5f, 0.5f, 1.0f, 200, 100.0f);
    const ClipVertex p2 = Coloured(0.0f, 0.5f, 0.5f, 1.0f, 100, 50.0f);
    ClipPolygon source, dest;
    SetTriangle(source, p0, p1, p2);
    ASSERT_EQ(source.ClipLeft(dest), 1);
    ASSERT_EQ(dest.m_nCount, 4u);
    // The last vertex is inside: exit point (p2 -> p0), entry point
    // (p0 -> p1), then p1 and p2.
    const ClipVertex& rExit = dest.m_aVertices[0];
    const ClipVertex& rEntry = dest.m_aVertices[1];
    EXPECT_EQ(rExit.m_fX, -1.0f);
    EXPECT_EQ(rExit.m_fY, 0.25f);
    EXPECT_EQ(rExit.m_fS, 25.0f);
    EXPECT_EQ(rExit.m_fT, 50.0f);
    EXPECT_EQ(rExit.m_bRed, 50);    // 100 + (0 - 100) * 0.5
    EXPECT_EQ(rExit.m_bGreen, 205); // 155 + (255 - 155) * 0.5
    EXPECT_EQ(rExit.m_bBlue, 40);
    EXPECT_EQ(rEntry.m_fX, -1.0f);
    EXPECT_EQ(rEntry.m_fY, -0.25f);
    EXPECT_EQ(rEntry.m_fZ, 0.5f);
    EXPECT_EQ(rEntry.m_fW, 1.0f);
    EXPECT_EQ(rEntry.m_fS, 50.0f);
    EXPECT_EQ(rEntry.m_bRed, 100); // 0 + 200 * 0.5
    EXPECT_TRUE(SameWords(dest.m_aVertices[2], p1));
    EXPECT_TRUE(SameWords(dest.m_aVertices[3], p2));
}

TEST(ClipPolygonTest, TwoVerticesOutsideLeftGiveATriangle)
{
    const ClipVertex p0 = Vertex(0.5f, 0.0f, 0.5f, 1.0f);
    const ClipVertex p1 = Vertex(-3.0f, 1.0f, 0.5f, 1.0f);
    const ClipVertex p2 = Vertex(-3.0f, -1.0f, 0.5f, 1.0f);
    ClipPolygon source, dest;
    SetTriangle(source, p0, p1, p2);
    ASSERT_EQ(source.ClipLeft(dest), 1);
    ASSERT_EQ(dest.m_nCount, 3u);
    // The last vertex is outside: entry point (p2 -> p0), p0, exit point
    // (p0 -> p1). Lambda 2/3.5 and 1.5/3.5; y = -1 + 2/3.5 and 1.5/3.5.
    EXPECT_NEAR(dest.m_aVertices[0].m_fX, -1.0f, 1e-6f);
    EXPECT_NEAR(dest.m_aVertices[0].m_fY, -0.42857143f, 1e-6f);
    EXPECT_TRUE(SameWords(dest.m_aVertices[1], p0));
    EXPECT_NEAR(dest.m_aVertices[2].m_fX, -1.0f, 1e-6f);
    EXPECT_NEAR(dest.m_aVertices[2].m_fY, 0.42857143f, 1e-6f);
}

TEST(ClipPolygonTest, VertexOnThePlaneIsKept)
{
    // x = -w exactly on the left plane, y = w exactly on the bottom plane,
    // z = 0 on the near plane, z = w on the far plane: inside, copied.
    const ClipVertex aOnPlane[] = {
        Vertex(-1.0f, 0.0f, 0.5f, 1.0f), Vertex(2.0f, 0.0f, 0.5f, 2.0f),
        Vertex(0.0f, -1.0f, 0.5f, 1.0f), Vertex(0.0f, 3.0f, 0.5f, 3.0f),
        Vertex(0.0f, 0.0f, 0.0f, 1.0f),  Vertex(0.0f, 0.0f, 1.0f, 1.0f),
    };
    for (Int32 i = 0; i < 6; ++i)
    {
        ClipPolygon source, dest;
        SetTriangle(source, aOnPlane[i], Vertex(0.25f, 0.25f, 0.5f, 1.0f),
                    Vertex(-0.25f, 0.25f, 0.5f, 1.0f));
        EXPECT_EQ((source.*kStages[i].pfnStage)(dest), 1) << kStages[i].pszName;
        EXPECT_EQ(dest.m_nCount, 3u) << kStages[i].pszName;
        EXPECT_TRUE(SameWords(dest.m_aVertices[0], aOnPlane[i])) << kStages[i].pszName;
    }
}

TEST(ClipPolygonTest, EachStageCutsAtItsOwnPlane)
{
    // One vertex outside the stage's plane, two inside at the mirrored
    // distance, so both crossings have lambda 0.5 and lie on the plane.
    const float N = NAN; // not checked
    struct
    {
        ClipVertex aVertices[3];
        float fX, fY, fZ; // of both crossings
    } const aCases[] = {
        {{Vertex(-3, 0, 0.5f, 1), Vertex(1, 0.125f, 0.5f, 1), Vertex(1, -0.125f, 0.5f, 1)},
         -1.0f,
         N,
         0.5f},
        {{Vertex(3, 0, 0.5f, 1), Vertex(-1, 0.125f, 0.5f, 1), Vertex(-1, -0.125f, 0.5f, 1)},
         1.0f,
         N,
         0.5f},
        {{Vertex(0, -3, 0.5f, 1), Vertex(0.125f, 1, 0.5f, 1), Vertex(-0.125f, 1, 0.5f, 1)},
         N,
         -1.0f,
         0.5f},
        {{Vertex(0, 3, 0.5f, 1), Vertex(0.125f, -1, 0.5f, 1), Vertex(-0.125f, -1, 0.5f, 1)},
         N,
         1.0f,
         0.5f},
        {{Vertex(0, 0, -0.5f, 1), Vertex(0, 0.125f, 0.5f, 1), Vertex(0, -0.125f, 0.5f, 1)},
         0.0f,
         N,
         0.0f},
        {{Vertex(0, 0, 1.5f, 1), Vertex(0, 0.125f, 0.5f, 1), Vertex(0, -0.125f, 0.5f, 1)},
         0.0f,
         N,
         1.0f},
    };
    for (Int32 i = 0; i < 6; ++i)
    {
        const ClipVertex* v = aCases[i].aVertices;
        ClipPolygon source, dest;
        SetTriangle(source, v[0], v[1], v[2]);
        ASSERT_EQ((source.*kStages[i].pfnStage)(dest), 1) << kStages[i].pszName;
        ASSERT_EQ(dest.m_nCount, 4u) << kStages[i].pszName;
        // Exit point (v2 -> v0), entry point (v0 -> v1), v1, v2.
        for (Int32 k : {0, 1})
        {
            const ClipVertex& x = dest.m_aVertices[k];
            if (!std::isnan(aCases[i].fX))
            {
                EXPECT_EQ(x.m_fX, aCases[i].fX) << kStages[i].pszName << " " << k;
            }
            if (!std::isnan(aCases[i].fY))
            {
                EXPECT_EQ(x.m_fY, aCases[i].fY) << kStages[i].pszName << " " << k;
            }
            EXPECT_EQ(x.m_fZ, aCases[i].fZ) << kStages[i].pszName << " " << k;
            EXPECT_EQ(x.m_fW, 1.0f) << kStages[i].pszName << " " << k;
        }
        EXPECT_TRUE(SameWords(dest.m_aVertices[2], v[1])) << kStages[i].pszName;
        EXPECT_TRUE(SameWords(dest.m_aVertices[3], v[2])) << kStages[i].pszName;
    }
}

TEST(ClipPolygonTest, EverythingOutsideReturnsZeroAndLeavesTheDestination)
{
    // Each triangle lies wholly outside the stage's plane.
    const ClipVertex aOutside[6][3] = {
        {Vertex(-2, 0, 0.5f, 1), Vertex(-3, 1, 0.5f, 1), Vertex(-1.5f, -1, 0.5f, 1)},
        {Vertex(2, 0, 0.5f, 1), Vertex(3, 1, 0.5f, 1), Vertex(1.5f, -1, 0.5f, 1)},
        {Vertex(0, -2, 0.5f, 1), Vertex(1, -3, 0.5f, 1), Vertex(-1, -1.5f, 0.5f, 1)},
        {Vertex(0, 2, 0.5f, 1), Vertex(1, 3, 0.5f, 1), Vertex(-1, 1.5f, 0.5f, 1)},
        {Vertex(0, 0, -0.5f, 1), Vertex(1, 0, -1, 1), Vertex(0, 1, NAN, 1)},
        {Vertex(0, 0, 1.5f, 1), Vertex(1, 0, 2, 1), Vertex(0, 1, 3, 1)},
    };
    for (Int32 i = 0; i < 6; ++i)
    {
        ClipPolygon source, dest, before;
        SetTriangle(source, aOutside[i][0], aOutside[i][1], aOutside[i][2]);
        std::memset(&dest, 0xAB, sizeof dest);
        std::memcpy(&before, &dest, sizeof dest);
        EXPECT_EQ((source.*kStages[i].pfnStage)(dest), 0) << kStages[i].pszName;
        EXPECT_EQ(std::memcmp(&dest, &before, sizeof dest), 0) << kStages[i].pszName;
    }
}

TEST(ClipPolygonTest, NearTreatsZThatIsNotANumberAsOutside)
{
    ClipPolygon source, dest;
    SetTriangle(source, Vertex(0, 0, NAN, 1), Vertex(0.5f, 0, 0.5f, 1), Vertex(0, 0.5f, 0.5f, 1));
    ASSERT_EQ(source.ClipNear(dest), 1);
    EXPECT_EQ(dest.m_nCount, 4u); // cut, not copied
}

TEST(ClipPolygonTest, CornerCrossingGivesFiveVertices)
{
    // p0 lies beyond both the left and the top plane. The left stage cuts
    // p2 -> p0 at y = 0.5 - 2.5/6 (inside) and p0 -> p1 at y = -1.52
    // (still above the top plane), so the top stage adds one more vertex.
    ClipPolygon a, b;
    SetTriangle(a, Vertex(-2.0f, -2.0f, 0.5f, 1.0f), Vertex(0.5f, -0.8f, 0.5f, 1.0f),
                Vertex(-0.8f, 0.5f, 0.5f, 1.0f));
    ASSERT_EQ(a.ClipLeft(b), 1);
    ASSERT_EQ(b.m_nCount, 4u);
    EXPECT_NEAR(b.m_aVertices[0].m_fY, 0.083333333f, 1e-6f);
    EXPECT_NEAR(b.m_aVertices[1].m_fY, -1.52f, 1e-6f);
    ASSERT_EQ(b.ClipRight(a), 1);
    ASSERT_EQ(a.ClipTop(b), 1);
    ASSERT_EQ(b.m_nCount, 5u);
    for (UInt32 k = 0; k < b.m_nCount; ++k)
    {
        EXPECT_GE(b.m_aVertices[k].m_fX, -1.0f - 1e-6f) << k;
        EXPECT_GE(b.m_aVertices[k].m_fY, -1.0f - 1e-6f) << k;
    }
}

TEST(ClipPolygonInterpolateTest, ColourBytesTruncateTowardZero)
{
    struct
    {
        Byte p, c;
        float fLambda;
        Byte expected;
    } const aCases[] = {
        {0, 255, 0.5f, 127}, // 127.5
        {255, 0, 0.5f, 127}, // 255 + (-255) * 0.5 = 127.5
        {0, 10, 0.25f, 2},   // 2.5
        {10, 0, 0.25f, 7},   // 10 - 2.5 = 7.5
        {7, 7, 0.9f, 7},     {0, 255, 1.0f, 255},
        {200, 0, 0.0f, 200}, {100, 101, 0.999f, 100}, // 100.999
    };
    for (const auto& c : aCases)
    {
        ClipVertex p = Vertex(0, 0, 0, 1), q = Vertex(0, 0, 0, 1), out;
        p.m_bRed = p.m_bGreen = p.m_bBlue = p.m_bAlpha = c.p;
        q.m_bRed = q.m_bGreen = q.m_bBlue = q.m_bAlpha = c.c;
        ClipPolygon::Interpolate(out, p, q, c.fLambda);
        EXPECT_EQ(out.m_bRed, c.expected) << int(c.p) << "->" << int(c.c) << " at " << c.fLambda;
        EXPECT_EQ(out.m_bGreen, c.expected);
        EXPECT_EQ(out.m_bBlue, c.expected);
        EXPECT_EQ(out.m_bAlpha, c.expected);
    }
}

TEST(ClipPolygonInterpolateTest, TextureAndWAreLinearInClipSpace)
{
    ClipVertex p = Vertex(0, 0, 0, 1), c = Vertex(4, -2, 1, 3), out;
    p.m_fS = 0.0f;
    c.m_fS = 100.0f;
    p.m_fT = 10.0f;
    c.m_fT = 30.0f;
    ClipPolygon::Interpolate(out, p, c, 0.5f);
    EXPECT_EQ(out.m_fS, 50.0f);
    EXPECT_EQ(out.m_fW, 2.0f);
    EXPECT_EQ(out.m_fT, 20.0f);
    EXPECT_EQ(out.m_fX, 2.0f);
    EXPECT_EQ(out.m_fY, -1.0f);
    EXPECT_EQ(out.m_fZ, 0.5f);
}

TEST(ClipPolygonInterpolateTest, LambdaThatIsNotANumberStillGivesBytes)
{
    // Degenerate input (a coordinate that is not a number) must not turn into
    // an out-of-range conversion.
    ClipVertex p = Vertex(0, 0, 0, 1), c = Vertex(0, 0, 0, 1), out;
    p.m_bRed = 10;
    c.m_bRed = 20;
    ClipPolygon::Interpolate(out, p, c, NAN);
    EXPECT_LE(out.m_bRed, 255);
    ClipPolygon::Interpolate(out, p, c, 1e30f);
    EXPECT_EQ(out.m_bRed, 255);
    ClipPolygon::Interpolate(out, p, c, -1e30f);
    EXPECT_EQ(out.m_bRed, 0);
}

} // namespace

// A stage adds at most one vertex whatever its input, even a polygon whose vertices go in and
// out of the plane many times (which clipped triangles never give): the largest polygon a stage
// takes, 24 vertices, still fits the 25 entries, and 25 are refused.
TEST(ClipPolygonTest, AStageAddsAtMostOneVertexAndRefusesWhatCouldNotFit)
{
    for (UInt32 n = 3; n <= ClipPolygon::MAX_VERTICES; ++n)
    {
        ClipPolygon source, dest;
        source.m_nCount = n;
        // Odd vertices lie outside the left plane, even ones inside: n / 2 outside runs.
        for (UInt32 i = 0; i < n; ++i)
            source.m_aVertices[i] = Vertex(i % 2 ? -2.0f : 0.5f, float(i), 0.5f, 1.0f);
        std::memset(&dest, 0xAB, sizeof dest);
        const Int32 nResult = source.ClipLeft(dest);
        if (n == ClipPolygon::MAX_VERTICES)
        {
            EXPECT_EQ(nResult, 0) << "a polygon of " << n << " vertices could outgrow the array";
            continue;
        }
        ASSERT_EQ(nResult, 1) << n;
        // Odd n ends inside: vertex 0, the two crossings around vertex 1, then every later
        // vertex as it is (n + 1). Even n ends outside: the crossing into vertex 0, vertex 0,
        // the crossing out of it, and the rest is dropped (3).
        EXPECT_EQ(dest.m_nCount, n % 2 ? n + 1 : 3u) << n;
    }
}

// Six stages on a triangle that crosses every plane: at most 3 + 6 = 9 vertices.
TEST(ClipPolygonTest, ATriangleThroughAllSixStagesEndsWithAtMostNine)
{
    ClipPolygon a, b;
    SetTriangle(a, Vertex(-3.0f, -3.0f, -1.0f, 1.0f), Vertex(3.0f, -2.5f, 2.0f, 1.0f),
                Vertex(0.5f, 3.0f, 0.5f, 1.0f));
    ClipPolygon* pSource = &a;
    ClipPolygon* pDest = &b;
    UInt32 nMost = 3;
    for (const StageCase& stage : kStages)
    {
        ASSERT_EQ((pSource->*stage.pfnStage)(*pDest), 1) << stage.pszName;
        EXPECT_LE(pDest->m_nCount, pSource->m_nCount + 1) << stage.pszName;
        nMost = pDest->m_nCount > nMost ? pDest->m_nCount : nMost;
        ClipPolygon* pSwap = pSource;
        pSource = pDest;
        pDest = pSwap;
    }
    EXPECT_LE(nMost, 9u);
    EXPECT_GT(pSource->m_nCount, 3u); // it did cross planes
}
