// Tests of the converter's parts: box filtering, field rounding, palette and NCC fitting; and the
// decoder on the real-world brick fixtures (the same picture in four formats).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ArgbImage.h"
#include "ColourSet.h"
#include "NccQuantizer.h"
#include "PaletteQuantizer.h"
#include "Tex3dfDecoder.h"
#include "Tex3dfTestSupport.h"
#include "TexelEncoder.h"

using namespace Tex3dfTest;

namespace
{
std::vector<WeightedColour> Colours(const std::vector<std::vector<Int32>>& rgbs)
{
    std::vector<UInt32> anArgb;
    for (const std::vector<Int32>& rgb : rgbs)
    {
        anArgb.push_back(0xFF000000u | (UInt32(rgb[0]) << 16) | (UInt32(rgb[1]) << 8) |
                         UInt32(rgb[2]));
    }
    return ColourSet::Distinct(anArgb);
}

int NearestError(const WeightedColour& colour, const Int32 (*aanTable)[3], Int32 nCount)
{
    const Int32 n = ColourSet::Nearest(colour.anRgb, aanTable, nCount);
    int nMax = 0;
    for (int c = 0; c < 3; ++c)
    {
        const int nDiff = colour.anRgb[c] - aanTable[n][c];
        nMax = std::max(nMax, nDiff < 0 ? -nDiff : nDiff);
    }
    return nMax;
}
} // namespace

TEST(Tex3dfParts, HalvingAveragesBoxesWithRounding)
{
    ArgbImage row(4, 1);
    row.SetPixel(0, 0, 0x01020304u);
    row.SetPixel(1, 0, 0x02030405u); // means 1.5, 2.5, 3.5, 4.5 round up
    row.SetPixel(2, 0, 0xFF000000u);
    row.SetPixel(3, 0, 0x00FF0001u); // 127.5 -> 128 for alpha and red, 0, 0.5 -> 1
    const ArgbImage half = row.Halved();
    ASSERT_EQ(half.Width(), 2);
    ASSERT_EQ(half.Height(), 1);
    EXPECT_EQ(half.Pixel(0, 0), 0x02030405u);
    EXPECT_EQ(half.Pixel(1, 0), 0x80800001u);
    const ArgbImage column = ArgbImage(1, 2).Halved();
    EXPECT_EQ(column.Width(), 1);
    EXPECT_EQ(column.Height(), 1);
}

TEST(Tex3dfParts, FieldsTakeTheNearestExpandedValue)
{
    // rgb565 red: 132 = expansion of 16 exactly; 4 lies between 0 and 8 (tie: the lower); 5 -> 8.
    const TexelEncoder rgb565(GR_TEXFMT_RGB_565);
    EXPECT_EQ(rgb565.Encode(0xFF840000u), 16u << 11);
    EXPECT_EQ(rgb565.Encode(0xFF040000u), 0u);
    EXPECT_EQ(rgb565.Encode(0xFF050000u), 1u << 11);
    EXPECT_EQ(rgb565.Encode(0xFFFFFFFFu), 0xFFFFu);
    // argb1555 alpha: 127 -> 0, 128 -> 1.
    const TexelEncoder argb1555(GR_TEXFMT_ARGB_1555);
    EXPECT_EQ(argb1555.Encode(0x7F000000u), 0u);
    EXPECT_EQ(argb1555.Encode(0x80000000u), 0x8000u);
    // Intensity of pure red: 0.299 * 255 = 76.2 -> 76; ai44 of white with alpha 0x88 -> 0x8F.
    EXPECT_EQ(TexelEncoder(GR_TEXFMT_INTENSITY_8).Encode(0xFFFF0000u), 76u);
    EXPECT_EQ(TexelEncoder(GR_TEXFMT_ALPHA_INTENSITY_44).Encode(0x88FFFFFFu), 0x8Fu);
    // The table formats get only their alpha byte here.
    EXPECT_EQ(TexelEncoder(GR_TEXFMT_AP_88).Encode(0x5A123456u), 0x5A00u);
    EXPECT_EQ(TexelEncoder(GR_TEXFMT_YIQ_422).Encode(0x5A123456u), 0u);
}

TEST(Tex3dfParts, PaletteKeepsFewColoursExactly)
{
    std::vector<std::vector<Int32>> rgbs;
    Lcg random(9);
    for (int i = 0; i < 256; ++i)
    {
        rgbs.push_back({Int32(random.Next(256)), Int32(random.Next(256)), Int32(random.Next(256))});
    }
    const std::vector<WeightedColour> colours = Colours(rgbs);
    Int32 aanPalette[256][3];
    const Int32 nUsed = PaletteQuantizer::Build(colours, aanPalette);
    EXPECT_EQ(nUsed, Int32(colours.size()));
    for (const WeightedColour& colour : colours)
    {
        EXPECT_EQ(NearestError(colour, aanPalette, nUsed), 0);
    }
}

