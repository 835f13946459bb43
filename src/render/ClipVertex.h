// ClipVertex: one vertex of the renderer's batch, twelve 32-bit words.
//
// Position in object space when added to the batch, in clip space after
// Renderer::TransformVertices. Owned by value by the Renderer's batch array and
// by the clip polygons; copied whole (all twelve words).
#pragma once

#include "Types.h"

// Outcode bits: a bit is set when the vertex lies outside that plane of the
// view volume -w <= x <= w, -w <= y <= w, 0 <= z <= w. All tests are strict, so a
// vertex on a plane is inside.
enum ClipCode
{
    CLIP_LEFT = 0x01,   // x < -w
    CLIP_RIGHT = 0x02,  // x > w
    CLIP_TOP = 0x04,    // y < -w (screen row 0 with the upper-left origin)
    CLIP_BOTTOM = 0x08, // y > w
    CLIP_NEAR = 0x10,   // z is not >= 0 (z < 0, or z is not a number)
    CLIP_FAR = 0x20,    // z > w
};

class ClipVertex
{
  public:
    float m_fX, m_fY, m_fZ, m_fW;     // position
    float m_fNX, m_fNY, m_fNZ, m_fNW; // the mesh normal, carried along unread
    float m_fS;                       // texture coordinate s (0..255 across)
    float m_fT;                       // texture coordinate t
    Byte m_bRed, m_bGreen, m_bBlue, m_bAlpha;
    Int32 m_nOutcode; // CLIP_* bits, set by the transform
};

static_assert(sizeof(ClipVertex) == 48, "a batch vertex is twelve 32-bit words");
