// TraceVertexHistory: a ring of recent literal vertices and a hash of their positions in it.
#include "TraceVertexHistory.h"
#include <cstring>

void TraceVertexHistory::Reset()
{
    m_llCount = 0;
    std::memset(m_allBucket, 0, sizeof m_allBucket);
}

UInt32 TraceVertexHistory::Hash(const TraceVertexBits& vertex)
{
    // Position and colour tell most vertices apart; FNV-1a over those words.
    UInt32 nHash = 2166136261u;
    for (Int32 i = 0; i < 6; ++i)
        nHash = (nHash ^ vertex.anFloats[i]) * 16777619u;
    return (nHash ^ (nHash >> 15)) & (HashSize - 1);
}

void TraceVertexHistory::Push(const TraceVertexBits& vertex)
{
    m_aRing[m_llCount % RingSize] = vertex;
    m_allBucket[Hash(vertex)] = m_llCount + 1;
    ++m_llCount;
}

UInt32 TraceVertexHistory::Find(const TraceVertexBits& vertex) const
{
    const UInt64 llEntry = m_allBucket[Hash(vertex)];
    if (llEntry == 0)
        return 0;
    const UInt64 llDistance = m_llCount - (llEntry - 1);
    if (llDistance > MaxDistance)
        return 0;
    const TraceVertexBits& candidate = m_aRing[(llEntry - 1) % RingSize];
    return std::memcmp(&candidate, &vertex, sizeof vertex) == 0 ? UInt32(llDistance) : 0;
}

bool TraceVertexHistory::At(UInt32 nDistance, TraceVertexBits* pVertex) const
{
    if (nDistance == 0 || nDistance > MaxDistance || nDistance > m_llCount)
        return false;
    *pVertex = m_aRing[(m_llCount - nDistance) % RingSize];
    return true;
}
