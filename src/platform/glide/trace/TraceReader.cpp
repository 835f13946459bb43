// TraceReader: bounds-checked decoding of trace records.
#include "TraceReader.h"
#include <cerrno>
#include <cstdio>
#include <cstring>

float TraceRecord::WordFloat(Int32 i) const
{
    float f;
    std::memcpy(&f, &anWords[i], 4);
    return f;
}

bool TraceReader::LoadFile(const char* pchPath, std::vector<Byte>* pBytes, std::string* pError)
{
    std::FILE* pFile = std::fopen(pchPath, "rb");
    if (!pFile)
    {
        *pError = std::string("cannot open ") + pchPath + ": " + std::strerror(errno);
        return false;
    }
    pBytes->clear();
    Byte abChunk[1 << 16];
    size_t nRead;
    while ((nRead = std::fread(abChunk, 1, sizeof abChunk, pFile)) > 0)
        pBytes->insert(pBytes->end(), abChunk, abChunk + nRead);
    const bool bError = std::ferror(pFile) != 0;
    std::fclose(pFile);
    if (bError)
    {
        *pError = std::string("cannot read ") + pchPath;
        return false;
    }
    return true;
}

bool TraceReader::Fail(const std::string& strWhy)
{
    char szWhere[96];
    if (m_pCurrent)
        std::snprintf(szWhere, sizeof szWhere, "byte %zu, record %llu (%s): ", m_nRecordAt,
                      static_cast<unsigned long long>(m_llIndex + 1), m_pCurrent->pchName);
    else
        std::snprintf(szWhere, sizeof szWhere, "byte %zu: ", m_nRecordAt);
    if (m_strError.empty())
        m_strError = szWhere + strWhy;
    return false;
}

bool TraceReader::Open(const Byte* pbTrace, size_t nBytes)
{
    m_pbTrace = pbTrace;
    m_nBytes = nBytes;
    m_strError.clear();
    m_pCurrent = nullptr;
    m_nRecordAt = 0;
    if (nBytes < TraceFormat::HeaderBytes)
        return Fail("too short for a trace header (" + std::to_string(nBytes) + " bytes)");
    if (std::memcmp(pbTrace, TraceFormat::Magic, sizeof TraceFormat::Magic) != 0)
        return Fail("not a Glide trace (no GLIDETRC header)");
    const UInt32 nVersion = TraceFormat::ReadU16(pbTrace + 8);
    if (nVersion != TraceFormat::Version)
        return Fail("trace format version " + std::to_string(nVersion) + "; this reader knows " +
                    std::to_string(TraceFormat::Version));
    const UInt32 nHeader = TraceFormat::ReadU16(pbTrace + 10);
    if (nHeader != TraceFormat::HeaderBytes)
        return Fail("header of " + std::to_string(nHeader) + " bytes; version 1 has 16");
    Rewind();
    return true;
}

void TraceReader::Rewind()
{
    m_nAt = TraceFormat::HeaderBytes;
    m_llIndex = 0;
    m_History.Reset();
    m_pCurrent = nullptr;
}

bool TraceReader::ReadVertices(const TraceRecord& record, size_t* pnAt, size_t nEnd)
{
    UInt32 nCount = 0;
    switch (record.pShape->eVertices)
    {
    case TraceVertices::None:
        return true;
    case TraceVertices::One:
        nCount = 1;
        break;
    case TraceVertices::Two:
        nCount = 2;
        break;
    case TraceVertices::Three:
        nCount = 3;
        break;
    case TraceVertices::Counted:
        if (nEnd - *pnAt < 4)
            return Fail("the record ends before its vertex count");
        nCount = TraceFormat::ReadU32(m_pbTrace + *pnAt);
        *pnAt += 4;
        // Every vertex takes at least its tag byte.
        if (nCount > TraceFormat::MaxVertices || nCount > nEnd - *pnAt)
            return Fail("vertex count " + std::to_string(nCount) + " does not fit the record");
        break;
    }
    m_aVertices.resize(nCount);
    for (UInt32 i = 0; i < nCount; ++i)
    {
        if (*pnAt >= nEnd)
            return Fail("the record ends inside vertex " + std::to_string(i + 1));
        const UInt32 nTag = m_pbTrace[(*pnAt)++];
        if (nTag != 0)
        {
            if (!m_History.At(nTag, &m_aVertices[i]))
                return Fail("vertex " + std::to_string(i + 1) + " repeats one " +
                            std::to_string(nTag) + " vertices back, before the first");
            continue;
        }
        if (nEnd - *pnAt < TraceFormat::VertexBytes)
            return Fail("the record ends inside vertex " + std::to_string(i + 1));
        for (UInt32& nFloat : m_aVertices[i].anFloats)
        {
            nFloat = TraceFormat::ReadU32(m_pbTrace + *pnAt);
            *pnAt += 4;
        }
        m_History.Push(m_aVertices[i]);
    }
    return true;
}

