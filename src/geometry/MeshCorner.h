// MeshCorner: one corner of a group's surface: which vertex, and what may
// differ where several triangles meet at that vertex (colour, texture
// coordinates). Owned by value by its MeshGroup's corner array.
#pragma once

#include "Types.h"

class MeshCorner
{
  public:
    Int32 m_nVertex;                          // index into the mesh's vertex array
    Byte m_bRed, m_bGreen, m_bBlue, m_bAlpha; // 0..255, passed on as vertex colour and alpha
    float m_fS;                               // texture coordinate, 0.0 to 255.0 across the texture
    float m_fT;                               // texture coordinate, 0.0 to 255.0 across the texture
};
