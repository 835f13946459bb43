// Device: the software board, the device half of our Glide.
//
// Owner: the API half's GlideContext holds one. Open (at grSstWinOpen) allocates the frame buffer
// and the TMUs for the chosen board and resolution; Close (at grSstWinClose, grGlideShutdown)
// frees them. Between them the API half writes the pipeline state (GetState) in the device's own
// terms and calls the operations below; nothing here knows a Glide constant.
//
// Per frame: DrawTriangle per triangle, Clear, Swap (pacing, buffer rotation and presentation).
#pragma once
#include "BoardConfig.h"
#include "DeviceState.h"
#include "DeviceVertex.h"
#include "EdgeWalker.h"
#include "FrameBuffer.h"
#include "Presenter.h"
#include "SpanRenderer.h"
#include "SwapPacer.h"
#include "SystemClock.h"
#include "TextureUnit.h"
#include "TriangleParams.h"
#include "Types.h"
#include <cstdint>
#include <windows.h>

class Device
{
  public:
    Device();
    ~Device();
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    // Frame-buffer bytes a resolution needs with the given buffers (16 bits per pixel each).
    static Int64 FrameBufferBytes(Int32 nWidth, Int32 nHeight, Int32 nColorBuffers,
                                  Int32 nAuxBuffers);

    // False when the board's frame-buffer memory is too small or an allocation fails.
    bool Open(const BoardConfig& board, Int32 nWidth, Int32 nHeight, Int32 nColorBuffers,
              Int32 nAuxBuffers, HWND hWnd, Int32 nRefreshHz);
    void Close();
    bool IsOpen() const { return m_FrameBuffer.IsOpen(); }

    DeviceState& GetState() { return m_State; }
    const DeviceState& GetState() const { return m_State; }
    const BoardConfig& GetBoard() const { return m_Board; }
    FrameBuffer& GetFrameBuffer() { return m_FrameBuffer; }
    Int32 GetTmuCount() const { return m_nTmus; }
    TextureUnit* GetTmu(Int32 nTmu);

    void SetRenderBuffer(BufferId eBuffer) { m_eRenderBuffer = eBuffer; }
    BufferId GetRenderBuffer() const { return m_eRenderBuffer; }

    void DrawTriangle(const DeviceVertex& a, const DeviceVertex& b, const DeviceVertex& c);

    // Fills the clip window of the render buffer: colour (0x00RRGGBB, dithered like pixels)
    // when RGB writes are on; the auxiliary buffer with nDepth when depth buffering is on and
    // writable, or with nAlpha when it holds alpha and alpha writes are on.
    void Clear(UInt32 nRgb, Int32 nAlpha, Int32 nDepth);

    // Waits for nRetraces virtual retraces, rotates the buffers, and shows the new front buffer
    // unless the output is deactivated.
    void Swap(Int32 nRetraces);
    void SetOutputActive(bool bActive) { m_bOutputActive = bActive; }
    // Video gamma of the output (grGammaCorrectionValue); 1.0 shows the buffer as it is.
    void SetGamma(float fGamma) { m_Presenter.SetGamma(fGamma); }
    bool IsOutputActive() const { return m_bOutputActive; }

    PixelCounters& GetCounters() { return m_Counters; }
    UInt32 GetTrianglesProcessed() const { return m_nTrianglesProcessed; }
    UInt32 GetTrianglesDrawn() const { return m_nTrianglesDrawn; }
    void ResetTriangleCounts() { m_nTrianglesProcessed = m_nTrianglesDrawn = 0; }

  private:
    // The walker's next row: its pixels inside the triangle and the clip window, [*pX0, *pX1).
    void ClippedSpan(EdgeWalker& walker, Int32* pX0, Int32* pX1) const;
    BoardConfig m_Board;
    DeviceState m_State;
    FrameBuffer m_FrameBuffer;
    TextureUnit m_aTmu[GlideConfig::MaxTmus];
    TextureUnit* m_apTmu[GlideConfig::MaxTmus] = {nullptr, nullptr};
    Int32 m_nTmus = 0;
    BufferId m_eRenderBuffer = BufferId::Back;
    bool m_bOutputActive = true;
    SpanRenderer m_Span;
    SystemClock m_Clock;
    SwapPacer m_Pacer;
    Presenter m_Presenter;
    PixelCounters m_Counters;
    UInt32 m_nTrianglesProcessed = 0;
    UInt32 m_nTrianglesDrawn = 0;
};
