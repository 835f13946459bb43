// Texture memory as Glide accounts it: padded small levels, chains rounded to 8 bytes, no chain
// across the 2 MB line, 1024 handles; guTexAllocateMemory runs out and says so.
#include "GlideTestSupport.h"

using namespace GlideTest;

namespace
{
struct SizeCase
{
    GrLOD_t eSmall, eLarge;
    GrAspectRatio_t eAspect;
    GrTextureFormat_t eFormat;
    FxU32 nBytes;
};

class GlideTextureSize : public ::testing::TestWithParam<SizeCase>
{
};

TEST_P(GlideTextureSize, CountsPaddedLevelsRoundedToEightBytes)
{
    const SizeCase& c = GetParam();
    EXPECT_EQ(grTexCalcMemRequired(c.eSmall, c.eLarge, c.eAspect, c.eFormat), c.nBytes);
}

// Full 1x1 chain: 65536 + 16384 + 4096 + 1024 + 256 + 64 + 16 + 4 + 4 (1x1 padded to 2x2)
// = 87384 texels. 8x1 chain: 256x32 ... 8x1 (padded 8x2 = 16), 4x1 (8), 2x1 (4), 1x1 (4)
// = 10944 texels. A lone 1x1 8-bit level is 4 bytes, rounded to 8.
INSTANTIATE_TEST_SUITE_P(
    Chains, GlideTextureSize,
    ::testing::Values(SizeCase{GR_LOD_1, GR_LOD_256, GR_ASPECT_1x1, GR_TEXFMT_RGB_565, 174768},
                      SizeCase{GR_LOD_1, GR_LOD_256, GR_ASPECT_1x1, GR_TEXFMT_P_8, 87384},
                      SizeCase{GR_LOD_1, GR_LOD_256, GR_ASPECT_8x1, GR_TEXFMT_INTENSITY_8, 10944},
                      SizeCase{GR_LOD_1, GR_LOD_256, GR_ASPECT_1x8, GR_TEXFMT_ARGB_1555, 21888},
                      SizeCase{GR_LOD_1, GR_LOD_256, GR_ASPECT_4x1, GR_TEXFMT_RGB_565, 43712},
                      SizeCase{GR_LOD_1, GR_LOD_256, GR_ASPECT_2x1, GR_TEXFMT_AP_88, 87392},
                      SizeCase{GR_LOD_1, GR_LOD_1, GR_ASPECT_1x1, GR_TEXFMT_ALPHA_8, 8},
                      SizeCase{GR_LOD_8, GR_LOD_8, GR_ASPECT_8x1, GR_TEXFMT_RGB_565, 32},
                      SizeCase{GR_LOD_4, GR_LOD_4, GR_ASPECT_4x1, GR_TEXFMT_RGB_332, 8},
                      SizeCase{GR_LOD_1, GR_LOD_64, GR_ASPECT_1x1, GR_TEXFMT_RGB_565, 10928},
                      SizeCase{GR_LOD_256, GR_LOD_1, GR_ASPECT_1x1, GR_TEXFMT_RGB_565, 0},
                      SizeCase{GR_LOD_1, GR_LOD_256, 7, GR_TEXFMT_RGB_565, 0},
                      SizeCase{GR_LOD_1, GR_LOD_256, GR_ASPECT_1x1, GR_TEXFMT_RSVD0, 0}));

TEST(GlideTextureSize, EvenAndOddLevelsCountSeparately)
{
    GrTexInfo info = {GR_LOD_1, GR_LOD_256, GR_ASPECT_1x1, GR_TEXFMT_RGB_565, nullptr};
    // Even levels 256, 64, 16, 4, 1: 65536 + 4096 + 256 + 16 + 4 texels; odd 128, 32, 8, 2:
    // 16384 + 1024 + 64 + 4.
    EXPECT_EQ(grTexTextureMemRequired(GR_MIPMAPLEVELMASK_EVEN, &info), 139816u);
    EXPECT_EQ(grTexTextureMemRequired(GR_MIPMAPLEVELMASK_ODD, &info), 34952u);
    EXPECT_EQ(grTexTextureMemRequired(GR_MIPMAPLEVELMASK_BOTH, &info), 174768u);
    EXPECT_EQ(grTexTextureMemRequired(0, &info), 0u);
}

GrMipMapId_t AllocateChain(GrChipID_t tmu = GR_TMU0, GrLOD_t eSmall = GR_LOD_1,
                           GrLOD_t eLarge = GR_LOD_256)
{
    return guTexAllocateMemory(tmu, GR_MIPMAPLEVELMASK_BOTH, 256, 256, GR_TEXFMT_RGB_565,
                               GR_MIPMAP_NEAREST, eSmall, eLarge, GR_ASPECT_1x1,
                               GR_TEXTURECLAMP_WRAP, GR_TEXTURECLAMP_WRAP,
                               GR_TEXTUREFILTER_BILINEAR, GR_TEXTUREFILTER_BILINEAR, 0.0f, FXFALSE);
}

TEST(GlideTextureMemory, TwoMegabytesHoldElevenFullChains)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    EXPECT_EQ(guTexMemQueryAvail(GR_TMU0), 2097152u);
    // 11 x 174768 = 1922448 <= 2097152 < 12 x 174768.
    for (int i = 0; i < 11; ++i)
    {
        const GrMipMapId_t id = AllocateChain();
        ASSERT_EQ(id, GrMipMapId_t(i)) << "handles count up from 0";
        EXPECT_EQ(guTexGetMipMapInfo(id)->tmu_base_address, FxU32(i) * 174768u);
    }
    EXPECT_EQ(guTexMemQueryAvail(GR_TMU0), 174704u);
    EXPECT_EQ(AllocateChain(), GR_NULL_MIPMAP_HANDLE);
    // A smaller chain still fits in what is left.
    EXPECT_NE(AllocateChain(GR_TMU0, GR_LOD_1, GR_LOD_128), GR_NULL_MIPMAP_HANDLE);
    // guTexMemReset gives everything back.
    guTexMemReset();
    EXPECT_EQ(guTexMemQueryAvail(GR_TMU0), 2097152u);
    EXPECT_EQ(AllocateChain(), 0u);
}

