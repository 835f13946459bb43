// Gu3dfTable.cpp - NCC tables and palettes of .3df files (glide-reference.md §4.3, §8).
#include "Gu3dfTable.h"

namespace
{
FxU32 BigEndian16(const unsigned char* pb)
{
    return (static_cast<FxU32>(pb[0]) << 8) | pb[1];
}

FxU32 BigEndian32(const unsigned char* pb)
{
    return (static_cast<FxU32>(pb[0]) << 24) | (static_cast<FxU32>(pb[1]) << 16) |
           (static_cast<FxU32>(pb[2]) << 8) | pb[3];
}

// One I or Q entry: three 9-bit two's-complement values in one register word.
FxU32 PackColourEntry(const FxI16* pnRgb)
{
    return ((static_cast<FxU32>(pnRgb[0]) & 0x1FF) << 18) |
           ((static_cast<FxU32>(pnRgb[1]) & 0x1FF) << 9) | (static_cast<FxU32>(pnRgb[2]) & 0x1FF);
}
} // namespace

void Gu3dfTable::DecodeNcc(const unsigned char* pbDisk, GuNccTable* pTable)
{
    for (int i = 0; i < 16; ++i)
    {
        pTable->yRGB[i] = static_cast<FxU8>(BigEndian16(pbDisk + 2 * i) & 0xFF);
    }
    for (int i = 0; i < 4; ++i)
    {
        for (int c = 0; c < 3; ++c)
        {
            pTable->iRGB[i][c] =
                static_cast<FxI16>(BigEndian16(pbDisk + 32 + 6 * i + 2 * c) & 0x1FF);
            pTable->qRGB[i][c] =
                static_cast<FxI16>(BigEndian16(pbDisk + 56 + 6 * i + 2 * c) & 0x1FF);
        }
    }
    PackNcc(pTable);
}

void Gu3dfTable::DecodePalette(const unsigned char* pbDisk, GuTexPalette* pPalette)
{
    for (int i = 0; i < 256; ++i)
    {
        pPalette->data[i] = BigEndian32(pbDisk + 4 * i);
    }
}

void Gu3dfTable::PackNcc(GuNccTable* pTable)
{
    for (int k = 0; k < 4; ++k)
    {
        const FxU8* pnY = pTable->yRGB + 4 * k;
        pTable->packed_data[k] = static_cast<FxU32>(pnY[0]) | (static_cast<FxU32>(pnY[1]) << 8) |
                                 (static_cast<FxU32>(pnY[2]) << 16) |
                                 (static_cast<FxU32>(pnY[3]) << 24);
        pTable->packed_data[4 + k] = PackColourEntry(pTable->iRGB[k]);
        pTable->packed_data[8 + k] = PackColourEntry(pTable->qRGB[k]);
    }
}
