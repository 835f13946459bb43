// LanesAvx2: eight pixels' values in AVX2 registers: I16 in one 128-bit register, I32, W16 and
// F32 in one 256-bit register each. The operations and their lane semantics are
// LanesScalar.h's; see there. Included only by the one file built with -mavx2 (and not -mfma,
// so float arithmetic stays the same single operations), which the processor check guards.
#pragma once
#include "LanesInline.h"
#include "Types.h"
#include <cstdint>
#include <immintrin.h>

namespace Avx2
{
constexpr const char* Name = "avx2";

struct I16
{
    __m128i v;
};
struct W16
{
    __m256i v;
};
struct I32
{
    __m256i v;
};
struct F32
{
    __m256 v;
};

template <typename V> V Splat(Int32 n);
template <> LANES_INLINE I16 Splat<I16>(Int32 n)
{
    return {_mm_set1_epi16(short(n))};
}
template <> LANES_INLINE W16 Splat<W16>(Int32 n)
{
    return {_mm256_set1_epi16(short(n))};
}
template <> LANES_INLINE I32 Splat<I32>(Int32 n)
{
    return {_mm256_set1_epi32(n)};
}
LANES_INLINE F32 SplatF(float f)
{
    return {_mm256_set1_ps(f)};
}

#define LANES_AVX2_16(op, f128, f256)                                                              \
    LANES_INLINE I16 op(I16 x, I16 y)                                                              \
    {                                                                                              \
        return {f128(x.v, y.v)};                                                                   \
    }                                                                                              \
    LANES_INLINE W16 op(W16 x, W16 y)                                                              \
    {                                                                                              \
        return {f256(x.v, y.v)};                                                                   \
    }
LANES_AVX2_16(operator+, _mm_add_epi16, _mm256_add_epi16)
LANES_AVX2_16(operator-, _mm_sub_epi16, _mm256_sub_epi16)
LANES_AVX2_16(operator&, _mm_and_si128, _mm256_and_si256)
LANES_AVX2_16(operator|, _mm_or_si128, _mm256_or_si256)
LANES_AVX2_16(operator^, _mm_xor_si128, _mm256_xor_si256)
LANES_AVX2_16(MulLo, _mm_mullo_epi16, _mm256_mullo_epi16)
LANES_AVX2_16(MulHi, _mm_mulhi_epi16, _mm256_mulhi_epi16)
LANES_AVX2_16(Min, _mm_min_epi16, _mm256_min_epi16)
LANES_AVX2_16(Max, _mm_max_epi16, _mm256_max_epi16)
LANES_AVX2_16(CmpEq, _mm_cmpeq_epi16, _mm256_cmpeq_epi16)
LANES_AVX2_16(CmpGt, _mm_cmpgt_epi16, _mm256_cmpgt_epi16)
#undef LANES_AVX2_16

template <Int32 S> LANES_INLINE I16 Shl(I16 x)
{
    return {_mm_slli_epi16(x.v, S)};
}
template <Int32 S> LANES_INLINE I16 Srl(I16 x)
{
    return {_mm_srli_epi16(x.v, S)};
}
template <Int32 S> LANES_INLINE I16 Sra(I16 x)
{
    return {_mm_srai_epi16(x.v, S)};
}
template <Int32 S> LANES_INLINE W16 Shl(W16 x)
{
    return {_mm256_slli_epi16(x.v, S)};
}
template <Int32 S> LANES_INLINE W16 Srl(W16 x)
{
    return {_mm256_srli_epi16(x.v, S)};
}
template <Int32 S> LANES_INLINE W16 Sra(W16 x)
{
    return {_mm256_srai_epi16(x.v, S)};
}
LANES_INLINE I16 Select(I16 mask, I16 x, I16 y)
{
    return {_mm_blendv_epi8(x.v, y.v, mask.v)};
}
LANES_INLINE W16 Select(W16 mask, W16 x, W16 y)
{
    return {_mm256_blendv_epi8(x.v, y.v, mask.v)};
}

LANES_INLINE I16 Load(const std::int16_t* p)
{
    return {_mm_loadu_si128(reinterpret_cast<const __m128i*>(p))};
}
LANES_INLINE I16 Load(const std::uint16_t* p)
{
    return {_mm_loadu_si128(reinterpret_cast<const __m128i*>(p))};
}
LANES_INLINE void Store(std::int16_t* p, I16 v)
{
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v.v);
}
LANES_INLINE void Store(std::uint16_t* p, I16 v)
{
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v.v);
}
LANES_INLINE I16 LaneIndex16()
{
    return {_mm_setr_epi16(0, 1, 2, 3, 4, 5, 6, 7)};
}
LANES_INLINE Int32 CountSet(I16 mask)
{
    return __builtin_popcount(UInt32(_mm_movemask_epi8(mask.v))) / 2;
}

