// PixelStages: the per-pixel arithmetic of the pixel pipeline, one stage per function.
//
// Each stage runs over a chunk of up to GlideConfig::SpanChunk pixels held as arrays of 8-bit
// channel values in 16-bit lanes (Channel), with every source chosen once per triangle by
// pointing at the right array, so no stage branches per pixel. Each stage is written twice:
// eight lanes at a time with SSE2 where available, and as the scalar loop that also finishes
// the last pixels of a chunk; both compute exactly the same numbers. Formulas
// (glide-reference.md §5, §6.2):
//  - combine unit: v = ((other - sub) * (f + 1)) >> 8 + add, clamped to 0..255, then XOR 255
//    when inverted; f is XORed with 255 for the "one minus" factors. The product is formed as
//    the high half of ((other - sub) << 7) * ((f + 1) << 1), which is the same number;
//  - blend: C = min(255, (Cs * (S + 1)) >> 8 + (Cd * (D + 1)) >> 8) with factors 0..255;
//  - fog: C + ((fog - C) * (f + 1)) >> 8;
//  - dither: the chip's 565 rounding with the matrix value d of each pixel:
//    red, blue = (2v - (v >> 4) + (v >> 7) + d) >> 4; green = (4v - (v >> 4) + (v >> 6) + d) >> 4.
#pragma once
#include "GlideConfig.h"
#include "PixelKernels.h"
#include "Types.h"
#include <cstdint>
#if GLIDE_SSE2
#include <emmintrin.h>
#endif

class PixelStages
{
  public:
    // (a (256 - f) + b f) >> 8 on 8-bit channels: one step of the bilinear blend.
    static UInt32 Lerp8(UInt32 a, UInt32 b, UInt32 f) { return (a * (256 - f) + b * f) >> 8; }

    // (a * (f + 1)) >> 8 for a in -255..255 and f in 0..255, as a 16-bit high multiply.
    static Channel Scale(Int32 a, Int32 f)
    {
        const Channel nA = Channel(a * 128);
        const Channel nF = Channel((f + 1) * 2);
        return Channel((Int32(nA) * Int32(nF)) >> 16);
    }

    static void Combine(const Channel* pOther, const Channel* pSub, const Channel* pFactor,
                        Int32 nFactorXor, const Channel* pAdd, Int32 nOutputXor, Int32 n,
                        Channel* pOut)
    {
        Int32 i = 0;
#if GLIDE_SSE2
        const __m128i vFactorXor = _mm_set1_epi16(short(nFactorXor));
        const __m128i vOutputXor = _mm_set1_epi16(short(nOutputXor));
        const __m128i vOne = _mm_set1_epi16(1);
        const __m128i v255 = _mm_set1_epi16(255);
        const __m128i vZero = _mm_setzero_si128();
        for (; i + 8 <= n; i += 8)
        {
            const __m128i vDiff =
                _mm_slli_epi16(_mm_sub_epi16(Load(pOther + i), Load(pSub + i)), 7);
            const __m128i vF = _mm_slli_epi16(
                _mm_add_epi16(_mm_xor_si128(Load(pFactor + i), vFactorXor), vOne), 1);
            __m128i v = _mm_add_epi16(_mm_mulhi_epi16(vDiff, vF), Load(pAdd + i));
            v = _mm_min_epi16(_mm_max_epi16(v, vZero), v255);
            Store(pOut + i, _mm_xor_si128(v, vOutputXor));
        }
#endif
        for (; i < n; ++i)
        {
            Int32 v = Scale(pOther[i] - pSub[i], pFactor[i] ^ nFactorXor) + pAdd[i];
            v = v < 0 ? 0 : v;
            v = v > 255 ? 255 : v;
            pOut[i] = Channel(v ^ nOutputXor);
        }
    }

