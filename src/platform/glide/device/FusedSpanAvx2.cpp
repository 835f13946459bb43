// FusedSpanAvx2: a chunk of a span shaded and written in one pass, eight pixels at a time.
//
// Built for AVX2 like PixelKernelsAvx2.cpp, with the same rules: it includes only data
// headers and keeps its helpers in an unnamed namespace. Texture addressing, gathers and the
// bilinear blend run in eight 32-bit lanes, the colour arithmetic in eight 16-bit lanes; every
// formula is the staged pipeline's (PixelStages), so frames are identical either way.
#include "FusedSpan.h"
#include <immintrin.h>
#include <initializer_list>

namespace
{
inline __m256i Load256(const void* p)
{
    return _mm256_loadu_si256(static_cast<const __m256i*>(p));
}

inline __m128i Load128(const void* p)
{
    return _mm_loadu_si128(static_cast<const __m128i*>(p));
}

// Eight 32-bit lanes holding 16-bit values -> eight 16-bit lanes, in order.
inline __m128i Narrow(__m256i v)
{
    return _mm_packs_epi32(_mm256_castsi256_si128(v), _mm256_extracti128_si256(v, 1));
}

inline __m128i Clamp255(__m128i v)
{
    return _mm_min_epi16(_mm_max_epi16(v, _mm_setzero_si128()), _mm_set1_epi16(255));
}

// Iterated channel: integer part of the 12.12 value, clamped to 0..255.
inline __m128i IteratedChannel(__m256i vValue)
{
    return Clamp255(Narrow(_mm256_srai_epi32(vValue, 12)));
}

inline __m256i Lerp(__m256i a, __m256i b, __m256i vInverse, __m256i vFraction)
{
    return _mm256_srli_epi16(
        _mm256_add_epi16(_mm256_mullo_epi16(a, vInverse), _mm256_mullo_epi16(b, vFraction)), 8);
}

inline __m256i Wrap(__m256i v, __m256i vMask, bool bClamp)
{
    return bClamp ? _mm256_min_epi32(_mm256_max_epi32(v, _mm256_setzero_si256()), vMask)
                  : _mm256_and_si256(v, vMask);
}

// The bilinear texel of eight pixels as 0xAARRGGBB, split into channel slots.
void Texture(const FusedSpan& f, Int32 i, __m128i* pSlots)
{
    const __m128i vShift = _mm_cvtsi32_si128(f.nShift);
    const __m128i vLog2 = _mm_cvtsi32_si128(f.nWidthLog2);
    const __m256i vHalf = _mm256_set1_epi32(128);
    const __m256i vFrac = _mm256_set1_epi32(f.nFracMask);
    const __m256i vOne = _mm256_set1_epi32(1);
    const __m256i vWidthMask = _mm256_set1_epi32(f.nWidthMask);
    const __m256i vHeightMask = _mm256_set1_epi32(f.nHeightMask);
    const __m256i u = _mm256_sub_epi32(_mm256_sra_epi32(Load256(f.pS + i), vShift), vHalf);
    const __m256i v = _mm256_sub_epi32(_mm256_sra_epi32(Load256(f.pT + i), vShift), vHalf);
    const __m256i fu = _mm256_and_si256(u, vFrac), fv = _mm256_and_si256(v, vFrac);
    const __m256i u0 = _mm256_srai_epi32(u, 8), v0 = _mm256_srai_epi32(v, 8);
    const __m256i u0w = Wrap(u0, vWidthMask, f.bClampS);
    const __m256i u1w = Wrap(_mm256_add_epi32(u0, vOne), vWidthMask, f.bClampS);
    const __m256i vRow0 = _mm256_sll_epi32(Wrap(v0, vHeightMask, f.bClampT), vLog2);
    const __m256i vRow1 =
        _mm256_sll_epi32(Wrap(_mm256_add_epi32(v0, vOne), vHeightMask, f.bClampT), vLog2);
    // Scalar loads: on many processors quicker than four vector gathers.
    alignas(32) Int32 anIndex[4][8];
    _mm256_store_si256(reinterpret_cast<__m256i*>(anIndex[0]), _mm256_add_epi32(vRow0, u0w));
    _mm256_store_si256(reinterpret_cast<__m256i*>(anIndex[1]), _mm256_add_epi32(vRow0, u1w));
    _mm256_store_si256(reinterpret_cast<__m256i*>(anIndex[2]), _mm256_add_epi32(vRow1, u0w));
    _mm256_store_si256(reinterpret_cast<__m256i*>(anIndex[3]), _mm256_add_epi32(vRow1, u1w));
    alignas(32) UInt32 anTexel[4][8];
    for (Int32 k = 0; k < 4; ++k)
        for (Int32 j = 0; j < 8; ++j)
            anTexel[k][j] = f.pTexels[anIndex[k][j]];
    const __m256i x00 = Load256(anTexel[0]);
    const __m256i x01 = Load256(anTexel[1]);
    const __m256i x10 = Load256(anTexel[2]);
    const __m256i x11 = Load256(anTexel[3]);

    // Red and blue, then alpha and green, each pair in the 16-bit halves of a lane.
    const __m256i vMask = _mm256_set1_epi32(0x00FF00FF);
    const __m256i v256 = _mm256_set1_epi32(0x01000100);
    const __m256i vFu = _mm256_or_si256(fu, _mm256_slli_epi32(fu, 16));
    const __m256i vFv = _mm256_or_si256(fv, _mm256_slli_epi32(fv, 16));
    const __m256i vIu = _mm256_sub_epi16(v256, vFu), vIv = _mm256_sub_epi16(v256, vFv);
    auto half = [&](__m256i x, int nShift)
    { return _mm256_and_si256(_mm256_srli_epi32(x, nShift), vMask); };
    const __m256i vRb = Lerp(Lerp(half(x00, 0), half(x01, 0), vIu, vFu),
                             Lerp(half(x10, 0), half(x11, 0), vIu, vFu), vIv, vFv);
    const __m256i vAg = Lerp(Lerp(half(x00, 8), half(x01, 8), vIu, vFu),
                             Lerp(half(x10, 8), half(x11, 8), vIu, vFu), vIv, vFv);
    const __m256i vLowByte = _mm256_set1_epi32(0xFF);
    pSlots[FusedSlot::TexB] = Narrow(_mm256_and_si256(vRb, vLowByte));
    pSlots[FusedSlot::TexR] = Narrow(_mm256_srli_epi32(vRb, 16));
    pSlots[FusedSlot::TexG] = Narrow(_mm256_and_si256(vAg, vLowByte));
    pSlots[FusedSlot::TexA] = Narrow(_mm256_srli_epi32(vAg, 16));
}

inline __m128i RunUnit(const FusedUnit& unit, const __m128i* pSlots)
{
    if (unit.nPass >= 0)
        return pSlots[unit.nPass];
    const __m128i vDiff = _mm_slli_epi16(_mm_sub_epi16(pSlots[unit.nOther], pSlots[unit.nSub]), 7);
    const __m128i vFactor = _mm_slli_epi16(
        _mm_add_epi16(_mm_xor_si128(pSlots[unit.nFactor], _mm_set1_epi16(short(unit.nFactorXor))),
                      _mm_set1_epi16(1)),
        1);
    const __m128i v = _mm_add_epi16(_mm_mulhi_epi16(vDiff, vFactor), pSlots[unit.nAdd]);
    return _mm_xor_si128(Clamp255(v), _mm_set1_epi16(short(unit.nOutputXor)));
}

inline __m128i Scale(__m128i vValue, __m128i vFactor)
{
    return _mm_srli_epi16(_mm_mullo_epi16(vValue, _mm_add_epi16(vFactor, _mm_set1_epi16(1))), 8);
}

void Destination(const std::uint16_t* pPixels, __m128i* pSlots)
{
    const __m128i p = Load128(pPixels);
    const __m128i r = _mm_srli_epi16(p, 11);
    const __m128i g = _mm_and_si128(_mm_srli_epi16(p, 5), _mm_set1_epi16(0x3F));
    const __m128i b = _mm_and_si128(p, _mm_set1_epi16(0x1F));
    pSlots[FusedSlot::DestR] = _mm_or_si128(_mm_slli_epi16(r, 3), _mm_srli_epi16(r, 2));
    pSlots[FusedSlot::DestG] = _mm_or_si128(_mm_slli_epi16(g, 2), _mm_srli_epi16(g, 4));
    pSlots[FusedSlot::DestB] = _mm_or_si128(_mm_slli_epi16(b, 3), _mm_srli_epi16(b, 2));
}

// The chip's dithered 565 rounding, or plain truncation without a dither row.
__m128i Pack565(const __m128i* pRgb, const std::int16_t* pDither)
{
    if (!pDither)
        return _mm_or_si128(_mm_or_si128(_mm_slli_epi16(_mm_srli_epi16(pRgb[0], 3), 11),
                                         _mm_slli_epi16(_mm_srli_epi16(pRgb[1], 2), 5)),
                            _mm_srli_epi16(pRgb[2], 3));
    const __m128i d = Load128(pDither);
    auto sum = [d](__m128i v, int nScale, int nLow)
    {
        const __m128i vScaled = nScale == 1 ? _mm_slli_epi16(v, 1) : _mm_slli_epi16(v, 2);
        const __m128i vLow = nLow == 7 ? _mm_srli_epi16(v, 7) : _mm_srli_epi16(v, 6);
        return _mm_srli_epi16(
            _mm_add_epi16(_mm_add_epi16(_mm_sub_epi16(vScaled, _mm_srli_epi16(v, 4)), vLow), d), 4);
    };
    return _mm_or_si128(
        _mm_or_si128(_mm_slli_epi16(sum(pRgb[0], 1, 7), 11), _mm_slli_epi16(sum(pRgb[1], 2, 6), 5)),
        sum(pRgb[2], 1, 7));
}
} // namespace

