// PixelStages: the stages of the staged reference pipeline, one function each, over a chunk of
// pixels held as arrays.
//
// Each stage runs over n pixels (n a multiple of eight, at most GlideConfig::SpanChunk) held as
// arrays of 8-bit channel values in 16-bit lanes (Channel), with every source chosen once per
// triangle by pointing at the right array, so no stage branches per pixel. The arithmetic of
// every stage is PixelMath's, on the portable lanes (LanesScalar.h): the fast path computes the
// same formulas on wider lanes, so both give the same pixels. Used per chunk by the span renderer
// and the texture sampler.
#pragma once
#include "GlideConfig.h"
#include "LanesScalar.h"
#include "PixelMath.h"
#include "Types.h"
#include <cstdint>

typedef std::int16_t Channel;

class PixelStages
{
  public:
    // Pixels per step of every stage: chunks are computed in whole groups of this many.
    static constexpr Int32 Group = 8;

    static void Combine(const Channel* pOther, const Channel* pSub, const Channel* pFactor,
                        Int32 nFactorXor, const Channel* pAdd, Int32 nOutputXor, Int32 n,
                        Channel* pOut)
    {
        using namespace Scalar;
        const I16 factorXor = Splat<I16>(nFactorXor), outputXor = Splat<I16>(nOutputXor);
        for (Int32 i = 0; i < n; i += Group)
            Store(pOut + i, PixelMath::Combine(Load(pOther + i), Load(pSub + i), Load(pFactor + i),
                                               factorXor, Load(pAdd + i), outputXor));
    }

    // A colour channel from its 12.12 iterator, nStart at the first pixel, stepping in wrapping
    // 32-bit arithmetic.
    static void Iterate(Int32 nStart, Int32 nStep, Int32 n, Channel* pOut)
    {
        using namespace Scalar;
        for (Int32 i = 0; i < n; i += Group)
            Store(pOut + i, PixelMath::IteratedChannel(Iterator(nStart, nStep, i)));
    }

    // Depth from its 20.12 iterator.
    static void IterateDepth(Int32 nStart, Int32 nStep, Int32 n, Int32* pOut)
    {
        using namespace Scalar;
        for (Int32 i = 0; i < n; i += Group)
            Store(pOut + i, PixelMath::IteratedDepth(Iterator(nStart, nStep, i)));
    }

    static void Blend(const Channel* pSrc, const Channel* pSrcFactor, const Channel* pDst,
                      const Channel* pDstFactor, Int32 n, Channel* pOut)
    {
        using namespace Scalar;
        for (Int32 i = 0; i < n; i += Group)
            Store(pOut + i, PixelMath::Blend(Load(pSrc + i), Load(pSrcFactor + i), Load(pDst + i),
                                             Load(pDstFactor + i)));
    }

    static void Fog(const Channel* pColour, const Channel* pFog, const Channel* pFactor, Int32 n,
                    Channel* pOut)
    {
        using namespace Scalar;
        for (Int32 i = 0; i < n; i += Group)
            Store(pOut + i, PixelMath::Fog(Load(pColour + i), Load(pFog + i), Load(pFactor + i)));
    }

    // 255 - v
    static void Invert(const Channel* pIn, Int32 n, Channel* pOut)
    {
        using namespace Scalar;
        for (Int32 i = 0; i < n; i += Group)
            Store(pOut + i, PixelMath::Invert(Load(pIn + i)));
    }

    static void Min(const Channel* pA, const Channel* pB, Int32 n, Channel* pOut)
    {
        using namespace Scalar;
        for (Int32 i = 0; i < n; i += Group)
            Store(pOut + i, Scalar::Min(Load(pA + i), Load(pB + i)));
    }

    static void Fill(Int32 nValue, Int32 n, Channel* pOut)
    {
        for (Int32 i = 0; i < n; ++i)
            pOut[i] = Channel(nValue);
    }

    static void Fill(Int32 nValue, Int32 n, Int32* pOut)
    {
        for (Int32 i = 0; i < n; ++i)
            pOut[i] = nValue;
    }

