// TextureSampler: one TMU's texture lookup for a chunk of pixels.
//
// Owner: the SpanRenderer, one per TMU. Begin runs per triangle (it picks the decoded chain, the
// filter and clamp variant and whether the level of detail varies per pixel); Sample runs per
// chunk and yields the filtered texel of every pixel as channel arrays, plus the level-of-detail
// fraction and the detail factor when the TMU's combine unit asks for them.
//
// Texture space (glide-reference.md §4.5): s = (s/w) / (1/w) and t likewise, per pixel, in units
// of texels of the 256-texel level whatever the texture's largest level; a texel of level L is
// 2^L such units. Coordinates are clamped to -32768..32767, and s = t = 0 where 1/w is negative.
// The level of detail is the triangle's log2 texel step minus log2(1/w) of the pixel plus the
// bias, in 8.8 fixed point. Bilinear filtering moves the sample half a texel back and weighs the
// four texels with the fraction (4 bits on Voodoo Graphics, 8 on Voodoo2):
// c = (c00 (256 - fu)(256 - fv) + c01 fu (256 - fv) + c10 (256 - fu) fv + c11 fu fv) >> 16.
#pragma once
#include "DecodedTexture.h"
#include "DeviceState.h"
#include "GlideConfig.h"
#include "TriangleParams.h"
#include "Types.h"

class TextureSampler
{
public:
    // nFracMask: 0xF0 or 0xFF, the board's bilinear fraction precision. pTexture null samples
    // transparent black everywhere.
    void Begin(const TmuState& tmu, const DecodedTexture* pTexture, const TriangleParams& tri,
               Int32 nTmu, Int32 nFracMask, bool bMipMapDither);

    // Pixels x..x+n-1 of row nRow (rasteriser coordinates), at screen row nScreenY (for the
    // level-of-detail dither). pLodFraction and pDetail may be null when not wanted.
    void Sample(Int32 nRow, Int32 x, Int32 n, Int32 nScreenY, Int32* pR, Int32* pG, Int32* pB,
                Int32* pA, Int32* pLodFraction, Int32* pDetail);

    // log2(v) in 8.8 fixed point for v > 0 (exponent plus a 256-entry mantissa table).
    static Int32 Log2Fixed(float fValue);

private:
    typedef void (*FetchFn)(const DecodedTexture& texture, const Int32* pS, const Int32* pT,
                            const Int32* pLevel, Int32 nFracMask, Int32 n, UInt32* p00,
                            UInt32* p01, UInt32* p10, UInt32* p11, Int32* pFu, Int32* pFv);

    void Coordinates(Int32 nRow, Int32 x, Int32 n);
    void LevelsOfDetail(Int32 x, Int32 n, Int32 nScreenY);
    static FetchFn PickFetch(TextureFilter eFilter, TextureClamp eClampS, TextureClamp eClampT);

    const DecodedTexture* m_pTexture = nullptr;
    const TriangleParams* m_pTri = nullptr;
    Int32 m_nTmu = 0;
    Int32 m_nFracMask = 0xFF;
    SamplerState m_Sampler;
    Int32 m_nLargeLod = 0;
    Int32 m_nSmallLod = 0;
    bool m_bPerPixelLod = false;
    bool m_bMipMapDither = false;
    bool m_bMixedFilters = false;
    Int32 m_nConstLod = 0; // 8.8, when the level of detail is the same for every pixel
    FetchFn m_pfnMin = nullptr;
    FetchFn m_pfnMag = nullptr;

    alignas(32) float m_afW[GlideConfig::SpanChunk];
    alignas(32) Int32 m_anS[GlideConfig::SpanChunk]; // 12 fraction bits
    alignas(32) Int32 m_anT[GlideConfig::SpanChunk];
    alignas(32) Int32 m_anLod[GlideConfig::SpanChunk];   // 8.8, clamped to the chain
    alignas(32) Int32 m_anLevel[GlideConfig::SpanChunk]; // level number per pixel
    alignas(32) Int32 m_anMag[GlideConfig::SpanChunk];   // 1 where magnifying
    alignas(32) UInt32 m_an00[GlideConfig::SpanChunk];
    alignas(32) UInt32 m_an01[GlideConfig::SpanChunk];
    alignas(32) UInt32 m_an10[GlideConfig::SpanChunk];
    alignas(32) UInt32 m_an11[GlideConfig::SpanChunk];
    alignas(32) Int32 m_anFu[GlideConfig::SpanChunk];
    alignas(32) Int32 m_anFv[GlideConfig::SpanChunk];
};