TEST(Tex3dfParts, PaletteCoversClustersOfManyColours)
{
    // Two tight clusters of 7 x 7 x 7 colours each (686 colours): 256 entries cover them to
    // within 2 per channel.
    std::vector<std::vector<Int32>> rgbs;
    for (int r = 0; r < 7; ++r)
        for (int g = 0; g < 7; ++g)
            for (int b = 0; b < 7; ++b)
            {
                rgbs.push_back({20 + r, 20 + g, 20 + b});
                rgbs.push_back({220 + r, 180 + g, 10 + b});
            }
    const std::vector<WeightedColour> colours = Colours(rgbs);
    Int32 aanPalette[256][3];
    const Int32 nUsed = PaletteQuantizer::Build(colours, aanPalette);
    EXPECT_EQ(nUsed, 256);
    for (const WeightedColour& colour : colours)
    {
        EXPECT_LE(NearestError(colour, aanPalette, nUsed), 2);
    }
}

TEST(Tex3dfParts, NccTableReproducesASingleColourAndStaysInRange)
{
    GuNccTable table;
    NccQuantizer::Build(Colours({{100, 150, 200}}), &table);
    Int32 aanColours[256][3];
    NccQuantizer::Colours(table, aanColours);
    EXPECT_LE(NearestError(Colours({{100, 150, 200}})[0], aanColours, 256), 1);

    std::vector<std::vector<Int32>> rgbs;
    Lcg random(5);
    for (int i = 0; i < 2000; ++i)
    {
        rgbs.push_back({Int32(random.Next(256)), Int32(random.Next(256)), Int32(random.Next(256))});
    }
    NccQuantizer::Build(Colours(rgbs), &table);
    for (int i = 0; i < 4; ++i)
    {
        for (int c = 0; c < 3; ++c)
        {
            EXPECT_GE(table.iRGB[i][c], -256);
            EXPECT_LE(table.iRGB[i][c], 255);
            EXPECT_GE(table.qRGB[i][c], -256);
            EXPECT_LE(table.qRGB[i][c], 255);
        }
    }
}

TEST(Tex3dfParts, NccTableFitsTwoColourGradientsClosely)
{
    // Colours on a line between two hues: the first chroma axis carries all of it, so 16 greys
    // and 4 x 4 offsets reach every colour within a few steps.
    std::vector<std::vector<Int32>> rgbs;
    for (int t = 0; t <= 255; ++t)
    {
        rgbs.push_back({40 + t * 180 / 255, 60 + t * 100 / 255, 200 - t * 150 / 255});
    }
    const std::vector<WeightedColour> colours = Colours(rgbs);
    GuNccTable table;
    NccQuantizer::Build(colours, &table);
    Int32 aanColours[256][3];
    NccQuantizer::Colours(table, aanColours);
    int nWorst = 0;
    for (const WeightedColour& colour : colours)
    {
        nWorst = std::max(nWorst, NearestError(colour, aanColours, 256));
    }
    EXPECT_LE(nWorst, 12);
}

TEST(Tex3dfParts, BrickFixturesDecodeToTheSamePicture)
{
    const std::string dir = std::string(MOLTRANE_SOURCE_DIR) + "/../shared/fixtures/3df/";
    if (ReadBytes(dir + "README.md").empty())
    {
        GTEST_SKIP() << "real-world .3df fixtures not found at " << dir;
    }
    std::vector<ArgbImage> argb1555, argb4444, argb8332, rgb332;
    Gu3dfHeader header;
    std::string error;
    ASSERT_TRUE(Tex3dfDecoder::Decode((dir + "argb1555.3df").c_str(), &argb1555, &header, &error))
        << error;
    ASSERT_TRUE(Tex3dfDecoder::Decode((dir + "argb4444.3df").c_str(), &argb4444, &header, &error))
        << error;
    ASSERT_TRUE(Tex3dfDecoder::Decode((dir + "argb8332.3df").c_str(), &argb8332, &header, &error))
        << error;
    ASSERT_TRUE(Tex3dfDecoder::Decode((dir + "rgb332.3df").c_str(), &rgb332, &header, &error))
        << error;
    ASSERT_EQ(argb1555.size(), 9u);
    // argb8332 carries exactly the rgb332 texels in its low byte.
    const ChannelError same = RgbError(argb8332[0], rgb332[0]);
    EXPECT_EQ(same.nMax, 0);
    // 4 bits against 5 bits a channel: within a 4-bit step (17) with the converter's rounding.
    const ChannelError near = RgbError(argb4444[0], argb1555[0]);
    EXPECT_LE(near.fMean, 8.0);
    EXPECT_LE(near.nMax, 24);
    // 3-3-2 bits (the converter dithered them): close on average, a swapped channel order or
    // byte order would be off by tens everywhere.
    const ChannelError coarse = RgbError(rgb332[0], argb1555[0]);
    EXPECT_LE(coarse.fMean, 24.0);
    EXPECT_EQ(rgb332[0].Pixel(0, 0) >> 24, 255u);
}
