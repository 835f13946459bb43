// The trace recorder behind GLIDE_SW_TRACE, through glide.h: which calls it records (the
// program's own, not the calls entry points make to each other; none that change nothing),
// that it records what each call reads and only that, the state-only start of a stretch, and
// a trace started by the environment. Records are read back with the trace reader.
#include "GlideTestSupport.h"
#include "GlideTraceRecorder.h"
#include "TraceReader.h"
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>
#include <memory>

using namespace GlideTest;

namespace
{
// A recorded call, with its vertices and data copied out of the reader.
struct Call
{
    TraceCall eCall;
    std::vector<UInt32> anWords;
    std::vector<TraceVertexBits> aVertices;
    std::vector<Byte> abData;
};

class Trace
{
  public:
    // A file of this process alone: test processes run side by side.
    explicit Trace(const char* pchName)
        : m_strPath(testing::TempDir() + std::to_string(getpid()) + "-" + pchName)
    {
    }
    ~Trace()
    {
        GlideTraceRecorder::Stop(nullptr);
        std::remove(m_strPath.c_str());
    }
    const char* Path() const { return m_strPath.c_str(); }

    void Start(bool bPixels = true)
    {
        std::string strError;
        ASSERT_TRUE(GlideTraceRecorder::Start(Path(), bPixels, &strError)) << strError;
    }
    // Stops the recorder and reads every record.
    std::vector<Call> Stop()
    {
        std::string strError;
        EXPECT_TRUE(GlideTraceRecorder::Stop(&strError)) << strError;
        return Read();
    }
    std::vector<Call> Read()
    {
        std::vector<Call> aCalls;
        std::vector<Byte> abBytes;
        std::string strError;
        EXPECT_TRUE(TraceReader::LoadFile(Path(), &abBytes, &strError)) << strError;
        TraceReader reader;
        EXPECT_TRUE(reader.Open(abBytes.data(), abBytes.size())) << reader.Error();
        TraceRecord record;
        while (reader.Next(&record))
        {
            Call call;
            call.eCall = record.eCall;
            call.anWords.assign(record.anWords, record.anWords + record.nWords);
            call.aVertices.assign(record.pVertices, record.pVertices + record.nVertices);
            call.abData.assign(record.pData, record.pData + record.nData);
            aCalls.push_back(call);
        }
        EXPECT_FALSE(reader.Failed()) << reader.Error();
        return aCalls;
    }

