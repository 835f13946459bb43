// Round trips through the converter: PNG -> .3df (tex3df encode) -> PNG (tex3df decode, which
// reads through gu3dfGetInfo/gu3dfLoad and the device's texel decoder).
//
// Exact for pictures already in a format's colours; within stated per-channel bounds for
// pictures that are not, and for the quantising formats (NCC tables, palettes).
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "Tex3dfTestSupport.h"

using namespace Tex3dfTest;

namespace
{
// Bit replication of narrow channels, as glide-reference.md §4.2 states it.
UInt32 Widen2(UInt32 x)
{
    return x * 0x55u;
}
UInt32 Widen3(UInt32 x)
{
    return (x << 5) | (x << 2) | (x >> 1);
}
UInt32 Widen4(UInt32 x)
{
    return x * 17u;
}
UInt32 Widen5(UInt32 x)
{
    return (x << 3) | (x >> 2);
}
UInt32 Widen6(UInt32 x)
{
    return (x << 2) | (x >> 4);
}

UInt32 Argb(UInt32 a, UInt32 r, UInt32 g, UInt32 b)
{
    return (a << 24) | (r << 16) | (g << 8) | b;
}

// A picture whose every pixel the format represents exactly (random, fixed seed).
ArgbImage PictureInFormatColours(const std::string& format, Int32 nWidth, Int32 nHeight)
{
    Lcg random(0x3DF + UInt32(format.size()) * 131u + UInt32(format[0]));
    std::vector<UInt32> anPaletteColours;
    for (int i = 0; i < 200; ++i) // at most 200 distinct colours for the palette formats
    {
        anPaletteColours.push_back(Argb(0, random.Next(256), random.Next(256), random.Next(256)));
    }
    return MakePicture(nWidth, nHeight,
                       [&](Int32, Int32) -> UInt32
                       {
                           const UInt32 nGrey = random.Next(256);
                           const UInt32 nAlpha = random.Next(256);
                           if (format == "rgb565")
                               return Argb(255, Widen5(random.Next(32)), Widen6(random.Next(64)),
                                           Widen5(random.Next(32)));
                           if (format == "argb1555")
                               return Argb(random.Next(2) * 255, Widen5(random.Next(32)),
                                           Widen5(random.Next(32)), Widen5(random.Next(32)));
                           if (format == "argb4444")
                               return Argb(Widen4(random.Next(16)), Widen4(random.Next(16)),
                                           Widen4(random.Next(16)), Widen4(random.Next(16)));
                           if (format == "argb8332")
                               return Argb(nAlpha, Widen3(random.Next(8)), Widen3(random.Next(8)),
                                           Widen2(random.Next(4)));
                           if (format == "rgb332")
                               return Argb(255, Widen3(random.Next(8)), Widen3(random.Next(8)),
                                           Widen2(random.Next(4)));
                           if (format == "i8")
                               return Argb(255, nGrey, nGrey, nGrey);
                           if (format == "ai88")
                               return Argb(nAlpha, nGrey, nGrey, nGrey);
                           if (format == "ai44")
                           {
                               const UInt32 nI = Widen4(nGrey >> 4);
                               return Argb(Widen4(nAlpha >> 4), nI, nI, nI);
                           }
                           if (format == "a8")
                               return Argb(nAlpha, nAlpha, nAlpha,
                                           nAlpha); // an alpha texel decodes to A = R = G = B
                           if (format == "p8")
                               return 0xFF000000u | anPaletteColours[random.Next(200)];
                           return (nAlpha << 24) | anPaletteColours[random.Next(200)]; // ap88
                       });
}

UInt32 Clamped(double f)
{
    return f < 0 ? 0 : (f > 255 ? 255 : UInt32(std::lround(f)));
}

// Brightness over the whole range, colour moderate around a warm hue (fixed by formula).
ArgbImage TextureLikePicture(Int32 nWidth, Int32 nHeight)
{
    return MakePicture(nWidth, nHeight,
                       [](Int32 x, Int32 y) -> UInt32
                       {
                           const double fLight =
                               128 + 110 * std::sin((x + 2 * y) / 13.0) * std::cos(x / 17.0);
                           const double u = 30 * std::sin(x / 6.0 + y / 9.0);
                           const double v = 15 * std::cos(y / 5.0);
                           return Argb(255, Clamped(fLight + u + 10), Clamped(fLight - 0.3 * u + v),
                                       Clamped(fLight - 0.7 * u - v - 10));
                       });
}

// Red, green and blue varying independently (fixed by formula).
ArgbImage SaturatedPicture(Int32 nWidth, Int32 nHeight)
{
    return MakePicture(nWidth, nHeight,
                       [](Int32 x, Int32 y) -> UInt32
                       {
                           return Argb(255, Clamped(128 + 100 * std::sin(x / 9.0)),
                                       Clamped(128 + 100 * std::sin(y / 7.0 + 1.0)),
                                       Clamped(128 + 90 * std::cos((x + y) / 11.0)));
                       });
}

ArgbImage RoundTrip(const std::string& name, const ArgbImage& picture, const std::string& format)
{
    const std::string png = WritePicture(name + ".png", picture);
    const std::string texture = Scratch(name + ".3df");
    const std::string back = Scratch(name + "-back.png");
    const ToolResult encoded = RunTool({"encode", "-f", format, png, texture});
    EXPECT_EQ(encoded.nStatus, 0) << encoded.err;
    const ToolResult decoded = RunTool({"decode", texture, back});
    EXPECT_EQ(decoded.nStatus, 0) << decoded.err;
    return ReadPicture(back);
}

struct ExactCase
{
    const char* pchFormat;
    Int32 nWidth;
    Int32 nHeight;
};

const ExactCase s_aExactCases[] = {{"rgb565", 64, 64},   {"argb1555", 64, 32}, {"argb4444", 32, 64},
                                   {"argb8332", 64, 16}, {"rgb332", 16, 64},   {"i8", 64, 8},
                                   {"ai88", 8, 64},      {"ai44", 32, 32},     {"a8", 32, 16},
                                   {"p8", 64, 64},       {"ap88", 16, 32}};
} // namespace

