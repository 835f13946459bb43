// BoardConfig: what the emulated board is made of.
//
// Chosen once by the API half (from GLIDE_SW_BOARD) at grGlideInit and handed to the Device,
// which sizes its frame buffer check, its TMUs and its filtering precision from it.
#pragma once
#include "Types.h"

enum class BoardKind : Byte
{
    VoodooGraphics, // SST-1
    Voodoo2,        // CVG
    Sst96,          // Voodoo Rush: draws into a window
    At3d,
};

struct BoardConfig
{
    BoardKind eKind = BoardKind::VoodooGraphics;
    Int32 nFrameBufferMegabytes = 2;
    Int32 nTmus = 1;
    Int32 nTmuMegabytes = 2;
    Int32 nFbiRevision = 2;
    Int32 nTmuRevision = 1;
    // Bilinear weights keep 4 fraction bits on Voodoo Graphics and 8 on Voodoo2.
    Int32 nBilinearFracMask = 0xF0;
};