#define LANES_AVX2_32(op, f)                                                                       \
    LANES_INLINE I32 op(I32 x, I32 y)                                                              \
    {                                                                                              \
        return {f(x.v, y.v)};                                                                      \
    }
LANES_AVX2_32(operator+, _mm256_add_epi32)
LANES_AVX2_32(operator-, _mm256_sub_epi32)
LANES_AVX2_32(operator&, _mm256_and_si256)
LANES_AVX2_32(operator|, _mm256_or_si256)
LANES_AVX2_32(operator^, _mm256_xor_si256)
LANES_AVX2_32(CmpEq, _mm256_cmpeq_epi32)
LANES_AVX2_32(CmpGt, _mm256_cmpgt_epi32)
LANES_AVX2_32(Min, _mm256_min_epi32)
LANES_AVX2_32(Max, _mm256_max_epi32)
#undef LANES_AVX2_32
LANES_INLINE I32 Select(I32 mask, I32 x, I32 y)
{
    return {_mm256_blendv_epi8(x.v, y.v, mask.v)};
}
template <Int32 S> LANES_INLINE I32 Shl(I32 x)
{
    return {_mm256_slli_epi32(x.v, S)};
}
template <Int32 S> LANES_INLINE I32 Srl(I32 x)
{
    return {_mm256_srli_epi32(x.v, S)};
}
template <Int32 S> LANES_INLINE I32 Sra(I32 x)
{
    return {_mm256_srai_epi32(x.v, S)};
}
LANES_INLINE I32 ShlBy(I32 x, Int32 n)
{
    return {_mm256_sll_epi32(x.v, _mm_cvtsi32_si128(n))};
}
LANES_INLINE I32 SraBy(I32 x, Int32 n)
{
    return {_mm256_sra_epi32(x.v, _mm_cvtsi32_si128(n))};
}
LANES_INLINE I32 Load(const std::int32_t* p)
{
    return {_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p))};
}
LANES_INLINE void Store(std::int32_t* p, I32 v)
{
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v.v);
}
LANES_INLINE I32 LaneIndex32()
{
    return {_mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7)};
}
// start + k step for lanes k = 0..7, wrapping.
LANES_INLINE I32 Ramp(Int32 nStart, Int32 nStep)
{
    return {_mm256_add_epi32(
        _mm256_set1_epi32(nStart),
        _mm256_mullo_epi32(_mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7), _mm256_set1_epi32(nStep)))};
}
// Eight scalar loads: on the processors measured, quicker than the gather instruction.
LANES_INLINE I32 Gather(const UInt32* pTexels, I32 index)
{
    alignas(32) std::int32_t an[8];
    _mm256_store_si256(reinterpret_cast<__m256i*>(an), index.v);
    return {_mm256_setr_epi32(Int32(pTexels[an[0]]), Int32(pTexels[an[1]]), Int32(pTexels[an[2]]),
                              Int32(pTexels[an[3]]), Int32(pTexels[an[4]]), Int32(pTexels[an[5]]),
                              Int32(pTexels[an[6]]), Int32(pTexels[an[7]]))};
}
// The four texels of eight quads (BilinearQuads): one load per quad, lanes k and k + 4 paired in
// one register, then a 4 x 4 transpose within each half.
LANES_INLINE void GatherQuads(const UInt32* pQuads, I32 index, I32* p00, I32* p01, I32* p10,
                              I32* p11)
{
    alignas(32) std::int32_t an[8];
    _mm256_store_si256(reinterpret_cast<__m256i*>(an), index.v);
    auto quad = [&](Int32 k) {
        return _mm_loadu_si128(
            reinterpret_cast<const __m128i*>(pQuads + 4 * size_t(UInt32(an[k]))));
    };
    auto pair = [&](Int32 k)
    { return _mm256_inserti128_si256(_mm256_castsi128_si256(quad(k)), quad(k + 4), 1); };
    const __m256i q04 = pair(0), q15 = pair(1), q26 = pair(2), q37 = pair(3);
    const __m256i a0 = _mm256_unpacklo_epi32(q04, q15), a1 = _mm256_unpackhi_epi32(q04, q15);
    const __m256i a2 = _mm256_unpacklo_epi32(q26, q37), a3 = _mm256_unpackhi_epi32(q26, q37);
    p00->v = _mm256_unpacklo_epi64(a0, a2);
    p01->v = _mm256_unpackhi_epi64(a0, a2);
    p10->v = _mm256_unpacklo_epi64(a1, a3);
    p11->v = _mm256_unpackhi_epi64(a1, a3);
}
LANES_INLINE I16 Narrow(I32 x)
{
    return {_mm_packs_epi32(_mm256_castsi256_si128(x.v), _mm256_extracti128_si256(x.v, 1))};
}
LANES_INLINE I32 LoadWide(const std::uint16_t* p)
{
    return {_mm256_cvtepu16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)))};
}
LANES_INLINE I16 NarrowUnsigned(I32 x)
{
    return {_mm_packus_epi32(_mm256_castsi256_si128(x.v), _mm256_extracti128_si256(x.v, 1))};
}
LANES_INLINE I32 WidenMask(I16 mask)
{
    return {_mm256_cvtepi16_epi32(mask.v)};
}
LANES_INLINE W16 AsW16(I32 x)
{
    return {x.v};
}
LANES_INLINE I32 AsI32(W16 x)
{
    return {x.v};
}

