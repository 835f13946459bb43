// FusedSpan: everything one pass needs to shade and write a chunk of a span in registers.
//
// The staged pipeline (SpanRenderer) keeps every intermediate value in an array and runs each
// stage over the whole chunk; on spans of a dozen pixels the calls and loop starts cost more
// than the arithmetic. For the most common state (one texture level, bilinear, TMU 0's texel
// passed through, colour and alpha combine, optional blending, dithering, no tests, fog or
// auxiliary buffer) the span renderer fills this description once per chunk and a kernel does
// everything eight pixels at a time with exactly the same integer arithmetic.
//
// Every input of a combine unit and every blend factor is a slot: one of the values below,
// computed per eight pixels in the order they are listed, so a slot only reads slots above it.
// Data only, so that the AVX2 file can include it.
#pragma once
#include "Types.h"
#include <cstdint>

namespace FusedSlot
{
enum : std::int8_t
{
    Zero,
    Full, // 255
    IterR,
    IterG,
    IterB,
    IterA,
    TexR,
    TexG,
    TexB,
    TexA,
    ConstR,
    ConstG,
    ConstB,
    ConstA,
    OutR, // the colour and alpha combine results
    OutG,
    OutB,
    OutA,
    InvOutR, // 255 - result
    InvOutG,
    InvOutB,
    InvOutA,
    DestR, // the destination pixel, expanded
    DestG,
    DestB,
    InvDestR,
    InvDestG,
    InvDestB,
    Count
};
}

// One combine unit: v = ((other - sub) * ((factor ^ factorXor) + 1)) >> 8 + add, clamped to
// 0..255, XOR outputXor; or, when nPass is a slot, that slot unchanged.
struct FusedUnit
{
    std::int8_t nOther;
    std::int8_t nSub;
    std::int8_t nFactor;
    std::int8_t nAdd;
    std::int8_t nPass; // -1: the unit computes
    Int32 nFactorXor;
    Int32 nOutputXor;
};

struct FusedSpan
{
    // The texture: one level of w x h texels (w = 1 << nWidthLog2), bilinear, addressed as the
    // staged fetch does (s >> nShift, half a texel back, fractions masked by nFracMask).
    const UInt32* pTexels = nullptr;
    Int32 nWidthLog2 = 0;
    Int32 nWidthMask = 0;
    Int32 nHeightMask = 0;
    Int32 nShift = 0;
    Int32 nFracMask = 0xF0;
    bool bClampS = false;
    bool bClampT = false;
    const Int32* pS = nullptr; // per pixel, 12 fraction bits
    const Int32* pT = nullptr;

    // Iterated colour: 12.12 values at the chunk's first pixel and their steps per pixel.
    bool bIterateRgb = false;
    bool bIterateA = false;
    Int32 anIterStart[4] = {0, 0, 0, 0};
    Int32 anIterStep[4] = {0, 0, 0, 0};
    Int32 anConst[4] = {0, 0, 0, 0};

    FusedUnit aUnit[4] = {}; // r, g, b, a
    bool bBlend = false;
    bool bNeedDest = false;
    std::int8_t anSrcFactor[3] = {0, 0, 0};
    std::int8_t anDstFactor[3] = {0, 0, 0};

    const std::int16_t* pDither = nullptr; // per pixel 0..15; null: truncate to 565
    std::uint16_t* pColor = nullptr;       // the chunk's first pixel; null: no colour write
    Int32 n = 0;                           // pixels computed, a multiple of 8
    Int32 nValid = 0;                      // pixels written
};
