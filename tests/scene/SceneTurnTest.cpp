// Where the turned grid and dome land on the screen: vertices worked out
// from the camera (fov pi/2, near 0, at z = -7.142857), the scene's turns and
// the 640 x 480 projection, in double precision, and looked for among the
// vertices the scene handed to grDrawTriangle.
#include <cmath>

#include "SceneTestSupport.h"

namespace
{
const double kCameraDistance = 7.142857;
const double kHalfFov = 0.70710678118654752; // cos and sin of pi/4

struct ScreenPoint
{
    double dX, dY;
};

// Object-space point already turned into world space -> screen.
ScreenPoint Project(double x, double y, double z)
{
    const double dEyeZ = z + kCameraDistance;
    const double dW = kHalfFov * dEyeZ + 1.0;
    return {kHalfFov * x / dW * 320.0 + 320.0, kHalfFov * y / dW * 240.0 + 240.0};
}

// Is there a drawn vertex within a sixteenth of a pixel (plus rounding) of
// the point, with this colour?
bool DrawnNear(const ScreenPoint& rPoint, int nRed, int nGreen, int nBlue)
{
    for (const RecordedTriangle& rTriangle : RecordingGlide::Triangles())
        for (const GrVertex& rVertex : rTriangle.v)
            if (std::fabs(rVertex.x - rPoint.dX) <= 0.07 &&
                std::fabs(rVertex.y - rPoint.dY) <= 0.07 && rVertex.r == nRed &&
                rVertex.g == nGreen && rVertex.b == nBlue)
                return true;
    return false;
}

TEST_F(SceneTest, TheGridTurnsAboutItsZAxisAndTwoThirdsAsFastAboutItsXAxis)
{
    const double adTimes[] = {0.5, 1.25, 2.0};
    for (double dTime : adTimes)
    {
        RecordingGlide::Clear();
        FrameAt(dTime);
        const double dTheta = g_fSceneAngle;
        const double dPhi = g_fSceneAngle * (2.0 / 3.0);
        // Vertices near the middle of the grid, which stay inside the view.
        const int anVertices[] = {312, 311, 287, 338};
        for (int n : anVertices)
        {
            const MeshVertex& rV = Grid()->GetVertex(n);
            // First the turn in the y-z plane, then in the x-y plane.
            const double y1 = std::cos(dPhi) * rV.m_fY + std::sin(dPhi) * rV.m_fZ;
            const double z1 = -std::sin(dPhi) * rV.m_fY + std::cos(dPhi) * rV.m_fZ;
            const double x2 = std::cos(dTheta) * rV.m_fX + std::sin(dTheta) * y1;
            const double y2 = -std::sin(dTheta) * rV.m_fX + std::cos(dTheta) * y1;
            const ScreenPoint point = Project(x2, y2, z1);
            EXPECT_TRUE(DrawnNear(point, Corner(n).m_bRed, Corner(n).m_bGreen, Corner(n).m_bBlue))
                << "grid vertex " << n << " at " << dTime << " s should be drawn at (" << point.dX
                << ", " << point.dY << ")";
        }
    }
}

TEST_F(SceneTest, TheDomeIsScaledBy30AndTurnsAboutTheViewingAxis)
{
    const double adTimes[] = {0.5, 1.75};
    for (double dTime : adTimes)
    {
        RecordingGlide::Clear();
        FrameAt(dTime);
        const double dTheta = g_fBackdropAngle;
        Mesh* pDome = m_pScene->GetBackdrop()->GetMesh();
        // The last ring (around the pole) and the pole lie in the middle of
        // the view, 30 units of depth beyond the grid's plane.
        const int anVertices[] = {19 * 16, 19 * 16 + 5, 19 * 16 + 11, 320};
        for (int n : anVertices)
        {
            const MeshVertex& rV = pDome->GetVertex(n);
            const double x = 30.0 * rV.m_fX;
            const double y = 30.0 * rV.m_fY;
            const double z = -30.0 * rV.m_fZ;
            const double x2 = std::cos(dTheta) * x + std::sin(dTheta) * y;
            const double y2 = -std::sin(dTheta) * x + std::cos(dTheta) * y;
            const ScreenPoint point = Project(x2, y2, z);
            EXPECT_TRUE(DrawnNear(point, 255, 255, 255))
                << "dome vertex " << n << " at " << dTime << " s should be drawn at (" << point.dX
                << ", " << point.dY << ")";
        }
    }
}
} // namespace
