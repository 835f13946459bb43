// Tex3dfOptions: command-line parsing for tex3df.
#include "Tex3dfOptions.h"

#include <cstdlib>
#include <cstring>

#include "Gu3dfFormat.h"

namespace
{
// A level side: decimal digits only, 1..256 (powers of two are checked with the picture).
int ParseSide(const char* pchOption, const char* pchValue, Int32* pnSide, std::string* pError)
{
    char* pchEnd = nullptr;
    const long nValue = pchValue != nullptr ? std::strtol(pchValue, &pchEnd, 10) : 0;
    if (pchValue == nullptr || *pchValue < '0' || *pchValue > '9' || *pchEnd != '\0' ||
        nValue < 1 || nValue > 256)
    {
        *pError = std::string(pchOption) + " needs a level side from 1 to 256, got '" +
                  (pchValue != nullptr ? pchValue : "") + "'";
        return 0;
    }
    *pnSide = Int32(nValue);
    return 1;
}

int ParseFormat(const char* pchValue, GrTextureFormat_t* pFormat, std::string* pError)
{
    if (pchValue == nullptr || !Gu3dfFormat::FormatFromToken(pchValue, pFormat))
    {
        *pError =
            std::string("unknown format '") + (pchValue != nullptr ? pchValue : "") + "'; one of:";
        for (Int32 i = 0; i < Gu3dfFormat::kFormatCount; ++i)
        {
            *pError += std::string(" ") + Gu3dfFormat::TokenOf(Gu3dfFormat::FormatAt(i));
        }
        return 0;
    }
    return 1;
}

int ParseOption(const char* pchArg, const char* pchNext, Tex3dfOptions* pOptions, int* pnUsed,
                std::string* pError)
{
    const bool bEncode = pOptions->eMode == Tex3dfOptions::kEncode;
    *pnUsed = 1;
    if (bEncode && (!std::strcmp(pchArg, "-f") || !std::strcmp(pchArg, "--format")))
    {
        *pnUsed = 2;
        return ParseFormat(pchNext, &pOptions->format, pError);
    }
    if (bEncode && (!std::strcmp(pchArg, "--large") || !std::strcmp(pchArg, "--small")))
    {
        *pnUsed = 2;
        return ParseSide(pchArg, pchNext,
                         pchArg[2] == 'l' ? &pOptions->nLargeSide : &pOptions->nSmallSide, pError);
    }
    if (bEncode && !std::strcmp(pchArg, "--single"))
    {
        pOptions->bSingle = true;
        return 1;
    }
    if (!bEncode && !std::strcmp(pchArg, "--all-levels"))
    {
        pOptions->bAllLevels = true;
        return 1;
    }
    *pError = std::string("unknown option '") + pchArg + "' for " + (bEncode ? "encode" : "decode");
    return 0;
}
} // namespace

int Tex3dfOptions::Parse(int argc, const char* const* argv, Tex3dfOptions* pOptions,
                         std::string* pError)
{
    *pOptions = Tex3dfOptions();
    if (argc < 2)
    {
        *pError = "no command given";
        return 0;
    }
    if (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h"))
    {
        pOptions->eMode = kHelp;
        return 1;
    }
    if (std::strcmp(argv[1], "encode") != 0 && std::strcmp(argv[1], "decode") != 0)
    {
        *pError = std::string("unknown command '") + argv[1] + "' (encode or decode)";
        return 0;
    }
    pOptions->eMode = argv[1][0] == 'e' ? kEncode : kDecode;
    std::string files[2];
    int nFiles = 0;
    for (int i = 2; i < argc; ++i)
    {
        int nUsed = 1;
        if (argv[i][0] == '-' && argv[i][1] != '\0')
        {
            if (!ParseOption(argv[i], i + 1 < argc ? argv[i + 1] : nullptr, pOptions, &nUsed,
                             pError))
            {
                return 0;
            }
        }
        else if (nFiles < 2)
        {
            files[nFiles++] = argv[i];
        }
        else
        {
            *pError = std::string("unexpected argument '") + argv[i] + "'";
            return 0;
        }
        i += nUsed - 1;
    }
    if (nFiles != 2)
    {
        *pError = "an input and an output file are needed";
        return 0;
    }
    if (pOptions->bSingle && pOptions->nSmallSide != 0)
    {
        *pError = "--single and --small exclude each other";
        return 0;
    }
    pOptions->input = files[0];
    pOptions->output = files[1];
    return 1;
}

std::string Tex3dfOptions::Usage()
{
    std::string usage =
        "usage: tex3df encode [-f FORMAT] [--large N] [--small N | --single] INPUT.png OUTPUT.3df\n"
        "       tex3df decode [--all-levels] INPUT.3df OUTPUT.png\n"
        "\n"
        "encode: a PNG picture (sides powers of two, aspect 8:1 to 1:8) to a .3df texture with\n"
        "  mip levels made by box filtering.\n"
        "  -f, --format FORMAT  texel format (default rgb565), any case:";
    for (Int32 i = 0; i < Gu3dfFormat::kFormatCount; ++i)
    {
        usage += std::string(" ") + Gu3dfFormat::TokenOf(Gu3dfFormat::FormatAt(i));
    }
    usage += "\n"
             "  --large N            long side of the largest level (default: the picture's, at\n"
             "                       most 256; a larger picture is reduced)\n"
             "  --small N            long side of the smallest level (default 1: every level)\n"
             "  --single             the largest level only\n"
             "decode: a .3df texture to PNG, as the software Glide expands its texels.\n"
             "  --all-levels         every level, as OUTPUT-WxH.png; default: the largest level\n"
             "                       as OUTPUT\n";
    return usage;
}
