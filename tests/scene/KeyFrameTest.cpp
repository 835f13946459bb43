// Key frames: the generator, the first target, the change after more than one
// second, and the heights the generator's end values give.
#include <cmath>
#include <cstring>

#include "SceneTestSupport.h"

namespace
{
// The classic runtime generator from state 1 is widely published; these are
// its first twelve numbers.
TEST(KeyFrameRandomTest, GivesThePublishedSequenceFromStateOne)
{
    const int anExpected[] = {41,    18467, 6334,  26500, 19169, 15724,
                              11478, 29358, 26962, 24464, 5705,  28145};
    KeyFrameRandom random;
    for (int i = 0; i < 12; i++)
        EXPECT_EQ(anExpected[i], random.Next()) << "draw " << i;
    random.Restart();
    EXPECT_EQ(41, random.Next()) << "Restart goes back to state 1";
}

TEST(KeyFrameRandomTest, StaysWithinZeroTo32767AndReachesBothEnds)
{
    KeyFrameRandom random;
    bool bSawZero = false;
    bool bSawMax = false;
    for (int i = 0; i < 2000000; i++)
    {
        const int n = random.Next();
        ASSERT_GE(n, 0);
        ASSERT_LE(n, 32767);
        bSawZero = bSawZero || n == 0;
        bSawMax = bSawMax || n == 32767;
    }
    EXPECT_TRUE(bSawZero);
    EXPECT_TRUE(bSawMax);
}

TEST_F(SceneTest, FirstTargetIsRandomAndPreviousIsAFlatBlackSheet)
{
    // Vertex 0 takes draws 41, 18467, 6334, 26500; vertex 1 the next four.
    struct Case
    {
        int n, nRed, nGreen, nBlue;
        float fHeight;
    };
    const Case aCases[] = {
        {0, 41, 35, 190, 0.8087405f},                            // 26500 / 32767
        {1, 19169 % 256, 15724 % 256, 11478 % 256, 0.89596240f}, // 29358 / 32767
    };
    for (const Case& c : aCases)
    {
        const KeyColour& rTarget = m_pScene->GetTargetColours()[c.n];
        EXPECT_EQ(c.nRed, rTarget.m_byRed) << "vertex " << c.n;
        EXPECT_EQ(c.nGreen, rTarget.m_byGreen) << "vertex " << c.n;
        EXPECT_EQ(c.nBlue, rTarget.m_byBlue) << "vertex " << c.n;
        EXPECT_FLOAT_EQ(c.fHeight, m_pScene->GetTargetHeights()[c.n]) << "vertex " << c.n;
    }
    EXPECT_EQ(0.8087405f, m_pScene->GetTargetHeights()[0]);

    const std::vector<ReferenceVertex> aReference = ReferenceKeyFrame(1);
    for (int n = 0; n < 625; n++)
    {
        const KeyColour& rTarget = m_pScene->GetTargetColours()[n];
        ASSERT_EQ(aReference[n].nRed, rTarget.m_byRed) << "vertex " << n;
        ASSERT_EQ(aReference[n].nGreen, rTarget.m_byGreen) << "vertex " << n;
        ASSERT_EQ(aReference[n].nBlue, rTarget.m_byBlue) << "vertex " << n;
        ASSERT_NEAR(aReference[n].nHeightDraw / 32767.0, m_pScene->GetTargetHeights()[n], 1e-7)
            << "vertex " << n;
        const KeyColour& rPrevious = m_pScene->GetPreviousColours()[n];
        ASSERT_EQ(0, rPrevious.m_byRed + rPrevious.m_byGreen + rPrevious.m_byBlue) << n;
        ASSERT_EQ(0.0f, m_pScene->GetPreviousHeights()[n]) << "vertex " << n;
    }
}

TEST_F(SceneTest, DuringTheFirstSecondTheGridRisesOutOfTheBlackSheet)
{
    const double adTimes[] = {0.25, 0.5, 0.75, 0.9990234375};
    for (double dTime : adTimes)
    {
        FrameAt(dTime);
        ASSERT_EQ(0.0f, m_pScene->GetKeyTime()) << "no key-frame change before 1 s";
        const float fT = (float)dTime;
        const double dAmplitude = std::sin(0.1 * dTime) * 10.0;
        for (int n = 0; n < 625; n++)
        {
            const float fTarget = m_pScene->GetTargetHeights()[n];
            const double dExpected = fTarget * dTime * dAmplitude;
            ASSERT_NEAR(dExpected, Grid()->GetVertex(n).m_fZ, 1e-6 + std::fabs(dExpected) * 1e-5)
                << "vertex " << n << " at " << dTime << " s";

            // Channels times these times are exact in single precision.
            const KeyColour& rTarget = m_pScene->GetTargetColours()[n];
            ASSERT_EQ((int)(rTarget.m_byRed * fT), Corner(n).m_bRed) << n << " at " << dTime;
            ASSERT_EQ((int)(rTarget.m_byGreen * fT), Corner(n).m_bGreen) << n << " at " << dTime;
            ASSERT_EQ((int)(rTarget.m_byBlue * fT), Corner(n).m_bBlue) << n << " at " << dTime;
        }
    }
}

TEST_F(SceneTest, ExactlyOneSecondKeepsTheKeyFrameAndTheNextFrameChangesIt)
{
    const KeyColour* pFirstTarget = m_pScene->GetTargetColours();
    const float* pFirstHeights = m_pScene->GetTargetHeights();
    std::vector<KeyColour> aFirstColours(pFirstTarget, pFirstTarget + 625);
    std::vector<float> afFirstHeights(pFirstHeights, pFirstHeights + 625);

    FrameAt(1.0);
    EXPECT_EQ(0.0f, m_pScene->GetKeyTime());
    EXPECT_EQ(pFirstTarget, m_pScene->GetTargetColours()) << "still the first key frame";
    EXPECT_EQ(0, memcmp(aFirstColours.data(), m_pScene->GetTargetColours(), 625 * 4));
    for (int n = 0; n < 625; n++)
    {
        // Blend factor 1: the grid shows the target exactly.
        ASSERT_EQ(aFirstColours[n].m_byRed, Corner(n).m_bRed) << n;
        ASSERT_EQ(aFirstColours[n].m_byBlue, Corner(n).m_bBlue) << n;
    }

    const double dChange = 1.0 + 1.0 / 1024.0;
    FrameAt(dChange);
    EXPECT_EQ((float)dChange, m_pScene->GetKeyTime());
    // The target became the previous key frame by pointer exchange.
    EXPECT_EQ(pFirstTarget, m_pScene->GetPreviousColours());
    EXPECT_EQ(pFirstHeights, m_pScene->GetPreviousHeights());
    const float fAmplitude = m_pScene->GetAmplitude();
    EXPECT_NEAR(std::sin(0.1 * dChange) * 10.0, fAmplitude, 1e-5);

    const std::vector<ReferenceVertex> aSecond = ReferenceKeyFrame(2);
    for (int n = 0; n < 625; n++)
    {
        // Blend factor 0: the grid shows the key frame that was the target.
        ASSERT_EQ(aFirstColours[n].m_byRed, Corner(n).m_bRed) << n;
        ASSERT_EQ(aFirstColours[n].m_byGreen, Corner(n).m_bGreen) << n;
        ASSERT_EQ(aFirstColours[n].m_byBlue, Corner(n).m_bBlue) << n;
        ASSERT_EQ(afFirstHeights[n] * fAmplitude, Grid()->GetVertex(n).m_fZ) << n;
        // And the new target is the generator's second key frame.
        ASSERT_EQ(aSecond[n].nRed, m_pScene->GetTargetColours()[n].m_byRed) << n;
        ASSERT_EQ(aSecond[n].nBlue, m_pScene->GetTargetColours()[n].m_byBlue) << n;
    }
}

TEST_F(SceneTest, KeyFramesChangeOncePerSecondPlusPartOfAFrame)
{
    // At 30 frames a second (in 1/1024 s units, 34/1024 s a frame) the key
    // time moves to the first frame strictly more than 1 s after the last.
    std::vector<float> afKeyTimes;
    for (int k = 1; k <= 150; k++)
    {
        FrameAt(k * 34.0 / 1024.0);
        if (afKeyTimes.empty() || afKeyTimes.back() != m_pScene->GetKeyTime())
            afKeyTimes.push_back(m_pScene->GetKeyTime());
    }
    // 31 frames make 1.0293 s: the changes come at frames 31, 62, 93, 124.
    const float afExpected[] = {0.0f, 31 * 34 / 1024.0f, 62 * 34 / 1024.0f, 93 * 34 / 1024.0f,
                                124 * 34 / 1024.0f};
    ASSERT_EQ(5u, afKeyTimes.size());
    for (int i = 0; i < 5; i++)
        EXPECT_EQ(afExpected[i], afKeyTimes[i]) << "key frame " << i;
}

// Finds the first key frame and vertex whose height draw is nDraw.
bool FindHeightDraw(int nDraw, int& rKey, int& rVertex)
{
    ReferenceDraws draws;
    for (int nKey = 1; nKey <= 2000; nKey++)
        for (int n = 0; n < 625; n++)
        {
            draws.Next();
            draws.Next();
            draws.Next();
            if (draws.Next() == nDraw)
            {
                rKey = nKey;
                rVertex = n;
                return true;
            }
        }
    return false;
}

TEST_F(SceneTest, TheGeneratorsEndsGiveHeightsZeroAndExactlyOne)
{
    struct Case
    {
        int nDraw;
        float fHeight;
    };
    const Case aCases[] = {{0, 0.0f}, {32767, 1.0f}};
    int nKeysMade = 1; // by Create
    for (const Case& c : aCases)
    {
        int nKey = 0;
        int nVertex = 0;
        ASSERT_TRUE(FindHeightDraw(c.nDraw, nKey, nVertex)) << c.nDraw;
        ASSERT_GE(nKey, nKeysMade) << "cases in the order the generator reaches them";
        while (nKeysMade < nKey)
        {
            m_pScene->NewKeyFrame();
            nKeysMade++;
        }
        EXPECT_EQ(c.fHeight, m_pScene->GetTargetHeights()[nVertex])
            << "draw " << c.nDraw << " in key frame " << nKey << " at vertex " << nVertex;
    }
}

TEST_F(SceneTest, BlendingTruncatesTowardZero)
{
    // Every channel of the first target that is 255 or 0 (the previous key
    // frame is all 0): at 0.5, 255 gives 127.5, shown as 127.
    const std::vector<ReferenceVertex> aReference = ReferenceKeyFrame(1);
    m_pScene->Blend(0.5f);
    int nFullChannels = 0;
    for (int n = 0; n < 625; n++)
    {
        const int anChannels[3] = {aReference[n].nRed, aReference[n].nGreen, aReference[n].nBlue};
        const int anShown[3] = {Corner(n).m_bRed, Corner(n).m_bGreen, Corner(n).m_bBlue};
        for (int c = 0; c < 3; c++)
        {
            if (anChannels[c] == 255)
            {
                EXPECT_EQ(127, anShown[c]) << "vertex " << n << " channel " << c;
                nFullChannels++;
            }
            if (anChannels[c] == 1)
            {
                EXPECT_EQ(0, anShown[c]) << "vertex " << n << " channel " << c;
            }
        }
    }
    EXPECT_GT(nFullChannels, 0) << "the first key frame has channels of 255";
}

TEST_F(SceneTest, BlendWeighsTargetAgainstPrevious)
{
    // After a second NewKeyFrame both key frames are random.
    m_pScene->NewKeyFrame();
    const float afT[] = {0.0f, 0.25f, 0.5f, 0.75f, 1.0f};
    for (float fT : afT)
    {
        m_pScene->Blend(fT);
        for (int n = 0; n < 625; n += 7)
        {
            const KeyColour& rTarget = m_pScene->GetTargetColours()[n];
            const KeyColour& rPrevious = m_pScene->GetPreviousColours()[n];
            // Products of 8-bit values and quarters are exact; so is the sum.
            const int nExpected =
                (int)(rTarget.m_byGreen * (double)fT + rPrevious.m_byGreen * (1.0 - (double)fT));
            ASSERT_EQ(nExpected, Corner(n).m_bGreen) << "vertex " << n << " t " << fT;
            // Amplitude is still 0 before the first frame: the grid stays flat.
            ASSERT_EQ(0.0f, Grid()->GetVertex(n).m_fZ) << "vertex " << n;
        }
    }
}
} // namespace
