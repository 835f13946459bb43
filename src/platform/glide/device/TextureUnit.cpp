// TextureUnit: TMU memory and tables.
#include "TextureUnit.h"
#include "TextureLayout.h"
#include <cstdlib>
#include <cstring>

TextureUnit::~TextureUnit()
{
    Destroy();
}

bool TextureUnit::Create(UInt32 nBytes)
{
    Destroy();
    // Zeroed by the allocator: megabytes the program never writes are never touched here (calloc
    // takes fresh zero pages from the system for a block this large), which keeps an open cheap.
    m_pbMemory = static_cast<Byte*>(std::calloc(nBytes, 1));
    if (!m_pbMemory)
        return false;
    m_nBytes = nBytes;
    m_Cache.InvalidateAll();
    ++m_nGeneration;
    return true;
}

void TextureUnit::Destroy()
{
    std::free(m_pbMemory);
    m_pbMemory = nullptr;
    m_nBytes = 0;
    m_Cache.InvalidateAll();
    ++m_nGeneration;
}

bool TextureUnit::WriteLevel(UInt32 nLevelAddress, Int32 nLod, Int32 nAspectLog,
                             TexelFormat eFormat, const void* pRows, Int32 nFirstRow,
                             Int32 nLastRow)
{
    const Int32 nHeight = TextureLayout::LevelHeight(nLod, nAspectLog);
    if (!m_pbMemory || !pRows || nFirstRow < 0 || nLastRow < nFirstRow || nLastRow >= nHeight)
        return false;
    const UInt32 nRowBytes =
        UInt32(TextureLayout::LevelWidth(nLod, nAspectLog) * TexelDecoder::BytesPerTexel(eFormat));
    const UInt32 nLevelBytes = UInt32(nHeight) * nRowBytes;
    if (nLevelAddress > m_nBytes || nLevelBytes > m_nBytes - nLevelAddress)
        return false;
    Guard();
    const UInt32 nOffset = nLevelAddress + UInt32(nFirstRow) * nRowBytes;
    const UInt32 nBytes = UInt32(nLastRow - nFirstRow + 1) * nRowBytes;
    std::memcpy(m_pbMemory + nOffset, pRows, nBytes);
    m_Cache.InvalidateRange(nOffset, nOffset + nBytes);
    ++m_nGeneration;
    return true;
}

void TextureUnit::SetNccTable(Int32 nTable, const NccTable& table)
{
    Guard();
    m_aNcc[nTable & 1] = table;
    m_Cache.InvalidateNcc(nTable & 1);
    ++m_nGeneration;
}

void TextureUnit::SetPaletteEntries(Int32 nFirst, Int32 nLast, const UInt32* pEntries)
{
    if (!pEntries || nFirst < 0 || nLast > 255 || nLast < nFirst)
        return;
    Guard();
    for (Int32 i = nFirst; i <= nLast; ++i)
        m_anPalette[i] = pEntries[i - nFirst] & 0xFFFFFFu;
    m_Cache.InvalidatePalette();
    ++m_nGeneration;
}

const DecodedTexture* TextureUnit::Decode(const TextureSource& source, Int32 nNccTable)
{
    if (!m_pbMemory || !source.bValid)
        return nullptr;
    if (const DecodedTexture* pDecoded = m_Cache.Peek(source, nNccTable))
        return pDecoded;
    Guard();
    return m_Cache.Find(source, nNccTable, m_pbMemory, m_nBytes, m_aNcc, m_anPalette);
}

const BilinearQuads* TextureUnit::Quads(const DecodedTexture* pTexture, bool bClampS, bool bClampT)
{
    if (!m_Cache.HasQuads(pTexture, bClampS, bClampT))
        Guard();
    return m_Cache.Quads(pTexture, bClampS, bClampT);
}

void TextureUnit::SetChangeGuard(void (*pfnGuard)(void* pContext), void* pContext)
{
    m_pfnGuard = pfnGuard;
    m_pGuardContext = pContext;
}
