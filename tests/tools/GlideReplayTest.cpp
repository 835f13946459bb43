// glide-replay's player: a program's frames, recorded and played back, are the same frames,
// pixel for pixel, over every kind of call the recorder knows (state, gu and gr textures, NCC
// tables and palettes, a table sent twice from one address, polygons, points, lines, clipping,
// LFB writes and locks, saved state, an auxiliary buffer); and records with any values at all
// (as a damaged trace may carry) play without reading outside the player's buffers.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <ostream>
#include <string>
#include <unistd.h>
#include <vector>

#include "FrameReadBack.h"
#include "GlideTestSupport.h"
#include "GlideTraceRecorder.h"
#include "TracePlayer.h"
#include "TraceReader.h"
#include "TraceWriter.h"

using namespace GlideTest;

namespace
{
std::vector<FxU16> Front()
{
    const int nWidth = (int)grSstScreenWidth(), nHeight = (int)grSstScreenHeight();
    std::vector<FxU16> anPixels((size_t)nWidth * (size_t)nHeight);
    EXPECT_TRUE(grLfbReadRegion(GR_BUFFER_FRONTBUFFER, 0, 0, (FxU32)nWidth, (FxU32)nHeight,
                                (FxU32)nWidth * 2, anPixels.data()));
    return anPixels;
}

// An 8x8 texture of 16-bit texels in a pattern, with its smaller levels after it.
std::vector<FxU16> Texels16(int nSeed)
{
    std::vector<FxU16> anTexels(8 * 8 + 4 * 4 + 2 * 2 + 1);
    for (size_t i = 0; i < anTexels.size(); i++)
        anTexels[i] = (FxU16)((i * 2654435761u + (unsigned)nSeed * 40503u) >> 8);
    return anTexels;
}

std::vector<FxU8> Texels8(int nSeed)
{
    std::vector<FxU8> anTexels(8 * 8 + 4 * 4 + 2 * 2 + 1);
    for (size_t i = 0; i < anTexels.size(); i++)
        anTexels[i] = (FxU8)(i * 37 + (size_t)nSeed * 11);
    return anTexels;
}

void Quad(float x0, float y0, float x1, float y1, float fOow = 1.0f)
{
    DrawRect(x0, y0, x1, y1, 0, 0, 8 * 32.0f * fOow, 8 * 32.0f * fOow, 200, 100, 50, 128);
}

// Three frames of everything the recorder knows; fills apFrames with each swapped frame.
// A trace file of this process alone: test processes run side by side.
std::string ScratchPath(const char* pchName)
{
    return testing::TempDir() + pchName + "-" + std::to_string(getpid()) + ".gtr";
}

void DrawScenario(std::vector<std::vector<FxU16>>& rFrames)
{
    // Frame 1: a gu texture (bilinear, wrapping, mip-mapped), Gouraud colour, blending.
    std::vector<FxU16> anRgb = Texels16(1);
    const GrMipMapId_t id = guTexAllocateMemory(
        GR_TMU0, GR_MIPMAPLEVELMASK_BOTH, 8, 8, GR_TEXFMT_RGB_565, GR_MIPMAP_NEAREST, GR_LOD_1,
        GR_LOD_8, GR_ASPECT_1x1, GR_TEXTURECLAMP_WRAP, GR_TEXTURECLAMP_WRAP,
        GR_TEXTUREFILTER_BILINEAR, GR_TEXTUREFILTER_BILINEAR, 0.0f, FXFALSE);
    guTexDownloadMipMap(id, anRgb.data(), nullptr);
    guTexSource(id);
    grTexCombineFunction(GR_TMU0, GR_TEXTURECOMBINE_DECAL);
    guColorCombineFunction(GR_COLORCOMBINE_TEXTURE_TIMES_ITRGB);
    grAlphaBlendFunction(GR_BLEND_ONE, GR_BLEND_ONE_MINUS_SRC_COLOR, GR_BLEND_ONE, GR_BLEND_ZERO);
    grDitherMode(GR_DITHER_4x4);
    grBufferClear(0x00204060, 0, 0xFFFF);
    Quad(10, 10, 150, 120, 0.5f);
    const GrVertex a = Vertex(20, 130, 255, 0, 0, 255, 0, 0, 0.25f);
    const GrVertex b = Vertex(300, 140, 0, 255, 0, 255, 200, 10, 1.0f);
    const GrVertex c = Vertex(60, 230, 0, 0, 255, 255, 30, 250, 0.5f);
    grDrawTriangle(&a, &b, &c);
    grCullMode(GR_CULL_NEGATIVE);
    grDrawTriangle(&a, &c, &b);
    grCullMode(GR_CULL_DISABLE);
    grBufferSwap(0);
    rFrames.push_back(Front());

    // Frame 2: a write lock, gr textures with an NCC table sent twice from one address
    // (changed between, so the second send must be skipped), a palette in two parts, polygons,
    // points, lines, the clip window, LFB writes.
    grBufferClear(0x00000000, 0, 0xFFFF);
    // A write lock's unlock carries the whole buffer: first, so the drawing after it counts.
    GrLfbInfo_t info;
    info.size = sizeof info;
    if (grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_565,
                  GR_ORIGIN_UPPER_LEFT, FXFALSE, &info))
    {
        FxU16* pRow = static_cast<FxU16*>(info.lfbPtr) + 5 * (info.strideInBytes / 2);
        for (int x = 0; x < 50; x++)
            pRow[x] = (FxU16)(x * 1311);
        grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER);
    }
    std::vector<FxU8> anYiq = Texels8(2);
    GrTexInfo yiq = {GR_LOD_1, GR_LOD_8, GR_ASPECT_1x1, GR_TEXFMT_YIQ_422, anYiq.data()};
    const FxU32 nYiqAt = 4096;
    grTexDownloadMipMap(GR_TMU0, nYiqAt, GR_MIPMAPLEVELMASK_BOTH, &yiq);
    GuNccTable ncc;
    std::memset(&ncc, 0, sizeof ncc);
    for (int i = 0; i < 4; i++)
        ncc.packed_data[i] = 0x40302010u + 0x10101010u * (FxU32)i;
    // Small I and Q offsets (9-bit fields: red 26..18, green 17..9, blue 8..0), so that Y shows.
    auto field = [](int v) { return (FxU32)v & 0x1FFu; };
    for (int k = 0; k < 4; k++)
    {
        ncc.packed_data[4 + k] = field(10 * k) << 18 | field(-5 * k) << 9 | field(3 * k);
        ncc.packed_data[8 + k] = field(-4 * k) << 18 | field(2 * k) << 9 | field(-6 * k);
    }
    grTexDownloadTable(GR_TMU0, GR_TEXTABLE_NCC0, &ncc);
    grTexSource(GR_TMU0, nYiqAt, GR_MIPMAPLEVELMASK_BOTH, &yiq);
    grTexNCCTable(GR_TMU0, GR_NCCTABLE_NCC0);
    grTexFilterMode(GR_TMU0, GR_TEXTUREFILTER_POINT_SAMPLED, GR_TEXTUREFILTER_POINT_SAMPLED);
    guColorCombineFunction(GR_COLORCOMBINE_DECAL_TEXTURE);
    grAlphaBlendFunction(GR_BLEND_ONE, GR_BLEND_ZERO, GR_BLEND_ONE, GR_BLEND_ZERO);
    Quad(0, 0, 100, 100);
    for (int i = 0; i < 4; i++)
        ncc.packed_data[i] = 0xFFFFFFFFu; // every Y 255: the second quad would be white
    grTexDownloadTable(GR_TMU0, GR_TEXTABLE_NCC0, &ncc); // same address: not sent again
    Quad(100, 0, 200, 100);

    std::vector<FxU8> anP8 = Texels8(3);
    GrTexInfo p8 = {GR_LOD_8, GR_LOD_8, GR_ASPECT_1x1, GR_TEXFMT_P_8, anP8.data()};
    grTexDownloadMipMapLevel(GR_TMU0, 8192, GR_LOD_8, GR_LOD_8, GR_ASPECT_1x1, GR_TEXFMT_P_8,
                             GR_MIPMAPLEVELMASK_BOTH, anP8.data());
    grTexDownloadMipMapLevelPartial(GR_TMU0, 8192, GR_LOD_8, GR_LOD_8, GR_ASPECT_1x1, GR_TEXFMT_P_8,
                                    GR_MIPMAPLEVELMASK_BOTH, anRgb.data(), 2, 4);
    GuTexPalette palette;
    for (int i = 0; i < 256; i++)
        palette.data[i] = (FxU32)(i * 0x00010305u);
    grTexDownloadTablePartial(GR_TMU0, GR_TEXTABLE_PALETTE, &palette, 0, 127);
    grTexDownloadTablePartial(GR_TMU0, GR_TEXTABLE_PALETTE, &palette, 128, 255);
    grTexSource(GR_TMU0, 8192, GR_MIPMAPLEVELMASK_BOTH, &p8);
    grClipWindow(20, 110, 300, 200);
    Quad(0, 100, 320, 240);
    grClipWindow(0, 0, 320, 240);

    guColorCombineFunction(GR_COLORCOMBINE_ITRGB);
    const GrVertex aPolygon[5] = {Vertex(220, 20, 255, 255, 0), Vertex(300, 40, 0, 255, 255),
                                  Vertex(310, 90, 255, 0, 255), Vertex(250, 100, 90, 90, 90),
                                  Vertex(210, 60, 10, 200, 30)};
    const int anOrder[5] = {0, 1, 2, 3, 4};
    grDrawPolygon(5, anOrder, aPolygon);
    grDrawPolygonVertexList(4, aPolygon + 1);
    grDrawPlanarPolygonVertexList(3, aPolygon);
    grDrawLine(&aPolygon[0], &aPolygon[2]);
    grDrawPoint(&aPolygon[3]);
    grAADrawTriangle(&aPolygon[0], &aPolygon[1], &aPolygon[4], FXTRUE, FXTRUE, FXFALSE);
    const GrVertex aOff[3] = {Vertex(-40, 200, 255, 0, 0), Vertex(360, 210, 0, 255, 0),
                              Vertex(100, 300, 0, 0, 255)};
    guDrawTriangleWithClip(&aOff[0], &aOff[1], &aOff[2]);
    const FxU16 anBlock[4 * 3] = {0xF800, 0x07E0, 0x001F, 0xFFFF, 0x1234, 0x5678,
                                  0x9ABC, 0xDEF0, 0x0F0F, 0xF0F0, 0x3333, 0xCCCC};
    grLfbWriteRegion(GR_BUFFER_BACKBUFFER, 300, 220, GR_LFB_SRC_FMT_565, 4, 3, 8,
                     const_cast<FxU16*>(anBlock));
    const FxU32 anArgb[2] = {0xFF102030u, 0x80FFEEDDu};
    grLfbWriteRegion(GR_BUFFER_BACKBUFFER, 0, 239, GR_LFB_SRC_FMT_888, 2, 1, 8,
                     const_cast<FxU32*>(anArgb));
    grBufferSwap(1);
    rFrames.push_back(Front());

    // Frame 3: saved and restored state, the depth buffer, fog, the alpha test, chroma key.
    GrState saved;
    grGlideGetState(&saved);
    grDepthBufferMode(GR_DEPTHBUFFER_ZBUFFER);
    grDepthBufferFunction(GR_CMP_LESS);
    grDepthMask(FXTRUE);
    grBufferClear(0x00102030, 0, 0xFFFF);
    GrFog_t aFog[GR_FOG_TABLE_SIZE];
    guFogGenerateExp(aFog, 0.01f);
    grFogTable(aFog);
    grFogColorValue(0x00FF8040);
    grFogMode(GR_FOG_WITH_TABLE);
    GrVertex near1 = Vertex(0, 0, 255, 255, 255, 255, 0, 0, 1.0f), near2 = near1, near3 = near1;
    near2.x = 200;
    near3.y = 200;
    near1.ooz = near2.ooz = near3.ooz = 30000.0f;
    grDrawTriangle(&near1, &near2, &near3);
    GrVertex far1 = Vertex(50, 50, 0, 0, 255, 255, 0, 0, 0.05f), far2 = far1, far3 = far1;
    far2.x = 300;
    far3.y = 230;
    far1.ooz = far2.ooz = far3.ooz = 60000.0f;
    grDrawTriangle(&far1, &far2, &far3);
    grFogMode(GR_FOG_DISABLE);
    grAlphaTestFunction(GR_CMP_GREATER);
    grAlphaTestReferenceValue(100);
    grChromakeyValue(0x00FFFFFF);
    grChromakeyMode(GR_CHROMAKEY_ENABLE);
    const GrVertex t1 = Vertex(150, 10, 255, 255, 255, 50),
                   t2 = Vertex(310, 10, 255, 255, 255, 250), t3 = Vertex(230, 120, 10, 20, 30, 200);
    grDrawTriangle(&t1, &t2, &t3);
    grGlideSetState(&saved);
    guTexSource(id);
    guColorCombineFunction(GR_COLORCOMBINE_TEXTURE_TIMES_ITRGB);
    Quad(200, 150, 310, 235);
    grBufferSwap(0);
    rFrames.push_back(Front());
}

