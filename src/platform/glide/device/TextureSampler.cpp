// TextureSampler: coordinates, level of detail and filtered texels per chunk.
#include "TextureSampler.h"
#include "Dither.h"
#include <cmath>
#include <cstring>

namespace
{
constexpr Int32 FracBits = GlideConfig::TexCoordFracBits;
constexpr Int32 Chunk = GlideConfig::SpanChunk;

// 256 * log2(1 + m / 256) rounded, for the top 8 mantissa bits m, and its inverse: the largest
// m whose entry is at most r.
struct Log2Table
{
    Int32 an[256];
    Int32 anInverse[256];
    Log2Table()
    {
        for (Int32 m = 0; m < 256; ++m)
            an[m] = Int32(std::floor(256.0 * std::log2(1.0 + m / 256.0) + 0.5));
        Int32 m = 0;
        for (Int32 r = 0; r < 256; ++r)
        {
            while (m < 255 && an[m + 1] <= r)
                ++m;
            anInverse[r] = m;
        }
    }
};

const Log2Table g_Log2Table;

inline UInt32 FloatBits(float f)
{
    UInt32 nBits;
    std::memcpy(&nBits, &f, sizeof nBits);
    return nBits;
}

// log2 in 8.8 fixed point of a positive float from its key (bits >> 15: exponent and the top 8
// mantissa bits). Zero and denormals give -127.
inline Int32 Log2OfKey(Int32 nKey)
{
    const Int32 nExponent = nKey >> 8;
    return nExponent == 0 ? -127 * 256 : (nExponent - 127) * 256 + g_Log2Table.an[nKey & 0xFF];
}

inline Int32 Log2Of(float fValue)
{
    return Log2OfKey(Int32(FloatBits(fValue) >> 15));
}

// The largest key whose log2 is at most nTarget (8.8), or -1 when none is. Log2OfKey never
// decreases as the key grows, so "log2 <= target" is "key <= this".
Int32 KeyAtMost(Int32 nTarget)
{
    if (nTarget < -127 * 256)
        return -1;
    if (nTarget >= 128 * 256)
        return 0xFFFF;
    const Int32 nExponent = (nTarget >> 8) + 127;
    if (nExponent <= 0)
        return 0xFF;
    return (nExponent << 8) | g_Log2Table.anInverse[nTarget & 0xFF];
}

inline Int32 ClampInt(Int32 v, Int32 nLow, Int32 nHigh)
{
    return v < nLow ? nLow : (v > nHigh ? nHigh : v);
}

GLIDE_SCALAR_LOOP void Gather(const UInt32* pTexels, const Int32* __restrict pIndex, Int32 n,
                              UInt32* __restrict pTap)
{
    for (Int32 i = 0; i < n; ++i)
        pTap[i] = pTexels[pIndex[i]];
}

GLIDE_SCALAR_LOOP void Gather4(const UInt32* pTexels, TextureSampler::Taps& taps, Int32 n)
{
    const Int32* __restrict p0 = taps.anIndex[0];
    const Int32* __restrict p1 = taps.anIndex[1];
    const Int32* __restrict p2 = taps.anIndex[2];
    const Int32* __restrict p3 = taps.anIndex[3];
    UInt32* __restrict p00 = taps.an00;
    UInt32* __restrict p01 = taps.an01;
    UInt32* __restrict p10 = taps.an10;
    UInt32* __restrict p11 = taps.an11;
    for (Int32 i = 0; i < n; ++i)
    {
        p00[i] = pTexels[p0[i]];
        p01[i] = pTexels[p1[i]];
        p10[i] = pTexels[p2[i]];
        p11[i] = pTexels[p3[i]];
    }
}

// Texel addresses of one level for the whole chunk: computed for all pixels first (a loop the
// compiler vectorises), then the texels are gathered.
template <bool Bilinear, bool ClampS, bool ClampT>
void FetchOneLevel(const DecodedTexture& texture, const Int32* __restrict pS,
                   const Int32* __restrict pT, Int32 nLevel, Int32 nFracMask, Int32 n,
                   TextureSampler::Taps& taps)
{
    const DecodedLevel& level = texture.aLevels[nLevel];
    const Int32 nWidthMask = level.nWidth - 1;
    const Int32 nHeightMask = level.nHeight - 1;
    const Int32 nLog2 = level.nWidthLog2;
    const UInt32* pTexels = level.pTexels;
    Int32* __restrict p0 = taps.anIndex[0];
    Int32* __restrict p1 = taps.anIndex[1];
    Int32* __restrict p2 = taps.anIndex[2];
    Int32* __restrict p3 = taps.anIndex[3];
    if (!Bilinear)
    {
        const Int32 nShift = FracBits + nLevel;
        for (Int32 i = 0; i < n; ++i)
        {
            Int32 u = pS[i] >> nShift;
            Int32 v = pT[i] >> nShift;
            u = ClampS ? ClampInt(u, 0, nWidthMask) : (u & nWidthMask);
            v = ClampT ? ClampInt(v, 0, nHeightMask) : (v & nHeightMask);
            p0[i] = (v << nLog2) + u;
        }
        Gather(pTexels, p0, n, taps.an00);
        return;
    }
    // 8 fraction bits at this level, then back by half a texel (texel centres at +0.5).
    const Int32 nShift = FracBits - 8 + nLevel;
    if (const auto pfnFetch = PixelKernels::ForLength(n).pfnFetchBilinear)
        return pfnFetch(pTexels, nLog2, nWidthMask, nHeightMask, ClampS, ClampT, pS, pT, nShift,
                        nFracMask, n, taps.an00, taps.an01, taps.an10, taps.an11, taps.anFu,
                        taps.anFv);
    Int32* __restrict pFu = taps.anFu;
    Int32* __restrict pFv = taps.anFv;
    for (Int32 i = 0; i < n; ++i)
    {
        const Int32 u = (pS[i] >> nShift) - 128;
        const Int32 v = (pT[i] >> nShift) - 128;
        pFu[i] = u & nFracMask;
        pFv[i] = v & nFracMask;
        Int32 u0 = u >> 8, u1 = u0 + 1;
        Int32 v0 = v >> 8, v1 = v0 + 1;
        if (ClampS)
        {
            u0 = ClampInt(u0, 0, nWidthMask);
            u1 = ClampInt(u1, 0, nWidthMask);
        }
        else
        {
            u0 &= nWidthMask;
            u1 &= nWidthMask;
        }
        if (ClampT)
        {
            v0 = ClampInt(v0, 0, nHeightMask);
            v1 = ClampInt(v1, 0, nHeightMask);
        }
        else
        {
            v0 &= nHeightMask;
            v1 &= nHeightMask;
        }
        const Int32 nRow0 = v0 << nLog2;
        const Int32 nRow1 = v1 << nLog2;
        p0[i] = nRow0 + u0;
        p1[i] = nRow0 + u1;
        p2[i] = nRow1 + u0;
        p3[i] = nRow1 + u1;
    }
    Gather4(pTexels, taps, n);
}

// Texel lookups with a level per pixel.
template <bool Bilinear, bool ClampS, bool ClampT>
GLIDE_SCALAR_LOOP void FetchPerPixel(const DecodedTexture& texture, const Int32* __restrict pS,
                                     const Int32* __restrict pT, const Int32* __restrict pLevel,
                                     Int32 nFracMask, Int32 n, TextureSampler::Taps& taps)
{
    for (Int32 i = 0; i < n; ++i)
    {
        const Int32 nLevel = pLevel[i];
        const DecodedLevel& level = texture.aLevels[nLevel];
        const Int32 nWidthMask = level.nWidth - 1;
        const Int32 nHeightMask = level.nHeight - 1;
        if (Bilinear)
        {
            const Int32 nShift = FracBits - 8 + nLevel;
            const Int32 u = (pS[i] >> nShift) - 128;
            const Int32 v = (pT[i] >> nShift) - 128;
            taps.anFu[i] = u & nFracMask;
            taps.anFv[i] = v & nFracMask;
            Int32 u0 = u >> 8, u1 = u0 + 1;
            Int32 v0 = v >> 8, v1 = v0 + 1;
            u0 = ClampS ? ClampInt(u0, 0, nWidthMask) : (u0 & nWidthMask);
            u1 = ClampS ? ClampInt(u1, 0, nWidthMask) : (u1 & nWidthMask);
            v0 = ClampT ? ClampInt(v0, 0, nHeightMask) : (v0 & nHeightMask);
            v1 = ClampT ? ClampInt(v1, 0, nHeightMask) : (v1 & nHeightMask);
            const UInt32* pRow0 = level.pTexels + (v0 << level.nWidthLog2);
            const UInt32* pRow1 = level.pTexels + (v1 << level.nWidthLog2);
            taps.an00[i] = pRow0[u0];
            taps.an01[i] = pRow0[u1];
            taps.an10[i] = pRow1[u0];
            taps.an11[i] = pRow1[u1];
        }
        else
        {
            const Int32 nShift = FracBits + nLevel;
            Int32 u = pS[i] >> nShift;
            Int32 v = pT[i] >> nShift;
            u = ClampS ? ClampInt(u, 0, nWidthMask) : (u & nWidthMask);
            v = ClampT ? ClampInt(v, 0, nHeightMask) : (v & nHeightMask);
            taps.an00[i] = level.pTexels[(v << level.nWidthLog2) + u];
        }
    }
}

template <bool Bilinear, bool ClampS, bool ClampT, bool OneLevel>
void Fetch(const DecodedTexture& texture, const Int32* pS, const Int32* pT, const Int32* pLevel,
           Int32 nFracMask, Int32 n, TextureSampler::Taps& taps)
{
    if (OneLevel)
        FetchOneLevel<Bilinear, ClampS, ClampT>(texture, pS, pT, pLevel[0], nFracMask, n, taps);
    else
        FetchPerPixel<Bilinear, ClampS, ClampT>(texture, pS, pT, pLevel, nFracMask, n, taps);
}

template <bool OneLevel>
TextureSampler::FetchFn PickFetchFor(TextureFilter eFilter, bool bClampS, bool bClampT)
{
    if (eFilter == TextureFilter::Bilinear)
    {
        if (bClampS)
            return bClampT ? Fetch<true, true, true, OneLevel> : Fetch<true, true, false, OneLevel>;
        return bClampT ? Fetch<true, false, true, OneLevel> : Fetch<true, false, false, OneLevel>;
    }
    if (bClampS)
        return bClampT ? Fetch<false, true, true, OneLevel> : Fetch<false, true, false, OneLevel>;
    return bClampT ? Fetch<false, false, true, OneLevel> : Fetch<false, false, false, OneLevel>;
}

} // namespace

