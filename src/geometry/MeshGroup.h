// MeshGroup: corners (vertex, colour, texture coordinates) and the triangles
// over them. The renderer draws a mesh one group at a time.
//
// Owner: its Mesh (an element of the mesh's group array). Lifecycle: made
// empty by the mesh's Allocate; MeshGroup::Allocate sizes both arrays once;
// Free (also run by destruction) releases them. Per frame the scene rewrites
// corner colours in place; nothing is allocated per frame.
#pragma once

#include "MeshCorner.h"
#include "MeshTriangle.h"
#include "Types.h"

class MeshGroup
{
  public:
    MeshGroup();
    ~MeshGroup();

    // Stores both counts and allocates both arrays with undefined contents.
    // Returns 1; 0 when an array cannot be allocated (that array stays null
    // and its count reads 0, so nothing walks a missing array).
    Int32 Allocate(Int32 nCornerCount, Int32 nTriangleCount);
    // Releases the triangle array, then the corner array; safe to repeat.
    void Free();

    MeshCorner& GetCorner(Int32 i) { return m_pCorners[i]; }       // no bounds check
    MeshTriangle& GetTriangle(Int32 i) { return m_pTriangles[i]; } // no bounds check
    Int32 GetCornerCount() const { return m_nCornerCount; }
    Int32 GetTriangleCount() const { return m_nTriangleCount; }

    Int32 m_nCornerCount;
    MeshCorner* m_pCorners; // owned
    Int32 m_nTriangleCount;
    MeshTriangle* m_pTriangles; // owned

  private:
    MeshGroup(const MeshGroup&) = delete;
    MeshGroup& operator=(const MeshGroup&) = delete;
};
