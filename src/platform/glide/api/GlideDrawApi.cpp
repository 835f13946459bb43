// Glide entry points: points, lines, triangles and polygons.
#include "EdgeFringe.h"
#include "GlideContext.h"
#include "GlideTraceScope.h"
#include <cmath>
#include <glide.h>

namespace
{
GlideContext& Context()
{
    return GlideContext::Get();
}

void DrawDevice(const DeviceVertex& a, const DeviceVertex& b, const DeviceVertex& c)
{
    Context().GetDevice().DrawTriangle(a, b, c);
}

void Draw(const GrVertex* a, const GrVertex* b, const GrVertex* c)
{
    if (!a || !b || !c || !Context().IsOpen())
        return;
    DeviceVertex av, bv, cv;
    Context().ToDeviceVertex(*a, &av);
    Context().ToDeviceVertex(*b, &bv);
    Context().ToDeviceVertex(*c, &cv);
    DrawDevice(av, bv, cv);
}

// Points and lines are never culled.
class NoCulling
{
  public:
    NoCulling() : m_eSaved(Context().GetState().eCull)
    {
        Context().GetState().eCull = CullMode::Disabled;
    }
    ~NoCulling() { Context().GetState().eCull = m_eSaved; }

  private:
    CullMode m_eSaved;
};

// Linear interpolation of every vertex field (all are linear in screen space).
GrVertex Lerp(const GrVertex& a, const GrVertex& b, float t)
{
    const float* pA = &a.x;
    const float* pB = &b.x;
    GrVertex out;
    float* pOut = &out.x;
    for (Int32 i = 0; i < Int32(sizeof(GrVertex) / sizeof(float)); ++i)
        pOut[i] = pA[i] + (pB[i] - pA[i]) * t;
    return out;
}

// Clips a polygon against one side of the clip window: keeps points with
// sign * (coordinate - bound) >= 0.
Int32 ClipSide(const GrVertex* pIn, Int32 nIn, GrVertex* pOut, bool bY, float fBound, float fSign)
{
    Int32 nOut = 0;
    for (Int32 i = 0; i < nIn; ++i)
    {
        const GrVertex& a = pIn[i];
        const GrVertex& b = pIn[(i + 1) % nIn];
        const float da = fSign * ((bY ? a.y : a.x) - fBound);
        const float db = fSign * ((bY ? b.y : b.x) - fBound);
        if (da >= 0.0f)
            pOut[nOut++] = a;
        if ((da >= 0.0f) != (db >= 0.0f))
            pOut[nOut++] = Lerp(a, b, da / (da - db));
    }
    return nOut;
}

template <typename VertexAt> void DrawAntialiasedPolygon(VertexAt vertexAt, Int32 nCount);

// Clips a convex polygon to the clip window and draws it as a fan; bAntialias adds a fringe to
// every edge of the clipped polygon (those on the clip window fall outside it).
void DrawClipped(const GrVertex* pVertices, Int32 nCount, bool bAntialias = false)
{
    if (!pVertices || nCount < 3 || nCount > 64 || !Context().IsOpen())
        return;
    const DeviceState& state = Context().GetState();
    GrVertex aBufferA[64 + 4], aBufferB[64 + 4];
    for (Int32 i = 0; i < nCount; ++i)
        aBufferA[i] = pVertices[i];
    Int32 n = nCount;
    n = ClipSide(aBufferA, n, aBufferB, false, float(state.nClipMinX), 1.0f);
    n = ClipSide(aBufferB, n, aBufferA, false, float(state.nClipMaxX), -1.0f);
    n = ClipSide(aBufferA, n, aBufferB, true, float(state.nClipMinY), 1.0f);
    n = ClipSide(aBufferB, n, aBufferA, true, float(state.nClipMaxY), -1.0f);
    if (bAntialias)
    {
        DrawAntialiasedPolygon([&](Int32 i) { return &aBufferA[i]; }, n);
        return;
    }
    for (Int32 i = 1; i + 1 < n; ++i)
        Draw(&aBufferA[0], &aBufferA[i], &aBufferA[i + 1]);
}

// Twice the signed area of a polygon, summed as a fan from its first vertex; its sign says on
// which side of each edge the inside lies, as a triangle's does. vertexAt(i) gives vertex i.
template <typename VertexAt> double PolygonArea(VertexAt vertexAt, Int32 nCount)
{
    DeviceVertex first, previous, next;
    Context().ToDeviceVertex(*vertexAt(0), &first);
    double dArea = 0.0;
    for (Int32 i = 1; i + 1 < nCount; ++i)
    {
        Context().ToDeviceVertex(*vertexAt(i), &previous);
        Context().ToDeviceVertex(*vertexAt(i + 1), &next);
        dArea += TriangleSetup::SignedArea(first, previous, next);
    }
    return dArea;
}

// A convex polygon as a fan, then a fringe along each of its edges; nothing when culling
// rejects the polygon's winding.
template <typename VertexAt> void DrawAntialiasedPolygon(VertexAt vertexAt, Int32 nCount)
{
    if (nCount < 3 || !Context().IsOpen())
        return;
    const double dArea = PolygonArea(vertexAt, nCount);
    if (!std::isfinite(dArea) || dArea == 0.0 ||
        TriangleSetup::IsCulled(Context().GetState().eCull, dArea))
        return;
    for (Int32 i = 1; i + 1 < nCount; ++i)
        Draw(vertexAt(0), vertexAt(i), vertexAt(i + 1));
    DeviceVertex a, b;
    for (Int32 i = 0; i < nCount; ++i)
    {
        Context().ToDeviceVertex(*vertexAt(i), &a);
        Context().ToDeviceVertex(*vertexAt((i + 1) % nCount), &b);
        EdgeFringe::DrawEdge(Context().GetDevice(), a, b, dArea);
    }
}
} // namespace

