// The fast path draws exactly what the staged reference draws, with every kernel this build and
// processor offer, for every colour combine mode, a range of blend factors, both clamp modes,
// dithering on and off, and spans of every length.
#include "FastKernels.h"
#include "GlideContext.h"
#include "GlideTestSupport.h"
#include "RenderOptions.h"
#include "SpanRenderer.h"
#include <vector>

using namespace GlideTest;

namespace
{
struct Blend
{
    GrAlphaBlendFnc_t eSrc;
    GrAlphaBlendFnc_t eDst;
};

// A small linear congruential generator: the same triangles for both paths.
class Random
{
  public:
    float Next(float fLow, float fHigh)
    {
        m_nState = m_nState * 1103515245u + 12345u;
        return fLow + (fHigh - fLow) * float((m_nState >> 8) & 0xFFFF) / 65535.0f;
    }

  private:
    unsigned m_nState = 7;
};

std::vector<std::uint16_t> PatternTexels()
{
    std::vector<std::uint16_t> texels;
    for (int v = 0; v < 32; ++v)
        for (int u = 0; u < 32; ++u)
            texels.push_back(std::uint16_t(((u * 7 + v) & 15) << 12 | (u & 15) << 8 |
                                           (v & 15) << 4 | ((u ^ v) & 15)));
    return texels;
}

// Triangles of all sizes and slopes, with perspective, over a Gouraud background.
void DrawTriangles()
{
    Random random;
    for (int k = 0; k < 120; ++k)
    {
        GrVertex a[3];
        for (GrVertex& v : a)
            v = Vertex(random.Next(-20.0f, 340.0f), random.Next(-20.0f, 260.0f),
                       random.Next(0.0f, 255.0f), random.Next(0.0f, 255.0f),
                       random.Next(0.0f, 255.0f), random.Next(0.0f, 255.0f),
                       random.Next(-300.0f, 600.0f), random.Next(-300.0f, 600.0f),
                       random.Next(0.2f, 1.0f));
        if (k % 3 == 0) // a small one, a few pixels across
            for (int i = 1; i < 3; ++i)
            {
                a[i].x = a[0].x + random.Next(-9.0f, 9.0f);
                a[i].y = a[0].y + random.Next(-9.0f, 9.0f);
            }
        grDrawTriangle(&a[0], &a[1], &a[2]);
    }
}

std::vector<std::uint16_t> Draw(GrCombineFunction_t eCombine, const Blend& blend,
                                GrTextureClampMode_t eClamp, GrDitherMode_t eDither, bool bFast,
                                KernelSet eKernels = KernelSet::Best,
                                UInt32* pnFastChunks = nullptr)
{
    RenderOptions options = RenderOptions::FromEnvironment();
    options.ePath = bFast ? PixelPath::Fast : PixelPath::Reference;
    options.eKernels = eKernels;
    RenderOptions::Set(options);
    Board board;
    EXPECT_TRUE(board.IsOpen());
    const std::vector<std::uint16_t> texels = PatternTexels();
    LoadTexture(GR_TEXFMT_ARGB_4444, GR_LOD_32, GR_ASPECT_1x1, texels.data(), nullptr,
                GR_TEXTUREFILTER_BILINEAR, eClamp);
    grTexClampMode(GR_TMU0, eClamp, GR_TEXTURECLAMP_WRAP);
    grTexCombineFunction(GR_TMU0, GR_TEXTURECOMBINE_DECAL);
    grCullMode(GR_CULL_DISABLE);
    grDitherMode(eDither);
    // A smooth background for the blends to read.
    guColorCombineFunction(GR_COLORCOMBINE_ITRGB);
    GrVertex aCorner[4] = {Vertex(0, 0, 250, 10, 90), Vertex(320, 0, 20, 200, 30),
                           Vertex(320, 240, 120, 60, 240), Vertex(0, 240, 30, 250, 160)};
    grDrawTriangle(&aCorner[0], &aCorner[1], &aCorner[2]);
    grDrawTriangle(&aCorner[0], &aCorner[2], &aCorner[3]);
    grConstantColorValue(0x60C0A030);
    guAlphaSource(GR_ALPHASOURCE_TEXTURE_ALPHA_TIMES_ITERATED_ALPHA);
    guColorCombineFunction(eCombine);
    grAlphaBlendFunction(blend.eSrc, blend.eDst, GR_BLEND_ONE, GR_BLEND_ZERO);
    DrawTriangles();
    std::vector<std::uint16_t> pixels = board.Read();
    if (pnFastChunks)
        *pnFastChunks += GlideContext::Get().GetDevice().GetCounters().nFastChunks;
    RenderOptions::Set(RenderOptions::FromEnvironment());
    return pixels;
}
} // namespace

