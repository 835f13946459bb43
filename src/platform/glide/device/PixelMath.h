// PixelMath: every per-pixel formula of the pixel pipeline, written once.
//
// Each formula is a template over the lanes of eight pixels (LanesScalar.h, LanesSse2.h,
// LanesAvx2.h), so the staged reference pipeline (SpanRenderer, on the scalar lanes) and the fast
// path (FastPath*, on the widest lanes the processor has) compute exactly the same numbers. Only
// templates live here: each instruction set's file instantiates its own copies, and no function
// compiled for one processor can stand in for another's.
//
// Values are 8-bit channels in 16-bit lanes unless said otherwise. Formulas
// (glide-reference.md §5, §6.1, §6.2; the dither matrices and rounding are the hardware-verified
// ones):
//  - combine unit: ((other - sub) * (f + 1)) >> 8 + add, clamped to 0..255, XOR 255 when
//    inverted; f is XORed with 255 for the "one minus" factors. The product is the high half of
//    ((other - sub) << 7) * ((f + 1) << 1), which is the same number in 16-bit lanes;
//  - blend: C = min(255, (Cs (S + 1)) >> 8 + (Cd (D + 1)) >> 8), factors 0..255;
//  - fog: C + ((fog - C) (f + 1)) >> 8, clamped;
//  - dither to 565 with the matrix value d (0..15): red, blue = (2v - (v >> 4) + (v >> 7) + d) >>
//  4;
//    green = (4v - (v >> 4) + (v >> 6) + d) >> 4; without dithering v >> 3 and v >> 2;
//  - destination expansion: bit replication, (v << 3) | (v >> 2) and (v << 2) | (v >> 4);
//  - bilinear: across then down, (a (256 - f) + b f) >> 8 per channel, fractions 0..255.
#pragma once
#include "GlideConfig.h"
#include "Types.h"

// Every formula is inlined where it is used: each is a handful of lane operations, and a call
// per formula would cost more than the arithmetic (on the portable lanes, a loop per operation).
#if defined(__GNUC__)
#define PIXEL_INLINE inline __attribute__((always_inline))
#else
#define PIXEL_INLINE inline
#endif

