// Texel expansion of every Glide 2.x texture format to 8-bit ARGB, the NCC table's register
// form, and the same texels drawn through the board. Expected values by hand:
// bit replication 3-bit x -> (x << 5) | (x << 2) | (x >> 1), 2-bit x -> 0x55 x, 4-bit x -> 17 x,
// 5-bit x -> (x << 3) | (x >> 2), 6-bit x -> (x << 2) | (x >> 4); no alpha gives 255.
#include "GlideTestSupport.h"
#include "TexelDecoder.h"

using namespace GlideTest;

namespace
{
// An NCC table: Y[i] = 16 i, I[k] = (10k, -5k, 0), Q[k] = (0, 3k, -20k).
NccTable TestNcc()
{
    NccTable table;
    for (int i = 0; i < 16; ++i)
        table.anY[i] = 16 * i;
    for (int k = 0; k < 4; ++k)
    {
        table.anI[k][0] = 10 * k;
        table.anI[k][1] = -5 * k;
        table.anI[k][2] = 0;
        table.anQ[k][0] = 0;
        table.anQ[k][1] = 3 * k;
        table.anQ[k][2] = -20 * k;
    }
    return table;
}

// The same table in the chip's register form: Y packed four per word (entry 4k + n in bits
// 8n + 7..8n of word k), I and Q entries as 9-bit fields red 26..18, green 17..9, blue 8..0.
void TestNccPacked(FxU32 anPacked[12])
{
    for (int k = 0; k < 4; ++k)
        anPacked[k] = FxU32((16 * (4 * k)) | (16 * (4 * k + 1)) << 8 | (16 * (4 * k + 2)) << 16 |
                            FxU32(16 * (4 * k + 3)) << 24);
    auto field = [](int v) { return FxU32(v) & 0x1FFu; };
    for (int k = 0; k < 4; ++k)
    {
        anPacked[4 + k] = field(10 * k) << 18 | field(-5 * k) << 9 | field(0);
        anPacked[8 + k] = field(0) << 18 | field(3 * k) << 9 | field(-20 * k);
    }
}

UInt32 g_anPalette[256];

const UInt32* TestPalette()
{
    for (int i = 0; i < 256; ++i)
        g_anPalette[i] = 0xAB000000u | UInt32(i * 0x010203);
    g_anPalette[7] = 0x12345678u; // the top byte is ignored
    return g_anPalette;
}

struct TexelCase
{
    TexelFormat eFormat;
    UInt32 nRaw;
    UInt32 nArgb;
    const char* pchWhy;
};

class GlideTexelDecode : public ::testing::TestWithParam<TexelCase>
{
};

TEST_P(GlideTexelDecode, ExpandsToArgb)
{
    const TexelCase& c = GetParam();
    const NccTable ncc = TestNcc();
    EXPECT_EQ(TexelDecoder::Decode(c.eFormat, c.nRaw, &ncc, TestPalette()), c.nArgb)
        << std::hex << "raw 0x" << c.nRaw << ": " << c.pchWhy;
    // The bulk decoder agrees (bytes, or native 16-bit words).
    UInt32 nBulk = 0;
    if (TexelDecoder::BytesPerTexel(c.eFormat) == 1)
    {
        const Byte b = Byte(c.nRaw);
        TexelDecoder::DecodeTexels(c.eFormat, &b, 1, &ncc, TestPalette(), &nBulk);
    }
    else
    {
        const std::uint16_t w = std::uint16_t(c.nRaw);
        TexelDecoder::DecodeTexels(c.eFormat, &w, 1, &ncc, TestPalette(), &nBulk);
    }
    EXPECT_EQ(nBulk, c.nArgb);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, GlideTexelDecode,
    ::testing::Values(
        TexelCase{TexelFormat::Rgb332, 0xAE, 0xFFB66DAA, "r 5 -> 182, g 3 -> 109, b 2 -> 170"},
        TexelCase{TexelFormat::Rgb332, 0xFF, 0xFFFFFFFF, "all ones"},
        TexelCase{TexelFormat::Yiq422, 0x9B, 0xFFA48F54,
                  "Y[9] 144 + I[2] (20,-10,0) + Q[3] (0,9,-60)"},
        TexelCase{TexelFormat::Yiq422, 0xFF, 0xFFFFEAB4,
                  "240 + (30,-15,0) + (0,9,-60): red clamps to 255"},
        TexelCase{TexelFormat::Yiq422, 0x03, 0xFF000900, "0 + (0,0,0) + (0,9,-60): blue clamps"},
        TexelCase{TexelFormat::Alpha8, 0x5A, 0x5A5A5A5A, "alpha, repeated in colour"},
        TexelCase{TexelFormat::Intensity8, 0x5A, 0xFF5A5A5A, "intensity, opaque"},
        TexelCase{TexelFormat::AlphaIntensity44, 0x3C, 0x33CCCCCC, "3 * 17, 12 * 17"},
        TexelCase{TexelFormat::P8, 0x07, 0xFF345678, "palette entry 7, top byte ignored"},
        TexelCase{TexelFormat::P8, 0x02, 0xFF020406, "palette entry 2"},
        TexelCase{TexelFormat::Argb8332, 0x7FAE, 0x7FB66DAA, "alpha 0x7F, 332 colour"},
        TexelCase{TexelFormat::Ayiq8422, 0x409B, 0x40A48F54, "alpha 0x40, NCC colour"},
        TexelCase{TexelFormat::Rgb565, 0xF81F, 0xFFFF00FF, "magenta"},
        TexelCase{TexelFormat::Rgb565, 0x8410, 0xFF848284, "16 -> 132, 32 -> 130"},
        TexelCase{TexelFormat::Argb1555, 0xAA9F, 0xFF52A5FF, "a 1, r 10 -> 82, g 20 -> 165"},
        TexelCase{TexelFormat::Argb1555, 0x2A9F, 0x0052A5FF, "a 0"},
        TexelCase{TexelFormat::Argb4444, 0x8C5A, 0x88CC55AA, "nibbles times 17"},
        TexelCase{TexelFormat::AlphaIntensity88, 0x40C0, 0x40C0C0C0, "alpha 0x40, i 0xC0"},
        TexelCase{TexelFormat::Ap88, 0x8007, 0x80345678, "alpha 0x80, palette entry 7"}));

TEST(GlideTexel, FormatNumbersAndSizes)
{
    for (int n = -1; n < 18; ++n)
    {
        const bool bFormat = (n >= 0 && n <= 5) || (n >= 8 && n <= 14);
        EXPECT_EQ(TexelDecoder::IsFormat(n), bFormat) << n;
    }
    EXPECT_EQ(TexelDecoder::BytesPerTexel(TexelFormat::P8), 1);
    EXPECT_EQ(TexelDecoder::BytesPerTexel(TexelFormat::Argb8332), 2);
    EXPECT_EQ(TexelDecoder::BytesPerTexel(TexelFormat::Ap88), 2);
}

TEST(GlideTexel, NccRegisterFormUnpacksToTheTable)
{
    FxU32 anPacked[12];
    TestNccPacked(anPacked);
    UInt32 an[12];
    for (int i = 0; i < 12; ++i)
        an[i] = UInt32(anPacked[i]);
    const NccTable table = TexelDecoder::UnpackNcc(an);
    const NccTable expected = TestNcc();
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(table.anY[i], expected.anY[i]) << i;
    for (int k = 0; k < 4; ++k)
        for (int c = 0; c < 3; ++c)
        {
            EXPECT_EQ(table.anI[k][c], expected.anI[k][c]) << k << "," << c;
            EXPECT_EQ(table.anQ[k][c], expected.anQ[k][c]) << k << "," << c;
        }
    // 0x1FF is -1 and 0x100 is -256 in nine bits.
    UInt32 anExtreme[12] = {};
    anExtreme[4] = 0x1FFu << 18 | 0x100u << 9 | 0xFFu;
    const NccTable extreme = TexelDecoder::UnpackNcc(anExtreme);
    EXPECT_EQ(extreme.anI[0][0], -1);
    EXPECT_EQ(extreme.anI[0][1], -256);
    EXPECT_EQ(extreme.anI[0][2], 255);
}

TEST(GlideTexel, MissingTablesReadAsZero)
{
    EXPECT_EQ(TexelDecoder::Decode(TexelFormat::P8, 0x07, nullptr, nullptr), 0xFF000000u);
    EXPECT_EQ(TexelDecoder::Decode(TexelFormat::Ayiq8422, 0x40FF, nullptr, nullptr), 0x40000000u);
}

// Drawn: a 1x1 texture of each format, shown by decal with dithering off.
struct DrawnTexelCase
{
    GrTextureFormat_t eFormat;
    std::uint16_t nRaw;
    int r, g, b;
};

class GlideTexelDrawn : public ::testing::TestWithParam<DrawnTexelCase>
{
};

TEST_P(GlideTexelDrawn, ShowsTheExpandedColour)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    const DrawnTexelCase& c = GetParam();
    GuTexTable table;
    TestNccPacked(table.nccTable.packed_data);
    if (c.eFormat == GR_TEXFMT_P_8 || c.eFormat == GR_TEXFMT_AP_88)
        for (int i = 0; i < 256; ++i)
            table.palette.data[i] = TestPalette()[i];
    const Byte abTexel[2] = {Byte(c.nRaw & 0xFF), Byte(c.nRaw >> 8)};
    const bool b16 = c.eFormat >= GR_TEXFMT_16BIT;
    LoadTexture(c.eFormat, GR_LOD_1, GR_ASPECT_1x1,
                b16 ? static_cast<const void*>(&c.nRaw) : static_cast<const void*>(abTexel),
                &table.nccTable);
    grTexCombineFunction(GR_TMU0, GR_TEXTURECOMBINE_DECAL);
    guColorCombineFunction(GR_COLORCOMBINE_DECAL_TEXTURE);
    DrawRect(0, 0, 4, 4);
    EXPECT_EQ(board.Pixel(1, 1), Truncated(c.r, c.g, c.b)) << "format " << c.eFormat;
}

