// TextureSampler: coordinates, level of detail and filtered texels per chunk.
#include "TextureSampler.h"
#include "Dither.h"
#include "PixelStages.h"
#include <cmath>
#include <cstring>

namespace
{
constexpr Int32 FracBits = GlideConfig::TexCoordFracBits;
constexpr float CoordScale = float(1 << GlideConfig::TexCoordFracBits);
constexpr float MaxCoord = GlideConfig::MaxTexCoord;
constexpr float MinCoord = -32768.0f;

struct Log2Table
{
    Int32 an[256];
    Log2Table()
    {
        for (Int32 m = 0; m < 256; ++m)
            an[m] = Int32(std::floor(256.0 * std::log2(1.0 + m / 256.0) + 0.5));
    }
};

const Log2Table& TheLog2Table()
{
    static const Log2Table table;
    return table;
}

inline Int32 ClampInt(Int32 v, Int32 nLow, Int32 nHigh)
{
    return v < nLow ? nLow : (v > nHigh ? nHigh : v);
}

// Point and bilinear lookups, specialised on filter and clamp so the per-pixel loop has no
// mode switch. The level of every pixel comes from pLevel.
template <bool Bilinear, bool ClampS, bool ClampT>
void Fetch(const DecodedTexture& texture, const Int32* pS, const Int32* pT, const Int32* pLevel,
           Int32 nFracMask, Int32 n, UInt32* p00, UInt32* p01, UInt32* p10, UInt32* p11,
           Int32* pFu, Int32* pFv)
{
    for (Int32 i = 0; i < n; ++i)
    {
        const Int32 nLevel = pLevel[i];
        const DecodedLevel& level = texture.aLevels[nLevel];
        const Int32 nWidthMask = level.nWidth - 1;
        const Int32 nHeightMask = level.nHeight - 1;
        if (Bilinear)
        {
            // 8 fraction bits at this level, then back by half a texel (texel centres at +0.5).
            const Int32 nShift = FracBits - 8 + nLevel;
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
            const UInt32* pRow0 = level.pTexels + (v0 << level.nWidthLog2);
            const UInt32* pRow1 = level.pTexels + (v1 << level.nWidthLog2);
            p00[i] = pRow0[u0];
            p01[i] = pRow0[u1];
            p10[i] = pRow1[u0];
            p11[i] = pRow1[u1];
        }
        else
        {
            const Int32 nShift = FracBits + nLevel;
            Int32 u = pS[i] >> nShift;
            Int32 v = pT[i] >> nShift;
            u = ClampS ? ClampInt(u, 0, nWidthMask) : (u & nWidthMask);
            v = ClampT ? ClampInt(v, 0, nHeightMask) : (v & nHeightMask);
            p00[i] = level.pTexels[(v << level.nWidthLog2) + u];
        }
    }
}

void Bilerp(const UInt32* p00, const UInt32* p01, const UInt32* p10, const UInt32* p11,
            const Int32* pFu, const Int32* pFv, Int32 n, Int32* __restrict pR,
            Int32* __restrict pG, Int32* __restrict pB, Int32* __restrict pA)
{
    for (Int32 i = 0; i < n; ++i)
    {
        const Int32 fu = pFu[i];
        const Int32 fv = pFv[i];
        const Int32 w00 = (256 - fu) * (256 - fv);
        const Int32 w01 = fu * (256 - fv);
        const Int32 w10 = (256 - fu) * fv;
        const Int32 w11 = fu * fv;
        const UInt32 a = p00[i], b = p01[i], c = p10[i], d = p11[i];
        pA[i] = (Int32(a >> 24) * w00 + Int32(b >> 24) * w01 + Int32(c >> 24) * w10 +
                 Int32(d >> 24) * w11) >> 16;
        pR[i] = (Int32((a >> 16) & 0xFFu) * w00 + Int32((b >> 16) & 0xFFu) * w01 +
                 Int32((c >> 16) & 0xFFu) * w10 + Int32((d >> 16) & 0xFFu) * w11) >> 16;
        pG[i] = (Int32((a >> 8) & 0xFFu) * w00 + Int32((b >> 8) & 0xFFu) * w01 +
                 Int32((c >> 8) & 0xFFu) * w10 + Int32((d >> 8) & 0xFFu) * w11) >> 16;
        pB[i] = (Int32(a & 0xFFu) * w00 + Int32(b & 0xFFu) * w01 + Int32(c & 0xFFu) * w10 +
                 Int32(d & 0xFFu) * w11) >> 16;
    }
}
} // namespace

