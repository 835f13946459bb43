// LanesSse2: eight pixels' values in SSE2 registers, the baseline instruction set of every x86
// build (x86-64, and the 32-bit Windows DLL built with -msse2). The operations and their lane
// semantics are LanesScalar.h's; see there. I16 is one 128-bit register, I32, W16 and F32 two.
// Included only by the files that instantiate the pixel arithmetic for SSE2.
#pragma once
#include "LanesInline.h"
#include "Types.h"
#include <cstdint>
#include <emmintrin.h>

namespace Sse2
{
constexpr const char* Name = "sse2";

struct I16
{
    __m128i v;
};
struct W16
{
    __m128i lo, hi;
};
struct I32
{
    __m128i lo, hi;
};
struct F32
{
    __m128 lo, hi;
};

template <typename V> V Splat(Int32 n);
template <> LANES_INLINE I16 Splat<I16>(Int32 n)
{
    return {_mm_set1_epi16(short(n))};
}
template <> LANES_INLINE W16 Splat<W16>(Int32 n)
{
    return {_mm_set1_epi16(short(n)), _mm_set1_epi16(short(n))};
}
template <> LANES_INLINE I32 Splat<I32>(Int32 n)
{
    return {_mm_set1_epi32(n), _mm_set1_epi32(n)};
}
LANES_INLINE F32 SplatF(float f)
{
    return {_mm_set1_ps(f), _mm_set1_ps(f)};
}

#define LANES_SSE2_I16(op, f)                                                                      \
    LANES_INLINE I16 op(I16 x, I16 y)                                                              \
    {                                                                                              \
        return {f(x.v, y.v)};                                                                      \
    }                                                                                              \
    LANES_INLINE W16 op(W16 x, W16 y)                                                              \
    {                                                                                              \
        return {f(x.lo, y.lo), f(x.hi, y.hi)};                                                     \
    }
LANES_SSE2_I16(operator+, _mm_add_epi16)
LANES_SSE2_I16(operator-, _mm_sub_epi16)
LANES_SSE2_I16(operator&, _mm_and_si128)
LANES_SSE2_I16(operator|, _mm_or_si128)
LANES_SSE2_I16(operator^, _mm_xor_si128)
LANES_SSE2_I16(MulLo, _mm_mullo_epi16)
LANES_SSE2_I16(MulHi, _mm_mulhi_epi16)
LANES_SSE2_I16(Min, _mm_min_epi16)
LANES_SSE2_I16(Max, _mm_max_epi16)
LANES_SSE2_I16(CmpEq, _mm_cmpeq_epi16)
LANES_SSE2_I16(CmpGt, _mm_cmpgt_epi16)
#undef LANES_SSE2_I16

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
    return {_mm_slli_epi16(x.lo, S), _mm_slli_epi16(x.hi, S)};
}
template <Int32 S> LANES_INLINE W16 Srl(W16 x)
{
    return {_mm_srli_epi16(x.lo, S), _mm_srli_epi16(x.hi, S)};
}
template <Int32 S> LANES_INLINE W16 Sra(W16 x)
{
    return {_mm_srai_epi16(x.lo, S), _mm_srai_epi16(x.hi, S)};
}
LANES_INLINE __m128i Blend128(__m128i mask, __m128i x, __m128i y)
{
    return _mm_or_si128(_mm_and_si128(mask, y), _mm_andnot_si128(mask, x));
}
LANES_INLINE I16 Select(I16 mask, I16 x, I16 y)
{
    return {Blend128(mask.v, x.v, y.v)};
}
LANES_INLINE W16 Select(W16 mask, W16 x, W16 y)
{
    return {Blend128(mask.lo, x.lo, y.lo), Blend128(mask.hi, x.hi, y.hi)};
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
    // Two bits of the byte mask per lane.
    return __builtin_popcount(UInt32(_mm_movemask_epi8(mask.v))) / 2;
}

#define LANES_SSE2_I32(op, f)                                                                      \
    LANES_INLINE I32 op(I32 x, I32 y)                                                              \
    {                                                                                              \
        return {f(x.lo, y.lo), f(x.hi, y.hi)};                                                     \
    }
