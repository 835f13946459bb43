// Tests of the recording Glide itself: the log, the canonical text, the answers of the queries.
#include "RecordingGlide.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace
{
class RecordingGlideTest : public ::testing::Test
{
  protected:
    void SetUp() override { RecordingGlide::Reset(); }
};

FxU16 PixelFromCoordinates(FxU32 x, FxU32 y)
{
    return static_cast<FxU16>(y * 100 + x);
}
} // namespace

TEST_F(RecordingGlideTest, RecordsNamesArgumentsAndTextInCallOrder)
{
    grGlideInit();
    grSstWinOpen(0, GR_RESOLUTION_640x480, GR_REFRESH_60Hz, GR_COLORFORMAT_RGBA,
                 GR_ORIGIN_UPPER_LEFT, 2, 0);
    grTexLodBiasValue(GR_TMU0, 0.5f);
    grBufferClear(0xFF000080u, 0, 65535);

    const std::vector<std::string> expected = {"grGlideInit()", "grSstWinOpen(0,7,0,2,0,2,0)",
                                               "grTexLodBiasValue(0,0.5)",
                                               "grBufferClear(4278190208,0,65535)"};
    EXPECT_EQ(RecordingGlide::Texts(), expected);
    const RecordedCall& open = RecordingGlide::Calls()[1];
    EXPECT_EQ(open.name, "grSstWinOpen");
    EXPECT_EQ(open.args, (std::vector<double>{0, 7, 0, 2, 0, 2, 0}));
    EXPECT_EQ(RecordingGlide::Calls()[3].args[0], 4278190208.0);
}

TEST_F(RecordingGlideTest, PointersAndStringsAreKeptAndShownWithoutAddresses)
{
    Gu3dfInfo info;
    gu3dfGetInfo("dir/tex.3df", &info);
    grDrawTriangle(nullptr, nullptr, nullptr);

    const RecordedCall& getInfo = RecordingGlide::Calls()[0];
    EXPECT_EQ(getInfo.text, "gu3dfGetInfo(\"dir/tex.3df\",ptr)");
    ASSERT_EQ(getInfo.strings.size(), 1u);
    EXPECT_EQ(getInfo.strings[0], "dir/tex.3df");
    ASSERT_EQ(getInfo.pointers.size(), 2u);
    EXPECT_EQ(getInfo.pointers[1], &info);
    EXPECT_EQ(getInfo.args, (std::vector<double>{1, 1}));
    EXPECT_EQ(RecordingGlide::Calls()[1].text, "grDrawTriangle(null,null,null)");
}

TEST_F(RecordingGlideTest, FiltersByNameAndClears)
{
    grCullMode(GR_CULL_NEGATIVE);
    grBufferSwap(1);
    grCullMode(GR_CULL_DISABLE);

    EXPECT_EQ(RecordingGlide::CountOf("grCullMode"), 2);
    const std::vector<RecordedCall> culls = RecordingGlide::CallsNamed("grCullMode");
    ASSERT_EQ(culls.size(), 2u);
    EXPECT_EQ(culls[0].args[0], GR_CULL_NEGATIVE);
    EXPECT_EQ(culls[1].args[0], GR_CULL_DISABLE);
    EXPECT_EQ(RecordingGlide::Names(),
              (std::vector<std::string>{"grCullMode", "grBufferSwap", "grCullMode"}));

    RecordingGlide::Clear();
    EXPECT_TRUE(RecordingGlide::Calls().empty());
}

TEST_F(RecordingGlideTest, TrianglesAreCopiedAtTheCall)
{
    GrVertex aVertex[3];
    std::memset(aVertex, 0, sizeof(aVertex));
    aVertex[0].x = 1.0f;
    aVertex[1].y = 2.0f;
    aVertex[2].tmuvtx[0].sow = 64.0f;
    grDrawTriangle(&aVertex[0], &aVertex[1], &aVertex[2]);
    aVertex[0].x = 99.0f; // the engine reuses its storage; the copy must not change

    ASSERT_EQ(RecordingGlide::Triangles().size(), 1u);
    const RecordedTriangle& triangle = RecordingGlide::Triangles()[0];
    EXPECT_EQ(triangle.v[0].x, 1.0f);
    EXPECT_EQ(triangle.v[1].y, 2.0f);
    EXPECT_EQ(triangle.v[2].tmuvtx[0].sow, 64.0f);
}

TEST_F(RecordingGlideTest, HardwareQueryReportsTheChosenBoardOrNone)
{
    GrHwConfiguration hw;
    EXPECT_EQ(grSstQueryHardware(&hw), FXTRUE);
    EXPECT_EQ(hw.num_sst, 1);
    EXPECT_EQ(hw.SSTs[0].type, GR_SSTTYPE_VOODOO);
    EXPECT_EQ(hw.SSTs[0].sstBoard.VoodooConfig.tmuConfig[0].tmuRam, 2);

    RecordingGlide::Settings().nBoardType = GR_SSTTYPE_SST96;
    EXPECT_EQ(grSstQueryHardware(&hw), FXTRUE);
    EXPECT_EQ(hw.SSTs[0].type, GR_SSTTYPE_SST96);

    RecordingGlide::Settings().nBoardType = RecordingGlideSettings::kNoBoard;
    EXPECT_EQ(grSstQueryHardware(&hw), FXFALSE);
    EXPECT_EQ(hw.num_sst, 0);
    grSstQueryBoards(&hw);
    EXPECT_EQ(hw.num_sst, 0);
}

