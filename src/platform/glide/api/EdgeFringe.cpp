// EdgeFringe: antialiasing fringes as ordinary triangles.
#include "EdgeFringe.h"
#include <cmath>
#include <initializer_list>

void EdgeFringe::DrawKept(Device& device, const DeviceVertex& a, const DeviceVertex& b,
                          const DeviceVertex& c)
{
    // The fill rule and the parameter planes do not depend on the order of the vertices, so
    // turning a triangle over changes only what culling sees.
    if (TriangleSetup::IsCulled(device.GetState().eCull, TriangleSetup::SignedArea(a, b, c)))
        device.DrawTriangle(a, c, b);
    else
        device.DrawTriangle(a, b, c);
}

DeviceVertex EdgeFringe::Moved(const DeviceVertex& v, float dx, float dy, float fAlpha)
{
    DeviceVertex out = v;
    out.x += dx;
    out.y += dy;
    out.a = fAlpha;
    return out;
}

void EdgeFringe::DrawEdge(Device& device, const DeviceVertex& a, const DeviceVertex& b,
                          double dInside)
{
    const double dx = double(b.x) - a.x;
    const double dy = double(b.y) - a.y;
    if (dInside == 0.0 || (dx == 0.0 && dy == 0.0))
        return;
    // One pixel across the minor axis, to the side away from the inside: moving a by (0, s)
    // gives the area dx * s, moving it by (s, 0) gives -dy * s.
    const float fInside = dInside > 0.0 ? 1.0f : -1.0f;
    float fOffsetX = 0.0f, fOffsetY = 0.0f;
    if (std::fabs(dx) >= std::fabs(dy))
        fOffsetY = dx > 0.0 ? -fInside : fInside;
    else
        fOffsetX = dy > 0.0 ? fInside : -fInside;
    const DeviceVertex aOut = Moved(a, fOffsetX, fOffsetY, 0.0f);
    const DeviceVertex bOut = Moved(b, fOffsetX, fOffsetY, 0.0f);
    DrawKept(device, a, b, bOut);
    DrawKept(device, a, bOut, aOut);
}

void EdgeFringe::DrawLine(Device& device, const DeviceVertex& a, const DeviceVertex& b)
{
    const bool bXMajor = std::fabs(double(b.x) - a.x) >= std::fabs(double(b.y) - a.y);
    const float fOffsetX = bXMajor ? 0.0f : 1.0f;
    const float fOffsetY = bXMajor ? 1.0f : 0.0f;
    for (float fSide : {-1.0f, 1.0f})
    {
        const DeviceVertex aOut = Moved(a, fSide * fOffsetX, fSide * fOffsetY, 0.0f);
        const DeviceVertex bOut = Moved(b, fSide * fOffsetX, fSide * fOffsetY, 0.0f);
        DrawKept(device, a, b, bOut);
        DrawKept(device, a, bOut, aOut);
    }
}

void EdgeFringe::DrawPoint(Device& device, const DeviceVertex& v)
{
    // Each quadrant is the unit square from the point to (sx, sy): the point at full alpha,
    // the three other corners at zero and the square's middle at a quarter, the bilinear
    // coverage there, joined by four triangles around the middle.
    for (float sx : {-1.0f, 1.0f})
        for (float sy : {-1.0f, 1.0f})
        {
            const DeviceVertex mid = Moved(v, 0.5f * sx, 0.5f * sy, 0.25f * v.a);
            const DeviceVertex alongX = Moved(v, sx, 0.0f, 0.0f);
            const DeviceVertex corner = Moved(v, sx, sy, 0.0f);
            const DeviceVertex alongY = Moved(v, 0.0f, sy, 0.0f);
            DrawKept(device, v, alongX, mid);
            DrawKept(device, alongX, corner, mid);
            DrawKept(device, corner, alongY, mid);
            DrawKept(device, alongY, v, mid);
        }
}
