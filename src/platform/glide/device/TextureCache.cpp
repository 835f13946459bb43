// TextureCache: decoded chains per texture source.
#include "TextureCache.h"
#include "TextureLayout.h"
#include <new>

TextureCache::~TextureCache()
{
    for (DecodedTexture& entry : m_aEntries)
        delete[] entry.pStorage;
}

bool TextureCache::SameSource(const DecodedTexture& entry, const TextureSource& source,
                              Int32 nNccTable)
{
    const TextureSource& key = entry.source;
    if (!entry.bValid || key.eFormat != source.eFormat || key.nLargeLod != source.nLargeLod ||
        key.nSmallLod != source.nSmallLod || key.nAspectLog != source.nAspectLog ||
        key.nParity != source.nParity || key.bMultibase != source.bMultibase)
        return false;
    if (source.bMultibase)
    {
        for (Int32 i = 0; i < 4; ++i)
            if (key.anBaseAddress[i] != source.anBaseAddress[i])
                return false;
    }
    else if (key.nStartAddress != source.nStartAddress)
        return false;
    const bool bNcc =
        source.eFormat == TexelFormat::Yiq422 || source.eFormat == TexelFormat::Ayiq8422;
    return !bNcc || entry.nNccTable == nNccTable;
}

const DecodedTexture* TextureCache::Find(const TextureSource& source, Int32 nNccTable,
                                         const Byte* pMemory, UInt32 nMemoryBytes,
                                         const NccTable aNcc[2], const UInt32* pPalette)
{
    ++m_nClock;
    DecodedTexture* pVictim = &m_aEntries[0];
    for (DecodedTexture& entry : m_aEntries)
    {
        if (SameSource(entry, source, nNccTable))
        {
            entry.nLastUse = m_nClock;
            return &entry;
        }
        if (!entry.bValid)
            pVictim = &entry;
        else if (pVictim->bValid && entry.nLastUse < pVictim->nLastUse)
            pVictim = &entry;
    }
    if (!Decode(*pVictim, source, nNccTable, pMemory, nMemoryBytes, aNcc, pPalette))
        return nullptr;
    pVictim->nLastUse = m_nClock;
    return pVictim;
}

bool TextureCache::Decode(DecodedTexture& entry, const TextureSource& source, Int32 nNccTable,
                          const Byte* pMemory, UInt32 nMemoryBytes, const NccTable aNcc[2],
                          const UInt32* pPalette)
{
    entry.bValid = false;
    Int32 nTexels = 0;
    for (Int32 nLod = source.nLargeLod; nLod <= source.nSmallLod; ++nLod)
        nTexels += TextureLayout::LevelWidth(nLod, source.nAspectLog) *
                   TextureLayout::LevelHeight(nLod, source.nAspectLog);
    if (nTexels > entry.nCapacity)
    {
        delete[] entry.pStorage;
        entry.nCapacity = 0;
        entry.pStorage = new (std::nothrow) UInt32[size_t(nTexels)];
        if (!entry.pStorage)
            return false;
        entry.nCapacity = nTexels;
    }

    const NccTable* pNcc = &aNcc[nNccTable & 1];
    const Int32 nBytesPerTexel = TexelDecoder::BytesPerTexel(source.eFormat);
    UInt32 nLow = 0xFFFFFFFFu;
    UInt32 nHigh = 0;
    UInt32* pOut = entry.pStorage;
    bool abHeld[GlideConfig::LevelCount] = {};
    for (Int32 nLod = source.nLargeLod; nLod <= source.nSmallLod; ++nLod)
    {
        DecodedLevel& level = entry.aLevels[nLod];
        level.nWidth = TextureLayout::LevelWidth(nLod, source.nAspectLog);
        level.nHeight = TextureLayout::LevelHeight(nLod, source.nAspectLog);
        level.nWidthLog2 = 0;
        while ((1 << level.nWidthLog2) < level.nWidth)
            ++level.nWidthLog2;
        level.pTexels = pOut;
        const Int32 nCount = level.nWidth * level.nHeight;
        const UInt32 nAddress = TextureLayout::LevelAddress(source, nLod);
        const UInt32 nBytes = UInt32(nCount * nBytesPerTexel);
        const bool bParity = TextureLayout::InParity(nLod, source.nParity);
        abHeld[nLod] = bParity && nAddress <= nMemoryBytes && nBytes <= nMemoryBytes - nAddress;
        if (bParity)
        {
            // The watched range covers every level of the parity, held or not, so a later
            // download into it brings the chain up to date.
            nLow = nAddress < nLow ? nAddress : nLow;
            nHigh = nAddress + nBytes > nHigh ? nAddress + nBytes : nHigh;
        }
        if (abHeld[nLod])
        {
            TexelDecoder::DecodeTexels(source.eFormat, pMemory + nAddress, nCount, pNcc, pPalette,
                                       pOut);
        }
        else
        {
            for (Int32 i = 0; i < nCount; ++i)
                pOut[i] = 0;
        }
        pOut += nCount;
    }
    // A level of the other parity borrows the nearest held level (smaller first), so a chain
    // downloaded with one parity still samples something sensible at every level of detail.
    for (Int32 nLod = source.nLargeLod; nLod <= source.nSmallLod; ++nLod)
    {
        if (abHeld[nLod])
            continue;
        Int32 nBorrow = -1;
        for (Int32 nDistance = 1; nDistance < GlideConfig::LevelCount && nBorrow < 0; ++nDistance)
        {
            if (nLod + nDistance <= source.nSmallLod && abHeld[nLod + nDistance])
                nBorrow = nLod + nDistance;
            else if (nLod - nDistance >= source.nLargeLod && abHeld[nLod - nDistance])
                nBorrow = nLod - nDistance;
        }
        if (nBorrow >= 0)
            entry.aLevels[nLod] = entry.aLevels[nBorrow];
    }
    entry.source = source;
    entry.nNccTable = nNccTable;
    ++entry.nSerial;
    entry.nLowAddress = nLow;
    entry.nHighAddress = nHigh;
    entry.bValid = true;
    return true;
}