INSTANTIATE_TEST_SUITE_P(
    Formats, GlideTexelDrawn,
    ::testing::Values(DrawnTexelCase{GR_TEXFMT_RGB_332, 0xAE, 0xB6, 0x6D, 0xAA},
                      DrawnTexelCase{GR_TEXFMT_YIQ_422, 0x9B, 0xA4, 0x8F, 0x54},
                      DrawnTexelCase{GR_TEXFMT_ALPHA_8, 0x5A, 0x5A, 0x5A, 0x5A},
                      DrawnTexelCase{GR_TEXFMT_INTENSITY_8, 0x5A, 0x5A, 0x5A, 0x5A},
                      DrawnTexelCase{GR_TEXFMT_ALPHA_INTENSITY_44, 0x3C, 0xCC, 0xCC, 0xCC},
                      DrawnTexelCase{GR_TEXFMT_P_8, 0x07, 0x34, 0x56, 0x78},
                      DrawnTexelCase{GR_TEXFMT_ARGB_8332, 0x7FAE, 0xB6, 0x6D, 0xAA},
                      DrawnTexelCase{GR_TEXFMT_AYIQ_8422, 0x409B, 0xA4, 0x8F, 0x54},
                      DrawnTexelCase{GR_TEXFMT_RGB_565, 0x8410, 0x84, 0x82, 0x84},
                      DrawnTexelCase{GR_TEXFMT_ARGB_1555, 0xAA9F, 0x52, 0xA5, 0xFF},
                      DrawnTexelCase{GR_TEXFMT_ARGB_4444, 0x8C5A, 0xCC, 0x55, 0xAA},
                      DrawnTexelCase{GR_TEXFMT_ALPHA_INTENSITY_88, 0x40C0, 0xC0, 0xC0, 0xC0},
                      DrawnTexelCase{GR_TEXFMT_AP_88, 0x8007, 0x34, 0x56, 0x78}));

