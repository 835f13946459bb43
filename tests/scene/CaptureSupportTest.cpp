// The capture tool's parts that need no engine: its command line, the PNG
// files, the contact sheet and the 5-6-5 read-back.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

#include <RecordingGlide.h>

#include "CaptureOptions.h"
#include "ContactSheet.h"
#include "FrameReadBack.h"
#include "PngFile.h"

namespace
{
// Parses a command line given as one string of space-separated words.
bool Parse(const std::string& rLine, CaptureOptions& rOptions, std::string& rError)
{
    std::vector<std::string> astrWords = {"vellumtide-capture"};
    size_t uStart = 0;
    while (uStart < rLine.size())
    {
        size_t uEnd = rLine.find(' ', uStart);
        if (uEnd == std::string::npos)
            uEnd = rLine.size();
        astrWords.push_back(rLine.substr(uStart, uEnd - uStart));
        uStart = uEnd + 1;
    }
    std::vector<char*> apszArgs;
    for (std::string& rWord : astrWords)
        apszArgs.push_back(&rWord[0]);
    return ParseCaptureOptions((int)apszArgs.size(), apszArgs.data(), rOptions, rError) == 1;
}

TEST(CaptureOptionsTest, TimesBecomeFrameNumbersOfTheStep)
{
    struct Case
    {
        const char* pszLine;
        std::vector<Int64> allFrames;
    };
    const Case aCases[] = {
        {"--at 0.5,1.5,20,40", {15, 45, 600, 1200}},
        {"--seconds 5 --every 1 --sheet --out x", {30, 60, 90, 120, 150}},
        {"--seconds 2 --every 0.5", {15, 30, 45, 60}},
        {"--step 1/10 --at 1,2.5", {10, 25}},
        {"--step 0.05 --at 1", {20}},
        {"--at 2,1,1,2", {30, 60}},   // sorted, each frame once
        {"--at 1 --seconds 1", {30}}, // both lists merge
        {"--at 0.02", {1}},           // the nearest frame: 0.6 steps
    };
    for (const Case& c : aCases)
    {
        CaptureOptions options;
        std::string strError;
        ASSERT_TRUE(Parse(c.pszLine, options, strError)) << c.pszLine << ": " << strError;
        EXPECT_EQ(c.allFrames, options.m_allFrames) << c.pszLine;
    }
}

TEST(CaptureOptionsTest, KeepsTheOtherSettings)
{
    CaptureOptions options;
    std::string strError;
    ASSERT_TRUE(
        Parse("--out pictures --sheet --compare golden --step 2/50 --at 1", options, strError));
    EXPECT_EQ("pictures", options.m_strOutDir);
    EXPECT_EQ(1, options.m_bSheet);
    EXPECT_EQ("golden", options.m_strCompareDir);
    EXPECT_EQ(2, options.m_llStepNumerator);
    EXPECT_EQ(50, options.m_llStepDenominator);
    EXPECT_DOUBLE_EQ(1.0, TimeOfFrame(options, options.m_allFrames[0]));

    CaptureOptions defaults;
    ASSERT_TRUE(Parse("--at 1", defaults, strError));
    EXPECT_EQ("capture", defaults.m_strOutDir);
    EXPECT_EQ(1, defaults.m_llStepNumerator);
    EXPECT_EQ(30, defaults.m_llStepDenominator);
    EXPECT_EQ(0, defaults.m_bSheet);
}

TEST(CaptureOptionsTest, RejectsBadCommandLinesWithAMessage)
{
    const char* apszLines[] = {
        "",                      // nothing to capture
        "--sheet",               // still nothing
        "--bogus",               // unknown option
        "--at",                  // no value
        "--at 1,,2",             // empty time
        "--at 1,x",              // not a number
        "--at 0",                // before the first frame
        "--at -1",               // negative
        "--at nan",              // not finite
        "--at 1e9",              // beyond a day
        "--seconds 0",           // no length
        "--seconds 5 --every 0", // no spacing
        "--seconds 100000 --every 1",
        "--seconds 86400 --every 0.001", // far too many frames
        "--step 0 --at 1",
        "--step 1/0 --at 1",
        "--step -1/30 --at 1",
        "--step 1/30x --at 1",
        "--step 1/10000 --at 1", // below a millisecond
        "--step 11 --at 20",     // above ten seconds
    };
    for (const char* pszLine : apszLines)
    {
        CaptureOptions options;
        std::string strError;
        EXPECT_FALSE(Parse(pszLine, options, strError)) << "'" << pszLine << "'";
        EXPECT_FALSE(strError.empty()) << "'" << pszLine << "'";
    }
    CaptureOptions options;
    std::string strError;
    ASSERT_TRUE(Parse("--help", options, strError));
    EXPECT_EQ(1, options.m_bHelp);
}

std::string TempPath(const char* pszName)
{
    return std::string("/tmp/moltrane-capture-test-") + std::to_string(getpid()) + "-" + pszName;
}

TEST(CaptureOptionsTest, ATracedStretchIsFramesFromItsTimes)
{
    struct Case
    {
        const char* pszLine;
        Int64 llFrom, llTo, llLast;
        std::vector<Int64> allFrames;
    };
    const Case aCases[] = {
        {"--trace t.gtr --trace-from 1 --trace-to 2", 30, 60, 60, {}},
        {"--trace t.gtr --trace-to 0.5", 1, 15, 15, {}}, // from the first frame
        {"--trace t.gtr --trace-from 0 --trace-to 0.1", 1, 3, 3, {}},
        {"--at 5 --trace t.gtr --trace-from 1 --trace-to 2", 30, 60, 150, {150}},
        {"--step 1/10 --trace-to 2 --trace-from 1.5 --trace t.gtr", 15, 20, 20, {}},
    };
    for (const Case& c : aCases)
    {
        CaptureOptions options;
        std::string strError;
        ASSERT_TRUE(Parse(c.pszLine, options, strError)) << c.pszLine << ": " << strError;
        EXPECT_EQ("t.gtr", options.m_strTracePath) << c.pszLine;
        EXPECT_EQ(c.llFrom, options.m_llTraceFrom) << c.pszLine;
        EXPECT_EQ(c.llTo, options.m_llTraceTo) << c.pszLine;
        EXPECT_EQ(c.llLast, LastFrame(options)) << c.pszLine;
        EXPECT_EQ(c.allFrames, options.m_allFrames) << c.pszLine;
    }
    CaptureOptions untraced;
    std::string strError;
    ASSERT_TRUE(Parse("--at 2", untraced, strError));
    EXPECT_TRUE(untraced.m_strTracePath.empty());
    EXPECT_EQ(60, LastFrame(untraced));
    EXPECT_EQ("frame-1.500s.png", FrameFileName(1.5));
    EXPECT_EQ("frame-0.033s.png", FrameFileName(1.0 / 30.0));
}

TEST(CaptureOptionsTest, RejectsABadTracedStretchWithAMessage)
{
    struct Case
    {
        const char* pszLine;
        const char* pszMessage;
    };
    const Case aCases[] = {
        {"--trace t.gtr", "--trace-to"},
        {"--trace-to 2 --at 1", "need --trace"},
        {"--trace-from 1 --at 1", "need --trace"},
        {"--trace t.gtr --trace-from 3 --trace-to 2", "stretch"},
        {"--trace t.gtr --trace-to -1", "0 s or more"},
        {"--trace t.gtr --trace-from -2 --trace-to 1", "0 s or more"},
        {"--trace t.gtr --trace-to x", "scene time"},
        {"--trace t.gtr --trace-to 0.01", "no frame"},
        {"--trace t.gtr --trace-to 1e9", "within one day"},
        {"--trace", "needs a value"},
    };
    for (const Case& c : aCases)
    {
        CaptureOptions options;
        std::string strError;
        EXPECT_FALSE(Parse(c.pszLine, options, strError)) << c.pszLine;
        EXPECT_NE(std::string::npos, strError.find(c.pszMessage)) << c.pszLine << ": " << strError;
    }
}

TEST(PngFileTest, WritesAndReadsBackEveryPixel)
{
    RgbImage image;
    image.Resize(3, 2);
    const Byte abyPixels[18] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 1, 2, 3, 128, 64, 32, 0, 0, 0};
    std::copy(abyPixels, abyPixels + 18, image.m_abyPixels.begin());
    const std::string strPath = TempPath("roundtrip.png");
    std::string strError;
    ASSERT_EQ(1, WritePng(strPath, image, strError)) << strError;

