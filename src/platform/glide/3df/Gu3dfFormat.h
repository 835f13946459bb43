// Gu3dfFormat.h - the facts of the .3df texture file (glide-reference.md §4.1, §8.1): format
// tokens, level sizes, table sizes, host bytes of a mip chain.
//
// Shared by the reader behind gu3dfGetInfo/gu3dfLoad and by the converter tools/tex3df.
// Stateless; nothing here runs per frame.
#pragma once

#include <glide.h>

class Gu3dfFormat
{
  public:
    enum
    {
        kMaxHeaderBytes = 100, // the four header lines, newlines included
        kNccTableBytes = 80,   // 16 Y + 12 I + 12 Q big-endian 16-bit words
        kPaletteBytes = 1024,  // 256 big-endian 32-bit words
        kMaxLevelSide = 256,
        kLevelCount = 9, // GR_LOD_256 .. GR_LOD_1
        kFormatCount = 13
    };

    // The format of a header token, compared case-insensitively ("rgb565", "AYIQ8422").
    // Returns 0 for a token that is not one of the 13 Glide 2.x formats.
    static int FormatFromToken(const char* pchToken, GrTextureFormat_t* pFormat);
    // The lower-case token the converter writes; null for a value that is no .3df format.
    static const char* TokenOf(GrTextureFormat_t format);
    // The i-th (0..kFormatCount-1) of the 13 formats, in the order of TokenOf's table.
    static GrTextureFormat_t FormatAt(int i);
    static int IsKnownFormat(GrTextureFormat_t format);
    static int IsNccFormat(GrTextureFormat_t format);     // YIQ_422, AYIQ_8422
    static int IsPaletteFormat(GrTextureFormat_t format); // P_8, AP_88
    // 1 for the 8-bit formats (< 0x8), 2 for the 16-bit ones.
    static FxU32 BytesPerTexel(GrTextureFormat_t format);
    // Bytes of the table that follows the header: 80 (NCC), 1024 (palette) or 0.
    static FxU32 TableBytes(GrTextureFormat_t format);

    // The GrLOD_t of a long side given in texels; 0 unless a power of two in 1..256.
    static int LodFromSide(long nSide, GrLOD_t* pLod);
    // The long side in texels of a level: 256 >> lod.
    static FxU32 SideOfLod(GrLOD_t lod);
    // The aspect of a "w h" pair of the header; 0 unless one of 8 1 .. 1 8.
    static int AspectFromPair(long nWidth, long nHeight, GrAspectRatio_t* pAspect);
    // The "w h" pair of an aspect (8x1 -> 8, 1).
    static void PairOfAspect(GrAspectRatio_t aspect, FxU32* pnWidth, FxU32* pnHeight);
    // Host width and height of one level: the long side 256 >> lod, the short side that divided
    // by the ratio but never below 1.
    static void LevelSize(GrLOD_t lod, GrAspectRatio_t aspect, FxU32* pnWidth, FxU32* pnHeight);
    // Host bytes of all levels from largeLod down to smallLod (gu3dfGetInfo's mem_required).
    static FxU32 TexelBytes(GrLOD_t smallLod, GrLOD_t largeLod, GrAspectRatio_t aspect,
                            GrTextureFormat_t format);
};