void FX_CALL grDrawTriangle(const GrVertex* a, const GrVertex* b, const GrVertex* c)
{
    GLIDE_TRACE(Draw(TraceCall::DrawTriangle, a, b, c));
    Draw(a, b, c);
}

void FX_CALL grDrawPoint(const GrVertex* pt)
{
    GLIDE_TRACE(Draw(TraceCall::DrawPoint, pt));
    if (!pt || !Context().IsOpen())
        return;
    // Rounded to 1/16 and truncated to pixel (i, j); the triangle (i, j), (i + 2, j), (i, j + 2)
    // has exactly that pixel's centre inside under the fill rule.
    DeviceVertex v;
    Context().ToDeviceVertex(*pt, &v);
    const float fI = std::floor(std::nearbyint(v.x * 16.0f) / 16.0f);
    const float fJ = std::floor(std::nearbyint(v.y * 16.0f) / 16.0f);
    DeviceVertex a = v, b = v, c = v;
    a.x = fI;
    a.y = fJ;
    b.x = fI + 2.0f;
    b.y = fJ;
    c.x = fI;
    c.y = fJ + 2.0f;
    NoCulling noCulling;
    DrawDevice(a, b, c);
}

void FX_CALL grDrawLine(const GrVertex* v1, const GrVertex* v2)
{
    GLIDE_TRACE(Draw(TraceCall::DrawLine, v1, v2));
    if (!v1 || !v2 || !Context().IsOpen())
        return;
    // A one-pixel-wide parallelogram: x-major lines widen by half a pixel up and down, y-major
    // lines left and right; parameters vary along the line only.
    DeviceVertex a, b;
    Context().ToDeviceVertex(*v1, &a);
    Context().ToDeviceVertex(*v2, &b);
    const bool bXMajor = std::fabs(b.x - a.x) >= std::fabs(b.y - a.y);
    DeviceVertex a0 = a, a1 = a, b0 = b, b1 = b;
    if (bXMajor)
    {
        a0.y -= 0.5f;
        a1.y += 0.5f;
        b0.y -= 0.5f;
        b1.y += 0.5f;
    }
    else
    {
        a0.x -= 0.5f;
        a1.x += 0.5f;
        b0.x -= 0.5f;
        b1.x += 0.5f;
    }
    NoCulling noCulling;
    DrawDevice(a0, b0, b1);
    DrawDevice(a0, b1, a1);
}

void FX_CALL grDrawPolygon(int nverts, const int ilist[], const GrVertex vlist[])
{
    GLIDE_TRACE(DrawPolygon(TraceCall::DrawPolygon, nverts, ilist, vlist));
    if (!ilist || !vlist)
        return;
    for (int i = 1; i + 1 < nverts; ++i)
        Draw(&vlist[ilist[0]], &vlist[ilist[i]], &vlist[ilist[i + 1]]);
}

void FX_CALL grDrawPolygonVertexList(int nverts, const GrVertex vlist[])
{
    GLIDE_TRACE(DrawPolygon(TraceCall::DrawPolygonVertexList, nverts, nullptr, vlist));
    if (!vlist)
        return;
    for (int i = 1; i + 1 < nverts; ++i)
        Draw(&vlist[0], &vlist[i], &vlist[i + 1]);
}

