// Tex3dfTool: encode (PNG -> .3df) and decode (.3df -> PNG).
#include "Tex3dfTool.h"

#include <cstdio>

#include "Gu3dfFormat.h"
#include "MipChain.h"
#include "PngFile.h"
#include "Tex3dfDecoder.h"
#include "Tex3dfEncoder.h"
#include "Tex3dfOptions.h"

namespace
{
int WriteBytes(const std::string& path, const std::vector<Byte>& bytes, std::string* pError)
{
    FILE* pFile = std::fopen(path.c_str(), "wb");
    if (pFile == nullptr)
    {
        *pError = "cannot create '" + path + "'";
        return 0;
    }
    const bool bWritten = std::fwrite(bytes.data(), 1, bytes.size(), pFile) == bytes.size();
    if (std::fclose(pFile) != 0 || !bWritten)
    {
        *pError = "cannot write '" + path + "'";
        std::remove(path.c_str());
        return 0;
    }
    return 1;
}

// OUTPUT.png -> OUTPUT-WxH.png (or OUTPUT-WxH.png appended when there is no .png ending).
std::string LevelPath(const std::string& output, const ArgbImage& level)
{
    const std::string suffix =
        "-" + std::to_string(level.Width()) + "x" + std::to_string(level.Height()) + ".png";
    const bool bPng = output.size() > 4 && output.compare(output.size() - 4, 4, ".png") == 0;
    return (bPng ? output.substr(0, output.size() - 4) : output) + suffix;
}

std::string Describe(const MipChain& chain, GrTextureFormat_t format, size_t nBytes)
{
    FxU32 nWidth = 0, nHeight = 0;
    Gu3dfFormat::PairOfAspect(chain.aspect, &nWidth, &nHeight);
    return std::string(Gu3dfFormat::TokenOf(format)) + ", lod range " +
           std::to_string(Gu3dfFormat::SideOfLod(chain.smallLod)) + " " +
           std::to_string(Gu3dfFormat::SideOfLod(chain.largeLod)) + ", aspect " +
           std::to_string(nWidth) + " " + std::to_string(nHeight) + ", " +
           std::to_string(chain.levels.size()) + " levels, " + std::to_string(nBytes) + " bytes";
}
} // namespace

int Tex3dfTool::Run(int argc, const char* const* argv, std::string* pOut, std::string* pErr)
{
    Tex3dfOptions options;
    std::string error;
    if (!Tex3dfOptions::Parse(argc, argv, &options, &error))
    {
        *pErr += "tex3df: " + error + "\n" + Tex3dfOptions::Usage();
        return 2;
    }
    if (options.eMode == Tex3dfOptions::kHelp)
    {
        *pOut += Tex3dfOptions::Usage();
        return 0;
    }
    return options.eMode == Tex3dfOptions::kEncode ? Encode(options, pOut, pErr)
                                                   : Decode(options, pOut, pErr);
}

int Tex3dfTool::Encode(const Tex3dfOptions& options, std::string* pOut, std::string* pErr)
{
    ArgbImage picture;
    MipChain chain;
    std::string error;
    if (!PngFile::Read(options.input.c_str(), &picture, &error) ||
        !MipChain::Build(picture, options.nLargeSide,
                         options.bSingle ? MipChain::kOnlyLargest : options.nSmallSide, &chain,
                         &error))
    {
        *pErr += "tex3df: " + options.input + ": " + error + "\n";
        return 1;
    }
    const std::vector<Byte> bytes = Tex3dfEncoder::Encode(chain, options.format);
    if (!WriteBytes(options.output, bytes, &error))
    {
        *pErr += "tex3df: " + error + "\n";
        return 1;
    }
    *pOut +=
        "wrote " + options.output + ": " + Describe(chain, options.format, bytes.size()) + "\n";
    return 0;
}

int Tex3dfTool::Decode(const Tex3dfOptions& options, std::string* pOut, std::string* pErr)
{
    std::vector<ArgbImage> levels;
    Gu3dfHeader header;
    std::string error;
    if (!Tex3dfDecoder::Decode(options.input.c_str(), &levels, &header, &error))
    {
        *pErr += "tex3df: " + error + "\n";
        return 1;
    }
    const size_t nCount = options.bAllLevels ? levels.size() : 1;
    for (size_t i = 0; i < nCount; ++i)
    {
        const std::string path =
            options.bAllLevels ? LevelPath(options.output, levels[i]) : options.output;
        if (!PngFile::Write(path.c_str(), levels[i], &error))
        {
            *pErr += "tex3df: " + error + "\n";
            return 1;
        }
        *pOut += "wrote " + path + ": " + std::to_string(levels[i].Width()) + "x" +
                 std::to_string(levels[i].Height()) + "\n";
    }
    return 0;
}