    // Destination pixels expanded to 8-bit channels.
    static void Expand565(const std::uint16_t* pPixels, Int32 n, Channel* pR, Channel* pG,
                          Channel* pB)
    {
        using namespace Scalar;
        for (Int32 i = 0; i < n; i += Group)
        {
            I16 r, g, b;
            PixelMath::Expand565(Load(pPixels + i), &r, &g, &b);
            Store(pR + i, r);
            Store(pG + i, g);
            Store(pB + i, b);
        }
    }

    // Packs to 565 with the per-pixel dither values pDither (0..15), or truncated when pDither
    // is null; writes only where pLive is non-zero.
    static void Pack(const Channel* pR, const Channel* pG, const Channel* pB,
                     const Channel* pDither, const Channel* pLive, Int32 n, std::uint16_t* pDst)
    {
        using namespace Scalar;
        for (Int32 i = 0; i < n; i += Group)
        {
            const I16 r = Load(pR + i), g = Load(pG + i), b = Load(pB + i);
            const I16 pixel = pDither ? PixelMath::PackDithered(r, g, b, Load(pDither + i))
                                      : PixelMath::PackTruncated(r, g, b);
            const I16 live = CmpEq(Load(pLive + i), Splat<I16>(0)) ^ Splat<I16>(-1);
            Store(pDst + i, Select(live, Load(pDst + i), pixel));
        }
    }

    // Unpacks 0xAARRGGBB texels into channel arrays.
    static void Unpack(const UInt32* pTexels, Int32 n, Channel* pR, Channel* pG, Channel* pB,
                       Channel* pA)
    {
        using namespace Scalar;
        for (Int32 i = 0; i < n; i += Group)
        {
            I16 r, g, b, a;
            PixelMath::UnpackTexels(Texels(pTexels + i), &r, &g, &b, &a);
            Store(pR + i, r);
            Store(pG + i, g);
            Store(pB + i, b);
            Store(pA + i, a);
        }
    }

    // Bilinear blend of four texel arrays with the fractions fu, fv (0..255), into 0xAARRGGBB.
    static void Bilerp(const UInt32* p00, const UInt32* p01, const UInt32* p10, const UInt32* p11,
                       const Int32* pFu, const Int32* pFv, Int32 n, UInt32* pOut)
    {
        using namespace Scalar;
        for (Int32 i = 0; i < n; i += Group)
            Store(reinterpret_cast<std::int32_t*>(pOut + i),
                  PixelMath::Bilerp(Texels(p00 + i), Texels(p01 + i), Texels(p10 + i),
                                    Texels(p11 + i), Load(pFu + i), Load(pFv + i)));
    }

    // Perspective division of one chunk (PixelMath::Perspective): pixel i has w = w0 + i dw.
    static void Coordinates(float fW0, float fDw, float fS0, float fDs, float fT0, float fDt,
                            Int32 n, float* pW, Int32* pS, Int32* pT)
    {
        using namespace Scalar;
        for (Int32 i = 0; i < n; i += Group)
        {
            F32 w;
            I32 s, t;
            PixelMath::Perspective(ToFloat(Splat<I32>(i) + LaneIndex32()), SplatF(fW0), SplatF(fDw),
                                   SplatF(fS0), SplatF(fDs), SplatF(fT0), SplatF(fDt), &w, &s, &t);
            Store(pW + i, w);
            Store(pS + i, s);
            Store(pT + i, t);
        }
    }

  private:
    // The 12.12 iterator at pixels i..i+7: start + k step in wrapping 32-bit arithmetic.
    static Scalar::I32 Iterator(Int32 nStart, Int32 nStep, Int32 i)
    {
        return Scalar::Ramp(Int32(UInt32(nStart) + UInt32(i) * UInt32(nStep)), nStep);
    }

    static Scalar::I32 Texels(const UInt32* p)
    {
        return Scalar::Load(reinterpret_cast<const std::int32_t*>(p));
    }
};
