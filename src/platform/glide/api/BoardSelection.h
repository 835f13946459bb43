// BoardSelection: which board the software Glide emulates, from GLIDE_SW_BOARD.
//
// API half, run once per grGlideInit. Values: "voodoo" (default: Voodoo Graphics, 2 MB frame
// buffer, one TMU with 2 MB), "voodoo2" (4 MB frame buffer, two TMUs with 4 MB each), "sst96"
// (Voodoo Rush: 2 MB frame buffer, one TMU with 2 MB, draws into a window), "at3d", and "none"
// (no board: grSstQueryHardware returns FXFALSE). An unknown value is reported on standard error
// and the default is used. Also fills the published hardware configuration record.
#pragma once
#include "BoardConfig.h"
#include "Types.h"
#include <glide.h>

class BoardSelection
{
  public:
    // False for "none". pchValue may be null (variable not set).
    // bQuiet: do not report an unknown value (grSstQueryBoards peeks before grGlideInit).
    static bool FromName(const char* pchValue, BoardConfig* pBoard, bool bQuiet = false);

    // The record grSstQueryHardware copies out: one board of the configured kind.
    static void Describe(const BoardConfig& board, bool bReportRealHardware,
                         GrHwConfiguration* pConfig);
};
