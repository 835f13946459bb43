// TextureUnit: one TMU's texture memory, NCC tables and palette.
//
// Owner: the Device, one per emulated TMU, created at grSstWinOpen with the board's memory size
// and destroyed at close. Downloads write host-layout rows into TMU memory (levels at the
// addresses TextureLayout gives); table downloads replace the decoded NCC tables or palette
// entries. Sampling reads decoded chains through the unit's TextureCache (per triangle).
#pragma once
#include "DecodedTexture.h"
#include "DeviceState.h"
#include "TextureCache.h"
#include "TexelDecoder.h"
#include "Types.h"

class TextureUnit
{
  public:
    TextureUnit() = default;
    ~TextureUnit();
    TextureUnit(const TextureUnit&) = delete;
    TextureUnit& operator=(const TextureUnit&) = delete;

    // Allocates nBytes of zeroed texture memory; false when the allocation fails.
    bool Create(UInt32 nBytes);
    void Destroy();
    UInt32 GetSize() const { return m_nBytes; }
    const Byte* GetMemory() const { return m_pbMemory; }

    // Writes rows nFirstRow..nLastRow (inclusive) of level nLod, laid out as the application
    // holds them (pRows points at row nFirstRow), at the level's place for a chain starting at
    // nLevelAddress. False, with nothing written, when a row range or address is out of bounds.
    bool WriteLevel(UInt32 nLevelAddress, Int32 nLod, Int32 nAspectLog, TexelFormat eFormat,
                    const void* pRows, Int32 nFirstRow, Int32 nLastRow);

    void SetNccTable(Int32 nTable, const NccTable& table);
    // Palette entries nFirst..nLast (inclusive) from pEntries[0..]; RGB in the low 24 bits.
    void SetPaletteEntries(Int32 nFirst, Int32 nLast, const UInt32* pEntries);
    const NccTable& GetNccTable(Int32 nTable) const { return m_aNcc[nTable & 1]; }
    const UInt32* GetPalette() const { return m_anPalette; }

    // Changes whenever texture memory or a table changes (downloads, table loads, create).
    UInt32 GetGeneration() const { return m_nGeneration; }

    // The decoded chain of a source (per triangle); null when it cannot be decoded.
    const DecodedTexture* Decode(const TextureSource& source, Int32 nNccTable);
    // The bilinear quad layout of a chain Decode returned (TextureCache::Quads).
    const BilinearQuads* Quads(const DecodedTexture* pTexture, bool bClampS, bool bClampT);

    // Called before anything changes texture memory, a table, a decoded chain or its quads,
    // so that the owner can first let its render threads finish with them.
    void SetChangeGuard(void (*pfnGuard)(void* pContext), void* pContext);

  private:
    Byte* m_pbMemory = nullptr;
    UInt32 m_nBytes = 0;
    NccTable m_aNcc[2] = {};
    UInt32 m_anPalette[256] = {};
    TextureCache m_Cache;
    UInt32 m_nGeneration = 0;
    void (*m_pfnGuard)(void*) = nullptr;
    void* m_pGuardContext = nullptr;
    void Guard()
    {
        if (m_pfnGuard)
            m_pfnGuard(m_pGuardContext);
    }
};
