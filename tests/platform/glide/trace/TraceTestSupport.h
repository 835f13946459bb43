// TraceTestSupport: writing small traces to temporary files and reading them back in tests.
#pragma once
#include "TraceReader.h"
#include "TraceWriter.h"
#include <gtest/gtest.h>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace TraceTest
{
// A file under the test's temporary folder, removed when the object goes.
class TempFile
{
  public:
    explicit TempFile(const char* pchName) : m_strPath(testing::TempDir() + pchName) {}
    ~TempFile() { std::remove(m_strPath.c_str()); }
    const char* Path() const { return m_strPath.c_str(); }
    std::vector<Byte> Bytes() const
    {
        std::vector<Byte> abBytes;
        std::string strError;
        EXPECT_TRUE(TraceReader::LoadFile(Path(), &abBytes, &strError)) << strError;
        return abBytes;
    }

  private:
    std::string m_strPath;
};

// A vertex whose 15 floats are nBase, nBase + 1, ... (all distinct for distinct bases).
inline TraceVertexBits NumberedVertex(float fBase)
{
    TraceVertexBits vertex;
    for (Int32 i = 0; i < TraceFormat::VertexFloats; ++i)
    {
        const float f = fBase + float(i);
        std::memcpy(&vertex.anFloats[i], &f, 4);
    }
    return vertex;
}

inline void WriteVertex(TraceWriter& writer, const TraceVertexBits& vertex)
{
    float afFloats[TraceFormat::VertexFloats];
    std::memcpy(afFloats, vertex.anFloats, sizeof afFloats);
    writer.Vertex(afFloats);
}

inline bool SameVertex(const TraceVertexBits& a, const TraceVertexBits& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Every record of a trace in memory; false (with the reader's message) on damage. The records'
// vertices are gone once the reader is: use a TraceReader directly to look at them.
inline bool ReadAll(const std::vector<Byte>& abBytes, std::vector<TraceRecord>* pRecords,
                    std::string* pError)
{
    TraceReader reader;
    pRecords->clear();
    if (!reader.Open(abBytes.data(), abBytes.size()))
    {
        *pError = reader.Error();
        return false;
    }
    TraceRecord record;
    while (reader.Next(&record))
        pRecords->push_back(record);
    *pError = reader.Error();
    return !reader.Failed();
}
} // namespace TraceTest