TEST(GlideTextureMemory, NoChainStraddlesTheTwoMegabyteLine)
{
    Board board("voodoo2", GR_RESOLUTION_640x480);
    ASSERT_TRUE(board.IsOpen());
    // 4 MB per TMU: 11 chains below 2 MB; the 12th would cross 0x200000 and starts there;
    // 11 more fit above (4194304 - 2097152 = 2097152): 22 in all.
    for (int i = 0; i < 11; ++i)
        ASSERT_NE(AllocateChain(), GR_NULL_MIPMAP_HANDLE);
    const GrMipMapId_t id = AllocateChain();
    ASSERT_NE(id, GR_NULL_MIPMAP_HANDLE);
    EXPECT_EQ(guTexGetMipMapInfo(id)->tmu_base_address, 0x200000u);
    for (int i = 0; i < 10; ++i)
        ASSERT_NE(AllocateChain(), GR_NULL_MIPMAP_HANDLE) << i;
    EXPECT_EQ(AllocateChain(), GR_NULL_MIPMAP_HANDLE);
    EXPECT_EQ(guTexMemQueryAvail(GR_TMU0), 4194304u - (2097152u + 11u * 174768u));
    // The second TMU has its own memory.
    EXPECT_EQ(guTexMemQueryAvail(GR_TMU1), 4194304u);
    EXPECT_NE(AllocateChain(GR_TMU1), GR_NULL_MIPMAP_HANDLE);
}

