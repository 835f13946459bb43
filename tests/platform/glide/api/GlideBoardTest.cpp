// The emulated board chosen by GLIDE_SW_BOARD, its configuration record, and which
// resolutions and buffer counts grSstWinOpen accepts on it.
#include "GlideTestSupport.h"
#include <string>

using namespace GlideTest;

namespace
{
struct BoardCase
{
    const char* pchValue; // GLIDE_SW_BOARD, or null for unset
    bool bFound;
    int nType;
    int nFbRam;
    int nTmus;
    int nTmuRam;
};

class GlideBoardKind : public ::testing::TestWithParam<BoardCase>
{
};

TEST_P(GlideBoardKind, QueryDescribesTheChosenBoard)
{
    const BoardCase& c = GetParam();
    ScopedEnv board("GLIDE_SW_BOARD", c.pchValue);
    ScopedEnv real("FX_GLIDE_REPORT_REAL_HW", nullptr);
    GrHwConfiguration hw;
    hw.num_sst = -1;
    ASSERT_EQ(grSstQueryBoards(&hw), FXTRUE);
    EXPECT_EQ(hw.num_sst, c.bFound ? 1 : 0);
    testing::internal::CaptureStderr();
    grGlideInit();
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(grSstQueryHardware(&hw), c.bFound ? FXTRUE : FXFALSE);
    if (c.bFound)
    {
        EXPECT_EQ(hw.num_sst, 1);
        EXPECT_EQ(hw.SSTs[0].type, c.nType);
        if (c.nType == GR_SSTTYPE_VOODOO)
        {
            const GrVoodooConfig_t& v = hw.SSTs[0].sstBoard.VoodooConfig;
            EXPECT_EQ(v.fbRam, c.nFbRam);
            EXPECT_EQ(v.nTexelfx, c.nTmus);
            EXPECT_EQ(v.tmuConfig[0].tmuRam, c.nTmuRam);
            EXPECT_GE(v.fbiRev, 2);
            EXPECT_GE(v.tmuConfig[0].tmuRev, 1);
        }
        else if (c.nType == GR_SSTTYPE_SST96)
        {
            EXPECT_EQ(hw.SSTs[0].sstBoard.SST96Config.fbRam, c.nFbRam);
            EXPECT_EQ(hw.SSTs[0].sstBoard.SST96Config.tmuConfig.tmuRam, c.nTmuRam);
        }
    }
    else
    {
        // No board: nothing opens.
        EXPECT_EQ(grSstWinOpen(0, GR_RESOLUTION_640x480, GR_REFRESH_60Hz, GR_COLORFORMAT_RGBA,
                               GR_ORIGIN_UPPER_LEFT, 2, 0),
                  FXFALSE);
    }
    grGlideShutdown();
}

// The Voodoo2 driver reports itself as a Voodoo Graphics board unless FX_GLIDE_REPORT_REAL_HW
// is set, so "voodoo2" shows type 0 here.
INSTANTIATE_TEST_SUITE_P(Boards, GlideBoardKind,
                         ::testing::Values(BoardCase{nullptr, true, GR_SSTTYPE_VOODOO, 2, 1, 2},
                                           BoardCase{"voodoo", true, GR_SSTTYPE_VOODOO, 2, 1, 2},
                                           BoardCase{"voodoo2", true, GR_SSTTYPE_VOODOO, 4, 2, 4},
                                           BoardCase{"sst96", true, GR_SSTTYPE_SST96, 2, 1, 2},
                                           BoardCase{"at3d", true, GR_SSTTYPE_AT3D, 0, 0, 0},
                                           BoardCase{"none", false, 0, 0, 0, 0},
                                           BoardCase{"banshee", true, GR_SSTTYPE_VOODOO, 2, 1, 2}));

TEST(GlideBoard, UnknownValueIsReportedAndTheDefaultUsed)
{
    ScopedEnv board("GLIDE_SW_BOARD", "voodoo9");
    testing::internal::CaptureStderr();
    grGlideInit();
    const std::string strErr = testing::internal::GetCapturedStderr();
    EXPECT_NE(strErr.find("GLIDE_SW_BOARD=voodoo9"), std::string::npos) << strErr;
    GrHwConfiguration hw;
    EXPECT_EQ(grSstQueryHardware(&hw), FXTRUE);
    EXPECT_EQ(hw.SSTs[0].type, GR_SSTTYPE_VOODOO);
    EXPECT_EQ(hw.SSTs[0].sstBoard.VoodooConfig.fbRam, 2);
    grGlideShutdown();
}

TEST(GlideBoard, Voodoo2ReportsItsOwnTypeWhenAskedTo)
{
    ScopedEnv board("GLIDE_SW_BOARD", "voodoo2");
    ScopedEnv real("FX_GLIDE_REPORT_REAL_HW", "1");
    grGlideInit();
    GrHwConfiguration hw;
    ASSERT_EQ(grSstQueryHardware(&hw), FXTRUE);
    EXPECT_EQ(hw.SSTs[0].type, GR_SSTTYPE_Voodoo2);
    EXPECT_EQ(hw.SSTs[0].sstBoard.Voodoo2Config.tmuConfig[1].tmuRam, 4);
    grGlideShutdown();
}

TEST(GlideBoard, NoBoardRaisesAFatalErrorThroughTheCallback)
{
    ScopedEnv board("GLIDE_SW_BOARD", "none");
    static int s_nCalls;
    static int s_bFatal;
    s_nCalls = 0;
    s_bFatal = 0;
    grErrorSetCallback(
        [](const char*, FxBool bFatal)
        {
            ++s_nCalls;
            s_bFatal = bFatal;
        });
    grGlideInit();
    EXPECT_EQ(s_nCalls, 1);
    EXPECT_EQ(s_bFatal, FXTRUE);
    grGlideShutdown();
    grErrorSetCallback(nullptr);
}

struct OpenCase
{
    const char* pchBoard;
    GrScreenResolution_t eResolution;
    int nColorBuffers;
    int nAuxBuffers;
    bool bOpens;
    int nWidth;
    int nHeight;
};

class GlideOpen : public ::testing::TestWithParam<OpenCase>
{
};

TEST_P(GlideOpen, AcceptsWhatTheBoardCanShow)
{
    const OpenCase& c = GetParam();
    ScopedEnv board("GLIDE_SW_BOARD", c.pchBoard);
    grGlideInit();
    const FxBool bOpened = grSstWinOpen(0, c.eResolution, GR_REFRESH_60Hz, GR_COLORFORMAT_RGBA,
                                        GR_ORIGIN_UPPER_LEFT, c.nColorBuffers, c.nAuxBuffers);
    EXPECT_EQ(bOpened, c.bOpens ? FXTRUE : FXFALSE);
    if (c.bOpens)
    {
        EXPECT_EQ(grSstScreenWidth(), FxU32(c.nWidth));
        EXPECT_EQ(grSstScreenHeight(), FxU32(c.nHeight));
        // A second open of an open board fails.
        EXPECT_EQ(grSstWinOpen(0, c.eResolution, GR_REFRESH_60Hz, GR_COLORFORMAT_RGBA,
                               GR_ORIGIN_UPPER_LEFT, c.nColorBuffers, c.nAuxBuffers),
                  FXFALSE);
    }
    grGlideShutdown();
}

// Frame-buffer memory: 2 MB on Voodoo Graphics holds w * h * 2 bytes per buffer:
// 800x600x2x2 = 1.92 MB fits, x3 = 2.88 MB does not; 856x480x2x3 = 2.47 MB does not;
// 960x720x2x2 = 2.76 MB never fits; 1024x768x2x2 = 3.1 MB fits the Voodoo2's 4 MB.
INSTANTIATE_TEST_SUITE_P(
    Resolutions, GlideOpen,
    ::testing::Values(OpenCase{"voodoo", GR_RESOLUTION_640x480, 2, 0, true, 640, 480},
                      OpenCase{"voodoo", GR_RESOLUTION_640x480, 2, 1, true, 640, 480},
                      OpenCase{"voodoo", GR_RESOLUTION_800x600, 2, 0, true, 800, 600},
                      OpenCase{"voodoo", GR_RESOLUTION_800x600, 2, 1, false, 0, 0},
                      OpenCase{"voodoo", GR_RESOLUTION_800x600, 3, 0, false, 0, 0},
                      OpenCase{"voodoo", GR_RESOLUTION_856x480, 2, 1, false, 0, 0},
                      OpenCase{"voodoo", GR_RESOLUTION_960x720, 2, 0, false, 0, 0},
                      OpenCase{"voodoo", GR_RESOLUTION_512x384, 3, 1, true, 512, 384},
                      OpenCase{"voodoo", GR_RESOLUTION_400x300, 2, 0, false, 0, 0},
                      OpenCase{"voodoo", GR_RESOLUTION_NONE, 2, 0, false, 0, 0},
                      OpenCase{"voodoo", GR_RESOLUTION_640x480, 1, 0, false, 0, 0},
                      OpenCase{"voodoo", GR_RESOLUTION_640x480, 2, 2, false, 0, 0},
                      OpenCase{"voodoo", 0x42, 2, 0, false, 0, 0},
                      OpenCase{"voodoo2", GR_RESOLUTION_1024x768, 2, 0, true, 1024, 768},
                      OpenCase{"voodoo2", GR_RESOLUTION_320x240, 2, 0, false, 0, 0},
                      OpenCase{"voodoo2", GR_RESOLUTION_640x480, 3, 1, true, 640, 480},
                      OpenCase{"sst96", GR_RESOLUTION_400x300, 2, 0, true, 400, 300}));

TEST(GlideBoard, OpenFailsForBadFormatsAndOrigins)
{
    ScopedEnv board("GLIDE_SW_BOARD", "voodoo");
    grGlideInit();
    EXPECT_EQ(
        grSstWinOpen(0, GR_RESOLUTION_640x480, GR_REFRESH_60Hz, 7, GR_ORIGIN_UPPER_LEFT, 2, 0),
        FXFALSE);
    EXPECT_EQ(grSstWinOpen(0, GR_RESOLUTION_640x480, GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB,
                           GR_ORIGIN_ANY, 2, 0),
              FXFALSE);
    grGlideShutdown();
}

TEST(GlideBoard, CloseReturnsToTheStateAfterInit)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    grSstWinClose();
    EXPECT_EQ(grSstScreenWidth(), 0u);
    GrHwConfiguration hw;
    EXPECT_EQ(grSstQueryHardware(&hw), FXTRUE);
    std::uint16_t nPixel = 0;
    EXPECT_EQ(grLfbReadRegion(GR_BUFFER_BACKBUFFER, 0, 0, 1, 1, 2, &nPixel), FXFALSE);
    EXPECT_EQ(grSstWinOpen(0, GR_RESOLUTION_320x240, GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB,
                           GR_ORIGIN_UPPER_LEFT, 2, 0),
              FXTRUE);
}