    // Colour from a 12.12 iterator: integer part clamped to 0..255 (the chip wraps values out
    // of range; a clamp is what Glide asks of applications anyway, docs/fidelity.md). The
    // iterator steps in wrapping 32-bit arithmetic; only the values of the n pixels are used.
    static void Iterate(Int32 nStart, Int32 nStep, Int32 n, Channel* pOut)
    {
        Int32 i = 0;
#if GLIDE_SSE2
        // nStart + k * nStep for k = 0..3, built without a 32-bit vector multiply.
        const UInt32 nStep32 = UInt32(nStep);
        __m128i vValue = _mm_setr_epi32(nStart, Int32(UInt32(nStart) + nStep32),
                                        Int32(UInt32(nStart) + 2 * nStep32),
                                        Int32(UInt32(nStart) + 3 * nStep32));
        const __m128i vStep4 = _mm_set1_epi32(Int32(4 * nStep32));
        const __m128i v255 = _mm_set1_epi16(255);
        const __m128i vZero = _mm_setzero_si128();
        for (; i + 8 <= n; i += 8)
        {
            const __m128i vNext = _mm_add_epi32(vValue, vStep4);
            __m128i v = _mm_packs_epi32(_mm_srai_epi32(vValue, 12), _mm_srai_epi32(vNext, 12));
            Store(pOut + i, _mm_min_epi16(_mm_max_epi16(v, vZero), v255));
            vValue = _mm_add_epi32(vNext, vStep4);
        }
#endif
        UInt32 nValue = UInt32(nStart) + UInt32(i) * UInt32(nStep);
        for (; i < n; ++i, nValue += UInt32(nStep))
        {
            Int32 v = Int32(nValue) >> 12;
            v = v < 0 ? 0 : v;
            pOut[i] = Channel(v > 255 ? 255 : v);
        }
    }

