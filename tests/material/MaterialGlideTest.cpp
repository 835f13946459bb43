// Material::Load and Material::Apply on the software Glide: the shipped
// Default.mtl with the Vellum.3df made at build time, real 3DF files from the
// fixtures, and the texture memory each load takes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <glide.h>

#include "Material.h"
#include "MaterialTestSupport.h"
#include "SString.h"
#include "Texture.h"
#include "Win32StandIn.h"

namespace
{

// Texture memory of TMU 0 on the emulated Voodoo Graphics board: 2 MB.
const FxU32 kTmuBytes = 2u << 20;
// An rgb565 chain 256..1 at 1:1 takes 174768 bytes of TMU memory; at 2:1,
// 87392 (small levels padded to 2x2, the sum rounded to 8 bytes).
const FxU32 kChain256 = 174768;
const FxU32 kChain256x128 = 87392;

std::string FixtureDirectory()
{
    return std::string(MOLTRANE_SOURCE_DIR) + "/../shared/fixtures/3df/";
}

class MaterialOnGlide : public MaterialDirectoryTest
{
  protected:
    static void SetUpTestSuite()
    {
        setenv("FX_GLIDE_SWAPINTERVAL", "0", 1);
        StandIn_SetHeadless(true);
        grGlideInit();
        GrHwConfiguration hw;
        s_bOpen = grSstQueryHardware(&hw) != FXFALSE;
        if (s_bOpen)
        {
            grSstSelect(0);
            s_bOpen = grSstWinOpen(0, GR_RESOLUTION_640x480, GR_REFRESH_60Hz, GR_COLORFORMAT_RGBA,
                                   GR_ORIGIN_UPPER_LEFT, 2, 0) != FXFALSE;
        }
    }

    static void TearDownTestSuite()
    {
        grGlideShutdown();
        StandIn_Reset();
    }

    void SetUp() override
    {
        MaterialDirectoryTest::SetUp();
        ASSERT_TRUE(s_bOpen) << "the software Glide did not open";
        guTexMemReset();
        ASSERT_EQ(guTexMemQueryAvail(GR_TMU0), kTmuBytes);
    }

    // Copies a fixture into the scratch program directory; false when the
    // shared fixtures are not there.
    bool CopyFixture(const std::string& strName) const
    {
        std::error_code error;
        std::filesystem::copy_file(FixtureDirectory() + strName, m_strDirectory + strName, error);
        return !error;
    }

    Int32 Load() { return m_Material.Load(SString("Default.mtl", 11)); }