TEST(GlideTexel, PaletteDownloadedAtGrLevelIsUsed)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    const Byte bIndex = 9;
    LoadTexture(GR_TEXFMT_P_8, GR_LOD_1, GR_ASPECT_1x1, &bIndex);
    guColorCombineFunction(GR_COLORCOMBINE_DECAL_TEXTURE);
    grTexCombineFunction(GR_TMU0, GR_TEXTURECOMBINE_DECAL);
    GuTexPalette palette = {};
    palette.data[9] = 0x00C08040u;
    grTexDownloadTable(GR_TMU0, GR_TEXTABLE_PALETTE, &palette);
    DrawRect(0, 0, 4, 4);
    EXPECT_EQ(board.Pixel(1, 1), Truncated(0xC0, 0x80, 0x40));
    // A partial download changes only the named entries.
    palette.data[9] = 0x00102030u;
    grTexDownloadTablePartial(GR_TMU0, GR_TEXTABLE_PALETTE, &palette, 9, 9);
    DrawRect(0, 0, 4, 4);
    EXPECT_EQ(board.Pixel(1, 1), Truncated(0x10, 0x20, 0x30));
}

TEST(GlideTexel, NccTablesAreSelectedPerTmu)
{
    Board board;
    ASSERT_TRUE(board.IsOpen());
    // A YIQ texel 0x9B decoded through two different tables loaded with grTexDownloadTable.
    const Byte bTexel = 0x9B;
    GuNccTable ncc0 = {}, ncc1 = {};
    TestNccPacked(ncc0.packed_data);
    TestNccPacked(ncc1.packed_data);
    ncc1.packed_data[2] = 0x50505050u; // Y[8..11] = 80: red 80 + 20 + 0 = 100
    LoadTexture(GR_TEXFMT_YIQ_422, GR_LOD_1, GR_ASPECT_1x1, &bTexel, &ncc0);
    guColorCombineFunction(GR_COLORCOMBINE_DECAL_TEXTURE);
    grTexCombineFunction(GR_TMU0, GR_TEXTURECOMBINE_DECAL);
    DrawRect(0, 0, 4, 4);
    EXPECT_EQ(board.Pixel(1, 1), Truncated(0xA4, 0x8F, 0x54));
    grTexDownloadTable(GR_TMU0, GR_TEXTABLE_NCC1, &ncc1);
    grTexNCCTable(GR_TMU0, GR_NCCTABLE_NCC1);
    DrawRect(0, 0, 4, 4);
    EXPECT_EQ(board.Pixel(1, 1), Truncated(100, 80 - 10 + 9, 80 - 60));
}
} // namespace