TEST(GlideOnePass, DrawsExactlyWhatTheStagesDraw)
{
    const Blend aBlends[] = {{GR_BLEND_ONE, GR_BLEND_ZERO},
                             {GR_BLEND_ONE, GR_BLEND_ONE_MINUS_SRC_COLOR},
                             {GR_BLEND_SRC_ALPHA, GR_BLEND_ONE_MINUS_SRC_ALPHA},
                             {GR_BLEND_DST_COLOR, GR_BLEND_SRC_COLOR},
                             {GR_BLEND_ONE_MINUS_DST_COLOR, GR_BLEND_ONE}};
    FastKernels::Entry aKernels[3];
    const Int32 nKernels = FastKernels::Available(aKernels);
    for (Int32 k = 0; k < nKernels; ++k)
    {
        UInt32 nFastChunks = 0;
        for (int nCombine = GR_COLORCOMBINE_ZERO; nCombine <= GR_COLORCOMBINE_ONE; ++nCombine)
        {
            const Blend& blend = aBlends[nCombine % 5];
            const GrTextureClampMode_t eClamp =
                nCombine & 1 ? GR_TEXTURECLAMP_CLAMP : GR_TEXTURECLAMP_WRAP;
            const GrDitherMode_t eDither = nCombine & 2 ? GR_DITHER_2x2 : GR_DITHER_4x4;
            for (GrDitherMode_t eMode : {eDither, GR_DITHER_DISABLE})
            {
                const std::vector<std::uint16_t> fast =
                    Draw(GrCombineFunction_t(nCombine), blend, eClamp, eMode, true,
                         aKernels[k].eSet, &nFastChunks);
                const std::vector<std::uint16_t> staged =
                    Draw(GrCombineFunction_t(nCombine), blend, eClamp, eMode, false);
                ASSERT_EQ(fast.size(), staged.size());
                int nDiffering = 0;
                for (size_t i = 0; i < fast.size(); ++i)
                    nDiffering += fast[i] != staged[i];
                EXPECT_EQ(nDiffering, 0)
                    << aKernels[k].pchName << ": combine mode " << nCombine << ", dither " << eMode;
            }
        }
        // The comparison means something only if the fast path drew most of the chunks.
        EXPECT_GT(nFastChunks, 10000u) << aKernels[k].pchName;
    }
}

TEST(GlideOnePass, TheScenePictureIsNotUniform)
{
    // Guards the comparison above against two equally empty pictures.
    const std::vector<std::uint16_t> pixels =
        Draw(GR_COLORCOMBINE_TEXTURE_TIMES_ITRGB, {GR_BLEND_ONE, GR_BLEND_ZERO},
             GR_TEXTURECLAMP_WRAP, GR_DITHER_4x4, true);
    int nDistinct = 0;
    std::vector<bool> seen(65536, false);
    for (std::uint16_t p : pixels)
        if (!seen[p])
        {
            seen[p] = true;
            ++nDistinct;
        }
    EXPECT_GT(nDistinct, 500);
}
