// TriangleList: linking, unlinking and relinking of queued-triangle nodes.
#include "TriangleList.h"

#include <new>

#include "TriangleNode.h"

TriangleList::TriangleList() : m_pFirst(nullptr), m_pLast(nullptr), m_nCount(0) {}

Int32 TriangleList::Append(Triangle* pTriangle)
{
    if (pTriangle == nullptr)
        return 0;
    TriangleNode* pNode = new (std::nothrow) TriangleNode;
    if (pNode == nullptr)
        return 0;
    pNode->m_pTriangle = pTriangle;
    LinkTail(pNode);
    return 1;
}

void TriangleList::LinkTail(TriangleNode* pNode)
{
    pNode->m_pPrevious = m_pLast;
    pNode->m_pNext = nullptr;
    if (m_pLast != nullptr)
        m_pLast->m_pNext = pNode;
    else
        m_pFirst = pNode;
    m_pLast = pNode;
    ++m_nCount;
}

void TriangleList::Unlink(TriangleNode* pNode)
{
    if (pNode->m_pPrevious != nullptr)
        pNode->m_pPrevious->m_pNext = pNode->m_pNext;
    else
        m_pFirst = pNode->m_pNext;
    if (pNode->m_pNext != nullptr)
        pNode->m_pNext->m_pPrevious = pNode->m_pPrevious;
    else
        m_pLast = pNode->m_pPrevious;
    pNode->m_pPrevious = nullptr;
    pNode->m_pNext = nullptr;
    --m_nCount;
}

void TriangleList::MoveToTail(TriangleNode* pNode, TriangleList& rOther)
{
    Unlink(pNode);
    rOther.LinkTail(pNode);
}

void TriangleList::FreeNodes()
{
    while (m_pFirst != nullptr)
    {
        TriangleNode* pNode = m_pFirst;
        Unlink(pNode);
        delete pNode;
    }
}
