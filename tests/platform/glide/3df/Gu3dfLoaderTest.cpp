// Tests of gu3dfGetInfo and gu3dfLoad: the real-world fixtures per their README, and self-made
// files that are valid, damaged, truncated at every byte, or oversized.
#include <glide.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "Gu3dfTestFiles.h"

using namespace Gu3dfTestFiles;

namespace
{
Gu3dfInfo EmptyInfo()
{
    Gu3dfInfo info;
    std::memset(&info, 0, sizeof(info));
    return info;
}

FxU16 BigEndianWord(const Bytes& bytes, size_t nOffset)
{
    return static_cast<FxU16>((bytes[nOffset] << 8) | bytes[nOffset + 1]);
}

FxU16 HostWord(const std::vector<unsigned char>& data, size_t nIndex)
{
    FxU16 nWord = 0;
    std::memcpy(&nWord, data.data() + 2 * nIndex, 2);
    return nWord;
}

// Loads a file that must be valid; the buffer has exactly mem_required bytes, so an overrun
// shows under the address sanitizer.
bool LoadFile(const std::string& path, Gu3dfInfo* pInfo, std::vector<unsigned char>* pData)
{
    *pInfo = EmptyInfo();
    if (!gu3dfGetInfo(path.c_str(), pInfo))
    {
        return false;
    }
    pData->assign(pInfo->mem_required, 0);
    pInfo->data = pData->data();
    return gu3dfLoad(path.c_str(), pInfo) == FXTRUE;
}

// ---------------------------------------------------------------- real-world fixtures

struct FixtureCase
{
    const char* pchFile;
    GrTextureFormat_t format;
    GrLOD_t largeLod;
    GrAspectRatio_t aspect;
    FxU32 nWidth;
    FxU32 nHeight;
    FxU32 nMemRequired;
    size_t nHeaderBytes;
    size_t nTableBytes;
};

// From the fixtures' README and the size rules of glide-reference.md §4.1, §8.1; every file's
// smallest level is GR_LOD_1.
const FixtureCase s_aValidFixtures[] = {
    {"a8.3df", GR_TEXFMT_ALPHA_8, GR_LOD_256, GR_ASPECT_1x1, 256, 256, 87381, 47, 0},
    {"argb1555.3df", GR_TEXFMT_ARGB_1555, GR_LOD_256, GR_ASPECT_1x1, 256, 256, 174762, 53, 0},
    {"argb4444.3df", GR_TEXFMT_ARGB_4444, GR_LOD_256, GR_ASPECT_1x1, 256, 256, 174762, 53, 0},
    {"argb8332.3df", GR_TEXFMT_ARGB_8332, GR_LOD_256, GR_ASPECT_1x1, 256, 256, 174762, 53, 0},
    {"rgb332.3df", GR_TEXFMT_RGB_332, GR_LOD_256, GR_ASPECT_1x1, 256, 256, 87381, 51, 0},
    {"rgb565-lod1-64.3df", GR_TEXFMT_RGB_565, GR_LOD_64, GR_ASPECT_1x1, 64, 64, 10922, 50, 0},
    {"rgb565-aspect2x1.3df", GR_TEXFMT_RGB_565, GR_LOD_256, GR_ASPECT_2x1, 256, 128, 87382, 51, 0},
    {"p8-lava.3df", GR_TEXFMT_P_8, GR_LOD_256, GR_ASPECT_1x1, 256, 256, 87381, 47, 1024}};

class Gu3dfFixtureTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        if (!FixturesPresent())
        {
            GTEST_SKIP() << "real-world .3df fixtures not found at " << FixtureDir()
                         << " (the shared directory beside the source tree is absent)";
        }
    }
};
} // namespace

