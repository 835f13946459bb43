// TriangleNode: one element of a TriangleList (doubly linked).
//
// Owner: the TriangleList that currently links it. Nodes travel between the
// renderer's free pool and the default material's pending list by relinking;
// the Triangle they carry travels with them. Never copied.
#pragma once

class Triangle;

class TriangleNode
{
  public:
    TriangleNode() : m_pPrevious(nullptr), m_pNext(nullptr), m_pTriangle(nullptr) {}

    TriangleNode* m_pPrevious; // null at the first node
    TriangleNode* m_pNext;     // null at the last node
    Triangle* m_pTriangle;     // the payload; not owned by the node itself

  private:
    TriangleNode(const TriangleNode&) = delete;
    TriangleNode& operator=(const TriangleNode&) = delete;
};
