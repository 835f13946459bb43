// FrameTimer against the stand-in's test clock. The frequencies are powers of
// two, so every expected time below is exact and worked out by hand.
#include <gtest/gtest.h>

#include <Win32StandIn.h>

#include "FrameTimer.h"

namespace
{
class FrameTimerTest : public ::testing::Test
{
  protected:
    void TearDown() override { StandIn_UseRealClock(); }
};
} // namespace

TEST_F(FrameTimerTest, StartsAtTheStartTimeWithNoStep)
{
    StandIn_SetTestClock(1024, 123456789);
    FrameTimer timer;
    EXPECT_NE(0, timer.Start(1.0f, 0.0f));
    EXPECT_EQ(0.0f, timer.GetTime());
    EXPECT_EQ(0.0f, timer.m_fTime);
    EXPECT_EQ(0.0f, timer.m_fDelta);
    EXPECT_EQ(1024, timer.m_llFrequency);
    EXPECT_EQ(123456789, timer.m_llStartCount);
    EXPECT_EQ(123456789, timer.m_llCount); // a copy of the start until the first update
    EXPECT_EQ(1.0f / 1024.0f, timer.m_fSecondsPerCount);
}

TEST_F(FrameTimerTest, UpdatesFollowTheCounter)
{
    StandIn_SetTestClock(1024, 5000);
    FrameTimer timer;
    timer.Start(1.0f, 0.0f);

    struct Step
    {
        int64_t llAdvance;
        float fTime;
        float fDelta;
    };
    const Step steps[] = {
        {512, 0.5f, 0.5f}, // half a second
        {0, 0.5f, 0.0f},   // no counts in between: no step
        {1, 0.5f + 1.0f / 1024.0f, 1.0f / 1024.0f},
        {1535, 2.0f, 1.5f - 1.0f / 1024.0f},
        {10240, 12.0f, 10.0f},
    };
    int64_t llElapsed = 0;
    for (const Step& s : steps)
    {
        StandIn_AdvanceTestClock(s.llAdvance);
        llElapsed += s.llAdvance;
        EXPECT_EQ(1, timer.Update());
        EXPECT_EQ(s.fTime, timer.m_fTime) << "after " << llElapsed << " counts";
        EXPECT_EQ(s.fTime, timer.GetTime()) << "after " << llElapsed << " counts";
        EXPECT_EQ(s.fDelta, timer.m_fDelta) << "after " << llElapsed << " counts";
        EXPECT_EQ(llElapsed, timer.m_llCount) << "counts since start";
    }
}

TEST_F(FrameTimerTest, ScaleAndStartTimeShiftTheTime)
{
    StandIn_SetTestClock(2048, 0);
    FrameTimer timer;
    timer.Start(4.0f, 10.0f);
    EXPECT_EQ(10.0f, timer.m_fTime);
    StandIn_AdvanceTestClock(1024); // half a second at scale 4: two
    timer.Update();
    EXPECT_EQ(12.0f, timer.m_fTime);
    EXPECT_EQ(2.0f, timer.m_fDelta);
}

TEST_F(FrameTimerTest, RestartBeginsAgainAtTheNewStartTime)
{
    StandIn_SetTestClock(1024, 0);
    FrameTimer timer;
    timer.Start(1.0f, 0.0f);
    StandIn_AdvanceTestClock(4096);
    timer.Update();
    ASSERT_EQ(4.0f, timer.m_fTime);
    timer.Start(1.0f, 100.0f);
    EXPECT_EQ(100.0f, timer.m_fTime);
    EXPECT_EQ(0.0f, timer.m_fDelta);
    StandIn_AdvanceTestClock(256);
    timer.Update();
    EXPECT_EQ(100.25f, timer.m_fTime);
    EXPECT_EQ(0.25f, timer.m_fDelta);
}

TEST_F(FrameTimerTest, UpdateBeforeStartStaysAtZero)
{
    StandIn_SetTestClock(1024, 999999);
    FrameTimer timer; // every field zero, as the static timer before start
    EXPECT_EQ(1, timer.Update());
    EXPECT_EQ(0.0f, timer.m_fTime);
    EXPECT_EQ(0.0f, timer.m_fDelta);
    StandIn_AdvanceTestClock(1024);
    timer.Update();
    EXPECT_EQ(0.0f, timer.m_fTime);
    EXPECT_EQ(0.0f, timer.m_fDelta);
}

TEST_F(FrameTimerTest, StaticTimerIsZeroUntilStarted)
{
    // Nothing in this test program starts the process's own timer.
    EXPECT_EQ(0.0f, g_FrameTimer.m_fStartTime);
    EXPECT_EQ(0.0f, g_FrameTimer.m_fTime);
    EXPECT_EQ(0.0f, g_FrameTimer.m_fDelta);
    EXPECT_EQ(0.0f, g_FrameTimer.m_fSecondsPerCount);
    EXPECT_EQ(0, g_FrameTimer.m_llStartCount);
    EXPECT_EQ(0, g_FrameTimer.m_llCount);
    EXPECT_EQ(0, g_FrameTimer.m_llFrequency);
}

// After a day the stored time moves in steps of 1/128 s. Each step is the
// exact elapsed time minus the stored time, so while the stored time stands
// still the steps overlap, and a step is negative when the stored time was
// rounded up past the elapsed time.
TEST_F(FrameTimerTest, AfterADayTheTimeMovesInStepsOfOne128th)
{
    const float fDay = 86400.0f; // exact; floats around it are 1/128 apart
    StandIn_SetTestClock(1024, 0);
    FrameTimer timer;
    timer.Start(1.0f, 0.0f);
    StandIn_AdvanceTestClock(86400LL * 1024);
    timer.Update();
    ASSERT_EQ(fDay, timer.m_fTime);

    struct Step
    {
        int nCounts; // counts (1/1024 s) past the day
        float fTime;
        float fDelta;
    };
    const Step steps[] = {
        {1, fDay, 1.0f / 1024},               // rounds down: time stands still
        {2, fDay, 2.0f / 1024},               // the steps overlap
        {4, fDay, 4.0f / 1024},               // half-way: ties to the even float, the day
        {5, fDay + 1.0f / 128, 5.0f / 1024},  // rounds up to the next float
        {6, fDay + 1.0f / 128, -2.0f / 1024}, // the stored time lies above: negative step
        {8, fDay + 1.0f / 128, 0.0f},
    };
    int nCounts = 0;
    for (const Step& s : steps)
    {
        StandIn_AdvanceTestClock(s.nCounts - nCounts);
        nCounts = s.nCounts;
        timer.Update();
        EXPECT_EQ(s.fTime, timer.m_fTime) << s.nCounts << " counts past the day";
        EXPECT_EQ(s.fDelta, timer.m_fDelta) << s.nCounts << " counts past the day";
    }
}
