// PixelKernelsAvx2: the hottest pixel loops sixteen 16-bit lanes (eight 32-bit lanes) at a time.
//
// The only file built with AVX2 enabled. It includes nothing with inline functions shared with
// the rest of the layer (only PixelKernels.h, which declares data), and keeps everything in an
// unnamed namespace, so no function compiled for AVX2 can stand in for a portable one. Each loop
// computes exactly what PixelStages computes; lanes past the last whole 256-bit vector are left
// to the portable kernel.
#include "PixelKernels.h"
#include <immintrin.h>

// FusedSpanAvx2.cpp, built for AVX2 as well.
void FusedSpanAvx2(const FusedSpan& span);

namespace
{
inline __m256i Load(const void* p)
{
    return _mm256_loadu_si256(static_cast<const __m256i*>(p));
}

inline void Store(void* p, __m256i v)
{
    _mm256_storeu_si256(static_cast<__m256i*>(p), v);
}

// Two vectors of eight 32-bit values -> sixteen 16-bit values in order (the pack works within
// 128-bit halves, the permute puts the quarters back in sequence).
inline __m256i Pack32(__m256i a, __m256i b)
{
    return _mm256_permute4x64_epi64(_mm256_packs_epi32(a, b), 0xD8);
}

void Combine(const Channel* pOther, const Channel* pSub, const Channel* pFactor, Int32 nFactorXor,
             const Channel* pAdd, Int32 nOutputXor, Int32 n, Channel* pOut)
{
    Int32 i = 0;
    const __m256i vFactorXor = _mm256_set1_epi16(short(nFactorXor));
    const __m256i vOutputXor = _mm256_set1_epi16(short(nOutputXor));
    const __m256i vOne = _mm256_set1_epi16(1);
    const __m256i v255 = _mm256_set1_epi16(255);
    const __m256i vZero = _mm256_setzero_si256();
    for (; i + 16 <= n; i += 16)
    {
        const __m256i vDiff =
            _mm256_slli_epi16(_mm256_sub_epi16(Load(pOther + i), Load(pSub + i)), 7);
        const __m256i vF = _mm256_slli_epi16(
            _mm256_add_epi16(_mm256_xor_si256(Load(pFactor + i), vFactorXor), vOne), 1);
        __m256i v = _mm256_add_epi16(_mm256_mulhi_epi16(vDiff, vF), Load(pAdd + i));
        v = _mm256_min_epi16(_mm256_max_epi16(v, vZero), v255);
        Store(pOut + i, _mm256_xor_si256(v, vOutputXor));
    }
    if (i < n) // the last eight lanes (spans are whole multiples of eight)
        PixelKernels::Portable().pfnCombine(pOther + i, pSub + i, pFactor + i, nFactorXor, pAdd + i,
                                            nOutputXor, n - i, pOut + i);
}

void Iterate(Int32 nStart, Int32 nStep, Int32 n, Channel* pOut)
{
    Int32 i = 0;
    const UInt32 nStep32 = UInt32(nStep);
    __m256i vValue = _mm256_add_epi32(_mm256_set1_epi32(nStart),
                                      _mm256_setr_epi32(0, Int32(nStep32), Int32(2 * nStep32),
                                                        Int32(3 * nStep32), Int32(4 * nStep32),
                                                        Int32(5 * nStep32), Int32(6 * nStep32),
                                                        Int32(7 * nStep32)));
    const __m256i vStep8 = _mm256_set1_epi32(Int32(8 * nStep32));
    const __m256i v255 = _mm256_set1_epi16(255);
    const __m256i vZero = _mm256_setzero_si256();
    for (; i + 16 <= n; i += 16)
    {
        const __m256i vNext = _mm256_add_epi32(vValue, vStep8);
        const __m256i v = Pack32(_mm256_srai_epi32(vValue, 12), _mm256_srai_epi32(vNext, 12));
        Store(pOut + i, _mm256_min_epi16(_mm256_max_epi16(v, vZero), v255));
        vValue = _mm256_add_epi32(vNext, vStep8);
    }
    if (i < n)
        PixelKernels::Portable().pfnIterate(Int32(UInt32(nStart) + UInt32(i) * nStep32), nStep,
                                            n - i, pOut + i);
}

void Blend(const Channel* pSrc, const Channel* pSrcFactor, const Channel* pDst,
           const Channel* pDstFactor, Int32 n, Channel* pOut)
{
    Int32 i = 0;
    const __m256i vOne = _mm256_set1_epi16(1);
    const __m256i v255 = _mm256_set1_epi16(255);
    for (; i + 16 <= n; i += 16)
    {
        const __m256i vSrc = _mm256_srli_epi16(
            _mm256_mullo_epi16(Load(pSrc + i), _mm256_add_epi16(Load(pSrcFactor + i), vOne)), 8);
        const __m256i vDst = _mm256_srli_epi16(
            _mm256_mullo_epi16(Load(pDst + i), _mm256_add_epi16(Load(pDstFactor + i), vOne)), 8);
        Store(pOut + i, _mm256_min_epi16(_mm256_add_epi16(vSrc, vDst), v255));
    }
    if (i < n)
        PixelKernels::Portable().pfnBlend(pSrc + i, pSrcFactor + i, pDst + i, pDstFactor + i, n - i,
                                          pOut + i);
}

void Invert(const Channel* pIn, Int32 n, Channel* pOut)
{
    Int32 i = 0;
    const __m256i v255 = _mm256_set1_epi16(255);
    for (; i + 16 <= n; i += 16)
        Store(pOut + i, _mm256_sub_epi16(v255, Load(pIn + i)));
    if (i < n)
        PixelKernels::Portable().pfnInvert(pIn + i, n - i, pOut + i);
}

void Expand565(const std::uint16_t* pPixels, Int32 n, Channel* pR, Channel* pG, Channel* pB)
{
    Int32 i = 0;
    const __m256i v6 = _mm256_set1_epi16(0x3F);
    const __m256i v5 = _mm256_set1_epi16(0x1F);
    for (; i + 16 <= n; i += 16)
    {
        const __m256i p = Load(pPixels + i);
        const __m256i r = _mm256_srli_epi16(p, 11);
        const __m256i g = _mm256_and_si256(_mm256_srli_epi16(p, 5), v6);
        const __m256i b = _mm256_and_si256(p, v5);
        Store(pR + i, _mm256_or_si256(_mm256_slli_epi16(r, 3), _mm256_srli_epi16(r, 2)));
        Store(pG + i, _mm256_or_si256(_mm256_slli_epi16(g, 2), _mm256_srli_epi16(g, 4)));
        Store(pB + i, _mm256_or_si256(_mm256_slli_epi16(b, 3), _mm256_srli_epi16(b, 2)));
    }
    if (i < n)
        PixelKernels::Portable().pfnExpand565(pPixels + i, n - i, pR + i, pG + i, pB + i);
}

// 2v - (v >> 4) + (v >> 7) + d (red, blue) and 4v - (v >> 4) + (v >> 6) + d (green).
inline __m256i DitherRedBlue(__m256i v, __m256i d)
{
    return _mm256_add_epi16(
        _mm256_add_epi16(_mm256_sub_epi16(_mm256_slli_epi16(v, 1), _mm256_srli_epi16(v, 4)),
                         _mm256_srli_epi16(v, 7)),
        d);
}

inline __m256i DitherGreen(__m256i v, __m256i d)
{
    return _mm256_add_epi16(
        _mm256_add_epi16(_mm256_sub_epi16(_mm256_slli_epi16(v, 2), _mm256_srli_epi16(v, 4)),
                         _mm256_srli_epi16(v, 6)),
        d);
}

void PackDithered(const Channel* pR, const Channel* pG, const Channel* pB, const Channel* pDither,
                  const Channel* pLive, Int32 n, std::uint16_t* pDst)
{
    Int32 i = 0;
    const __m256i vZero = _mm256_setzero_si256();
    for (; i + 16 <= n; i += 16)
    {
        const __m256i d = Load(pDither + i);
        const __m256i r5 = _mm256_srli_epi16(DitherRedBlue(Load(pR + i), d), 4);
        const __m256i g6 = _mm256_srli_epi16(DitherGreen(Load(pG + i), d), 4);
        const __m256i b5 = _mm256_srli_epi16(DitherRedBlue(Load(pB + i), d), 4);
        const __m256i vPixel = _mm256_or_si256(
            _mm256_or_si256(_mm256_slli_epi16(r5, 11), _mm256_slli_epi16(g6, 5)), b5);
        const __m256i vDead = _mm256_cmpeq_epi16(Load(pLive + i), vZero);
        Store(pDst + i, _mm256_blendv_epi8(vPixel, Load(pDst + i), vDead));
    }
    if (i < n)
        PixelKernels::Portable().pfnPackDithered(pR + i, pG + i, pB + i, pDither + i, pLive + i,
                                                 n - i, pDst + i);
}

void Unpack(const UInt32* pTexels, Int32 n, Channel* pR, Channel* pG, Channel* pB, Channel* pA)
{
    Int32 i = 0;
    const __m256i vLowByte = _mm256_set1_epi16(0xFF);
    for (; i + 16 <= n; i += 16)
    {
        // Low halves (green, blue) and high halves (alpha, red) of sixteen texels; shifting
        // keeps each half's bits within the signed 16-bit range, so the pack changes nothing.
        const __m256i x0 = Load(pTexels + i), x1 = Load(pTexels + i + 8);
        const __m256i vLow = Pack32(_mm256_srai_epi32(_mm256_slli_epi32(x0, 16), 16),
                                    _mm256_srai_epi32(_mm256_slli_epi32(x1, 16), 16));
        const __m256i vHigh = Pack32(_mm256_srai_epi32(x0, 16), _mm256_srai_epi32(x1, 16));
        Store(pB + i, _mm256_and_si256(vLow, vLowByte));
        Store(pG + i, _mm256_srli_epi16(vLow, 8));
        Store(pR + i, _mm256_and_si256(vHigh, vLowByte));
        Store(pA + i, _mm256_srli_epi16(vHigh, 8));
    }
    if (i < n)
        PixelKernels::Portable().pfnUnpack(pTexels + i, n - i, pR + i, pG + i, pB + i, pA + i);
}

inline __m256i Lerp(__m256i a, __m256i b, __m256i vInverse, __m256i vFraction)
{
    return _mm256_srli_epi16(
        _mm256_add_epi16(_mm256_mullo_epi16(a, vInverse), _mm256_mullo_epi16(b, vFraction)), 8);
}

void Bilerp(const UInt32* p00, const UInt32* p01, const UInt32* p10, const UInt32* p11,
            const Int32* pFu, const Int32* pFv, Int32 n, UInt32* pOut)
{
    Int32 i = 0;
    const __m256i vMask = _mm256_set1_epi32(0x00FF00FF);
    const __m256i v256 = _mm256_set1_epi32(0x01000100);
    for (; i + 8 <= n; i += 8)
    {
        const __m256i fu = Load(pFu + i), fv = Load(pFv + i);
        const __m256i vFu = _mm256_or_si256(fu, _mm256_slli_epi32(fu, 16));
        const __m256i vFv = _mm256_or_si256(fv, _mm256_slli_epi32(fv, 16));
        const __m256i vIu = _mm256_sub_epi16(v256, vFu), vIv = _mm256_sub_epi16(v256, vFv);
        const __m256i x00 = Load(p00 + i), x01 = Load(p01 + i);
        const __m256i x10 = Load(p10 + i), x11 = Load(p11 + i);
        const __m256i vRbTop =
            Lerp(_mm256_and_si256(x00, vMask), _mm256_and_si256(x01, vMask), vIu, vFu);
        const __m256i vRbBottom =
            Lerp(_mm256_and_si256(x10, vMask), _mm256_and_si256(x11, vMask), vIu, vFu);
        const __m256i vAgTop = Lerp(_mm256_and_si256(_mm256_srli_epi32(x00, 8), vMask),
                                    _mm256_and_si256(_mm256_srli_epi32(x01, 8), vMask), vIu, vFu);
        const __m256i vAgBottom =
            Lerp(_mm256_and_si256(_mm256_srli_epi32(x10, 8), vMask),
                 _mm256_and_si256(_mm256_srli_epi32(x11, 8), vMask), vIu, vFu);
        const __m256i vRb = Lerp(vRbTop, vRbBottom, vIv, vFv);
        const __m256i vAg = Lerp(vAgTop, vAgBottom, vIv, vFv);
        Store(pOut + i, _mm256_or_si256(vRb, _mm256_slli_epi16(vAg, 8)));
    }
    if (i < n)
        PixelKernels::Portable().pfnBilerp(p00 + i, p01 + i, p10 + i, p11 + i, pFu + i, pFv + i,
                                           n - i, pOut + i);
}

// Eight lanes: (v << log2) + u for the clamped or wrapped coordinates.
template <bool ClampS, bool ClampT>
void FetchBilinearLoop(const UInt32* pTexels, Int32 nWidthLog2, Int32 nWidthMask, Int32 nHeightMask,
                       const Int32* pS, const Int32* pT, Int32 nShift, Int32 nFracMask, Int32 n,
                       UInt32* p00, UInt32* p01, UInt32* p10, UInt32* p11, Int32* pFu, Int32* pFv)
{
    const __m128i vShift = _mm_cvtsi32_si128(nShift);
    const __m128i vLog2 = _mm_cvtsi32_si128(nWidthLog2);
    const __m256i vHalf = _mm256_set1_epi32(128);
    const __m256i vFrac = _mm256_set1_epi32(nFracMask);
    const __m256i vOne = _mm256_set1_epi32(1);
    const __m256i vZero = _mm256_setzero_si256();
    const __m256i vWidthMask = _mm256_set1_epi32(nWidthMask);
    const __m256i vHeightMask = _mm256_set1_epi32(nHeightMask);
    const int* pBase = reinterpret_cast<const int*>(pTexels);
    Int32 i = 0;
    for (; i + 8 <= n; i += 8)
    {
        const __m256i u = _mm256_sub_epi32(_mm256_sra_epi32(Load(pS + i), vShift), vHalf);
        const __m256i v = _mm256_sub_epi32(_mm256_sra_epi32(Load(pT + i), vShift), vHalf);
        Store(pFu + i, _mm256_and_si256(u, vFrac));
        Store(pFv + i, _mm256_and_si256(v, vFrac));
        __m256i u0 = _mm256_srai_epi32(u, 8), v0 = _mm256_srai_epi32(v, 8);
        __m256i u1 = _mm256_add_epi32(u0, vOne), v1 = _mm256_add_epi32(v0, vOne);
        if (ClampS)
        {
            u0 = _mm256_min_epi32(_mm256_max_epi32(u0, vZero), vWidthMask);
            u1 = _mm256_min_epi32(_mm256_max_epi32(u1, vZero), vWidthMask);
        }
        else
        {
            u0 = _mm256_and_si256(u0, vWidthMask);
            u1 = _mm256_and_si256(u1, vWidthMask);
        }
        if (ClampT)
        {
            v0 = _mm256_min_epi32(_mm256_max_epi32(v0, vZero), vHeightMask);
            v1 = _mm256_min_epi32(_mm256_max_epi32(v1, vZero), vHeightMask);
        }
        else
        {
            v0 = _mm256_and_si256(v0, vHeightMask);
            v1 = _mm256_and_si256(v1, vHeightMask);
        }
        const __m256i vRow0 = _mm256_sll_epi32(v0, vLog2);
        const __m256i vRow1 = _mm256_sll_epi32(v1, vLog2);
        Store(p00 + i, _mm256_i32gather_epi32(pBase, _mm256_add_epi32(vRow0, u0), 4));
        Store(p01 + i, _mm256_i32gather_epi32(pBase, _mm256_add_epi32(vRow0, u1), 4));
        Store(p10 + i, _mm256_i32gather_epi32(pBase, _mm256_add_epi32(vRow1, u0), 4));
        Store(p11 + i, _mm256_i32gather_epi32(pBase, _mm256_add_epi32(vRow1, u1), 4));
    }
    for (; i < n; ++i)
    {
        const Int32 u = (pS[i] >> nShift) - 128;
        const Int32 v = (pT[i] >> nShift) - 128;
        pFu[i] = u & nFracMask;
        pFv[i] = v & nFracMask;
        Int32 u0 = u >> 8, u1 = u0 + 1, v0 = v >> 8, v1 = v0 + 1;
        auto clamp = [](Int32 x, Int32 nMask) { return x < 0 ? 0 : (x > nMask ? nMask : x); };
        u0 = ClampS ? clamp(u0, nWidthMask) : (u0 & nWidthMask);
        u1 = ClampS ? clamp(u1, nWidthMask) : (u1 & nWidthMask);
        v0 = ClampT ? clamp(v0, nHeightMask) : (v0 & nHeightMask);
        v1 = ClampT ? clamp(v1, nHeightMask) : (v1 & nHeightMask);
        p00[i] = pTexels[(v0 << nWidthLog2) + u0];
        p01[i] = pTexels[(v0 << nWidthLog2) + u1];
        p10[i] = pTexels[(v1 << nWidthLog2) + u0];
        p11[i] = pTexels[(v1 << nWidthLog2) + u1];
    }
}

void FetchBilinear(const UInt32* pTexels, Int32 nWidthLog2, Int32 nWidthMask, Int32 nHeightMask,
                   bool bClampS, bool bClampT, const Int32* pS, const Int32* pT, Int32 nShift,
                   Int32 nFracMask, Int32 n, UInt32* p00, UInt32* p01, UInt32* p10, UInt32* p11,
                   Int32* pFu, Int32* pFv)
{
    auto run = bClampS
                   ? (bClampT ? FetchBilinearLoop<true, true> : FetchBilinearLoop<true, false>)
                   : (bClampT ? FetchBilinearLoop<false, true> : FetchBilinearLoop<false, false>);
    run(pTexels, nWidthLog2, nWidthMask, nHeightMask, pS, pT, nShift, nFracMask, n, p00, p01, p10,
        p11, pFu, pFv);
}

void Coordinates(float fW0, float fDw, float fS0, float fDs, float fT0, float fDt, Int32 n,
                 float* pW, Int32* pS, Int32* pT)
{
    // The limits of GlideConfig (valid s, t and the 12-bit fraction), repeated here because
    // this file includes no shared header with code in it.
    const float fMax = 32767.0f, fMin = -32768.0f, fScale = 4096.0f;
    Int32 i = 0;
    const __m256i vStepIndex = _mm256_set1_epi32(8);
    __m256i vIndex = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    const __m256 vW0 = _mm256_set1_ps(fW0), vDw = _mm256_set1_ps(fDw);
    const __m256 vS0 = _mm256_set1_ps(fS0), vDs = _mm256_set1_ps(fDs);
    const __m256 vT0 = _mm256_set1_ps(fT0), vDt = _mm256_set1_ps(fDt);
    const __m256 vOne = _mm256_set1_ps(1.0f), vZero = _mm256_setzero_ps();
    const __m256 vMax = _mm256_set1_ps(fMax), vMin = _mm256_set1_ps(fMin);
    const __m256 vScale = _mm256_set1_ps(fScale);
    for (; i + 8 <= n; i += 8)
    {
        // vminps/vmaxps return their second operand for a NaN, as the scalar selects do.
        const __m256 vI = _mm256_cvtepi32_ps(vIndex);
        const __m256 vW = _mm256_add_ps(vW0, _mm256_mul_ps(vI, vDw));
        const __m256 vRecip = _mm256_div_ps(vOne, vW);
        __m256 vS = _mm256_mul_ps(_mm256_add_ps(vS0, _mm256_mul_ps(vI, vDs)), vRecip);
        __m256 vT = _mm256_mul_ps(_mm256_add_ps(vT0, _mm256_mul_ps(vI, vDt)), vRecip);
        vS = _mm256_max_ps(_mm256_min_ps(vS, vMax), vMin);
        vT = _mm256_max_ps(_mm256_min_ps(vT, vMax), vMin);
        const __m256 vBehind = _mm256_cmp_ps(vW, vZero, _CMP_LT_OQ);
        vS = _mm256_andnot_ps(vBehind, vS);
        vT = _mm256_andnot_ps(vBehind, vT);
        _mm256_storeu_ps(pW + i, vW);
        Store(pS + i, _mm256_cvttps_epi32(_mm256_mul_ps(vS, vScale)));
        Store(pT + i, _mm256_cvttps_epi32(_mm256_mul_ps(vT, vScale)));
        vIndex = _mm256_add_epi32(vIndex, vStepIndex);
    }
    // The rest with the scalar formulas at their own index (starting the portable kernel at
    // lane i would round w0 + i dw differently).
    for (; i < n; ++i)
    {
        const float fI = float(i);
        const float fW = fW0 + fI * fDw;
        const float fRecip = 1.0f / fW;
        float fS = (fS0 + fI * fDs) * fRecip;
        float fT = (fT0 + fI * fDt) * fRecip;
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

const PixelKernels g_Avx2 = {
    8,      "avx2", Combine,       Iterate,     Blend,        Invert, Expand565, PackDithered,
    Unpack, Bilerp, FetchBilinear, Coordinates, FusedSpanAvx2};
} // namespace

const PixelKernels& Avx2PixelKernels()
{
    return g_Avx2;
}
