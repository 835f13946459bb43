// Mesh: the engine's unit of drawable geometry: one vertex array (position and
// normal), optional key frames of it, and one or more groups of corners and
// triangles.
//
// Vertices carry geometry only; whatever may differ where triangles meet
// (colour, texture coordinates) lives in the corners, and triangles index
// corners. Two corners may name one vertex with different texture
// coordinates: a closed ring gets its texture seam without extra vertices.
//
// Owner: whoever built it (MeshBuilder hands it to its caller, who deletes
// it). Lifecycle: construct, Allocate once, fill through GetVertex/GetGroup,
// Free (also run by destruction). Per frame: the scene rewrites vertices and
// corners in place, and Mesh::Draw walks the groups; nothing is allocated,
// copied or resized per frame.
#pragma once

#include "MeshGroup.h"
#include "MeshVertex.h"
#include "Types.h"

class Mesh
{
  public:
    Mesh();
    ~Mesh();

    // Stores the counts and allocates the vertices, the key-frame vertices
    // (frameCount x vertexCount, only when frameCount is not 0) and
    // groupCount empty groups. Called once, on a fresh mesh. Returns 1; 0 when
    // an array cannot be allocated (it stays null and its count reads 0).
    Int32 Allocate(Int32 nVertexCount, Int32 nGroupCount, Int32 nFrameCount);
    // Releases the three arrays (the groups release their own); a second call
    // does nothing. The counts keep their values.
    void Free();

    MeshVertex& GetVertex(Int32 i) { return m_pVertices[i]; } // no bounds check
    // Vertex nVertex of key frame nFrame (note the order: vertex first).
    MeshVertex& GetFrameVertex(Int32 nVertex, Int32 nFrame)
    {
        return m_pFrameVertices[nFrame * m_nVertexCount + nVertex];
    }
    MeshGroup& GetGroup(Int32 i) { return m_pGroups[i]; } // no bounds check
    Int32 GetVertexCount() const { return m_nVertexCount; }
    Int32 GetFrameCount() const { return m_nFrameCount; }
    Int32 GetGroupCount() const { return m_nGroupCount; }

    // Morphs the vertex array between key frames trunc(fPosition) and the
    // next (the last blends into frame 0), renormalising the normal. Needs
    // key frames and a position >= 0; otherwise it does nothing.
    void SetFrame(float fPosition);

    // Queues the mesh's triangles with the renderer (reached through
    // g_pEngine), using the matrix on top of its stack. Returns 1. Drawing is
    // the renderer's mesh submission and lives with it: src/render/MeshDraw.cpp.
    Int32 Draw();

    Int32 m_nVertexCount;
    MeshVertex* m_pVertices; // owned
    Int32 m_nFrameCount;
    MeshVertex* m_pFrameVertices; // owned; null without key frames
    Int32 m_nGroupCount;
    MeshGroup* m_pGroups; // owned

  private:
    Mesh(const Mesh&) = delete;
    Mesh& operator=(const Mesh&) = delete;
};
