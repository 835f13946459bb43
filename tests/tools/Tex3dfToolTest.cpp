// Tests of the tex3df program as a whole: what it writes (header, sizes, levels) and how it
// refuses bad command lines and bad input (a message and a non-zero status, never a crash).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Tex3dfTestSupport.h"

using namespace Tex3dfTest;

namespace
{
ArgbImage Grey(Int32 nWidth, Int32 nHeight)
{
    return MakePicture(nWidth, nHeight,
                       [](Int32 x, Int32 y) -> UInt32
                       { return 0xFF000000u | UInt32((x * 3 + y) & 0xFF) * 0x010101u; });
}

std::string HeaderOf(const std::vector<unsigned char>& bytes)
{
    size_t nLines = 0, n = 0;
    while (n < bytes.size() && nLines < 4)
    {
        nLines += bytes[n++] == '\n' ? 1 : 0;
    }
    return std::string(bytes.begin(), bytes.begin() + long(n));
}

bool FileExists(const std::string& path)
{
    FILE* pFile = std::fopen(path.c_str(), "rb");
    if (pFile != nullptr)
    {
        std::fclose(pFile);
    }
    return pFile != nullptr;
}

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}
} // namespace

TEST(Tex3dfTool, WritesTheHeaderAndSizeOfEveryFormat)
{
    // 16x16, every level down to 1: 256 + 64 + 16 + 4 + 1 = 341 texels.
    const std::string png = WritePicture("grey16.png", Grey(16, 16));
    struct
    {
        const char* pchFormat;
        size_t nTableBytes;
        size_t nTexelBytes;
    } aCases[] = {{"rgb332", 0, 341},   {"yiq", 80, 341},      {"a8", 0, 341},
                  {"i8", 0, 341},       {"ai44", 0, 341},      {"p8", 1024, 341},
                  {"argb8332", 0, 682}, {"ayiq8422", 80, 682}, {"rgb565", 0, 682},
                  {"argb1555", 0, 682}, {"argb4444", 0, 682},  {"ai88", 0, 682},
                  {"ap88", 1024, 682}};
    for (const auto& entry : aCases)
    {
        const std::string texture = Scratch(std::string("grey16-") + entry.pchFormat + ".3df");
        const ToolResult result = RunTool({"encode", "--format", entry.pchFormat, png, texture});
        ASSERT_EQ(result.nStatus, 0) << entry.pchFormat << ": " << result.err;
        const std::vector<unsigned char> bytes = ReadBytes(texture);
        const std::string header =
            std::string("3df v1.1\n") + entry.pchFormat + "\nlod range: 1 16\naspect ratio: 1 1\n";
        EXPECT_EQ(HeaderOf(bytes), header);
        EXPECT_EQ(bytes.size(), header.size() + entry.nTableBytes + entry.nTexelBytes)
            << entry.pchFormat;
    }
}

TEST(Tex3dfTool, LodRangeAndAspectFollowTheOptionsAndThePicture)
{
    struct
    {
        Int32 nWidth;
        Int32 nHeight;
        std::vector<std::string> options;
        const char* pchRange;
        const char* pchAspect;
        size_t nTexels;
    } aCases[] = {{64, 8, {}, "1 64", "8 1", 512 + 128 + 32 + 8 + 4 + 2 + 1},
                  {8, 64, {"--small", "16"}, "16 64", "1 8", 512 + 128 + 32},
                  {64, 64, {"--large", "16"}, "1 16", "1 1", 256 + 64 + 16 + 4 + 1},
                  {64, 32, {"--single"}, "64 64", "2 1", 2048},
                  {64, 16, {"--large", "32", "--small", "8"}, "8 32", "4 1", 256 + 64 + 16},
                  {512, 256, {}, "1 256", "2 1", 43691}};
    for (const auto& entry : aCases)
    {
        const std::string png = WritePicture("shape.png", Grey(entry.nWidth, entry.nHeight));
        std::vector<std::string> args = {"encode", "-f", "i8"};
        args.insert(args.end(), entry.options.begin(), entry.options.end());
        args.push_back(png);
        args.push_back(Scratch("shape.3df"));
        const ToolResult result = RunTool(args);
        ASSERT_EQ(result.nStatus, 0) << entry.pchRange << ": " << result.err;
        const std::vector<unsigned char> bytes = ReadBytes(Scratch("shape.3df"));
        const std::string header = std::string("3df v1.1\ni8\nlod range: ") + entry.pchRange +
                                   "\naspect ratio: " + entry.pchAspect + "\n";
        EXPECT_EQ(HeaderOf(bytes), header);
        EXPECT_EQ(bytes.size(), header.size() + entry.nTexels) << entry.pchRange;
    }
}

