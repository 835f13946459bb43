// Our glide.h against the published layouts and values (glide-reference.md §1-§5).
#include <glide.h>
#include <gtest/gtest.h>
#include <cstddef>

namespace
{
TEST(GlideHeader, BasicTypesHaveTheirPublishedSizes)
{
    EXPECT_EQ(sizeof(FxU8), 1u);
    EXPECT_EQ(sizeof(FxI16), 2u);
    EXPECT_EQ(sizeof(FxU32), 4u);
    EXPECT_EQ(sizeof(FxI32), 4u);
    EXPECT_EQ(sizeof(FxBool), 4u);
    EXPECT_EQ(sizeof(GrColor_t), 4u);
    EXPECT_EQ(sizeof(GrAlpha_t), 1u);
    EXPECT_EQ(FXTRUE, 1);
    EXPECT_EQ(FXFALSE, 0);
}

TEST(GlideHeader, VertexIsFifteenFloatsInPublishedOrder)
{
    EXPECT_EQ(sizeof(GrVertex), 60u);
    // Field offsets are the GR_VERTEX_*_OFFSET float indices.
    EXPECT_EQ(offsetof(GrVertex, x), 4u * GR_VERTEX_X_OFFSET);
    EXPECT_EQ(offsetof(GrVertex, y), 4u * GR_VERTEX_Y_OFFSET);
    EXPECT_EQ(offsetof(GrVertex, z), 4u * GR_VERTEX_Z_OFFSET);
    EXPECT_EQ(offsetof(GrVertex, r), 4u * GR_VERTEX_R_OFFSET);
    EXPECT_EQ(offsetof(GrVertex, g), 4u * GR_VERTEX_G_OFFSET);
    EXPECT_EQ(offsetof(GrVertex, b), 4u * GR_VERTEX_B_OFFSET);
    EXPECT_EQ(offsetof(GrVertex, ooz), 4u * GR_VERTEX_OOZ_OFFSET);
    EXPECT_EQ(offsetof(GrVertex, a), 4u * GR_VERTEX_A_OFFSET);
    EXPECT_EQ(offsetof(GrVertex, oow), 4u * GR_VERTEX_OOW_OFFSET);
    EXPECT_EQ(offsetof(GrVertex, tmuvtx[0].sow), 4u * GR_VERTEX_SOW_TMU0_OFFSET);
    EXPECT_EQ(offsetof(GrVertex, tmuvtx[0].tow), 4u * GR_VERTEX_TOW_TMU0_OFFSET);
    EXPECT_EQ(offsetof(GrVertex, tmuvtx[0].oow), 4u * GR_VERTEX_OOW_TMU0_OFFSET);
    EXPECT_EQ(offsetof(GrVertex, tmuvtx[1].sow), 4u * GR_VERTEX_SOW_TMU1_OFFSET);
    EXPECT_EQ(offsetof(GrVertex, tmuvtx[1].oow), 4u * GR_VERTEX_OOW_TMU1_OFFSET);
    EXPECT_EQ(GR_VERTEX_OOW_TMU1_OFFSET, 14);
}

TEST(GlideHeader, StructureLayouts)
{
    EXPECT_EQ(sizeof(GrTMUConfig_t), 8u);
    EXPECT_EQ(sizeof(GrVoodooConfig_t), 32u);
    EXPECT_EQ(sizeof(GrSst96Config_t), 16u);
    EXPECT_EQ(sizeof(GrHwConfiguration), 148u);
    EXPECT_EQ(sizeof(GuNccTable), 112u);
    EXPECT_EQ(offsetof(GuNccTable, yRGB), 0u);
    EXPECT_EQ(offsetof(GuNccTable, iRGB), 16u);
    EXPECT_EQ(offsetof(GuNccTable, qRGB), 40u);
    EXPECT_EQ(offsetof(GuNccTable, packed_data), 64u);
    EXPECT_EQ(sizeof(GuTexPalette), 1024u);
    EXPECT_EQ(sizeof(GuTexTable), 1024u);
    EXPECT_EQ(sizeof(Gu3dfHeader), 24u);
    EXPECT_EQ(sizeof(GrState), 312u);
    EXPECT_EQ(sizeof(GrSstPerfStats_t), 20u);
    EXPECT_EQ(offsetof(Gu3dfInfo, table), 24u);
    EXPECT_EQ(offsetof(Gu3dfInfo, data), 24u + 1024u);
}

TEST(GlideHeader, PassThroughModesAreAnEnumerationType)
{
    // Programs keep the mode in a variable of its own type; like every Glide enumeration it is
    // a signed 32-bit integer.
    GrPassthruMode_t eMode = GR_PASSTHRU_SHOW_SST1;
    EXPECT_EQ(sizeof eMode, 4u);
    eMode = -1;
    EXPECT_LT(eMode, GR_PASSTHRU_SHOW_VGA);
}

struct NamedValue
{
    const char* pchName;
    long nValue;
    long nPublished;
};

class GlideConstant : public ::testing::TestWithParam<NamedValue>
{
};

TEST_P(GlideConstant, HasItsPublishedValue)
{
    EXPECT_EQ(GetParam().nValue, GetParam().nPublished) << GetParam().pchName;
}

#define VALUE(name, published)                                                                     \
    NamedValue                                                                                     \
    {                                                                                              \
#name, long(name), long(published)                                                         \
    }
INSTANTIATE_TEST_SUITE_P(
    Published, GlideConstant,
    ::testing::Values(
        VALUE(GR_RESOLUTION_640x480, 0x7), VALUE(GR_RESOLUTION_400x300, 0xF),
        VALUE(GR_RESOLUTION_NONE, 0xFF), VALUE(GR_REFRESH_85Hz, 0x7),
        VALUE(GR_COLORFORMAT_RGBA, 0x2), VALUE(GR_ORIGIN_LOWER_LEFT, 0x1),
        VALUE(GR_BUFFER_AUXBUFFER, 0x2), VALUE(GR_CONTROL_DEACTIVATE, 0x2),
        VALUE(GR_CULL_POSITIVE, 0x2), VALUE(GR_SSTTYPE_Voodoo2, 3), VALUE(GR_SSTTYPE_AT3D, 2),
        VALUE(GR_CMP_GEQUAL, 6), VALUE(GR_DEPTHBUFFER_WBUFFER_COMPARE_TO_BIAS, 4),
        VALUE(GR_DITHER_4x4, 2), VALUE(GR_FOG_ADD2, 0x200), VALUE(GR_LFB_NOIDLE, 0x10),
        VALUE(GR_LFBWRITEMODE_ZA16, 0xF), VALUE(GR_HINT_ALLOW_MIPMAP_DITHER, 3),
        VALUE(GR_STWHINT_ST_DIFF_TMU1, 0x10), VALUE(MAX_MIPMAPS_PER_SST, 1024),
        VALUE(GR_NULL_MIPMAP_HANDLE, 0xFFFFFFFFL), VALUE(GR_LOD_1, 8), VALUE(GR_ASPECT_1x8, 6),
        VALUE(GR_TEXFMT_AYIQ_8422, 0x9), VALUE(GR_TEXFMT_AP_88, 0xE), VALUE(GR_TEXFMT_16BIT, 0x8),
        VALUE(GR_TEXTABLE_PALETTE, 2), VALUE(GR_MIPMAP_NEAREST_DITHER, 2),
        VALUE(GR_MIPMAPLEVELMASK_BOTH, 3), VALUE(GR_TEXBASE_32_TO_1, 3),
        VALUE(GR_COMBINE_FUNCTION_SCALE_MINUS_LOCAL_ADD_LOCAL_ALPHA, 0x10),
        VALUE(GR_COMBINE_FUNCTION_BLEND, 0x7), VALUE(GR_COMBINE_FACTOR_ONE_MINUS_LOD_FRACTION, 0xD),
        VALUE(GR_COMBINE_FACTOR_DETAIL_FACTOR, 0x4), VALUE(GR_COMBINE_LOCAL_DEPTH, 2),
        VALUE(GR_COMBINE_OTHER_NONE, 2), VALUE(GR_COLORCOMBINE_ONE, 0x10),
        VALUE(GR_COLORCOMBINE_DIFF_SPEC_B, 0xF), VALUE(GR_TEXTURECOMBINE_ONE, 0xA),
        VALUE(GR_BLEND_ALPHA_SATURATE, 0xF), VALUE(GR_BLEND_PREFOG_COLOR, 0xF),
        VALUE(GR_BLEND_DST_COLOR, 0x2), VALUE(GR_BLEND_ONE_MINUS_DST_ALPHA, 0x7),
        VALUE(GR_ALPHASOURCE_TEXTURE_ALPHA_TIMES_ITERATED_ALPHA, 3),
        VALUE(GLIDE_STATE_PAD_SIZE, 312), VALUE(GR_FOG_TABLE_SIZE, 64),
        VALUE(GR_PASSTHRU_SHOW_VGA, 0x0), VALUE(GR_PASSTHRU_SHOW_SST1, 0x1)));
#undef VALUE
} // namespace
