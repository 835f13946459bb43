// Tests of the .3df format facts: tokens, level sizes and mip-chain sizes, against the tables of
// glide-reference.md §4.1, §4.2 and §8.1 (numbers copied by hand, not computed).
#include "Gu3dfFormat.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstring>

namespace
{
struct TokenCase
{
    const char* pchToken;
    GrTextureFormat_t format;
};

const TokenCase s_aTokenCases[] = {
    {"rgb332", 0x0},   {"yiq", 0x1},      {"a8", 0x2},       {"i8", 0x3},     {"ai44", 0x4},
    {"p8", 0x5},       {"argb8332", 0x8}, {"ayiq8422", 0x9}, {"rgb565", 0xA}, {"argb1555", 0xB},
    {"argb4444", 0xC}, {"ai88", 0xD},     {"ap88", 0xE}};

struct LevelCase
{
    GrLOD_t lod;
    GrAspectRatio_t aspect;
    FxU32 nWidth;
    FxU32 nHeight;
};

const LevelCase s_aLevelCases[] = {
    {GR_LOD_256, GR_ASPECT_8x1, 256, 32},  {GR_LOD_16, GR_ASPECT_8x1, 16, 2},
    {GR_LOD_8, GR_ASPECT_8x1, 8, 1},       {GR_LOD_4, GR_ASPECT_8x1, 4, 1},
    {GR_LOD_1, GR_ASPECT_8x1, 1, 1},       {GR_LOD_256, GR_ASPECT_4x1, 256, 64},
    {GR_LOD_8, GR_ASPECT_4x1, 8, 2},       {GR_LOD_2, GR_ASPECT_4x1, 2, 1},
    {GR_LOD_128, GR_ASPECT_2x1, 128, 64},  {GR_LOD_2, GR_ASPECT_2x1, 2, 1},
    {GR_LOD_64, GR_ASPECT_1x1, 64, 64},    {GR_LOD_1, GR_ASPECT_1x1, 1, 1},
    {GR_LOD_256, GR_ASPECT_1x2, 128, 256}, {GR_LOD_4, GR_ASPECT_1x4, 1, 4},
    {GR_LOD_32, GR_ASPECT_1x8, 4, 32},     {GR_LOD_2, GR_ASPECT_1x8, 1, 2}};
} // namespace

TEST(Gu3dfFormat, EveryGlideTokenNamesItsFormatInAnyCase)
{
    for (const TokenCase& entry : s_aTokenCases)
    {
        GrTextureFormat_t format = -1;
        EXPECT_TRUE(Gu3dfFormat::FormatFromToken(entry.pchToken, &format)) << entry.pchToken;
        EXPECT_EQ(format, entry.format) << entry.pchToken;
        char achUpper[16];
        std::snprintf(achUpper, sizeof(achUpper), "%s", entry.pchToken);
        for (char* pch = achUpper; *pch != '\0'; ++pch)
        {
            *pch = static_cast<char>(std::toupper(static_cast<unsigned char>(*pch)));
        }
        format = -1;
        EXPECT_TRUE(Gu3dfFormat::FormatFromToken(achUpper, &format)) << achUpper;
        EXPECT_EQ(format, entry.format) << achUpper;
        EXPECT_STREQ(Gu3dfFormat::TokenOf(entry.format), entry.pchToken);
    }
}

TEST(Gu3dfFormat, OtherTokensAndReservedFormatsAreUnknown)
{
    const char* apchUnknown[] = {"argb8888", "rgb888", "", "rgb5655", "rgb56", "p8 ", "yiq422"};
    for (const char* pchToken : apchUnknown)
    {
        GrTextureFormat_t format = 0;
        EXPECT_FALSE(Gu3dfFormat::FormatFromToken(pchToken, &format)) << "'" << pchToken << "'";
    }
    const GrTextureFormat_t aReserved[] = {GR_TEXFMT_RSVD0, GR_TEXFMT_RSVD1, GR_TEXFMT_RSVD2, 16,
                                           -1};
    for (GrTextureFormat_t format : aReserved)
    {
        EXPECT_FALSE(Gu3dfFormat::IsKnownFormat(format)) << format;
        EXPECT_EQ(Gu3dfFormat::TokenOf(format), nullptr) << format;
    }
}

