// TraceWriter: records built in memory, written whole, little-endian.
#include "TraceWriter.h"
#include <cerrno>
#include <cstring>

TraceWriter::~TraceWriter()
{
    Close();
}

bool TraceWriter::Open(const char* pchPath)
{
    Close();
    m_strError.clear();
    m_strPath = pchPath ? pchPath : "";
    m_History.Reset();
    m_pFile = std::fopen(m_strPath.c_str(), "wb");
    if (!m_pFile)
    {
        Fail("cannot create");
        return false;
    }
    // Large writes: a frame of the scene is a few hundred kilobytes of records.
    std::setvbuf(m_pFile, nullptr, _IOFBF, 1u << 20);
    Byte abHeader[TraceFormat::HeaderBytes] = {};
    std::memcpy(abHeader, TraceFormat::Magic, sizeof TraceFormat::Magic);
    TraceFormat::WriteU16(abHeader + 8, TraceFormat::Version);
    TraceFormat::WriteU16(abHeader + 10, TraceFormat::HeaderBytes);
    TraceFormat::WriteU32(abHeader + 12, 0);
    if (std::fwrite(abHeader, 1, sizeof abHeader, m_pFile) != sizeof abHeader)
        Fail("cannot write");
    m_abRecord.reserve(1u << 16);
    return !Failed();
}

bool TraceWriter::Close()
{
    if (!m_pFile)
        return !Failed();
    if (std::fclose(m_pFile) != 0 && !Failed())
        Fail("cannot write");
    m_pFile = nullptr;
    return !Failed();
}

void TraceWriter::Fail(const char* pchWhat)
{
    if (Failed())
        return;
    m_strError = std::string(pchWhat) + " " + m_strPath + ": " + std::strerror(errno);
}

void TraceWriter::Begin(TraceCall eCall)
{
    m_abRecord.assign(TraceFormat::RecordHeaderBytes, 0);
    m_abRecord[0] = Byte(eCall);
    m_nDataAt = 0;
}

void TraceWriter::Word(UInt32 nWord)
{
    const size_t n = m_abRecord.size();
    m_abRecord.resize(n + 4);
    TraceFormat::WriteU32(&m_abRecord[n], nWord);
}

void TraceWriter::Float(float fValue)
{
    UInt32 nBits;
    std::memcpy(&nBits, &fValue, 4);
    Word(nBits);
}

void TraceWriter::VertexCount(UInt32 nCount)
{
    Word(nCount);
}

void TraceWriter::Vertex(const float* pfFloats)
{
    TraceVertexBits bits;
    std::memcpy(bits.anFloats, pfFloats, sizeof bits.anFloats);
    const UInt32 nDistance = m_History.Find(bits);
    m_abRecord.push_back(Byte(nDistance));
    if (nDistance != 0)
        return;
    for (UInt32 nFloat : bits.anFloats)
        Word(nFloat);
    m_History.Push(bits);
}

void TraceWriter::Data()
{
    m_nDataAt = m_abRecord.size();
    Word(0);
}

void TraceWriter::Bytes(const void* pData, size_t nBytes)
{
    // Only inside a data section, and never more than a record's data can hold.
    if (nBytes == 0 || m_nDataAt == 0 ||
        nBytes > TraceFormat::MaxData - TraceFormat::ReadU32(&m_abRecord[m_nDataAt]))
        return;
    const Byte* pb = static_cast<const Byte*>(pData);
    m_abRecord.insert(m_abRecord.end(), pb, pb + nBytes);
    const UInt32 nCount = TraceFormat::ReadU32(&m_abRecord[m_nDataAt]) + UInt32(nBytes);
    TraceFormat::WriteU32(&m_abRecord[m_nDataAt], nCount);
}

void TraceWriter::End()
{
    if (!m_pFile || Failed())
        return;
    TraceFormat::WriteU32(&m_abRecord[1],
                          UInt32(m_abRecord.size() - TraceFormat::RecordHeaderBytes));
    if (std::fwrite(m_abRecord.data(), 1, m_abRecord.size(), m_pFile) != m_abRecord.size())
        Fail("cannot write");
}

void TraceWriter::Flush()
{
    if (m_pFile && !Failed() && std::fflush(m_pFile) != 0)
        Fail("cannot write");
}
