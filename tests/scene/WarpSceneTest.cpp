// The scene as a whole: what Create builds, the amplitude over time, the
// turns, the order of a frame's Glide calls, and Destroy.
#include <cmath>

#include "MatrixTurn.h"
#include "SceneTestSupport.h"

namespace
{
TEST_F(SceneTest, CreateCentresTheGridAndPlacesTheCamera)
{
    ASSERT_NE(nullptr, Grid());
    EXPECT_EQ(25, m_pScene->GetColumns());
    EXPECT_EQ(25, m_pScene->GetRows());
    ASSERT_EQ(625, Grid()->GetVertexCount());
    struct Case
    {
        int n;
        float fX, fY;
    };
    const Case aCases[] = {{0, -12.5f, -12.5f},
                           {1, -11.5f, -12.5f},
                           {25, -12.5f, -11.5f},
                           {312, -0.5f, -0.5f},
                           {624, 11.5f, 11.5f}};
    for (const Case& c : aCases)
    {
        EXPECT_EQ(c.fX, Grid()->GetVertex(c.n).m_fX) << "vertex " << c.n;
        EXPECT_EQ(c.fY, Grid()->GetVertex(c.n).m_fY) << "vertex " << c.n;
        EXPECT_EQ(0.0f, Grid()->GetVertex(c.n).m_fZ) << "vertex " << c.n;
    }

    // The camera at (0, 0, -7.142857) with the default field of view: the
    // translation column of the camera matrix holds s*k and 1 + s*k.
    Renderer* pRenderer = g_pEngine->GetDisplay()->GetRenderer();
    const Matrix4* pCamera = pRenderer->GetCamera()->GetMatrix();
    EXPECT_NEAR(5.0507631f, pCamera->At(2, 3), 1e-6f);
    EXPECT_NEAR(6.0507631f, pCamera->At(3, 3), 1e-6f);

    ASSERT_NE(nullptr, m_pScene->GetBackdrop());
    ASSERT_NE(nullptr, m_pScene->GetBackdrop()->GetMesh());
    EXPECT_EQ(16 * 20 + 1, m_pScene->GetBackdrop()->GetMesh()->GetVertexCount());
    EXPECT_EQ(0.0f, g_FrameTimer.m_fTime) << "the timer starts at 0 in Create";
}

TEST_F(SceneTest, AmplitudeSwellsInvertsAndReturns)
{
    struct Case
    {
        double dTime;
        int nSign; // -1, 0 or +1
    };
    const Case aCases[] = {
        {0.0, 0},     {15.7080078125, 1}, {31.40625, 1}, {31.4169921875, -1}, {40.0, -1},
        {47.125, -1}, {62.828125, -1},    {62.84375, 1}, {80.0, 1},
    };
    for (const Case& c : aCases)
    {
        FrameAt(c.dTime);
        const float fAmplitude = m_pScene->GetAmplitude();
        EXPECT_NEAR(std::sin(0.1 * c.dTime) * 10.0, fAmplitude, 1e-4) << c.dTime << " s";
        if (c.nSign == 0)
        {
            EXPECT_EQ(0.0f, fAmplitude) << c.dTime << " s";
        }
        else
        {
            EXPECT_EQ(c.nSign, fAmplitude > 0.0f ? 1 : -1) << c.dTime << " s";
        }

        // Heights are never negative, so the grid bulges with the amplitude.
        for (int n = 0; n < 625; n++)
        {
            const float fZ = Grid()->GetVertex(n).m_fZ;
            if (c.nSign > 0)
            {
                ASSERT_GE(fZ, 0.0f) << "vertex " << n << " at " << c.dTime;
            }
            else if (c.nSign < 0)
            {
                ASSERT_LE(fZ, 0.0f) << "vertex " << n << " at " << c.dTime;
            }
            else
            {
                ASSERT_EQ(0.0f, fZ) << "vertex " << n << " at " << c.dTime;
            }
        }
    }
    // Ten seconds of amplitude later: sin(10) * 10.
    FrameAt(100.0);
    EXPECT_NEAR(-5.4402111, m_pScene->GetAmplitude(), 1e-4);
}

TEST_F(SceneTest, CornerAlphasStay255)
{
    for (int k = 1; k <= 100; k++)
    {
        FrameAt(k * 0.0625);
        for (int n = 0; n < 625; n++)
            ASSERT_EQ(255, Corner(n).m_bAlpha) << "corner " << n << " frame " << k;
    }
    EXPECT_GT(m_pScene->GetKeyTime(), 5.0f) << "several key frames went by";
}

TEST_F(SceneTest, BothAnglesAdvanceByTheFrameStep)
{
    const float fScene = g_fSceneAngle;
    const float fBackdrop = g_fBackdropAngle;
    FrameAt(0.5);
    EXPECT_EQ(fScene + 0.5f, g_fSceneAngle);
    EXPECT_EQ(fBackdrop + 0.5f, g_fBackdropAngle);
    FrameAt(0.75);
    EXPECT_EQ(fScene + 0.5f + 0.25f, g_fSceneAngle);
    EXPECT_EQ(fBackdrop + 0.5f + 0.25f, g_fBackdropAngle);
}

TEST(MatrixTurnTest, TurnsMultiplyOnTheRightInObjectSpace)
{
    // M * Z(theta) * X(phi) applied to the object-space point (0, 1, 0):
    // X turns it to (0, c', -s'), then Z to (s*c', c*c', -s').
    const float fTheta = 0.7f;
    const float fPhi = 0.3f;
    Matrix4 m = {};
    for (int i = 0; i < 4; i++)
        m.At(i, i) = 1.0f;
    TurnAboutZ(&m, fTheta);
    // After the first turn alone, rows 0 and 1 are (c, s) and (-s, c).
    EXPECT_FLOAT_EQ(std::cos(fTheta), m.At(0, 0));
    EXPECT_FLOAT_EQ(std::sin(fTheta), m.At(0, 1));
    EXPECT_FLOAT_EQ(-std::sin(fTheta), m.At(1, 0));
    EXPECT_FLOAT_EQ(std::cos(fTheta), m.At(1, 1));
    TurnAboutX(&m, fPhi);

    const double adExpected[3] = {std::sin(fTheta) * std::cos(fPhi),
                                  std::cos(fTheta) * std::cos(fPhi), -std::sin(fPhi)};
    for (int r = 0; r < 3; r++)
        EXPECT_NEAR(adExpected[r], m.At(r, 1), 1e-6) << "row " << r;
    // Column 3 (translation) and row 3 never change.
    EXPECT_EQ(0.0f, m.At(0, 3));
    EXPECT_EQ(1.0f, m.At(3, 3));
    EXPECT_EQ(0.0f, m.At(3, 0));
}

TEST_F(SceneTest, AFrameDrawsFlushesSwapsAndClearsToBlack)
{
    RecordingGlide::Clear();
    FrameAt(0.5);
    const std::vector<std::string> astrNames = RecordingGlide::Names();
    ASSERT_GE(astrNames.size(), 2u);
    EXPECT_GT(RecordingGlide::CountOf("grDrawTriangle"), 1000) << "grid and dome";
    EXPECT_EQ(1, RecordingGlide::CountOf("grBufferSwap"));
    EXPECT_EQ(1, RecordingGlide::CountOf("grBufferClear"));
    const std::vector<std::string> astrTexts = RecordingGlide::Texts();
    EXPECT_EQ("grBufferSwap(1)", astrTexts[astrTexts.size() - 2]);
    EXPECT_EQ("grBufferClear(0,0,65535)", astrTexts.back());
}

TEST_F(SceneTest, DestroyReleasesEverythingAndIsSafeTwice)
{
    FrameAt(0.25);
    m_pScene->Destroy();
    EXPECT_EQ(nullptr, m_pScene->GetMesh());
    EXPECT_EQ(nullptr, m_pScene->GetBackdrop());
    EXPECT_EQ(nullptr, m_pScene->GetTargetColours());
    EXPECT_EQ(nullptr, m_pScene->GetTargetHeights());
    EXPECT_EQ(nullptr, m_pScene->GetPreviousColours());
    EXPECT_EQ(nullptr, m_pScene->GetPreviousHeights());
    m_pScene->Destroy(); // nothing left to release; must not free anything twice
    EXPECT_EQ(nullptr, m_pScene->GetMesh());
}

TEST(WarpSceneLifecycleTest, CreateApplicationMakesAnEmptySceneThatDestroysSafely)
{
    Application* pApp = CreateApplication();
    ASSERT_NE(nullptr, pApp);
    WarpScene* pScene = static_cast<WarpScene*>(pApp);
    EXPECT_EQ(nullptr, pScene->GetMesh());
    EXPECT_EQ(nullptr, pScene->GetTargetColours());
    EXPECT_EQ(nullptr, pScene->GetTargetHeights());
    EXPECT_EQ(nullptr, pScene->GetPreviousColours());
    EXPECT_EQ(nullptr, pScene->GetPreviousHeights());
    EXPECT_EQ(nullptr, pScene->GetBackdrop());
    pApp->Terminate(); // the emergency path releases nothing and must not fail
    pApp->Destroy();   // nor may Destroy on a scene that was never created
    delete pApp;
}
} // namespace