Int32 TextureSampler::Log2Fixed(float fValue)
{
    return Log2Of(fValue);
}

TextureSampler::FetchFn TextureSampler::PickFetch(TextureFilter eFilter, TextureClamp eClampS,
                                                  TextureClamp eClampT, bool bOneLevel)
{
    const bool bS = eClampS == TextureClamp::Clamp;
    const bool bT = eClampT == TextureClamp::Clamp;
    return bOneLevel ? PickFetchFor<true>(eFilter, bS, bT) : PickFetchFor<false>(eFilter, bS, bT);
}

void TextureSampler::Begin(const TmuState& tmu, const DecodedTexture* pTexture,
                           const TriangleParams& tri, Int32 nTmu, Int32 nFracMask,
                           bool bMipMapDither, bool bNeedLod)
{
    m_pTexture = pTexture;
    m_pTri = &tri;
    m_nTmu = nTmu;
    m_nFracMask = nFracMask;
    m_Sampler = tmu.sampler;
    if (!pTexture)
        return;
    m_nLargeLod = pTexture->source.nLargeLod;
    m_nSmallLod = pTexture->source.nSmallLod;
    m_bMipMap = m_Sampler.eMipMap != MipMapMode::Disabled;
    m_bMipMapDither = bMipMapDither && m_Sampler.eMipMap == MipMapMode::NearestDither;
    m_bMixedFilters = m_Sampler.eMinFilter != m_Sampler.eMagFilter;
    for (Int32 k = 0; k < 2; ++k)
    {
        m_apfnMin[k] = PickFetch(m_Sampler.eMinFilter, m_Sampler.eClampS, m_Sampler.eClampT, k);
        m_apfnMag[k] = PickFetch(m_Sampler.eMagFilter, m_Sampler.eClampS, m_Sampler.eClampT, k);
    }
    // The level of detail varies per pixel only with perspective (1/w not constant) or dither.
    m_bPerPixelLod = !tri.abLodConstant[nTmu] || m_bMipMapDither;
    m_bFullLod = bNeedLod || m_bMipMapDither;
    if (!m_bPerPixelLod)
    {
        const float fW = float(tri.aw[nTmu].dStart);
        m_nConstLod = fW > 0.0f ? tri.anLodBase[nTmu] - Log2Of(fW) + m_Sampler.nLodBias
                                : (GlideConfig::LevelCount << 8);
    }
    else if (!m_bFullLod)
        PrepareThresholds();
}