TEST_F(Gu3dfFixtureTest, EveryValidFixtureGivesItsHeaderAndSize)
{
    for (const FixtureCase& entry : s_aValidFixtures)
    {
        const std::string path = FixtureDir() + "/" + entry.pchFile;
        Gu3dfInfo info = EmptyInfo();
        ASSERT_EQ(gu3dfGetInfo(path.c_str(), &info), FXTRUE) << entry.pchFile;
        EXPECT_EQ(info.header.format, entry.format) << entry.pchFile;
        EXPECT_EQ(info.header.small_lod, GR_LOD_1) << entry.pchFile;
        EXPECT_EQ(info.header.large_lod, entry.largeLod) << entry.pchFile;
        EXPECT_EQ(info.header.aspect_ratio, entry.aspect) << entry.pchFile;
        EXPECT_EQ(info.header.width, entry.nWidth) << entry.pchFile;
        EXPECT_EQ(info.header.height, entry.nHeight) << entry.pchFile;
        EXPECT_EQ(info.mem_required, entry.nMemRequired) << entry.pchFile;
        EXPECT_EQ(info.data, nullptr) << entry.pchFile << ": data is not touched";
        EXPECT_EQ(ReadAll(path).size(), entry.nHeaderBytes + entry.nTableBytes + entry.nMemRequired)
            << entry.pchFile;
    }
}

TEST_F(Gu3dfFixtureTest, EveryValidFixtureLoadsItsTexelsInHostOrder)
{
    for (const FixtureCase& entry : s_aValidFixtures)
    {
        const std::string path = FixtureDir() + "/" + entry.pchFile;
        const Bytes raw = ReadAll(path);
        Gu3dfInfo info;
        std::vector<unsigned char> data;
        ASSERT_TRUE(LoadFile(path, &info, &data)) << entry.pchFile;
        const size_t nStart = entry.nHeaderBytes + entry.nTableBytes;
        if (entry.format >= GR_TEXFMT_16BIT)
        {
            const size_t nLast = entry.nMemRequired / 2 - 1;
            EXPECT_EQ(HostWord(data, 0), BigEndianWord(raw, nStart)) << entry.pchFile;
            EXPECT_EQ(HostWord(data, 1000), BigEndianWord(raw, nStart + 2000)) << entry.pchFile;
            EXPECT_EQ(HostWord(data, nLast), BigEndianWord(raw, nStart + 2 * nLast))
                << entry.pchFile;
        }
        else
        {
            EXPECT_EQ(0, std::memcmp(data.data(), raw.data() + nStart, entry.nMemRequired))
                << entry.pchFile;
        }
    }
}

TEST_F(Gu3dfFixtureTest, PaletteFixtureFillsThePaletteFromItsBigEndianWords)
{
    const std::string path = FixtureDir() + "/p8-lava.3df";
    const Bytes raw = ReadAll(path);
    Gu3dfInfo info;
    std::vector<unsigned char> data;
    ASSERT_TRUE(LoadFile(path, &info, &data));
    for (int i : {0, 1, 128, 255})
    {
        const size_t n = 47 + 4 * i;
        const FxU32 nExpected = (FxU32(raw[n]) << 24) | (FxU32(raw[n + 1]) << 16) |
                                (FxU32(raw[n + 2]) << 8) | raw[n + 3];
        EXPECT_EQ(info.table.palette.data[i], nExpected) << "entry " << i;
    }
    // The first entry as the hexdump shows it: 00 b5 08 08.
    EXPECT_EQ(info.table.palette.data[0], 0x00B50808u);
}

TEST_F(Gu3dfFixtureTest, RgbDecodeOfTheAspectFixtureIsCloseToItsSourcePicture)
{
    const Bytes ppm = ReadAll(FixtureDir() + "/rgb565-aspect2x1-source.ppm");
    const char achMagic[] = "P6\n256 128\n255\n";
    ASSERT_GE(ppm.size(), sizeof(achMagic) - 1 + 256 * 128 * 3);
    ASSERT_EQ(0, std::memcmp(ppm.data(), achMagic, sizeof(achMagic) - 1));
    const unsigned char* pbPixels = ppm.data() + sizeof(achMagic) - 1;

    Gu3dfInfo info;
    std::vector<unsigned char> data;
    ASSERT_TRUE(LoadFile(FixtureDir() + "/rgb565-aspect2x1.3df", &info, &data));
    double fTotalError = 0;
    int nMaxError = 0;
    for (int i = 0; i < 256 * 128; ++i)
    {
        const FxU16 n = HostWord(data, i);
        const int anDecoded[3] = {((n >> 11) << 3) | (n >> 13),
                                  (((n >> 5) & 63) << 2) | ((n >> 9) & 3),
                                  ((n & 31) << 3) | ((n >> 2) & 7)};
        for (int c = 0; c < 3; ++c)
        {
            const int nError = std::abs(anDecoded[c] - pbPixels[3 * i + c]);
            fTotalError += nError;
            nMaxError = nError > nMaxError ? nError : nMaxError;
        }
    }
    // 565 truncation alone moves a channel by up to 7 (red, blue) or 3 (green), 2.5 on average;
    // the converter may also have dithered a little. A wrong byte order, row order or level
    // offset gives errors of tens.
    EXPECT_LT(fTotalError / (256 * 128 * 3), 3.5);
    EXPECT_LE(nMaxError, 12);
}