TEST(Tex3dfRoundTrip, PicturesInAFormatsColoursComeBackExactly)
{
    for (const ExactCase& entry : s_aExactCases)
    {
        const ArgbImage picture =
            PictureInFormatColours(entry.pchFormat, entry.nWidth, entry.nHeight);
        const ArgbImage back =
            RoundTrip(std::string("exact-") + entry.pchFormat, picture, entry.pchFormat);
        ASSERT_EQ(back.Width(), entry.nWidth) << entry.pchFormat;
        ASSERT_EQ(back.Height(), entry.nHeight) << entry.pchFormat;
        int nMismatches = 0;
        for (size_t i = 0; i < picture.Pixels().size(); ++i)
        {
            nMismatches += picture.Pixels()[i] != back.Pixels()[i] ? 1 : 0;
        }
        EXPECT_EQ(nMismatches, 0) << entry.pchFormat << ": first pixel " << std::hex
                                  << picture.Pixels()[0] << " came back as " << back.Pixels()[0];
    }
}

TEST(Tex3dfRoundTrip, OtherPicturesStayWithinTheFormatsRounding)
{
    // Rounding to the nearest representable value moves a channel by at most half a step:
    // 5 bits 255/31/2 -> 4, 6 bits -> 2, 4 bits 17/2 -> 8, 3 bits 36/2 -> 18, 2 bits 85/2 -> 42.
    struct
    {
        const char* pchFormat;
        int nMaxError;
    } aCases[] = {
        {"rgb565", 4}, {"argb1555", 4}, {"argb4444", 8}, {"rgb332", 42}, {"argb8332", 42}};
    const ArgbImage picture = SaturatedPicture(64, 64);
    for (const auto& entry : aCases)
    {
        const ChannelError error = RgbError(picture, RoundTrip("smooth", picture, entry.pchFormat));
        EXPECT_LE(error.nMax, entry.nMaxError) << entry.pchFormat;
    }
}