void TextureSampler::PrepareThresholds()
{
    // level >= k  <=>  base - log2(1/w) >= 256k  <=>  log2(1/w) <= base - 256k.
    const Int32 nBase = m_pTri->anLodBase[m_nTmu] + m_Sampler.nLodBias;
    for (Int32 k = 1; k < GlideConfig::LevelCount; ++k)
        m_anLevelKey[k - 1] =
            m_bMipMap && k > m_nLargeLod && k <= m_nSmallLod ? KeyAtMost(nBase - 256 * k) : -1;
    // Magnifying: lod <= 256 * large  <=>  log2(1/w) > base - 256 * large - 1.
    m_nMagKey = KeyAtMost(nBase - 256 * m_nLargeLod - 1);
}

void TextureSampler::Coordinates(Int32 nRow, Int32 x, Int32 n)
{
    const TriangleParams& tri = *m_pTri;
    const Int32 dx = x - tri.nRefX;
    const Int32 dy = nRow - tri.nRefY;
    m_pKernels->pfnCoordinates(float(tri.aw[m_nTmu].At(dx, dy)), float(tri.aw[m_nTmu].dDx),
                               float(tri.as[m_nTmu].At(dx, dy)), float(tri.as[m_nTmu].dDx),
                               float(tri.at[m_nTmu].At(dx, dy)), float(tri.at[m_nTmu].dDx), n,
                               m_afW, m_anS, m_anT);
}