    // Depth from a 20.12 iterator: integer part clamped to 0..65535.
    static void IterateDepth(Int32 nStart, Int32 nStep, Int32 n, Int32* pOut)
    {
        UInt32 nValue = UInt32(nStart);
        for (Int32 i = 0; i < n; ++i, nValue += UInt32(nStep))
        {
            Int32 v = Int32(nValue) >> 12;
            v = v < 0 ? 0 : v;
            pOut[i] = v > 65535 ? 65535 : v;
        }
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

    // 255 - v
    static void Invert(const Channel* pIn, Int32 n, Channel* pOut)
    {
        Int32 i = 0;
#if GLIDE_SSE2
        const __m128i v255 = _mm_set1_epi16(255);
        for (; i + 8 <= n; i += 8)
            Store(pOut + i, _mm_sub_epi16(v255, Load(pIn + i)));
#endif
        for (; i < n; ++i)
            pOut[i] = Channel(255 - pIn[i]);
    }

    static void Min(const Channel* pA, const Channel* pB, Int32 n, Channel* pOut)
    {
        Int32 i = 0;
#if GLIDE_SSE2
        for (; i + 8 <= n; i += 8)
            Store(pOut + i, _mm_min_epi16(Load(pA + i), Load(pB + i)));
#endif
        for (; i < n; ++i)
            pOut[i] = pA[i] < pB[i] ? pA[i] : pB[i];
    }

    // Unpacks 0xAARRGGBB texels into channel arrays.
    static void Unpack(const UInt32* pTexels, Int32 n, Channel* pR, Channel* pG, Channel* pB,
                       Channel* pA)
    {
        Int32 i = 0;
#if GLIDE_SSE2
        const __m128i vLowByte = _mm_set1_epi16(0xFF);
        for (; i + 8 <= n; i += 8)
        {
            __m128i vLow, vHigh;
            SplitHalves(pTexels + i, &vLow, &vHigh);
            Store(pB + i, _mm_and_si128(vLow, vLowByte));
            Store(pG + i, _mm_srli_epi16(vLow, 8));
            Store(pR + i, _mm_and_si128(vHigh, vLowByte));
            Store(pA + i, _mm_srli_epi16(vHigh, 8));
        }
#endif
        for (; i < n; ++i)
        {
            const UInt32 t = pTexels[i];
            pA[i] = Channel(t >> 24);
            pR[i] = Channel((t >> 16) & 0xFFu);
            pG[i] = Channel((t >> 8) & 0xFFu);
            pB[i] = Channel(t & 0xFFu);
        }
    }

    // One blended channel. Both products fit 16 unsigned bits (at most 255 * 256).
    static void Blend(const Channel* pSrc, const Channel* pSrcFactor, const Channel* pDst,
                      const Channel* pDstFactor, Int32 n, Channel* pOut)
    {
        Int32 i = 0;
#if GLIDE_SSE2
        const __m128i vOne = _mm_set1_epi16(1);
        const __m128i v255 = _mm_set1_epi16(255);
        for (; i + 8 <= n; i += 8)
        {
            const __m128i vSrc = _mm_srli_epi16(
                _mm_mullo_epi16(Load(pSrc + i), _mm_add_epi16(Load(pSrcFactor + i), vOne)), 8);
            const __m128i vDst = _mm_srli_epi16(
                _mm_mullo_epi16(Load(pDst + i), _mm_add_epi16(Load(pDstFactor + i), vOne)), 8);
            Store(pOut + i, _mm_min_epi16(_mm_add_epi16(vSrc, vDst), v255));
        }
#endif
        for (; i < n; ++i)
        {
            const Int32 nSrc = (pSrc[i] * (pSrcFactor[i] + 1)) >> 8;
            const Int32 nDst = (pDst[i] * (pDstFactor[i] + 1)) >> 8;
            const Int32 v = nSrc + nDst;
            pOut[i] = Channel(v > 255 ? 255 : v);
        }
    }

    // Fog: C + ((fog - C) * (f + 1)) >> 8 per channel.
    static void Fog(const Channel* pColour, const Channel* pFog, const Channel* pFactor, Int32 n,
                    Channel* pOut)
    {
        for (Int32 i = 0; i < n; ++i)
        {
            Int32 v = pColour[i] + Scale(pFog[i] - pColour[i], pFactor[i]);
            v = v < 0 ? 0 : v;
            pOut[i] = Channel(v > 255 ? 255 : v);
        }
    }

    // Expands 565 pixels to 8-bit channels by bit replication.
    static void Expand565(const std::uint16_t* pPixels, Int32 n, Channel* pR, Channel* pG,
                          Channel* pB)
    {
        Int32 i = 0;
#if GLIDE_SSE2
        const __m128i v6 = _mm_set1_epi16(0x3F);
        const __m128i v5 = _mm_set1_epi16(0x1F);
        for (; i + 8 <= n; i += 8)
        {
            const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pPixels + i));
            const __m128i r = _mm_srli_epi16(p, 11);
            const __m128i g = _mm_and_si128(_mm_srli_epi16(p, 5), v6);
            const __m128i b = _mm_and_si128(p, v5);
            Store(pR + i, _mm_or_si128(_mm_slli_epi16(r, 3), _mm_srli_epi16(r, 2)));
            Store(pG + i, _mm_or_si128(_mm_slli_epi16(g, 2), _mm_srli_epi16(g, 4)));
            Store(pB + i, _mm_or_si128(_mm_slli_epi16(b, 3), _mm_srli_epi16(b, 2)));
        }
#endif
        for (; i < n; ++i)
        {
            const Int32 p = pPixels[i];
            const Int32 r = p >> 11;
            const Int32 g = (p >> 5) & 0x3F;
            const Int32 b = p & 0x1F;
            pR[i] = Channel((r << 3) | (r >> 2));
            pG[i] = Channel((g << 2) | (g >> 4));
            pB[i] = Channel((b << 3) | (b >> 2));
        }
    }

    // Packs to 565 with the per-pixel dither values pDither (0..15); writes only where pLive
    // is non-zero.
    static void PackDithered(const Channel* pR, const Channel* pG, const Channel* pB,
                             const Channel* pDither, const Channel* pLive, Int32 n,
                             std::uint16_t* pDst)
    {
        Int32 i = 0;
#if GLIDE_SSE2
        for (; i + 8 <= n; i += 8)
        {
            const __m128i d = Load(pDither + i);
            const __m128i r = Load(pR + i), g = Load(pG + i), b = Load(pB + i);
            const __m128i r5 = _mm_srli_epi16(DitherSum(r, 1, 7, d), 4);
            const __m128i g6 = _mm_srli_epi16(DitherSum(g, 2, 6, d), 4);
            const __m128i b5 = _mm_srli_epi16(DitherSum(b, 1, 7, d), 4);
            const __m128i vPixel =
                _mm_or_si128(_mm_or_si128(_mm_slli_epi16(r5, 11), _mm_slli_epi16(g6, 5)), b5);
            WriteLive(pDst + i, vPixel, Load(pLive + i));
        }
#endif
        for (; i < n; ++i)
        {
            const Int32 d = pDither[i];
            const Int32 r = (2 * pR[i] - (pR[i] >> 4) + (pR[i] >> 7) + d) >> 4;
            const Int32 g = (4 * pG[i] - (pG[i] >> 4) + (pG[i] >> 6) + d) >> 4;
            const Int32 b = (2 * pB[i] - (pB[i] >> 4) + (pB[i] >> 7) + d) >> 4;
            const std::uint16_t nPixel = std::uint16_t((r << 11) | (g << 5) | b);
            pDst[i] = pLive[i] ? nPixel : pDst[i];
        }
    }

    static void PackTruncated(const Channel* pR, const Channel* pG, const Channel* pB,
                              const Channel* pLive, Int32 n, std::uint16_t* pDst)
    {
        Int32 i = 0;
#if GLIDE_SSE2
        for (; i + 8 <= n; i += 8)
        {
            const __m128i vPixel =
                _mm_or_si128(_mm_or_si128(_mm_slli_epi16(_mm_srli_epi16(Load(pR + i), 3), 11),
                                          _mm_slli_epi16(_mm_srli_epi16(Load(pG + i), 2), 5)),
                             _mm_srli_epi16(Load(pB + i), 3));
            WriteLive(pDst + i, vPixel, Load(pLive + i));
        }
#endif
        for (; i < n; ++i)
        {
            const std::uint16_t nPixel =
                std::uint16_t(((pR[i] >> 3) << 11) | ((pG[i] >> 2) << 5) | (pB[i] >> 3));
            pDst[i] = pLive[i] ? nPixel : pDst[i];
        }
    }

    // Bilinear blend (see PixelKernels::pfnBilerp).
    static void Bilerp(const UInt32* p00, const UInt32* p01, const UInt32* p10, const UInt32* p11,
                       const Int32* pFu, const Int32* pFv, Int32 n, UInt32* pOut)
    {
        Int32 i = 0;
#if GLIDE_SSE2
        // Two channels per 32-bit lane: red and blue (mask 0x00FF00FF), alpha and green (the
        // same mask after >> 8), each in its own 16-bit half, so 16-bit multiplies blend both.
        const __m128i vMask = _mm_set1_epi32(0x00FF00FF);
        const __m128i v256 = _mm_set1_epi32(0x01000100);
        for (; i + 4 <= n; i += 4)
        {
            const __m128i vFu = Spread(pFu + i), vFv = Spread(pFv + i);
            const __m128i vIu = _mm_sub_epi16(v256, vFu), vIv = _mm_sub_epi16(v256, vFv);
            const __m128i x00 = Load32(p00 + i), x01 = Load32(p01 + i);
            const __m128i x10 = Load32(p10 + i), x11 = Load32(p11 + i);
            const __m128i vRbTop =
                Lerp(_mm_and_si128(x00, vMask), _mm_and_si128(x01, vMask), vIu, vFu);
            const __m128i vRbBottom =
                Lerp(_mm_and_si128(x10, vMask), _mm_and_si128(x11, vMask), vIu, vFu);
            const __m128i vAgTop = Lerp(_mm_and_si128(_mm_srli_epi32(x00, 8), vMask),
                                        _mm_and_si128(_mm_srli_epi32(x01, 8), vMask), vIu, vFu);
            const __m128i vAgBottom = Lerp(_mm_and_si128(_mm_srli_epi32(x10, 8), vMask),
                                           _mm_and_si128(_mm_srli_epi32(x11, 8), vMask), vIu, vFu);
            const __m128i vRb = Lerp(vRbTop, vRbBottom, vIv, vFv);
            const __m128i vAg = Lerp(vAgTop, vAgBottom, vIv, vFv);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(pOut + i),
                             _mm_or_si128(vRb, _mm_slli_epi16(vAg, 8)));
        }