    Material m_Material;
    static bool s_bOpen;
};

bool MaterialOnGlide::s_bOpen = false;

TEST_F(MaterialOnGlide, ShippedMaterialLoadsItsTexture)
{
    SetModulePath(std::string(MOLTRANE_DATA_DIR) + "/demo");
    ASSERT_EQ(Load(), 1) << "Default.mtl and Vellum.3df in " << MOLTRANE_DATA_DIR;
    // data/Default.mtl, written out: white constant colour, texture times
    // iterated colour, "screen" blending (source plus destination times one
    // minus source), iterated alpha, the Vellum texture as is.
    EXPECT_EQ(m_Material.m_nConstantColor, 0xFFFFFFFFu);
    EXPECT_EQ(m_Material.m_nColorCombine, 6);
    EXPECT_EQ(m_Material.m_nRgbSrcFactor, 4);
    EXPECT_EQ(m_Material.m_nRgbDstFactor, 6);
    EXPECT_EQ(m_Material.m_nAlphaSrcFactor, 4);
    EXPECT_EQ(m_Material.m_nAlphaDstFactor, 0);
    EXPECT_EQ(m_Material.m_nAlphaFunction, 3);
    EXPECT_EQ(m_Material.m_nAlphaFactor, 8);
    EXPECT_EQ(m_Material.m_nAlphaLocal, 0);
    EXPECT_EQ(m_Material.m_nAlphaOther, 0);
    EXPECT_EQ(m_Material.m_bAlphaInvert, 0);
    EXPECT_EQ(m_Material.m_nTextureCombine, 1);
    EXPECT_STREQ(m_Material.m_strTextureName, "Vellum.3df");
    ASSERT_NE(m_Material.m_pTexture, nullptr);
    const GrMipMapInfo* pInfo = guTexGetMipMapInfo(m_Material.m_pTexture->m_nMipMapId);
    ASSERT_NE(pInfo, nullptr);
    EXPECT_EQ(pInfo->width, 256);
    EXPECT_EQ(pInfo->height, 256);
    EXPECT_EQ(pInfo->format, GR_TEXFMT_RGB_565);
    EXPECT_EQ(pInfo->mipmap_mode, GR_MIPMAP_NEAREST);
    EXPECT_EQ(pInfo->s_clamp_mode, GR_TEXTURECLAMP_WRAP);
    EXPECT_EQ(pInfo->minfilter_mode, GR_TEXTUREFILTER_BILINEAR);
    EXPECT_EQ(guTexMemQueryAvail(GR_TMU0), kTmuBytes - kChain256);
    m_Material.Apply();
    EXPECT_EQ(guTexGetCurrentMipMap(GR_TMU0), m_Material.m_pTexture->m_nMipMapId);
}

// Texture memory is never handed back, so every reload takes another copy;
// the twelfth no longer fits in 2 MB and fails the load.
TEST_F(MaterialOnGlide, EveryReloadTakesMoreTextureMemoryUntilItRunsOut)
{
    SetModulePath(std::string(MOLTRANE_DATA_DIR) + "/demo");
    for (FxU32 nLoad = 1; nLoad <= 11; ++nLoad)
    {
        ASSERT_EQ(Load(), 1) << "load " << nLoad;
        EXPECT_EQ(guTexMemQueryAvail(GR_TMU0), kTmuBytes - nLoad * kChain256) << "load " << nLoad;
        EXPECT_EQ(m_Material.m_pTexture->m_nMipMapId, nLoad - 1);
    }
    EXPECT_EQ(Load(), 0);
    ASSERT_NE(m_Material.m_pTexture, nullptr);
    EXPECT_EQ(m_Material.m_pTexture->m_nMipMapId, GR_NULL_MIPMAP_HANDLE);
}

TEST_F(MaterialOnGlide, NonSquareFixtureLoads)
{
    if (!CopyFixture("rgb565-aspect2x1.3df"))
        GTEST_SKIP() << "fixtures not found in " << FixtureDirectory();
    WriteFile("Default.mtl", JoinItems(MaterialItems("rgb565-aspect2x1.3df")));
    ASSERT_EQ(Load(), 1);
    const GrMipMapInfo* pInfo = guTexGetMipMapInfo(m_Material.m_pTexture->m_nMipMapId);
    ASSERT_NE(pInfo, nullptr);
    EXPECT_EQ(pInfo->width, 256);
    EXPECT_EQ(pInfo->height, 128);
    EXPECT_EQ(pInfo->aspect_ratio, GR_ASPECT_2x1);
    EXPECT_EQ(guTexMemQueryAvail(GR_TMU0), kTmuBytes - kChain256x128);
}

TEST_F(MaterialOnGlide, DamagedOrForeignTexturesFailWithoutTakingMemory)
{
    const char* const kFiles[] = {"damaged-p8.3df", "damaged-ayiq.3df", "argb8888.3df"};
    for (const char* pchFile : kFiles)
    {
        if (!CopyFixture(pchFile))
            GTEST_SKIP() << "fixtures not found in " << FixtureDirectory();
        WriteFile("Default.mtl", JoinItems(MaterialItems(pchFile)));
        EXPECT_EQ(Load(), 0) << pchFile;
        EXPECT_EQ(guTexMemQueryAvail(GR_TMU0), kTmuBytes) << pchFile;
    }
}

TEST_F(MaterialOnGlide, MaterialFileItselfAsTextureFails)
{
    WriteFile("Default.mtl", JoinItems(MaterialItems("Default.mtl")));
    EXPECT_EQ(Load(), 0) << "a text file is not a 3DF texture";
}

} // namespace