// The level (and whether it magnifies) of one pixel by the thresholds.
static inline void LevelByKey(float fW, const Int32* pKey, Int32 nMagKey, Int32 nLarge,
                              Int32 nSmall, Int32* pnLevel, Int32* pnMag)
{
    const Int32 nKey = Int32(FloatBits(fW) >> 15);
    Int32 nLevel = nLarge;
    for (Int32 k = 0; k < GlideConfig::LevelCount - 1; ++k)
        nLevel += nKey <= pKey[k] ? 1 : 0;
    // 1/w at or below zero takes the smallest level and never magnifies.
    const bool bFar = !(fW > 0.0f);
    *pnLevel = bFar ? nSmall : nLevel;
    *pnMag = !bFar && nKey > nMagKey ? 1 : 0;
}

void TextureSampler::LevelsByThreshold(Int32 n, Int32 nValid)
{
    // 1/w is linear along the chunk, so level and magnification are monotonic in x: when both
    // ends agree, every pixel between them does too.
    Int32 nFirstLevel, nFirstMag, nLastLevel, nLastMag;
    LevelByKey(m_afW[0], m_anLevelKey, m_nMagKey, m_nLargeLod, m_nSmallLod, &nFirstLevel,
               &nFirstMag);
    LevelByKey(m_afW[nValid - 1], m_anLevelKey, m_nMagKey, m_nLargeLod, m_nSmallLod, &nLastLevel,
               &nLastMag);
    if (nFirstLevel == nLastLevel && nFirstMag == nLastMag)
    {
        m_anLevel[0] = nFirstLevel;
        m_bOneLevel = true;
        if (m_bMixedFilters)
            PixelStages::Fill(nFirstMag, n, m_anMag);
        return;
    }
    for (Int32 i = 0; i < n; ++i)
        LevelByKey(m_afW[i], m_anLevelKey, m_nMagKey, m_nLargeLod, m_nSmallLod, &m_anLevel[i],
                   &m_anMag[i]);
    m_bOneLevel = nFirstLevel == nLastLevel;
}