  private:
    std::string m_strPath;
};

std::vector<TraceCall> CallsOf(const std::vector<Call>& aCalls)
{
    std::vector<TraceCall> aeCalls;
    for (const Call& call : aCalls)
        aeCalls.push_back(call.eCall);
    return aeCalls;
}

const Call* Find(const std::vector<Call>& aCalls, TraceCall eCall, Int32 nNth = 0)
{
    for (const Call& call : aCalls)
        if (call.eCall == eCall && nNth-- == 0)
            return &call;
    return nullptr;
}

bool SameVertex(const TraceVertexBits& bits, const GrVertex& vertex)
{
    return std::memcmp(bits.anFloats, &vertex, sizeof vertex) == 0;
}

UInt32 Bits(float f)
{
    UInt32 n;
    std::memcpy(&n, &f, 4);
    return n;
}

TEST(GlideTraceTest, RecordsTheProgramsOwnCallsInOrder)
{
    Trace trace("own-calls.gtr");
    trace.Start();
    {
        Board board;
        ASSERT_TRUE(board.IsOpen());
        guColorCombineFunction(GR_COLORCOMBINE_TEXTURE_TIMES_ITRGB);
        grDisableAllEffects();
        grConstantColorValue4(1.0f, 0.5f, 0.25f, 2.0f);
        const GrVertex a = Vertex(10, 10), b = Vertex(50, 10), c = Vertex(10, 50);
        grDrawTriangle(&a, &b, &c);
        grBufferSwap(1);
    }
    const std::vector<Call> aCalls = trace.Stop();
    // Board: grGlideInit, grSstWinOpen, grDitherMode, grBufferClear; grGlideShutdown at the end.
    // grSstWinOpen's own state reset, the grColorCombine inside guColorCombineFunction and the
    // five calls inside grDisableAllEffects are not recorded: replaying the outer call makes them.
    const std::vector<TraceCall> aeExpected = {TraceCall::GlideInit,
                                               TraceCall::SstWinOpen,
                                               TraceCall::DitherMode,
                                               TraceCall::BufferClear,
                                               TraceCall::ColorCombineFunction,
                                               TraceCall::DisableAllEffects,
                                               TraceCall::ConstantColorValue4,
                                               TraceCall::DrawTriangle,
                                               TraceCall::BufferSwap,
                                               TraceCall::GlideShutdown};
    EXPECT_EQ(aeExpected, CallsOf(aCalls));
    ASSERT_EQ(aeExpected.size(), aCalls.size());
    // grSstWinOpen(0, 320x240, 60 Hz, ARGB, upper left, 2 buffers, no aux), no window.
    const std::vector<UInt32> anOpen = {
        0, GR_RESOLUTION_320x240, GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB, GR_ORIGIN_UPPER_LEFT, 2, 0};
    EXPECT_EQ(anOpen, aCalls[1].anWords);
    EXPECT_EQ(UInt32(TraceBoard::Voodoo), aCalls[0].anWords[0]);
    EXPECT_EQ(std::vector<UInt32>{GR_COLORCOMBINE_TEXTURE_TIMES_ITRGB}, aCalls[4].anWords);
    const std::vector<UInt32> anColor4 = {Bits(1.0f), Bits(0.5f), Bits(0.25f), Bits(2.0f)};
    EXPECT_EQ(anColor4, aCalls[6].anWords);
    EXPECT_EQ(std::vector<UInt32>{1u}, aCalls[8].anWords);
}

TEST(GlideTraceTest, DrawingCallsCarryTheWholeVertices)
{
    Trace trace("vertices.gtr");
    trace.Start();
    GrVertex a = Vertex(10, 10, 1, 2, 3, 4, 0.5f, 0.25f, 0.5f);
    GrVertex b = Vertex(60, 12, 5, 6, 7, 8, 1.5f, 0.75f, 0.25f);
    GrVertex c = Vertex(20, 70, 9, 10, 11, 12);
    GrVertex d = Vertex(80, 80);
    // Every field distinct, the second TMU's too: all 15 floats are kept.
    a.z = -3.0f;
    a.ooz = 1234.5f;
    a.tmuvtx[1].sow = 11.0f;
    a.tmuvtx[1].tow = 12.0f;
    a.tmuvtx[1].oow = 13.0f;
    {
        Board board;
        grDrawTriangle(&a, &b, &c);
        grDrawTriangle(&c, &b, &d); // shares two vertices with the first
        const int anIndices[4] = {3, 0, 2, 1};
        const GrVertex aList[4] = {a, b, c, d};
        grDrawPolygon(4, anIndices, aList);
        grAADrawTriangle(&a, &b, &c, FXTRUE, FXFALSE, FXTRUE);
        grDrawLine(&a, &d);
        grDrawPoint(&b);
        guDrawPolygonVertexListWithClip(3, aList);
    }
    const std::vector<Call> aCalls = trace.Stop();
    const Call* pFirst = Find(aCalls, TraceCall::DrawTriangle, 0);
    const Call* pSecond = Find(aCalls, TraceCall::DrawTriangle, 1);
    const Call* pPolygon = Find(aCalls, TraceCall::DrawPolygon);
    const Call* pAA = Find(aCalls, TraceCall::AADrawTriangle);
    const Call* pLine = Find(aCalls, TraceCall::DrawLine);
    const Call* pPoint = Find(aCalls, TraceCall::DrawPoint);
    const Call* pClipped = Find(aCalls, TraceCall::DrawPolygonVertexListWithClip);
    ASSERT_TRUE(pFirst && pSecond && pPolygon && pAA && pLine && pPoint && pClipped);
    ASSERT_EQ(3u, pFirst->aVertices.size());
    EXPECT_TRUE(SameVertex(pFirst->aVertices[0], a));
    EXPECT_TRUE(SameVertex(pFirst->aVertices[1], b));
    EXPECT_TRUE(SameVertex(pFirst->aVertices[2], c));
    EXPECT_TRUE(SameVertex(pSecond->aVertices[0], c));
    EXPECT_TRUE(SameVertex(pSecond->aVertices[2], d));
    // The polygon's vertices in the order its index list names them.
    ASSERT_EQ(4u, pPolygon->aVertices.size());
    EXPECT_TRUE(SameVertex(pPolygon->aVertices[0], d));
    EXPECT_TRUE(SameVertex(pPolygon->aVertices[1], a));
    EXPECT_TRUE(SameVertex(pPolygon->aVertices[3], b));
    EXPECT_EQ((std::vector<UInt32>{1, 0, 1}), pAA->anWords);
    EXPECT_TRUE(SameVertex(pAA->aVertices[2], c));
    ASSERT_EQ(2u, pLine->aVertices.size());
    EXPECT_TRUE(SameVertex(pLine->aVertices[1], d));
    ASSERT_EQ(1u, pPoint->aVertices.size());
    EXPECT_TRUE(SameVertex(pPoint->aVertices[0], b));
    EXPECT_EQ(3u, pClipped->aVertices.size());
}

TEST(GlideTraceTest, CallsThatChangeNothingAreNotRecorded)
{
    Trace trace("nothing.gtr");
    trace.Start();
    const GrVertex a = Vertex(10, 10), b = Vertex(50, 10), c = Vertex(10, 50);
    grGlideInit();
    grDrawTriangle(&a, &b, &c); // no board open yet
    {
        Board board;
        grDrawTriangle(&a, nullptr, &c);
        grDrawPoint(nullptr);
        grDrawPolygonVertexList(2, &a);                     // fewer than 3 vertices
        guDrawPolygonVertexListWithClip(65, &a);            // more than a clipped polygon takes
        guTexDownloadMipMap(GrMipMapId_t(77), &a, nullptr); // no such handle
        grGlideSetState(nullptr);
        grFogTable(nullptr);
        // Queries are not recorded at all.
        GrSstPerfStats_t stats;
        grSstPerfStats(&stats);
        grTexCalcMemRequired(GR_LOD_8, GR_LOD_8, GR_ASPECT_1x1, GR_TEXFMT_RGB_565);
    }
    const std::vector<Call> aCalls = trace.Stop();
    const std::vector<TraceCall> aeExpected = {TraceCall::GlideInit,   TraceCall::GlideInit,
                                               TraceCall::SstWinOpen,  TraceCall::DitherMode,
                                               TraceCall::BufferClear, TraceCall::GlideShutdown};
    EXPECT_EQ(aeExpected, CallsOf(aCalls));
}

TEST(GlideTraceTest, TextureDataIsExactlyWhatTheCallReads)
{
    Trace trace("textures.gtr");
    trace.Start();
    // An 8x8 RGB565 level: 16 bytes a row; row r holds bytes 16r .. 16r + 15. Room for the
    // smaller levels after it.
    Byte abLevel[256];
    for (Int32 i = 0; i < Int32(sizeof abLevel); ++i)
        abLevel[i] = Byte(i);
    GuNccTable ncc;
    std::memset(&ncc, 0, sizeof ncc);
    for (Int32 i = 0; i < 12; ++i)
        ncc.packed_data[i] = FxU32(0x01010101u * UInt32(i));
    GuTexPalette palette;
    for (Int32 i = 0; i < 256; ++i)
        palette.data[i] = FxU32(i * 0x010203);
    {
        Board board;
        grTexDownloadMipMapLevelPartial(GR_TMU0, 0, GR_LOD_8, GR_LOD_8, GR_ASPECT_1x1,
                                        GR_TEXFMT_RGB_565, GR_MIPMAPLEVELMASK_BOTH, abLevel, 2, 3);
        grTexDownloadMipMapLevel(GR_TMU0, 256, GR_LOD_8, GR_LOD_8, GR_ASPECT_1x1, GR_TEXFMT_RGB_565,
                                 GR_MIPMAPLEVELMASK_BOTH, abLevel);
        grTexDownloadMipMapLevelPartial(GR_TMU0, 0, GR_LOD_8, GR_LOD_8, GR_ASPECT_1x1,
                                        GR_TEXFMT_RGB_565, GR_MIPMAPLEVELMASK_BOTH, abLevel, 6, 9);
        GrTexInfo info = {GR_LOD_1, GR_LOD_8, GR_ASPECT_1x1, GR_TEXFMT_RGB_565, abLevel};
        grTexDownloadMipMap(GR_TMU0, 512, GR_MIPMAPLEVELMASK_BOTH, &info);
        grTexDownloadTable(GR_TMU0, GR_TEXTABLE_NCC1, &ncc);
        grTexDownloadTablePartial(GR_TMU0, GR_TEXTABLE_PALETTE, &palette, 10, 13);
        grTexDownloadMipMapLevel(GR_TMU1, 0, GR_LOD_8, GR_LOD_8, GR_ASPECT_1x1, GR_TEXFMT_RGB_565,
                                 GR_MIPMAPLEVELMASK_BOTH, abLevel);
    }
    const std::vector<Call> aCalls = trace.Stop();

    const Call* pPartial = Find(aCalls, TraceCall::TexDownloadMipMapLevelPartial, 0);
    ASSERT_TRUE(pPartial);
    // tmu, address, lod, large lod, aspect, format, parity, first row, last row, byte offset.
    const std::vector<UInt32> anPartial = {
        GR_TMU0, 0, GR_LOD_8, GR_LOD_8, GR_ASPECT_1x1, GR_TEXFMT_RGB_565, GR_MIPMAPLEVELMASK_BOTH,
        2,       3, 32};
    EXPECT_EQ(anPartial, pPartial->anWords);
    EXPECT_EQ(std::vector<Byte>(abLevel + 32, abLevel + 64), pPartial->abData);

    const Call* pLevel = Find(aCalls, TraceCall::TexDownloadMipMapLevel, 0);
    ASSERT_TRUE(pLevel);
    EXPECT_EQ(std::vector<Byte>(abLevel, abLevel + 128), pLevel->abData);

    // Rows 6..9 of an 8-row level: the call refuses them and reads nothing.
    const Call* pRefused = Find(aCalls, TraceCall::TexDownloadMipMapLevelPartial, 1);
    ASSERT_TRUE(pRefused);
    EXPECT_TRUE(pRefused->abData.empty());

    // 8x8, 4x4, 2x2 and 1x1 levels of 16 bits: 128 + 32 + 8 + 2 bytes.
    const Call* pChain = Find(aCalls, TraceCall::TexDownloadMipMap);
    ASSERT_TRUE(pChain);
    EXPECT_EQ(std::vector<Byte>(abLevel, abLevel + 128 + 32 + 8 + 2), pChain->abData);

    const Call* pNcc = Find(aCalls, TraceCall::TexDownloadTable);
    ASSERT_TRUE(pNcc);
    ASSERT_EQ(sizeof ncc, pNcc->abData.size());
    EXPECT_EQ(0, std::memcmp(&ncc, pNcc->abData.data(), sizeof ncc));
    // The table's address, so that a replay knows a repeated one.
    const std::uint64_t llAddress = std::uint64_t(reinterpret_cast<std::uintptr_t>(&ncc));
    EXPECT_EQ(UInt32(llAddress), pNcc->anWords[2]);
    EXPECT_EQ(UInt32(llAddress >> 32), pNcc->anWords[3]);

    const Call* pPalette = Find(aCalls, TraceCall::TexDownloadTablePartial);
    ASSERT_TRUE(pPalette);
    ASSERT_EQ(16u, pPalette->abData.size()); // entries 10..13
    EXPECT_EQ(0, std::memcmp(&palette.data[10], pPalette->abData.data(), 16));

    // Voodoo Graphics has one TMU: TMU 1 reads nothing.
    const Call* pNoTmu = Find(aCalls, TraceCall::TexDownloadMipMapLevel, 1);
    ASSERT_TRUE(pNoTmu);
    EXPECT_TRUE(pNoTmu->abData.empty());
}

TEST(GlideTraceTest, GuDownloadsCarryTheLevelsAndTheTable)
{
    Trace trace("gu.gtr");
    trace.Start();
    Byte abTexels[16 * 16 + 8 * 8 + 4 * 4];
    for (Int32 i = 0; i < Int32(sizeof abTexels); ++i)
        abTexels[i] = Byte(255 - i);
    GuTexTable table;
    std::memset(&table, 0, sizeof table);
    for (Int32 i = 0; i < 256; ++i)
        table.palette.data[i] = FxU32(i);
    {
        Board board;
        // A 16x16 P_8 texture with its levels down to 4x4: 256 + 64 + 16 bytes.
        const GrMipMapId_t id = guTexAllocateMemory(
            GR_TMU0, GR_MIPMAPLEVELMASK_BOTH, 16, 16, GR_TEXFMT_P_8, GR_MIPMAP_NEAREST, GR_LOD_4,
            GR_LOD_16, GR_ASPECT_1x1, GR_TEXTURECLAMP_WRAP, GR_TEXTURECLAMP_CLAMP,
            GR_TEXTUREFILTER_BILINEAR, GR_TEXTUREFILTER_POINT_SAMPLED, 0.5f, FXFALSE);
        ASSERT_NE(GR_NULL_MIPMAP_HANDLE, id);
        guTexDownloadMipMap(id, abTexels, &table.nccTable);
        const void* pLevel = abTexels;
        guTexDownloadMipMapLevel(id, GR_LOD_8, &pLevel);
        guTexSource(id);
    }
    const std::vector<Call> aCalls = trace.Stop();
    const Call* pAllocate = Find(aCalls, TraceCall::GuTexAllocateMemory);
    ASSERT_TRUE(pAllocate);
    ASSERT_EQ(15u, pAllocate->anWords.size());
    EXPECT_EQ(UInt32(GR_TEXFMT_P_8), pAllocate->anWords[4]);
    EXPECT_EQ(Bits(0.5f), pAllocate->anWords[13]);
    const Call* pDownload = Find(aCalls, TraceCall::GuTexDownloadMipMap);
    ASSERT_TRUE(pDownload);
    // The handle, the table's size (a palette for P_8), then levels and table as data.
    EXPECT_EQ((std::vector<UInt32>{0u, 1024u}), pDownload->anWords);
    ASSERT_EQ(256u + 64 + 16 + 1024, pDownload->abData.size());
    EXPECT_EQ(0, std::memcmp(abTexels, pDownload->abData.data(), 336));
    EXPECT_EQ(0, std::memcmp(&table, pDownload->abData.data() + 336, 1024));
    const Call* pLevel = Find(aCalls, TraceCall::GuTexDownloadMipMapLevel);
    ASSERT_TRUE(pLevel);
    EXPECT_EQ(std::vector<Byte>(abTexels, abTexels + 64), pLevel->abData);
    // guTexSource's own grTexSource, filter and clamp calls are not recorded.
    EXPECT_EQ(nullptr, Find(aCalls, TraceCall::TexSource));
    EXPECT_NE(nullptr, Find(aCalls, TraceCall::GuTexSource));
}

TEST(GlideTraceTest, LinearFrameBufferWritesCarryTheirPixels)
{
    Trace trace("lfb.gtr");
    trace.Start();
    // Two rows of three 565 pixels, the program's rows 8 bytes apart.
    const FxU16 anRows[2][4] = {{1, 2, 3, 0xDEAD}, {4, 5, 6, 0xBEEF}};
    std::vector<FxU16> anBack;
    {
        Board board;
        ASSERT_TRUE(grLfbWriteRegion(GR_BUFFER_BACKBUFFER, 5, 7, GR_LFB_SRC_FMT_565, 3, 2, 8,
                                     const_cast<FxU16*>(&anRows[0][0])));
        // Outside the 320x240 screen: refused, nothing read.
        EXPECT_FALSE(grLfbWriteRegion(GR_BUFFER_BACKBUFFER, 319, 0, GR_LFB_SRC_FMT_565, 3, 2, 8,
                                      const_cast<FxU16*>(&anRows[0][0])));
        GrLfbInfo_t info;
        info.size = sizeof info;
        ASSERT_TRUE(grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_565,
                              GR_ORIGIN_UPPER_LEFT, FXFALSE, &info));
        static_cast<FxU16*>(info.lfbPtr)[0] = 0x1234;
        grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER);
        anBack = board.Read();
    }
    const std::vector<Call> aCalls = trace.Stop();
    const Call* pWrite = Find(aCalls, TraceCall::LfbWriteRegion, 0);
    ASSERT_TRUE(pWrite);
    EXPECT_EQ((std::vector<UInt32>{GR_BUFFER_BACKBUFFER, 5, 7, GR_LFB_SRC_FMT_565, 3, 2}),
              pWrite->anWords);
    // The rows without the stride's padding.
    const FxU16 anPacked[6] = {1, 2, 3, 4, 5, 6};
    ASSERT_EQ(12u, pWrite->abData.size());
    EXPECT_EQ(0, std::memcmp(anPacked, pWrite->abData.data(), 12));
    const Call* pRefused = Find(aCalls, TraceCall::LfbWriteRegion, 1);
    ASSERT_TRUE(pRefused);
    EXPECT_TRUE(pRefused->abData.empty());
    // A write lock's unlock is followed by the buffer as the unlock left it.
    const Call* pUnlock = Find(aCalls, TraceCall::LfbUnlock);
    ASSERT_TRUE(pUnlock);
    EXPECT_TRUE(pUnlock->abData.empty());
    const Call* pImage = nullptr;
    for (const Call& call : aCalls)
        if (&call > pUnlock && call.eCall == TraceCall::BufferImage && !call.anWords.empty() &&
            call.anWords[0] == GR_BUFFER_BACKBUFFER)
        {
            pImage = &call;
            break;
        }
    ASSERT_TRUE(pImage);
    ASSERT_EQ(anBack.size() * 2, pImage->abData.size());
    EXPECT_EQ(0, std::memcmp(anBack.data(), pImage->abData.data(), pImage->abData.size()));
    EXPECT_NE(nullptr, Find(aCalls, TraceCall::LfbLock));
}