bool TraceReader::CheckSizes(const TraceRecord& record)
{
    // Data whose place is given by a word must fit where the replay puts it.
    switch (record.eCall)
    {
    case TraceCall::TexDownloadMipMapLevelPartial:
        if (record.anWords[9] > TraceFormat::MaxLevelBytes ||
            record.nData > TraceFormat::MaxLevelBytes - record.anWords[9])
            return Fail("rows placed past the end of the largest texture level");
        return true;
    case TraceCall::TexDownloadTablePartial:
        if (record.anWords[1] == 2 &&
            (record.anWords[4] > 255 || record.nData > 4 * (256 - record.anWords[4])))
            return Fail("palette entries placed past entry 255");
        return true;
    case TraceCall::GuTexDownloadMipMap:
        if (record.anWords[1] > record.nData || record.anWords[1] > TraceFormat::PaletteBytes)
            return Fail("table of " + std::to_string(record.anWords[1]) + " bytes in " +
                        std::to_string(record.nData) + " bytes of data");
        return true;
    default:
        return true;
    }
}

bool TraceReader::Next(TraceRecord* pRecord)
{
    if (!m_pbTrace || Failed() || m_nAt >= m_nBytes)
        return false;
    m_nRecordAt = m_nAt;
    m_pCurrent = nullptr;
    const size_t nLeft = m_nBytes - m_nAt;
    if (nLeft < TraceFormat::RecordHeaderBytes)
        return Fail("the trace ends inside a record header (truncated)");
    const Byte nCall = m_pbTrace[m_nAt];
    m_pCurrent = TraceFormat::Shape(nCall);
    if (!m_pCurrent)
        return Fail("unknown call " + std::to_string(nCall));
    const UInt32 nLength = TraceFormat::ReadU32(m_pbTrace + m_nAt + 1);
    if (nLength > nLeft - TraceFormat::RecordHeaderBytes)
        return Fail("the record needs " + std::to_string(nLength) + " bytes, the trace has " +
                    std::to_string(nLeft - TraceFormat::RecordHeaderBytes) + " left (truncated)");

    TraceRecord& record = *pRecord;
    record.eCall = TraceCall(nCall);
    record.pShape = m_pCurrent;
    record.llIndex = m_llIndex;
    record.llOffset = m_nAt;
    size_t nAt = m_nAt + TraceFormat::RecordHeaderBytes;
    const size_t nEnd = nAt + nLength;

    record.nWords = m_pCurrent->nWords;
    if (nEnd - nAt < size_t(4) * record.nWords)
        return Fail("the record ends inside its " + std::to_string(record.nWords) + " words");
    for (Int32 i = 0; i < record.nWords; ++i, nAt += 4)
        record.anWords[i] = TraceFormat::ReadU32(m_pbTrace + nAt);

    if (!ReadVertices(record, &nAt, nEnd))
        return false;
    record.pVertices = m_aVertices.data();
    record.nVertices = m_pCurrent->eVertices == TraceVertices::None ? 0 : Int32(m_aVertices.size());

    record.pData = nullptr;
    record.nData = 0;
    if (m_pCurrent->bData)
    {
        if (nEnd - nAt < 4)
            return Fail("the record ends before its data count");
        const UInt32 nData = TraceFormat::ReadU32(m_pbTrace + nAt);
        nAt += 4;
        if (nData > nEnd - nAt)
            return Fail("data of " + std::to_string(nData) + " bytes runs past the record");
        if (nData < m_pCurrent->nMinData || nData > m_pCurrent->nMaxData)
            return Fail("data of " + std::to_string(nData) + " bytes; the call takes " +
                        std::to_string(m_pCurrent->nMinData) + " to " +
                        std::to_string(m_pCurrent->nMaxData));
        record.pData = m_pbTrace + nAt;
        record.nData = nData;
        nAt += nData;
    }
    if (nAt != nEnd)
        return Fail(std::to_string(nEnd - nAt) + " bytes left over at the end of the record");
    if (!CheckSizes(record))
        return false;
    m_nAt = nEnd;
    ++m_llIndex;
    return true;
}