    RgbImage readBack;
    ASSERT_EQ(1, ReadPng(strPath, readBack, strError)) << strError;
    EXPECT_EQ(3, readBack.m_nWidth);
    EXPECT_EQ(2, readBack.m_nHeight);
    EXPECT_EQ(image.m_abyPixels, readBack.m_abyPixels);

    // The same pixels give the same bytes: no time stamp in the file.
    const std::string strSecond = TempPath("roundtrip2.png");
    ASSERT_EQ(1, WritePng(strSecond, image, strError));
    std::string strA, strB;
    for (const std::string* pPath : {&strPath, &strSecond})
    {
        FILE* pFile = fopen(pPath->c_str(), "rb");
        ASSERT_NE(nullptr, pFile);
        std::string& rOut = pPath == &strPath ? strA : strB;
        int ch;
        while ((ch = fgetc(pFile)) != EOF)
            rOut.push_back((char)ch);
        fclose(pFile);
    }
    EXPECT_EQ(strA, strB);
    remove(strPath.c_str());
    remove(strSecond.c_str());
}

TEST(PngFileTest, RejectsMissingAndBrokenFiles)
{
    RgbImage image;
    std::string strError;
    EXPECT_EQ(0, ReadPng(TempPath("missing.png"), image, strError));
    EXPECT_NE(std::string::npos, strError.find("missing.png"));

    const std::string strText = TempPath("text.png");
    FILE* pFile = fopen(strText.c_str(), "wb");
    ASSERT_NE(nullptr, pFile);
    fputs("not a picture at all", pFile);
    fclose(pFile);
    strError.clear();
    EXPECT_EQ(0, ReadPng(strText, image, strError));
    EXPECT_FALSE(strError.empty());

    // A real PNG cut short after its header.
    RgbImage small;
    small.Resize(16, 16);
    const std::string strCut = TempPath("cut.png");
    ASSERT_EQ(1, WritePng(strCut, small, strError));
    ASSERT_EQ(0, truncate(strCut.c_str(), 40));
    strError.clear();
    EXPECT_EQ(0, ReadPng(strCut, image, strError));
    EXPECT_FALSE(strError.empty());

    strError.clear();
    EXPECT_EQ(0, WritePng("/nonexistent-folder/x.png", small, strError));
    EXPECT_FALSE(strError.empty());
    remove(strText.c_str());
    remove(strCut.c_str());
}

