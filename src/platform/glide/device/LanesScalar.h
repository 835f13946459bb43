// LanesScalar: eight pixels' values as plain arrays, the portable instruction set of the pixel
// arithmetic (PixelMath.h). Every operation is the plain C++ statement of what the SSE2 and AVX2
// versions (LanesSse2.h, LanesAvx2.h) compute, lane by lane, with the same wrap-around and
// saturation, so a formula gives identical values on all three.
//
// Types: I16 (eight 16-bit lanes), W16 (sixteen 16-bit lanes: the storage of eight 32-bit lanes,
// for arithmetic on both halves of packed pairs), I32 (eight 32-bit lanes), F32 (eight floats).
// Comparisons give all-ones or zero per lane. Included by the portable pixel files only.
#pragma once
#include "LanesInline.h"
#include "Types.h"
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace Scalar
{
constexpr const char* Name = "scalar";

template <typename T, Int32 N> struct Lanes
{
    T a[N];
};
typedef Lanes<std::int16_t, 8> I16;
typedef Lanes<std::int16_t, 16> W16;
typedef Lanes<std::int32_t, 8> I32;
typedef Lanes<float, 8> F32;

template <typename V, typename F> LANES_INLINE V Map(const V& x, F f)
{
    V r;
    for (Int32 i = 0; i < Int32(sizeof(x.a) / sizeof(x.a[0])); ++i)
        r.a[i] = f(x.a[i]);
    return r;
}
template <typename V, typename F> LANES_INLINE V Zip(const V& x, const V& y, F f)
{
    V r;
    for (Int32 i = 0; i < Int32(sizeof(x.a) / sizeof(x.a[0])); ++i)
        r.a[i] = f(x.a[i], y.a[i]);
    return r;
}

// 16-bit lanes (I16 and W16 alike): wrap-around arithmetic as the vector units do it.
template <Int32 N> using L16 = Lanes<std::int16_t, N>;
template <typename V> LANES_INLINE V Splat(Int32 n)
{
    V r;
    for (auto& x : r.a)
        x = static_cast<typename std::remove_reference<decltype(x)>::type>(n);
    return r;
}
template <Int32 N> LANES_INLINE L16<N> operator+(L16<N> x, L16<N> y)
{
    return Zip(x, y, [](std::int16_t a, std::int16_t b) { return std::int16_t(a + b); });
}
template <Int32 N> LANES_INLINE L16<N> operator-(L16<N> x, L16<N> y)
{
    return Zip(x, y, [](std::int16_t a, std::int16_t b) { return std::int16_t(a - b); });
}
template <Int32 N> LANES_INLINE L16<N> operator&(L16<N> x, L16<N> y)
{
    return Zip(x, y, [](std::int16_t a, std::int16_t b) { return std::int16_t(a & b); });
}
template <Int32 N> LANES_INLINE L16<N> operator|(L16<N> x, L16<N> y)
{
    return Zip(x, y, [](std::int16_t a, std::int16_t b) { return std::int16_t(a | b); });
}
template <Int32 N> LANES_INLINE L16<N> operator^(L16<N> x, L16<N> y)
{
    return Zip(x, y, [](std::int16_t a, std::int16_t b) { return std::int16_t(a ^ b); });
}
// The low and the high 16 bits of the signed 32-bit product.
template <Int32 N> LANES_INLINE L16<N> MulLo(L16<N> x, L16<N> y)
{
    return Zip(x, y,
               [](std::int16_t a, std::int16_t b)
               { return std::int16_t(UInt32(Int32(a) * Int32(b)) & 0xFFFFu); });
}
template <Int32 N> LANES_INLINE L16<N> MulHi(L16<N> x, L16<N> y)
{
    return Zip(x, y,
               [](std::int16_t a, std::int16_t b)
               { return std::int16_t((Int32(a) * Int32(b)) >> 16); });
}
template <Int32 N> LANES_INLINE L16<N> Min(L16<N> x, L16<N> y)
{
    return Zip(x, y, [](std::int16_t a, std::int16_t b) { return a < b ? a : b; });
}
template <Int32 N> LANES_INLINE L16<N> Max(L16<N> x, L16<N> y)
{
    return Zip(x, y, [](std::int16_t a, std::int16_t b) { return a > b ? a : b; });
}
template <Int32 N> LANES_INLINE L16<N> CmpEq(L16<N> x, L16<N> y)
{
    return Zip(x, y, [](std::int16_t a, std::int16_t b) { return std::int16_t(a == b ? -1 : 0); });
}
template <Int32 N> LANES_INLINE L16<N> CmpGt(L16<N> x, L16<N> y)
{
    return Zip(x, y, [](std::int16_t a, std::int16_t b) { return std::int16_t(a > b ? -1 : 0); });
}
template <Int32 S, Int32 N> LANES_INLINE L16<N> Shl(L16<N> x)
{
    return Map(x, [](std::int16_t a)
               { return std::int16_t((UInt32(std::uint16_t(a)) << S) & 0xFFFFu); });
}
template <Int32 S, Int32 N> LANES_INLINE L16<N> Srl(L16<N> x)
{
    return Map(x, [](std::int16_t a) { return std::int16_t(std::uint16_t(a) >> S); });
}
template <Int32 S, Int32 N> LANES_INLINE L16<N> Sra(L16<N> x)
{
    return Map(x, [](std::int16_t a) { return std::int16_t(a >> S); });
}
// Where the mask lane is all ones: y, else x.
template <Int32 N> LANES_INLINE L16<N> Select(L16<N> mask, L16<N> x, L16<N> y)
{
    return (mask & y) | ((Splat<L16<N>>(-1) ^ mask) & x);
}

LANES_INLINE I16 Load(const std::int16_t* p)
{
    I16 r;
    std::memcpy(r.a, p, sizeof r.a);
    return r;
}
LANES_INLINE I16 Load(const std::uint16_t* p)
{
    I16 r;
    std::memcpy(r.a, p, sizeof r.a);
    return r;
}
LANES_INLINE void Store(std::int16_t* p, I16 v)
{
    std::memcpy(p, v.a, sizeof v.a);
}
LANES_INLINE void Store(std::uint16_t* p, I16 v)
{
    std::memcpy(p, v.a, sizeof v.a);
}
// 0, 1, ..., 7.
LANES_INLINE I16 LaneIndex16()
{
    I16 r;
    for (Int32 i = 0; i < 8; ++i)
        r.a[i] = std::int16_t(i);
    return r;
}
// A per-lane population of set lanes (masks are all ones or zero).
LANES_INLINE Int32 CountSet(I16 mask)
{
    Int32 n = 0;
    for (std::int16_t x : mask.a)
        n += x != 0;
    return n;
}

// 32-bit lanes: wrap-around arithmetic through unsigned values.
LANES_INLINE I32 operator+(I32 x, I32 y)
{
    return Zip(x, y,
               [](std::int32_t a, std::int32_t b) { return std::int32_t(UInt32(a) + UInt32(b)); });
}
LANES_INLINE I32 operator-(I32 x, I32 y)
{
    return Zip(x, y,
               [](std::int32_t a, std::int32_t b) { return std::int32_t(UInt32(a) - UInt32(b)); });
}
LANES_INLINE I32 operator&(I32 x, I32 y)
{
    return Zip(x, y, [](std::int32_t a, std::int32_t b) { return a & b; });
}
LANES_INLINE I32 operator|(I32 x, I32 y)
{
    return Zip(x, y, [](std::int32_t a, std::int32_t b) { return a | b; });
}
LANES_INLINE I32 operator^(I32 x, I32 y)
{
    return Zip(x, y, [](std::int32_t a, std::int32_t b) { return a ^ b; });
}
LANES_INLINE I32 Min(I32 x, I32 y)
{
    return Zip(x, y, [](std::int32_t a, std::int32_t b) { return a < b ? a : b; });
}
LANES_INLINE I32 Max(I32 x, I32 y)
{
    return Zip(x, y, [](std::int32_t a, std::int32_t b) { return a > b ? a : b; });
}
LANES_INLINE I32 CmpEq(I32 x, I32 y)
{
    return Zip(x, y, [](std::int32_t a, std::int32_t b) { return std::int32_t(a == b ? -1 : 0); });
}
LANES_INLINE I32 CmpGt(I32 x, I32 y)
{
    return Zip(x, y, [](std::int32_t a, std::int32_t b) { return std::int32_t(a > b ? -1 : 0); });
}
LANES_INLINE I32 Select(I32 mask, I32 x, I32 y)
{
    return (mask & y) | ((Splat<I32>(-1) ^ mask) & x);
}
template <Int32 S> LANES_INLINE I32 Shl(I32 x)
{
    return Map(x, [](std::int32_t a) { return std::int32_t(UInt32(a) << S); });
}
template <Int32 S> LANES_INLINE I32 Srl(I32 x)
{
    return Map(x, [](std::int32_t a) { return std::int32_t(UInt32(a) >> S); });
}
template <Int32 S> LANES_INLINE I32 Sra(I32 x)
{
    return Map(x, [](std::int32_t a) { return std::int32_t(a >> S); });
}
// Shifts by a count the same for every lane, known only at run time (0..31).
LANES_INLINE I32 ShlBy(I32 x, Int32 n)
{
    return Map(x, [n](std::int32_t a) { return std::int32_t(UInt32(a) << n); });
}
LANES_INLINE I32 SraBy(I32 x, Int32 n)
{
    return Map(x, [n](std::int32_t a) { return std::int32_t(a >> n); });
}
LANES_INLINE I32 Load(const std::int32_t* p)
{
    I32 r;
    std::memcpy(r.a, p, sizeof r.a);
    return r;
}
LANES_INLINE void Store(std::int32_t* p, I32 v)
{
    std::memcpy(p, v.a, sizeof v.a);
}
LANES_INLINE I32 LaneIndex32()
{
    I32 r;
    for (Int32 i = 0; i < 8; ++i)
        r.a[i] = i;
    return r;
}
// start + k step for lanes k = 0..7, wrapping.
LANES_INLINE I32 Ramp(Int32 nStart, Int32 nStep)
{
    I32 r;
    for (Int32 k = 0; k < 8; ++k)
        r.a[k] = std::int32_t(UInt32(nStart) + UInt32(k) * UInt32(nStep));
    return r;
}
// Eight texels pTexels[index] (0xAARRGGBB).
LANES_INLINE I32 Gather(const UInt32* pTexels, I32 index)
{
    I32 r;
    for (Int32 i = 0; i < 8; ++i)
        r.a[i] = std::int32_t(pTexels[index.a[i]]);
    return r;
}
// The four texels of eight quads (BilinearQuads), quad index per lane.
LANES_INLINE void GatherQuads(const UInt32* pQuads, I32 index, I32* p00, I32* p01, I32* p10,
                              I32* p11)
{
    for (Int32 k = 0; k < 8; ++k)
    {
        const UInt32* pQuad = pQuads + 4 * size_t(UInt32(index.a[k]));
        p00->a[k] = std::int32_t(pQuad[0]);
        p01->a[k] = std::int32_t(pQuad[1]);
        p10->a[k] = std::int32_t(pQuad[2]);
        p11->a[k] = std::int32_t(pQuad[3]);
    }
}
// 32-bit lanes holding values in -32768..32767 -> 16-bit lanes, in order.
LANES_INLINE I16 Narrow(I32 x)
{
    I16 r;
    for (Int32 i = 0; i < 8; ++i)
        r.a[i] = std::int16_t(x.a[i] < -32768 ? -32768 : (x.a[i] > 32767 ? 32767 : x.a[i]));
    return r;
}
// 16-bit pixels zero-extended to 32-bit lanes, and back (values 0..65535).
LANES_INLINE I32 LoadWide(const std::uint16_t* p)
{
    I32 r;
    for (Int32 i = 0; i < 8; ++i)
        r.a[i] = p[i];
    return r;
}
LANES_INLINE I16 NarrowUnsigned(I32 x)
{
    I16 r;
    for (Int32 i = 0; i < 8; ++i)
        r.a[i] = std::int16_t(std::uint16_t(x.a[i]));
    return r;
}
// A mask of 16-bit lanes as a mask of 32-bit lanes.
LANES_INLINE I32 WidenMask(I16 mask)
{
    I32 r;
    for (Int32 i = 0; i < 8; ++i)
        r.a[i] = mask.a[i];
    return r;
}
// The storage of eight 32-bit lanes as sixteen 16-bit lanes (little-endian: low half first).
LANES_INLINE W16 AsW16(I32 x)
{
    W16 r;
    std::memcpy(r.a, x.a, sizeof r.a);
    return r;
}
LANES_INLINE I32 AsI32(W16 x)
{
    I32 r;
    std::memcpy(r.a, x.a, sizeof r.a);
    return r;
}

// Floats: IEEE single-precision operations, one each, as the vector units do them.
LANES_INLINE F32 operator+(F32 x, F32 y)
{
    return Zip(x, y, [](float a, float b) { return a + b; });
}
LANES_INLINE F32 operator*(F32 x, F32 y)
{
    return Zip(x, y, [](float a, float b) { return a * b; });
}
LANES_INLINE F32 operator/(F32 x, F32 y)
{
    return Zip(x, y, [](float a, float b) { return a / b; });
}
LANES_INLINE F32 SplatF(float f)
{
    F32 r;
    for (float& x : r.a)
        x = f;
    return r;
}
// x < y ? x : y and x > y ? x : y: the second operand where either is not a number, as minps
// and maxps do.
LANES_INLINE F32 Min(F32 x, F32 y)
{
    return Zip(x, y, [](float a, float b) { return a < b ? a : b; });
}
LANES_INLINE F32 Max(F32 x, F32 y)
{
    return Zip(x, y, [](float a, float b) { return a > b ? a : b; });
}
// Zero where x < 0, x elsewhere.
LANES_INLINE F32 ZeroWhereNegative(F32 x, F32 value)
{
    F32 r;
    for (Int32 i = 0; i < 8; ++i)
        r.a[i] = x.a[i] < 0.0f ? 0.0f : value.a[i];
    return r;
}
LANES_INLINE F32 ToFloat(I32 x)
{
    F32 r;
    for (Int32 i = 0; i < 8; ++i)
        r.a[i] = float(x.a[i]);
    return r;
}
// Truncation toward zero of values known to fit 32 bits.
LANES_INLINE I32 Truncate(F32 x)
{
    I32 r;
    for (Int32 i = 0; i < 8; ++i)
        r.a[i] = std::int32_t(x.a[i]);
    return r;
}
LANES_INLINE I32 FloatBits(F32 x)
{
    I32 r;
    std::memcpy(r.a, x.a, sizeof r.a);
    return r;
}
LANES_INLINE void Store(float* p, F32 v)
{
    std::memcpy(p, v.a, sizeof v.a);
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
} // namespace Scalar
