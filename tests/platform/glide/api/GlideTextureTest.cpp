// Texture sampling: wrap and clamp, bilinear weights, perspective-correct coordinates against
// the analytic mapping, mip-map level selection, and the gu texture source.
#include "GlideTestSupport.h"
#include <cmath>
#include <vector>

using namespace GlideTest;

namespace
{
// A square RGB565 level whose texel (u, v) is 565 (u, v, 0): drawn by decal with dithering
// off it reads back as red5 = u, green6 = v.
std::vector<std::uint16_t> CoordinateTexels(int nSize)
{
    std::vector<std::uint16_t> texels;
    for (int v = 0; v < nSize; ++v)
        for (int u = 0; u < nSize; ++u)
            texels.push_back(Rgb565(u, v, 0));
    return texels;
}

void DrawWithTexture()
{
    grTexCombineFunction(GR_TMU0, GR_TEXTURECOMBINE_DECAL);
    guColorCombineFunction(GR_COLORCOMBINE_DECAL_TEXTURE);
}

// Floor division for the expected texel index.
int FloorDiv(int a, int b)
{
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

TEST(GlideTexture, WrapRepeatsAndClampHoldsTheEdge)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    // 8x8 texture (GR_LOD_8): s runs 0..256 across it, a texel is 32 units. Pixel x of a
    // 64-pixel strip with s from -128 to 384 samples s = -128 + 8x + 4.
    const std::vector<std::uint16_t> texels = CoordinateTexels(8);
    for (GrTextureClampMode_t eMode : {GR_TEXTURECLAMP_WRAP, GR_TEXTURECLAMP_CLAMP})
    {
        LoadTexture(GR_TEXFMT_RGB_565, GR_LOD_8, GR_ASPECT_1x1, texels.data(), nullptr,
                    GR_TEXTUREFILTER_POINT_SAMPLED, eMode);
        DrawWithTexture();
        DrawRect(0, 0, 64, 2, -128, 40, 384, 40);
        for (int x = 0; x < 64; ++x)
        {
            const int u = FloorDiv(8 * x - 124, 32);
            const int nExpected =
                eMode == GR_TEXTURECLAMP_WRAP ? (u & 7) : (u < 0 ? 0 : (u > 7 ? 7 : u));
            EXPECT_EQ(Red5(board.Pixel(x, 0)), nExpected) << "mode " << eMode << " x " << x;
            EXPECT_EQ(Green6(board.Pixel(x, 0)), 1) << "t = 40 is in texel row 1";
        }
    }
}

TEST(GlideTexture, ClampModesApplyPerAxis)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    const std::vector<std::uint16_t> texels = CoordinateTexels(8);
    LoadTexture(GR_TEXFMT_RGB_565, GR_LOD_8, GR_ASPECT_1x1, texels.data());
    DrawWithTexture();
    grTexClampMode(GR_TMU0, GR_TEXTURECLAMP_WRAP, GR_TEXTURECLAMP_CLAMP);
    // s = 300 wraps to 44 (texel 1); t = 300 clamps to texel 7.
    DrawRect(0, 0, 4, 4, 300, 300, 300, 300);
    EXPECT_EQ(board.Pixel(1, 1), Rgb565(1, 7, 0));
    grTexClampMode(GR_TMU0, GR_TEXTURECLAMP_CLAMP, GR_TEXTURECLAMP_WRAP);
    DrawRect(0, 0, 4, 4, 300, 300, 300, 300);
    EXPECT_EQ(board.Pixel(1, 1), Rgb565(7, 1, 0));
}

// 2x2 texture (GR_LOD_2, a texel is 128 units): black, red / green, white.
void LoadCorners(GrTextureClampMode_t eClamp = GR_TEXTURECLAMP_CLAMP)
{
    static const std::uint16_t s_anTexels[4] = {0x0000, 0xF800, 0x07E0, 0xFFFF};
    LoadTexture(GR_TEXFMT_RGB_565, GR_LOD_2, GR_ASPECT_1x1, s_anTexels, nullptr,
                GR_TEXTUREFILTER_BILINEAR, eClamp);
    DrawWithTexture();
}

