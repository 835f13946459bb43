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

PixelMath::LevelAddressing Addressing(const DecodedTexture& texture, Int32 nLevel, Int32 nFracMask,
                                      bool bClampS, bool bClampT)
{
    const DecodedLevel& level = texture.aLevels[nLevel];
    return {level.nWidthLog2, level.nWidth - 1, level.nHeight - 1, nLevel, nFracMask,
            bClampS,          bClampT};
}

// Texel lookups of one level for pixels [0, n) where pLevel is nLevel (or for all of them when
// pLevel is null), eight pixels at a time with PixelMath's addressing.
template <bool Bilinear, bool ClampS, bool ClampT>
void FetchLevel(const DecodedTexture& texture, const Int32* pS, const Int32* pT, Int32 nLevel,
                const Int32* pLevel, Int32 nFracMask, Int32 n, TextureSampler::Taps& taps)
{
    using namespace Scalar;
    const PixelMath::LevelAddressing a = Addressing(texture, nLevel, nFracMask, ClampS, ClampT);
    const UInt32* pTexels = texture.aLevels[nLevel].pTexels;
    for (Int32 i = 0; i < n; i += PixelStages::Group)
    {
        const I32 s = Load(pS + i), t = Load(pT + i);
        I32 aIndex[4], fu, fv;
        if (Bilinear)
            PixelMath::BilinearAddress(s, t, a, aIndex, &fu, &fv);
        else
            aIndex[0] = aIndex[1] = aIndex[2] = aIndex[3] = PixelMath::PointAddress(s, t, a);
        const I32 aTap[4] = {Gather(pTexels, aIndex[0]), Gather(pTexels, aIndex[1]),
                             Gather(pTexels, aIndex[2]), Gather(pTexels, aIndex[3])};
        UInt32* apOut[4] = {taps.an00, taps.an01, taps.an10, taps.an11};
        for (Int32 k = 0; k < PixelStages::Group; ++k)
        {
            if (pLevel && pLevel[i + k] != nLevel)
                continue;
            for (Int32 q = 0; q < (Bilinear ? 4 : 1); ++q)
                apOut[q][i + k] = UInt32(aTap[q].a[k]);
            taps.anFu[i + k] = Bilinear ? fu.a[k] : 0;
            taps.anFv[i + k] = Bilinear ? fv.a[k] : 0;
        }
    }
}

template <bool Bilinear, bool ClampS, bool ClampT, bool OneLevel>
void Fetch(const DecodedTexture& texture, const Int32* pS, const Int32* pT, const Int32* pLevel,
           Int32 nFracMask, Int32 n, TextureSampler::Taps& taps)
{
    if (OneLevel)
        return FetchLevel<Bilinear, ClampS, ClampT>(texture, pS, pT, pLevel[0], nullptr, nFracMask,
                                                    n, taps);
    // A level per pixel: each level the chunk holds, for the pixels that take it.
    bool abSeen[GlideConfig::LevelCount] = {};
    for (Int32 i = 0; i < n; ++i)
        abSeen[pLevel[i]] = true;
    for (Int32 nLevel = 0; nLevel < GlideConfig::LevelCount; ++nLevel)
        if (abSeen[nLevel])
            FetchLevel<Bilinear, ClampS, ClampT>(texture, pS, pT, nLevel, pLevel, nFracMask, n,
                                                 taps);
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
                           const BilinearQuads* pQuads, const TriangleParams& tri, Int32 nTmu,
                           Int32 nFracMask, bool bMipMapDither, bool bNeedLod)
{
    m_pTexture = pTexture;
    m_pQuads = pQuads;
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
    PixelStages::Coordinates(float(tri.aw[m_nTmu].At(dx, dy)), float(tri.aw[m_nTmu].dDx),
                             float(tri.as[m_nTmu].At(dx, dy)), float(tri.as[m_nTmu].dDx),
                             float(tri.at[m_nTmu].At(dx, dy)), float(tri.at[m_nTmu].dDx), n, m_afW,
                             m_anS, m_anT);
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
        PixelStages::Bilerp(m_Taps.an00, m_Taps.an01, m_Taps.an10, m_Taps.an11, m_Taps.anFu,
                            m_Taps.anFv, n, m_anFiltered);
        PixelStages::Unpack(m_anFiltered, n, pR, pG, pB, pA);
    }
    else
        PixelStages::Unpack(m_Taps.an00, n, pR, pG, pB, pA);
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
    Prepare(nRow, x, n, nValid, nScreenY);
    Finish(n, pR, pG, pB, pA, pLodFraction, pDetail);
}

