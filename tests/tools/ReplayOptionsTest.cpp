// glide-replay's command line, the names of a trace's frames and the figures of a run.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FrameTimes.h"
#include "ReplayOptions.h"
#include "TraceFrameClock.h"

namespace
{
bool Parse(const std::vector<std::string>& astrArgs, ReplayOptions& rOptions, std::string& rError)
{
    std::vector<std::string> astrWords = {"glide-replay"};
    astrWords.insert(astrWords.end(), astrArgs.begin(), astrArgs.end());
    std::vector<char*> apszArgs;
    for (std::string& rWord : astrWords)
        apszArgs.push_back(&rWord[0]);
    return ParseReplayOptions((int)apszArgs.size(), apszArgs.data(), rOptions, rError) == 1;
}

TEST(ReplayOptionsTest, ReadsEveryOption)
{
    ReplayOptions options;
    std::string strError;
    ASSERT_TRUE(Parse({"t.gtr", "--frames", "1,5,10-12", "--out", "pictures", "--check", "golden",
                       "--threads", "2", "--repeat", "3", "--quiet", "--list"},
                      options, strError))
        << strError;
    EXPECT_EQ("t.gtr", options.m_strTracePath);
    EXPECT_EQ("pictures", options.m_strOutDir);
    EXPECT_EQ("golden", options.m_strCheckDir);
    EXPECT_EQ(2, options.m_nThreads);
    EXPECT_EQ(3, options.m_nRepeat);
    EXPECT_EQ(1, options.m_bQuiet);
    EXPECT_EQ(1, options.m_bList);
    const std::vector<Int64> allWanted = {1, 5, 10, 11, 12};
    std::vector<Int64> allGot;
    for (Int64 k = 0; k <= 20; k++)
        if (options.WantsFrame(k))
            allGot.push_back(k);
    EXPECT_EQ(allWanted, allGot);

    ReplayOptions defaults;
    ASSERT_TRUE(Parse({"t.gtr"}, defaults, strError));
    EXPECT_EQ("replay", defaults.m_strOutDir);
    EXPECT_EQ(0, defaults.m_nThreads); // not given
    EXPECT_EQ(1, defaults.m_nRepeat);
    EXPECT_FALSE(defaults.WantsFrame(1));

    ReplayOptions all;
    ASSERT_TRUE(Parse({"--frames", "all", "t.gtr"}, all, strError));
    EXPECT_TRUE(all.WantsFrame(1));
    EXPECT_TRUE(all.WantsFrame(123456));
}

TEST(ReplayOptionsTest, RejectsBadCommandLinesWithAMessage)
{
    struct Case
    {
        std::vector<std::string> astrArgs;
        const char* pszMessage;
    };
    const Case aCases[] = {
        {{}, "no trace"},
        {{"a.gtr", "b.gtr"}, "one trace at a time"},
        {{"t.gtr", "--bogus"}, "unknown option"},
        {{"t.gtr", "--frames"}, "needs a value"},
        {{"t.gtr", "--frames", "0"}, "--frames"},
        {{"t.gtr", "--frames", "5-2"}, "--frames"},
        {{"t.gtr", "--frames", "1,,2"}, "--frames"},
        {{"t.gtr", "--frames", "-3"}, "--frames"},
        {{"t.gtr", "--frames", "x"}, "--frames"},
        {{"t.gtr", "--threads", "0"}, "--threads"},
        {{"t.gtr", "--threads", "65"}, "--threads"},
        {{"t.gtr", "--repeat", "1001"}, "--repeat"},
        {{"t.gtr", "--repeat", "2x"}, "--repeat"},
    };
    for (const Case& c : aCases)
    {
        ReplayOptions options;
        std::string strError;
        EXPECT_FALSE(Parse(c.astrArgs, options, strError)) << c.pszMessage;
        EXPECT_NE(std::string::npos, strError.find(c.pszMessage)) << strError;
    }
}

TEST(TraceFrameClockTest, NamesFramesAsTheCaptureToolDoes)
{
    TraceFrameClock clock;
    EXPECT_EQ("frame-00001.png", clock.FrameName(1));
    EXPECT_EQ("frame-00042.png", clock.FrameName(42));
    const std::string strMarker = "vellumtide-capture first-frame=30 step=1/30";
    EXPECT_EQ(1, clock.ReadMarker(strMarker.data(), strMarker.size()));
    // The trace's first frame is the capture's frame 30, at 1 s.
    EXPECT_EQ("frame-1.000s.png", clock.FrameName(1));
    EXPECT_EQ("frame-1.033s.png", clock.FrameName(2));
    EXPECT_EQ("frame-2.000s.png", clock.FrameName(31));

    TraceFrameClock other;
    for (const char* psz : {"vellumtide-capture first-frame=0 step=1/30",
                            "vellumtide-capture first-frame=3 step=0/30",
                            "vellumtide-capture first-frame=3 step=1/30 extra", "something else"})
    {
        EXPECT_EQ(0, other.ReadMarker(psz, std::string(psz).size())) << psz;
        EXPECT_EQ("frame-00003.png", other.FrameName(3)) << psz;
    }
    // The marker's text need not end with a zero byte.
    const char achCut[] = {'v', 'e', 'l', 'l'};
    EXPECT_EQ(0, other.ReadMarker(achCut, sizeof achCut));
}

TEST(FrameTimesTest, MediansAndRate)
{
    FrameTimes times;
    EXPECT_EQ(0.0, times.MedianWallMs());
    EXPECT_EQ(-1, times.MedianPixels());
    times.Add(10.0, 9.0, 100);
    times.Add(30.0, 20.0, 300);
    times.Add(20.0, 11.0, 200);
    EXPECT_EQ(3, times.Count());
    EXPECT_DOUBLE_EQ(20.0, times.MedianWallMs());
    EXPECT_DOUBLE_EQ(11.0, times.MedianCpuMs());
    EXPECT_EQ(200, times.MedianPixels());
    // Three frames in 60 ms: 50 frames per second.
    EXPECT_DOUBLE_EQ(50.0, times.FramesPerSecond());
    times.Add(40.0, 1.0, -1); // pixels not counted for this one
    EXPECT_DOUBLE_EQ(25.0, times.MedianWallMs());
    EXPECT_EQ(200, times.MedianPixels());
}
} // namespace