TEST(GlideTraceTest, AStretchRecordsStateOnlyUntilItsPixelsBegin)
{
    Trace trace("stretch.gtr");
    trace.Start(false);
    const GrVertex a = Vertex(10, 10, 255, 0, 0), b = Vertex(90, 10, 255, 0, 0),
                   c = Vertex(10, 90, 255, 0, 0);
    std::vector<FxU16> anFront, anBack;
    {
        Board board;
        grColorCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_ITERATED,
                       GR_COMBINE_OTHER_NONE, FXFALSE);
        grDrawTriangle(&a, &b, &c); // before the stretch: drawn, not recorded
        grBufferSwap(0);
        grBufferClear(0x00112233u, 0, 0);
        grCullMode(GR_CULL_NEGATIVE); // state: recorded
        anFront = board.Read(GR_BUFFER_FRONTBUFFER);
        anBack = board.Read(GR_BUFFER_BACKBUFFER);
        GlideTraceRecorder::Active()->BeginPixels();
        grDrawTriangle(&a, &b, &c);
    }
    const std::vector<Call> aCalls = trace.Stop();
    const std::vector<TraceCall> aeExpected = {
        TraceCall::GlideInit,    TraceCall::SstWinOpen,   TraceCall::DitherMode,
        TraceCall::ColorCombine, TraceCall::CullMode,     TraceCall::BufferImage,
        TraceCall::BufferImage,  TraceCall::DrawTriangle, TraceCall::GlideShutdown};
    EXPECT_EQ(aeExpected, CallsOf(aCalls));
    ASSERT_EQ(aeExpected.size(), aCalls.size());
    // The buffers as the stretch found them: front (the swapped triangle), back (the clear).
    EXPECT_EQ((std::vector<UInt32>{GR_BUFFER_FRONTBUFFER, 320, 240}), aCalls[5].anWords);
    ASSERT_EQ(anFront.size() * 2, aCalls[5].abData.size());
    EXPECT_EQ(0, std::memcmp(anFront.data(), aCalls[5].abData.data(), aCalls[5].abData.size()));
    EXPECT_EQ(UInt32(GR_BUFFER_BACKBUFFER), aCalls[6].anWords[0]);
    EXPECT_EQ(0, std::memcmp(anBack.data(), aCalls[6].abData.data(), aCalls[6].abData.size()));
}

