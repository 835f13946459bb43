// GlideContext: the API half's state behind every gr* and gu* entry point.
//
// One per process (Glide 2.x has one current board). grGlideInit chooses the emulated board and
// reads the environment; grSstWinOpen opens the Device and resets the state; grSstWinClose
// returns to the state after grGlideInit; grGlideShutdown forgets everything. Entry points reach
// it through GlideContext::Get(); calls made before grGlideInit, or that need an open board when
// none is open, do nothing.
#pragma once
#include "BoardConfig.h"
#include "Device.h"
#include "DeviceVertex.h"
#include "GuTextureManager.h"
#include "LfbLock.h"
#include "Types.h"
#include <glide.h>

class GlideContext
{
  public:
    static GlideContext& Get();

    // grGlideInit / grGlideShutdown.
    void Init();
    void Shutdown();
    bool IsInitialized() const { return m_bInitialized; }
    bool HasBoard() const { return m_bInitialized && m_bHasBoard; }

    // grSstWinOpen / grSstWinClose.
    bool Open(HWND hWnd, GrScreenResolution_t eResolution, GrScreenRefresh_t eRefresh,
              GrColorFormat_t eColorFormat, GrOriginLocation_t eOrigin, int nColorBuffers,
              int nAuxBuffers);
    void Close();
    bool IsOpen() const { return m_bInitialized && m_Device.IsOpen(); }

    // Sets every state grSstWinOpen resets to its documented default.
    void ResetState();

    Device& GetDevice() { return m_Device; }
    DeviceState& GetState() { return m_Device.GetState(); }
    const BoardConfig& GetBoard() const { return m_Board; }
    // FX_GLIDE_REPORT_REAL_HW: a Voodoo2 reports its own type instead of Voodoo Graphics.
    bool ReportsRealHardware() const { return m_bReportRealHardware; }
    GuTextureManager& GetGu() { return m_Gu; }
    Int32 GetTmuCount() const { return m_bHasBoard ? m_Board.nTmus : 0; }
    bool IsTmu(GrChipID_t tmu) const { return tmu >= 0 && tmu < GetTmuCount(); }

    GrColorFormat_t GetColorFormat() const { return m_eColorFormat; }
    Int32 GetScreenWidth() const { return m_nScreenWidth; }
    Int32 GetScreenHeight() const { return m_nScreenHeight; }
    // The swap interval every grBufferSwap uses instead of its argument, or -1.
    Int32 GetSwapOverride() const { return m_nSwapOverride; }

    void SetErrorCallback(GrErrorCallbackFnc_t pfn) { m_pfnError = pfn; }
    // Reports an invalid call to the application's error callback; silent without one, as a
    // release build of Glide is.
    void Error(const char* pchMessage);

    // grHints(GR_HINT_STWHINT): which TMUs read their own s, t or 1/w.
    void SetStwHint(FxU32 nMask) { m_nStwHint = nMask; }
    FxU32 GetStwHint() const { return m_nStwHint; }
    void ToDeviceVertex(const GrVertex& vertex, DeviceVertex* pOut) const;

    // LFB write constants (grLfbConstantAlpha / grLfbConstantDepth).
    Int32 m_nLfbConstantAlpha = 0xFF;
    Int32 m_nLfbConstantDepth = 0;
    // How later LFB writes order their channels (grLfbWriteColorFormat; the window's colour
    // format at grSstWinOpen) and swizzle their words (grLfbWriteColorSwizzle).
    GrColorFormat_t m_eLfbColorFormat = GR_COLORFORMAT_ARGB;
    bool m_bLfbSwizzleBytes = false;
    bool m_bLfbSwapWords = false;
    // The held grLfbLock of each lock type and buffer (front, back, aux).
    // Tells the device whether any lock is held after a lock or an unlock: while one is, a
    // program may read or write pixels at any moment, so the device draws each call at once.
    void NoteLfbLocks();
    LfbLock& GetLfbLock(bool bWrite, BufferId eBuffer)
    {
        return m_aLfbLocks[bWrite ? 1 : 0][Int32(eBuffer)];
    }
    // Last NCC table pointer downloaded per TMU and table (grTexDownloadTable skips a repeat).
    const void* m_aapLastNcc[GlideConfig::MaxTmus][2] = {{nullptr, nullptr}, {nullptr, nullptr}};

  private:
    GlideContext() = default;
    void ReadEnvironment();

    bool m_bInitialized = false;
    bool m_bHasBoard = false;
    bool m_bReportRealHardware = false;
    BoardConfig m_Board;
    Device m_Device;
    GuTextureManager m_Gu;
    GrErrorCallbackFnc_t m_pfnError = nullptr;
    GrColorFormat_t m_eColorFormat = GR_COLORFORMAT_ARGB;
    Int32 m_nScreenWidth = 0;
    Int32 m_nScreenHeight = 0;
    Int32 m_nSwapOverride = -1;
    bool m_bIgnoreReopen = false;
    FxU32 m_nStwHint = 0;
    LfbLock m_aLfbLocks[2][3];
};
