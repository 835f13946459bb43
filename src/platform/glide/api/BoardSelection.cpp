// BoardSelection: GLIDE_SW_BOARD and the hardware configuration record.
#include "BoardSelection.h"
#include <cstdio>
#include <cstring>

bool BoardSelection::FromName(const char* pchValue, BoardConfig* pBoard, bool bQuiet)
{
    BoardConfig board;
    if (!pchValue || !*pchValue || std::strcmp(pchValue, "voodoo") == 0)
    {
        // Voodoo Graphics defaults of BoardConfig.
    }
    else if (std::strcmp(pchValue, "voodoo2") == 0)
    {
        // A 12 MB Voodoo2: 4 MB frame buffer, two TMUs of 4 MB; 8-bit bilinear fractions.
        board.eKind = BoardKind::Voodoo2;
        board.nFrameBufferMegabytes = 4;
        board.nTmus = 2;
        board.nTmuMegabytes = 4;
        board.nBilinearFracMask = 0xFF;
    }
    else if (std::strcmp(pchValue, "sst96") == 0)
    {
        board.eKind = BoardKind::Sst96;
    }
    else if (std::strcmp(pchValue, "at3d") == 0)
    {
        board.eKind = BoardKind::At3d;
    }
    else if (std::strcmp(pchValue, "none") == 0)
    {
        return false;
    }
    else if (!bQuiet)
    {
        std::fprintf(stderr,
                     "glide: GLIDE_SW_BOARD=%s is not one of voodoo, voodoo2, sst96, at3d, none; "
                     "emulating voodoo\n",
                     pchValue);
    }
    *pBoard = board;
    return true;
}

void BoardSelection::Describe(const BoardConfig& board, bool bReportRealHardware,
                              GrHwConfiguration* pConfig)
{
    std::memset(pConfig, 0, sizeof *pConfig);
    pConfig->num_sst = 1;
    switch (board.eKind)
    {
    case BoardKind::VoodooGraphics:
    case BoardKind::Voodoo2:
    {
        // The Voodoo2 driver reports a Voodoo Graphics board unless FX_GLIDE_REPORT_REAL_HW is
        // set; the configuration record is the same structure for both.
        const bool bVoodoo2 = board.eKind == BoardKind::Voodoo2 && bReportRealHardware;
        pConfig->SSTs[0].type = bVoodoo2 ? GR_SSTTYPE_Voodoo2 : GR_SSTTYPE_VOODOO;
        GrVoodooConfig_t& voodoo = pConfig->SSTs[0].sstBoard.VoodooConfig;
        voodoo.fbRam = board.nFrameBufferMegabytes;
        voodoo.fbiRev = board.nFbiRevision;
        voodoo.nTexelfx = board.nTmus;
        voodoo.sliDetect = FXFALSE;
        for (Int32 t = 0; t < board.nTmus && t < GLIDE_NUM_TMU; ++t)
        {
            voodoo.tmuConfig[t].tmuRev = board.nTmuRevision;
            voodoo.tmuConfig[t].tmuRam = board.nTmuMegabytes;
        }
        break;
    }
    case BoardKind::Sst96:
    {
        pConfig->SSTs[0].type = GR_SSTTYPE_SST96;
        GrSst96Config_t& sst96 = pConfig->SSTs[0].sstBoard.SST96Config;
        sst96.fbRam = board.nFrameBufferMegabytes;
        sst96.nTexelfx = 1;
        sst96.tmuConfig.tmuRev = board.nTmuRevision;
        sst96.tmuConfig.tmuRam = board.nTmuMegabytes;
        break;
    }
    case BoardKind::At3d:
        pConfig->SSTs[0].type = GR_SSTTYPE_AT3D;
        pConfig->SSTs[0].sstBoard.AT3DConfig.rev = 1;
        break;
    }
}