void TextureSampler::LevelsOfDetail(Int32 x, Int32 n, Int32 nValid, Int32 nScreenY)
{
    const Int32 nLow = m_nLargeLod << 8;
    const Int32 nHigh = m_nSmallLod << 8;
    if (!m_bPerPixelLod)
    {
        const Int32 nLod = ClampInt(m_nConstLod, nLow, nHigh);
        PixelStages::Fill(nLod, n, m_anLod);
        PixelStages::Fill(m_bMipMap ? nLod >> 8 : m_nLargeLod, n, m_anLevel);
        PixelStages::Fill(m_nConstLod <= nLow ? 1 : 0, n, m_anMag);
        m_bOneLevel = true;
        return;
    }
    if (!m_bFullLod)
        return LevelsByThreshold(n, nValid);
    const Int32 nBase = m_pTri->anLodBase[m_nTmu] + m_Sampler.nLodBias;
    const Int32 nFar = GlideConfig::LevelCount << 8;
    const Byte* pDither = Dither::s_abMatrix4x4[nScreenY & 3];
    const Int32 nDitherMask = m_bMipMapDither ? 0xF : 0;
    for (Int32 i = 0; i < n; ++i)
    {
        // A pixel with 1/w at or below zero takes the smallest level.
        const float fW = m_afW[i];
        Int32 nLod = fW > 0.0f ? nBase - Log2Of(fW) : nFar;
        nLod += (pDither[(x + i) & 3] & nDitherMask) << 4;
        m_anMag[i] = nLod <= nLow ? 1 : 0;
        nLod = ClampInt(nLod, nLow, nHigh);
        m_anLod[i] = nLod;
        m_anLevel[i] = m_bMipMap ? nLod >> 8 : m_nLargeLod;
    }
    m_bOneLevel = true;
    for (Int32 i = 1; i < n; ++i)
        m_bOneLevel = m_bOneLevel && m_anLevel[i] == m_anLevel[0];
}

void TextureSampler::Filter(FetchFn pfnFetch, TextureFilter eFilter, Int32 n, Channel* pR,
                            Channel* pG, Channel* pB, Channel* pA)
{
    pfnFetch(*m_pTexture, m_anS, m_anT, m_anLevel, m_nFracMask, n, m_Taps);
    if (eFilter == TextureFilter::Bilinear)
    {
        m_pKernels->pfnBilerp(m_Taps.an00, m_Taps.an01, m_Taps.an10, m_Taps.an11, m_Taps.anFu,
                              m_Taps.anFv, n, m_anFiltered);
        m_pKernels->pfnUnpack(m_anFiltered, n, pR, pG, pB, pA);
    }
    else
        m_pKernels->pfnUnpack(m_Taps.an00, n, pR, pG, pB, pA);
}