struct BilinearCase
{
    const char* pchBoard;
    float s, t;
    int r, g, b;
};

class GlideBilinear : public ::testing::TestWithParam<BilinearCase>
{
};

TEST_P(GlideBilinear, WeighsTheFourTexelsAcrossThenDown)
{
    const BilinearCase& c = GetParam();
    Board board(c.pchBoard, GR_RESOLUTION_512x384);
    ASSERT_TRUE(board.IsOpen());
    LoadCorners();
    DrawRect(0, 0, 4, 4, c.s, c.t, c.s, c.t);
    EXPECT_EQ(board.Pixel(1, 1), Truncated(c.r, c.g, c.b)) << c.pchBoard << " s " << c.s;
}

// The sample moves back half a texel: u = 2s - 128 in 8.8, v = 2t - 128.
// s = 160, t = 176: fu = 192, fv = 224 (exact in 4 bits too). Red: top = 255 * 192 >> 8 = 191,
// bottom the same, result 191; green: top 0, bottom 255, (255 * 224) >> 8 = 223; blue: top 0,
// bottom 191, (191 * 224) >> 8 = 167.
// s = 100, t = 40: fu = 72 (Voodoo Graphics keeps 4 bits: 64), v below the first row clamps:
// red = 255 * 64 >> 8 = 63 (Voodoo2: 255 * 72 >> 8 = 71), green and blue 0.
INSTANTIATE_TEST_SUITE_P(Weights, GlideBilinear,
                         ::testing::Values(BilinearCase{"voodoo", 160, 176, 191, 223, 167},
                                           BilinearCase{"voodoo2", 160, 176, 191, 223, 167},
                                           BilinearCase{"voodoo", 100, 40, 63, 0, 0},
                                           BilinearCase{"voodoo2", 100, 40, 71, 0, 0},
                                           BilinearCase{"voodoo", 64, 64, 0, 0, 0},
                                           BilinearCase{"voodoo", 192, 192, 255, 255, 255},
                                           BilinearCase{"voodoo", 128, 64, 127, 0, 0}));

TEST(GlideBilinear, WrapBlendsAcrossTheEdge)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    LoadCorners(GR_TEXTURECLAMP_WRAP);
    // s = 0: u = -128 -> texel -1 (wraps to 1, red) and texel 0 at fu = 128; t = 64: row 0 only.
    // red = (255 * 128 + 0 * 128) >> 8 = 127.
    DrawRect(0, 0, 4, 4, 0, 64, 0, 64);
    EXPECT_EQ(board.Pixel(1, 1), Truncated(127, 0, 0));
}