Int32 TextureSampler::Log2Fixed(float fValue)
{
    UInt32 nBits;
    std::memcpy(&nBits, &fValue, sizeof nBits);
    const Int32 nExponent = Int32((nBits >> 23) & 0xFFu);
    if (nExponent == 0)
        return -127 * 256;
    return ((nExponent - 127) << 8) + TheLog2Table().an[(nBits >> 15) & 0xFFu];
}

TextureSampler::FetchFn TextureSampler::PickFetch(TextureFilter eFilter, TextureClamp eClampS,
                                                  TextureClamp eClampT)
{
    const bool bS = eClampS == TextureClamp::Clamp;
    const bool bT = eClampT == TextureClamp::Clamp;
    if (eFilter == TextureFilter::Bilinear)
    {
        if (bS)
            return bT ? Fetch<true, true, true> : Fetch<true, true, false>;
        return bT ? Fetch<true, false, true> : Fetch<true, false, false>;
    }
    if (bS)
        return bT ? Fetch<false, true, true> : Fetch<false, true, false>;
    return bT ? Fetch<false, false, true> : Fetch<false, false, false>;
}

void TextureSampler::Begin(const TmuState& tmu, const DecodedTexture* pTexture,
                           const TriangleParams& tri, Int32 nTmu, Int32 nFracMask,
                           bool bMipMapDither)
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
    m_bMipMapDither = bMipMapDither && m_Sampler.eMipMap == MipMapMode::NearestDither;
    m_bMixedFilters = m_Sampler.eMinFilter != m_Sampler.eMagFilter;
    m_pfnMin = PickFetch(m_Sampler.eMinFilter, m_Sampler.eClampS, m_Sampler.eClampT);
    m_pfnMag = PickFetch(m_Sampler.eMagFilter, m_Sampler.eClampS, m_Sampler.eClampT);
    // The level of detail varies per pixel only with perspective (1/w not constant) or dither.
    m_bPerPixelLod = !tri.abLodConstant[nTmu] || m_bMipMapDither;
    if (!m_bPerPixelLod)
    {
        const float fW = float(tri.aw[nTmu].dStart);
        m_nConstLod = fW > 0.0f ? tri.anLodBase[nTmu] - Log2Fixed(fW) + m_Sampler.nLodBias
                                : (GlideConfig::LevelCount << 8);
    }
}

void TextureSampler::Coordinates(Int32 nRow, Int32 x, Int32 n)
{
    const TriangleParams& tri = *m_pTri;
    const Int32 dx = x - tri.nRefX;
    const Int32 dy = nRow - tri.nRefY;
    const float fW0 = float(tri.aw[m_nTmu].At(dx, dy));
    const float fS0 = float(tri.as[m_nTmu].At(dx, dy));
    const float fT0 = float(tri.at[m_nTmu].At(dx, dy));
    const float fDw = float(tri.aw[m_nTmu].dDx);
    const float fDs = float(tri.as[m_nTmu].dDx);
    const float fDt = float(tri.at[m_nTmu].dDx);
    for (Int32 i = 0; i < n; ++i)
    {
        const float fI = float(i);
        const float fW = fW0 + fI * fDw;
        const float fRecip = 1.0f / fW;
        float fS = (fS0 + fI * fDs) * fRecip;
        float fT = (fT0 + fI * fDt) * fRecip;
        // Negative 1/w clamps to the texture's origin; out-of-range values (and the NaN of
        // 0/0) to the valid range.
        fS = fW < 0.0f ? 0.0f : fS;
        fT = fW < 0.0f ? 0.0f : fT;
        fS = fS > MaxCoord ? MaxCoord : fS;
        fS = fS >= MinCoord ? fS : MinCoord;
        fT = fT > MaxCoord ? MaxCoord : fT;
        fT = fT >= MinCoord ? fT : MinCoord;
        m_afW[i] = fW;
        m_anS[i] = Int32(fS * CoordScale);
        m_anT[i] = Int32(fT * CoordScale);
    }
}

