// TextureSampler: one TMU's texture lookup for a chunk of pixels.
//
// Owner: the SpanRenderer, one per TMU. Begin runs per triangle (it picks the decoded chain, the
// filter and clamp variant, and how the level of detail is found); Sample runs per chunk and
// yields the filtered texel of every pixel as channel arrays, plus the level-of-detail fraction
// and the detail factor when the TMU's combine unit asks for them.
//
// Texture space (glide-reference.md §4.5): s = (s/w) / (1/w) and t likewise, per pixel, in units
// of texels of the 256-texel level whatever the texture's largest level; a texel of level L is
// 2^L such units. Coordinates are clamped to -32768..32767, and s = t = 0 where 1/w is negative.
//
// Level of detail, 8.8 fixed point: lod = base + bias - log2(1/w), where base is the triangle's
// log2 texel step (TriangleParams) and log2 is the float's exponent plus a 256-entry table of
// its top 8 mantissa bits. Mip-mapping takes level floor(lod) clamped to the chain; a pixel
// magnifies (magnification filter) when lod is at or below the largest level. When only the
// level is needed, it is found by comparing the top bits of 1/w with per-triangle thresholds that
// give exactly the same answer as the formula.
//
// Bilinear filtering moves the sample half a texel back and blends the four texels with the
// fraction (4 bits on Voodoo Graphics, 8 on Voodoo2), across then down as the chip does:
// top = (c00 (256 - fu) + c01 fu) >> 8, bottom likewise, c = (top (256 - fv) + bottom fv) >> 8.
#pragma once
#include "DecodedTexture.h"
#include "DeviceState.h"
#include "FastSpan.h"
#include "GlideConfig.h"
#include "PixelStages.h"
#include "TriangleParams.h"
#include "Types.h"
#include <cstdint>

class TextureSampler
{
  public:
    // nFracMask: 0xF0 or 0xFF, the board's bilinear fraction precision. pTexture null samples
    // transparent black everywhere. bNeedLod: the caller wants the LOD fraction or the detail
    // factor (so the full level of detail is computed per pixel).
    // pQuads: the texture's bilinear quads for the fast path, or null.
    void Begin(const TmuState& tmu, const DecodedTexture* pTexture, const BilinearQuads* pQuads,
               const TriangleParams& tri, Int32 nTmu, Int32 nFracMask, bool bMipMapDither,
               bool bNeedLod);

    // Pixels x..x+n-1 of row nRow (rasteriser coordinates), at screen row nScreenY (for the
    // level-of-detail dither); the first nValid of them are inside the span (the others are
    // computed only to fill a vector). pLodFraction and pDetail may be null when not wanted.
    void Sample(Int32 nRow, Int32 x, Int32 n, Int32 nValid, Int32 nScreenY, Channel* pR,
                Channel* pG, Channel* pB, Channel* pA, Channel* pLodFraction, Channel* pDetail);

    // For the fast path. ChunkPlanes puts this TMU's 1/w, s/w and t/w at the chunk's first pixel
    // and their steps into the chunk. LevelRuns splits pixels [0, nValid) into runs that share a
    // level and a filter (at most nValid runs, in order) and returns their count, or 0 when the
    // level of detail is needed per pixel (LOD fraction, detail factor, LOD dither) or there is
    // no texture. FillRun sets the chunk's texture fields for one run.
    struct LevelRun
    {
        Int32 nBegin;
        Int32 nEnd;
        Int32 nLevel;
        bool bMag;
    };
    void ChunkPlanes(Int32 nRow, Int32 x, FastChunk* pChunk) const;
    Int32 LevelRuns(Int32 nValid, const FastChunk& chunk, LevelRun* pRuns) const;
    void FillRun(const LevelRun& run, FastChunk* pChunk) const;

    // log2(v) in 8.8 fixed point for v > 0.
    static Int32 Log2Fixed(float fValue);

    // The four texels of every pixel (0xAARRGGBB) and its fractions, filled by a lookup
    // variant.
    struct Taps
    {
        alignas(32) UInt32 an00[GlideConfig::SpanChunk];
        alignas(32) UInt32 an01[GlideConfig::SpanChunk];
        alignas(32) UInt32 an10[GlideConfig::SpanChunk];
        alignas(32) UInt32 an11[GlideConfig::SpanChunk];
        alignas(32) Int32 anFu[GlideConfig::SpanChunk];
        alignas(32) Int32 anFv[GlideConfig::SpanChunk];
        alignas(32) Int32 anIndex[4][GlideConfig::SpanChunk];
    };
    // A texel lookup variant (filter, clamps, one level or a level per pixel).
    typedef void (*FetchFn)(const DecodedTexture& texture, const Int32* pS, const Int32* pT,
                            const Int32* pLevel, Int32 nFracMask, Int32 n, Taps& taps);

  private:
    void Coordinates(Int32 nRow, Int32 x, Int32 n);
    void Prepare(Int32 nRow, Int32 x, Int32 n, Int32 nValid, Int32 nScreenY);
    void Finish(Int32 n, Channel* pR, Channel* pG, Channel* pB, Channel* pA, Channel* pLodFraction,
                Channel* pDetail);
    void LevelsOfDetail(Int32 x, Int32 n, Int32 nValid, Int32 nScreenY);
    void LevelsByThreshold(Int32 n, Int32 nValid);
    void PrepareThresholds();
    void Filter(FetchFn pfnFetch, TextureFilter eFilter, Int32 n, Channel* pR, Channel* pG,
                Channel* pB, Channel* pA);
    static FetchFn PickFetch(TextureFilter eFilter, TextureClamp eClampS, TextureClamp eClampT,
                             bool bOneLevel);

    const DecodedTexture* m_pTexture = nullptr;
    const BilinearQuads* m_pQuads = nullptr;
    const TriangleParams* m_pTri = nullptr;
    Int32 m_nTmu = 0;
    Int32 m_nFracMask = 0xFF;
    SamplerState m_Sampler;
    Int32 m_nLargeLod = 0;
    Int32 m_nSmallLod = 0;
    bool m_bMipMap = false;
    bool m_bPerPixelLod = false;
    bool m_bFullLod = false; // compute lod itself per pixel, not only the level
    bool m_bMipMapDither = false;
    bool m_bMixedFilters = false;
    Int32 m_nConstLod = 0; // 8.8, when the level of detail is the same for every pixel
    // Threshold form: level >= k exactly when (bits of 1/w) >> 15 <= m_anLevelKey[k - 1];
    // magnification when it is above m_nMagKey.
    Int32 m_anLevelKey[GlideConfig::LevelCount - 1] = {};
    Int32 m_nMagKey = 0;
    // [0]: level per pixel, [1]: one level for the whole chunk.
    FetchFn m_apfnMin[2] = {nullptr, nullptr};
    FetchFn m_apfnMag[2] = {nullptr, nullptr};
    bool m_bOneLevel = true;

    alignas(32) float m_afW[GlideConfig::SpanChunk];
    alignas(32) Int32 m_anS[GlideConfig::SpanChunk]; // 12 fraction bits
    alignas(32) Int32 m_anT[GlideConfig::SpanChunk];
    alignas(32) Int32 m_anLod[GlideConfig::SpanChunk];       // 8.8, clamped to the chain
    alignas(32) Int32 m_anLevel[GlideConfig::SpanChunk];     // level number per pixel
    alignas(32) Int32 m_anMag[GlideConfig::SpanChunk];       // 1 where magnifying
    alignas(32) UInt32 m_anFiltered[GlideConfig::SpanChunk]; // 0xAARRGGBB
    Taps m_Taps;
};