TEST(GlideTexture, PerspectiveCoordinatesFollowTheAnalyticMapping)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    // 32x32 texture (texel = 8 units), wrapping, point sampled, one level. Over the screen
    // 1/w = 0.5 + y / 256, s/w = x, t/w = y (all affine in x and y, as a projected plane's are),
    // so at a pixel centre s = (x + 0.5) / (0.5 + (y + 0.5) / 256).
    const std::vector<std::uint16_t> texels = CoordinateTexels(32);
    LoadTexture(GR_TEXFMT_RGB_565, GR_LOD_32, GR_ASPECT_1x1, texels.data(), nullptr,
                GR_TEXTUREFILTER_POINT_SAMPLED, GR_TEXTURECLAMP_WRAP);
    DrawWithTexture();
    auto vertex = [](float x, float y)
    {
        GrVertex v = Vertex(x, y);
        v.oow = 0.5f + y / 256.0f;
        v.tmuvtx[0].sow = x;
        v.tmuvtx[0].tow = y;
        v.tmuvtx[0].oow = v.oow;
        return v;
    };
    const GrVertex a = vertex(0, 0), b = vertex(128, 0), c = vertex(128, 128), d = vertex(0, 128);
    grDrawTriangle(&a, &b, &c);
    grDrawTriangle(&a, &c, &d);
    const std::vector<std::uint16_t> pixels = board.Read();
    int nChecked = 0, nWrong = 0;
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x)
        {
            const double dOow = 0.5 + (y + 0.5) / 256.0;
            const double dU = (x + 0.5) / dOow / 8.0;
            const double dV = (y + 0.5) / dOow / 8.0;
            // Skip centres within 1/1000 texel of a texel boundary.
            if (std::fabs(dU - std::round(dU)) < 1e-3 || std::fabs(dV - std::round(dV)) < 1e-3)
                continue;
            const std::uint16_t nPixel = pixels[size_t(y * board.Width() + x)];
            const int u = int(std::floor(dU)) & 31, v = int(std::floor(dV)) & 31;
            ++nChecked;
            if (Red5(nPixel) != u || Green6(nPixel) != v)
                if (++nWrong < 5)
                    ADD_FAILURE() << "pixel (" << x << ", " << y << ") shows texel ("
                                  << Red5(nPixel) << ", " << Green6(nPixel) << "), expected (" << u
                                  << ", " << v << ")";
        }
    EXPECT_GT(nChecked, 128 * 128 * 9 / 10);
    EXPECT_EQ(nWrong, 0);
}

// A 64x64 mip chain whose level L (GR_LOD_64 = 2 .. GR_LOD_1 = 8) is the solid 565 (L, 0, 0).
std::vector<std::uint16_t> LevelColouredChain()
{
    std::vector<std::uint16_t> texels;
    for (int nLod = GR_LOD_64, nSize = 64; nLod <= GR_LOD_1; ++nLod, nSize /= 2)
        texels.insert(texels.end(), size_t(nSize * nSize), Rgb565(nLod, 0, 0));
    return texels;
}

GrMipMapId_t LoadChain(GrMipMapMode_t eMode, float fBias)
{
    const std::vector<std::uint16_t> texels = LevelColouredChain();
    const GrMipMapId_t id = guTexAllocateMemory(
        GR_TMU0, GR_MIPMAPLEVELMASK_BOTH, 64, 64, GR_TEXFMT_RGB_565, eMode, GR_LOD_1, GR_LOD_64,
        GR_ASPECT_1x1, GR_TEXTURECLAMP_WRAP, GR_TEXTURECLAMP_WRAP, GR_TEXTUREFILTER_POINT_SAMPLED,
        GR_TEXTUREFILTER_POINT_SAMPLED, fBias, FXFALSE);
    EXPECT_NE(id, GR_NULL_MIPMAP_HANDLE);
    guTexDownloadMipMap(id, texels.data(), nullptr);
    guTexSource(id);
    DrawWithTexture();
    return id;
}

struct MipCase
{
    GrMipMapMode_t eMode;
    float fBias;
    float fUnitsPerPixel; // s and t step per pixel (256-texel units)
    int nLevel;
};

class GlideMipMap : public ::testing::TestWithParam<MipCase>
{
};

TEST_P(GlideMipMap, PicksTheLevelFromTheTexelStep)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    const MipCase& c = GetParam();
    LoadChain(c.eMode, c.fBias);
    // lod = log2(units per pixel) + bias; the level is its integer part clamped to 2..8.
    const float fSpan = 32.0f * c.fUnitsPerPixel;
    DrawRect(0, 0, 32, 32, 0, 0, fSpan, fSpan);
    EXPECT_EQ(Red5(board.Pixel(10, 10)), c.nLevel)
        << "step " << c.fUnitsPerPixel << " bias " << c.fBias;
}