TEST_F(Gu3dfFixtureTest, FixturesOfOtherFormatsOrShortOfTheirHeaderAreRejected)
{
    for (const char* pchFile : {"argb8888.3df", "damaged-p8.3df", "damaged-ayiq.3df"})
    {
        const std::string path = FixtureDir() + "/" + pchFile;
        Gu3dfInfo info = EmptyInfo();
        EXPECT_EQ(gu3dfGetInfo(path.c_str(), &info), FXFALSE) << pchFile;
    }
}

TEST_F(Gu3dfFixtureTest, LoadItselfRefusesTheShortFixturesEvenWithAGenerousBuffer)
{
    // gu3dfLoad given a header made by hand (as a caller skipping gu3dfGetInfo would) and room
    // for far more than the file holds must still report the short file.
    struct
    {
        const char* pchFile;
        GrTextureFormat_t format;
        FxU32 nMemRequired;
    } aCases[] = {{"damaged-p8.3df", GR_TEXFMT_P_8, 87381},
                  {"damaged-ayiq.3df", GR_TEXFMT_AYIQ_8422, 174762}};
    for (const auto& entry : aCases)
    {
        std::vector<unsigned char> data(400000, 0);
        Gu3dfInfo info = EmptyInfo();
        info.header = {256, 256, GR_LOD_1, GR_LOD_256, GR_ASPECT_1x1, entry.format};
        info.mem_required = static_cast<FxU32>(data.size());
        info.data = data.data();
        const std::string path = FixtureDir() + "/" + entry.pchFile;
        EXPECT_EQ(gu3dfLoad(path.c_str(), &info), FXFALSE) << entry.pchFile;
    }
}

// ---------------------------------------------------------------- self-made files

namespace
{
// A small valid file of each table kind: header text, then body bytes (table + texels).
struct SmallFile
{
    const char* pchName;
    const char* pchHeader;
    size_t nTableBytes;
    FxU32 nTexelBytes;
    GrTextureFormat_t format;
    GrLOD_t smallLod;
    GrLOD_t largeLod;
    GrAspectRatio_t aspect;
    FxU32 nWidth;
    FxU32 nHeight;
};

const SmallFile s_aSmallFiles[] = {
    // 8x8 + 4x4 + 2x2 + 1x1 = 85 texels of 2 bytes
    {"rgb565", "3df v1.1\nrgb565\nlod range: 1 8\naspect ratio: 1 1\n", 0, 170, GR_TEXFMT_RGB_565,
     GR_LOD_1, GR_LOD_8, GR_ASPECT_1x1, 8, 8},
    // 4x2 + 2x1 + 1x1 = 11 texels
    {"p8", "3df v1.0\np8\nlod range: 1 4\naspect ratio: 2 1\n", 1024, 11, GR_TEXFMT_P_8, GR_LOD_1,
     GR_LOD_4, GR_ASPECT_2x1, 4, 2},
    // 2x8 + 1x4 + 1x2 = 22 texels
    {"yiq", "3df v1.1\nyiq\nlod range: 2 8\naspect ratio: 1 4\n", 80, 22, GR_TEXFMT_YIQ_422,
     GR_LOD_2, GR_LOD_8, GR_ASPECT_1x4, 2, 8},
    // one 1x1 texel of 2 bytes
    {"ayiq8422", "3df v1.4\nayiq8422\nlod range: 1 1\naspect ratio: 8 1\n", 80, 2,
     GR_TEXFMT_AYIQ_8422, GR_LOD_1, GR_LOD_1, GR_ASPECT_8x1, 1, 1},
    // 32x4 + 16x2 + 8x1 = 168 texels of 2 bytes
    {"ap88", "3df v1.1\nAP88\nlod range: 8 32\naspect ratio: 8 1\n", 1024, 336, GR_TEXFMT_AP_88,
     GR_LOD_8, GR_LOD_32, GR_ASPECT_8x1, 32, 4}};

Bytes SmallFileBytes(const SmallFile& file)
{
    return MakeFile(file.pchHeader, file.nTableBytes + file.nTexelBytes);
}

FxBool GetInfoOf(const std::string& name, const Bytes& bytes, Gu3dfInfo* pInfo)
{
    return gu3dfGetInfo(WriteScratch(name, bytes).c_str(), pInfo);
}

FxBool AcceptsHeader(const std::string& header, size_t nBody)
{
    Gu3dfInfo info = EmptyInfo();
    return GetInfoOf("header.3df", MakeFile(header, nBody), &info);
}
} // namespace