// Plays a trace file through the player; the front buffer after each swap.
std::vector<std::vector<FxU16>> Replay(const std::vector<Byte>& abTrace)
{
    std::vector<std::vector<FxU16>> aFrames;
    TraceReader reader;
    EXPECT_TRUE(reader.Open(abTrace.data(), abTrace.size())) << reader.Error();
    TracePlayer player;
    TraceRecord record;
    while (reader.Next(&record))
    {
        player.Play(record);
        if (record.eCall == TraceCall::BufferSwap)
            aFrames.push_back(Front());
    }
    EXPECT_FALSE(reader.Failed()) << reader.Error();
    player.Reset();
    return aFrames;
}

struct BoardCase
{
    const char* pchBoard;
    GrScreenResolution_t eResolution;
    int nAuxBuffers;
};

// The board's name in test names and messages (a stable name, not the pointer's bytes).
void PrintTo(const BoardCase& c, std::ostream* pOut)
{
    *pOut << c.pchBoard << "-aux" << c.nAuxBuffers;
}

// Ends a trace a test started, however the test ends.
class RecorderGuard
{
  public:
    ~RecorderGuard() { GlideTraceRecorder::Stop(nullptr); }
};

class GlideReplayTest : public testing::TestWithParam<BoardCase>
{
};

