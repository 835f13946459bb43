// A span renderer draws the same pixels whatever the memory it was made in held: the render
// threads' renderers live on the heap, the calling thread's in zeroed static memory. Here one
// renderer is made over bytes of 0xA5 and one over zeros, and both draw the same blended
// triangles through the staged pipeline, for every pair of blend factors.
#include "BoundState.h"
#include "FrameBuffer.h"
#include "PixelCounters.h"
#include "RenderOptions.h"
#include "SpanRenderer.h"
#include "TriangleSetup.h"
#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>
#include <new>
#include <vector>

namespace
{
constexpr Int32 kWidth = 64, kHeight = 32;

DeviceVertex Corner(float x, float y, float r, float a)
{
    DeviceVertex v;
    v.x = x;
    v.y = y;
    v.r = r;
    v.g = 255.0f - r;
    v.b = 90.0f;
    v.a = a;
    return v;
}

// Draws two triangles over a striped frame with a renderer made over memory full of nFill.
std::vector<std::uint16_t> DrawOver(Byte nFill, const BlendState& blend)
{
    alignas(SpanRenderer) static unsigned char s_abMemory[sizeof(SpanRenderer)];
    std::memset(s_abMemory, nFill, sizeof s_abMemory);
    SpanRenderer* pRenderer = new (s_abMemory) SpanRenderer;

    FrameBuffer frameBuffer;
    EXPECT_TRUE(frameBuffer.Create(kWidth, kHeight, 2, true));
    std::uint16_t* pBack = frameBuffer.GetBuffer(BufferId::Back);
    for (Int32 i = 0; i < kWidth * kHeight; ++i)
        pBack[i] = std::uint16_t(i * 977u);
    BoundState draw;
    draw.state.blend = blend;
    draw.state.nClipMaxX = kWidth;
    draw.state.nClipMaxY = kHeight;
    draw.nSerial = 1;
    PixelCounters counters;
    const DeviceVertex a = Corner(3.0f, 2.0f, 250.0f, 30.0f),
                       b = Corner(60.0f, 5.0f, 10.0f, 200.0f),
                       c = Corner(20.0f, 30.0f, 128.0f, 255.0f),
                       d = Corner(63.0f, 31.0f, 0.0f, 90.0f);
    const DeviceVertex* aapTriangles[2][3] = {{&a, &b, &c}, {&b, &d, &c}};
    for (const auto& apTriangle : aapTriangles)
    {
        TriangleParams tri;
        if (!TriangleSetup::Setup(*apTriangle[0], *apTriangle[1], *apTriangle[2], draw.state, 0,
                                  tri))
            continue;
        pRenderer->Begin(draw, tri, frameBuffer, counters);
        for (Int32 nRow = tri.nFirstRow; nRow < tri.nEndRow && nRow < kHeight; ++nRow)
            if (nRow >= 0)
                pRenderer->Render(nRow, 0, kWidth);
    }
    std::vector<std::uint16_t> pixels(pBack, pBack + kWidth * kHeight);
    pRenderer->~SpanRenderer();
    return pixels;
}
} // namespace

TEST(SpanRendererMemory, WhatTheMemoryHeldBeforeChangesNoPixel)
{
    RenderOptions options = RenderOptions::FromEnvironment();
    options.ePath = PixelPath::Reference;
    RenderOptions::Set(options);
    const BlendFactor aeFactors[] = {BlendFactor::Zero, BlendFactor::One, BlendFactor::SrcAlpha,
                                     BlendFactor::OneMinusSrcAlpha, BlendFactor::DstColor};
    for (BlendFactor eSrc : aeFactors)
        for (BlendFactor eDst : aeFactors)
        {
            BlendState blend;
            blend.eRgbSrc = eSrc;
            blend.eRgbDst = eDst;
            const std::vector<std::uint16_t> clean = DrawOver(0x00, blend);
            const std::vector<std::uint16_t> dirty = DrawOver(0xA5, blend);
            int nDiffering = 0;
            for (size_t i = 0; i < clean.size(); ++i)
                nDiffering += clean[i] != dirty[i];
            EXPECT_EQ(nDiffering, 0)
                << "source factor " << int(eSrc) << ", destination factor " << int(eDst);
        }
    RenderOptions::Set(RenderOptions::FromEnvironment());
}
