// PixelStages: the per-pixel arithmetic of the pixel pipeline, one stage per function.
//
// Each stage runs over a chunk of up to GlideConfig::SpanChunk pixels held as arrays of 8-bit
// channel values (in Int32 lanes), with every source chosen once per triangle by pointing at the
// right array; so no stage branches per pixel and the compiler vectorises each loop. Formulas
// (glide-reference.md §5, §6.2):
//  - combine unit: v = ((other - sub) * (f + 1)) >> 8 + add, clamped to 0..255, then XOR 255
//    when inverted; f is XORed with 255 for the "one minus" factors;
//  - blend: C = min(255, (Cs * (S + 1)) >> 8 + (Cd * (D + 1)) >> 8) with factors 0..255;
//  - dither: the chip's 565 rounding with the matrix value of each pixel.
#pragma once
#include "Types.h"
#include <cstdint>

class PixelStages
{
public:
    static void Combine(const Int32* pOther, const Int32* pSub, const Int32* pFactor,
                        Int32 nFactorXor, const Int32* pAdd, Int32 nOutputXor, Int32 n,
                        Int32* __restrict pOut)
    {
        for (Int32 i = 0; i < n; ++i)
        {
            Int32 v = (((pOther[i] - pSub[i]) * ((pFactor[i] ^ nFactorXor) + 1)) >> 8) + pAdd[i];
            v = v < 0 ? 0 : v;
            v = v > 255 ? 255 : v;
            pOut[i] = v ^ nOutputXor;
        }
    }

    // Colour from a 12.12 iterator: integer part clamped to 0..255.
    static void Iterate(Int32 nStart, Int32 nStep, Int32 n, Int32* __restrict pOut)
    {
        for (Int32 i = 0; i < n; ++i)
        {
            Int32 v = (nStart + i * nStep) >> 12;
            v = v < 0 ? 0 : v;
            pOut[i] = v > 255 ? 255 : v;
        }
    }

    // Depth from a 20.12 iterator: integer part clamped to 0..65535.
    static void IterateDepth(Int32 nStart, Int32 nStep, Int32 n, Int32* __restrict pOut)
    {
        for (Int32 i = 0; i < n; ++i)
        {
            Int32 v = (nStart + i * nStep) >> 12;
            v = v < 0 ? 0 : v;
            pOut[i] = v > 65535 ? 65535 : v;
        }
    }

    static void Fill(Int32 nValue, Int32 n, Int32* __restrict pOut)
    {
        for (Int32 i = 0; i < n; ++i)
            pOut[i] = nValue;
    }

    // 255 - v
    static void Invert(const Int32* pIn, Int32 n, Int32* __restrict pOut)
    {
        for (Int32 i = 0; i < n; ++i)
            pOut[i] = 255 - pIn[i];
    }

    static void Min(const Int32* pA, const Int32* pB, Int32 n, Int32* __restrict pOut)
    {
        for (Int32 i = 0; i < n; ++i)
            pOut[i] = pA[i] < pB[i] ? pA[i] : pB[i];
    }

    // Unpacks 0xAARRGGBB texels into channel arrays.
    static void Unpack(const UInt32* pTexels, Int32 n, Int32* __restrict pR, Int32* __restrict pG,
                       Int32* __restrict pB, Int32* __restrict pA)
    {
        for (Int32 i = 0; i < n; ++i)
        {
            const UInt32 t = pTexels[i];
            pA[i] = Int32(t >> 24);
            pR[i] = Int32((t >> 16) & 0xFFu);
            pG[i] = Int32((t >> 8) & 0xFFu);
            pB[i] = Int32(t & 0xFFu);
        }
    }

    // One blended channel.
    static void Blend(const Int32* pSrc, const Int32* pSrcFactor, const Int32* pDst,
                      const Int32* pDstFactor, Int32 n, Int32* __restrict pOut)
    {
        for (Int32 i = 0; i < n; ++i)
        {
            const Int32 v =
                ((pSrc[i] * (pSrcFactor[i] + 1)) >> 8) + ((pDst[i] * (pDstFactor[i] + 1)) >> 8);
            pOut[i] = v > 255 ? 255 : v;
        }
    }

    // Fog: C + ((fog - C) * (f + 1)) >> 8 per channel.
    static void Fog(const Int32* pColour, const Int32* pFog, const Int32* pFactor, Int32 n,
                    Int32* __restrict pOut)
    {
        for (Int32 i = 0; i < n; ++i)
        {
            Int32 v = pColour[i] + (((pFog[i] - pColour[i]) * (pFactor[i] + 1)) >> 8);
            v = v < 0 ? 0 : v;
            pOut[i] = v > 255 ? 255 : v;
        }
    }

    // Expands 565 pixels to 8-bit channels by bit replication.
    static void Expand565(const std::uint16_t* pPixels, Int32 n, Int32* __restrict pR,
                          Int32* __restrict pG, Int32* __restrict pB)
    {
        for (Int32 i = 0; i < n; ++i)
        {
            const Int32 p = pPixels[i];
            const Int32 r = p >> 11;
            const Int32 g = (p >> 5) & 0x3F;
            const Int32 b = p & 0x1F;
            pR[i] = (r << 3) | (r >> 2);
            pG[i] = (g << 2) | (g >> 4);
            pB[i] = (b << 3) | (b >> 2);
        }
    }

    // Packs to 565 with the per-pixel dither values pDither (0..15), or truncating when
    // pDither is null; writes only where pLive is non-zero.
    static void PackDithered(const Int32* pR, const Int32* pG, const Int32* pB,
                             const Int32* pDither, const Int32* pLive, Int32 n,
                             std::uint16_t* __restrict pDst)
    {
        for (Int32 i = 0; i < n; ++i)
        {
            const Int32 d = pDither[i];
            const Int32 r = (2 * pR[i] - (pR[i] >> 4) + (pR[i] >> 7) + d) >> 4;
            const Int32 g = (4 * pG[i] - (pG[i] >> 4) + (pG[i] >> 6) + d) >> 4;
            const Int32 b = (2 * pB[i] - (pB[i] >> 4) + (pB[i] >> 7) + d) >> 4;
            const std::uint16_t nPixel = std::uint16_t((r << 11) | (g << 5) | b);
            pDst[i] = pLive[i] ? nPixel : pDst[i];
        }
    }

    static void PackTruncated(const Int32* pR, const Int32* pG, const Int32* pB,
                              const Int32* pLive, Int32 n, std::uint16_t* __restrict pDst)
    {
        for (Int32 i = 0; i < n; ++i)
        {
            const std::uint16_t nPixel =
                std::uint16_t(((pR[i] >> 3) << 11) | ((pG[i] >> 2) << 5) | (pB[i] >> 3));
            pDst[i] = pLive[i] ? nPixel : pDst[i];
        }
    }
};