TEST(Tex3dfRoundTrip, QuantisingFormatsStayWithinStatedErrorsOnATextureLikePicture)
{
    // Stated tolerances (per channel, 0..255) for a picture like a real texture: brightness over
    // the whole range, colour varying moderately around a hue (4096 colours, 64x64):
    //   NCC (yiq, ayiq8422): mean <= 5, max <= 24; palette (p8, ap88): mean <= 4, max <= 20.
    // (A palette spread evenly over this picture's colours would be about 3 off on average.)
    struct
    {
        const char* pchFormat;
        double fMaxMean;
        int nMaxError;
    } aCases[] = {{"yiq", 5.0, 24}, {"ayiq8422", 5.0, 24}, {"p8", 4.0, 20}, {"ap88", 4.0, 20}};
    const ArgbImage picture = TextureLikePicture(64, 64);
    for (const auto& entry : aCases)
    {
        const ChannelError error =
            RgbError(picture, RoundTrip("texture", picture, entry.pchFormat));
        EXPECT_LE(error.fMean, entry.fMaxMean) << entry.pchFormat << ", max " << error.nMax;
        EXPECT_LE(error.nMax, entry.nMaxError) << entry.pchFormat << ", mean " << error.fMean;
    }
}

TEST(Tex3dfRoundTrip, QuantisingFormatsStayWithinStatedErrorsOnSaturatedColours)
{
    // The hard case: red, green and blue varying independently over most of their range, so the
    // colours fill a volume. NCC has 16 greys plus a 4 x 4 grid of colour offsets for all of
    // them; a palette 256 points in the volume. Stated tolerances: NCC mean <= 14, max <= 64;
    // palette mean <= 6.5, max <= 32.
    struct
    {
        const char* pchFormat;
        double fMaxMean;
        int nMaxError;
    } aCases[] = {{"yiq", 14.0, 64}, {"ayiq8422", 14.0, 64}, {"p8", 6.5, 32}, {"ap88", 6.5, 32}};
    const ArgbImage picture = SaturatedPicture(64, 64);
    for (const auto& entry : aCases)
    {
        const ChannelError error =
            RgbError(picture, RoundTrip("saturated", picture, entry.pchFormat));
        EXPECT_LE(error.fMean, entry.fMaxMean) << entry.pchFormat << ", max " << error.nMax;
        EXPECT_LE(error.nMax, entry.nMaxError) << entry.pchFormat << ", mean " << error.fMean;
    }
}

TEST(Tex3dfRoundTrip, GreyPicturesThroughNccAreClose)
{
    // A grey ramp needs only the 16 Y values: the error is that of 16 levels over 256 values.
    const ArgbImage ramp = MakePicture(256, 32,
                                       [](Int32 x, Int32) -> UInt32
                                       { return Argb(255, UInt32(x), UInt32(x), UInt32(x)); });
    const ChannelError error = RgbError(ramp, RoundTrip("ramp", ramp, "yiq"));
    EXPECT_LE(error.fMean, 5.0);
    EXPECT_LE(error.nMax, 12);
}

TEST(Tex3dfRoundTrip, AlphaOfAyiqAndAp88IsKeptExactly)
{
    Lcg random(77);
    const ArgbImage picture =
        MakePicture(32, 32,
                    [&](Int32 x, Int32 y) -> UInt32
                    { return Argb(random.Next(256), UInt32(x * 8), UInt32(y * 8), 100); });
    for (const char* pchFormat : {"ayiq8422", "ap88", "argb8332", "ai88"})
    {
        const ArgbImage back = RoundTrip("alpha", picture, pchFormat);
        int nMismatches = 0;
        for (size_t i = 0; i < picture.Pixels().size(); ++i)
        {
            nMismatches += (picture.Pixels()[i] >> 24) != (back.Pixels()[i] >> 24) ? 1 : 0;
        }
        EXPECT_EQ(nMismatches, 0) << pchFormat;
    }
}
