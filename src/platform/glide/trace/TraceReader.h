// TraceReader: reads a Glide call trace held in memory, record by record, trusting nothing.
//
// Owner: the replay tool, the peer renderer, tests and the fuzz target. Open checks the header;
// Next decodes one record into a TraceRecord (its vertices resolved to full GrVertex floats) and
// checks that everything the record claims lies inside it and inside the trace, and that its
// sizes are ones the call can have. Any damage stops the reader with a message naming the byte
// offset, the record's number and its call; the reader never reads outside the bytes it was
// given and never reserves more memory than the trace's size justifies. Per record: Next.
#pragma once
#include "TraceFormat.h"
#include "TraceVertexHistory.h"
#include "Types.h"
#include <string>
#include <vector>

struct TraceRecord
{
    TraceCall eCall = TraceCall::Marker;
    const TraceCallShape* pShape = nullptr;
    UInt32 anWords[TraceFormat::MaxWords] = {};
    Int32 nWords = 0;
    const TraceVertexBits* pVertices = nullptr; // valid until the next call of Next
    Int32 nVertices = 0;
    const Byte* pData = nullptr; // inside the trace's bytes
    UInt32 nData = 0;
    UInt64 llIndex = 0;  // 0 for the first record
    UInt64 llOffset = 0; // of the record's first byte in the trace

    float WordFloat(Int32 i) const;
};

class TraceReader
{
  public:
    // Reads a whole file into *pBytes; false with a message for the user.
    static bool LoadFile(const char* pchPath, std::vector<Byte>* pBytes, std::string* pError);

    // Starts reading pbTrace[0..nBytes) (kept alive by the caller); false when the header is
    // not that of a trace this reader knows (Error says why).
    bool Open(const Byte* pbTrace, size_t nBytes);
    // Back to the first record.
    void Rewind();
    // The next record, or false at the end of the trace or when it is damaged (then Failed).
    bool Next(TraceRecord* pRecord);

    bool Failed() const { return !m_strError.empty(); }
    const std::string& Error() const { return m_strError; }

  private:
    bool Fail(const std::string& strWhy);
    bool ReadVertices(const TraceRecord& record, size_t* pnAt, size_t nEnd);
    bool CheckSizes(const TraceRecord& record);

    const Byte* m_pbTrace = nullptr;
    size_t m_nBytes = 0;
    size_t m_nAt = 0;
    UInt64 m_llIndex = 0;
    const TraceCallShape* m_pCurrent = nullptr; // the call being read, for messages
    size_t m_nRecordAt = 0;
    std::string m_strError;
    TraceVertexHistory m_History;
    std::vector<TraceVertexBits> m_aVertices;
};
