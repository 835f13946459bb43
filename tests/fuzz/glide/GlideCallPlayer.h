// GlideCallPlayer: plays one fuzz input as a program's sequence of Glide calls.
//
// The input opens a board (its kind, resolution, buffers and origin come from the first bytes),
// then each following byte picks a call and the bytes after it give its arguments: every state,
// combine, blend, depth, fog, clip, cull and texture call, texture memory and downloads at any
// address, vertices with any values, every drawing call, LFB reads, writes and locks, state
// saving, swaps, reopening and shutting down. It calls only the public entry points, with memory
// a program would own: every pointer it passes points at as many bytes as the call is told.
//
// Each input's work is bounded so that it finishes quickly on any board: kMaxCalls calls, an
// estimate of kMaxPixels drawn pixels (a call whose estimate does not fit is skipped), kMaxSwaps
// frames. With a FrameGuard armed (a flag of the first byte) the program's clip window and LFB
// writes stay inside the guard band. The FrameRecorder reads the buffers at every frame point.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <glide.h>

#include "FrameGuard.h"
#include "FrameRecorder.h"
#include "FuzzInput.h"

class GlideCallPlayer
{
  public:
    static constexpr int kMaxCalls = 400;
    static constexpr std::int64_t kMaxPixels = 1200000;
    static constexpr int kMaxSwaps = 6;
    static constexpr int kVertices = 8;

    // A planted fault, to show that the checks catch one: a pixel changed in the middle of the
    // back buffer, or one in the guard band, just before the last frame point.
    enum class Plant
    {
        None,
        Pixel,
        Ring,
    };

    GlideCallPlayer(FuzzInput& input, FrameRecorder& recorder, const std::string& strPass);
    void SetPlant(Plant ePlant) { m_ePlant = ePlant; }
    // Opens, plays every call the input holds (or the budget allows), captures the last frame
    // and shuts Glide down.
    void Play();

  private:
    using Handler = void (GlideCallPlayer::*)();
    static const Handler s_apHandlers[];

    void OpenBoard();
    void AfterOpen(bool bOpened);
    void ForgetBoardPointers();
    bool Charge(std::int64_t nPixels);
    std::int64_t ScreenArea() const;
    std::int64_t VertexArea(const int* pnIndices, int nCount) const;
    int VertexIndex() { return int(m_Input.U8() % kVertices); }
    GrChipID_t Tmu() { return m_Input.Enum(3); }
    FxU32 TexAddress();
    void FillTexInfo(GrTexInfo* pInfo);
    GrMipMapId_t MipMapId();
    void FrameCheck(const char* pchWhen);
    void PlantFault();

    // Calls, one handler per kind (GlideCallPlayer.cpp, GlideCallPlayerTexture.cpp).
    void CallVertex();
    void CallVertexPosition();
    void CallPoint();
    void CallLine();
    void CallTriangle();
    void CallPolygon();
    void CallPolygonList();
    void CallClippedTriangle();
    void CallClear();
    void CallSwap();
    void CallColorCombine();
    void CallAlphaCombine();
    void CallGuCombine();
    void CallConstantColor();
    void CallBlend();
    void CallAlphaTest();
    void CallChromakey();
    void CallDepth();
    void CallFog();
    void CallFogTable();
    void CallMisc();
    void CallClip();
    void CallRenderBuffer();
    void CallOrigin();
    void CallControl();
    void CallHints();
    void CallQueries();
    void CallSaveState();
    void CallRestoreState();
    void CallStatePoke();
    void CallReopen();
    void CallShutdown();
    void CallLfbRead();
    void CallLfbWrite();
    void CallLfbLock();
    void CallLfbPoke();
    void CallLfbUnlock();
    void CallTexMemory();
    void CallTexDownload();
    void CallTexDownloadLevel();
    void CallTexDownloadPartial();
    void CallTexSource();
    void CallTexTable();
    void CallTexSampling();
    void CallTexCombine();
    void CallTexMultibase();
    void CallTexelPoke();
    void CallGuAllocate();
    void CallGuChange();
    void CallGuDownload();
    void CallGuSource();
    void CallGuQuery();

    FuzzInput& m_Input;
    FrameRecorder& m_Recorder;
    std::string m_strPass;
    Plant m_ePlant = Plant::None;
    FrameGuard m_Guard;
    bool m_bGuarded = false;
    FxU32 m_nWidth = 0;
    FxU32 m_nHeight = 0;
    int m_nCalls = 0;
    std::int64_t m_nPixels = 0;
    int m_nSwaps = 0;

    GrVertex m_aVertices[kVertices] = {};
    GrState m_aStates[2] = {};
    bool m_abStateTaken[2] = {false, false};
    // The pointer and stride of the last successful lock, null once the board goes.
    std::uint16_t* m_pLockedPixels = nullptr;
    FxU32 m_nLockedStride = 0;
    std::vector<GrMipMapId_t> m_anMipMaps;
    // Texels of the largest mip-map chain (256x256 16-bit down to 1x1), exactly that many bytes,
    // and a table as large as either kind: downloads are told they hold what they hold. One
    // block each for the process, refilled for every pass.
    std::uint8_t* m_pbTexels;
    GuTexTable* m_pTable;
};
