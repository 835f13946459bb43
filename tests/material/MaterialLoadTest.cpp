// Material::Load against real files in a scratch program directory, with the
// recording Glide answering the texture loader.
#include <gtest/gtest.h>

#include <unistd.h>

#include <climits>
#include <string>
#include <vector>

#include "Material.h"
#include "MaterialTestSupport.h"
#include "RecordingGlide.h"
#include "SString.h"
#include "Texture.h"

namespace
{

class MaterialLoad : public MaterialDirectoryTest
{
  protected:
    void SetUp() override
    {
        MaterialDirectoryTest::SetUp();
        RecordingGlide::Reset();
    }

    Int32 Load(const char* pchName = "Default.mtl")
    {
        return m_Material.Load(SString(pchName, Int32(std::string(pchName).size())));
    }

    // The settings of MaterialItems(), written out by hand.
    void ExpectMaterialItems() const
    {
        EXPECT_EQ(m_Material.m_nConstantColor, 0xFF800040u);
        EXPECT_EQ(m_Material.m_nColorCombine, 6);
        EXPECT_EQ(m_Material.m_nRgbSrcFactor, 1);
        EXPECT_EQ(m_Material.m_nRgbDstFactor, 5);
        EXPECT_EQ(m_Material.m_nAlphaSrcFactor, 4);
        EXPECT_EQ(m_Material.m_nAlphaDstFactor, 0);
        EXPECT_EQ(m_Material.m_nAlphaFunction, 7);
        EXPECT_EQ(m_Material.m_nAlphaFactor, 4);
        EXPECT_EQ(m_Material.m_nAlphaLocal, 2);
        EXPECT_EQ(m_Material.m_nAlphaOther, 1);
        EXPECT_EQ(m_Material.m_bAlphaInvert, 1);
        EXPECT_EQ(m_Material.m_nTextureCombine, 1);
    }

    // Every setting to a value no file in these tests produces.
    void Scribble()
    {
        m_Material.m_nConstantColor = 0x12345678u;
        m_Material.m_nColorCombine = 99;
        m_Material.m_nRgbSrcFactor = 99;
        m_Material.m_nRgbDstFactor = 99;
        m_Material.m_nAlphaSrcFactor = 99;
        m_Material.m_nAlphaDstFactor = 99;
        m_Material.m_nAlphaFunction = 99;
        m_Material.m_nAlphaFactor = 99;
        m_Material.m_nAlphaLocal = 99;
        m_Material.m_nAlphaOther = 99;
        m_Material.m_bAlphaInvert = 99;
        m_Material.m_nTextureCombine = 99;
    }

