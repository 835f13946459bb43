// TriangleSetup: culling, vertex snapping, edges and parameter planes of one triangle.
//
// Called by the Device once per grDrawTriangle. The conventions are the chip's
// (glide-reference.md §6.1): culling by the sign of (b - a) x (c - a) on the coordinates as
// passed; x and y snapped to 1/16 pixel; a pixel is drawn when its centre (x + 0.5, y + 0.5) is
// inside, a centre exactly on an edge counting as inside for left edges and for the horizontal
// edge at the lower y, outside for right edges and the horizontal edge at the higher y, so a mesh
// covers each pixel once; zero area draws nothing. Parameters are planar over the triangle.
#pragma once
#include "DeviceState.h"
#include "DeviceVertex.h"
#include "TriangleParams.h"
#include "Types.h"

class TriangleSetup
{
  public:
    // False when the triangle draws nothing: culled, zero area after snapping, or a position
    // that is not a finite number. nTmus is how many TMU coordinate sets to set up.
    static bool Setup(const DeviceVertex& a, const DeviceVertex& b, const DeviceVertex& c,
                      const DeviceState& state, Int32 nTmus, TriangleParams& tri);

    // Rounds a position to 1/16 pixel (round to nearest, ties to even, as the FPU does when
    // Glide programs convert to the chip's 12.4 format) and keeps the low 16 bits of that, as
    // the chip does: the result lies in -2048..2047.9375 pixels (in 1/16 units) and whole
    // multiples of 4096 pixels fall away (docs/fidelity.md). fValue must be finite.
    static Int32 Snap(float fValue);

    // (b - a) x (c - a) on the positions as passed (float products are exact in double).
    static double SignedArea(const DeviceVertex& a, const DeviceVertex& b, const DeviceVertex& c);
    // True when the cull mode rejects a triangle or polygon of that signed area.
    static bool IsCulled(CullMode eCull, double dArea);

  private:
    static void SetupPlanes(const DeviceVertex* apSorted[3], const DeviceState& state, Int32 nTmus,
                            TriangleParams& tri);
};