TEST(Gu3dfSelfMade, SmallFilesOfEveryTableKindLoad)
{
    for (const SmallFile& file : s_aSmallFiles)
    {
        const std::string path =
            WriteScratch(std::string(file.pchName) + ".3df", SmallFileBytes(file));
        Gu3dfInfo info;
        std::vector<unsigned char> data;
        ASSERT_TRUE(LoadFile(path, &info, &data)) << file.pchName;
        EXPECT_EQ(info.header.format, file.format) << file.pchName;
        EXPECT_EQ(info.header.small_lod, file.smallLod) << file.pchName;
        EXPECT_EQ(info.header.large_lod, file.largeLod) << file.pchName;
        EXPECT_EQ(info.header.aspect_ratio, file.aspect) << file.pchName;
        EXPECT_EQ(info.header.width, file.nWidth) << file.pchName;
        EXPECT_EQ(info.header.height, file.nHeight) << file.pchName;
        EXPECT_EQ(info.mem_required, file.nTexelBytes) << file.pchName;
    }
}

TEST(Gu3dfSelfMade, SixteenBitTexelsAreConvertedFromBigEndian)
{
    const SmallFile& file = s_aSmallFiles[0];
    const std::string path = WriteScratch("be.3df", SmallFileBytes(file));
    Gu3dfInfo info;
    std::vector<unsigned char> data;
    ASSERT_TRUE(LoadFile(path, &info, &data));
    // Body byte i is (i * 7 + 3) & 0xFF: texel 0 = 03 0A, texel 84 = bytes 168, 169 = 0x9B 0xA2.
    EXPECT_EQ(HostWord(data, 0), 0x030A);
    EXPECT_EQ(HostWord(data, 1), 0x1118);
    EXPECT_EQ(HostWord(data, 84), 0x9BA2);
}

TEST(Gu3dfSelfMade, NccTableKeepsLowBitsAndPacksRegisterWords)
{
    Bytes body;
    for (int i = 0; i < 16; ++i) // Y words 0x0100 + 16i: the low 8 bits are 16i
    {
        body.push_back(0x01);
        body.push_back(static_cast<unsigned char>(16 * i));
    }
    const unsigned char abI[6] = {0xFF, 0xD5, 0x00, 0x01, 0x01, 0x00}; // -43, 1, 256
    const unsigned char abQ[6] = {0x00, 0x2B, 0xFF, 0x00, 0x01, 0xFF}; // 43, -256, 511
    for (int k = 0; k < 4; ++k)
    {
        body.insert(body.end(), abI, abI + 6);
    }
    for (int k = 0; k < 4; ++k)
    {
        body.insert(body.end(), abQ, abQ + 6);
    }
    body.push_back(0x5C); // the one yiq texel: lod 1..1, 1:1
    Bytes bytes = MakeFile("3df v1.1\nyiq\nlod range: 1 1\naspect ratio: 1 1\n", 0);
    bytes.insert(bytes.end(), body.begin(), body.end());

    Gu3dfInfo info;
    std::vector<unsigned char> data;
    ASSERT_TRUE(LoadFile(WriteScratch("ncc.3df", bytes), &info, &data));
    const GuNccTable& ncc = info.table.nccTable;
    EXPECT_EQ(ncc.yRGB[0], 0x00);
    EXPECT_EQ(ncc.yRGB[15], 0xF0);
    EXPECT_EQ(ncc.iRGB[0][0], 0x1D5); // -43 kept as its low 9 bits, not sign-extended
    EXPECT_EQ(ncc.iRGB[3][1], 0x001);
    EXPECT_EQ(ncc.iRGB[2][2], 0x100);
    EXPECT_EQ(ncc.qRGB[1][0], 0x02B);
    EXPECT_EQ(ncc.qRGB[1][1], 0x100);
    EXPECT_EQ(ncc.qRGB[1][2], 0x1FF);
    EXPECT_EQ(ncc.packed_data[0], 0x30201000u);
    EXPECT_EQ(ncc.packed_data[3], 0xF0E0D0C0u);
    EXPECT_EQ(ncc.packed_data[4], 0x07540300u); // R 0x1D5 << 18 | G 1 << 9 | B 0x100
    EXPECT_EQ(ncc.packed_data[7], 0x07540300u);
    EXPECT_EQ(ncc.packed_data[8], 0x00AE01FFu); // R 0x2B << 18 | G 0x100 << 9 | B 0x1FF
    EXPECT_EQ(ncc.packed_data[11], 0x00AE01FFu);
    EXPECT_EQ(data[0], 0x5C);
}

