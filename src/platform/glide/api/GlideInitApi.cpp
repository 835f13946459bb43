// Glide entry points: initialisation, boards, window open and close, queries and statistics.
#include "BoardSelection.h"
#include "GlideContext.h"
#include "GlideTraceScope.h"
#include "GlideMap.h"
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <glide.h>

namespace
{
GlideContext& Context()
{
    return GlideContext::Get();
}

// The saved state of grGlideGetState: the device's pipeline state and the API's own settings,
// and a check word over both, so grGlideSetState can tell a state grGlideGetState wrote from
// other bytes (the device trusts its state's enumerations and flags).
struct SavedState
{
    DeviceState state;
    FxU32 nStwHint;
    FxU32 nCheck;
};
static_assert(sizeof(SavedState) <= sizeof(GrState),
              "grGlideGetState must fit the published 312-byte GrState");

// FNV-1a (32-bit) over everything before the check word, mixed with a tag of this format.
FxU32 CheckWord(const SavedState& saved)
{
    const unsigned char* pbBytes = reinterpret_cast<const unsigned char*>(&saved);
    FxU32 nHash = 2166136261u ^ 0x47534156u; // "GSAV"
    for (size_t i = 0; i < offsetof(SavedState, nCheck); ++i)
        nHash = (nHash ^ pbBytes[i]) * 16777619u;
    return nHash;
}
} // namespace

FxBool FX_CALL grSstQueryBoards(GrHwConfiguration* hwConfig)
{
    // May run before grGlideInit; writes only the board count.
    if (!hwConfig)
        return FXFALSE;
    BoardConfig board;
    hwConfig->num_sst =
        BoardSelection::FromName(std::getenv("GLIDE_SW_BOARD"), &board, true) ? 1 : 0;
    return FXTRUE;
}

void FX_CALL grGlideInit(void)
{
    GlideTraceRecorder::StartFromEnvironment();
    GLIDE_TRACE(GlideInit());
    Context().Init();
}

void FX_CALL grGlideShutdown(void)
{
    GLIDE_TRACE(GlideShutdown());
    Context().Shutdown();
}

void FX_CALL grGlideGetVersion(char version[80])
{
    if (version)
        std::strcpy(version, "Glide Version 2.46 (Moltrane software board)");
}

void FX_CALL grErrorSetCallback(GrErrorCallbackFnc_t fnc)
{
    Context().SetErrorCallback(fnc);
}

FxBool FX_CALL grSstQueryHardware(GrHwConfiguration* hwConfig)
{
    if (!hwConfig || !Context().HasBoard())
        return FXFALSE;
    BoardSelection::Describe(Context().GetBoard(), Context().ReportsRealHardware(), hwConfig);
    return FXTRUE;
}

void FX_CALL grSstSelect(int which_sst)
{
    // One emulated board: only board 0 exists.
    if (which_sst != 0)
        Context().Error("grSstSelect: no such board");
}

FxBool FX_CALL grSstWinOpen(
#if defined(_WIN32) && !defined(_WIN64)
    FxU32 hWnd,
#else
    unsigned long hWnd,
#endif
    GrScreenResolution_t screen_resolution, GrScreenRefresh_t refresh_rate,
    GrColorFormat_t color_format, GrOriginLocation_t origin_location, int num_buffers,
    int num_aux_buffers)
{
    GLIDE_TRACE(SstWinOpen(hWnd != 0, screen_resolution, refresh_rate, color_format,
                           origin_location, num_buffers, num_aux_buffers));
    HWND hWindow = reinterpret_cast<HWND>(static_cast<UINT_PTR>(hWnd));
    return Context().Open(hWindow, screen_resolution, refresh_rate, color_format, origin_location,
                          num_buffers, num_aux_buffers)
               ? FXTRUE
               : FXFALSE;
}

void FX_CALL grSstWinClose(void)
{
    GLIDE_TRACE(Record(TraceCall::SstWinClose));
    Context().Close();
}

FxBool FX_CALL grSstControl(FxU32 code)
{
    GLIDE_TRACE(Record(TraceCall::SstControl, code));
    if (!Context().IsOpen())
        return FXFALSE;
    switch (code)
    {
    case GR_CONTROL_ACTIVATE:
        Context().GetDevice().SetOutputActive(true);
        return FXTRUE;
    case GR_CONTROL_DEACTIVATE:
        Context().GetDevice().SetOutputActive(false);
        return FXTRUE;
    case GR_CONTROL_RESIZE:
    case GR_CONTROL_MOVE:
        // Only a windowed SST-96 would follow its window; the frame is scaled at each swap.
        return FXTRUE;
    default:
        Context().Error("grSstControl: unknown code");
        return FXFALSE;
    }
}

FxBool FX_CALL grSstControlMode(GrControl_t mode)
{
    GLIDE_TRACE(Record(TraceCall::SstControlMode, mode));
    return grSstControl(mode);
}

FxU32 FX_CALL grSstScreenWidth(void)
{
    return FxU32(Context().GetScreenWidth());
}

