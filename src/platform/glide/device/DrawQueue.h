// DrawQueue: the triangles, clears and state changes a Device has been given and its render
// threads have not all drawn yet, in call order.
//
// Owner: the Device. A ring of Capacity commands in fixed blocks: command number n (counted
// from the last flush) lives in slot n % Capacity. The calling thread writes slot n only once
// every thread is done with command n - Capacity (RenderWorkers::WaitUntilDone), and the
// threads read only what has been handed to them (RenderWorkers::Publish), so a slot is never
// read and written at once. The blocks are allocated when threads start (Reserve) and kept, so
// drawing allocates nothing; memory stays bounded however long a frame is.
#pragma once
#include "BoundState.h"
#include "TriangleParams.h"
#include "Types.h"

class DrawQueue
{
  public:
    static constexpr UInt32 BlockSize = 256;
    static constexpr UInt32 BlockCount = 32;
    static constexpr UInt32 Capacity = BlockSize * BlockCount;

    enum class Kind : Byte
    {
        State,    // the BoundState the commands after it are drawn with
        Triangle, // rows nFirstRow..nEndRow-1 of a set-up triangle, clipped
        Clear,    // grBufferClear's arguments
    };
    struct ClearArgs
    {
        UInt32 nRgb; // 0x00RRGGBB
        Int32 nAlpha;
        Int32 nDepth;
    };
    struct TriangleArgs
    {
        TriangleParams tri;
        Int32 nFirstRow;
        Int32 nEndRow;
    };
    struct Command
    {
        Kind eKind;
        union
        {
            BoundState state;
            TriangleArgs triangle;
            ClearArgs clear;
        };
        // Written before it is read: making the ring touches none of its memory.
        Command() {}
    };

    DrawQueue() = default;
    ~DrawQueue();
    DrawQueue(const DrawQueue&) = delete;
    DrawQueue& operator=(const DrawQueue&) = delete;

    // Allocates every block of the ring (once; kept until destruction); false when memory
    // runs out.
    bool Reserve();
    // The slot of command number nIndex, for writing; null when its block cannot be allocated.
    Command* Slot(UInt32 nIndex);
    const Command& At(UInt32 nIndex) const
    {
        return m_apBlocks[(nIndex / BlockSize) % BlockCount][nIndex % BlockSize];
    }

  private:
    Command* m_apBlocks[BlockCount] = {};
};
