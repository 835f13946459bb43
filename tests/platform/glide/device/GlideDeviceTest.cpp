// Parts of the device half on their own: level sizes and addresses, the presentation rectangle,
// swap pacing on a simulated clock, the vector stages against their scalar form, log2, the
// texture cache and the frame buffer's bounds.
#include "FrameBuffer.h"
#include "PixelStages.h"
#include "Presenter.h"
#include "SwapPacer.h"
#include "SwapRate.h"
#include "TextureLayout.h"
#include "TextureSampler.h"
#include "TextureUnit.h"
#include "EdgeWalker.h"
#include "TriangleSetup.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <cstdint>
#include <vector>

namespace
{
TEST(GlideLayout, LevelSizesFollowTheAspect)
{
    // (lod, aspect log, width, height): 256 >> lod on the long side, short side by the ratio,
    // never below 1.
    const int aCases[][4] = {{0, 0, 256, 256}, {0, 3, 256, 32}, {0, -3, 32, 256},
                             {5, 3, 8, 1},     {6, 3, 4, 1},    {8, 3, 1, 1},
                             {2, 1, 64, 32},   {7, -1, 1, 2},   {4, -2, 4, 16}};
    for (const auto& c : aCases)
    {
        EXPECT_EQ(TextureLayout::LevelWidth(c[0], c[1]), c[2]) << c[0] << "," << c[1];
        EXPECT_EQ(TextureLayout::LevelHeight(c[0], c[1]), c[3]) << c[0] << "," << c[1];
    }
    // TMU bytes pad to 2x2 texels: 8x1 -> 16, 1x1 -> 4 (16-bit: 32, 8).
    EXPECT_EQ(TextureLayout::LevelTmuBytes(5, 3, TexelFormat::Rgb565), 32u);
    EXPECT_EQ(TextureLayout::LevelTmuBytes(8, 0, TexelFormat::P8), 4u);
    EXPECT_EQ(TextureLayout::LevelHostBytes(8, 0, TexelFormat::P8), 1u);
    EXPECT_EQ(TextureLayout::ChainHostBytes(8, 0, 0, TexelFormat::Rgb565), 174762u);
}

TEST(GlideLayout, LevelAddressesSkipTheOtherParity)
{
    TextureSource source;
    source.eFormat = TexelFormat::Rgb565;
    source.nLargeLod = 0;
    source.nSmallLod = 8;
    source.nStartAddress = 1000;
    source.nParity = ParityBoth;
    // Level 2 follows levels 0 (131072 bytes) and 1 (32768).
    EXPECT_EQ(TextureLayout::LevelAddress(source, 2), 1000u + 131072u + 32768u);
    source.nParity = ParityEven;
    EXPECT_EQ(TextureLayout::LevelAddress(source, 2), 1000u + 131072u);
    source.nParity = ParityOdd;
    EXPECT_EQ(TextureLayout::LevelAddress(source, 3), 1000u + 32768u);
    // Multibase: levels 0, 1, 2 and 3..8 each from their own base.
    source.nParity = ParityBoth;
    source.bMultibase = true;
    source.anBaseAddress[1] = 5000;
    source.anBaseAddress[3] = 9000;
    EXPECT_EQ(TextureLayout::LevelAddress(source, 1), 5000u);
    EXPECT_EQ(TextureLayout::LevelAddress(source, 3), 9000u);
    EXPECT_EQ(TextureLayout::LevelAddress(source, 4), 9000u + 2048u); // after the 32x32 level
}

TEST(GlidePresentRect, KeepsTheFramesAspectCentred)
{
    const int aCases[][8] = {
        // client w, h, frame w, h -> x, y, w, h
        {800, 480, 640, 480, 80, 0, 640, 480},    {640, 480, 640, 480, 0, 0, 640, 480},
        {400, 400, 640, 480, 0, 50, 400, 300},    {1920, 1080, 640, 480, 240, 0, 1440, 1080},
        {1280, 1024, 640, 480, 0, 32, 1280, 960}, {0, 480, 640, 480, 0, 0, 0, 0}};
    for (const auto& c : aCases)
    {
        const PresentRect rect = Presenter::Fit(c[0], c[1], c[2], c[3]);
        EXPECT_EQ(rect.x, c[4]);
        EXPECT_EQ(rect.y, c[5]);
        EXPECT_EQ(rect.nWidth, c[6]);
        EXPECT_EQ(rect.nHeight, c[7]);
    }
}

// A clock that only moves when told to, or when slept on.
class FakeClock : public SwapClock
{
  public:
    Int64 Now() override { return m_nNow; }
    Int64 Frequency() override { return 1000; } // milliseconds
    void Sleep(Int32 nMilliseconds) override
    {
        m_anSleeps.push_back(nMilliseconds);
        m_nNow += nMilliseconds + m_nOvershoot;
    }