FxU32 FX_CALL grSstScreenHeight(void)
{
    return FxU32(Context().GetScreenHeight());
}

void FX_CALL grSstOrigin(GrOriginLocation_t origin)
{
    GLIDE_TRACE(Record(TraceCall::SstOrigin, origin));
    if (!Context().IsInitialized())
        return;
    if (origin != GR_ORIGIN_UPPER_LEFT && origin != GR_ORIGIN_LOWER_LEFT)
    {
        Context().Error("grSstOrigin: bad origin");
        return;
    }
    Context().GetState().bOriginLowerLeft = origin == GR_ORIGIN_LOWER_LEFT;
}

void FX_CALL grSstIdle(void)
{
    // Rendering is synchronous: the board is always idle.
}

FxBool FX_CALL grSstIsBusy(void)
{
    return FXFALSE;
}

FxU32 FX_CALL grSstStatus(void)
{
    // Status register: idle (no FIFO entries pending, no retrace in progress).
    return 0;
}

FxU32 FX_CALL grSstVideoLine(void)
{
    return 0;
}

FxBool FX_CALL grSstVRetraceOn(void)
{
    return FXFALSE;
}

void FX_CALL grSstPerfStats(GrSstPerfStats_t* pStats)
{
    if (!pStats || !Context().IsInitialized())
        return;
    const PixelCounters& counters = Context().GetDevice().GetCounters();
    pStats->pixelsIn = counters.nPixelsIn;
    pStats->chromaFail = counters.nChromaFail;
    pStats->zFuncFail = counters.nDepthFail;
    pStats->aFuncFail = counters.nAlphaFail;
    pStats->pixelsOut = counters.nPixelsOut;
}

void FX_CALL grSstResetPerfStats(void)
{
    if (Context().IsInitialized())
        Context().GetDevice().GetCounters() = PixelCounters();
}

void FX_CALL grHints(GrHint_t hintType, FxU32 hintMask)
{
    GLIDE_TRACE(Record(TraceCall::Hints, hintType, hintMask));
    if (!Context().IsInitialized())
        return;
    switch (hintType)
    {
    case GR_HINT_STWHINT:
        Context().SetStwHint(hintMask);
        return;
    case GR_HINT_ALLOW_MIPMAP_DITHER:
        Context().GetState().bAllowMipMapDither = hintMask != 0;
        return;
    case GR_HINT_FIFOCHECKHINT:
    case GR_HINT_FPUPRECISION:
        // No command FIFO and no FPU mode to set in software.
        return;
    default:
        Context().Error("grHints: unknown hint");
        return;
    }
}

FxBool FX_CALL grCheckForRoom(FxI32 n)
{
    (void)n;
    return FXTRUE;
}

void FX_CALL grTriStats(FxU32* trisProcessed, FxU32* trisDrawn)
{
    if (trisProcessed)
        *trisProcessed = Context().GetDevice().GetTrianglesProcessed();
    if (trisDrawn)
        *trisDrawn = Context().GetDevice().GetTrianglesDrawn();
}

void FX_CALL grResetTriStats(void)
{
    Context().GetDevice().ResetTriangleCounts();
}

void FX_CALL grGlideGetState(GrState* state)
{
    if (!state || !Context().IsInitialized())
        return;
    SavedState saved;
    std::memset(static_cast<void*>(&saved), 0, sizeof saved); // padding included: it is hashed
    saved.state = Context().GetState();
    saved.nStwHint = Context().GetStwHint();
    saved.nCheck = CheckWord(saved);
    std::memset(state, 0, sizeof *state);
    std::memcpy(state->pad, &saved, sizeof saved);
}

void FX_CALL grGlideSetState(const GrState* state)
{
    GLIDE_TRACE(GlideSetState(state));
    if (!state || !Context().IsInitialized())
        return;
    SavedState saved;
    std::memcpy(&saved, state->pad, sizeof saved);
    // Bytes grGlideGetState did not write (or changed since) are refused: they could hold
    // enumerations and flags the device has no meaning for (docs/fidelity.md).
    if (saved.nCheck != CheckWord(saved))
        return Context().Error("grGlideSetState: not a state saved by grGlideGetState");
    Context().GetState() = saved.state;
    Context().SetStwHint(saved.nStwHint);
    // A state saved on a larger screen (before a reopen) keeps its clip window on this one.
    const DeviceState& restored = saved.state;
    grClipWindow(FxU32(restored.nClipMinX), FxU32(restored.nClipMinY), FxU32(restored.nClipMaxX),
                 FxU32(restored.nClipMaxY));
}

void FX_CALL grGlideShamelessPlug(const FxBool on)
{
    // The 3Dfx logo overlay is not drawn by the software board.
    (void)on;
}

void FX_CALL grSplash(float x, float y, float width, float height, FxU32 frame)
{
    // The 3Dfx splash animation is not shown by the software board.
    (void)x;
    (void)y;
    (void)width;
    (void)height;
    (void)frame;
}