TEST(Tex3dfTool, DecodeWritesEveryLevelOrTheLargest)
{
    const std::string png = WritePicture("levels.png", Grey(32, 8));
    ASSERT_EQ(RunTool({"encode", "-f", "rgb565", png, Scratch("levels.3df")}).nStatus, 0);
    const ToolResult all =
        RunTool({"decode", "--all-levels", Scratch("levels.3df"), Scratch("lv.png")});
    ASSERT_EQ(all.nStatus, 0) << all.err;
    const char* apchSizes[] = {"32x8", "16x4", "8x2", "4x1", "2x1", "1x1"};
    const Int32 anWidths[] = {32, 16, 8, 4, 2, 1};
    for (int i = 0; i < 6; ++i)
    {
        const std::string path = Scratch(std::string("lv-") + apchSizes[i] + ".png");
        ASSERT_TRUE(FileExists(path)) << path;
        EXPECT_EQ(ReadPicture(path).Width(), anWidths[i]) << path;
    }
    const ToolResult largest = RunTool({"decode", Scratch("levels.3df"), Scratch("largest.png")});
    ASSERT_EQ(largest.nStatus, 0) << largest.err;
    EXPECT_EQ(ReadPicture(Scratch("largest.png")).Height(), 8);
}

TEST(Tex3dfTool, MipLevelsAreBoxFilteredFromThePicture)
{
    // 2x2 picture: level 1x1 is the rounded mean of the four pixels, per channel.
    ArgbImage picture(2, 2);
    picture.SetPixel(0, 0, 0xFF000000u); // grey 0
    picture.SetPixel(1, 0, 0xFF646464u); // 100
    picture.SetPixel(0, 1, 0xFF0A0A0Au); // 10
    picture.SetPixel(1, 1, 0xFF0B0B0Bu); // 11 -> (0 + 100 + 10 + 11) / 4 = 30.25 -> 30
    ASSERT_EQ(RunTool({"encode", "-f", "i8", WritePicture("box.png", picture), Scratch("box.3df")})
                  .nStatus,
              0);
    const std::vector<unsigned char> bytes = ReadBytes(Scratch("box.3df"));
    const size_t nHeader = std::string("3df v1.1\ni8\nlod range: 1 2\naspect ratio: 1 1\n").size();
    ASSERT_EQ(bytes.size(), nHeader + 5);
    EXPECT_EQ(bytes[nHeader + 0], 0);
    EXPECT_EQ(bytes[nHeader + 1], 100);
    EXPECT_EQ(bytes[nHeader + 2], 10);
    EXPECT_EQ(bytes[nHeader + 3], 11);
    EXPECT_EQ(bytes[nHeader + 4], 30);
}

TEST(Tex3dfTool, BadCommandLinesGiveUsageAndStatusTwo)
{
    const std::string png = WritePicture("ok.png", Grey(8, 8));
    struct
    {
        std::vector<std::string> args;
        const char* pchMessage;
    } aCases[] = {{{}, "no command"},
                  {{"convert", png, "x.3df"}, "unknown command"},
                  {{"encode", png}, "an input and an output"},
                  {{"encode", png, "a.3df", "b.3df"}, "unexpected argument"},
                  {{"encode", "-f", "argb8888", png, "a.3df"}, "unknown format 'argb8888'"},
                  {{"encode", "-f"}, "unknown format ''"},
                  {{"encode", "--large", "300", png, "a.3df"}, "--large needs a level side"},
                  {{"encode", "--small", "x", png, "a.3df"}, "--small needs a level side"},
                  {{"encode", "--small", "-4", png, "a.3df"}, "--small needs a level side"},
                  {{"encode", "--single", "--small", "2", png, "a.3df"}, "exclude each other"},
                  {{"encode", "--all-levels", png, "a.3df"}, "unknown option '--all-levels'"},
                  {{"decode", "-f", "p8", "a.3df", "a.png"}, "unknown option '-f'"}};
    for (const auto& entry : aCases)
    {
        const ToolResult result = RunTool(entry.args);
        EXPECT_EQ(result.nStatus, 2) << entry.pchMessage;
        EXPECT_TRUE(Contains(result.err, entry.pchMessage)) << result.err;
        EXPECT_TRUE(Contains(result.err, "usage: tex3df")) << result.err;
    }
    const ToolResult help = RunTool({"--help"});
    EXPECT_EQ(help.nStatus, 0);
    EXPECT_TRUE(Contains(help.out, "ayiq8422"));
}

