// Mesh::Draw: the renderer's mesh submission. It belongs to the Mesh's
// interface but to the renderer's work: it fills the renderer's batch, reads
// its outcode summaries and runs its clip polygons, so it lives here and the
// geometry library stays free of the engine.
#include <glide.h>

#include "ClipPolygon.h"
#include "ClipVertex.h"
#include "DisplayDevice.h"
#include "Engine.h"
#include "Mesh.h"
#include "Renderer.h"
#include "Shell.h"

namespace
{

Renderer* CurrentRenderer()
{
    if (g_pEngine == nullptr)
        return nullptr;
    DisplayDevice* pDisplay = g_pEngine->GetDisplay();
    return (pDisplay != nullptr) ? pDisplay->GetRenderer() : nullptr;
}

inline void MakeClipVertex(ClipVertex& rOut, const MeshVertex& rVertex, const MeshCorner& rCorner)
{
    rOut.m_fX = rVertex.m_fX;
    rOut.m_fY = rVertex.m_fY;
    rOut.m_fZ = rVertex.m_fZ;
    rOut.m_fW = rVertex.m_fW;
    rOut.m_fNX = rVertex.m_fNX;
    rOut.m_fNY = rVertex.m_fNY;
    rOut.m_fNZ = rVertex.m_fNZ;
    rOut.m_fNW = rVertex.m_fNW;
    rOut.m_fS = rCorner.m_fS;
    rOut.m_fT = rCorner.m_fT;
    rOut.m_bRed = rCorner.m_bRed;
    rOut.m_bGreen = rCorner.m_bGreen;
    rOut.m_bBlue = rCorner.m_bBlue;
    rOut.m_bAlpha = rCorner.m_bAlpha;
    rOut.m_nOutcode = 0; // set by the transform
}

// The six stages in their fixed order, alternating between the two polygons
// so the result ends in A; the first stage that leaves nothing ends it.
Int32 ClipToVolume(ClipPolygon& rA, ClipPolygon& rB)
{
    return rA.ClipLeft(rB) && rB.ClipRight(rA) && rA.ClipTop(rB) && rB.ClipBottom(rA) &&
           rA.ClipNear(rB) && rB.ClipFar(rA);
}

// Clips one triangle of the batch and queues what is left as a fan around its
// first vertex, in the polygon's order.
void ClipAndQueue(Renderer& rRenderer, const ClipVertex* pClip, const MeshTriangle& rTriangle)
{
    ClipPolygon& rA = rRenderer.GetPolygonA();
    ClipPolygon& rB = rRenderer.GetPolygonB();
    rA.m_nCount = 3;
    for (Int32 k = 0; k < 3; ++k)
        rA.m_aVertices[k] = pClip[rTriangle.m_anCorner[k]];
    if (!ClipToVolume(rA, rB))
        return;
    GrVertex p, q, r;
    rRenderer.ProjectVertex(p, rA.m_aVertices[0]);
    for (UInt32 m = 1; m + 1 < rA.m_nCount; ++m)
    {
        rRenderer.ProjectVertex(q, rA.m_aVertices[m]);
        rRenderer.ProjectVertex(r, rA.m_aVertices[m + 1]);
        rRenderer.AddTriangle(p, q, r);
    }
}

void DrawGroup(Renderer& rRenderer, const Mesh& rMesh, MeshGroup& rGroup)
{
    const UInt32 nCorners = static_cast<UInt32>(rGroup.m_nCornerCount);
    rRenderer.BeginVertices(nCorners);
    ClipVertex vertex;
    for (UInt32 n = 0; n < nCorners; ++n)
    {
        const MeshCorner& rCorner = rGroup.m_pCorners[n];
        MakeClipVertex(vertex, rMesh.m_pVertices[rCorner.m_nVertex], rCorner);
        rRenderer.AddVertex(vertex);
    }
    // A batch that could not grow holds fewer vertices than the group has
    // corners: its triangles would index past it, so the group is dropped.
    if (rRenderer.TransformVertices() != nCorners)
        return;

    if (rRenderer.GetOutcodeAnd() != 0)
        return; // every vertex lies outside one common plane
    const GrVertex* pScreen = rRenderer.GetScreenVertices();
    const Int32 nTriangles = rGroup.m_nTriangleCount;
    if (rRenderer.GetOutcodeOr() == 0)
    {
        // The whole group is inside: the projected records go straight to
        // the queue.
        for (Int32 t = 0; t < nTriangles; ++t)
        {
            const Int32* pn = rGroup.m_pTriangles[t].m_anCorner;
            rRenderer.AddTriangle(pScreen[pn[0]], pScreen[pn[1]], pScreen[pn[2]]);
        }
        return;
    }
    const ClipVertex* pClip = rRenderer.GetClipVertices();
    for (Int32 t = 0; t < nTriangles; ++t)
    {
        const MeshTriangle& rTriangle = rGroup.m_pTriangles[t];
        const Int32* pn = rTriangle.m_anCorner;
        const Int32 f0 = pClip[pn[0]].m_nOutcode;
        const Int32 f1 = pClip[pn[1]].m_nOutcode;
        const Int32 f2 = pClip[pn[2]].m_nOutcode;
        if ((f0 & f1 & f2) != 0)
            continue; // outside one plane: dropped
        if ((f0 | f1 | f2) == 0)
            rRenderer.AddTriangle(pScreen[pn[0]], pScreen[pn[1]], pScreen[pn[2]]);
        else
            ClipAndQueue(rRenderer, pClip, rTriangle);
    }
}

} // namespace

Int32 Mesh::Draw()
{
    Renderer* pRenderer = CurrentRenderer();
    if (pRenderer == nullptr)
        return 1;
    const UInt32 nGroups = static_cast<UInt32>(m_nGroupCount);
    for (UInt32 g = 0; g < nGroups; ++g)
        DrawGroup(*pRenderer, *this, m_pGroups[g]);
    return 1;
}