TEST(ContactSheetTest, LaysOutHalfSizeFramesInRowsOfThree)
{
    // Five 4 x 2 frames; frame i is grey 10 * (i + 1), except frame 0's
    // top-left 2 x 2 block, which is 0, 1, 2, 4: its mean 1.75 rounds to 2.
    std::vector<RgbImage> aFrames(5);
    for (int i = 0; i < 5; i++)
    {
        aFrames[i].Resize(4, 2);
        std::fill(aFrames[i].m_abyPixels.begin(), aFrames[i].m_abyPixels.end(),
                  (Byte)(10 * (i + 1)));
    }
    const Byte abyBlock[4] = {0, 1, 2, 4};
    const int anXY[4][2] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
    for (int k = 0; k < 4; k++)
        for (int c = 0; c < 3; c++)
            aFrames[0].Pixel(anXY[k][0], anXY[k][1])[c] = abyBlock[k];

    RgbImage sheet;
    BuildContactSheet(aFrames, {}, sheet);
    // Thumbnails 2 x 1; cells 2 + 8 wide and 1 + 16 + 8 high, plus an 8-pixel margin.
    EXPECT_EQ(8 + 3 * 10, sheet.m_nWidth);
    EXPECT_EQ(8 + 2 * 25, sheet.m_nHeight);
    EXPECT_EQ(40, sheet.Pixel(0, 0)[0]) << "the ground";
    EXPECT_EQ(2, sheet.Pixel(8, 8)[0]) << "frame 0, first thumbnail pixel";
    EXPECT_EQ(10, sheet.Pixel(9, 8)[0]) << "frame 0, second thumbnail pixel";
    EXPECT_EQ(20, sheet.Pixel(18, 8)[1]) << "frame 1";
    EXPECT_EQ(30, sheet.Pixel(28, 8)[2]) << "frame 2";
    EXPECT_EQ(40, sheet.Pixel(8, 33)[0]) << "frame 3 starts the second row";
    EXPECT_EQ(50, sheet.Pixel(18, 33)[0]) << "frame 4";
    EXPECT_EQ(40, sheet.Pixel(28, 33)[0]) << "no sixth frame";
}

