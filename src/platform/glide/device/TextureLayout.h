// TextureLayout: sizes and addresses of mip-map levels, in host memory and in TMU memory.
//
// Stateless helpers shared by the texture units, the texture cache and the API half's
// texture-memory calls (grTexCalcMemRequired, the gu allocator). Levels are numbered as the chip
// does: 0 is the 256-texel level, 8 the 1-texel level. The aspect is log2(width / height):
// +3 for 8x1 down to -3 for 1x8 (glide-reference.md §4.1).
//
// In TMU memory a level occupies max(w, 2) x max(h, 2) texels (small levels are padded), the
// levels of the chosen parity follow each other from the largest down, and a whole chain is
// rounded up to a multiple of 8 bytes.
#pragma once
#include "DeviceState.h"
#include "TexelDecoder.h"
#include "Types.h"

class TextureLayout
{
  public:
    static Int32 LevelWidth(Int32 nLod, Int32 nAspectLog);
    static Int32 LevelHeight(Int32 nLod, Int32 nAspectLog);
    // Bytes of one level as the application holds it (w * h texels, no padding).
    static UInt32 LevelHostBytes(Int32 nLod, Int32 nAspectLog, TexelFormat eFormat);
    // Bytes of one level in TMU memory (padded to at least 2 x 2 texels).
    static UInt32 LevelTmuBytes(Int32 nLod, Int32 nAspectLog, TexelFormat eFormat);
    static bool InParity(Int32 nLod, UInt32 nParity);
    // TMU bytes of the levels nLargeLod..nSmallLod of the given parity, rounded up to 8.
    static UInt32 ChainTmuBytes(Int32 nSmallLod, Int32 nLargeLod, Int32 nAspectLog,
                                TexelFormat eFormat, UInt32 nParity);
    // Host bytes of every level nLargeLod..nSmallLod (both parities, the order of a .3df file).
    static UInt32 ChainHostBytes(Int32 nSmallLod, Int32 nLargeLod, Int32 nAspectLog,
                                 TexelFormat eFormat);
    // Multibase range of a level: 0, 1, 2 for the three largest levels, 3 for levels 3..8.
    static Int32 MultibaseRange(Int32 nLod);
    // TMU address of level nLod of a source (start address plus the padded sizes of the
    // larger levels of its parity; with multibase, from the base address of the level's range).
    static UInt32 LevelAddress(const TextureSource& source, Int32 nLod);
};