void TextureSampler::Sample(Int32 nRow, Int32 x, Int32 n, Int32 nValid, Int32 nScreenY, Channel* pR,
                            Channel* pG, Channel* pB, Channel* pA, Channel* pLodFraction,
                            Channel* pDetail)
{
    if (!m_pTexture)
    {
        // No texture to read: transparent black.
        PixelStages::Fill(0, n, pR);
        PixelStages::Fill(0, n, pG);
        PixelStages::Fill(0, n, pB);
        PixelStages::Fill(0, n, pA);
        if (pLodFraction)
            PixelStages::Fill(0, n, pLodFraction);
        if (pDetail)
            PixelStages::Fill(0, n, pDetail);
        return;
    }
    Prepare(nRow, x, n, nValid, nScreenY, nullptr);
    Finish(n, pR, pG, pB, pA, pLodFraction, pDetail);
}

bool TextureSampler::Prepare(Int32 nRow, Int32 x, Int32 n, Int32 nValid, Int32 nScreenY,
                             FusedSpan* pSpan)
{
    if (!m_pTexture)
        return false;
    m_pKernels = &PixelKernels::ForLength(n);
    Coordinates(nRow, x, n);
    LevelsOfDetail(x, n, nValid, nScreenY);
    if (!pSpan || !m_bOneLevel || m_bMixedFilters ||
        m_Sampler.eMinFilter != TextureFilter::Bilinear)
        return false;
    const Int32 nLevel = m_anLevel[0];
    const DecodedLevel& level = m_pTexture->aLevels[nLevel];
    pSpan->pTexels = level.pTexels;
    pSpan->nWidthLog2 = level.nWidthLog2;
    pSpan->nWidthMask = level.nWidth - 1;
    pSpan->nHeightMask = level.nHeight - 1;
    pSpan->nShift = FracBits - 8 + nLevel;
    pSpan->nFracMask = m_nFracMask;
    pSpan->bClampS = m_Sampler.eClampS == TextureClamp::Clamp;
    pSpan->bClampT = m_Sampler.eClampT == TextureClamp::Clamp;
    pSpan->pS = m_anS;
    pSpan->pT = m_anT;
    return true;
}

void TextureSampler::Finish(Int32 n, Channel* pR, Channel* pG, Channel* pB, Channel* pA,
                            Channel* pLodFraction, Channel* pDetail)
{
    const Int32 nVariant = m_bOneLevel ? 1 : 0;
    Filter(m_apfnMin[nVariant], m_Sampler.eMinFilter, n, pR, pG, pB, pA);
    if (m_bMixedFilters)
    {
        // Different filters for magnification and minification: sample again with the
        // magnification filter and keep it where the pixel covers less than one texel.
        alignas(32) Channel anR[Chunk], anG[Chunk], anB[Chunk], anA[Chunk];
        Filter(m_apfnMag[nVariant], m_Sampler.eMagFilter, n, anR, anG, anB, anA);
        for (Int32 i = 0; i < n; ++i)
        {
            const bool bMag = m_anMag[i] != 0;
            pR[i] = bMag ? anR[i] : pR[i];
            pG[i] = bMag ? anG[i] : pG[i];
            pB[i] = bMag ? anB[i] : pB[i];
            pA[i] = bMag ? anA[i] : pA[i];
        }
    }
    if (pLodFraction)
        for (Int32 i = 0; i < n; ++i)
            pLodFraction[i] = Channel(m_anLod[i] & 0xFF);
    if (pDetail)
    {
        // Detail factor from the level of detail in quarter levels.
        for (Int32 i = 0; i < n; ++i)
        {
            const Int32 nDetail =
                (m_Sampler.nDetailBias - (m_anLod[i] >> 6)) * (1 << m_Sampler.nDetailScale);
            pDetail[i] = Channel(ClampInt(nDetail, 0, m_Sampler.nDetailMax));
        }
    }
}
