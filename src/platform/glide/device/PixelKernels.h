// PixelKernels: the hottest per-pixel loops, chosen once per process for the processor.
//
// The table holds the portable versions (PixelStages: SSE2 with a scalar tail, or scalar alone)
// or, on x86-64 processors with AVX2, versions that run sixteen 16-bit lanes at a time
// (PixelKernelsAvx2.cpp, the only file built for AVX2). Every version computes exactly the same
// numbers, so frames do not depend on the processor. Used per chunk by the span renderer and the
// texture sampler.
//
// This header declares only data and function pointers, so it can be included by the AVX2
// file without inline functions being compiled twice for different processors.
#pragma once
#include "FusedSpan.h"
#include "Types.h"
#include <cstdint>

typedef std::int16_t Channel;

struct PixelKernels
{
    // Lanes the kernels work in: spans are rounded up to a multiple of this (8 or 16).
    Int32 nGranule;
    const char* pchName;

    void (*pfnCombine)(const Channel* pOther, const Channel* pSub, const Channel* pFactor,
                       Int32 nFactorXor, const Channel* pAdd, Int32 nOutputXor, Int32 n,
                       Channel* pOut);
    void (*pfnIterate)(Int32 nStart, Int32 nStep, Int32 n, Channel* pOut);
    void (*pfnBlend)(const Channel* pSrc, const Channel* pSrcFactor, const Channel* pDst,
                     const Channel* pDstFactor, Int32 n, Channel* pOut);
    void (*pfnInvert)(const Channel* pIn, Int32 n, Channel* pOut);
    void (*pfnExpand565)(const std::uint16_t* pPixels, Int32 n, Channel* pR, Channel* pG,
                         Channel* pB);
    void (*pfnPackDithered)(const Channel* pR, const Channel* pG, const Channel* pB,
                            const Channel* pDither, const Channel* pLive, Int32 n,
                            std::uint16_t* pDst);
    void (*pfnUnpack)(const UInt32* pTexels, Int32 n, Channel* pR, Channel* pG, Channel* pB,
                      Channel* pA);
    // Bilinear blend of four texel arrays with the fractions fu, fv (0..255): across then down,
    // (a (256 - f) + b f) >> 8 per channel, into 0xAARRGGBB.
    void (*pfnBilerp)(const UInt32* p00, const UInt32* p01, const UInt32* p10, const UInt32* p11,
                      const Int32* pFu, const Int32* pFv, Int32 n, UInt32* pOut);
    // Bilinear texel addresses and lookups in one level (w x h texels, w = 1 << nWidthLog2):
    // u = (s >> nShift) - 128 and v likewise (8 fraction bits, half a texel back), fractions
    // masked by nFracMask, texels (u, v), (u + 1, v), (u, v + 1), (u + 1, v + 1) wrapped or
    // clamped per axis. Null in the portable table, whose texture sampler does this itself.
    void (*pfnFetchBilinear)(const UInt32* pTexels, Int32 nWidthLog2, Int32 nWidthMask,
                             Int32 nHeightMask, bool bClampS, bool bClampT, const Int32* pS,
                             const Int32* pT, Int32 nShift, Int32 nFracMask, Int32 n, UInt32* p00,
                             UInt32* p01, UInt32* p10, UInt32* p11, Int32* pFu, Int32* pFv);
    // Perspective division of one chunk: w = w0 + i dw, s = (s0 + i ds) / w, t likewise,
    // clamped to -32768..32767 (0 where w < 0), as 12-bit fixed point.
    void (*pfnCoordinates)(float fW0, float fDw, float fS0, float fDs, float fT0, float fDt,
                           Int32 n, float* pW, Int32* pS, Int32* pT);
    // A whole chunk shaded and written in one pass (FusedSpan.h). Null in the portable table,
    // whose span renderer always runs the stages one by one.
    void (*pfnFusedSpan)(const FusedSpan& span);

    // The table for this processor.
    static const PixelKernels& Get();
    // The table for a run of n pixels: the portable one below 16 pixels.
    static const PixelKernels& ForLength(Int32 n) { return n >= 16 ? Get() : Portable(); }
    // The portable table, and the AVX2 one (null where the processor or build has none).
    static const PixelKernels& Portable();
    static const PixelKernels* Avx2();
};