TEST(Gu3dfFormat, TexelAndTableSizesPerFormat)
{
    EXPECT_EQ(Gu3dfFormat::BytesPerTexel(GR_TEXFMT_P_8), 1u);
    EXPECT_EQ(Gu3dfFormat::BytesPerTexel(GR_TEXFMT_ALPHA_INTENSITY_44), 1u);
    EXPECT_EQ(Gu3dfFormat::BytesPerTexel(GR_TEXFMT_ARGB_8332), 2u);
    EXPECT_EQ(Gu3dfFormat::BytesPerTexel(GR_TEXFMT_AP_88), 2u);
    EXPECT_EQ(Gu3dfFormat::TableBytes(GR_TEXFMT_YIQ_422), 80u);
    EXPECT_EQ(Gu3dfFormat::TableBytes(GR_TEXFMT_AYIQ_8422), 80u);
    EXPECT_EQ(Gu3dfFormat::TableBytes(GR_TEXFMT_P_8), 1024u);
    EXPECT_EQ(Gu3dfFormat::TableBytes(GR_TEXFMT_AP_88), 1024u);
    EXPECT_EQ(Gu3dfFormat::TableBytes(GR_TEXFMT_RGB_565), 0u);
    EXPECT_EQ(Gu3dfFormat::TableBytes(GR_TEXFMT_INTENSITY_8), 0u);
}

TEST(Gu3dfFormat, LodSidesArePowersOfTwoUpTo256)
{
    const long anValid[] = {1, 2, 4, 8, 16, 32, 64, 128, 256};
    for (int i = 0; i < 9; ++i)
    {
        GrLOD_t lod = -1;
        EXPECT_TRUE(Gu3dfFormat::LodFromSide(anValid[i], &lod)) << anValid[i];
        EXPECT_EQ(lod, GR_LOD_1 - i) << anValid[i];
    }
    const long anInvalid[] = {0, -1, -256, 3, 255, 257, 512, 65536, 1L << 30};
    for (long nSide : anInvalid)
    {
        GrLOD_t lod = -1;
        EXPECT_FALSE(Gu3dfFormat::LodFromSide(nSide, &lod)) << nSide;
    }
}

TEST(Gu3dfFormat, AspectPairsAreTheSevenRatios)
{
    const long anPairs[7][2] = {{8, 1}, {4, 1}, {2, 1}, {1, 1}, {1, 2}, {1, 4}, {1, 8}};
    for (int i = 0; i < 7; ++i)
    {
        GrAspectRatio_t aspect = -1;
        EXPECT_TRUE(Gu3dfFormat::AspectFromPair(anPairs[i][0], anPairs[i][1], &aspect));
        EXPECT_EQ(aspect, GR_ASPECT_8x1 + i);
    }
    const long anBad[][2] = {{2, 2}, {16, 1}, {1, 16}, {0, 0}, {3, 1}, {-1, 1}, {8, 2}};
    for (const long* pnPair : anBad)
    {
        GrAspectRatio_t aspect = -1;
        EXPECT_FALSE(Gu3dfFormat::AspectFromPair(pnPair[0], pnPair[1], &aspect))
            << pnPair[0] << " " << pnPair[1];
    }
}

TEST(Gu3dfFormat, LevelSizesFollowTheLevelTable)
{
    for (const LevelCase& entry : s_aLevelCases)
    {
        FxU32 nWidth = 0;
        FxU32 nHeight = 0;
        Gu3dfFormat::LevelSize(entry.lod, entry.aspect, &nWidth, &nHeight);
        EXPECT_EQ(nWidth, entry.nWidth) << "lod " << entry.lod << " aspect " << entry.aspect;
        EXPECT_EQ(nHeight, entry.nHeight) << "lod " << entry.lod << " aspect " << entry.aspect;
    }
}

TEST(Gu3dfFormat, FullChainsHaveThePublishedTexelTotals)
{
    // Totals of the level table, 256 down to 1; 1x2, 1x4, 1x8 equal their transposes.
    const FxU32 anTotals[7] = {10927, 21847, 43691, 87381, 43691, 21847, 10927};
    for (GrAspectRatio_t aspect = GR_ASPECT_8x1; aspect <= GR_ASPECT_1x8; ++aspect)
    {
        EXPECT_EQ(Gu3dfFormat::TexelBytes(GR_LOD_1, GR_LOD_256, aspect, GR_TEXFMT_ALPHA_8),
                  anTotals[aspect]);
        EXPECT_EQ(Gu3dfFormat::TexelBytes(GR_LOD_1, GR_LOD_256, aspect, GR_TEXFMT_RGB_565),
                  2 * anTotals[aspect]);
    }
    EXPECT_EQ(Gu3dfFormat::TexelBytes(GR_LOD_1, GR_LOD_64, GR_ASPECT_1x1, GR_TEXFMT_RGB_565),
              10922u);
    EXPECT_EQ(Gu3dfFormat::TexelBytes(GR_LOD_256, GR_LOD_256, GR_ASPECT_1x1, GR_TEXFMT_P_8),
              65536u);
    EXPECT_EQ(Gu3dfFormat::TexelBytes(GR_LOD_1, GR_LOD_1, GR_ASPECT_8x1, GR_TEXFMT_AYIQ_8422), 2u);
}