LANES_SSE2_I32(operator+, _mm_add_epi32)
LANES_SSE2_I32(operator-, _mm_sub_epi32)
LANES_SSE2_I32(operator&, _mm_and_si128)
LANES_SSE2_I32(operator|, _mm_or_si128)
LANES_SSE2_I32(operator^, _mm_xor_si128)
LANES_SSE2_I32(CmpEq, _mm_cmpeq_epi32)
LANES_SSE2_I32(CmpGt, _mm_cmpgt_epi32)
#undef LANES_SSE2_I32
LANES_INLINE I32 Select(I32 mask, I32 x, I32 y)
{
    return {Blend128(mask.lo, x.lo, y.lo), Blend128(mask.hi, x.hi, y.hi)};
}
// SSE2 has no 32-bit minimum or maximum: a comparison and a select.
LANES_INLINE I32 Min(I32 x, I32 y)
{
    return Select(CmpGt(x, y), x, y);
}
LANES_INLINE I32 Max(I32 x, I32 y)
{
    return Select(CmpGt(y, x), x, y);
}
template <Int32 S> LANES_INLINE I32 Shl(I32 x)
{
    return {_mm_slli_epi32(x.lo, S), _mm_slli_epi32(x.hi, S)};
}
template <Int32 S> LANES_INLINE I32 Srl(I32 x)
{
    return {_mm_srli_epi32(x.lo, S), _mm_srli_epi32(x.hi, S)};
}
template <Int32 S> LANES_INLINE I32 Sra(I32 x)
{
    return {_mm_srai_epi32(x.lo, S), _mm_srai_epi32(x.hi, S)};
}
LANES_INLINE I32 ShlBy(I32 x, Int32 n)
{
    const __m128i vCount = _mm_cvtsi32_si128(n);
    return {_mm_sll_epi32(x.lo, vCount), _mm_sll_epi32(x.hi, vCount)};
}
LANES_INLINE I32 SraBy(I32 x, Int32 n)
{
    const __m128i vCount = _mm_cvtsi32_si128(n);
    return {_mm_sra_epi32(x.lo, vCount), _mm_sra_epi32(x.hi, vCount)};
}
LANES_INLINE I32 Load(const std::int32_t* p)
{
    return {_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)),
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 4))};
}
LANES_INLINE void Store(std::int32_t* p, I32 v)
{
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v.lo);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 4), v.hi);
}
LANES_INLINE I32 LaneIndex32()
{
    return {_mm_setr_epi32(0, 1, 2, 3), _mm_setr_epi32(4, 5, 6, 7)};
}
// start + k step for lanes k = 0..7, wrapping (no 32-bit vector multiply in SSE2).
LANES_INLINE I32 Ramp(Int32 nStart, Int32 nStep)
{
    const UInt32 s = UInt32(nStart), d = UInt32(nStep);
    return {_mm_setr_epi32(Int32(s), Int32(s + d), Int32(s + 2 * d), Int32(s + 3 * d)),
            _mm_setr_epi32(Int32(s + 4 * d), Int32(s + 5 * d), Int32(s + 6 * d), Int32(s + 7 * d))};
}
LANES_INLINE __m128i Gather4(const UInt32* pTexels, __m128i index)
{
    const Int32 i0 = _mm_cvtsi128_si32(index);
    const Int32 i1 = _mm_cvtsi128_si32(_mm_shuffle_epi32(index, 0x55));
    const Int32 i2 = _mm_cvtsi128_si32(_mm_shuffle_epi32(index, 0xAA));
    const Int32 i3 = _mm_cvtsi128_si32(_mm_shuffle_epi32(index, 0xFF));
    return _mm_setr_epi32(Int32(pTexels[i0]), Int32(pTexels[i1]), Int32(pTexels[i2]),
                          Int32(pTexels[i3]));
}
LANES_INLINE I32 Gather(const UInt32* pTexels, I32 index)
{
    return {Gather4(pTexels, index.lo), Gather4(pTexels, index.hi)};
}
// The four texels of eight quads (BilinearQuads): one load per quad, then a 4 x 4 transpose of
// each group of four.
// The lane is a template argument: the shuffle's selector must be an immediate even in an
// unoptimised build.
template <int nLane> LANES_INLINE __m128i LoadQuad(const UInt32* pQuads, __m128i index)
{
    const Int32 i = _mm_cvtsi128_si32(_mm_shuffle_epi32(index, nLane * 0x55));
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(pQuads + 4 * size_t(UInt32(i))));
}
LANES_INLINE void Transpose4(const UInt32* pQuads, __m128i index, __m128i* p00, __m128i* p01,
                             __m128i* p10, __m128i* p11)
{
    const __m128i q0 = LoadQuad<0>(pQuads, index), q1 = LoadQuad<1>(pQuads, index);
    const __m128i q2 = LoadQuad<2>(pQuads, index), q3 = LoadQuad<3>(pQuads, index);
    const __m128i a0 = _mm_unpacklo_epi32(q0, q1), a1 = _mm_unpackhi_epi32(q0, q1);
    const __m128i a2 = _mm_unpacklo_epi32(q2, q3), a3 = _mm_unpackhi_epi32(q2, q3);
    *p00 = _mm_unpacklo_epi64(a0, a2);
    *p01 = _mm_unpackhi_epi64(a0, a2);
    *p10 = _mm_unpacklo_epi64(a1, a3);
    *p11 = _mm_unpackhi_epi64(a1, a3);
}
LANES_INLINE void GatherQuads(const UInt32* pQuads, I32 index, I32* p00, I32* p01, I32* p10,
                              I32* p11)
{
    Transpose4(pQuads, index.lo, &p00->lo, &p01->lo, &p10->lo, &p11->lo);
    Transpose4(pQuads, index.hi, &p00->hi, &p01->hi, &p10->hi, &p11->hi);
}
LANES_INLINE I16 Narrow(I32 x)
{
    return {_mm_packs_epi32(x.lo, x.hi)};
}
LANES_INLINE I32 LoadWide(const std::uint16_t* p)
{
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    return {_mm_unpacklo_epi16(v, _mm_setzero_si128()), _mm_unpackhi_epi16(v, _mm_setzero_si128())};
}
LANES_INLINE I16 NarrowUnsigned(I32 x)
{
    // No unsigned pack in SSE2: move 0..65535 into the signed range, pack, and move back.
    const __m128i vBias = _mm_set1_epi32(32768);
    const __m128i v = _mm_packs_epi32(_mm_sub_epi32(x.lo, vBias), _mm_sub_epi32(x.hi, vBias));
    return {_mm_xor_si128(v, _mm_set1_epi16(short(0x8000)))};
}
LANES_INLINE I32 WidenMask(I16 mask)
{
    return {_mm_unpacklo_epi16(mask.v, mask.v), _mm_unpackhi_epi16(mask.v, mask.v)};
}
LANES_INLINE W16 AsW16(I32 x)
{
    return {x.lo, x.hi};
}
LANES_INLINE I32 AsI32(W16 x)
{
    return {x.lo, x.hi};
}

