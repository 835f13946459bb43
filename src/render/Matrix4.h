// Matrix4: 16 single-precision floats, row-major, acting on column vectors.
//
// The element in row r, column c is entry 4r + c, so a point (x, y, z, w) maps
// to x' = m0*x + m1*y + m2*z + m3*w and so on; the translation sits in entries
// 3, 7 and 11. In a product A*B, B acts first: callers that edit the top of
// the renderer's stack by multiplying on the right change object space.
// A plain value; copying it copies all 16 floats.
#pragma once

#include "Types.h"

class Matrix4
{
  public:
    // Element in row nRow, column nColumn (entry 4*nRow + nColumn); no bounds check.
    float& At(Int32 nRow, Int32 nColumn) { return m_afEntry[4 * nRow + nColumn]; }
    float At(Int32 nRow, Int32 nColumn) const { return m_afEntry[4 * nRow + nColumn]; }

    float m_afEntry[16];
};
