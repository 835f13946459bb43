// Material::Apply and Texture::Load against the recording Glide: the six
// state calls in their fixed order on every flush, guTexSource only with a
// texture, and the arguments of the texture allocation.
#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

#include "Material.h"
#include "RecordingGlide.h"
#include "SString.h"
#include "Texture.h"

namespace
{

class MaterialApply : public testing::Test
{
  protected:
    void SetUp() override
    {
        RecordingGlide::Reset();
        m_Material.m_nConstantColor = 0x11223344u;
        m_Material.m_nColorCombine = GR_COLORCOMBINE_TEXTURE_TIMES_ITRGB;
        m_Material.m_nRgbSrcFactor = GR_BLEND_ONE;
        m_Material.m_nRgbDstFactor = GR_BLEND_ONE_MINUS_SRC_COLOR;
        m_Material.m_nAlphaSrcFactor = GR_BLEND_SRC_ALPHA;
        m_Material.m_nAlphaDstFactor = GR_BLEND_ZERO;
        m_Material.m_nAlphaFunction = GR_COMBINE_FUNCTION_BLEND_LOCAL;
        m_Material.m_nAlphaFactor = GR_COMBINE_FACTOR_ONE_MINUS_LOD_FRACTION;
        m_Material.m_nAlphaLocal = GR_COMBINE_LOCAL_DEPTH;
        m_Material.m_nAlphaOther = GR_COMBINE_OTHER_TEXTURE;
        m_Material.m_bAlphaInvert = FXTRUE;
        m_Material.m_nTextureCombine = GR_TEXTURECOMBINE_TRILINEAR_EVEN;
    }

    // The five state calls for the settings above, with numbers written out.
    static std::vector<std::string> StateCalls()
    {
        return {"grTexCombineFunction(0,9)", "grConstantColorValue(287454020)",
                "guColorCombineFunction(6)", "grAlphaBlendFunction(4,6,1,0)",
                "grAlphaCombine(9,13,2,1,1)"};
    }

