// TriangleList: a doubly linked list of TriangleNodes with first, last and count.
//
// Two lists exist in the running system:
//  - the Renderer's free pool: nodes (with their Triangles) waiting for reuse;
//  - the default Material's queued-triangle list (its pending list): the
//    Renderer's active list. The Material holds it BY VALUE as its public
//    member `m_TriangleList`; the Renderer keeps its address as the active list.
//    The Renderer appends to it during a frame (Renderer::AddTriangle) and
//    drains it into the pool in Renderer::Flush, so it is empty between frames.
//    The Material only constructs it (empty) and, when it is destroyed, calls
//    FreeNodes on it; it never appends or reads triangles itself.
//
// Ownership: nodes belong to the list that links them. The list header frees
// nothing on destruction: whoever owns the nodes calls FreeNodes (or, for the
// pool, the Renderer frees node and Triangle together).
// Per frame: Unlink and MoveToTail only relink; nothing here allocates except
// Append.
#pragma once

#include "Types.h"

class Triangle;
class TriangleNode;

class TriangleList
{
  public:
    TriangleList();

    // Allocates a node for pTriangle and links it at the tail.
    // Returns 0 with no change when pTriangle is null or the node cannot be
    // allocated; 1 otherwise.
    Int32 Append(Triangle* pTriangle);

    // Links an unlinked node at the tail (count incremented).
    void LinkTail(TriangleNode* pNode);

    // Removes pNode (a node of this list) and clears its links; count
    // decremented. The node and its Triangle are not freed.
    void Unlink(TriangleNode* pNode);

    // Unlinks pNode from this list and links it, with its Triangle, at the
    // tail of rOther.
    void MoveToTail(TriangleNode* pNode, TriangleList& rOther);

    // Unlinks and frees every node; the Triangles are NOT freed (their owner
    // must have taken them first).
    void FreeNodes();

    TriangleNode* GetFirst() const { return m_pFirst; }
    TriangleNode* GetLast() const { return m_pLast; }
    Int32 GetCount() const { return m_nCount; }

  private:
    TriangleList(const TriangleList&) = delete;
    TriangleList& operator=(const TriangleList&) = delete;

    TriangleNode* m_pFirst; // null when empty
    TriangleNode* m_pLast;  // null when empty
    Int32 m_nCount;         // number of linked nodes
};
