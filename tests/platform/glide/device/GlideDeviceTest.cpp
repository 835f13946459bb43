// Parts of the device half on their own: level sizes and addresses, the presentation rectangle,
// swap pacing on a simulated clock, the vector stages against their scalar form, log2, the
// texture cache and the frame buffer's bounds.
#include "FrameBuffer.h"
#include "PixelKernels.h"
#include "PixelStages.h"
#include "Presenter.h"
#include "SwapPacer.h"
#include "TextureLayout.h"
#include "TextureSampler.h"
#include "TextureUnit.h"
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

TEST(GlidePixelStages, VectorAndScalarPathsAgree)
{
    // Each stage over 29 lanes (24 vector, 5 scalar) against one-lane runs (always scalar).
    Lanes lanes;
    for (int nRound = 0; nRound < 100; ++nRound)
    {
        Channel a[29], b[29], c[29], d[29], out[29], one;
        std::uint16_t px[29], pxOne;
        Channel live[29];
        for (int i = 0; i < 29; ++i)
        {
            a[i] = lanes.Next();
            b[i] = lanes.Next();
            c[i] = lanes.Next();
            d[i] = Channel(lanes.Next() & 15);
            live[i] = Channel(lanes.Next() & 1);
            px[i] = std::uint16_t(lanes.Next() * 257);
        }
        PixelStages::Blend(a, b, c, d, 29, out);
        for (int i = 0; i < 29; ++i)
        {
            PixelStages::Blend(a + i, b + i, c + i, d + i, 1, &one);
            ASSERT_EQ(out[i], one) << "blend lane " << i;
        }
        std::uint16_t pxCopy[29];
        for (int i = 0; i < 29; ++i)
            pxCopy[i] = px[i];
        PixelStages::PackDithered(a, b, c, d, live, 29, px);
        for (int i = 0; i < 29; ++i)
        {
            pxOne = pxCopy[i];
            PixelStages::PackDithered(a + i, b + i, c + i, d + i, live + i, 1, &pxOne);
            ASSERT_EQ(px[i], pxOne) << "pack lane " << i;
        }
        PixelStages::PackTruncated(a, b, c, live, 29, pxCopy);
        Channel r[29], g[29], bl[29], rOne, gOne, bOne;
        PixelStages::Expand565(px, 29, r, g, bl);
        for (int i = 0; i < 29; ++i)
        {
            PixelStages::Expand565(px + i, 1, &rOne, &gOne, &bOne);
            ASSERT_EQ(r[i], rOne);
            ASSERT_EQ(g[i], gOne);
            ASSERT_EQ(bl[i], bOne);
        }
    }
}