TEST(Gu3dfSelfMade, TruncatedAtEveryByteIsRejectedByBothCalls)
{
    for (const SmallFile& file : s_aSmallFiles)
    {
        const Bytes whole = SmallFileBytes(file);
        Gu3dfInfo fullInfo = EmptyInfo();
        ASSERT_EQ(GetInfoOf("whole.3df", whole, &fullInfo), FXTRUE) << file.pchName;
        // One file cut shorter and shorter, from one byte short down to empty.
        const std::string path = WriteScratch("cut.3df", whole);
        for (size_t nLength = whole.size(); nLength-- > 0;)
        {
            std::filesystem::resize_file(path, nLength);
            Gu3dfInfo info = EmptyInfo();
            EXPECT_EQ(gu3dfGetInfo(path.c_str(), &info), FXFALSE)
                << file.pchName << " cut to " << nLength << " bytes";
            // Load with the description of the whole file and a buffer of exactly its size.
            std::vector<unsigned char> data(fullInfo.mem_required);
            Gu3dfInfo loadInfo = fullInfo;
            loadInfo.data = data.data();
            EXPECT_EQ(gu3dfLoad(path.c_str(), &loadInfo), FXFALSE)
                << file.pchName << " cut to " << nLength << " bytes";
        }
    }
}

TEST(Gu3dfSelfMade, BytesAfterTheLastLevelAreRejected)
{
    for (const SmallFile& file : s_aSmallFiles)
    {
        for (size_t nExtra : {1, 2, 1024})
        {
            Bytes bytes = SmallFileBytes(file);
            bytes.insert(bytes.end(), nExtra, 0);
            Gu3dfInfo info = EmptyInfo();
            EXPECT_EQ(GetInfoOf("long.3df", bytes, &info), FXFALSE)
                << file.pchName << " with " << nExtra << " extra bytes";
        }
    }
}

TEST(Gu3dfSelfMade, BadMagicIsRejected)
{
    const char* apchHeaders[] = {"3dg v1.1\nrgb565\nlod range: 1 8\naspect ratio: 1 1\n",
                                 "3DF v1.1\nrgb565\nlod range: 1 8\naspect ratio: 1 1\n",
                                 " 3df v1.1\nrgb565\nlod range: 1 8\naspect ratio: 1 1\n",
                                 "3df 1.1\nrgb565\nlod range: 1 8\naspect ratio: 1 1\n",
                                 "tdf v1.1\nrgb565\nlod range: 1 8\naspect ratio: 1 1\n",
                                 "\x89PNG\r\n\x1a\n\n\n\n",
                                 "3df v1.1\nrgb565\nlod rnge: 1 8\naspect ratio: 1 1\n",
                                 "3df v1.1\nrgb565\nlod range: 1 8\naspect: 1 1\n",
                                 "3df v1.1\nrgb565\nlod range 1 8\naspect ratio: 1 1\n"};
    for (const char* pchHeader : apchHeaders)
    {
        EXPECT_FALSE(AcceptsHeader(pchHeader, 170)) << pchHeader;
    }
}

