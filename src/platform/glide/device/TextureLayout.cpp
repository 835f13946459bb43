// TextureLayout: level sizes and TMU addresses (glide-reference.md §4.1, §4.6).
#include "TextureLayout.h"

Int32 TextureLayout::LevelWidth(Int32 nLod, Int32 nAspectLog)
{
    const Int32 nLong = GlideConfig::MaxTextureSize >> nLod;
    const Int32 nWidth = nAspectLog >= 0 ? nLong : (nLong >> -nAspectLog);
    return nWidth > 0 ? nWidth : 1;
}

Int32 TextureLayout::LevelHeight(Int32 nLod, Int32 nAspectLog)
{
    const Int32 nLong = GlideConfig::MaxTextureSize >> nLod;
    const Int32 nHeight = nAspectLog <= 0 ? nLong : (nLong >> nAspectLog);
    return nHeight > 0 ? nHeight : 1;
}

UInt32 TextureLayout::LevelHostBytes(Int32 nLod, Int32 nAspectLog, TexelFormat eFormat)
{
    return UInt32(LevelWidth(nLod, nAspectLog) * LevelHeight(nLod, nAspectLog) *
                  TexelDecoder::BytesPerTexel(eFormat));
}

UInt32 TextureLayout::LevelTmuBytes(Int32 nLod, Int32 nAspectLog, TexelFormat eFormat)
{
    const Int32 nWidth = LevelWidth(nLod, nAspectLog);
    const Int32 nHeight = LevelHeight(nLod, nAspectLog);
    return UInt32((nWidth < 2 ? 2 : nWidth) * (nHeight < 2 ? 2 : nHeight) *
                  TexelDecoder::BytesPerTexel(eFormat));
}

bool TextureLayout::InParity(Int32 nLod, UInt32 nParity)
{
    return (nParity & ((nLod & 1) ? UInt32(ParityOdd) : UInt32(ParityEven))) != 0;
}

UInt32 TextureLayout::ChainTmuBytes(Int32 nSmallLod, Int32 nLargeLod, Int32 nAspectLog,
                                    TexelFormat eFormat, UInt32 nParity)
{
    UInt32 nBytes = 0;
    for (Int32 nLod = nLargeLod; nLod <= nSmallLod; ++nLod)
        if (InParity(nLod, nParity))
            nBytes += LevelTmuBytes(nLod, nAspectLog, eFormat);
    return (nBytes + 7u) & ~7u;
}

UInt32 TextureLayout::ChainHostBytes(Int32 nSmallLod, Int32 nLargeLod, Int32 nAspectLog,
                                     TexelFormat eFormat)
{
    UInt32 nBytes = 0;
    for (Int32 nLod = nLargeLod; nLod <= nSmallLod; ++nLod)
        nBytes += LevelHostBytes(nLod, nAspectLog, eFormat);
    return nBytes;
}

Int32 TextureLayout::MultibaseRange(Int32 nLod)
{
    return nLod < 3 ? nLod : 3;
}

UInt32 TextureLayout::LevelAddress(const TextureSource& source, Int32 nLod)
{
    Int32 nFirst = source.nLargeLod;
    UInt32 nAddress = source.nStartAddress;
    if (source.bMultibase)
    {
        const Int32 nRange = MultibaseRange(nLod);
        nAddress = source.anBaseAddress[nRange];
        if (nRange == 3 && nFirst < 3)
            nFirst = 3;
        else if (nRange < 3)
            nFirst = nLod;
    }
    for (Int32 nLevel = nFirst; nLevel < nLod; ++nLevel)
        if (InParity(nLevel, source.nParity))
            nAddress += LevelTmuBytes(nLevel, source.nAspectLog, source.eFormat);
    return nAddress;
}