TEST(Tex3dfTool, PicturesThatMakeNoTextureAreRefusedWithAReason)
{
    struct
    {
        Int32 nWidth;
        Int32 nHeight;
        std::vector<std::string> options;
        const char* pchMessage;
    } aCases[] = {
        {48, 32, {}, "powers of two"},
        {3, 3, {}, "powers of two"},
        {128, 8, {}, "aspect ratio must be one of"},
        {1, 16, {}, "aspect ratio must be one of"},
        {32, 32, {"--large", "64"}, "smallest (1) <= largest (64) <= the picture's long side (32)"},
        {32, 32, {"--large", "8", "--small", "16"}, "smallest (16) <= largest (8)"},
        {32, 32, {"--large", "24"}, "not a power of two"}};
    for (const auto& entry : aCases)
    {
        std::vector<std::string> args = {"encode"};
        args.insert(args.end(), entry.options.begin(), entry.options.end());
        args.push_back(WritePicture("bad.png", Grey(entry.nWidth, entry.nHeight)));
        args.push_back(Scratch("bad.3df"));
        const ToolResult result = RunTool(args);
        EXPECT_EQ(result.nStatus, 1) << entry.pchMessage;
        EXPECT_TRUE(Contains(result.err, entry.pchMessage)) << result.err;
    }
}

TEST(Tex3dfTool, UnreadableInputsAndUnwritableOutputsGiveStatusOne)
{
    const std::string png = WritePicture("fine.png", Grey(8, 8));
    ASSERT_EQ(RunTool({"encode", png, Scratch("fine.3df")}).nStatus, 0);
    WriteBytes(Scratch("text.png"), std::vector<unsigned char>{'h', 'e', 'l', 'l', 'o'});
    std::vector<unsigned char> cutPng = ReadBytes(png);
    cutPng.resize(cutPng.size() / 2);
    WriteBytes(Scratch("cut.png"), cutPng);
    std::vector<unsigned char> cut3df = ReadBytes(Scratch("fine.3df"));
    cut3df.pop_back();
    WriteBytes(Scratch("cut.3df"), cut3df);
    struct
    {
        std::vector<std::string> args;
        const char* pchMessage;
    } aCases[] = {
        {{"encode", Scratch("missing.png"), Scratch("o.3df")}, "missing.png"},
        {{"encode", Scratch("text.png"), Scratch("o.3df")}, "cannot read PNG"},
        {{"encode", Scratch("cut.png"), Scratch("o.3df")}, "cut.png"},
        {{"encode", png, Scratch("no-such-dir/o.3df")}, "cannot create"},
        {{"decode", Scratch("missing.3df"), Scratch("o.png")}, "not a readable .3df file"},
        {{"decode", Scratch("cut.3df"), Scratch("o.png")}, "not a readable .3df file"},
        {{"decode", png, Scratch("o.png")}, "not a readable .3df file"},
        {{"decode", Scratch("fine.3df"), Scratch("no-such-dir/o.png")}, "cannot write PNG"}};
    for (const auto& entry : aCases)
    {
        const ToolResult result = RunTool(entry.args);
        EXPECT_EQ(result.nStatus, 1) << entry.pchMessage;
        EXPECT_TRUE(Contains(result.err, entry.pchMessage)) << result.err;
        EXPECT_TRUE(Contains(result.err, "tex3df: ")) << result.err;
    }
}

TEST(Tex3dfTool, GarbageInputNeverCrashesTheConverter)
{
    // Random bytes, and a valid PNG and .3df each with random bytes flipped: every run ends with a
    // status and, when it fails, a message.
    const std::string png = WritePicture("victim.png", Grey(16, 16));
    ASSERT_EQ(RunTool({"encode", "-f", "p8", png, Scratch("victim.3df")}).nStatus, 0);
    const std::vector<unsigned char> validPng = ReadBytes(png);
    const std::vector<unsigned char> valid3df = ReadBytes(Scratch("victim.3df"));
    Lcg random(12345);
    for (int nRound = 0; nRound < 60; ++nRound)
    {
        std::vector<unsigned char> bytes = (nRound % 3 == 0)
                                               ? std::vector<unsigned char>(random.Next(300))
                                               : (nRound % 3 == 1 ? validPng : valid3df);
        for (size_t i = 0; i < bytes.size(); ++i)
        {
            if (nRound % 3 == 0 || random.Next(40) == 0)
            {
                bytes[i] = (unsigned char)random.Next(256);
            }
        }
        WriteBytes(Scratch("garbage"), bytes);
        const ToolResult encoded = RunTool({"encode", Scratch("garbage"), Scratch("garbage.3df")});
        const ToolResult decoded =
            RunTool({"decode", Scratch("garbage"), Scratch("garbage-out.png")});
        EXPECT_TRUE(encoded.nStatus == 0 || !encoded.err.empty()) << nRound;
        EXPECT_TRUE(decoded.nStatus == 0 || !decoded.err.empty()) << nRound;
    }
}