#define LANES_SSE2_F32(op, f)                                                                      \
    LANES_INLINE F32 op(F32 x, F32 y)                                                              \
    {                                                                                              \
        return {f(x.lo, y.lo), f(x.hi, y.hi)};                                                     \
    }
LANES_SSE2_F32(operator+, _mm_add_ps)
LANES_SSE2_F32(operator*, _mm_mul_ps)
LANES_SSE2_F32(operator/, _mm_div_ps)
LANES_SSE2_F32(Min, _mm_min_ps)
LANES_SSE2_F32(Max, _mm_max_ps)
#undef LANES_SSE2_F32
LANES_INLINE F32 ZeroWhereNegative(F32 x, F32 value)
{
    const __m128 vZero = _mm_setzero_ps();
    return {_mm_andnot_ps(_mm_cmplt_ps(x.lo, vZero), value.lo),
            _mm_andnot_ps(_mm_cmplt_ps(x.hi, vZero), value.hi)};
}
LANES_INLINE F32 ToFloat(I32 x)
{
    return {_mm_cvtepi32_ps(x.lo), _mm_cvtepi32_ps(x.hi)};
}
LANES_INLINE I32 Truncate(F32 x)
{
    return {_mm_cvttps_epi32(x.lo), _mm_cvttps_epi32(x.hi)};
}
LANES_INLINE I32 FloatBits(F32 x)
{
    return {_mm_castps_si128(x.lo), _mm_castps_si128(x.hi)};
}
LANES_INLINE void Store(float* p, F32 v)
{
    _mm_storeu_ps(p, v.lo);
    _mm_storeu_ps(p + 4, v.hi);
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
} // namespace Sse2