TEST(GlidePixelStages, IteratorsClampAndStep)
{
    Channel out[20];
    // 12.12: start 250.5, +1.25 per pixel: 250, 251, 253, 254, 255 (clamped) ...
    PixelStages::Iterate(Int32(250.5 * 4096), Int32(1.25 * 4096), 20, out);
    const int anExpected[] = {250, 251, 253, 254, 255, 255};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(out[i], anExpected[i]) << i;
    PixelStages::Iterate(Int32(2.0 * 4096), Int32(-0.75 * 4096), 20, out);
    EXPECT_EQ(out[0], 2);
    EXPECT_EQ(out[1], 1);
    EXPECT_EQ(out[2], 0);
    EXPECT_EQ(out[3], 0); // -0.25 clamps
    EXPECT_EQ(out[19], 0);
    // A one-lane run agrees with the vector path at every lane.
    PixelStages::Iterate(Int32(-30.25 * 4096), Int32(17.6 * 4096), 20, out);
    for (int i = 0; i < 20; ++i)
    {
        Channel one;
        PixelStages::Iterate(Int32(-30.25 * 4096) + i * Int32(17.6 * 4096), 0, 1, &one);
        EXPECT_EQ(out[i], one) << i;
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
    EXPECT_EQ(TriangleSetup::CeilDiv(7, 2), 4);
    EXPECT_EQ(TriangleSetup::CeilDiv(8, 2), 4);
    EXPECT_EQ(TriangleSetup::CeilDiv(-7, 2), -3);
    EXPECT_EQ(TriangleSetup::CeilDiv(-8, 2), -4);
    EXPECT_EQ(TriangleSetup::CeilDiv(0, 5), 0);
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

namespace
{
// The AVX2 kernels (where the processor has them) give exactly the portable kernels' results.
class GlideKernels : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        m_pWide = PixelKernels::Avx2();
        if (!m_pWide)
            GTEST_SKIP() << "this processor or build has no AVX2 kernels";
    }
    const PixelKernels* m_pWide = nullptr;
    const PixelKernels& m_Portable = PixelKernels::Portable();
};

TEST_F(GlideKernels, ChannelKernelsAgreeWithThePortableOnes)
{
    Lanes lanes;
    const int n = 56; // three wide vectors and a half
    for (int nRound = 0; nRound < 50; ++nRound)
    {
        Channel a[64], b[64], c[64], d[64], dither[64], live[64], wide[64], portable[64];
        std::uint16_t px[64], pxWide[64], pxPortable[64];
        UInt32 texels[64];
        for (int i = 0; i < 64; ++i)
        {
            a[i] = lanes.Next();
            b[i] = lanes.Next();
            c[i] = lanes.Next();
            d[i] = lanes.Next();
            dither[i] = Channel(lanes.Next() & 15);
            live[i] = Channel(lanes.Next() & 1);
            px[i] = std::uint16_t(lanes.Next() * 259);
            texels[i] = UInt32(lanes.Next()) << 24 | UInt32(lanes.Next()) << 16 |
                        UInt32(lanes.Next()) << 8 | UInt32(lanes.Next());
        }
        const int nFx = (nRound & 1) ? 255 : 0, nOx = (nRound & 2) ? 255 : 0;
        m_pWide->pfnCombine(a, b, c, nFx, d, nOx, n, wide);
        m_Portable.pfnCombine(a, b, c, nFx, d, nOx, n, portable);
        ASSERT_TRUE(std::equal(wide, wide + n, portable)) << "combine";
        m_pWide->pfnBlend(a, b, c, d, n, wide);
        m_Portable.pfnBlend(a, b, c, d, n, portable);
        ASSERT_TRUE(std::equal(wide, wide + n, portable)) << "blend";
        m_pWide->pfnInvert(a, n, wide);
        m_Portable.pfnInvert(a, n, portable);
        ASSERT_TRUE(std::equal(wide, wide + n, portable)) << "invert";
        const Int32 nStart = Int32(lanes.Next()) * 4000 - 300000, nStep = Int32(d[0]) * 97 - 9000;
        m_pWide->pfnIterate(nStart, nStep, n, wide);
        m_Portable.pfnIterate(nStart, nStep, n, portable);
        ASSERT_TRUE(std::equal(wide, wide + n, portable)) << "iterate";
        std::copy(px, px + 64, pxWide);
        std::copy(px, px + 64, pxPortable);
        m_pWide->pfnPackDithered(a, b, c, dither, live, n, pxWide);
        m_Portable.pfnPackDithered(a, b, c, dither, live, n, pxPortable);
        ASSERT_TRUE(std::equal(pxWide, pxWide + 64, pxPortable)) << "pack";
        Channel r1[64], g1[64], b1[64], r2[64], g2[64], b2[64], a1[64], a2[64];
        m_pWide->pfnExpand565(px, n, r1, g1, b1);
        m_Portable.pfnExpand565(px, n, r2, g2, b2);
        ASSERT_TRUE(std::equal(r1, r1 + n, r2) && std::equal(g1, g1 + n, g2) &&
                    std::equal(b1, b1 + n, b2))
            << "expand";
        m_pWide->pfnUnpack(texels, n, r1, g1, b1, a1);
        m_Portable.pfnUnpack(texels, n, r2, g2, b2, a2);
        ASSERT_TRUE(std::equal(r1, r1 + n, r2) && std::equal(a1, a1 + n, a2)) << "unpack";
    }
}

TEST_F(GlideKernels, TextureKernelsAgreeWithThePortableOnes)
{
    Lanes lanes;
    const int n = 60; // not a whole number of vectors
    for (int nRound = 0; nRound < 50; ++nRound)
    {
        UInt32 t[4][64], out1[64], out2[64];
        Int32 fu[64], fv[64];
        for (int i = 0; i < 64; ++i)
        {
            for (int k = 0; k < 4; ++k)
                t[k][i] = UInt32(lanes.Next()) << 24 | UInt32(lanes.Next()) << 16 |
                          UInt32(lanes.Next()) << 8 | UInt32(lanes.Next());
            fu[i] = lanes.Next() & ((nRound & 1) ? 0xF0 : 0xFF);
            fv[i] = lanes.Next();
        }
        m_pWide->pfnBilerp(t[0], t[1], t[2], t[3], fu, fv, n, out1);
        m_Portable.pfnBilerp(t[0], t[1], t[2], t[3], fu, fv, n, out2);
        ASSERT_TRUE(std::equal(out1, out1 + n, out2)) << "bilerp";
        // Perspective division, with 1/w crossing zero inside the run.
        const float fW0 = 0.003f * float(lanes.Next() - 128), fDw = -0.0007f * float(nRound - 25);
        float w1[64], w2[64];
        Int32 s1[64], s2[64], t1[64], t2[64];
        m_pWide->pfnCoordinates(fW0, fDw, 1000.0f * fW0, 13.7f, -500.0f, 3.1f, n, w1, s1, t1);
        m_Portable.pfnCoordinates(fW0, fDw, 1000.0f * fW0, 13.7f, -500.0f, 3.1f, n, w2, s2, t2);
        ASSERT_TRUE(std::equal(s1, s1 + n, s2) && std::equal(t1, t1 + n, t2)) << "coordinates";
        ASSERT_TRUE(std::memcmp(w1, w2, sizeof(float) * size_t(n)) == 0);
    }
    // Texel fetches: a 16x8 level, wrapping and clamping, against the plain formulas.
    UInt32 level[16 * 8];
    for (int i = 0; i < 16 * 8; ++i)
        level[i] = UInt32(i) * 0x01020304u;
    Int32 s[64], tt[64];
    for (int i = 0; i < 64; ++i)
    {
        s[i] = (i * 977 - 20000) * 16;
        tt[i] = (i * 613 - 9000) * 16;
    }
    for (int nMode = 0; nMode < 4; ++nMode)
    {
        const bool bClampS = nMode & 1, bClampT = nMode & 2;
        UInt32 p[4][64];
        Int32 fu[64], fv[64];
        m_pWide->pfnFetchBilinear(level, 4, 15, 7, bClampS, bClampT, s, tt, 6, 0xF0, 60, p[0], p[1],
                                  p[2], p[3], fu, fv);
        for (int i = 0; i < 60; ++i)
        {
            const int u = (s[i] >> 6) - 128, v = (tt[i] >> 6) - 128;
            auto axis = [](int x, int nMask, bool bClamp)
            { return bClamp ? (x < 0 ? 0 : (x > nMask ? nMask : x)) : (x & nMask); };
            const int u0 = axis(u >> 8, 15, bClampS), u1 = axis((u >> 8) + 1, 15, bClampS);
            const int v0 = axis(v >> 8, 7, bClampT), v1 = axis((v >> 8) + 1, 7, bClampT);
            ASSERT_EQ(fu[i], u & 0xF0) << i;
            ASSERT_EQ(fv[i], v & 0xF0) << i;
            ASSERT_EQ(p[0][i], level[v0 * 16 + u0]) << "mode " << nMode << " lane " << i;
            ASSERT_EQ(p[1][i], level[v0 * 16 + u1]);
            ASSERT_EQ(p[2][i], level[v1 * 16 + u0]);
            ASSERT_EQ(p[3][i], level[v1 * 16 + u1]);
        }
    }
}
} // namespace
