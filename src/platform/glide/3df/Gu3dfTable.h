// Gu3dfTable.h - the tables of a .3df file: the NCC table of the YIQ formats and the palette of
// P_8/AP_88, from their big-endian form on disk (glide-reference.md §4.3, §8.1, §8.2).
//
// Stateless; used by Gu3dfReader at load time, never per frame.
#pragma once

#include <glide.h>

class Gu3dfTable
{
  public:
    // 40 big-endian 16-bit words: 16 Y (low 8 bits kept), 4 x (R, G, B) I, 4 x (R, G, B) Q
    // (low 9 bits kept, stored unextended as Glide does), then packed_data built from them.
    static void DecodeNcc(const unsigned char* pbDisk, GuNccTable* pTable);
    // 256 big-endian 32-bit words 0xAARRGGBB, kept whole (the top byte is ignored at download).
    static void DecodePalette(const unsigned char* pbDisk, GuTexPalette* pPalette);
    // packed_data in the hardware's register format: 4 Y words (entry 4k in bits 7..0 up to
    // entry 4k+3 in bits 31..24), then 4 I and 4 Q words (R in bits 26..18, G 17..9, B 8..0).
    static void PackNcc(GuNccTable* pTable);
};
