// DrawQueue: blocks of commands and states.
#include "DrawQueue.h"
#include <new>

DrawQueue::~DrawQueue()
{
    for (UInt32 i = 0; i < MaxBlocks; ++i)
    {
        delete[] m_apCommandBlocks[i];
        delete[] m_apStateBlocks[i];
    }
}

template <typename T> T* DrawQueue::Add(T* (&apBlocks)[MaxBlocks], UInt32* pnCount)
{
    const UInt32 nBlock = *pnCount / BlockSize;
    if (nBlock >= MaxBlocks)
        return nullptr;
    if (!apBlocks[nBlock])
    {
        apBlocks[nBlock] = new (std::nothrow) T[BlockSize];
        if (!apBlocks[nBlock])
            return nullptr;
    }
    T* pItem = &apBlocks[nBlock][*pnCount % BlockSize];
    ++*pnCount;
    return pItem;
}

DrawQueue::Command* DrawQueue::AddCommand()
{
    return Add(m_apCommandBlocks, &m_nCommands);
}

DrawState* DrawQueue::AddState()
{
    return Add(m_apStateBlocks, &m_nStates);
}

void DrawQueue::Reset()
{
    m_nCommands = 0;
    m_nStates = 0;
}
