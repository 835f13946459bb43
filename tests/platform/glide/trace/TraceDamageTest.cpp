// Every way a trace can be damaged: cut short anywhere, a wrong header, lengths and counts that
// do not fit, data of a size the call cannot have, references to vertices that never came. The
// reader must stop with a message naming the place, deliver the records before it, and never
// read outside the bytes it was given (each case runs on a buffer of exactly its size, so the
// address sanitizer sees any overread).
#include "TraceTestSupport.h"

using namespace TraceTest;

namespace
{
// A trace of one record of each shape: words, vertices, counted vertices, data.
std::vector<Byte> SampleTrace()
{
    TempFile file("sample.gtr");
    TraceWriter writer;
    EXPECT_TRUE(writer.Open(file.Path()));
    writer.Begin(TraceCall::SstWinOpen);
    for (UInt32 n : {0u, 7u, 0u, 2u, 0u, 2u, 0u})
        writer.Word(n);
    writer.End();
    writer.Begin(TraceCall::DrawTriangle);
    WriteVertex(writer, NumberedVertex(1.0f));
    WriteVertex(writer, NumberedVertex(2.0f));
    WriteVertex(writer, NumberedVertex(3.0f));
    writer.End();
    writer.Begin(TraceCall::DrawPolygon);
    writer.VertexCount(3);
    WriteVertex(writer, NumberedVertex(3.0f));
    WriteVertex(writer, NumberedVertex(1.0f));
    WriteVertex(writer, NumberedVertex(9.0f));
    writer.End();
    writer.Begin(TraceCall::FogTable);
    writer.Data();
    const Byte abFog[64] = {1, 2, 3};
    writer.Bytes(abFog, sizeof abFog);
    writer.End();
    writer.Begin(TraceCall::BufferSwap);
    writer.Word(1);
    writer.End();
    EXPECT_TRUE(writer.Close());
    return file.Bytes();
}

// Record boundaries found from the bytes themselves (u8 call, u32 length, payload).
std::vector<size_t> Boundaries(const std::vector<Byte>& abBytes)
{
    std::vector<size_t> anAt;
    size_t nAt = 16;
    while (nAt < abBytes.size())
    {
        anAt.push_back(nAt);
        nAt += 5 + size_t(abBytes[nAt + 1] | abBytes[nAt + 2] << 8 | abBytes[nAt + 3] << 16 |
                          abBytes[nAt + 4] << 24);
    }
    anAt.push_back(abBytes.size());
    return anAt;
}

struct Outcome
{
    bool bOpened = false;
    Int32 nRecords = 0;
    std::string strError;
};

// Reads a copy of exactly the bytes given.
Outcome Read(const std::vector<Byte>& abBytes)
{
    Outcome outcome;
    std::unique_ptr<Byte[]> pbCopy(new Byte[abBytes.size() + 1]);
    if (!abBytes.empty())
        std::memcpy(pbCopy.get(), abBytes.data(), abBytes.size());
    TraceReader reader;
    outcome.bOpened = reader.Open(pbCopy.get(), abBytes.size());
    TraceRecord record;
    while (outcome.bOpened && reader.Next(&record))
        ++outcome.nRecords;
    outcome.strError = reader.Error();
    return outcome;
}

void Patch32(std::vector<Byte>& abBytes, size_t nAt, UInt32 n)
{
    TraceFormat::WriteU32(&abBytes[nAt], n);
}

bool Mentions(const std::string& strText, const char* pchWhat)
{
    return strText.find(pchWhat) != std::string::npos;
}

TEST(TraceDamageTest, CutAtEveryByte)
{
    const std::vector<Byte> abTrace = SampleTrace();
    const std::vector<size_t> anBoundaries = Boundaries(abTrace);
    ASSERT_EQ(6u, anBoundaries.size());
    for (size_t nLength = 0; nLength < abTrace.size(); ++nLength)
    {
        const Outcome outcome = Read(std::vector<Byte>(abTrace.begin(), abTrace.begin() + nLength));
        if (nLength < 16)
        {
            EXPECT_FALSE(outcome.bOpened) << nLength;
            EXPECT_TRUE(Mentions(outcome.strError, "too short")) << outcome.strError;
            continue;
        }
        // Records wholly inside the cut are delivered.
        Int32 nWhole = 0;
        bool bAtBoundary = false;
        for (size_t i = 0; i < anBoundaries.size(); ++i)
        {
            if (anBoundaries[i] == nLength)
                bAtBoundary = true;
            if (i + 1 < anBoundaries.size() && anBoundaries[i + 1] <= nLength)
                nWhole = Int32(i + 1);
        }
        ASSERT_TRUE(outcome.bOpened) << nLength;
        EXPECT_EQ(nWhole, outcome.nRecords) << "cut at " << nLength;
        if (bAtBoundary)
            EXPECT_TRUE(outcome.strError.empty())
                << "cut at " << nLength << ": " << outcome.strError;
        else
            EXPECT_TRUE(Mentions(outcome.strError, "truncated"))
                << "cut at " << nLength << ": " << outcome.strError;
    }
    const Outcome whole = Read(abTrace);
    EXPECT_EQ(5, whole.nRecords);
    EXPECT_TRUE(whole.strError.empty()) << whole.strError;
}

TEST(TraceDamageTest, WrongHeaders)
{
    struct Case
    {
        size_t nAt;
        Byte nValue;
        const char* pchMessage;
    };
    const Case aCases[] = {
        {0, 'g', "not a Glide trace"}, {7, 'X', "not a Glide trace"},  {8, 2, "version 2"},
        {9, 1, "version 257"},         {10, 20, "header of 20 bytes"},
    };
    for (const Case& c : aCases)
    {
        std::vector<Byte> abTrace = SampleTrace();
        abTrace[c.nAt] = c.nValue;
        const Outcome outcome = Read(abTrace);
        EXPECT_FALSE(outcome.bOpened) << c.pchMessage;
        EXPECT_TRUE(Mentions(outcome.strError, c.pchMessage)) << outcome.strError;
        EXPECT_EQ(0, outcome.nRecords);
    }
}

TEST(TraceDamageTest, LengthsAndCountsThatDoNotFit)
{
    const std::vector<Byte> abTrace = SampleTrace();
    const std::vector<size_t> anAt = Boundaries(abTrace);
    struct Case
    {
        const char* pchWhat;
        size_t nAt;   // byte to patch
        UInt32 nWord; // 32-bit value written there (or one byte when bByte)
        bool bByte;
        Int32 nRecordsBefore;
        const char* pchMessage;
    };
    const size_t nOpen = anAt[0], nTriangle = anAt[1], nPolygon = anAt[2], nFog = anAt[3];
    const Case aCases[] = {
        {"unknown call 0", nTriangle, 0, true, 1, "unknown call 0"},
        {"unknown call 200", nPolygon, 200, true, 2, "unknown call 200"},
        {"one past the last call", nFog, Byte(TraceCall::End), true, 3, "unknown call"},
        {"length one short of the words", nOpen + 1, 27, false, 0, "inside its 7 words"},
        {"length one past the words", nOpen + 1, 29, false, 0, "1 bytes left over"},
        {"length past the end", nOpen + 1, 0x7FFFFFFF, false, 0, "truncated"},
        {"triangle one byte short", nTriangle + 1, 3 * 61 - 1, false, 1, "inside vertex 3"},
        {"vertex count beyond the record", nPolygon + 5, 1000, false, 2, "vertex count 1000"},
        {"vertex count of all ones", nPolygon + 5, 0xFFFFFFFF, false, 2, "does not fit"},
        {"data count beyond the record", nFog + 5, 65, false, 3, "runs past the record"},
        {"first vertex repeats one before it", nTriangle + 5, 4, true, 1, "before the first"},
        {"later vertex reaches too far back", nPolygon + 10, 9, true, 2, "before the first"},
    };
    for (const Case& c : aCases)
    {
        std::vector<Byte> abDamaged = abTrace;
        if (c.bByte)
            abDamaged[c.nAt] = Byte(c.nWord);
        else
            Patch32(abDamaged, c.nAt, c.nWord);
        const Outcome outcome = Read(abDamaged);
        ASSERT_TRUE(outcome.bOpened) << c.pchWhat;
        EXPECT_EQ(c.nRecordsBefore, outcome.nRecords) << c.pchWhat;
        EXPECT_TRUE(Mentions(outcome.strError, c.pchMessage))
            << c.pchWhat << ": " << outcome.strError;
        // The message says where.
        const std::string strPlace = "byte " + std::to_string(anAt[size_t(c.nRecordsBefore)]);
        EXPECT_TRUE(Mentions(outcome.strError, strPlace.c_str()))
            << c.pchWhat << ": " << outcome.strError;
    }
}

// One record written as given (words, then data) after a valid header.
std::vector<Byte> OneRecord(TraceCall eCall, const std::vector<UInt32>& anWords, UInt32 nData)
{
    TempFile file("one.gtr");
    TraceWriter writer;
    EXPECT_TRUE(writer.Open(file.Path()));
    writer.Begin(eCall);
    for (UInt32 n : anWords)
        writer.Word(n);
    writer.Data();
    const std::vector<Byte> abData(nData, 0x5A);
    writer.Bytes(abData.data(), abData.size());
    writer.End();
    EXPECT_TRUE(writer.Close());
    return file.Bytes();
}

TEST(TraceDamageTest, DataOfASizeTheCallCannotHave)
{
    struct Case
    {
        const char* pchWhat;
        TraceCall eCall;
        std::vector<UInt32> anWords;
        UInt32 nData;
        const char* pchMessage; // null: the record is sound
    };
    const Case aCases[] = {
        {"fog table of 63 bytes", TraceCall::FogTable, {}, 63, "takes 64 to 64"},
        {"fog table of 64 bytes", TraceCall::FogTable, {}, 64, nullptr},
        {"saved state of 311 bytes", TraceCall::GlideSetState, {}, 311, "takes 312 to 312"},
        {"palette of 1028 bytes", TraceCall::TexDownloadTable, {0, 2, 0, 0}, 1028, "0 to 1024"},
        {"palette entries past 255",
         TraceCall::TexDownloadTablePartial,
         {0, 2, 0, 0, 250, 255},
         40,
         "past entry 255"},
        {"palette entries up to 255",
         TraceCall::TexDownloadTablePartial,
         {0, 2, 0, 0, 250, 255},
         24,
         nullptr},
        {"rows past the largest level",
         TraceCall::TexDownloadMipMapLevelPartial,
         {0, 0, 0, 0, 3, 10, 3, 250, 255, 131000},
         512,
         "past the end"},
        {"table larger than the data",
         TraceCall::GuTexDownloadMipMap,
         {0, 200},
         100,
         "table of 200"},
        {"table larger than a palette",
         TraceCall::GuTexDownloadMipMap,
         {0, 1028},
         2000,
         "table of 1028"},
        {"levels and a table", TraceCall::GuTexDownloadMipMap, {0, 112}, 2000, nullptr},
    };
    for (const Case& c : aCases)
    {
        const Outcome outcome = Read(OneRecord(c.eCall, c.anWords, c.nData));
        ASSERT_TRUE(outcome.bOpened) << c.pchWhat;
        if (!c.pchMessage)
        {
            EXPECT_EQ(1, outcome.nRecords) << c.pchWhat;
            EXPECT_TRUE(outcome.strError.empty()) << c.pchWhat << ": " << outcome.strError;
            continue;
        }
        EXPECT_EQ(0, outcome.nRecords) << c.pchWhat;
        EXPECT_TRUE(Mentions(outcome.strError, c.pchMessage))
            << c.pchWhat << ": " << outcome.strError;
        EXPECT_TRUE(Mentions(outcome.strError, TraceFormat::Shape(c.eCall)->pchName))
            << outcome.strError;
    }
}

TEST(TraceDamageTest, NothingIsReadAfterTheFirstDamage)
{
    std::vector<Byte> abTrace = SampleTrace();
    const std::vector<size_t> anAt = Boundaries(abTrace);
    abTrace[anAt[1]] = 0; // the triangle's call
    std::unique_ptr<Byte[]> pbCopy(new Byte[abTrace.size()]);
    std::memcpy(pbCopy.get(), abTrace.data(), abTrace.size());
    TraceReader reader;
    ASSERT_TRUE(reader.Open(pbCopy.get(), abTrace.size()));
    TraceRecord record;
    EXPECT_TRUE(reader.Next(&record));
    EXPECT_FALSE(reader.Next(&record));
    const std::string strError = reader.Error();
    EXPECT_FALSE(reader.Next(&record));
    EXPECT_EQ(strError, reader.Error());
    // A damaged trace stays damaged.
    reader.Rewind();
    EXPECT_FALSE(reader.Next(&record));
}
} // namespace
