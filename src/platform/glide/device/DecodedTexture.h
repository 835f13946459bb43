// DecodedTexture: one texture's mip chain expanded to 8-bit ARGB, ready for sampling.
//
// Built by the TextureCache from TMU memory when a texture is first drawn, kept until a download
// or a table change touches it. Every level from the source's largest to its smallest has an
// entry; a level of the other parity (not held at this address) borrows the nearest held level,
// preferring the next smaller one. Not copied: the cache owns its entries in place.
#pragma once
#include "BilinearQuads.h"
#include "DeviceState.h"
#include "GlideConfig.h"
#include "Types.h"

struct DecodedLevel
{
    const UInt32* pTexels = nullptr; // nWidth x nHeight, row-major, 0xAARRGGBB
    Int32 nWidth = 1;
    Int32 nHeight = 1;
    Int32 nWidthLog2 = 0;
};

struct DecodedTexture
{
    TextureSource source;
    Int32 nNccTable = 0;
    UInt32 nLowAddress = 0; // TMU bytes the chain was read from: [low, high)
    UInt32 nHighAddress = 0;
    bool bValid = false;
    UInt32 nLastUse = 0;
    UInt32* pStorage = nullptr;
    Int32 nCapacity = 0; // texels
    DecodedLevel aLevels[GlideConfig::LevelCount];
    // Counts the decodings of this entry, so that derived layouts know when they are stale.
    UInt32 nSerial = 0;
    // The quad layouts for the fast path's bilinear filter, by clamp modes (s + 2 t).
    BilinearQuads aQuads[4];
};
