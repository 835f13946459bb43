// MeshVertex: the geometry of one mesh vertex, eight floats in this order.
// The renderer takes them, in this order, as the first eight words of its own
// batch vertex (ClipVertex). Owned by value by the Mesh's vertex arrays.
#pragma once

class MeshVertex
{
  public:
    float m_fX, m_fY, m_fZ, m_fW;     // position; w is 1.0 in every built mesh
    float m_fNX, m_fNY, m_fNZ, m_fNW; // normal; w is 1.0 in every built mesh
};

static_assert(sizeof(MeshVertex) == 8 * sizeof(float), "eight floats, no padding");