void TextureSampler::Prepare(Int32 nRow, Int32 x, Int32 n, Int32 nValid, Int32 nScreenY)
{
    Coordinates(nRow, x, n);
    LevelsOfDetail(x, n, nValid, nScreenY);
}

void TextureSampler::ChunkPlanes(Int32 nRow, Int32 x, FastChunk* pChunk) const
{
    const TriangleParams& tri = *m_pTri;
    const Int32 dx = x - tri.nRefX;
    const Int32 dy = nRow - tri.nRefY;
    pChunk->fW0 = float(tri.aw[m_nTmu].At(dx, dy));
    pChunk->fDw = float(tri.aw[m_nTmu].dDx);
    pChunk->fS0 = float(tri.as[m_nTmu].At(dx, dy));
    pChunk->fDs = float(tri.as[m_nTmu].dDx);
    pChunk->fT0 = float(tri.at[m_nTmu].At(dx, dy));
    pChunk->fDt = float(tri.at[m_nTmu].dDx);
}

Int32 TextureSampler::LevelRuns(Int32 nValid, const FastChunk& chunk, LevelRun* pRuns) const
{
    if (!m_pTexture || m_bFullLod)
        return 0;
    if (!m_bPerPixelLod)
    {
        const Int32 nLod = ClampInt(m_nConstLod, m_nLargeLod << 8, m_nSmallLod << 8);
        pRuns[0] = {0, nValid, m_bMipMap ? nLod >> 8 : m_nLargeLod,
                    m_nConstLod <= m_nLargeLod << 8};
        return 1;
    }
    // The same 1/w as the perspective division (PixelMath::Perspective), pixel by pixel.
    auto levelAt = [&](Int32 i, Int32* pnLevel, Int32* pnMag)
    {
        const float fW = chunk.fW0 + float(i) * chunk.fDw;
        LevelByKey(fW, m_anLevelKey, m_nMagKey, m_nLargeLod, m_nSmallLod, pnLevel, pnMag);
    };
    Int32 nFirstLevel, nFirstMag, nLastLevel, nLastMag;
    levelAt(0, &nFirstLevel, &nFirstMag);
    levelAt(nValid - 1, &nLastLevel, &nLastMag);
    if (nFirstLevel == nLastLevel && nFirstMag == nLastMag)
    {
        pRuns[0] = {0, nValid, nFirstLevel, nFirstMag != 0};
        return 1;
    }
    Int32 nRuns = 0;
    for (Int32 i = 0; i < nValid; ++i)
    {
        Int32 nLevel, nMag;
        levelAt(i, &nLevel, &nMag);
        if (nRuns > 0 && pRuns[nRuns - 1].nLevel == nLevel && pRuns[nRuns - 1].bMag == (nMag != 0))
            pRuns[nRuns - 1].nEnd = i + 1;
        else
            pRuns[nRuns++] = {i, i + 1, nLevel, nMag != 0};
    }
    return nRuns;
}

void TextureSampler::FillRun(const LevelRun& run, FastChunk* pChunk) const
{
    // Without different filters for the two, the minification filter serves every pixel.
    const TextureFilter eFilter =
        m_bMixedFilters && run.bMag ? m_Sampler.eMagFilter : m_Sampler.eMinFilter;
    pChunk->bBilinear = eFilter == TextureFilter::Bilinear;
    pChunk->pTexels = m_pTexture->aLevels[run.nLevel].pTexels;
    pChunk->pQuads = m_pQuads ? m_pQuads->Level(run.nLevel) : nullptr;
    pChunk->addressing =
        Addressing(*m_pTexture, run.nLevel, m_nFracMask, m_Sampler.eClampS == TextureClamp::Clamp,
                   m_Sampler.eClampT == TextureClamp::Clamp);
    pChunk->nBegin = run.nBegin;
    pChunk->nEnd = run.nEnd;
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