TEST(GlideBoard, CallsBeforeInitAndWithoutABoardAreHarmless)
{
    ScopedEnv board("GLIDE_SW_BOARD", "voodoo");
    GrVertex v = Vertex(1, 1);
    grDrawTriangle(&v, &v, &v);
    grBufferClear(0, 0, 0);
    grBufferSwap(1);
    grColorCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_CONSTANT,
                   GR_COMBINE_OTHER_NONE, FXFALSE);
    guTexSource(0);
    EXPECT_EQ(guTexAllocateMemory(
                  GR_TMU0, GR_MIPMAPLEVELMASK_BOTH, 1, 1, GR_TEXFMT_RGB_565, GR_MIPMAP_DISABLE,
                  GR_LOD_1, GR_LOD_1, GR_ASPECT_1x1, GR_TEXTURECLAMP_WRAP, GR_TEXTURECLAMP_WRAP,
                  GR_TEXTUREFILTER_POINT_SAMPLED, GR_TEXTUREFILTER_POINT_SAMPLED, 0.0f, FXFALSE),
              GR_NULL_MIPMAP_HANDLE);
    std::uint16_t nPixel;
    EXPECT_EQ(grLfbReadRegion(GR_BUFFER_BACKBUFFER, 0, 0, 1, 1, 2, &nPixel), FXFALSE);
    EXPECT_EQ(grSstControl(GR_CONTROL_DEACTIVATE), FXFALSE);
}

TEST(GlideBoard, VersionAndQueries)
{
    char achVersion[80] = {};
    grGlideGetVersion(achVersion);
    EXPECT_EQ(std::string(achVersion).rfind("Glide Version 2.", 0), 0u) << achVersion;
    Board board("voodoo", GR_RESOLUTION_512x384);
    ASSERT_TRUE(board.IsOpen());
    EXPECT_EQ(grSstScreenWidth(), 512u);
    EXPECT_EQ(grSstScreenHeight(), 384u);
    EXPECT_EQ(grBufferNumPending(), 0);
    EXPECT_EQ(grTexMinAddress(GR_TMU0), 0u);
    EXPECT_EQ(grTexMaxAddress(GR_TMU0), (2u << 20) - 8u);
}
} // namespace
