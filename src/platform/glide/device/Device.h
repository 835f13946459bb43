// Device: the software board, the device half of our Glide.
//
// Owner: the API half's GlideContext holds one. Open (at grSstWinOpen) allocates the frame buffer
// and the TMUs for the chosen board and resolution; Close (at grSstWinClose, grGlideShutdown)
// frees them. Between them the API half writes the pipeline state (GetState) in the device's own
// terms and calls the operations below; nothing here knows a Glide constant.
//
// Per frame: DrawTriangle per triangle, Clear, Swap (pacing, buffer rotation and presentation).
// With more than one thread (RenderOptions::nThreads) triangles and clears are queued with the
// state they were given with (BoundState) and drawn by RenderWorkers, each thread on its own
// bands of rows; whatever reads or changes the pixels or the textures (Swap, GetFrameBuffer,
// GetCounters, a download through a TextureUnit) first waits for everything queued (Flush).
// With one thread the calling thread draws each call at once, exactly as the threads would.
#pragma once
#include "BoardConfig.h"
#include "DeviceState.h"
#include "DeviceVertex.h"
#include "EdgeWalker.h"
#include "FrameBuffer.h"
#include "Presenter.h"
#include "BandRenderer.h"
#include "DrawQueue.h"
#include "BoundState.h"
#include "PixelCounters.h"
#include "RenderWorkers.h"
#include "SwapPacer.h"
#include "SwapRate.h"
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
    // Flushes first: the caller is about to read or write pixels.
    FrameBuffer& GetFrameBuffer();
    Int32 GetTmuCount() const { return m_nTmus; }
    TextureUnit* GetTmu(Int32 nTmu);

    void SetRenderBuffer(BufferId eBuffer) { m_eRenderBuffer = eBuffer; }
    BufferId GetRenderBuffer() const { return m_eRenderBuffer; }

    void DrawTriangle(const DeviceVertex& a, const DeviceVertex& b, const DeviceVertex& c);

    // Fills the clip window of the render buffer: colour (0x00RRGGBB, dithered like pixels)
    // when RGB writes are on; the auxiliary buffer with nDepth when depth buffering is on and
    // writable, or with nAlpha when it holds alpha and alpha writes are on. The filled pixels
    // count as pixels out.
    void Clear(UInt32 nRgb, Int32 nAlpha, Int32 nDepth);

    // Pixels that come from the linear frame buffer instead of a triangle (LFB writes through
    // the pixel pipeline): pixels x .. x + n - 1 of screen row nScreenY (top row 0, whatever the
    // origin), with colour and alpha pArgb[i] (0xAARRGGBB) and 16-bit depth pDepth[i] (a Z
    // value, or the W float in the W-buffer modes; also the depth fog reads), go into eTarget
    // through the current state as a triangle's pixels do after the colour and alpha combine
    // units: chroma key (on the given colour), alpha test, fog, depth test and write, alpha
    // blending, dithering, the write masks and the clip window. No TMU and no combine unit
    // runs. Counted in the pixel counters like triangle pixels. Drawn at once, after whatever
    // is queued.
    void ShadePixels(BufferId eTarget, Int32 nScreenY, Int32 x, Int32 n, const UInt32* pArgb,
                     const std::uint16_t* pDepth);

    // Waits for nRetraces virtual retraces, rotates the buffers, and shows the new front buffer
    // unless the output is deactivated.
    void Swap(Int32 nRetraces);
    void SetOutputActive(bool bActive) { m_bOutputActive = bActive; }
    // Video gamma of the output (grGammaCorrectionValue); 1.0 shows the buffer as it is.
    void SetGamma(float fGamma) { m_Presenter.SetGamma(fGamma); }
    bool IsOutputActive() const { return m_bOutputActive; }

    // grSstPerfStats' counts (flushes first), and their reset.
    PixelCounters& GetCounters();
    void ResetCounters();
    // Waits until everything queued is drawn.
    void Flush();
    // While set (an LFB lock is held), every triangle and clear is drawn when it is given.
    void SetDrawAtOnce(bool bAtOnce);
    UInt32 GetTrianglesProcessed() const { return m_nTrianglesProcessed; }
    UInt32 GetTrianglesDrawn() const { return m_nTrianglesDrawn; }
    void ResetTriangleCounts() { m_nTrianglesProcessed = m_nTrianglesDrawn = 0; }

  private:
    // Commands handed to the threads at a time while a frame is queued.
    static constexpr UInt32 PublishBatch = 256;
    static constexpr UInt32 MaxCommandsBetweenFlushes = 1u << 30;

    // The pipeline state of ShadePixels: the current state with both combine units passing
    // the iterated (here: supplied) colour and alpha straight through.
    static DeviceState SuppliedPixelState(const DeviceState& state);
    // Starts or stops threads when RenderOptions asks for another count.
    void MatchThreads();
    // Takes a new BoundState when the state, the render buffer or a TMU's contents changed.
    void UpdateBoundState();
    // A command slot in the queue with the current BoundState, or null to draw at once.
    DrawQueue::Command* Enqueue();
    // The next slot of the ring (waiting for the threads when it is still in use), or null.
    DrawQueue::Command* NextSlot();
    void Publish(UInt32 nCommands);
    void PublishSome();
    // A TMU's change guard: the threads finish before texture memory changes.
    static void GuardTextures(void* pDevice);
    BoardConfig m_Board;
    DeviceState m_State;
    FrameBuffer m_FrameBuffer;
    TextureUnit m_aTmu[GlideConfig::MaxTmus];
    TextureUnit* m_apTmu[GlideConfig::MaxTmus] = {nullptr, nullptr};
    Int32 m_nTmus = 0;
    BufferId m_eRenderBuffer = BufferId::Back;
    bool m_bOutputActive = true;
    DrawQueue m_Queue;
    RenderWorkers m_Workers;
    BandRenderer m_Immediate; // draws on the calling thread, and binds textures for states
    BoundState m_Current;
    BoundState m_Supplied; // ShadePixels' state
    UInt32 m_nSerials = 0;
    UInt32 m_nQueuedSerial = 0;  // the serial of the queue's last state (0: none)
    UInt32 m_nWritten = 0;       // commands written since the last flush
    UInt32 m_nPublished = 0;     // of those, handed to the threads
    Int32 m_nThreadsRefused = 0; // a thread count the system would not start
    bool m_bDrawAtOnce = false;
    SystemClock m_Clock;
    SwapPacer m_Pacer;
    SwapRate m_Rate;
    Presenter m_Presenter;
    PixelCounters m_Counters;
    UInt32 m_nTrianglesProcessed = 0;
    UInt32 m_nTrianglesDrawn = 0;
};