TEST(Gu3dfSelfMade, UnknownFormatsAreRejected)
{
    for (const char* pchFormat : {"argb8888", "rgb888", "rgb5655", "yiq422", "p16", "#", "rsvd0"})
    {
        const std::string header =
            std::string("3df v1.1\n") + pchFormat + "\nlod range: 1 8\naspect ratio: 1 1\n";
        EXPECT_FALSE(AcceptsHeader(header, 170)) << pchFormat;
        EXPECT_FALSE(AcceptsHeader(header, 340)) << pchFormat;
        EXPECT_FALSE(AcceptsHeader(header, 85)) << pchFormat;
    }
}

TEST(Gu3dfSelfMade, LodSidesThatAreNotPowersOfTwoAreRejected)
{
    for (const char* pchRange :
         {"3 8", "1 7", "0 8", "-1 8", "1 -8", "1 9", "1 255", "1 512", "1 x", "1", "a b"})
    {
        const std::string header =
            std::string("3df v1.1\nrgb565\nlod range: ") + pchRange + "\naspect ratio: 1 1\n";
        EXPECT_FALSE(AcceptsHeader(header, 170)) << pchRange;
    }
}

TEST(Gu3dfSelfMade, InvertedLodRangeIsRejected)
{
    // 8 down to 1 holds the same 170 bytes as "1 8", so only the order can be at fault.
    EXPECT_TRUE(AcceptsHeader("3df v1.1\nrgb565\nlod range: 1 8\naspect ratio: 1 1\n", 170));
    EXPECT_FALSE(AcceptsHeader("3df v1.1\nrgb565\nlod range: 8 1\naspect ratio: 1 1\n", 170));
    EXPECT_FALSE(AcceptsHeader("3df v1.1\nrgb565\nlod range: 256 1\naspect ratio: 1 1\n", 174762));
}

TEST(Gu3dfSelfMade, HugeDimensionsAreRejectedWithoutAllocating)
{
    for (const char* pchRange : {"1 512", "1 65536", "1 2147483648", "1 4294967296",
                                 "1 99999999999999999999999999", "1 0x7fffffff", "1 -2147483648"})
    {
        const std::string header =
            std::string("3df v1.1\nargb4444\nlod range: ") + pchRange + "\naspect ratio: 1 1\n";
        EXPECT_FALSE(AcceptsHeader(header, 1000)) << pchRange;
    }
    for (const char* pchAspect : {"1 16", "65536 1", "0 0", "3 1", "1 99999999999"})
    {
        const std::string header =
            std::string("3df v1.1\nrgb565\nlod range: 1 8\naspect ratio: ") + pchAspect + "\n";
        EXPECT_FALSE(AcceptsHeader(header, 170)) << pchAspect;
    }
}

TEST(Gu3dfSelfMade, HeaderIsMatchedAsGlidesPatternMatchedIt)
{
    // White space anywhere the pattern has a blank (CR LF line ends included), the format word
    // in any case, and integers in hex or octal, as the C library's %i reads them.
    const char* apchAccepted[] = {
        "3df v1.1\r\nrgb565\r\nlod range: 1 8\r\naspect ratio: 1 1\r\n",
        "3df v1.1\nRGB565\nlod range: 1 8\naspect ratio: 1 1\n",
        "3df  v1.1\n  rgb565\nlod   range:1 8\naspect ratio:1   1\n",
        "3df v1.1\nrgb565\nlod range: 0x1 0x8\naspect ratio: 1 1\n",
        "3df v1.1\nrgb565\nlod range: 01 010\naspect ratio: 1 1\n",
        "3df vanything\nrgb565\nlod range: 1 8\naspect ratio: 1 1 trailing words\n"};
    for (const char* pchHeader : apchAccepted)
    {
        EXPECT_TRUE(AcceptsHeader(pchHeader, 170)) << pchHeader;
    }
}