INSTANTIATE_TEST_SUITE_P(
    Levels, GlideMipMap,
    ::testing::Values(
        MipCase{GR_MIPMAP_NEAREST, 0.0f, 1.0f, 2}, // lod 0: largest level
        MipCase{GR_MIPMAP_NEAREST, 0.0f, 4.0f, 2}, // lod 2
        MipCase{GR_MIPMAP_NEAREST, 0.0f, 7.9f, 2}, // lod 2.98
        MipCase{GR_MIPMAP_NEAREST, 0.0f, 8.0f, 3}, // lod 3
        MipCase{GR_MIPMAP_NEAREST, 0.0f, 16.0f, 4}, MipCase{GR_MIPMAP_NEAREST, 0.0f, 64.0f, 6},
        MipCase{GR_MIPMAP_NEAREST, 0.0f, 4096.0f, 8}, // beyond: smallest level
        MipCase{GR_MIPMAP_NEAREST, 1.0f, 8.0f, 4}, MipCase{GR_MIPMAP_NEAREST, -0.5f, 8.0f, 2},
        MipCase{GR_MIPMAP_NEAREST, 0.25f, 7.9f, 3}, MipCase{GR_MIPMAP_DISABLE, 0.0f, 64.0f, 2}));

TEST(GlideMipMap, PerspectiveChangesTheLevelAcrossATriangle)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    LoadChain(GR_MIPMAP_NEAREST, 0.0f);
    // 1/w falls from 1 at the top to 1/8 at the bottom with s/w, t/w stepping 8 per pixel:
    // lod = 3 - log2(1/w), so rows move from level 3 towards level 6.
    auto vertex = [](float x, float y, float oow)
    {
        GrVertex v = Vertex(x, y);
        v.oow = oow;
        v.tmuvtx[0].sow = 8.0f * x;
        v.tmuvtx[0].tow = 8.0f * y;
        v.tmuvtx[0].oow = oow;
        return v;
    };
    // 1/w is affine: 1 - y * (7/8) / 224.
    auto oow = [](float y) { return 1.0f - y * 0.875f / 224.0f; };
    const GrVertex a = vertex(0, 0, oow(0)), b = vertex(64, 0, oow(0)),
                   c = vertex(64, 224, oow(224)), d = vertex(0, 224, oow(224));
    grDrawTriangle(&a, &b, &c);
    grDrawTriangle(&a, &c, &d);
    // Row y: 1/w = 1 - 0.875 (y + 0.5) / 224; level = floor(3 - log2(1/w)).
    for (int y : {2, 60, 150, 190, 215})
    {
        const double dOow = 1.0 - 0.875 * (y + 0.5) / 224.0;
        const int nLevel = int(std::floor(3.0 - std::log2(dOow)));
        EXPECT_EQ(Red5(board.Pixel(20, y)), nLevel) << "row " << y;
    }
}

TEST(GlideTexture, MagnificationAndMinificationFiltersAreChosenByLevelOfDetail)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    LoadCorners();
    grTexFilterMode(GR_TMU0, GR_TEXTUREFILTER_POINT_SAMPLED, GR_TEXTUREFILTER_BILINEAR);
    // Magnified (a texel covers many pixels): bilinear, as in the weights test.
    DrawRect(0, 0, 4, 4, 160, 176, 160, 176);
    EXPECT_EQ(board.Pixel(1, 1), Truncated(191, 223, 167));
    // Minified (256 units per pixel on a 2x2 texture): point sampling, texel (1, 1) white.
    DrawRect(0, 0, 2, 2, 160, 176, 672, 688);
    EXPECT_EQ(board.Pixel(0, 0), Truncated(255, 255, 255));
}

TEST(GlideTexture, UnknownOrStaleMipMapsLeaveTheSourceAlone)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    const std::vector<std::uint16_t> texels = CoordinateTexels(8);
    const GrMipMapId_t id = LoadTexture(GR_TEXFMT_RGB_565, GR_LOD_8, GR_ASPECT_1x1, texels.data());
    DrawWithTexture();
    guTexSource(GR_NULL_MIPMAP_HANDLE);
    guTexSource(id + 1);
    guTexSource(12345);
    EXPECT_EQ(guTexGetCurrentMipMap(GR_TMU0), id);
    DrawRect(0, 0, 4, 4, 100, 200, 100, 200);
    EXPECT_EQ(board.Pixel(1, 1), Rgb565(3, 6, 0));
    // After guTexMemReset the old identifier is stale: still harmless.
    guTexMemReset();
    EXPECT_EQ(guTexGetCurrentMipMap(GR_TMU0), GR_NULL_MIPMAP_HANDLE);
    guTexSource(id);
    EXPECT_EQ(guTexGetMipMapInfo(id), nullptr);
    DrawRect(0, 0, 4, 4, 100, 200, 100, 200);
    EXPECT_EQ(board.Pixel(1, 1), Rgb565(3, 6, 0));
}

