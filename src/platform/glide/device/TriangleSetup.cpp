// TriangleSetup: culling, snapping, edges and planes.
#include "TriangleSetup.h"
#include "EdgeWalker.h"
#include <cmath>

namespace
{
constexpr double FixedOne = double(1 << GlideConfig::ColorFracBits);
// Vertex values of the fixed-point planes are clamped so that every value inside a triangle,
// and every difference of two of them, fits a signed 32-bit integer with 12 fraction bits.
constexpr double FixedMinValue = -65536.0;
constexpr double FixedMaxValue = 131071.0;
constexpr double MaxFixedStep = double(1 << 30);

double ClampValue(double d)
{
    if (!(d >= FixedMinValue))
        return FixedMinValue;
    return d > FixedMaxValue ? FixedMaxValue : d;
}

Int32 ToFixed(double d)
{
    return Int32(std::floor(ClampValue(d) * FixedOne + 0.5));
}

// A per-pixel step in 12.12. A step larger than the whole value range can only occur where a
// row or column holds a single covered pixel, so clamping it changes no drawn value.
Int32 ToFixedStep(double d)
{
    double dFixed = d * FixedOne;
    if (!(dFixed >= -MaxFixedStep))
        dFixed = -MaxFixedStep;
    else if (dFixed > MaxFixedStep)
        dFixed = MaxFixedStep;
    return Int32(std::floor(dFixed + 0.5));
}

struct Gradient
{
    double dDx;
    double dDy;
};

// Planar gradient of a parameter with values p0, p1, p2 at the sorted vertices.
Gradient PlaneGradient(double p0, double p1, double p2, double dX1, double dY1, double dX2,
                       double dY2, double dInvArea)
{
    const double d1 = p1 - p0;
    const double d2 = p2 - p0;
    return {(d1 * dY2 - d2 * dY1) * dInvArea, (d2 * dX1 - d1 * dX2) * dInvArea};
}
} // namespace

Int32 TriangleSetup::Snap(float fValue)
{
    // The float times 16 is exact in a double, and so is its remainder by 2^16; 2^16 is even, so
    // rounding the remainder keeps the ties-to-even choice of rounding the whole value.
    const double dWrap = double(1 << GlideConfig::CoordinateBits);
    const double dSixteenths = std::fmod(double(fValue) * GlideConfig::SubpixelOne, dWrap);
    const Int64 nSixteenths = Int64(std::nearbyint(dSixteenths));
    const Int64 nHalf = Int64(1) << (GlideConfig::CoordinateBits - 1);
    return Int32(((nSixteenths + nHalf) & (2 * nHalf - 1)) - nHalf);
}

double TriangleSetup::SignedArea(const DeviceVertex& a, const DeviceVertex& b,
                                 const DeviceVertex& c)
{
    return (double(b.x) - a.x) * (double(c.y) - a.y) - (double(b.y) - a.y) * (double(c.x) - a.x);
}

bool TriangleSetup::IsCulled(CullMode eCull, double dArea)
{
    switch (eCull)
    {
    case CullMode::Disabled:
        return false;
    case CullMode::Negative:
        return dArea < 0.0;
    case CullMode::Positive:
        return dArea > 0.0;
    }
    return false;
}

bool TriangleSetup::Setup(const DeviceVertex& a, const DeviceVertex& b, const DeviceVertex& c,
                          const DeviceState& state, Int32 nTmus, TriangleParams& tri)
{
    if (!std::isfinite(a.x) || !std::isfinite(a.y) || !std::isfinite(b.x) || !std::isfinite(b.y) ||
        !std::isfinite(c.x) || !std::isfinite(c.y))
        return false;
    if (IsCulled(state.eCull, SignedArea(a, b, c)))
        return false;

    // Sort by snapped y; ties keep the given order so the result does not depend on it.
    const DeviceVertex* ap[3] = {&a, &b, &c};
    Int32 anX[3] = {Snap(a.x), Snap(b.x), Snap(c.x)};
    Int32 anY[3] = {Snap(a.y), Snap(b.y), Snap(c.y)};
    for (Int32 i = 1; i < 3; ++i)
        for (Int32 j = i; j > 0 && anY[j] < anY[j - 1]; --j)
        {
            const DeviceVertex* pV = ap[j];
            ap[j] = ap[j - 1];
            ap[j - 1] = pV;
            Int32 n = anX[j];
            anX[j] = anX[j - 1];
            anX[j - 1] = n;
            n = anY[j];
            anY[j] = anY[j - 1];
            anY[j - 1] = n;
        }
    const Int64 nCross =
        Int64(anX[1] - anX[0]) * (anY[2] - anY[0]) - Int64(anY[1] - anY[0]) * (anX[2] - anX[0]);
    if (nCross == 0)
        return false;
    for (Int32 i = 0; i < 3; ++i)
    {
        tri.anX[i] = anX[i];
        tri.anY[i] = anY[i];
    }
    // With y growing downwards in the rasteriser's rows, a positive cross product puts the
    // middle vertex right of the long edge.
    tri.bLongEdgeLeft = nCross > 0;
    const Int32 nHalf = GlideConfig::SubpixelOne / 2;
    tri.nFirstRow = Int32(EdgeWalker::CeilDiv(anY[0] - nHalf, GlideConfig::SubpixelOne));
    tri.nEndRow = Int32(EdgeWalker::CeilDiv(anY[2] - nHalf, GlideConfig::SubpixelOne));
    SetupPlanes(ap, state, nTmus, tri);
    return true;
}

