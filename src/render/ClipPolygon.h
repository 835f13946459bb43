// ClipPolygon: a convex polygon in homogeneous clip space, and the six stages
// that cut it against the view volume -w <= x <= w, -w <= y <= w, 0 <= z <= w.
//
// Owner: the Renderer holds two of them (A and B) as scratch space; Mesh::Draw
// overwrites A for every triangle it clips and runs the stages in a fixed
// order, alternating A->B, B->A, ... so the result ends in A. No set-up, no
// allocation, nothing survives from one triangle to the next.
//
// Each stage reads this polygon and writes the part inside its plane into
// rDest (a different polygon). It returns 1 when rDest holds the result, 0 when
// every vertex lies outside (rDest untouched). The output keeps the vertex
// order and orientation of the input.
#pragma once

#include "ClipVertex.h"
#include "Types.h"

class ClipPolygon
{
  public:
    // A stage writes one run of kept vertices and two crossings for the one
    // outside run it finds, so its output has at most one vertex more than its
    // input, whatever the input: a triangle ends with at most 3 + 6 = 9. A
    // stage refuses input that could not grow by one and still fit.
    enum
    {
        MAX_VERTICES = 25
    };

    Int32 ClipLeft(ClipPolygon& rDest) const;   // keeps x >= -w
    Int32 ClipRight(ClipPolygon& rDest) const;  // keeps x <= w
    Int32 ClipTop(ClipPolygon& rDest) const;    // keeps y >= -w
    Int32 ClipBottom(ClipPolygon& rDest) const; // keeps y <= w
    Int32 ClipNear(ClipPolygon& rDest) const;   // keeps z >= 0
    Int32 ClipFar(ClipPolygon& rDest) const;    // keeps z <= w

    // Writes the crossing vertex p + (c - p)*fLambda into rOut: position, w, s
    // and t as floats; colour bytes as the integer difference times fLambda
    // plus p, truncated toward zero. Normal and outcode are left unset.
    static void Interpolate(ClipVertex& rOut, const ClipVertex& rP, const ClipVertex& rC,
                            float fLambda);

    UInt32 m_nCount; // vertices in use; edges (0,1), ..., (count-1, 0)
    ClipVertex m_aVertices[MAX_VERTICES];
};

static_assert(ClipPolygon::MAX_VERTICES >= 3 + 6,
              "six stages, each adding at most one vertex, must fit a triangle");
