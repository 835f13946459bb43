// TextureCache: decoded mip chains of one TMU, looked up by texture source.
//
// Owner: its TextureUnit. Decoding (TexelDecoder over every level) happens on the first draw
// with a source and again only after a download overlapping the chain's TMU bytes, or a change of
// the NCC table or palette its format reads. Least-recently-used entries are reused when all are
// taken. Per triangle: one Find (a short linear search).
#pragma once
#include "DecodedTexture.h"
#include "DeviceState.h"
#include "TexelDecoder.h"
#include "Types.h"

class TextureCache
{
  public:
    TextureCache() = default;
    ~TextureCache();
    TextureCache(const TextureCache&) = delete;
    TextureCache& operator=(const TextureCache&) = delete;

    // The decoded chain for a source; null only when memory for it cannot be allocated.
    const DecodedTexture* Find(const TextureSource& source, Int32 nNccTable, const Byte* pMemory,
                               UInt32 nMemoryBytes, const NccTable aNcc[2], const UInt32* pPalette);

    // The chain for a source when it is decoded and current, else null (nothing is decoded).
    const DecodedTexture* Peek(const TextureSource& source, Int32 nNccTable);
    // Whether Quads would return the layout without building it.
    bool HasQuads(const DecodedTexture* pTexture, bool bClampS, bool bClampT) const;

    // The quad layout of a chain Find returned, for the clamp modes; built when missing or
    // stale, null only when memory for it cannot be allocated.
    const BilinearQuads* Quads(const DecodedTexture* pTexture, bool bClampS, bool bClampT);

    void InvalidateRange(UInt32 nLow, UInt32 nHigh);
    void InvalidateNcc(Int32 nTable);
    void InvalidatePalette();
    void InvalidateAll();

  private:
    static constexpr Int32 EntryCount = 16;

    static bool SameSource(const DecodedTexture& entry, const TextureSource& source,
                           Int32 nNccTable);
    bool Decode(DecodedTexture& entry, const TextureSource& source, Int32 nNccTable,
                const Byte* pMemory, UInt32 nMemoryBytes, const NccTable aNcc[2],
                const UInt32* pPalette);

    DecodedTexture m_aEntries[EntryCount];
    UInt32 m_nClock = 0;
};
