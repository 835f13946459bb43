// TraceWriter: writes a Glide call trace, one record at a time (TraceFormat.h).
//
// Owner: the API half's GlideTraceRecorder (and tests). Open writes the header; each record is
// built with Begin, its words, vertices and data in the order of its shape, and End, which
// writes it whole. Writes are buffered; Flush hands them to the system (the recorder does so at
// every swap, so a program that ends abruptly leaves every finished frame in the file). The
// first failed write is remembered with its reason, and nothing more is written after it.
#pragma once
#include "TraceFormat.h"
#include "TraceVertexHistory.h"
#include "Types.h"
#include <cstdio>
#include <string>
#include <vector>

class TraceWriter
{
  public:
    TraceWriter() = default;
    ~TraceWriter();
    TraceWriter(const TraceWriter&) = delete;
    TraceWriter& operator=(const TraceWriter&) = delete;

    // Creates (or empties) the file and writes the header; false with the reason in Error().
    bool Open(const char* pchPath);
    // Flushes and closes; false if any write failed.
    bool Close();
    bool IsOpen() const { return m_pFile != nullptr; }
    bool Failed() const { return !m_strError.empty(); }
    const std::string& Error() const { return m_strError; }

    void Begin(TraceCall eCall);
    void Word(UInt32 nWord);
    void Float(float fValue);
    // For counted vertices, before them.
    void VertexCount(UInt32 nCount);
    // The 15 floats of a GrVertex, x first.
    void Vertex(const float* pfFloats);
    // Starts the data section; Bytes appends to it (any number of times).
    void Data();
    void Bytes(const void* pData, size_t nBytes);
    void End();

    void Flush();

  private:
    void Fail(const char* pchWhat);

    std::FILE* m_pFile = nullptr;
    std::string m_strPath;
    std::string m_strError;
    std::vector<Byte> m_abRecord; // the record being built, its 5-byte header first
    size_t m_nDataAt = 0;         // offset of the data count in m_abRecord, or 0
    TraceVertexHistory m_History;
};
