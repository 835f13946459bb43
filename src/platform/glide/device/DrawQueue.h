// DrawQueue: the triangles and clears a Device has been given and not yet drawn, in call order,
// with the states they are drawn with.
//
// Owner: the Device. The calling thread appends; the render threads read what has been handed
// to them (RenderWorkers::Publish) and never what is still being written. Storage comes in
// fixed blocks that are never moved, so appending never disturbs a reader; blocks are kept
// from frame to frame, so a steady frame allocates nothing. Reset (at a flush, when every
// reader is done) empties it. A full queue (or a block that cannot be allocated) makes Add
// return null: the Device then flushes and goes on.
#pragma once
#include "DrawState.h"
#include "TriangleParams.h"
#include "Types.h"

class DrawQueue
{
  public:
    enum class Kind : Byte
    {
        Triangle,
        Clear,
    };
    // grBufferClear's arguments (Device::Clear).
    struct ClearArgs
    {
        UInt32 nRgb = 0; // 0x00RRGGBB
        Int32 nAlpha = 0;
        Int32 nDepth = 0;
    };
    struct Command
    {
        Kind eKind = Kind::Triangle;
        UInt32 nState = 0;   // index of its DrawState
        Int32 nFirstRow = 0; // triangle: rows nFirstRow..nEndRow-1, clipped
        Int32 nEndRow = 0;
        TriangleParams tri;
        ClearArgs clear;
    };

    DrawQueue() = default;
    ~DrawQueue();
    DrawQueue(const DrawQueue&) = delete;
    DrawQueue& operator=(const DrawQueue&) = delete;

    // A new command or state at the end; null when the queue is full or memory runs out.
    Command* AddCommand();
    DrawState* AddState();

    UInt32 CommandCount() const { return m_nCommands; }
    UInt32 StateCount() const { return m_nStates; }
    const Command& CommandAt(UInt32 i) const
    {
        return m_apCommandBlocks[i / BlockSize][i % BlockSize];
    }
    const DrawState& StateAt(UInt32 i) const
    {
        return m_apStateBlocks[i / BlockSize][i % BlockSize];
    }

    void Reset();

  private:
    static constexpr UInt32 BlockSize = 1024;
    static constexpr UInt32 MaxBlocks = 256; // 262,144 commands between two flushes

    template <typename T> static T* Add(T* (&apBlocks)[MaxBlocks], UInt32* pnCount);

    Command* m_apCommandBlocks[MaxBlocks] = {};
    DrawState* m_apStateBlocks[MaxBlocks] = {};
    UInt32 m_nCommands = 0;
    UInt32 m_nStates = 0;
};