void FX_CALL grDrawPlanarPolygon(int nverts, const int ilist[], const GrVertex vlist[])
{
    GLIDE_TRACE(DrawPolygon(TraceCall::DrawPlanarPolygon, nverts, ilist, vlist));
    grDrawPolygon(nverts, ilist, vlist);
}

void FX_CALL grDrawPlanarPolygonVertexList(int nverts, const GrVertex vlist[])
{
    GLIDE_TRACE(DrawPolygon(TraceCall::DrawPlanarPolygonVertexList, nverts, nullptr, vlist));
    grDrawPolygonVertexList(nverts, vlist);
}

// The antialiased calls draw the primitive and then, along the edges they name, fringes whose
// alpha falls to zero outwards, for the program's alpha blending to fade (EdgeFringe.h).
void FX_CALL grAADrawPoint(const GrVertex* pt)
{
    GLIDE_TRACE(Draw(TraceCall::AADrawPoint, pt));
    if (!pt || !Context().IsOpen())
        return;
    DeviceVertex v;
    Context().ToDeviceVertex(*pt, &v);
    EdgeFringe::DrawPoint(Context().GetDevice(), v);
}

void FX_CALL grAADrawLine(const GrVertex* v1, const GrVertex* v2)
{
    GLIDE_TRACE(Draw(TraceCall::AADrawLine, v1, v2));
    if (!v1 || !v2 || !Context().IsOpen())
        return;
    DeviceVertex a, b;
    Context().ToDeviceVertex(*v1, &a);
    Context().ToDeviceVertex(*v2, &b);
    EdgeFringe::DrawLine(Context().GetDevice(), a, b);
}

void FX_CALL grAADrawTriangle(const GrVertex* a, const GrVertex* b, const GrVertex* c,
                              FxBool ab_antialias, FxBool bc_antialias, FxBool ca_antialias)
{
    GLIDE_TRACE(AADrawTriangle(a, b, c, ab_antialias, bc_antialias, ca_antialias));
    if (!a || !b || !c || !Context().IsOpen())
        return;
    DeviceVertex av, bv, cv;
    Context().ToDeviceVertex(*a, &av);
    Context().ToDeviceVertex(*b, &bv);
    Context().ToDeviceVertex(*c, &cv);
    const double dArea = TriangleSetup::SignedArea(av, bv, cv);
    if (!std::isfinite(dArea) || dArea == 0.0 ||
        TriangleSetup::IsCulled(Context().GetState().eCull, dArea))
        return;
    DrawDevice(av, bv, cv);
    Device& device = Context().GetDevice();
    if (ab_antialias)
        EdgeFringe::DrawEdge(device, av, bv, dArea);
    if (bc_antialias)
        EdgeFringe::DrawEdge(device, bv, cv, dArea);
    if (ca_antialias)
        EdgeFringe::DrawEdge(device, cv, av, dArea);
}

void FX_CALL grAADrawPolygon(int nverts, const int ilist[], const GrVertex vlist[])
{
    GLIDE_TRACE(DrawPolygon(TraceCall::AADrawPolygon, nverts, ilist, vlist));
    if (!ilist || !vlist)
        return;
    DrawAntialiasedPolygon([&](Int32 i) { return &vlist[ilist[i]]; }, nverts);
}

void FX_CALL grAADrawPolygonVertexList(int nverts, const GrVertex vlist[])
{
    GLIDE_TRACE(DrawPolygon(TraceCall::AADrawPolygonVertexList, nverts, nullptr, vlist));
    if (!vlist)
        return;
    DrawAntialiasedPolygon([&](Int32 i) { return &vlist[i]; }, nverts);
}

void FX_CALL guDrawTriangleWithClip(const GrVertex* a, const GrVertex* b, const GrVertex* c)
{
    GLIDE_TRACE(Draw(TraceCall::DrawTriangleWithClip, a, b, c));
    if (!a || !b || !c)
        return;
    const GrVertex aVertices[3] = {*a, *b, *c};
    DrawClipped(aVertices, 3);
}

void FX_CALL guAADrawTriangleWithClip(const GrVertex* a, const GrVertex* b, const GrVertex* c)
{
    GLIDE_TRACE(Draw(TraceCall::AADrawTriangleWithClip, a, b, c));
    if (!a || !b || !c)
        return;
    const GrVertex aVertices[3] = {*a, *b, *c};
    DrawClipped(aVertices, 3, true);
}

void FX_CALL guDrawPolygonVertexListWithClip(int nverts, const GrVertex vlist[])
{
    GLIDE_TRACE(DrawPolygon(TraceCall::DrawPolygonVertexListWithClip, nverts, nullptr, vlist));
    DrawClipped(vlist, nverts);
}
