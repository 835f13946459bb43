// What the writer writes the reader gives back, and the layout on disk is the documented one
// (docs/trace-format.md): sizes below are counted by hand from it.
#include "TraceTestSupport.h"
#include "TraceVertexHistory.h"

using namespace TraceTest;

namespace
{
UInt32 Bits(float f)
{
    UInt32 n;
    std::memcpy(&n, &f, 4);
    return n;
}

TEST(TraceRoundTripTest, HeaderIsMagicVersionAndSize)
{
    TempFile file("header.gtr");
    TraceWriter writer;
    ASSERT_TRUE(writer.Open(file.Path())) << writer.Error();
    ASSERT_TRUE(writer.Close());
    const std::vector<Byte> abBytes = file.Bytes();
    const std::vector<Byte> abExpected = {'G', 'L', 'I', 'D', 'E', 'T', 'R', 'C',
                                          1,   0,   16,  0,   0,   0,   0,   0};
    EXPECT_EQ(abExpected, abBytes);
    std::vector<TraceRecord> aRecords;
    std::string strError;
    EXPECT_TRUE(ReadAll(abBytes, &aRecords, &strError)) << strError;
    EXPECT_TRUE(aRecords.empty());
}

TEST(TraceRoundTripTest, WordsAndFloatsComeBackBitForBit)
{
    TempFile file("words.gtr");
    TraceWriter writer;
    ASSERT_TRUE(writer.Open(file.Path()));
    writer.Begin(TraceCall::CullMode);
    writer.Word(2);
    writer.End();
    writer.Begin(TraceCall::ConstantColorValue4);
    writer.Float(0.25f);
    writer.Float(-1.5f);
    writer.Float(-0.0f);
    writer.Float(1e30f);
    writer.End();
    writer.Begin(TraceCall::ClipWindow);
    for (UInt32 n : {0u, 0xFFFFFFFFu, 0x80000000u, 0x12345678u})
        writer.Word(n);
    writer.End();
    ASSERT_TRUE(writer.Close());

    const std::vector<Byte> abBytes = file.Bytes();
    // 16-byte header; each record 5 bytes of call and length, then 4 bytes a word.
    EXPECT_EQ(16u + (5 + 4) + (5 + 16) + (5 + 16), abBytes.size());
    EXPECT_EQ(Byte(TraceCall::CullMode), abBytes[16]);
    EXPECT_EQ(4, abBytes[17]);
    EXPECT_EQ(2, abBytes[21]); // little-endian word

    std::vector<TraceRecord> aRecords;
    std::string strError;
    ASSERT_TRUE(ReadAll(abBytes, &aRecords, &strError)) << strError;
    ASSERT_EQ(3u, aRecords.size());
    EXPECT_EQ(TraceCall::CullMode, aRecords[0].eCall);
    EXPECT_EQ(1, aRecords[0].nWords);
    EXPECT_EQ(2u, aRecords[0].anWords[0]);
    EXPECT_EQ(TraceCall::ConstantColorValue4, aRecords[1].eCall);
    EXPECT_EQ(Bits(0.25f), aRecords[1].anWords[0]);
    EXPECT_EQ(Bits(-1.5f), aRecords[1].anWords[1]);
    EXPECT_EQ(0x80000000u, aRecords[1].anWords[2]); // -0.0 keeps its sign
    EXPECT_EQ(Bits(1e30f), aRecords[1].anWords[3]);
    EXPECT_EQ(0.25f, aRecords[1].WordFloat(0));
    EXPECT_EQ(0xFFFFFFFFu, aRecords[2].anWords[1]);
    EXPECT_EQ(0x12345678u, aRecords[2].anWords[3]);
    EXPECT_EQ(16u, aRecords[0].llOffset);
    EXPECT_EQ(1u, aRecords[1].llIndex);
}

TEST(TraceRoundTripTest, RepeatedVerticesTakeOneByteAndComeBackWhole)
{
    const TraceVertexBits a = NumberedVertex(100.0f), b = NumberedVertex(200.0f),
                          c = NumberedVertex(300.0f), d = NumberedVertex(400.0f);
    TempFile file("vertices.gtr");
    TraceWriter writer;
    ASSERT_TRUE(writer.Open(file.Path()));
    writer.Begin(TraceCall::DrawTriangle);
    WriteVertex(writer, a);
    WriteVertex(writer, b);
    WriteVertex(writer, c);
    writer.End();
    // The neighbouring triangle shares a and c.
    writer.Begin(TraceCall::DrawTriangle);
    WriteVertex(writer, a);
    WriteVertex(writer, c);
    WriteVertex(writer, d);
    writer.End();
    // A polygon: words first, then the count, then the vertices.
    writer.Begin(TraceCall::DrawPolygonVertexList);
    writer.VertexCount(4);
    WriteVertex(writer, d);
    WriteVertex(writer, c);
    WriteVertex(writer, b);
    WriteVertex(writer, a);
    writer.End();
    writer.Begin(TraceCall::AADrawTriangle);
    writer.Word(1);
    writer.Word(0);
    writer.Word(1);
    WriteVertex(writer, b);
    WriteVertex(writer, b);
    WriteVertex(writer, b);
    writer.End();
    ASSERT_TRUE(writer.Close());

    const std::vector<Byte> abBytes = file.Bytes();
    // Literal vertex: tag 0 and 60 bytes; repeated: one tag byte.
    const size_t nFirst = 5 + 3 * 61;
    const size_t nSecond = 5 + 1 + 1 + 61;
    const size_t nPolygon = 5 + 4 + 4 * 1;
    const size_t nAA = 5 + 12 + 3;
    EXPECT_EQ(16 + nFirst + nSecond + nPolygon + nAA, abBytes.size());
    // In the second triangle a is 3 literals back and c 1 back.
    EXPECT_EQ(3, abBytes[16 + nFirst + 5]);
    EXPECT_EQ(1, abBytes[16 + nFirst + 6]);
    EXPECT_EQ(0, abBytes[16 + nFirst + 7]);

    std::vector<TraceRecord> aRecords;
    std::string strError;
    TraceReader reader;
    ASSERT_TRUE(reader.Open(abBytes.data(), abBytes.size()));
    const TraceVertexBits aaExpected[4][4] = {{a, b, c}, {a, c, d}, {d, c, b, a}, {b, b, b}};
    const Int32 anCounts[4] = {3, 3, 4, 3};
    for (Int32 r = 0; r < 4; ++r)
    {
        TraceRecord record;
        ASSERT_TRUE(reader.Next(&record)) << reader.Error();
        ASSERT_EQ(anCounts[r], record.nVertices) << "record " << r;
        for (Int32 v = 0; v < anCounts[r]; ++v)
            EXPECT_TRUE(SameVertex(aaExpected[r][v], record.pVertices[v]))
                << "record " << r << " vertex " << v;
        if (r == 3)
        {
            EXPECT_EQ(3, record.nWords);
            EXPECT_EQ(1u, record.anWords[0]);
            EXPECT_EQ(1u, record.anWords[2]);
        }
    }
    TraceRecord record;
    EXPECT_FALSE(reader.Next(&record));
    EXPECT_FALSE(reader.Failed()) << reader.Error();
}

TEST(TraceRoundTripTest, DataComesBackWithItsWords)
{
    TempFile file("data.gtr");
    TraceWriter writer;
    ASSERT_TRUE(writer.Open(file.Path()));
    Byte abFog[64];
    for (Int32 i = 0; i < 64; ++i)
        abFog[i] = Byte(4 * i);
    writer.Begin(TraceCall::FogTable);
    writer.Data();
    writer.Bytes(abFog, 40);
    writer.Bytes(abFog + 40, 24); // data may arrive in parts
    writer.End();
    writer.Begin(TraceCall::LfbWriteRegion);
    for (UInt32 n : {1u, 2u, 3u, 0u, 2u, 1u})
        writer.Word(n);
    writer.Data();
    const Byte abPixels[4] = {0x11, 0x22, 0x33, 0x44};
    writer.Bytes(abPixels, 4);
    writer.End();
    writer.Begin(TraceCall::LfbUnlock); // data of none
    writer.Word(1);
    writer.Word(1);
    writer.Data();
    writer.End();
    const char szText[] = "vellumtide-capture first-frame=30 step=1/30";
    writer.Begin(TraceCall::Marker);
    writer.Data();
    writer.Bytes(szText, sizeof szText - 1);
    writer.End();
    ASSERT_TRUE(writer.Close());

    const std::vector<Byte> abBytes = file.Bytes();
    EXPECT_EQ(16u + (5 + 4 + 64) + (5 + 24 + 4 + 4) + (5 + 8 + 4) + (5 + 4 + sizeof szText - 1),
              abBytes.size());
    std::vector<TraceRecord> aRecords;
    std::string strError;
    ASSERT_TRUE(ReadAll(abBytes, &aRecords, &strError)) << strError;
    ASSERT_EQ(4u, aRecords.size());
    ASSERT_EQ(64u, aRecords[0].nData);
    EXPECT_EQ(0, std::memcmp(abFog, aRecords[0].pData, 64));
    ASSERT_EQ(4u, aRecords[1].nData);
    EXPECT_EQ(0x33, aRecords[1].pData[2]);
    EXPECT_EQ(3u, aRecords[1].anWords[2]);
    EXPECT_EQ(0u, aRecords[2].nData);
    EXPECT_EQ(std::string(szText),
              std::string(reinterpret_cast<const char*>(aRecords[3].pData), aRecords[3].nData));
}

TEST(TraceRoundTripTest, OpenFailsWithTheReasonForAPathThatCannotBeWritten)
{
    TraceWriter writer;
    EXPECT_FALSE(writer.Open("/nonexistent-folder/trace.gtr"));
    EXPECT_NE(std::string::npos, writer.Error().find("/nonexistent-folder/trace.gtr"))
        << writer.Error();
    EXPECT_FALSE(writer.IsOpen());
}

TEST(TraceFormatTest, CallNumbersAreTheFilesOwn)
{
    // Written traces depend on these values (docs/trace-format.md): they never move.
    struct Case
    {
        Byte nCall;
        const char* pchName;
        Int32 nWords;
    };
    const Case aCases[] = {
        {1, "marker", 0},
        {2, "grGlideInit", 3},
        {4, "grSstWinOpen", 7},
        {12, "grBufferSwap", 1},
        {17, "grLfbWriteRegion", 6},
        {24, "buffer image", 3},
        {27, "grDrawTriangle", 0},
        {34, "grAADrawTriangle", 3},
        {40, "grCullMode", 1},
        {62, "grDisableAllEffects", 0},
        {66, "grTexDownloadMipMapLevelPartial", 10},
        {80, "guTexAllocateMemory", 15},
        {85, "guTexMemReset", 0},
    };
    for (const Case& c : aCases)
    {
        const TraceCallShape* pShape = TraceFormat::Shape(c.nCall);
        ASSERT_NE(nullptr, pShape) << int(c.nCall);
        EXPECT_STREQ(c.pchName, pShape->pchName) << int(c.nCall);
        EXPECT_EQ(c.nWords, pShape->nWords) << c.pchName;
    }
    EXPECT_EQ(nullptr, TraceFormat::Shape(0));
    EXPECT_EQ(nullptr, TraceFormat::Shape(86));
    EXPECT_EQ(86, Int32(TraceCall::End));
}

TEST(TraceVertexHistoryTest, KeepsTheLast255LiteralsByTheirBits)
{
    TraceVertexHistory history;
    const TraceVertexBits first = NumberedVertex(0.0f);
    EXPECT_EQ(0u, history.Find(first));
    history.Push(first);
    EXPECT_EQ(1u, history.Find(first));
    // +0.0 and -0.0 compare equal as floats but are different vertices here.
    TraceVertexBits negativeZero = first;
    negativeZero.anFloats[0] = 0x80000000u;
    EXPECT_EQ(0u, history.Find(negativeZero));
    for (Int32 i = 1; i < 255; ++i)
        history.Push(NumberedVertex(float(1000 * i)));
    EXPECT_EQ(255u, history.Find(first)); // exactly as far back as a tag reaches
    TraceVertexBits back;
    ASSERT_TRUE(history.At(255, &back));
    EXPECT_TRUE(SameVertex(first, back));
    history.Push(NumberedVertex(-5.0f));
    EXPECT_EQ(0u, history.Find(first)); // now 256 back
    EXPECT_FALSE(history.At(256, &back));
    EXPECT_FALSE(history.At(0, &back));
    history.Reset();
    EXPECT_FALSE(history.At(1, &back));
}

TEST(TraceRoundTripTest, AVertexTooFarBackIsWrittenAgain)
{
    TempFile file("far.gtr");
    TraceWriter writer;
    ASSERT_TRUE(writer.Open(file.Path()));
    const TraceVertexBits first = NumberedVertex(7.0f);
    writer.Begin(TraceCall::DrawPoint);
    WriteVertex(writer, first);
    writer.End();
    for (Int32 i = 0; i < 300; ++i)
    {
        writer.Begin(TraceCall::DrawPoint);
        WriteVertex(writer, NumberedVertex(float(100 * (i + 1))));
        writer.End();
    }
    writer.Begin(TraceCall::DrawPoint);
    WriteVertex(writer, first);
    writer.End();
    ASSERT_TRUE(writer.Close());
    const std::vector<Byte> abBytes = file.Bytes();
    EXPECT_EQ(16u + 302 * (5 + 61), abBytes.size());
    TraceReader reader;
    ASSERT_TRUE(reader.Open(abBytes.data(), abBytes.size()));
    TraceRecord record;
    Int32 nRecords = 0;
    while (reader.Next(&record))
        ++nRecords;
    EXPECT_FALSE(reader.Failed()) << reader.Error();
    EXPECT_EQ(302, nRecords);
    EXPECT_TRUE(SameVertex(first, record.pVertices[0]));
}
} // namespace