const DecodedTexture* TextureCache::Peek(const TextureSource& source, Int32 nNccTable)
{
    for (DecodedTexture& entry : m_aEntries)
        if (SameSource(entry, source, nNccTable))
        {
            entry.nLastUse = ++m_nClock;
            return &entry;
        }
    return nullptr;
}

bool TextureCache::HasQuads(const DecodedTexture* pTexture, bool bClampS, bool bClampT) const
{
    for (const DecodedTexture& entry : m_aEntries)
        if (&entry == pTexture && entry.bValid)
        {
            const BilinearQuads& quads = entry.aQuads[(bClampS ? 1 : 0) + (bClampT ? 2 : 0)];
            return quads.BuiltFrom() == entry.nSerial && quads.Level(entry.source.nLargeLod);
        }
    return false;
}

const BilinearQuads* TextureCache::Quads(const DecodedTexture* pTexture, bool bClampS, bool bClampT)
{
    for (DecodedTexture& entry : m_aEntries)
    {
        if (&entry != pTexture || !entry.bValid)
            continue;
        BilinearQuads& quads = entry.aQuads[(bClampS ? 1 : 0) + (bClampT ? 2 : 0)];
        if (quads.BuiltFrom() != entry.nSerial || !quads.Level(entry.source.nLargeLod))
        {
            if (!quads.Build(entry, bClampS, bClampT))
                return nullptr;
            quads.SetBuiltFrom(entry.nSerial);
        }
        return &quads;
    }
    return nullptr;
}

void TextureCache::InvalidateRange(UInt32 nLow, UInt32 nHigh)
{
    for (DecodedTexture& entry : m_aEntries)
        if (entry.bValid && nLow < entry.nHighAddress && entry.nLowAddress < nHigh)
            entry.bValid = false;
}

void TextureCache::InvalidateNcc(Int32 nTable)
{
    for (DecodedTexture& entry : m_aEntries)
        if ((entry.source.eFormat == TexelFormat::Yiq422 ||
             entry.source.eFormat == TexelFormat::Ayiq8422) &&
            entry.nNccTable == nTable)
            entry.bValid = false;
}

void TextureCache::InvalidatePalette()
{
    for (DecodedTexture& entry : m_aEntries)
        if (entry.source.eFormat == TexelFormat::P8 || entry.source.eFormat == TexelFormat::Ap88)
            entry.bValid = false;
}

void TextureCache::InvalidateAll()
{
    for (DecodedTexture& entry : m_aEntries)
        entry.bValid = false;
}