void FusedSpanAvx2(const FusedSpan& f)
{
    // Slots a chunk does not compute read as zero (the plan never reads them; the blend's
    // destination factors may multiply them by one, which gives zero too).
    __m128i aSlots[FusedSlot::Count];
    for (std::int8_t k : {FusedSlot::Zero, FusedSlot::IterR, FusedSlot::IterG, FusedSlot::IterB,
                          FusedSlot::IterA, FusedSlot::DestR, FusedSlot::DestG, FusedSlot::DestB})
        aSlots[k] = _mm_setzero_si128();
    aSlots[FusedSlot::Full] = _mm_set1_epi16(255);
    for (Int32 c = 0; c < 4; ++c)
        aSlots[FusedSlot::ConstR + c] = _mm_set1_epi16(short(f.anConst[c]));
    // The iterators in 32-bit lanes, wrapping as the chip's do: start + k * step.
    __m256i avIter[4], avStep8[4];
    for (Int32 c = 0; c < 4; ++c)
    {
        const UInt32 nStep = UInt32(f.anIterStep[c]);
        avIter[c] = _mm256_add_epi32(
            _mm256_set1_epi32(f.anIterStart[c]),
            _mm256_setr_epi32(0, Int32(nStep), Int32(2 * nStep), Int32(3 * nStep), Int32(4 * nStep),
                              Int32(5 * nStep), Int32(6 * nStep), Int32(7 * nStep)));
        avStep8[c] = _mm256_set1_epi32(Int32(8 * nStep));
    }
    const __m128i vLane = _mm_setr_epi16(0, 1, 2, 3, 4, 5, 6, 7);
    for (Int32 i = 0; i < f.n; i += 8)
    {
        for (Int32 c = 0; c < 4; ++c)
        {
            if (c < 3 ? f.bIterateRgb : f.bIterateA)
                aSlots[FusedSlot::IterR + c] = IteratedChannel(avIter[c]);
            avIter[c] = _mm256_add_epi32(avIter[c], avStep8[c]);
        }
        Texture(f, i, aSlots);
        for (Int32 c = 0; c < 4; ++c)
            aSlots[FusedSlot::OutR + c] = RunUnit(f.aUnit[c], aSlots);
        if (!f.pColor)
            continue;
        __m128i avRgb[3] = {aSlots[FusedSlot::OutR], aSlots[FusedSlot::OutG],
                            aSlots[FusedSlot::OutB]};
        if (f.bBlend)
        {
            if (f.bNeedDest)
                Destination(f.pColor + i, aSlots);
            for (Int32 c = 0; c < 3; ++c)
            {
                aSlots[FusedSlot::InvOutR + c] =
                    _mm_sub_epi16(aSlots[FusedSlot::Full], aSlots[FusedSlot::OutR + c]);
                aSlots[FusedSlot::InvDestR + c] =
                    _mm_sub_epi16(aSlots[FusedSlot::Full], aSlots[FusedSlot::DestR + c]);
            }
            aSlots[FusedSlot::InvOutA] =
                _mm_sub_epi16(aSlots[FusedSlot::Full], aSlots[FusedSlot::OutA]);
            for (Int32 c = 0; c < 3; ++c)
                avRgb[c] = _mm_min_epi16(
                    _mm_add_epi16(Scale(aSlots[FusedSlot::OutR + c], aSlots[f.anSrcFactor[c]]),
                                  Scale(aSlots[FusedSlot::DestR + c], aSlots[f.anDstFactor[c]])),
                    aSlots[FusedSlot::Full]);
        }
        const __m128i vPixel = Pack565(avRgb, f.pDither ? f.pDither + i : nullptr);
        // Lanes past the span keep what the frame buffer holds.
        const __m128i vLive = _mm_cmplt_epi16(vLane, _mm_set1_epi16(short(f.nValid - i)));
        std::uint16_t* pDst = f.pColor + i;
        _mm_storeu_si128(reinterpret_cast<__m128i*>(pDst),
                         _mm_blendv_epi8(Load128(pDst), vPixel, vLive));
    }
}
