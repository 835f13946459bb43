// The seven keyword tables of the material file: every keyword, the
// fallbacks, case sensitivity and whole-word matching. Expected values are
// the published Glide constants, written out as numbers.
#include <gtest/gtest.h>

#include <string>

#include "MaterialKeywords.h"

namespace
{

struct KeywordCase
{
    const char* pchTable;
    Int32 (*pfnParse)(const char*);
    const char* pchWord;
    Int32 nExpected;
};

std::string CaseName(const testing::TestParamInfo<KeywordCase>& info)
{
    std::string name = std::string(info.param.pchTable) + "_" + std::to_string(info.index);
    return name;
}

class KeywordTables : public testing::TestWithParam<KeywordCase>
{
};

TEST_P(KeywordTables, WordGivesItsGlideConstant)
{
    const KeywordCase& c = GetParam();
    EXPECT_EQ(c.pfnParse(c.pchWord), c.nExpected) << c.pchTable << "(\"" << c.pchWord << "\")";
}

const KeywordCase kColorCombine[] = {
    {"ColorCombine", ParseColorCombine, "GR_COLORCOMBINE_ZERO", 0},
    {"ColorCombine", ParseColorCombine, "GR_COLORCOMBINE_ONE", 16},
    {"ColorCombine", ParseColorCombine, "GR_COLORCOMBINE_CCRGB", 1},
    {"ColorCombine", ParseColorCombine, "GR_COLORCOMBINE_ITRGB", 2},
    {"ColorCombine", ParseColorCombine, "GR_COLORCOMBINE_ITRGB_DELTA0", 3},
    {"ColorCombine", ParseColorCombine, "GR_COLORCOMBINE_DECAL_TEXTURE", 4},
    {"ColorCombine", ParseColorCombine, "GR_COLORCOMBINE_TEXTURE_TIMES_CCRGB", 5},
    {"ColorCombine", ParseColorCombine, "GR_COLORCOMBINE_TEXTURE_TIMES_ITRGB", 6},
    {"ColorCombine", ParseColorCombine, "GR_COLORCOMBINE_TEXTURE_TIMES_ITRGB_DELTA0", 7},
    {"ColorCombine", ParseColorCombine, "GR_COLORCOMBINE_TEXTURE_TIMES_ITRGB_ADD_ALPHA", 8},
    {"ColorCombine", ParseColorCombine, "GR_COLORCOMBINE_TEXTURE_TIMES_ALPHA", 9},
    {"ColorCombine", ParseColorCombine, "GR_COLORCOMBINE_TEXTURE_TIMES_ALPHA_ADD_ITRGB", 10},
    {"ColorCombine", ParseColorCombine, "GR_COLORCOMBINE_TEXTURE_ADD_ITRGB", 11},
    {"ColorCombine", ParseColorCombine, "GR_COLORCOMBINE_TEXTURE_SUB_ITRGB", 12},
    {"ColorCombine", ParseColorCombine, "GR_COLORCOMBINE_CCRGB_BLEND_ITRGB_ON_TEXALPHA", 13},
    {"ColorCombine", ParseColorCombine, "GR_COLORCOMBINE_DIFF_SPEC_A", 14},
    {"ColorCombine", ParseColorCombine, "GR_COLORCOMBINE_DIFF_SPEC_B", 15},
    // Fallback 0 for anything else: wrong case, a prefix, a longer word.
    {"ColorCombine", ParseColorCombine, "gr_colorcombine_one", 0},
    {"ColorCombine", ParseColorCombine, "GR_COLORCOMBINE_ON", 0},
    {"ColorCombine", ParseColorCombine, "GR_COLORCOMBINE_ONEX", 0},
    {"ColorCombine", ParseColorCombine, "", 0},
};

const KeywordCase kTextureCombine[] = {
    {"TextureCombine", ParseTextureCombine, "GR_TEXTURECOMBINE_ZERO", 0},
    {"TextureCombine", ParseTextureCombine, "GR_TEXTURECOMBINE_ONE", 10},
    {"TextureCombine", ParseTextureCombine, "GR_TEXTURECOMBINE_DECAL", 1},
    {"TextureCombine", ParseTextureCombine, "GR_TEXTURECOMBINE_OTHER", 2},
    {"TextureCombine", ParseTextureCombine, "GR_TEXTURECOMBINE_ADD", 3},
    {"TextureCombine", ParseTextureCombine, "GR_TEXTURECOMBINE_MULTIPLY", 4},
    {"TextureCombine", ParseTextureCombine, "GR_TEXTURECOMBINE_SUBTRACT", 5},
    {"TextureCombine", ParseTextureCombine, "GR_TEXTURECOMBINE_DETAIL", 6},
    {"TextureCombine", ParseTextureCombine, "GR_TEXTURECOMBINE_DETAIL_OTHER", 7},
    {"TextureCombine", ParseTextureCombine, "GR_TEXTURECOMBINE_TRILINEAR_ODD", 8},
    {"TextureCombine", ParseTextureCombine, "GR_TEXTURECOMBINE_TRILINEAR_EVEN", 9},
    {"TextureCombine", ParseTextureCombine, "GR_TEXTURECOMBINE_Decal", 0},
    {"TextureCombine", ParseTextureCombine, "DECAL", 0},
};

const KeywordCase kBlendFactor[] = {
    {"BlendFactor", ParseBlendFactor, "ZERO", 0},
    {"BlendFactor", ParseBlendFactor, "ONE", 4},
    {"BlendFactor", ParseBlendFactor, "SRC_ALPHA", 1},
    {"BlendFactor", ParseBlendFactor, "SRC_COLOR", 2},
    {"BlendFactor", ParseBlendFactor, "DST_COLOR", 2},
    {"BlendFactor", ParseBlendFactor, "DST_ALPHA", 3},
    {"BlendFactor", ParseBlendFactor, "ONE_MINUS_SRC_ALPHA", 5},
    {"BlendFactor", ParseBlendFactor, "ONE_MINUS_SRC_COLOR", 6},
    {"BlendFactor", ParseBlendFactor, "ONE_MINUS_DST_COLOR", 6},
    {"BlendFactor", ParseBlendFactor, "ONE_MINUS_DST_ALPHA", 7},
    {"BlendFactor", ParseBlendFactor, "ALPHA_SATURATE", 15},
    {"BlendFactor", ParseBlendFactor, "PREFOG_COLOR", 15},
    // Lower case "one" is not a keyword: GR_BLEND_ZERO.
    {"BlendFactor", ParseBlendFactor, "one", 0},
    {"BlendFactor", ParseBlendFactor, "One", 0},
    {"BlendFactor", ParseBlendFactor, "GR_BLEND_ONE", 0},
    {"BlendFactor", ParseBlendFactor, "4", 0},
};

const KeywordCase kCombineFunction[] = {
    {"CombineFunction", ParseCombineFunction, "LOCAL", 1},
    {"CombineFunction", ParseCombineFunction, "LOCAL_ALPHA", 2},
    {"CombineFunction", ParseCombineFunction, "SCALE_OTHER", 3},
    {"CombineFunction", ParseCombineFunction, "BLEND_OTHER", 3},
    {"CombineFunction", ParseCombineFunction, "SCALE_OTHER_ADD_LOCAL", 4},
    {"CombineFunction", ParseCombineFunction, "SCALE_OTHER_ADD_LOCAL_ALPHA", 5},
    {"CombineFunction", ParseCombineFunction, "SCALE_OTHER_MINUS_LOCAL", 6},
    {"CombineFunction", ParseCombineFunction, "SCALE_OTHER_MINUS_LOCAL_ADD_LOCAL", 7},
    {"CombineFunction", ParseCombineFunction, "BLEND", 7},
    {"CombineFunction", ParseCombineFunction, "SCALE_OTHER_MINUS_LOCAL_ADD_LOCAL_ALPHA", 8},
    {"CombineFunction", ParseCombineFunction, "BLEND_LOCAL", 9},
    {"CombineFunction", ParseCombineFunction, "SCALE_MINUS_LOCAL_ADD_LOCAL_ALPHA", 16},
    // No keyword names ZERO itself; every unknown word yields it.
    {"CombineFunction", ParseCombineFunction, "ZERO", 0},
    {"CombineFunction", ParseCombineFunction, "NONE", 0},
    {"CombineFunction", ParseCombineFunction, "local", 0},
};

const KeywordCase kCombineFactor[] = {
    {"CombineFactor", ParseCombineFactor, "LOCAL", 1},
    {"CombineFactor", ParseCombineFactor, "OTHER_ALPHA", 2},
    {"CombineFactor", ParseCombineFactor, "LOCAL_ALPHA", 3},
    {"CombineFactor", ParseCombineFactor, "TEXTURE_ALPHA", 4},
    {"CombineFactor", ParseCombineFactor, "DETAIL_FACTOR", 4},
    {"CombineFactor", ParseCombineFactor, "LOD_FRACTION", 5},
    {"CombineFactor", ParseCombineFactor, "ONE", 8},
    {"CombineFactor", ParseCombineFactor, "ONE_MINUS_LOCAL", 9},
    {"CombineFactor", ParseCombineFactor, "ONE_MINUS_OTHER_ALPHA", 10},
    {"CombineFactor", ParseCombineFactor, "ONE_MINUS_LOCAL_ALPHA", 11},
    {"CombineFactor", ParseCombineFactor, "ONE_MINUS_TEXTURE_ALPHA", 12},
    {"CombineFactor", ParseCombineFactor, "ONE_MINUS_DETAIL_FACTOR", 12},
    {"CombineFactor", ParseCombineFactor, "ONE_MINUS_LOD_FRACTION", 13},
    {"CombineFactor", ParseCombineFactor, "ZERO", 0},
    {"CombineFactor", ParseCombineFactor, "one", 0},
};

// The local and other sources fall back to CONSTANT (1 and 2), not to 0.
const KeywordCase kCombineSources[] = {
    {"CombineLocal", ParseCombineLocal, "ITERATED", 0},
    {"CombineLocal", ParseCombineLocal, "CONSTANT", 1},
    {"CombineLocal", ParseCombineLocal, "DEPTH", 2},
    {"CombineLocal", ParseCombineLocal, "NONE", 1},
    {"CombineLocal", ParseCombineLocal, "iterated", 1},
    {"CombineLocal", ParseCombineLocal, "TEXTURE", 1},
    {"CombineOther", ParseCombineOther, "ITERATED", 0},
    {"CombineOther", ParseCombineOther, "TEXTURE", 1},
    {"CombineOther", ParseCombineOther, "CONSTANT", 2},
    {"CombineOther", ParseCombineOther, "NONE", 2},
    {"CombineOther", ParseCombineOther, "Texture", 2},
    {"CombineOther", ParseCombineOther, "DEPTH", 2},
};

INSTANTIATE_TEST_SUITE_P(ColorCombine, KeywordTables, testing::ValuesIn(kColorCombine), CaseName);
INSTANTIATE_TEST_SUITE_P(TextureCombine, KeywordTables, testing::ValuesIn(kTextureCombine),
                         CaseName);
INSTANTIATE_TEST_SUITE_P(BlendFactor, KeywordTables, testing::ValuesIn(kBlendFactor), CaseName);
INSTANTIATE_TEST_SUITE_P(CombineFunction, KeywordTables, testing::ValuesIn(kCombineFunction),
                         CaseName);
INSTANTIATE_TEST_SUITE_P(CombineFactor, KeywordTables, testing::ValuesIn(kCombineFactor), CaseName);
INSTANTIATE_TEST_SUITE_P(CombineSources, KeywordTables, testing::ValuesIn(kCombineSources),
                         CaseName);

TEST(KeywordTableFallbacks, NullWordGivesEachTablesFallback)
{
    EXPECT_EQ(ParseColorCombine(nullptr), 0);
    EXPECT_EQ(ParseTextureCombine(nullptr), 0);
    EXPECT_EQ(ParseBlendFactor(nullptr), 0);
    EXPECT_EQ(ParseCombineFunction(nullptr), 0);
    EXPECT_EQ(ParseCombineFactor(nullptr), 0);
    EXPECT_EQ(ParseCombineLocal(nullptr), 1);
    EXPECT_EQ(ParseCombineOther(nullptr), 2);
}

} // namespace
