// fuzz-trace: feeds arbitrary bytes to the trace reader, as glide-replay and glide-peer read a
// file: the header, then every record until the end or the first damage. Each record must lie
// inside the bytes given and keep to its call's shape; the sanitizers report any read out of
// bounds, and a record that breaks the rules the replay relies on stops the run.
#include <cstdint>
#include <cstring>
#include <memory>

#include "TraceReader.h"

namespace
{
void Check(bool bHolds)
{
    if (!bHolds)
        __builtin_trap();
}

void CheckRecord(const TraceRecord& record, const Byte* pbStart, size_t nSize)
{
    const TraceCallShape* pShape = TraceFormat::Shape(record.eCall);
    Check(pShape != nullptr && pShape == record.pShape);
    Check(record.nWords == pShape->nWords);
    Check(record.nVertices >= 0 && UInt32(record.nVertices) <= TraceFormat::MaxVertices);
    if (pShape->eVertices == TraceVertices::None)
        Check(record.nVertices == 0);
    if (record.nData == 0)
        return;
    Check(pShape->bData);
    Check(record.nData >= pShape->nMinData && record.nData <= pShape->nMaxData);
    Check(record.pData >= pbStart && record.pData + record.nData <= pbStart + nSize);
    if (record.eCall == TraceCall::GuTexDownloadMipMap)
        Check(record.anWords[1] <= record.nData);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pbData, size_t nSize)
{
    // A copy of exactly nSize bytes, so that reading one past the end is seen.
    std::unique_ptr<Byte[]> pbCopy(new Byte[nSize ? nSize : 1]);
    if (nSize != 0)
        std::memcpy(pbCopy.get(), pbData, nSize);
    TraceReader reader;
    if (!reader.Open(pbCopy.get(), nSize))
        return 0;
    TraceRecord record;
    UInt64 llRecords = 0;
    while (reader.Next(&record))
    {
        CheckRecord(record, pbCopy.get(), nSize);
        // Touch every vertex float: they must be the reader's own, whole.
        volatile UInt32 nSum = 0;
        for (Int32 v = 0; v < record.nVertices; v++)
            for (UInt32 nFloat : record.pVertices[v].anFloats)
                nSum = nSum + nFloat;
        Check(record.llIndex == llRecords++);
    }
    // Damage always comes with a message.
    Check(reader.Failed() == !reader.Error().empty());
    return 0;
}