TEST_P(GlideReplayTest, ReplayedFramesAreTheProgramsFrames)
{
    const std::string strPath = ScratchPath("scenario");
    std::vector<std::vector<FxU16>> aDrawn;
    std::string strError;
    RecorderGuard guard;
    ASSERT_TRUE(GlideTraceRecorder::Start(strPath.c_str(), true, &strError)) << strError;
    int nWidth = 0;
    {
        Board board(GetParam().pchBoard, GetParam().eResolution, GetParam().nAuxBuffers);
        nWidth = board.Width();
        ASSERT_TRUE(board.IsOpen());
        DrawScenario(aDrawn);
    }
    ASSERT_TRUE(GlideTraceRecorder::Stop(&strError)) << strError;

    std::vector<Byte> abTrace;
    ASSERT_TRUE(TraceReader::LoadFile(strPath.c_str(), &abTrace, &strError)) << strError;
    const std::vector<std::vector<FxU16>> aReplayed = Replay(abTrace);
    std::remove(strPath.c_str());
    ASSERT_EQ(3u, aDrawn.size());
    ASSERT_EQ(aDrawn.size(), aReplayed.size());
    for (size_t f = 0; f < aDrawn.size(); f++)
    {
        ASSERT_EQ(aDrawn[f].size(), aReplayed[f].size());
        size_t nDiffering = 0, nFirst = 0;
        for (size_t i = 0; i < aDrawn[f].size(); i++)
            if (aDrawn[f][i] != aReplayed[f][i] && nDiffering++ == 0)
                nFirst = i;
        EXPECT_EQ(0u, nDiffering) << "frame " << f + 1 << ": first difference at ("
                                  << nFirst % size_t(nWidth) << ", " << nFirst / size_t(nWidth)
                                  << ")";
    }
    // The scenario draws something different in each frame.
    EXPECT_NE(aDrawn[0], aDrawn[1]);
    EXPECT_NE(aDrawn[1], aDrawn[2]);
}