TEST(Gu3dfSelfMade, HeaderMustBeFourLinesWithinOneHundredBytes)
{
    // Exactly 100 bytes: padded with blanks after the version.
    std::string longest = "3df v1.1";
    const std::string rest = "\nrgb565\nlod range: 1 8\naspect ratio: 1 1\n";
    longest += std::string(100 - longest.size() - rest.size(), ' ') + rest;
    ASSERT_EQ(longest.size(), 100u);
    EXPECT_TRUE(AcceptsHeader(longest, 170));
    std::string tooLong = "3df v1.1 " + longest.substr(8);
    ASSERT_EQ(tooLong.size(), 101u);
    EXPECT_FALSE(AcceptsHeader(tooLong, 170));

    EXPECT_FALSE(AcceptsHeader("3df v1.1\nrgb565\nlod range: 1 8 aspect ratio: 1 1\n", 170));
    EXPECT_FALSE(AcceptsHeader("3df v1.1 rgb565 lod range: 1 8 aspect ratio: 1 1", 0));
    // A NUL inside the header ends the text there.
    std::string withNul = "3df v1.1\nrgb565\nlod range: 1 8\naspect ratio: 1 1\n";
    withNul[10] = '\0';
    EXPECT_FALSE(AcceptsHeader(withNul, 170));
    // Comment lines were never part of Glide's format.
    EXPECT_FALSE(AcceptsHeader(
        "3df v1.1\n# made by hand\nrgb565\nlod range: 1 8\naspect ratio: 1 1\n", 170));
}

TEST(Gu3dfSelfMade, MissingFilesAndNullArgumentsAreRejected)
{
    Gu3dfInfo info = EmptyInfo();
    EXPECT_EQ(gu3dfGetInfo((::testing::TempDir() + "no-such-file.3df").c_str(), &info), FXFALSE);
    EXPECT_EQ(gu3dfGetInfo(::testing::TempDir().c_str(), &info), FXFALSE); // a directory
    EXPECT_EQ(gu3dfGetInfo(nullptr, &info), FXFALSE);
    const std::string path = WriteScratch("valid.3df", SmallFileBytes(s_aSmallFiles[0]));
    EXPECT_EQ(gu3dfGetInfo(path.c_str(), nullptr), FXFALSE);
    EXPECT_EQ(gu3dfLoad(path.c_str(), nullptr), FXFALSE);
    EXPECT_EQ(gu3dfLoad(nullptr, &info), FXFALSE);
    ASSERT_EQ(gu3dfGetInfo(path.c_str(), &info), FXTRUE);
    info.data = nullptr;
    EXPECT_EQ(gu3dfLoad(path.c_str(), &info), FXFALSE);
    EXPECT_EQ(gu3dfLoad((::testing::TempDir() + "no-such-file.3df").c_str(), &info), FXFALSE);
}

TEST(Gu3dfSelfMade, LoadRefusesADescriptionThatIsNotThisFile)
{
    const std::string path = WriteScratch("valid.3df", SmallFileBytes(s_aSmallFiles[0]));
    Gu3dfInfo fileInfo = EmptyInfo();
    ASSERT_EQ(gu3dfGetInfo(path.c_str(), &fileInfo), FXTRUE);
    std::vector<unsigned char> data(4096, 0xEE);

    Gu3dfInfo info = fileInfo;
    info.data = data.data();
    info.mem_required = fileInfo.mem_required - 1; // the caller's buffer would be too small
    EXPECT_EQ(gu3dfLoad(path.c_str(), &info), FXFALSE);

    info = fileInfo;
    info.data = data.data();
    info.header.format = GR_TEXFMT_P_8;
    EXPECT_EQ(gu3dfLoad(path.c_str(), &info), FXFALSE);

    info = fileInfo;
    info.data = data.data();
    info.header.large_lod = GR_LOD_16;
    EXPECT_EQ(gu3dfLoad(path.c_str(), &info), FXFALSE);

    info = fileInfo;
    info.data = data.data();
    info.header.format = 0x7; // reserved
    EXPECT_EQ(gu3dfLoad(path.c_str(), &info), FXFALSE);

    // The file replaced by a larger one between the two calls.
    const Bytes bigger = MakeFile("3df v1.1\nrgb565\nlod range: 1 16\naspect ratio: 1 1\n", 682);
    WriteScratch("valid.3df", bigger);
    info = fileInfo;
    info.data = data.data();
    EXPECT_EQ(gu3dfLoad(path.c_str(), &info), FXFALSE);
    EXPECT_EQ(data[fileInfo.mem_required], 0xEE) << "nothing written past mem_required";
}