#endif
        for (; i < n; ++i)
        {
            const UInt32 fu = UInt32(pFu[i]), fv = UInt32(pFv[i]);
            const UInt32 a = p00[i], b = p01[i], c = p10[i], d = p11[i];
            UInt32 nTexel = 0;
            for (Int32 nShift = 0; nShift < 32; nShift += 8)
            {
                const UInt32 nTop = Lerp8((a >> nShift) & 0xFFu, (b >> nShift) & 0xFFu, fu);
                const UInt32 nBottom = Lerp8((c >> nShift) & 0xFFu, (d >> nShift) & 0xFFu, fu);
                nTexel |= Lerp8(nTop, nBottom, fv) << nShift;
            }
            pOut[i] = nTexel;
        }
    }

    // Perspective division (see PixelKernels::pfnCoordinates).
    static void Coordinates(float fW0, float fDw, float fS0, float fDs, float fT0, float fDt,
                            Int32 n, float* pW, Int32* pS, Int32* pT)
    {
        const float fMax = GlideConfig::MaxTexCoord, fMin = -32768.0f;
        const float fScale = float(1 << GlideConfig::TexCoordFracBits);
        Int32 i = 0;
#if GLIDE_SSE2
        const __m128i vStepIndex = _mm_set1_epi32(4);
        __m128i vIndex = _mm_setr_epi32(0, 1, 2, 3);
        const __m128 vW0 = _mm_set1_ps(fW0), vDw = _mm_set1_ps(fDw);
        const __m128 vS0 = _mm_set1_ps(fS0), vDs = _mm_set1_ps(fDs);
        const __m128 vT0 = _mm_set1_ps(fT0), vDt = _mm_set1_ps(fDt);
        const __m128 vOne = _mm_set1_ps(1.0f), vZero = _mm_setzero_ps();
        const __m128 vMax = _mm_set1_ps(fMax), vMin = _mm_set1_ps(fMin);
        const __m128 vScale = _mm_set1_ps(fScale);
        for (; i + 4 <= n; i += 4)
        {
            // The scalar loop's operations, four pixels at a time. minps and maxps return their
            // second operand for a NaN, as the scalar selects do.
            const __m128 vI = _mm_cvtepi32_ps(vIndex);
            const __m128 vW = _mm_add_ps(vW0, _mm_mul_ps(vI, vDw));
            const __m128 vRecip = _mm_div_ps(vOne, vW);
            __m128 vS = _mm_mul_ps(_mm_add_ps(vS0, _mm_mul_ps(vI, vDs)), vRecip);
            __m128 vT = _mm_mul_ps(_mm_add_ps(vT0, _mm_mul_ps(vI, vDt)), vRecip);
            vS = _mm_max_ps(_mm_min_ps(vS, vMax), vMin);
            vT = _mm_max_ps(_mm_min_ps(vT, vMax), vMin);
            const __m128 vBehind = _mm_cmplt_ps(vW, vZero);
            vS = _mm_andnot_ps(vBehind, vS);
            vT = _mm_andnot_ps(vBehind, vT);
            _mm_storeu_ps(pW + i, vW);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(pS + i),
                             _mm_cvttps_epi32(_mm_mul_ps(vS, vScale)));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(pT + i),
                             _mm_cvttps_epi32(_mm_mul_ps(vT, vScale)));
            vIndex = _mm_add_epi32(vIndex, vStepIndex);
        }