TEST(GlideTextureMemory, HandlesRunOutAtTenTwentyFour)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    for (int i = 0; i < 1024; ++i)
        ASSERT_NE(AllocateChain(GR_TMU0, GR_LOD_1, GR_LOD_1), GR_NULL_MIPMAP_HANDLE) << i;
    // 1024 one-texel chains use 8 bytes each: memory remains, handles do not.
    EXPECT_EQ(guTexMemQueryAvail(GR_TMU0), 2097152u - 8192u);
    EXPECT_EQ(AllocateChain(GR_TMU0, GR_LOD_1, GR_LOD_1), GR_NULL_MIPMAP_HANDLE);
}

TEST(GlideTextureMemory, BadArgumentsAllocateNothing)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    EXPECT_EQ(AllocateChain(GR_TMU1), GR_NULL_MIPMAP_HANDLE); // no second TMU
    EXPECT_EQ(AllocateChain(GR_TMU0, GR_LOD_256, GR_LOD_1), GR_NULL_MIPMAP_HANDLE);
    EXPECT_EQ(guTexAllocateMemory(GR_TMU0, 0, 1, 1, GR_TEXFMT_RGB_565, GR_MIPMAP_DISABLE, GR_LOD_1,
                                  GR_LOD_1, GR_ASPECT_1x1, GR_TEXTURECLAMP_WRAP,
                                  GR_TEXTURECLAMP_WRAP, GR_TEXTUREFILTER_POINT_SAMPLED,
                                  GR_TEXTUREFILTER_POINT_SAMPLED, 0.0f, FXFALSE),
              GR_NULL_MIPMAP_HANDLE);
    EXPECT_EQ(guTexMemQueryAvail(GR_TMU0), 2097152u);
}

TEST(GlideTextureMemory, EachAllocationCountsOnlyItsParity)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    const GrMipMapId_t id = guTexAllocateMemory(
        GR_TMU0, GR_MIPMAPLEVELMASK_ODD, 256, 256, GR_TEXFMT_RGB_565, GR_MIPMAP_NEAREST, GR_LOD_1,
        GR_LOD_256, GR_ASPECT_1x1, GR_TEXTURECLAMP_WRAP, GR_TEXTURECLAMP_WRAP,
        GR_TEXTUREFILTER_BILINEAR, GR_TEXTUREFILTER_BILINEAR, 0.0f, FXFALSE);
    ASSERT_NE(id, GR_NULL_MIPMAP_HANDLE);
    EXPECT_EQ(guTexMemQueryAvail(GR_TMU0), 2097152u - 34952u);
    EXPECT_EQ(guTexGetMipMapInfo(id)->odd_even_mask, FxU32(GR_MIPMAPLEVELMASK_ODD));
}

TEST(GlideTextureMemory, ChangeAttributesKeepsWhatIsMinusOne)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    const GrMipMapId_t id = AllocateChain();
    EXPECT_EQ(guTexChangeAttributes(id, -1, -1, -1, -1, -1, -1, -1, GR_TEXTURECLAMP_CLAMP, -1,
                                    GR_TEXTUREFILTER_POINT_SAMPLED, -1),
              FXTRUE);
    const GrMipMapInfo* pInfo = guTexGetMipMapInfo(id);
    EXPECT_EQ(pInfo->s_clamp_mode, GR_TEXTURECLAMP_CLAMP);
    EXPECT_EQ(pInfo->t_clamp_mode, GR_TEXTURECLAMP_WRAP);
    EXPECT_EQ(pInfo->minfilter_mode, GR_TEXTUREFILTER_POINT_SAMPLED);
    EXPECT_EQ(pInfo->magfilter_mode, GR_TEXTUREFILTER_BILINEAR);
    EXPECT_EQ(pInfo->format, GR_TEXFMT_RGB_565);
    EXPECT_EQ(
        guTexChangeAttributes(GR_NULL_MIPMAP_HANDLE, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1),
        FXFALSE);
}
} // namespace
