// DrawQueue: the ring's blocks.
#include "DrawQueue.h"
#include <new>
#include <type_traits>

static_assert(std::is_trivially_copyable<BoundState>::value &&
                  std::is_trivially_copyable<TriangleParams>::value,
              "queued commands are plain data, copied into the ring");

DrawQueue::~DrawQueue()
{
    for (Command*& pBlock : m_apBlocks)
        delete[] pBlock;
}

bool DrawQueue::Reserve()
{
    for (UInt32 i = 0; i < BlockCount; ++i)
        if (!Slot(i * BlockSize))
            return false;
    return true;
}

DrawQueue::Command* DrawQueue::Slot(UInt32 nIndex)
{
    Command*& pBlock = m_apBlocks[(nIndex / BlockSize) % BlockCount];
    if (!pBlock)
        pBlock = new (std::nothrow) Command[BlockSize];
    return pBlock ? &pBlock[nIndex % BlockSize] : nullptr;
}