TEST(GlideTexture, DownloadsAfterDrawingAreSeen)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    std::vector<std::uint16_t> texels = CoordinateTexels(8);
    const GrMipMapId_t id = LoadTexture(GR_TEXFMT_RGB_565, GR_LOD_8, GR_ASPECT_1x1, texels.data());
    DrawWithTexture();
    DrawRect(0, 0, 4, 4, 100, 200, 100, 200);
    EXPECT_EQ(board.Pixel(1, 1), Rgb565(3, 6, 0));
    texels[6 * 8 + 3] = Rgb565(31, 0, 31);
    guTexDownloadMipMap(id, texels.data(), nullptr);
    DrawRect(0, 0, 4, 4, 100, 200, 100, 200);
    EXPECT_EQ(board.Pixel(1, 1), Rgb565(31, 0, 31));
}

TEST(GlideTexture, GrLevelSourceAndPartialDownloads)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    // 8x4 RGB565 (GR_LOD_8, 2x1) at address 4096: s spans 0..256 over 8 texels, t 0..128 over 4.
    std::vector<std::uint16_t> texels;
    for (int v = 0; v < 4; ++v)
        for (int u = 0; u < 8; ++u)
            texels.push_back(Rgb565(u, v, 0));
    GrTexInfo info;
    info.smallLod = GR_LOD_8;
    info.largeLod = GR_LOD_8;
    info.aspectRatio = GR_ASPECT_2x1;
    info.format = GR_TEXFMT_RGB_565;
    info.data = texels.data();
    grTexDownloadMipMap(GR_TMU0, 4096, GR_MIPMAPLEVELMASK_BOTH, &info);
    grTexSource(GR_TMU0, 4096, GR_MIPMAPLEVELMASK_BOTH, &info);
    DrawWithTexture();
    // s = 200 -> texel 6; t = 100 -> row 3.
    DrawRect(0, 0, 4, 4, 200, 100, 200, 100);
    EXPECT_EQ(board.Pixel(1, 1), Rgb565(6, 3, 0));
    // Replace rows 3..3 only.
    std::vector<std::uint16_t> level(texels.size(), Rgb565(31, 63, 31));
    grTexDownloadMipMapLevelPartial(GR_TMU0, 4096, GR_LOD_8, GR_LOD_8, GR_ASPECT_2x1,
                                    GR_TEXFMT_RGB_565, GR_MIPMAPLEVELMASK_BOTH, level.data(), 3, 3);
    DrawRect(0, 0, 4, 4, 200, 100, 200, 100);
    EXPECT_EQ(board.Pixel(1, 1), Rgb565(31, 63, 31));
    DrawRect(0, 0, 4, 4, 200, 60, 200, 60); // row 1 unchanged
    EXPECT_EQ(board.Pixel(1, 1), Rgb565(6, 1, 0));
    // A source beyond texture memory is refused: the previous source stays.
    grTexSource(GR_TMU0, (2u << 20) - 8, GR_MIPMAPLEVELMASK_BOTH, &info);
    grTexSource(GR_TMU0, 4100, GR_MIPMAPLEVELMASK_BOTH, &info); // not 8-byte aligned
    DrawRect(0, 0, 4, 4, 200, 60, 200, 60);
    EXPECT_EQ(board.Pixel(1, 1), Rgb565(6, 1, 0));
}
} // namespace
