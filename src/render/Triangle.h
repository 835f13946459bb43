// Triangle: one queued triangle, fully projected to Glide's screen space.
//
// Owner: the list that holds the TriangleNode carrying it (the renderer's free
// pool or the default material's pending list). A Triangle is allocated
// together with the first node that carries it and stays attached to that node
// for the rest of the run; only Renderer::Stop (pool) and the renderer's
// destruction free it.
// Per frame: Renderer::AddTriangle overwrites all three vertices and the
// material tag; Renderer::Flush hands the vertices to grDrawTriangle.
#pragma once

#include <glide.h>

class Material;

class Triangle
{
  public:
    // The corners in drawing order, by value: the renderer's batch arrays are
    // reused for the next mesh group while this triangle waits for the flush.
    GrVertex m_aVertices[3];
    // The renderer's current material when the triangle was queued. Written,
    // never read: every queued triangle is drawn with the default material.
    Material* m_pMaterial;
};