LANES_INLINE F32 operator+(F32 x, F32 y)
{
    return {_mm256_add_ps(x.v, y.v)};
}
LANES_INLINE F32 operator*(F32 x, F32 y)
{
    return {_mm256_mul_ps(x.v, y.v)};
}
LANES_INLINE F32 operator/(F32 x, F32 y)
{
    return {_mm256_div_ps(x.v, y.v)};
}
LANES_INLINE F32 Min(F32 x, F32 y)
{
    return {_mm256_min_ps(x.v, y.v)};
}
LANES_INLINE F32 Max(F32 x, F32 y)
{
    return {_mm256_max_ps(x.v, y.v)};
}
LANES_INLINE F32 ZeroWhereNegative(F32 x, F32 value)
{
    return {_mm256_andnot_ps(_mm256_cmp_ps(x.v, _mm256_setzero_ps(), _CMP_LT_OQ), value.v)};
}
LANES_INLINE F32 ToFloat(I32 x)
{
    return {_mm256_cvtepi32_ps(x.v)};
}
LANES_INLINE I32 Truncate(F32 x)
{
    return {_mm256_cvttps_epi32(x.v)};
}
LANES_INLINE I32 FloatBits(F32 x)
{
    return {_mm256_castps_si256(x.v)};
}
LANES_INLINE void Store(float* p, F32 v)
{
    _mm256_storeu_ps(p, v.v);
}

// Every lane n (or f), for code that knows the lanes only as a type (PixelMath).
LANES_INLINE I16 SplatAs(I16, Int32 n)
{
    return Splat<I16>(n);
}
LANES_INLINE W16 SplatAs(W16, Int32 n)
{
    return Splat<W16>(n);
}
LANES_INLINE I32 SplatAs(I32, Int32 n)
{
    return Splat<I32>(n);
}
LANES_INLINE F32 SplatAs(F32, float f)
{
    return SplatF(f);
}
} // namespace Avx2
