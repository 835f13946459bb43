// FastSpan: what the fast path needs to shade and write a run of pixels in one pass.
//
// The staged reference (SpanRenderer, PixelStages) keeps every intermediate value of a chunk in
// an array and runs each stage over the whole chunk. The fast path does every stage for eight
// pixels at a time in registers, for the states that the scene and common Glide programs use:
// TMU 0 alone (point or bilinear, one level or mip-mapped, wrap or clamp, its combine unit),
// the colour and alpha combine units with any inputs, chroma key, alpha test, Z-buffer depth
// test and write, every blend factor, the alpha buffer, dithering. Everything else (fog, two
// TMUs, W-buffering, the LOD fraction and detail factors, lighting select, LOD dither) is left to
// the reference. The arithmetic is PixelMath's in both, so both give the same pixels.
//
// The span renderer fills a FastPlan once per state (inputs are slots, numbered below; a slot
// only reads slots above it), and a FastChunk per run of pixels that share a texture level. The
// kernel (FastKernel.h) is compiled once per instruction set. Data only, so that the AVX2 file
// can include it.
#pragma once
#include "DeviceState.h"
#include "PixelMath.h"
#include "Types.h"
#include <cstdint>

namespace FastSlot
{
enum : std::int8_t
{
    Zero,
    Full, // 255
    IterR,
    IterG,
    IterB,
    IterA,
    DepthHigh, // bits 15..8 of the iterated Z
    TexelR,    // TMU 0's filtered texel
    TexelG,
    TexelB,
    TexelA,
    TexR, // TMU 0's output (its combine unit's result)
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
    DestR, // the destination pixel, expanded, and its alpha
    DestG,
    DestB,
    DestA,
    InvDestR,
    InvDestG,
    InvDestB,
    InvDestA,
    Saturate, // min(source alpha, 255 - destination alpha)
    Count
};
}

// One combine unit: ((other - sub) * ((factor ^ factorXor) + 1)) >> 8 + add, clamped to
// 0..255, XOR outputXor; or, when nPass is a slot, that slot unchanged. With no subtracted or
// added term and no inverted output (eKind Scale) the unit is the product alone: it lies in
// 0..255 already, so the clamp and the XORs with zero change nothing and are left out.
struct FastUnit
{
    enum Kind : std::int8_t
    {
        Pass,
        Scale,
        Combine,
    };
    std::int8_t eKind = Combine;
    std::int8_t nOther = FastSlot::Zero;
    std::int8_t nSub = FastSlot::Zero;
    std::int8_t nFactor = FastSlot::Zero;
    std::int8_t nAdd = FastSlot::Zero;
    std::int8_t nPass = -1; // -1: the unit computes
    Int32 nFactorXor = 0;
    Int32 nOutputXor = 0;
};

struct FastPlan
{
    bool bTexture = false;    // TMU 0's texel is read
    bool bTmuCombine = false; // TMU 0's unit computes (otherwise its output is the texel)
    FastUnit aTmuUnit[4];     // r, g, b, a
    FastUnit aUnit[4];        // the colour unit's r, g, b and the alpha unit
    bool bIterateRgb = false;
    bool bIterateA = false;
    bool bIterateDepth = false;
    Int32 anConst[4] = {0, 0, 0, 0};

    bool bChroma = false; // pixels whose colour unit "other" input is the key are dropped
    std::int8_t anChromaSlot[3] = {0, 0, 0};
    Int32 anChromaKey[3] = {0, 0, 0};
    bool bAlphaTest = false; // result alpha OP reference
    CompareFunc eAlphaFunc = CompareFunc::Always;
    Int32 nAlphaRef = 0;
    bool bDepthTest = false; // Z (or the bias) OP the auxiliary buffer
    CompareFunc eDepthFunc = CompareFunc::Less;
    bool bCompareToBias = false;
    Int32 nDepthBias = 0;
    bool bDepthWrite = false;

    bool bBlend = false;
    bool bNeedDest = false;
    bool bNeedDestAlpha = false;
    bool bDestAlphaFromAux = false; // otherwise destination alpha reads as 255
    bool bBlendAlpha = false;       // alpha is blended too (the alpha buffer is written)
    std::int8_t anSrcFactor[4] = {0, 0, 0, 0};
    std::int8_t anDstFactor[4] = {0, 0, 0, 0};
    // Which derived values the blend factors read.
    bool bInvOut = false;
    bool bInvDest = false;
    bool bSaturate = false;
    bool bAlphaWrite = false; // the auxiliary buffer takes the alpha result
    bool bColorWrite = false;
};

// One run of pixels of a chunk. Pixel i of the chunk (i from 0 at the chunk's first pixel) has
// the values start + i * step of every plane; the run shades pixels nBegin..nEnd-1 and leaves
// the others of its groups of eight as they are.
struct FastChunk
{
    const FastPlan* pPlan = nullptr;
    // The texture level of the run (TMU 0), when the plan reads it.
    const UInt32* pTexels = nullptr; // point sampling: the level's texels
    const UInt32* pQuads = nullptr;  // bilinear: the level's quads (BilinearQuads)
    PixelMath::LevelAddressing addressing = {0, 0, 0, 0, 0xF0, false, false};
    bool bBilinear = false;
    float fW0 = 0.0f, fDw = 0.0f, fS0 = 0.0f, fDs = 0.0f, fT0 = 0.0f, fDt = 0.0f;
    // Iterators at the chunk's first pixel and their steps per pixel: r, g, b, a (12.12), Z
    // (20.12).
    Int32 anIterStart[5] = {0, 0, 0, 0, 0};
    Int32 anIterStep[5] = {0, 0, 0, 0, 0};
    const std::int16_t* pDither = nullptr; // per pixel from the chunk's first, 0..15; null: none
    std::uint16_t* pColor = nullptr;       // the chunk's first pixel; null: no colour buffer
    std::uint16_t* pAux = nullptr;         // the same pixel of the auxiliary buffer, or null
    Int32 nBegin = 0;
    Int32 nEnd = 0;
    // Counts of this run, added by the kernel.
    UInt32 nChromaFail = 0;
    UInt32 nAlphaFail = 0;
    UInt32 nDepthFail = 0;
    UInt32 nPixelsOut = 0;
};

// The kernel for each instruction set; null where the build or processor has none.
typedef void (*FastKernelFn)(FastChunk& chunk);
void FastKernelScalar(FastChunk& chunk);
void FastKernelSse2(FastChunk& chunk);
void FastKernelAvx2(FastChunk& chunk);
