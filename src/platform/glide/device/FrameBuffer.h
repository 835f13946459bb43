// FrameBuffer: the board's colour buffers (RGB565) and its auxiliary buffer.
//
// Owner: the Device; created at grSstWinOpen with the resolution and buffer counts, destroyed at
// close. Rows are stored top row first, nWidth pixels each, in screen coordinates (the origin
// setting is applied by the rasteriser). The buffers rotate on every swap: the back buffer
// becomes the front (displayed) buffer. The auxiliary buffer holds 16-bit depth or, in its low
// 8 bits, destination alpha.
#pragma once
#include "Types.h"
#include <cstdint>

enum class BufferId : Byte
{
    Front,
    Back,
    Aux,
};

class FrameBuffer
{
  public:
    // Pixels allocated past the end of each buffer: the span renderer reads and rewrites (with
    // their own values) up to 15 pixels beyond a span when it works in groups of sixteen.
    static constexpr Int32 Padding = 16;

    FrameBuffer() = default;
    ~FrameBuffer();
    FrameBuffer(const FrameBuffer&) = delete;
    FrameBuffer& operator=(const FrameBuffer&) = delete;

    // nColorBuffers is 2 or 3; false when a size is out of range or memory runs out.
    bool Create(Int32 nWidth, Int32 nHeight, Int32 nColorBuffers, bool bAux);
    void Destroy();
    bool IsOpen() const { return m_apColor[0] != nullptr; }

    Int32 GetWidth() const { return m_nWidth; }
    Int32 GetHeight() const { return m_nHeight; }
    bool HasAux() const { return m_pAux != nullptr; }

    // A buffer's pixels (nWidth x nHeight, top row first); null if it does not exist.
    std::uint16_t* GetBuffer(BufferId eBuffer);
    const std::uint16_t* GetBuffer(BufferId eBuffer) const;

    // Front becomes the oldest buffer, back becomes front (per swap).
    void Swap();

    // Copies a w x h region starting at (x, y), top row first, into pDst with nStride bytes per
    // row. False when the buffer is missing, the region leaves the buffer, nStride is below
    // 2 * w or pDst is null.
    bool ReadRegion(BufferId eBuffer, Int32 x, Int32 y, Int32 nWidth, Int32 nHeight, Int32 nStride,
                    void* pDst) const;

  private:
    Int32 m_nWidth = 0;
    Int32 m_nHeight = 0;
    Int32 m_nColorBuffers = 0;
    // [0] front, [1] back, [2] third buffer when triple buffering.
    std::uint16_t* m_apColor[3] = {nullptr, nullptr, nullptr};
    std::uint16_t* m_pAux = nullptr;
};
