// Gu3dfFormat.cpp - .3df format facts (glide-reference.md §4.1, §4.2, §8.1).
#include "Gu3dfFormat.h"

namespace
{
struct FormatToken
{
    const char* pchToken; // lower case, as the converter writes it
    GrTextureFormat_t format;
};

// glide-reference.md §8.1: the tokens Glide 2.x accepts. argb8888 (a later converter's 32-bit
// format) is deliberately absent: Glide 2.x has no such texel format.
const FormatToken s_aTokens[Gu3dfFormat::kFormatCount] = {{"rgb332", GR_TEXFMT_RGB_332},
                                                          {"yiq", GR_TEXFMT_YIQ_422},
                                                          {"a8", GR_TEXFMT_ALPHA_8},
                                                          {"i8", GR_TEXFMT_INTENSITY_8},
                                                          {"ai44", GR_TEXFMT_ALPHA_INTENSITY_44},
                                                          {"p8", GR_TEXFMT_P_8},
                                                          {"argb8332", GR_TEXFMT_ARGB_8332},
                                                          {"ayiq8422", GR_TEXFMT_AYIQ_8422},
                                                          {"rgb565", GR_TEXFMT_RGB_565},
                                                          {"argb1555", GR_TEXFMT_ARGB_1555},
                                                          {"argb4444", GR_TEXFMT_ARGB_4444},
                                                          {"ai88", GR_TEXFMT_ALPHA_INTENSITY_88},
                                                          {"ap88", GR_TEXFMT_AP_88}};

char LowerCase(char ch)
{
    return (ch >= 'A' && ch <= 'Z') ? static_cast<char>(ch - 'A' + 'a') : ch;
}

int SameTokenIgnoringCase(const char* pchA, const char* pchB)
{
    while (*pchA != '\0' && LowerCase(*pchA) == LowerCase(*pchB))
    {
        ++pchA;
        ++pchB;
    }
    return *pchA == '\0' && *pchB == '\0';
}
} // namespace

int Gu3dfFormat::FormatFromToken(const char* pchToken, GrTextureFormat_t* pFormat)
{
    for (const FormatToken& entry : s_aTokens)
    {
        if (SameTokenIgnoringCase(pchToken, entry.pchToken))
        {
            *pFormat = entry.format;
            return 1;
        }
    }
    return 0;
}

const char* Gu3dfFormat::TokenOf(GrTextureFormat_t format)
{
    for (const FormatToken& entry : s_aTokens)
    {
        if (entry.format == format)
        {
            return entry.pchToken;
        }
    }
    return nullptr;
}

GrTextureFormat_t Gu3dfFormat::FormatAt(int i)
{
    return s_aTokens[i].format;
}

int Gu3dfFormat::IsKnownFormat(GrTextureFormat_t format)
{
    return TokenOf(format) != nullptr;
}

int Gu3dfFormat::IsNccFormat(GrTextureFormat_t format)
{
    return format == GR_TEXFMT_YIQ_422 || format == GR_TEXFMT_AYIQ_8422;
}

int Gu3dfFormat::IsPaletteFormat(GrTextureFormat_t format)
{
    return format == GR_TEXFMT_P_8 || format == GR_TEXFMT_AP_88;
}

FxU32 Gu3dfFormat::BytesPerTexel(GrTextureFormat_t format)
{
    return format >= GR_TEXFMT_16BIT ? 2 : 1;
}

FxU32 Gu3dfFormat::TableBytes(GrTextureFormat_t format)
{
    if (IsNccFormat(format))
    {
        return kNccTableBytes;
    }
    return IsPaletteFormat(format) ? kPaletteBytes : 0;
}

int Gu3dfFormat::LodFromSide(long nSide, GrLOD_t* pLod)
{
    for (GrLOD_t lod = GR_LOD_256; lod <= GR_LOD_1; ++lod)
    {
        if (nSide == static_cast<long>(SideOfLod(lod)))
        {
            *pLod = lod;
            return 1;
        }
    }
    return 0;
}

FxU32 Gu3dfFormat::SideOfLod(GrLOD_t lod)
{
    return static_cast<FxU32>(kMaxLevelSide) >> lod;
}

int Gu3dfFormat::AspectFromPair(long nWidth, long nHeight, GrAspectRatio_t* pAspect)
{
    for (GrAspectRatio_t aspect = GR_ASPECT_8x1; aspect <= GR_ASPECT_1x8; ++aspect)
    {
        FxU32 nPairWidth = 0;
        FxU32 nPairHeight = 0;
        PairOfAspect(aspect, &nPairWidth, &nPairHeight);
        if (nWidth == static_cast<long>(nPairWidth) && nHeight == static_cast<long>(nPairHeight))
        {
            *pAspect = aspect;
            return 1;
        }
    }
    return 0;
}

void Gu3dfFormat::PairOfAspect(GrAspectRatio_t aspect, FxU32* pnWidth, FxU32* pnHeight)
{
    // GR_ASPECT_8x1 (0) .. GR_ASPECT_1x1 (3) .. GR_ASPECT_1x8 (6): the ratio doubles per step.
    *pnWidth = aspect < GR_ASPECT_1x1 ? 1u << (GR_ASPECT_1x1 - aspect) : 1;
    *pnHeight = aspect > GR_ASPECT_1x1 ? 1u << (aspect - GR_ASPECT_1x1) : 1;
}

void Gu3dfFormat::LevelSize(GrLOD_t lod, GrAspectRatio_t aspect, FxU32* pnWidth, FxU32* pnHeight)
{
    FxU32 nRatioWidth = 0;
    FxU32 nRatioHeight = 0;
    PairOfAspect(aspect, &nRatioWidth, &nRatioHeight);
    const FxU32 nLong = SideOfLod(lod);
    const FxU32 nShort = nLong / (nRatioWidth * nRatioHeight);
    *pnWidth = nRatioWidth >= nRatioHeight ? nLong : (nShort > 0 ? nShort : 1);
    *pnHeight = nRatioHeight >= nRatioWidth ? nLong : (nShort > 0 ? nShort : 1);
}

FxU32 Gu3dfFormat::TexelBytes(GrLOD_t smallLod, GrLOD_t largeLod, GrAspectRatio_t aspect,
                              GrTextureFormat_t format)
{
    FxU32 nTexels = 0;
    for (GrLOD_t lod = largeLod; lod <= smallLod; ++lod)
    {
        FxU32 nWidth = 0;
        FxU32 nHeight = 0;
        LevelSize(lod, aspect, &nWidth, &nHeight);
        nTexels += nWidth * nHeight;
    }
    return nTexels * BytesPerTexel(format);
}
