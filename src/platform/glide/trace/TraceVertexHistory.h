// TraceVertexHistory: the last 255 literal vertices of a trace, so that a vertex repeated soon
// after (the shared corners of a mesh's neighbouring triangles) is written as one byte.
//
// Owner: one in the writer and one in the reader, both starting empty at the trace's first
// record and fed the same literal vertices in the same order, so a distance means the same
// vertex to both. Vertices compare by their bits (so -0.0 and 0.0, and NaNs, stay distinct).
// Per vertex of every drawing record: Find (writer) or At (reader), and Push for a literal.
#pragma once
#include "TraceFormat.h"
#include "Types.h"

struct TraceVertexBits
{
    UInt32 anFloats[TraceFormat::VertexFloats];
};

class TraceVertexHistory
{
  public:
    // Distances run from 1 (the last literal vertex) to this.
    static constexpr UInt32 MaxDistance = 255;

    TraceVertexHistory() { Reset(); }
    void Reset();

    // Adds a literal vertex.
    void Push(const TraceVertexBits& vertex);
    // The distance back to an equal vertex still in the history, or 0.
    UInt32 Find(const TraceVertexBits& vertex) const;
    // The vertex nDistance literal vertices back; false when there is none that far back.
    bool At(UInt32 nDistance, TraceVertexBits* pVertex) const;

  private:
    static constexpr UInt32 RingSize = 256;
    static constexpr UInt32 HashSize = 1024;
    static UInt32 Hash(const TraceVertexBits& vertex);

    TraceVertexBits m_aRing[RingSize];
    UInt64 m_llCount = 0; // literal vertices pushed so far
    // Per hash bucket: 1 + the sequence number of the last vertex pushed with that hash, or 0.
    UInt64 m_allBucket[HashSize];
};