    Material m_Material;
};

TEST_F(MaterialLoad, WellFormedFileSetsEveryItem)
{
    WriteFile("Default.mtl", JoinItems(MaterialItems()));
    ASSERT_EQ(Load(), 1);
    ExpectMaterialItems();
    EXPECT_STREQ(m_Material.m_strTextureName, "Null");
    EXPECT_EQ(m_Material.m_pTexture, nullptr);
    EXPECT_EQ(RecordingGlide::Calls().size(), 0u)
        << "a material without texture makes no Glide call";
}

TEST_F(MaterialLoad, AllItemsOnOneLine)
{
    WriteFile("Default.mtl", JoinItems(MaterialItems(), " "));
    ASSERT_EQ(Load(), 1);
    ExpectMaterialItems();
}

TEST_F(MaterialLoad, AnyWhiteSpaceSeparatesItems)
{
    WriteFile("Default.mtl", "\n\n  " + JoinItems(MaterialItems(), " \t\r\n\n "));
    ASSERT_EQ(Load(), 1);
    ExpectMaterialItems();
}

TEST_F(MaterialLoad, NothingAfterItem13IsRead)
{
    WriteFile("Default.mtl", JoinItems(MaterialItems()) + "GR_TEXTURECOMBINE_ONE and more words\n");
    ASSERT_EQ(Load(), 1);
    EXPECT_EQ(m_Material.m_nTextureCombine, 1);
}

TEST_F(MaterialLoad, KeywordsInTheWrongCaseFallBack)
{
    std::vector<std::string> items = {"1, 2, 3, 4",
                                      "gr_colorcombine_itrgb",
                                      "one",
                                      "One",
                                      "src_alpha",
                                      "ONE ",
                                      "local",
                                      "one",
                                      "iterated",
                                      "texture",
                                      "true",
                                      "Null",
                                      "gr_texturecombine_decal"};
    WriteFile("Default.mtl", JoinItems(items));
    Scribble();
    ASSERT_EQ(Load(), 1);
    EXPECT_EQ(m_Material.m_nConstantColor, 0x01020304u);
    EXPECT_EQ(m_Material.m_nColorCombine, 0);
    EXPECT_EQ(m_Material.m_nRgbSrcFactor, 0);
    EXPECT_EQ(m_Material.m_nRgbDstFactor, 0);
    EXPECT_EQ(m_Material.m_nAlphaSrcFactor, 0);
    EXPECT_EQ(m_Material.m_nAlphaDstFactor, 4) << "\"ONE \" is the word ONE followed by a blank";
    EXPECT_EQ(m_Material.m_nAlphaFunction, 0);
    EXPECT_EQ(m_Material.m_nAlphaFactor, 0);
    EXPECT_EQ(m_Material.m_nAlphaLocal, 1) << "local fallback is CONSTANT";
    EXPECT_EQ(m_Material.m_nAlphaOther, 2) << "other fallback is CONSTANT";
    EXPECT_EQ(m_Material.m_bAlphaInvert, 0);
    EXPECT_EQ(m_Material.m_nTextureCombine, 0);
}

TEST_F(MaterialLoad, OnlyTheExactWordTrueInverts)
{
    const struct
    {
        const char* pchWord;
        FxBool bExpected;
    } kCases[] = {{"True", 1}, {"TRUE", 0}, {"true", 0}, {"1", 0}, {"False", 0}, {"Truex", 0}};
    for (const auto& c : kCases)
    {
        std::vector<std::string> items = MaterialItems();
        items[10] = c.pchWord;
        WriteFile("Default.mtl", JoinItems(items));
        m_Material.m_bAlphaInvert = 99;
        ASSERT_EQ(Load(), 1) << c.pchWord;
        EXPECT_EQ(m_Material.m_bAlphaInvert, c.bExpected) << c.pchWord;
    }
}

TEST_F(MaterialLoad, EqualPairsOfKeywordsGiveEqualValues)
{
    std::vector<std::string> items = MaterialItems();
    items[2] = "SRC_COLOR";
    items[3] = "DST_COLOR";
    items[4] = "ALPHA_SATURATE";
    items[5] = "PREFOG_COLOR";
    WriteFile("Default.mtl", JoinItems(items));
    ASSERT_EQ(Load(), 1);
    EXPECT_EQ(m_Material.m_nRgbSrcFactor, 2);
    EXPECT_EQ(m_Material.m_nRgbDstFactor, 2);
    EXPECT_EQ(m_Material.m_nAlphaSrcFactor, 15);
    EXPECT_EQ(m_Material.m_nAlphaDstFactor, 15);
}

TEST_F(MaterialLoad, HexadecimalAndOctalColourIntegers)
{
    std::vector<std::string> items = MaterialItems();
    items[0] = "0xFF, 0200, 0x0, 0100"; // 255, 128, 0, 64
    WriteFile("Default.mtl", JoinItems(items));
    ASSERT_EQ(Load(), 1);
    EXPECT_EQ(m_Material.m_nConstantColor, 0xFF800040u);
}

TEST_F(MaterialLoad, MissingFileGivesTheBuiltInMaterial)
{
    // A first load names a texture, so the name is not empty.
    WriteFile("Default.mtl", JoinItems(MaterialItems("tex.3df")));
    ASSERT_EQ(Load(), 1);
    ASSERT_NE(m_Material.m_pTexture, nullptr);
    RemoveFile("Default.mtl");
    Scribble();
    ASSERT_EQ(Load(), 1);
    EXPECT_EQ(m_Material.m_nConstantColor, 0xFFFFFF80u) << "-128: white, alpha 128";
    EXPECT_EQ(m_Material.m_nColorCombine, 11);
    EXPECT_EQ(m_Material.m_nRgbSrcFactor, 4);
    EXPECT_EQ(m_Material.m_nRgbDstFactor, 2);
    EXPECT_EQ(m_Material.m_nAlphaSrcFactor, 4);
    EXPECT_EQ(m_Material.m_nAlphaDstFactor, 0);
    EXPECT_EQ(m_Material.m_nAlphaFunction, 3);
    EXPECT_EQ(m_Material.m_nAlphaFactor, 8);
    EXPECT_EQ(m_Material.m_nAlphaLocal, 0);
    EXPECT_EQ(m_Material.m_nAlphaOther, 0);
    EXPECT_EQ(m_Material.m_bAlphaInvert, 0);
    EXPECT_EQ(m_Material.m_nTextureCombine, 0);
    EXPECT_EQ(m_Material.m_pTexture, nullptr) << "the previous texture is released";
    EXPECT_STREQ(m_Material.m_strTextureName, "tex.3df") << "the name keeps its last value";
}

TEST_F(MaterialLoad, FreshMaterialWithoutFileKeepsAnEmptyName)
{
    ASSERT_EQ(Load(), 1);
    EXPECT_STREQ(m_Material.m_strTextureName, "");
    EXPECT_EQ(m_Material.m_nColorCombine, 11);
}

TEST_F(MaterialLoad, NullOnlyInThisCaseMeansNoTexture)
{
    WriteFile("Default.mtl", JoinItems(MaterialItems("NULL")));
    ASSERT_EQ(Load(), 1);
    ASSERT_NE(m_Material.m_pTexture, nullptr) << "NULL is a file name";
    ASSERT_EQ(RecordingGlide::CountOf("gu3dfGetInfo"), 1);
    EXPECT_EQ(RecordingGlide::CallsNamed("gu3dfGetInfo")[0].strings[0], m_strDirectory + "NULL");
    EXPECT_STREQ(m_Material.m_strTextureName, "NULL");
}

TEST_F(MaterialLoad, TextureIsLoadedFromTheProgramDirectoryAfterItem12)
{
    WriteFile("Default.mtl", JoinItems(MaterialItems("stone.3df")));
    ASSERT_EQ(Load(), 1);
    ASSERT_NE(m_Material.m_pTexture, nullptr);
    EXPECT_EQ(m_Material.m_pTexture->m_nMipMapId, 0u);
    const std::string strPath = m_strDirectory + "stone.3df";
    const std::vector<std::string> expected = {
        "gu3dfGetInfo(\"" + strPath + "\",ptr)",
        "gu3dfLoad(\"" + strPath + "\",ptr)",
        "guTexAllocateMemory(0,3,256,256,10,1,8,0,3,0,0,1,1,0,0)",
        "guTexDownloadMipMap(0,ptr,ptr)",
    };
    EXPECT_EQ(RecordingGlide::Texts(), expected);
    EXPECT_STREQ(m_Material.m_strTextureName, "stone.3df");
    EXPECT_EQ(m_Material.m_nTextureCombine, 1) << "item 13 is read after the texture";
}

TEST_F(MaterialLoad, MissingTextureFailsAndSkipsItem13)
{
    RecordingGlide::Settings().bGetInfoResult = FXFALSE;
    WriteFile("Default.mtl", JoinItems(MaterialItems("missing.3df")));
    m_Material.m_nTextureCombine = 99;
    EXPECT_EQ(Load(), 0);
    EXPECT_EQ(m_Material.m_nTextureCombine, 99) << "item 13 is not read";
    ASSERT_NE(m_Material.m_pTexture, nullptr) << "the texture stays attached";
    EXPECT_EQ(m_Material.m_pTexture->m_nMipMapId, 0u);
    EXPECT_EQ(RecordingGlide::CountOf("gu3dfLoad"), 0);
    EXPECT_EQ(RecordingGlide::CountOf("guTexAllocateMemory"), 0);
}

TEST_F(MaterialLoad, DamagedTextureFails)
{
    RecordingGlide::Settings().bLoadResult = FXFALSE;
    WriteFile("Default.mtl", JoinItems(MaterialItems("damaged.3df")));
    EXPECT_EQ(Load(), 0);
    EXPECT_EQ(RecordingGlide::CountOf("guTexAllocateMemory"), 0);
    EXPECT_EQ(RecordingGlide::CountOf("guTexDownloadMipMap"), 0);
}

TEST_F(MaterialLoad, ExhaustedTextureMemoryFailsAndKeepsTheNullHandle)
{
    RecordingGlide::Settings().nAllocateResult = GR_NULL_MIPMAP_HANDLE;
    WriteFile("Default.mtl", JoinItems(MaterialItems("tex.3df")));
    EXPECT_EQ(Load(), 0);
    ASSERT_NE(m_Material.m_pTexture, nullptr);
    EXPECT_EQ(m_Material.m_pTexture->m_nMipMapId, 0xFFFFFFFFu);
    EXPECT_EQ(RecordingGlide::CountOf("guTexDownloadMipMap"), 0);
}

TEST_F(MaterialLoad, EveryLoadAllocatesTextureMemoryAgain)
{
    WriteFile("Default.mtl", JoinItems(MaterialItems("tex.3df")));
    RecordingGlide::Settings().nAllocateResult = 4;
    ASSERT_EQ(Load(), 1);
    RecordingGlide::Settings().nAllocateResult = 5;
    ASSERT_EQ(Load(), 1);
    EXPECT_EQ(RecordingGlide::CountOf("guTexAllocateMemory"), 2);
    EXPECT_EQ(RecordingGlide::AllocationCount(), 2) << "the first allocation is not reused";
    EXPECT_EQ(m_Material.m_pTexture->m_nMipMapId, 5u);
    EXPECT_EQ(RecordingGlide::CountOf("guTexDownloadMipMap"), 2);
}

TEST_F(MaterialLoad, LoadReleasesThePreviousTexture)
{
    WriteFile("Default.mtl", JoinItems(MaterialItems("tex.3df")));
    ASSERT_EQ(Load(), 1);
    ASSERT_NE(m_Material.m_pTexture, nullptr);
    WriteFile("Default.mtl", JoinItems(MaterialItems("Null")));
    ASSERT_EQ(Load(), 1);
    EXPECT_EQ(m_Material.m_pTexture, nullptr);
}

// A file cut short after any item is rejected; the items before the cut
// are stored as they were read.
TEST_F(MaterialLoad, TruncatedFilesAreRejected)
{
    const std::vector<std::string> all = MaterialItems();
    for (std::size_t nKept = 0; nKept < all.size(); ++nKept)
    {
        const std::vector<std::string> kept(all.begin(), all.begin() + nKept);
        WriteFile("Default.mtl", nKept == 0 ? std::string() : JoinItems(kept));
        Scribble();
        EXPECT_EQ(Load(), 0) << "file with " << nKept << " items";
        if (nKept >= 1)
            EXPECT_EQ(m_Material.m_nConstantColor, 0xFF800040u) << nKept << " items";
        else
            EXPECT_EQ(m_Material.m_nConstantColor, 0x12345678u);
        if (nKept >= 3)
            EXPECT_EQ(m_Material.m_nRgbSrcFactor, 1) << nKept << " items";
        else
            EXPECT_EQ(m_Material.m_nRgbSrcFactor, 99) << nKept << " items";
        EXPECT_EQ(m_Material.m_nTextureCombine, 99) << nKept << " items";
    }
}

TEST_F(MaterialLoad, MismatchedItem1IsRejectedBeforeAnythingIsStored)
{
    const char* const kBad[] = {"255 , 128, 0, 64", "255, 128, 0", "white", "255 128 0 64"};
    for (const char* pchItem : kBad)
    {
        std::vector<std::string> items = MaterialItems();
        items[0] = pchItem;
        WriteFile("Default.mtl", JoinItems(items));
        Scribble();
        EXPECT_EQ(Load(), 0) << pchItem;
        EXPECT_EQ(m_Material.m_nConstantColor, 0x12345678u) << pchItem;
        EXPECT_EQ(m_Material.m_nColorCombine, 99) << pchItem;
    }
}

TEST_F(MaterialLoad, OverLongWordIsRejectedInEveryItem)
{
    for (std::size_t nItem = 1; nItem < 13; ++nItem)
    {
        std::vector<std::string> items = MaterialItems();
        items[nItem] = std::string(260, 'W');
        WriteFile("Default.mtl", JoinItems(items));
        EXPECT_EQ(Load(), 0) << "item " << nItem + 1;
    }
    EXPECT_EQ(RecordingGlide::CountOf("gu3dfGetInfo"), 0);
}

TEST_F(MaterialLoad, TextureNameOf259CharactersIsAcceptedWhenThePathFits)
{
    // The scratch directory is short; 259 characters plus it exceed the
    // path buffer, so this name fails on the path, not on the word.
    const std::string strName(259, 't');
    WriteFile("Default.mtl", JoinItems(MaterialItems(strName)));
    EXPECT_EQ(Load(), 0);
    EXPECT_EQ(m_Material.m_strTextureName.GetLength(), 259) << "the word itself was read whole";
    EXPECT_EQ(RecordingGlide::CountOf("gu3dfGetInfo"), 0) << "a cut path is never opened";
}

TEST_F(MaterialLoad, TexturePathUpTo259CharactersIsOpened)
{
    const std::string strName(259 - m_strDirectory.size(), 'p');
    WriteFile("Default.mtl", JoinItems(MaterialItems(strName)));
    EXPECT_EQ(Load(), 1);
    ASSERT_EQ(RecordingGlide::CountOf("gu3dfGetInfo"), 1);
    EXPECT_EQ(RecordingGlide::CallsNamed("gu3dfGetInfo")[0].strings[0].size(), 259u);
}

TEST_F(MaterialLoad, MaterialPathLongerThanTheBufferFails)
{
    const std::string strName(260 - m_strDirectory.size(), 'm');
    WriteFile("Default.mtl", JoinItems(MaterialItems()));
    Scribble();
    EXPECT_EQ(Load(strName.c_str()), 0);
    EXPECT_EQ(m_Material.m_nColorCombine, 99) << "not mistaken for a missing file";
}

TEST_F(MaterialLoad, ProgramPathThatDoesNotFitFails)
{
    SetModulePath(m_strDirectory + std::string(300, 'x'));
    WriteFile("Default.mtl", JoinItems(MaterialItems()));
    Scribble();
    EXPECT_EQ(Load(), 0);
    EXPECT_EQ(m_Material.m_nColorCombine, 99);
}

TEST_F(MaterialLoad, ProgramPathThatCannotBeHadFails)
{
    SetModulePathFailure();
    Scribble();
    EXPECT_EQ(Load(), 0);
    EXPECT_EQ(m_Material.m_nColorCombine, 99);
}

TEST_F(MaterialLoad, DirectoryEndsAtTheLastBackslash)
{
    // On this file system a backslash is an ordinary character, so the
    // directory "<scratch>/bin\" names files "bin\<name>" in the scratch
    // directory.
    SetModulePath(m_strDirectory + "bin\\saver.scr");
    WriteFile("bin\\Default.mtl", JoinItems(MaterialItems("tex.3df")));
    ASSERT_EQ(Load(), 1);
    ExpectMaterialItems();
    ASSERT_EQ(RecordingGlide::CountOf("gu3dfGetInfo"), 1);
    EXPECT_EQ(RecordingGlide::CallsNamed("gu3dfGetInfo")[0].strings[0],
              m_strDirectory + "bin\\tex.3df");
}

TEST_F(MaterialLoad, ProgramPathWithoutSeparatorReadsFromTheCurrentDirectory)
{
    char achCurrent[PATH_MAX];
    ASSERT_NE(getcwd(achCurrent, sizeof(achCurrent)), nullptr);
    ASSERT_EQ(chdir(m_strDirectory.c_str()), 0);
    SetModulePath("saver.scr");
    WriteFile("Default.mtl", JoinItems(MaterialItems("tex.3df")));
    const Int32 nResult = Load();
    ASSERT_EQ(chdir(achCurrent), 0);
    ASSERT_EQ(nResult, 1);
    ExpectMaterialItems();
    ASSERT_EQ(RecordingGlide::CountOf("gu3dfGetInfo"), 1);
    EXPECT_EQ(RecordingGlide::CallsNamed("gu3dfGetInfo")[0].strings[0], "tex.3df");
}

TEST_F(MaterialLoad, ConstructionLeavesNoTextureAndAnEmptyQueue)
{
    Material material;
    EXPECT_EQ(material.m_pTexture, nullptr);
    EXPECT_STREQ(material.m_strTextureName, "");
    EXPECT_EQ(material.m_TriangleList.GetCount(), 0);
    EXPECT_EQ(material.m_TriangleList.GetFirst(), nullptr);
}

TEST_F(MaterialLoad, ReleaseTextureTwiceIsSafe)
{
    WriteFile("Default.mtl", JoinItems(MaterialItems("tex.3df")));
    ASSERT_EQ(Load(), 1);
    m_Material.ReleaseTexture();
    EXPECT_EQ(m_Material.m_pTexture, nullptr);
    m_Material.ReleaseTexture();
    EXPECT_EQ(m_Material.m_pTexture, nullptr);
    EXPECT_EQ(RecordingGlide::CountOf("guTexMemReset"), 0) << "texture memory is never handed back";
}

} // namespace