    Material m_Material;
};

TEST_F(MaterialApply, WithoutTextureSetsFiveCallsAndNoTextureSource)
{
    m_Material.Apply();
    EXPECT_EQ(RecordingGlide::Texts(), StateCalls());
    EXPECT_EQ(RecordingGlide::CountOf("guTexSource"), 0);
}

TEST_F(MaterialApply, WithTextureSelectsItFirst)
{
    m_Material.m_pTexture = new Texture;
    m_Material.m_pTexture->m_nMipMapId = 7;
    m_Material.Apply();
    std::vector<std::string> expected = StateCalls();
    expected.insert(expected.begin(), "guTexSource(7)");
    EXPECT_EQ(RecordingGlide::Texts(), expected);
}

TEST_F(MaterialApply, EveryFlushRepeatsTheSameCallsInTheSameOrder)
{
    m_Material.m_pTexture = new Texture;
    m_Material.m_pTexture->m_nMipMapId = 2;
    std::vector<std::string> once = StateCalls();
    once.insert(once.begin(), "guTexSource(2)");
    std::vector<std::string> expected;
    for (int nFlush = 0; nFlush < 3; ++nFlush)
    {
        m_Material.Apply();
        expected.insert(expected.end(), once.begin(), once.end());
    }
    EXPECT_EQ(RecordingGlide::Texts(), expected) << "nothing changed, yet every call is repeated";
}

TEST_F(MaterialApply, TextureWhoseAllocationFailedPassesTheNullHandle)
{
    RecordingGlide::Settings().nAllocateResult = GR_NULL_MIPMAP_HANDLE;
    m_Material.m_pTexture = new Texture;
    ASSERT_EQ(m_Material.m_pTexture->Load(SString("t.3df", 5)), 0);
    RecordingGlide::Clear();
    m_Material.Apply();
    ASSERT_GE(RecordingGlide::Texts().size(), 1u);
    EXPECT_EQ(RecordingGlide::Texts()[0], "guTexSource(4294967295)");
}

TEST_F(MaterialApply, ReleasedTextureIsNoLongerSelected)
{
    m_Material.m_pTexture = new Texture;
    m_Material.ReleaseTexture();
    m_Material.Apply();
    EXPECT_EQ(RecordingGlide::CountOf("guTexSource"), 0);
}

// The fifteen arguments of guTexAllocateMemory come from the 3DF header and
// from fixed choices: TMU 0, both level parities, nearest mipmapping, wrap
// in s and t, bilinear both ways, no LOD bias, no trilinear.
TEST(TextureLoad, AllocatesWithTheHeaderAndTheFixedChoices)
{
    struct
    {
        Gu3dfHeader header;
        FxU32 nMemRequired;
        const char* pchExpected;
    } const kCases[] = {
        {{256, 128, GR_LOD_1, GR_LOD_256, GR_ASPECT_2x1, GR_TEXFMT_RGB_565},
         87382,
         "guTexAllocateMemory(0,3,256,128,10,1,8,0,2,0,0,1,1,0,0)"},
        {{64, 64, GR_LOD_1, GR_LOD_64, GR_ASPECT_1x1, GR_TEXFMT_ARGB_4444},
         10922,
         "guTexAllocateMemory(0,3,64,64,12,1,8,2,3,0,0,1,1,0,0)"},
        {{8, 64, GR_LOD_8, GR_LOD_64, GR_ASPECT_1x8, GR_TEXFMT_P_8},
         680,
         "guTexAllocateMemory(0,3,8,64,5,1,5,2,6,0,0,1,1,0,0)"},
    };
    for (const auto& c : kCases)
    {
        RecordingGlide::Reset();
        RecordingGlide::Settings().getInfoHeader = c.header;
        RecordingGlide::Settings().nGetInfoMemRequired = c.nMemRequired;
        RecordingGlide::Settings().nAllocateResult = 3;
        Texture texture;
        ASSERT_EQ(texture.Load(SString("a.3df", 5)), 1);
        const std::vector<std::string> expected = {"gu3dfGetInfo(\"a.3df\",ptr)",
                                                   "gu3dfLoad(\"a.3df\",ptr)", c.pchExpected,
                                                   "guTexDownloadMipMap(3,ptr,ptr)"};
        EXPECT_EQ(RecordingGlide::Texts(), expected);
        EXPECT_EQ(texture.m_nMipMapId, 3u);
    }
}

TEST(TextureLoad, DownloadsTheLoadedTexelsAndTheFileTable)
{
    RecordingGlide::Reset();
    Texture texture;
    ASSERT_EQ(texture.Load(SString("a.3df", 5)), 1);
    const std::vector<RecordedCall> loads = RecordingGlide::CallsNamed("gu3dfLoad");
    const std::vector<RecordedCall> downloads = RecordingGlide::CallsNamed("guTexDownloadMipMap");
    ASSERT_EQ(loads.size(), 1u);
    ASSERT_EQ(downloads.size(), 1u);
    // Both pointer arguments of the download lie in the Gu3dfInfo handed to
    // gu3dfLoad: its texel buffer is not known here, but its table is.
    // The record is gone by now, so only its address is used.
    const char* pchInfo = static_cast<const char*>(loads[0].pointers[1]);
    ASSERT_EQ(downloads[0].pointers.size(), 2u);
    EXPECT_NE(downloads[0].pointers[0], nullptr);
    EXPECT_EQ(downloads[0].pointers[1],
              static_cast<const void*>(pchInfo + offsetof(Gu3dfInfo, table)));
}

TEST(TextureLoad, DestructionMakesNoGlideCall)
{
    RecordingGlide::Reset();
    {
        Texture texture;
        texture.m_nMipMapId = 1;
    }
    EXPECT_EQ(RecordingGlide::Calls().size(), 0u);
}

} // namespace