TEST_F(RecordingGlideTest, WindowOpenResultAndScreenSize)
{
    EXPECT_EQ(grSstScreenWidth(), 640u);
    EXPECT_EQ(grSstWinOpen(0, GR_RESOLUTION_800x600, 0, 2, 0, 2, 0), FXTRUE);
    EXPECT_EQ(grSstScreenWidth(), 800u);
    EXPECT_EQ(grSstScreenHeight(), 600u);
    RecordingGlide::Settings().bWinOpenResult = FXFALSE;
    EXPECT_EQ(grSstWinOpen(0, GR_RESOLUTION_512x384, 0, 2, 0, 2, 0), FXFALSE);
    EXPECT_EQ(grSstScreenWidth(), 800u);
}

TEST_F(RecordingGlideTest, TextureFileQueriesAnswerFromTheSettings)
{
    RecordingGlideSettings& settings = RecordingGlide::Settings();
    settings.getInfoHeader = {64, 32, GR_LOD_1, GR_LOD_64, GR_ASPECT_2x1, GR_TEXFMT_P_8};
    settings.nGetInfoMemRequired = 2731;
    settings.nLoadFill = 0x3C;

    Gu3dfInfo info;
    std::memset(&info, 0, sizeof(info));
    ASSERT_EQ(gu3dfGetInfo("a.3df", &info), FXTRUE);
    EXPECT_EQ(info.header.width, 64u);
    EXPECT_EQ(info.header.height, 32u);
    EXPECT_EQ(info.header.aspect_ratio, GR_ASPECT_2x1);
    EXPECT_EQ(info.header.format, GR_TEXFMT_P_8);
    EXPECT_EQ(info.mem_required, 2731u);

    std::vector<unsigned char> data(2731 + 1, 0);
    info.data = data.data();
    ASSERT_EQ(gu3dfLoad("a.3df", &info), FXTRUE);
    EXPECT_EQ(data[0], 0x3C);
    EXPECT_EQ(data[2730], 0x3C);
    EXPECT_EQ(data[2731], 0); // nothing past mem_required
    EXPECT_EQ(info.table.palette.data[255], 0x3C3C3C3Cu);

    settings.bGetInfoResult = FXFALSE;
    settings.bLoadResult = FXFALSE;
    EXPECT_EQ(gu3dfGetInfo("a.3df", &info), FXFALSE);
    EXPECT_EQ(gu3dfLoad("a.3df", &info), FXFALSE);
}

TEST_F(RecordingGlideTest, AllocationsAreCountedAndCanFail)
{
    RecordingGlide::Settings().nAllocateResult = 7;
    EXPECT_EQ(guTexAllocateMemory(0, 3, 256, 256, GR_TEXFMT_RGB_565, GR_MIPMAP_NEAREST, GR_LOD_1,
                                  GR_LOD_256, GR_ASPECT_1x1, 0, 0, 1, 1, 0.0f, FXFALSE),
              7u);
    RecordingGlide::Settings().nAllocateResult = GR_NULL_MIPMAP_HANDLE;
    EXPECT_EQ(guTexAllocateMemory(0, 3, 256, 256, GR_TEXFMT_RGB_565, GR_MIPMAP_NEAREST, GR_LOD_1,
                                  GR_LOD_256, GR_ASPECT_1x1, 0, 0, 1, 1, 0.0f, FXFALSE),
              GR_NULL_MIPMAP_HANDLE);
    EXPECT_EQ(RecordingGlide::AllocationCount(), 1);
    EXPECT_EQ(RecordingGlide::CallsNamed("guTexAllocateMemory")[0].args.size(), 15u);

    EXPECT_EQ(guTexGetCurrentMipMap(0), GR_NULL_MIPMAP_HANDLE);
    guTexSource(7);
    EXPECT_EQ(guTexGetCurrentMipMap(0), 7u);
}

TEST_F(RecordingGlideTest, LfbReadRegionFillsTheRegionHonouringTheStride)
{
    RecordingGlide::Settings().pfnLfbPixel = PixelFromCoordinates;
    const FxU32 nStride = 10; // 5 pixels per row, 3 written
    std::vector<FxU16> buffer(5 * 3, 0xFFFF);
    ASSERT_EQ(grLfbReadRegion(GR_BUFFER_BACKBUFFER, 2, 1, 3, 2, nStride, buffer.data()), FXTRUE);
    EXPECT_EQ(buffer[0], 102); // (2,1)
    EXPECT_EQ(buffer[2], 104); // (4,1)
    EXPECT_EQ(buffer[3], 0xFFFF);
    EXPECT_EQ(buffer[5], 202); // (2,2)
    EXPECT_EQ(buffer[10], 0xFFFF);

    RecordingGlide::Settings().pfnLfbPixel = nullptr;
    RecordingGlide::Settings().nLfbFill = 0xF800;
    ASSERT_EQ(grLfbReadRegion(GR_BUFFER_BACKBUFFER, 0, 0, 1, 1, 2, buffer.data()), FXTRUE);
    EXPECT_EQ(buffer[0], 0xF800);
    RecordingGlide::Settings().bLfbReadResult = FXFALSE;
    EXPECT_EQ(grLfbReadRegion(GR_BUFFER_BACKBUFFER, 0, 0, 1, 1, 2, buffer.data()), FXFALSE);
}

TEST_F(RecordingGlideTest, ResetRestoresTheDefaults)
{
    RecordingGlide::Settings().bWinOpenResult = FXFALSE;
    RecordingGlide::Settings().nAllocateResult = 3;
    guTexAllocateMemory(0, 3, 8, 8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0.0f, 0);
    RecordingGlide::Reset();
    EXPECT_EQ(RecordingGlide::Settings().bWinOpenResult, FXTRUE);
    EXPECT_EQ(RecordingGlide::Settings().nAllocateResult, 0u);
    EXPECT_EQ(RecordingGlide::AllocationCount(), 0);
    EXPECT_TRUE(RecordingGlide::Calls().empty());
}