void TriangleSetup::SetupPlanes(const DeviceVertex* ap[3], const DeviceState& state, Int32 nTmus,
                                TriangleParams& tri)
{
    const double dScale = 1.0 / GlideConfig::SubpixelOne;
    const double dX1 = (tri.anX[1] - tri.anX[0]) * dScale;
    const double dY1 = (tri.anY[1] - tri.anY[0]) * dScale;
    const double dX2 = (tri.anX[2] - tri.anX[0]) * dScale;
    const double dY2 = (tri.anY[2] - tri.anY[0]) * dScale;
    const double dInvArea = 1.0 / (dX1 * dY2 - dX2 * dY1);

    // Reference pixel: the one holding the top vertex. Its centre lies (dx, dy) sixteenths
    // away from the vertex, -7..8 in each direction.
    tri.nRefX = Int32(tri.anX[0] >> GlideConfig::SubpixelBits);
    tri.nRefY = Int32(tri.anY[0] >> GlideConfig::SubpixelBits);
    const Int32 nAdjustX = tri.nRefX * GlideConfig::SubpixelOne + 8 - tri.anX[0];
    const Int32 nAdjustY = tri.nRefY * GlideConfig::SubpixelOne + 8 - tri.anY[0];

    // Fixed-point planes start at the top vertex's value and are moved to the pixel centre by
    // the sub-pixel offset times the steps (the chip's parameter adjustment).
    auto fixedPlane = [&](double p0, double p1, double p2, FixedPlane& plane)
    {
        p0 = ClampValue(p0);
        p1 = ClampValue(p1);
        p2 = ClampValue(p2);
        const Gradient g = PlaneGradient(p0, p1, p2, dX1, dY1, dX2, dY2, dInvArea);
        plane.nDx = ToFixedStep(g.dDx);
        plane.nDy = ToFixedStep(g.dDy);
        const Int64 nStart =
            Int64(ToFixed(p0)) + ((Int64(nAdjustX) * plane.nDx + Int64(nAdjustY) * plane.nDy) >>
                                  GlideConfig::SubpixelBits);
        plane.nStart = Int32(nStart);
    };
    auto floatPlane = [&](double p0, double p1, double p2, FloatPlane& plane)
    {
        const Gradient g = PlaneGradient(p0, p1, p2, dX1, dY1, dX2, dY2, dInvArea);
        plane.dDx = g.dDx;
        plane.dDy = g.dDy;
        plane.dStart = p0 + (g.dDx * nAdjustX + g.dDy * nAdjustY) * dScale;
    };

    const DeviceVertex& v0 = *ap[0];
    const DeviceVertex& v1 = *ap[1];
    const DeviceVertex& v2 = *ap[2];
    if (state.bDelta0)
    {
        // Delta-0 colouring: the constant colour of grConstantColorValue4 with no gradient.
        tri.red = {ToFixed(state.fDelta0R), 0, 0};
        tri.green = {ToFixed(state.fDelta0G), 0, 0};
        tri.blue = {ToFixed(state.fDelta0B), 0, 0};
    }
    else
    {
        fixedPlane(v0.r, v1.r, v2.r, tri.red);
        fixedPlane(v0.g, v1.g, v2.g, tri.green);
        fixedPlane(v0.b, v1.b, v2.b, tri.blue);
    }
    fixedPlane(v0.a, v1.a, v2.a, tri.alpha);
    fixedPlane(v0.ooz, v1.ooz, v2.ooz, tri.depth);
    floatPlane(v0.oow, v1.oow, v2.oow, tri.w);
    for (Int32 t = 0; t < nTmus; ++t)
    {
        floatPlane(v0.asow[t], v1.asow[t], v2.asow[t], tri.as[t]);
        floatPlane(v0.atow[t], v1.atow[t], v2.atow[t], tri.at[t]);
        floatPlane(v0.aoow[t], v1.aoow[t], v2.aoow[t], tri.aw[t]);
        // Level of detail: log2 of the larger texel step per pixel; the per-pixel division by w
        // is applied by the span renderer as a subtraction of log2(1/w).
        const double dX = tri.as[t].dDx * tri.as[t].dDx + tri.at[t].dDx * tri.at[t].dDx;
        const double dY = tri.as[t].dDy * tri.as[t].dDy + tri.at[t].dDy * tri.at[t].dDy;
        const double dMax = dX > dY ? dX : dY;
        double dLod = dMax > 0.0 ? 0.5 * std::log2(dMax) * 256.0 : -4096.0;
        if (!(dLod >= -4096.0))
            dLod = -4096.0;
        else if (dLod > 4096.0)
            dLod = 4096.0;
        tri.anLodBase[t] = Int32(std::floor(dLod));
        tri.abLodConstant[t] = tri.aw[t].dDx == 0.0 && tri.aw[t].dDy == 0.0;
    }
}
