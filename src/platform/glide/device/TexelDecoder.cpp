// TexelDecoder: texel expansion to 8-bit ARGB (glide-reference.md §4.2, §4.3).
#include "TexelDecoder.h"
#include <cstdint>
#include <cstring>

namespace
{
// Bit replication widens an n-bit channel so that 0 stays 0 and all-ones becomes 255.
inline UInt32 Widen2(UInt32 n)
{
    return n * 0x55u;
}
inline UInt32 Widen3(UInt32 n)
{
    return (n << 5) | (n << 2) | (n >> 1);
}
inline UInt32 Widen4(UInt32 n)
{
    return n * 17u;
}
inline UInt32 Widen5(UInt32 n)
{
    return (n << 3) | (n >> 2);
}
inline UInt32 Widen6(UInt32 n)
{
    return (n << 2) | (n >> 4);
}

inline UInt32 Argb(UInt32 a, UInt32 r, UInt32 g, UInt32 b)
{
    return (a << 24) | (r << 16) | (g << 8) | b;
}

inline Int32 Clamp255(Int32 n)
{
    return n < 0 ? 0 : (n > 255 ? 255 : n);
}

// A 9-bit two's-complement field as a signed value.
inline Int32 SignExtend9(UInt32 n)
{
    n &= 0x1FFu;
    return (n & 0x100u) ? Int32(n) - 512 : Int32(n);
}

inline UInt32 Rgb332(UInt32 n)
{
    return Argb(0, Widen3(n >> 5), Widen3((n >> 2) & 7u), Widen2(n & 3u));
}
} // namespace

Int32 TexelDecoder::BytesPerTexel(TexelFormat eFormat)
{
    return Int32(eFormat) >= 0x8 ? 2 : 1;
}

bool TexelDecoder::IsFormat(Int32 nValue)
{
    return (nValue >= 0x0 && nValue <= 0x5) || (nValue >= 0x8 && nValue <= 0xE);
}

NccTable TexelDecoder::UnpackNcc(const UInt32 aPacked[12])
{
    NccTable table;
    for (Int32 i = 0; i < 16; ++i)
        table.anY[i] = Int32((aPacked[i / 4] >> (8 * (i % 4))) & 0xFFu);
    for (Int32 k = 0; k < 4; ++k)
    {
        const UInt32 nI = aPacked[4 + k];
        const UInt32 nQ = aPacked[8 + k];
        table.anI[k][0] = SignExtend9(nI >> 18);
        table.anI[k][1] = SignExtend9(nI >> 9);
        table.anI[k][2] = SignExtend9(nI);
        table.anQ[k][0] = SignExtend9(nQ >> 18);
        table.anQ[k][1] = SignExtend9(nQ >> 9);
        table.anQ[k][2] = SignExtend9(nQ);
    }
    return table;
}

// Y index in bits 7..4, I index in bits 3..2, Q index in bits 1..0; each channel is
// Y + I.channel + Q.channel clamped to 0..255.
UInt32 TexelDecoder::NccColour(UInt32 nYiq, const NccTable* pNcc)
{
    if (!pNcc)
        return 0;
    const Int32 nY = pNcc->anY[(nYiq >> 4) & 0xFu];
    const Int32* pI = pNcc->anI[(nYiq >> 2) & 3u];
    const Int32* pQ = pNcc->anQ[nYiq & 3u];
    return Argb(0, UInt32(Clamp255(nY + pI[0] + pQ[0])), UInt32(Clamp255(nY + pI[1] + pQ[1])),
                UInt32(Clamp255(nY + pI[2] + pQ[2])));
}