    Int64 m_nNow = 0;
    Int64 m_nOvershoot = 0;
    std::vector<Int32> m_anSleeps;
};

TEST(GlideSwapPacer, SleepsToAbsoluteDeadlines)
{
    FakeClock clock;
    SwapPacer pacer(clock);
    pacer.SetRefreshRate(50); // 20 ms retraces
    pacer.Wait(1);            // anchors at 0
    EXPECT_TRUE(clock.m_anSleeps.empty());
    clock.m_nNow = 5; // 5 ms of drawing
    pacer.Wait(1);
    EXPECT_EQ(clock.m_nNow, 20);
    // Sleep overshoots by 3 ms: the next deadline (40) is still counted from the anchor.
    clock.m_nOvershoot = 3;
    clock.m_nNow = 25;
    pacer.Wait(1);
    EXPECT_EQ(clock.m_anSleeps.back(), 15);
    EXPECT_EQ(clock.m_nNow, 43);
    clock.m_nOvershoot = 0;
    pacer.Wait(1); // deadline 60
    EXPECT_EQ(clock.m_nNow, 60);
    pacer.Wait(2); // deadline 100
    EXPECT_EQ(clock.m_nNow, 100);
}

TEST(GlideSwapPacer, LateFramesReanchorAndZeroNeverWaits)
{
    FakeClock clock;
    SwapPacer pacer(clock);
    pacer.SetRefreshRate(50);
    pacer.Wait(1);
    clock.m_nNow = 70; // deadline 20 long past
    pacer.Wait(1);
    EXPECT_TRUE(clock.m_anSleeps.empty());
    pacer.Wait(1);
    EXPECT_EQ(clock.m_nNow, 90);
    const size_t nSleeps = clock.m_anSleeps.size();
    pacer.Wait(0);
    EXPECT_EQ(clock.m_anSleeps.size(), nSleeps);
    pacer.Reset();
    clock.m_nNow = 95;
    pacer.Wait(3); // first after a reset: at once
    EXPECT_EQ(clock.m_nNow, 95);
}

// GLIDE_SW_STATS=2: a line every two seconds of swaps, with the frames counted since the last.
TEST(GlideSwapRate, TellsTheFramesOfEachStretch)
{
    FakeClock clock;
    SwapRate rate(clock);
    setenv("GLIDE_SW_STATS", "2", 1);
    rate.Start();
    unsetenv("GLIDE_SW_STATS");
    testing::internal::CaptureStderr();
    for (int i = 0; i < 50; ++i) // 50 frames of 40 ms: 2 s
    {
        clock.m_nNow += 40;
        rate.Count();
    }
    for (int i = 0; i < 10; ++i) // 10 more, too few seconds for a line
    {
        clock.m_nNow += 40;
        rate.Count();
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "glide: 50 frames in 2.00 s: 25.0 frames per second\n");
    // Unset, it says nothing.
    rate.Start();
    testing::internal::CaptureStderr();
    for (int i = 0; i < 100; ++i)
    {
        clock.m_nNow += 40;
        rate.Count();
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

// Random 8-bit lanes for the equivalence checks.
struct Lanes
{
    std::uint32_t nSeed = 7;
    Channel Next()
    {
        nSeed = nSeed * 1664525u + 1013904223u;
        return Channel((nSeed >> 11) & 0xFF);
    }
};

TEST(GlidePixelStages, IteratorsClampAndStep)
{
    Channel out[24];
    // 12.12: start 250.5, +1.25 per pixel: 250, 251, 253, 254, 255 (clamped) ...
    PixelStages::Iterate(Int32(250.5 * 4096), Int32(1.25 * 4096), 24, out);
    const int anExpected[] = {250, 251, 253, 254, 255, 255};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(out[i], anExpected[i]) << i;
    PixelStages::Iterate(Int32(2.0 * 4096), Int32(-0.75 * 4096), 24, out);
    EXPECT_EQ(out[0], 2);
    EXPECT_EQ(out[1], 1);
    EXPECT_EQ(out[2], 0);
    EXPECT_EQ(out[3], 0); // -0.25 clamps
    EXPECT_EQ(out[19], 0);
    // Every pixel is start + i step, whichever group of eight it falls in.
    PixelStages::Iterate(Int32(-30.25 * 4096), Int32(17.6 * 4096), 24, out);
    for (int i = 0; i < 24; ++i)
    {
        Channel anOne[8];
        PixelStages::Iterate(Int32(-30.25 * 4096) + i * Int32(17.6 * 4096), 0, 8, anOne);
        EXPECT_EQ(out[i], anOne[0]) << i;
    }
}

TEST(GlideLog2, IsExactAtPowersOfTwoAndMonotonic)
{
    EXPECT_EQ(TextureSampler::Log2Fixed(1.0f), 0);
    EXPECT_EQ(TextureSampler::Log2Fixed(8.0f), 3 * 256);
    EXPECT_EQ(TextureSampler::Log2Fixed(0.125f), -3 * 256);
    // 1.5: exponent 0, mantissa 128: round(256 log2 1.5) = round(149.75) = 150.
    EXPECT_EQ(TextureSampler::Log2Fixed(1.5f), 150);
    Int32 nPrevious = TextureSampler::Log2Fixed(0.001f);
    for (float f = 0.001f; f < 100.0f; f *= 1.01f)
    {
        const Int32 n = TextureSampler::Log2Fixed(f);
        ASSERT_GE(n, nPrevious) << f;
        ASSERT_LE(std::fabs(n / 256.0 - std::log2(double(f))), 0.01) << f;
        nPrevious = n;
    }
}

TEST(GlideEdges, CeilingDivisionRoundsUpForBothSigns)
{
    EXPECT_EQ(EdgeWalker::CeilDiv(7, 2), 4);
    EXPECT_EQ(EdgeWalker::CeilDiv(8, 2), 4);
    EXPECT_EQ(EdgeWalker::CeilDiv(-7, 2), -3);
    EXPECT_EQ(EdgeWalker::CeilDiv(-8, 2), -4);
    EXPECT_EQ(EdgeWalker::CeilDiv(0, 5), 0);
    // Snapping rounds to the nearest sixteenth, ties to even, and wraps far positions.
    EXPECT_EQ(TriangleSetup::Snap(3.49f), 56);
    EXPECT_EQ(TriangleSetup::Snap(3.53125f), 56); // 56.5 -> 56
    EXPECT_EQ(TriangleSetup::Snap(3.59375f), 58); // 57.5 -> 58
    EXPECT_EQ(TriangleSetup::Snap(-0.03125f), 0); // -0.5 -> 0
    // 1e9 * 16 = 2^13 * 1953125; 1953125 = 5 (mod 8), so the low 16 bits are 5 * 2^13 = 40960,
    // which as a signed 16-bit value is -24576 sixteenths.
    EXPECT_EQ(TriangleSetup::Snap(1e9f), -24576);
}

TEST(GlideTextureUnit, DownloadsAndTablesRefreshTheDecodedChain)
{
    TextureUnit unit;
    ASSERT_TRUE(unit.Create(4096));
    TextureSource source;
    source.bValid = true;
    source.eFormat = TexelFormat::P8;
    source.nLargeLod = 7; // 2x2
    source.nSmallLod = 7;
    source.nStartAddress = 64;
    const Byte abTexels[4] = {1, 2, 3, 4};
    ASSERT_TRUE(unit.WriteLevel(64, 7, 0, TexelFormat::P8, abTexels, 0, 1));
    UInt32 anPalette[256] = {};
    anPalette[3] = 0x00112233;
    unit.SetPaletteEntries(0, 255, anPalette);
    const DecodedTexture* pTexture = unit.Decode(source, 0);
    ASSERT_NE(pTexture, nullptr);
    EXPECT_EQ(pTexture->aLevels[7].pTexels[2], 0xFF112233u);
    // A new palette and a new download are both seen by the next lookup.
    anPalette[3] = 0x00445566;
    unit.SetPaletteEntries(3, 3, &anPalette[3]);
    EXPECT_EQ(unit.Decode(source, 0)->aLevels[7].pTexels[2], 0xFF445566u);
    const Byte abNew[2] = {3, 3};
    ASSERT_TRUE(unit.WriteLevel(64, 7, 0, TexelFormat::P8, abNew, 0, 0));
    EXPECT_EQ(unit.Decode(source, 0)->aLevels[7].pTexels[0], 0xFF445566u);
    // Writes outside the memory are refused.
    EXPECT_FALSE(unit.WriteLevel(4094, 7, 0, TexelFormat::P8, abTexels, 0, 1));
    EXPECT_FALSE(unit.WriteLevel(64, 7, 0, TexelFormat::P8, abTexels, 1, 2));
}

TEST(GlideFrameBuffer, RefusesSizesItCannotHold)
{
    FrameBuffer frameBuffer;
    EXPECT_FALSE(frameBuffer.Create(0, 480, 2, false));
    EXPECT_FALSE(frameBuffer.Create(4096, 480, 2, false));
    EXPECT_FALSE(frameBuffer.Create(640, 480, 4, false));
    ASSERT_TRUE(frameBuffer.Create(16, 8, 3, true));
    std::uint16_t* pBack = frameBuffer.GetBuffer(BufferId::Back);
    pBack[0] = 0x1111;
    frameBuffer.Swap(); // triple buffering: back -> front, third -> back, front -> third
    EXPECT_EQ(frameBuffer.GetBuffer(BufferId::Front)[0], 0x1111);
    frameBuffer.Swap();
    EXPECT_NE(frameBuffer.GetBuffer(BufferId::Front)[0], 0x1111);
    frameBuffer.Swap();
    EXPECT_NE(frameBuffer.GetBuffer(BufferId::Front)[0], 0x1111);
    frameBuffer.Swap(); // three buffers: every third swap shows it again
    EXPECT_EQ(frameBuffer.GetBuffer(BufferId::Front)[0], 0x1111);
    std::uint16_t anOut[4];
    EXPECT_FALSE(frameBuffer.ReadRegion(BufferId::Front, 15, 0, 2, 1, 4, anOut));
    EXPECT_TRUE(frameBuffer.ReadRegion(BufferId::Aux, 0, 7, 2, 1, 4, anOut));
}
} // namespace
