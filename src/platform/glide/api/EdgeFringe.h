// EdgeFringe: the coverage of the antialiased drawing calls (grAADraw*), built from the device's
// ordinary triangles.
//
// Called by the grAADraw* entry points after they have drawn the primitive itself. Along each
// edge the call names, a fringe one pixel wide (across the edge's minor axis, as lines are
// widened) lies outside the primitive; its alpha falls linearly from the edge's vertex alpha to
// zero at its outer side, and every other parameter keeps the edge's values. The fringe goes
// through the current pipeline state, so it fades into the picture through the program's alpha
// blending (SRC_ALPHA, ONE_MINUS_SRC_ALPHA). Lines and points have no inside to keep opaque:
// their alpha falls from the centre line or centre to zero one pixel away.
//
// Fringe triangles are handed to the device in the winding the current cull mode keeps, so the
// cull state is never touched. Stateless; nothing here allocates.
#pragma once
#include "Device.h"
#include "DeviceVertex.h"
#include "TriangleSetup.h"

class EdgeFringe
{
  public:
    // The fringe outside the edge a -> b of a primitive whose inside lies where
    // TriangleSetup::SignedArea(a, b, inside point) has the sign of dInside. Nothing for dInside 0
    // or an edge of no length.
    static void DrawEdge(Device& device, const DeviceVertex& a, const DeviceVertex& b,
                         double dInside);

    // An antialiased line: alpha falls from the vertices' alpha on the line to zero one pixel
    // away across the minor axis; like a plain line it ends at its end points.
    static void DrawLine(Device& device, const DeviceVertex& a, const DeviceVertex& b);

    // An antialiased point: the pixel-sized square's box-filtered coverage, alpha times
    // (1 - |dx|)(1 - |dy|) for pixel centres within one pixel of the point, made of sixteen
    // planar pieces that are exact at the centre, on the axes, along the square's border and at
    // the four half-way diagonals. Wherever the point lies, the alphas of the pixels it touches
    // add up to its own alpha.
    static void DrawPoint(Device& device, const DeviceVertex& v);

  private:
    // Draws (a, b, c) in the winding the current cull mode keeps.
    static void DrawKept(Device& device, const DeviceVertex& a, const DeviceVertex& b,
                         const DeviceVertex& c);
    static DeviceVertex Moved(const DeviceVertex& v, float dx, float dy, float fAlpha);
};