TEST(GlideTraceTest, StartRefusesASecondTraceAndAnUnwritablePath)
{
    Trace trace("first.gtr");
    trace.Start();
    std::string strError;
    EXPECT_FALSE(GlideTraceRecorder::Start(trace.Path(), true, &strError));
    EXPECT_NE(std::string::npos, strError.find("already")) << strError;
    trace.Stop();
    EXPECT_EQ(nullptr, GlideTraceRecorder::Active());
    EXPECT_FALSE(GlideTraceRecorder::Start("/nonexistent-folder/t.gtr", true, &strError));
    EXPECT_NE(std::string::npos, strError.find("/nonexistent-folder/t.gtr")) << strError;
    EXPECT_EQ(nullptr, GlideTraceRecorder::Active());
}

TEST(GlideTraceTest, TheEnvironmentStartsATraceAtGrGlideInit)
{
    Trace trace("environment.gtr");
    {
        ScopedEnv env("GLIDE_SW_TRACE", trace.Path());
        Board board("voodoo2");
        ASSERT_NE(nullptr, GlideTraceRecorder::Active());
        grBufferSwap(0);
    }
    const std::vector<Call> aCalls = trace.Stop();
    ASSERT_FALSE(aCalls.empty());
    EXPECT_EQ(TraceCall::GlideInit, aCalls[0].eCall);
    EXPECT_EQ(UInt32(TraceBoard::Voodoo2), aCalls[0].anWords[0]);
    EXPECT_NE(nullptr, Find(aCalls, TraceCall::BufferSwap));
    EXPECT_EQ(TraceCall::GlideShutdown, aCalls.back().eCall);

    // A path that cannot be written is reported and Glide works without a trace.
    {
        ScopedEnv env("GLIDE_SW_TRACE", "/nonexistent-folder/t.gtr");
        testing::internal::CaptureStderr();
        Board board;
        const std::string strError = testing::internal::GetCapturedStderr();
        EXPECT_TRUE(board.IsOpen());
        EXPECT_EQ(nullptr, GlideTraceRecorder::Active());
        EXPECT_NE(std::string::npos, strError.find("GLIDE_SW_TRACE")) << strError;
    }
}
} // namespace