INSTANTIATE_TEST_SUITE_P(Boards, GlideReplayTest,
                         testing::Values(BoardCase{"voodoo", GR_RESOLUTION_320x240, 1},
                                         BoardCase{"voodoo2", GR_RESOLUTION_640x480, 1},
                                         BoardCase{"voodoo", GR_RESOLUTION_320x240, 0}),
                         [](const testing::TestParamInfo<BoardCase>& rInfo) {
                             return std::string(rInfo.param.pchBoard) + "_aux" +
                                    std::to_string(rInfo.param.nAuxBuffers);
                         });

// Writes one record of the call with every word set to nWord, vertices of fValue and nData
// bytes of data; returns false when the reader rejects it (a trace it would refuse).
bool WriteOdd(TraceWriter& rWriter, TraceCall eCall, UInt32 nWord, float fValue, UInt32 nData)
{
    const TraceCallShape* pShape = TraceFormat::Shape(eCall);
    rWriter.Begin(eCall);
    for (int i = 0; i < pShape->nWords; i++)
        rWriter.Word(nWord);
    UInt32 nVertices = 0;
    switch (pShape->eVertices)
    {
    case TraceVertices::One:
        nVertices = 1;
        break;
    case TraceVertices::Two:
        nVertices = 2;
        break;
    case TraceVertices::Three:
        nVertices = 3;
        break;
    case TraceVertices::Counted:
        nVertices = 5;
        rWriter.VertexCount(nVertices);
        break;
    case TraceVertices::None:
        break;
    }
    for (UInt32 v = 0; v < nVertices; v++)
    {
        float afVertex[TraceFormat::VertexFloats];
        for (float& f : afVertex)
            f = fValue * (float)(v + 1);
        rWriter.Vertex(afVertex);
    }
    if (pShape->bData)
    {
        rWriter.Data();
        const std::vector<Byte> abData(nData, 0xA5);
        rWriter.Bytes(abData.data(), abData.size());
    }
    rWriter.End();
    return true;
}

