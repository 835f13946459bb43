// The device's render threads: whatever their number, every pixel of every buffer ends as it does
// when the calling thread draws alone. The scenes change what the threads' bands meet: the
// origin and the clip window between clears and triangles, triangles over the right edge of the
// screen (whose last group of eight pixels would reach into the next row), blending that reads
// the destination, depth and alpha buffers, read-backs in the middle of a frame, and many more
// commands than the queue holds at once.
#include "GlideContext.h"
#include "GlideTestSupport.h"
#include "RenderOptions.h"
#include <cstdint>
#include <vector>

using namespace GlideTest;

namespace
{
class Random
{
  public:
    float Next(float fLow, float fHigh)
    {
        m_nState = m_nState * 1103515245u + 12345u;
        return fLow + (fHigh - fLow) * float((m_nState >> 8) & 0xFFFF) / 65535.0f;
    }

  private:
    unsigned m_nState = 11;
};

GrVertex RandomVertex(Random& random, float fWidth, float fHeight)
{
    return Vertex(random.Next(-30.0f, fWidth + 30.0f), random.Next(-30.0f, fHeight + 30.0f),
                  random.Next(0.0f, 255.0f), random.Next(0.0f, 255.0f), random.Next(0.0f, 255.0f),
                  random.Next(0.0f, 255.0f), random.Next(0.0f, 64.0f), random.Next(0.0f, 64.0f),
                  random.Next(0.3f, 1.0f));
}

struct Buffers
{
    std::vector<std::uint16_t> front, back, aux;
    std::vector<std::uint16_t> midFrame; // a read-back between two draws
    UInt32 nPixelsOut = 0;
};

// One run of the scene with nThreads drawing; the board has an auxiliary buffer.
Buffers DrawScene(Int32 nThreads, bool bDepth)
{
    RenderOptions options = RenderOptions::FromEnvironment();
    options.nThreads = nThreads;
    RenderOptions::Set(options);
    Buffers out;
    {
        Board board("voodoo", GR_RESOLUTION_320x240, 1);
        EXPECT_TRUE(board.IsOpen());
        std::vector<std::uint16_t> texels(32 * 32);
        for (size_t i = 0; i < texels.size(); ++i)
            texels[i] = std::uint16_t(i * 2654435761u >> 16);
        LoadTexture(GR_TEXFMT_RGB_565, GR_LOD_32, GR_ASPECT_1x1, texels.data(), nullptr,
                    GR_TEXTUREFILTER_BILINEAR, GR_TEXTURECLAMP_WRAP);
        grTexCombineFunction(GR_TMU0, GR_TEXTURECOMBINE_DECAL);
        guColorCombineFunction(GR_COLORCOMBINE_TEXTURE_TIMES_ITRGB);
        grDitherMode(GR_DITHER_4x4);
        if (bDepth)
        {
            grDepthBufferMode(GR_DEPTHBUFFER_ZBUFFER);
            grDepthBufferFunction(GR_CMP_GREATER);
            grDepthMask(FXTRUE);
        }
        else
            grColorMask(FXTRUE, FXTRUE); // the auxiliary buffer holds alpha
        grSstPerfStats(nullptr);
        Random random;
        const float fWidth = float(board.Width()), fHeight = float(board.Height());
        for (int nFrame = 0; nFrame < 3; ++nFrame)
        {
            grBufferClear(0x00102030u * UInt32(nFrame + 1), 0x80, 0);
            for (int k = 0; k < 9000; ++k)
            {
                // State changes that move pixels between the threads' bands.
                if (k % 700 == 0)
                    grSstOrigin(k % 1400 == 0 ? GR_ORIGIN_LOWER_LEFT : GR_ORIGIN_UPPER_LEFT);
                if (k % 900 == 0)
                    grClipWindow(FxU32(k % 37), FxU32(k % 23), FxU32(board.Width() - k % 11),
                                 FxU32(board.Height() - k % 13));
                if (k % 1100 == 0)
                    grBufferClear(0x00403020u, 0x40, 0x2000);
                if (k % 500 == 0)
                    grAlphaBlendFunction(k % 1000 == 0 ? GR_BLEND_SRC_ALPHA : GR_BLEND_ONE,
                                         k % 1000 == 0 ? GR_BLEND_ONE_MINUS_SRC_ALPHA
                                                       : GR_BLEND_ONE_MINUS_SRC_COLOR,
                                         GR_BLEND_ONE, GR_BLEND_ONE_MINUS_DST_ALPHA);
                GrVertex a = RandomVertex(random, fWidth, fHeight);
                GrVertex b = RandomVertex(random, fWidth, fHeight);
                GrVertex c = RandomVertex(random, fWidth, fHeight);
                if (k % 4 != 0) // most of them small, many ending at the right edge
                {
                    a.x = k % 8 == 1 ? fWidth - random.Next(0.0f, 9.0f) : a.x;
                    b.x = a.x + random.Next(-12.0f, 12.0f);
                    b.y = a.y + random.Next(-12.0f, 12.0f);
                    c.x = a.x + random.Next(-12.0f, 12.0f);
                    c.y = a.y + random.Next(-12.0f, 12.0f);
                }
                grDrawTriangle(&a, &b, &c);
            }
            if (nFrame == 1)
                out.midFrame = board.Read();
            grBufferSwap(0);
        }
        out.front = board.Read(GR_BUFFER_FRONTBUFFER);
        out.back = board.Read(GR_BUFFER_BACKBUFFER);
        out.aux = board.Read(GR_BUFFER_AUXBUFFER);
        GrSstPerfStats_t stats;
        grSstPerfStats(&stats);
        out.nPixelsOut = stats.pixelsOut;
    }
    RenderOptions::Set(RenderOptions::FromEnvironment());
    return out;
}

int Differing(const std::vector<std::uint16_t>& a, const std::vector<std::uint16_t>& b)
{
    if (a.size() != b.size())
        return -1;
    int n = 0;
    for (size_t i = 0; i < a.size(); ++i)
        n += a[i] != b[i];
    return n;
}
} // namespace

TEST(GlideThreads, EveryThreadCountDrawsWhatOneThreadDraws)
{
    for (bool bDepth : {false, true})
    {
        const Buffers one = DrawScene(1, bDepth);
        for (Int32 nThreads : {2, 3, 4})
        {
            const Buffers many = DrawScene(nThreads, bDepth);
            EXPECT_EQ(Differing(one.front, many.front), 0)
                << nThreads << " threads, depth " << bDepth;
            EXPECT_EQ(Differing(one.back, many.back), 0)
                << nThreads << " threads, depth " << bDepth;
            EXPECT_EQ(Differing(one.aux, many.aux), 0) << nThreads << " threads, depth " << bDepth;
            EXPECT_EQ(Differing(one.midFrame, many.midFrame), 0)
                << nThreads << " threads, read-back";
            EXPECT_EQ(one.nPixelsOut, many.nPixelsOut) << nThreads << " threads: pixels counted";
        }
    }
}

TEST(GlideThreads, TheSceneIsNotEmpty)
{
    // Guards the comparison above against two equally blank pictures.
    const Buffers one = DrawScene(1, false);
    int nDistinct = 0;
    std::vector<bool> seen(65536, false);
    for (std::uint16_t p : one.front)
        if (!seen[p])
        {
            seen[p] = true;
            ++nDistinct;
        }
    EXPECT_GT(nDistinct, 1000);
    EXPECT_GT(one.nPixelsOut, 100000u);
}