UInt32 TexelDecoder::DecodeByte(TexelFormat eFormat, UInt32 nByte, const NccTable* pNcc,
                                const UInt32* pPalette)
{
    const UInt32 nPaletteRgb = pPalette ? (pPalette[nByte] & 0xFFFFFFu) : 0u;
    switch (eFormat)
    {
    case TexelFormat::Rgb332:
    case TexelFormat::Argb8332:
        return Rgb332(nByte);
    case TexelFormat::Yiq422:
    case TexelFormat::Ayiq8422:
        return NccColour(nByte, pNcc);
    case TexelFormat::Alpha8:
        // No document states the colour of an alpha-only texel; the chip model repeats the
        // value in red, green and blue, and so do we (docs/fidelity.md).
        return Argb(nByte, nByte, nByte, nByte);
    case TexelFormat::Intensity8:
    case TexelFormat::AlphaIntensity88:
        return Argb(0, nByte, nByte, nByte);
    case TexelFormat::AlphaIntensity44:
        return Argb(Widen4(nByte >> 4), Widen4(nByte & 0xFu), Widen4(nByte & 0xFu),
                    Widen4(nByte & 0xFu));
    case TexelFormat::P8:
    case TexelFormat::Ap88:
        return nPaletteRgb;
    case TexelFormat::Rgb565:
    case TexelFormat::Argb1555:
    case TexelFormat::Argb4444:
        break;
    }
    return 0;
}

UInt32 TexelDecoder::Decode(TexelFormat eFormat, UInt32 nRaw, const NccTable* pNcc,
                            const UInt32* pPalette)
{
    const UInt32 nLow = nRaw & 0xFFu;
    const UInt32 nHigh = (nRaw >> 8) & 0xFFu;
    switch (eFormat)
    {
    case TexelFormat::Rgb332:
    case TexelFormat::Yiq422:
    case TexelFormat::Intensity8:
    case TexelFormat::P8:
        return 0xFF000000u | DecodeByte(eFormat, nLow, pNcc, pPalette);
    case TexelFormat::Alpha8:
    case TexelFormat::AlphaIntensity44:
        return DecodeByte(eFormat, nLow, pNcc, pPalette);
    case TexelFormat::Argb8332:
    case TexelFormat::Ayiq8422:
    case TexelFormat::AlphaIntensity88:
    case TexelFormat::Ap88:
        return (nHigh << 24) | DecodeByte(eFormat, nLow, pNcc, pPalette);
    case TexelFormat::Rgb565:
        return Argb(255, Widen5((nRaw >> 11) & 0x1Fu), Widen6((nRaw >> 5) & 0x3Fu),
                    Widen5(nRaw & 0x1Fu));
    case TexelFormat::Argb1555:
        return Argb((nRaw & 0x8000u) ? 255u : 0u, Widen5((nRaw >> 10) & 0x1Fu),
                    Widen5((nRaw >> 5) & 0x1Fu), Widen5(nRaw & 0x1Fu));
    case TexelFormat::Argb4444:
        return Argb(Widen4((nRaw >> 12) & 0xFu), Widen4((nRaw >> 8) & 0xFu),
                    Widen4((nRaw >> 4) & 0xFu), Widen4(nRaw & 0xFu));
    }
    return 0;
}

void TexelDecoder::DecodeTexels(TexelFormat eFormat, const void* pSrc, Int32 nCount,
                                const NccTable* pNcc, const UInt32* pPalette, UInt32* pOut)
{
    const Byte* pBytes = static_cast<const Byte*>(pSrc);
    if (BytesPerTexel(eFormat) == 1)
    {
        // Every 8-bit format is a function of the byte alone: decode the 256 values once.
        UInt32 aLut[256];
        for (UInt32 n = 0; n < 256; ++n)
            aLut[n] = Decode(eFormat, n, pNcc, pPalette);
        for (Int32 i = 0; i < nCount; ++i)
            pOut[i] = aLut[pBytes[i]];
        return;
    }
    for (Int32 i = 0; i < nCount; ++i)
    {
        std::uint16_t nWord;
        std::memcpy(&nWord, pBytes + 2 * i, sizeof nWord);
        pOut[i] = Decode(eFormat, nWord, pNcc, pPalette);
    }
}