void TextureSampler::LevelsOfDetail(Int32 x, Int32 n, Int32 nScreenY)
{
    const Int32 nLow = m_nLargeLod << 8;
    const Int32 nHigh = m_nSmallLod << 8;
    const bool bMipMap = m_Sampler.eMipMap != MipMapMode::Disabled;
    if (!m_bPerPixelLod)
    {
        const Int32 nLod = ClampInt(m_nConstLod, nLow, nHigh);
        PixelStages::Fill(nLod, n, m_anLod);
        PixelStages::Fill(bMipMap ? nLod >> 8 : m_nLargeLod, n, m_anLevel);
        PixelStages::Fill(m_nConstLod <= nLow ? 1 : 0, n, m_anMag);
        return;
    }
    const Int32 nBase = m_pTri->anLodBase[m_nTmu] + m_Sampler.nLodBias;
    const Byte* pDither = Dither::s_abMatrix4x4[nScreenY & 3];
    for (Int32 i = 0; i < n; ++i)
    {
        const float fW = m_afW[i];
        Int32 nLod = fW > 0.0f ? nBase - Log2Fixed(fW) : (GlideConfig::LevelCount << 8);
        if (m_bMipMapDither)
            nLod += pDither[(x + i) & 3] << 4;
        m_anMag[i] = nLod <= nLow ? 1 : 0;
        nLod = ClampInt(nLod, nLow, nHigh);
        m_anLod[i] = nLod;
        m_anLevel[i] = bMipMap ? nLod >> 8 : m_nLargeLod;
    }
}

void TextureSampler::Sample(Int32 nRow, Int32 x, Int32 n, Int32 nScreenY, Int32* pR, Int32* pG,
                            Int32* pB, Int32* pA, Int32* pLodFraction, Int32* pDetail)
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
    Coordinates(nRow, x, n);
    LevelsOfDetail(x, n, nScreenY);

    const bool bMinBilinear = m_Sampler.eMinFilter == TextureFilter::Bilinear;
    m_pfnMin(*m_pTexture, m_anS, m_anT, m_anLevel, m_nFracMask, n, m_an00, m_an01, m_an10,
             m_an11, m_anFu, m_anFv);
    if (bMinBilinear)
        Bilerp(m_an00, m_an01, m_an10, m_an11, m_anFu, m_anFv, n, pR, pG, pB, pA);
    else
        PixelStages::Unpack(m_an00, n, pR, pG, pB, pA);

    if (m_bMixedFilters)
    {
        // Different filters for magnification and minification: sample again with the
        // magnification filter and keep it where the pixel covers less than one texel.
        alignas(32) Int32 anR[GlideConfig::SpanChunk], anG[GlideConfig::SpanChunk];
        alignas(32) Int32 anB[GlideConfig::SpanChunk], anA[GlideConfig::SpanChunk];
        m_pfnMag(*m_pTexture, m_anS, m_anT, m_anLevel, m_nFracMask, n, m_an00, m_an01, m_an10,
                 m_an11, m_anFu, m_anFv);
        if (m_Sampler.eMagFilter == TextureFilter::Bilinear)
            Bilerp(m_an00, m_an01, m_an10, m_an11, m_anFu, m_anFv, n, anR, anG, anB, anA);
        else
            PixelStages::Unpack(m_an00, n, anR, anG, anB, anA);
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
            pLodFraction[i] = m_anLod[i] & 0xFF;
    if (pDetail)
    {
        // Detail factor from the level of detail in quarter levels.
        for (Int32 i = 0; i < n; ++i)
        {
            const Int32 nDetail =
                (m_Sampler.nDetailBias - (m_anLod[i] >> 6)) * (1 << m_Sampler.nDetailScale);
            pDetail[i] = ClampInt(nDetail, 0, m_Sampler.nDetailMax);
        }
    }
}
