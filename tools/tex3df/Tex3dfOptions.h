// Tex3dfOptions: the command line of tex3df.
//
//   tex3df encode [-f FORMAT] [--large N] [--small N | --single] INPUT.png OUTPUT.3df
//   tex3df decode [--all-levels] INPUT.3df OUTPUT.png
//   tex3df --help
//
// Parsed once at start; every fault is reported as a message, never by ending the program.
#pragma once

#include <glide.h>
#include <string>

#include "Types.h"

struct Tex3dfOptions
{
    enum Mode
    {
        kHelp,
        kEncode,
        kDecode
    };
    Mode eMode = kHelp;
    GrTextureFormat_t format = GR_TEXFMT_RGB_565;
    Int32 nLargeSide = 0; // 0: the picture's long side, at most 256
    Int32 nSmallSide = 0; // 0: down to 1
    bool bSingle = false;
    bool bAllLevels = false;
    std::string input;
    std::string output;

    // Returns 0 and a message for a command line that is not one of the forms above.
    static int Parse(int argc, const char* const* argv, Tex3dfOptions* pOptions,
                     std::string* pError);
    static std::string Usage();
};