// A trace of one record; false when the reader refuses it (the player never sees such).
bool OneRecord(const std::string& strPath, TraceCall eCall, UInt32 nWord, float fValue,
               UInt32 nData, std::vector<Byte>* pabTrace)
{
    TraceWriter writer;
    if (!writer.Open(strPath.c_str()))
        return false;
    WriteOdd(writer, eCall, nWord, fValue, nData);
    std::string strError;
    if (!writer.Close() || !TraceReader::LoadFile(strPath.c_str(), pabTrace, &strError))
        return false;
    TraceReader reader;
    TraceRecord record;
    return reader.Open(pabTrace->data(), pabTrace->size()) && reader.Next(&record);
}

TEST(GlideReplayRobustnessTest, RecordsWithAnyValuesPlayWithoutHarm)
{
    // Every call, with words that are small, large, negative, huge; vertices far away, tiny and
    // not numbers; data of the smallest and a large size the reader lets through. Under the
    // address sanitizer any read outside the player's buffers fails the test.
    const UInt32 anWords[] = {0u, 1u, 2u, 7u, 255u, 320u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu};
    const float afValues[] = {0.0f,
                              100.0f,
                              -1e30f,
                              1e-30f,
                              std::numeric_limits<float>::quiet_NaN(),
                              std::numeric_limits<float>::infinity()};
    const std::string strPath = ScratchPath("odd");
    // The player first: its swaps never wait, whatever interval a record asks for.
    TracePlayer player;
    Board board("voodoo", GR_RESOLUTION_320x240, 1);
    ASSERT_TRUE(board.IsOpen());
    int nPlayed = 0;
    for (size_t w = 0; w < sizeof anWords / sizeof anWords[0]; w++)
        for (Byte nCall = Byte(TraceCall::Marker); nCall < Byte(TraceCall::End); nCall++)
        {
            const TraceCall eCall = TraceCall(nCall);
            // Closing the board would leave the rest with nothing to draw on.
            if (eCall == TraceCall::GlideShutdown || eCall == TraceCall::SstWinClose ||
                eCall == TraceCall::GlideInit || eCall == TraceCall::SstWinOpen)
                continue;
            const TraceCallShape* pShape = TraceFormat::Shape(eCall);
            const UInt32 nLarge = pShape->nMaxData < (1u << 20) ? pShape->nMaxData : (1u << 20);
            const UInt32 nData = (w % 2 == 0) ? pShape->nMinData : nLarge;
            std::vector<Byte> abTrace;
            if (!OneRecord(strPath, eCall, anWords[w], afValues[w % 6], nData, &abTrace))
                continue;
            TraceReader reader;
            TraceRecord record;
            ASSERT_TRUE(reader.Open(abTrace.data(), abTrace.size()));
            ASSERT_TRUE(reader.Next(&record));
            player.Play(record);
            nPlayed++;
        }
    std::remove(strPath.c_str());
    EXPECT_GT(nPlayed, 500);
    // The board still draws.
    grRenderBuffer(GR_BUFFER_BACKBUFFER);
    EXPECT_TRUE(grSstScreenWidth() == 320 || grSstScreenWidth() == 0);
}
} // namespace