namespace PixelMath
{
// Declared so that Shl<N>(x) parses as a call of a template; the instruction set's own versions
// are found through the argument types.
template <Int32> void Shl();
template <Int32> void Srl();
template <Int32> void Sra();

// Every lane n (or f): the instruction set's SplatAs, found through the type of its first
// argument.
template <typename V> PIXEL_INLINE V Const(Int32 n)
{
    return SplatAs(V(), n);
}
template <typename F32> PIXEL_INLINE F32 ConstF(float f)
{
    return SplatAs(F32(), f);
}

template <typename V> PIXEL_INLINE V Clamp255(V v)
{
    return Min(Max(v, Const<V>(0)), Const<V>(255));
}

// (a * (f + 1)) >> 8 for a in -255..255 and f in 0..255.
template <typename V> PIXEL_INLINE V Scale(V a, V f)
{
    return MulHi(Shl<7>(a), Shl<1>(f + Const<V>(1)));
}

template <typename V>
PIXEL_INLINE V Combine(V other, V sub, V factor, V factorXor, V add, V outputXor)
{
    return Clamp255(Scale(other - sub, factor ^ factorXor) + add) ^ outputXor;
}

template <typename V> PIXEL_INLINE V Invert(V v)
{
    return Const<V>(255) - v;
}

template <typename V> PIXEL_INLINE V Blend(V src, V srcFactor, V dst, V dstFactor)
{
    const V one = Const<V>(1);
    const V sum = Srl<8>(MulLo(src, srcFactor + one)) + Srl<8>(MulLo(dst, dstFactor + one));
    return Min(sum, Const<V>(255));
}

template <typename V> PIXEL_INLINE V Fog(V colour, V fog, V factor)
{
    return Clamp255(colour + Scale(fog - colour, factor));
}

// A colour channel from its 12.12 iterator value: the integer part, clamped to 0..255 (the chip
// wraps values out of range; a clamp is what Glide asks of applications anyway).
template <typename I32> PIXEL_INLINE auto IteratedChannel(I32 value) -> decltype(Narrow(value))
{
    return Clamp255(Narrow(Sra<12>(value)));
}

// Depth from its 20.12 iterator value: the integer part, clamped to 0..65535 (32-bit lanes).
template <typename I32> PIXEL_INLINE I32 IteratedDepth(I32 value)
{
    return Min(Max(Sra<12>(value), Const<I32>(0)), Const<I32>(65535));
}

// One 565 pixel's channels expanded to 8 bits.
template <typename V> PIXEL_INLINE void Expand565(V pixel, V* pR, V* pG, V* pB)
{
    const V r = Srl<11>(pixel);
    const V g = Srl<5>(pixel) & Const<V>(0x3F);
    const V b = pixel & Const<V>(0x1F);
    *pR = Shl<3>(r) | Srl<2>(r);
    *pG = Shl<2>(g) | Srl<4>(g);
    *pB = Shl<3>(b) | Srl<2>(b);
}

template <typename V> PIXEL_INLINE V DitherRedBlue(V v, V d)
{
    return Srl<4>(Shl<1>(v) - Srl<4>(v) + Srl<7>(v) + d);
}

template <typename V> PIXEL_INLINE V DitherGreen(V v, V d)
{
    return Srl<4>(Shl<2>(v) - Srl<4>(v) + Srl<6>(v) + d);
}

template <typename V> PIXEL_INLINE V Pack565(V r5, V g6, V b5)
{
    return Shl<11>(r5) | Shl<5>(g6) | b5;
}

template <typename V> PIXEL_INLINE V PackDithered(V r, V g, V b, V d)
{
    return Pack565(DitherRedBlue(r, d), DitherGreen(g, d), DitherRedBlue(b, d));
}

template <typename V> PIXEL_INLINE V PackTruncated(V r, V g, V b)
{
    return Pack565(Srl<3>(r), Srl<2>(g), Srl<3>(b));
}

// 0xAARRGGBB texels in 32-bit lanes -> channels in 16-bit lanes.
template <typename I32, typename V>
PIXEL_INLINE void UnpackTexels(I32 texels, V* pR, V* pG, V* pB, V* pA)
{
    const I32 low = Const<I32>(0xFF);
    *pB = Narrow(texels & low);
    *pG = Narrow(Srl<8>(texels) & low);
    *pR = Narrow(Srl<16>(texels) & low);
    *pA = Narrow(Srl<24>(texels));
}

// One step of the bilinear blend, on 16-bit lanes: (a (256 - f) + b f) >> 8, with inverse =
// 256 - f. The sum is at most 255 * 256, so it fits the lane as an unsigned value.
template <typename V> PIXEL_INLINE V Lerp(V a, V b, V inverse, V fraction)
{
    return Srl<8>(MulLo(a, inverse) + MulLo(b, fraction));
}

// The bilinear texel of four texels per pixel with fractions fu, fv (32-bit lanes, 0..255).
// Red and blue, then alpha and green, are blended as pairs in the 16-bit halves of each 32-bit
// lane, so every multiply serves two channels.
template <typename I32> PIXEL_INLINE I32 Bilerp(I32 t00, I32 t01, I32 t10, I32 t11, I32 fu, I32 fv)
{
    const I32 mask = Const<I32>(0x00FF00FF);
    const auto vFu = AsW16(fu | Shl<16>(fu));
    const auto vFv = AsW16(fv | Shl<16>(fv));
    const auto v256 = AsW16(Const<I32>(0x01000100));
    const auto vIu = v256 - vFu;
    const auto vIv = v256 - vFv;
    auto half = [&](I32 t, bool bHigh) { return AsW16((bHigh ? Srl<8>(t) : t) & mask); };
    auto blend = [&](bool bHigh)
    {
        const auto top = Lerp(half(t00, bHigh), half(t01, bHigh), vIu, vFu);
        const auto bottom = Lerp(half(t10, bHigh), half(t11, bHigh), vIu, vFu);
        return AsI32(Lerp(top, bottom, vIv, vFv));
    };
    return blend(false) | Shl<8>(blend(true));
}

// Perspective division of eight pixels, i = index from the chunk's first pixel: w = w0 + i dw,
// s = (s0 + i ds) / w and t likewise (the reciprocal once, then two products), clamped to
// -32768..32767 (a NaN from 0/0 becomes the upper bound), 0 where w < 0, as 12-bit fixed point.
template <typename F32, typename I32>
PIXEL_INLINE void Perspective(F32 fI, F32 w0, F32 dw, F32 s0, F32 ds, F32 t0, F32 dt, F32* pW,
                              I32* pS, I32* pT)
{
    const F32 max = ConstF<F32>(GlideConfig::MaxTexCoord);
    const F32 min = ConstF<F32>(-32768.0f);
    const F32 scale = ConstF<F32>(float(1 << GlideConfig::TexCoordFracBits));
    const F32 w = w0 + fI * dw;
    const F32 recip = ConstF<F32>(1.0f) / w;
    const F32 s = ZeroWhereNegative(w, Max(Min((s0 + fI * ds) * recip, max), min));
    const F32 t = ZeroWhereNegative(w, Max(Min((t0 + fI * dt) * recip, max), min));
    *pW = w;
    *pS = Truncate(s * scale);
    *pT = Truncate(t * scale);
}

// Wraps a texel coordinate (mask = size - 1) or clamps it to 0..mask.
template <typename I32> PIXEL_INLINE I32 WrapOrClamp(I32 v, I32 mask, bool bClamp)
{
    return bClamp ? Min(Max(v, Const<I32>(0)), mask) : (v & mask);
}

// Texel addresses in one level of w x h texels (w = 1 << nWidthLog2), from coordinates with 12
// fraction bits in texels of the 256-texel level. Point sampling: the texel holding the sample.
// Bilinear: 8 fraction bits at this level (nShift = 4 + level), half a texel back, fractions
// masked to the board's precision, and the four texels (u, v), (u + 1, v), (u, v + 1),
// (u + 1, v + 1), each axis wrapped or clamped.
struct LevelAddressing
{
    Int32 nWidthLog2;
    Int32 nWidthMask;
    Int32 nHeightMask;
    Int32 nLevel;
    Int32 nFracMask;
    bool bClampS;
    bool bClampT;
};

template <typename I32> PIXEL_INLINE I32 PointAddress(I32 s, I32 t, const LevelAddressing& a)
{
    const Int32 nShift = GlideConfig::TexCoordFracBits + a.nLevel;
    const I32 u = WrapOrClamp(SraBy(s, nShift), Const<I32>(a.nWidthMask), a.bClampS);
    const I32 v = WrapOrClamp(SraBy(t, nShift), Const<I32>(a.nHeightMask), a.bClampT);
    return ShlBy(v, a.nWidthLog2) + u;
}

// The bilinear sample of a pixel: its first texel (u0, v0), before wrapping or clamping, and its
// fractions.
template <typename I32>
PIXEL_INLINE void BilinearSample(I32 s, I32 t, const LevelAddressing& a, I32* pU0, I32* pV0,
                                 I32* pFu, I32* pFv)
{
    const Int32 nShift = GlideConfig::TexCoordFracBits - 8 + a.nLevel;
    const I32 half = Const<I32>(128);
    const I32 u = SraBy(s, nShift) - half;
    const I32 v = SraBy(t, nShift) - half;
    *pFu = u & Const<I32>(a.nFracMask);
    *pFv = v & Const<I32>(a.nFracMask);
    *pU0 = Sra<8>(u);
    *pV0 = Sra<8>(v);
}

template <typename I32>
PIXEL_INLINE void BilinearAddress(I32 s, I32 t, const LevelAddressing& a, I32 aIndex[4], I32* pFu,
                                  I32* pFv)
{
    I32 u0, v0;
    BilinearSample(s, t, a, &u0, &v0, pFu, pFv);
    const I32 one = Const<I32>(1);
    const I32 widthMask = Const<I32>(a.nWidthMask);
    const I32 heightMask = Const<I32>(a.nHeightMask);
    const I32 u0w = WrapOrClamp(u0, widthMask, a.bClampS);
    const I32 u1w = WrapOrClamp(u0 + one, widthMask, a.bClampS);
    const I32 row0 = ShlBy(WrapOrClamp(v0, heightMask, a.bClampT), a.nWidthLog2);
    const I32 row1 = ShlBy(WrapOrClamp(v0 + one, heightMask, a.bClampT), a.nWidthLog2);
    aIndex[0] = row0 + u0w;
    aIndex[1] = row0 + u1w;
    aIndex[2] = row1 + u0w;
    aIndex[3] = row1 + u1w;
}

// The quad holding a pixel's four texels in a BilinearQuads level: on a wrapping axis the
// wrapped first texel, on a clamping one the first texel clamped to -1..size-1, plus one; rows
// are w quads long, or w + 1 when s clamps.
template <typename I32> PIXEL_INLINE I32 BilinearQuadIndex(I32 u0, I32 v0, const LevelAddressing& a)
{
    const I32 minusOne = Const<I32>(-1), one = Const<I32>(1);
    const I32 column = a.bClampS ? Min(Max(u0, minusOne), Const<I32>(a.nWidthMask)) + one
                                 : (u0 & Const<I32>(a.nWidthMask));
    const I32 row = a.bClampT ? Min(Max(v0, minusOne), Const<I32>(a.nHeightMask)) + one
                              : (v0 & Const<I32>(a.nHeightMask));
    const I32 rowStart = a.bClampS ? ShlBy(row, a.nWidthLog2) + row : ShlBy(row, a.nWidthLog2);
    return rowStart + column;
}
} // namespace PixelMath