#endif
        for (; i < n; ++i)
        {
            const float fI = float(i);
            const float fW = fW0 + fI * fDw;
            const float fRecip = 1.0f / fW;
            float fS = (fS0 + fI * fDs) * fRecip;
            float fT = (fT0 + fI * fDt) * fRecip;
            // Out-of-range values (and the NaN of 0/0) are clamped to the valid range, and a
            // negative 1/w puts the pixel at the texture's origin.
            fS = fS < fMax ? fS : fMax;
            fS = fS > fMin ? fS : fMin;
            fT = fT < fMax ? fT : fMax;
            fT = fT > fMin ? fT : fMin;
            const bool bBehind = fW < 0.0f;
            fS = bBehind ? 0.0f : fS;
            fT = bBehind ? 0.0f : fT;
            pW[i] = fW;
            pS[i] = Int32(fS * fScale);
            pT[i] = Int32(fT * fScale);
        }
    }

#if GLIDE_SSE2
    static __m128i Load(const Channel* p)
    {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    }
    static void Store(Channel* p, __m128i v)
    {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
    }

    // Eight 32-bit texels -> their low halves (green, blue) and high halves (alpha, red) as
    // eight 16-bit lanes each. Shifting left then arithmetic right keeps the half's bits exactly
    // within the signed 16-bit range, so the saturating pack changes nothing.
    static void SplitHalves(const UInt32* pTexels, __m128i* pLow, __m128i* pHigh)
    {
        const __m128i x0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pTexels));
        const __m128i x1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pTexels + 4));
        *pLow = _mm_packs_epi32(_mm_srai_epi32(_mm_slli_epi32(x0, 16), 16),
                                _mm_srai_epi32(_mm_slli_epi32(x1, 16), 16));
        *pHigh = _mm_packs_epi32(_mm_srai_epi32(x0, 16), _mm_srai_epi32(x1, 16));
    }

    static __m128i Load32(const void* p)
    {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    }
    // Four fractions, each repeated in both 16-bit halves of its lane.
    static __m128i Spread(const Int32* p)
    {
        const __m128i f = Load32(p);
        return _mm_or_si128(f, _mm_slli_epi32(f, 16));
    }
    static __m128i Lerp(__m128i a, __m128i b, __m128i vInverse, __m128i vFraction)
    {
        return _mm_srli_epi16(
            _mm_add_epi16(_mm_mullo_epi16(a, vInverse), _mm_mullo_epi16(b, vFraction)), 8);
    }

  private:
    // (2^k) v - (v >> 4) + (v >> s) + d for the dither rounding (k = 1 red/blue, 2 green).
    static __m128i DitherSum(__m128i v, int k, int s, __m128i d)
    {
        const __m128i vScaled = k == 1 ? _mm_slli_epi16(v, 1) : _mm_slli_epi16(v, 2);
        const __m128i vLow = s == 7 ? _mm_srli_epi16(v, 7) : _mm_srli_epi16(v, 6);
        return _mm_add_epi16(_mm_add_epi16(_mm_sub_epi16(vScaled, _mm_srli_epi16(v, 4)), vLow), d);
    }

    // Stores vPixel where the live lane is non-zero, keeps the old pixel elsewhere.
    static void WriteLive(std::uint16_t* pDst, __m128i vPixel, __m128i vLive)
    {
        __m128i* p = reinterpret_cast<__m128i*>(pDst);
        const __m128i vDead = _mm_cmpeq_epi16(vLive, _mm_setzero_si128());
        const __m128i vOld = _mm_loadu_si128(p);
        _mm_storeu_si128(p,
                         _mm_or_si128(_mm_and_si128(vDead, vOld), _mm_andnot_si128(vDead, vPixel)));
    }
#endif
};
