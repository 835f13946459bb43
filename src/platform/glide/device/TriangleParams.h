// TriangleParams: one set-up triangle, ready for the rasteriser and the span renderer.
//
// Produced by TriangleSetup per triangle. Positions are snapped to 1/16 pixel (12.4). Every
// parameter is a plane given at the centre of the reference pixel (the pixel holding the top
// vertex) plus its steps per pixel in x and y, so the value at pixel (x, y) is
// start + (x - nRefX) * dx + (y - nRefY) * dy.
#pragma once
#include "GlideConfig.h"
#include "Types.h"

// Colour, alpha and depth: 12-bit fractions (the chip's 12.12 and 20.12 iterators).
struct FixedPlane
{
    Int32 nStart = 0;
    Int32 nDx = 0;
    Int32 nDy = 0;

    Int64 At(Int32 dx, Int32 dy) const { return Int64(nStart) + Int64(dx) * nDx + Int64(dy) * nDy; }
};

// 1/w, s/w and t/w.
struct FloatPlane
{
    double dStart = 0.0;
    double dDx = 0.0;
    double dDy = 0.0;

    double At(Int32 dx, Int32 dy) const { return dStart + dDx * dx + dDy * dy; }
};

struct TriangleParams
{
    // Snapped vertices sorted by y (top first), in 1/16 pixel.
    Int32 anX[3] = {0, 0, 0};
    Int32 anY[3] = {0, 0, 0};
    bool bLongEdgeLeft = false; // the edge from the top to the bottom vertex bounds the left side
    Int32 nFirstRow = 0;        // rows nFirstRow..nEndRow-1 have their centres inside
    Int32 nEndRow = 0;

    Int32 nRefX = 0;
    Int32 nRefY = 0;
    FixedPlane red, green, blue, alpha, depth;
    FloatPlane w;
    FloatPlane as[GlideConfig::MaxTmus];
    FloatPlane at[GlideConfig::MaxTmus];
    FloatPlane aw[GlideConfig::MaxTmus];
    // log2 of the larger texel step per pixel of s/w, t/w (256-texel units), 8.8 fixed; the
    // level of detail at a pixel is this minus log2 of that pixel's 1/w.
    Int32 anLodBase[GlideConfig::MaxTmus] = {0, 0};
    // True when 1/w is the same everywhere, so the level of detail is too.
    bool abLodConstant[GlideConfig::MaxTmus] = {true, true};
};