TEST(ContactSheetTest, WritesTheLabelUnderEachFrame)
{
    std::vector<RgbImage> aFrames(1);
    aFrames[0].Resize(64, 8);
    RgbImage sheet;
    BuildContactSheet(aFrames, {"1"}, sheet);
    // The glyph "1" (rows 010, 110, 010, 010, 111) at twice its size, 3 pixels
    // under the 4-pixel-high thumbnail: its top row is ink in columns 2..3.
    const int nTop = 8 + 4 + 3;
    EXPECT_EQ(40, sheet.Pixel(8 + 0, nTop)[0]);
    EXPECT_EQ(230, sheet.Pixel(8 + 2, nTop)[0]);
    EXPECT_EQ(230, sheet.Pixel(8 + 3, nTop + 1)[0]);
    EXPECT_EQ(40, sheet.Pixel(8 + 4, nTop)[0]);
    EXPECT_EQ(230, sheet.Pixel(8 + 0, nTop + 2)[0]) << "second glyph row: 110";
    EXPECT_EQ(230, sheet.Pixel(8 + 5, nTop + 8)[0]) << "last glyph row: 111";
}

FxU16 TestPixel(FxU32 x, FxU32 y)
{
    // Row 0: pure red, green, blue, a middle grey; row 1: black and white.
    const FxU16 auRow0[4] = {0xF800, 0x07E0, 0x001F, 0x8410};
    const FxU16 auRow1[4] = {0x0000, 0xFFFF, 0x0841, 0x0000};
    return y == 0 ? auRow0[x % 4] : auRow1[x % 4];
}

TEST(FrameReadBackTest, ReadsTheFrontBufferAndWidensFiveSixFive)
{
    RecordingGlide::Reset();
    RecordingGlide::Settings().pfnLfbPixel = TestPixel;
    FrameReadBack readBack(4, 2);
    ASSERT_EQ(1, readBack.Read());
    ASSERT_EQ(1, RecordingGlide::CountOf("grLfbReadRegion"));
    // Front buffer (0), the whole 4 x 2 region, 8 bytes a row.
    EXPECT_EQ("grLfbReadRegion(0,0,0,4,2,8,ptr)", RecordingGlide::Texts()[0]);

    RgbImage image;
    readBack.ToRgb(image);
    struct Case
    {
        int x, y, r, g, b;
    };
    // 5 bits widen by repeating their top 3 bits, 6 bits their top 2:
    // 16 -> 132, 32 -> 130, 1 -> 8, 2 -> 8.
    const Case aCases[] = {{0, 0, 255, 0, 0},     {1, 0, 0, 255, 0}, {2, 0, 0, 0, 255},
                           {3, 0, 132, 130, 132}, {0, 1, 0, 0, 0},   {1, 1, 255, 255, 255},
                           {2, 1, 8, 8, 8}};
    for (const Case& c : aCases)
    {
        const Byte* pby = image.Pixel(c.x, c.y);
        EXPECT_EQ(c.r, pby[0]) << "(" << c.x << ", " << c.y << ")";
        EXPECT_EQ(c.g, pby[1]) << "(" << c.x << ", " << c.y << ")";
        EXPECT_EQ(c.b, pby[2]) << "(" << c.x << ", " << c.y << ")";
    }

    RecordingGlide::Settings().bLfbReadResult = FXFALSE;
    EXPECT_EQ(0, readBack.Read());
}
} // namespace
