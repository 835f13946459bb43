// Renderer: lifecycle, matrix stack, vertex batch and projection, triangle queue.
#include "Renderer.h"

#include <new>

#include "DisplayDevice.h"
#include "Engine.h"
#include "SString.h"
#include "ScreenSize.h"
#include "Shell.h"
#include "Triangle.h"
#include "TriangleNode.h"

namespace
{

// 786432 = 3 * 2^18: a float of that size keeps four fractional bits, so
// storing the sum rounds to the nearest 1/16 pixel (Glide's vertex precision)
// without a float-to-integer conversion. The store goes through a volatile
// float so that a compiler keeping intermediates wider than float (x87) still
// rounds here.
inline float SnapToSixteenth(float f)
{
    volatile float fSum = f + 786432.0f;
    return fSum - 786432.0f;
}

inline Int32 Outcode(const ClipVertex& v)
{
    Int32 nCode = 0;
    if (v.m_fX < -v.m_fW)
        nCode |= CLIP_LEFT;
    if (v.m_fX > v.m_fW)
        nCode |= CLIP_RIGHT;
    if (v.m_fY < -v.m_fW)
        nCode |= CLIP_TOP;
    if (v.m_fY > v.m_fW)
        nCode |= CLIP_BOTTOM;
    if (!(v.m_fZ >= 0.0f)) // a z that is not a number lies outside
        nCode |= CLIP_NEAR;
    if (v.m_fZ > v.m_fW)
        nCode |= CLIP_FAR;
    return nCode;
}

} // namespace

Renderer::Renderer()
    : m_Camera(), m_nStackTop(0), m_nStackSize(0), m_pStack(nullptr), m_nVertexCount(0),
      m_nVertexCapacity(0), m_pClipVertices(nullptr), m_pScreenVertices(nullptr), m_nOutcodeAnd(-1),
      m_nOutcodeOr(0), m_PolygonA(), m_PolygonB(), m_FreeTriangles(), m_pActiveList(nullptr),
      m_fCentreX(0.0f), m_fCentreY(0.0f), m_nCullMode(0), m_pCurrentMaterial(nullptr),
      m_DefaultMaterial()
{
}

Renderer::~Renderer()
{
    // Triangles still queued (a frame drawn but never flushed) go back to the
    // pool first, so they are freed together with their nodes; the material
    // would free only the nodes and lose the Triangles.
    TriangleList& rPending = m_DefaultMaterial.m_TriangleList;
    while (rPending.GetFirst() != nullptr)
        rPending.MoveToTail(rPending.GetFirst(), m_FreeTriangles);
    Stop();
    // The default material now releases its texture, frees the (empty)
    // pending list and destroys its name.
}

Int32 Renderer::Start()
{
    // A start without the matching stop must not lose the previous arrays.
    FreeArrays();

    m_nStackTop = 0;
    m_nStackSize = STACK_SIZE;
    m_pStack = new (std::nothrow) Matrix4[m_nStackSize];
    if (m_pStack == nullptr)
        return 0;

    DisplayDevice* pDisplay = (g_pEngine != nullptr) ? g_pEngine->GetDisplay() : nullptr;
    if (pDisplay == nullptr)
        return 0;
    ScreenSize size;
    pDisplay->GetScreenSize(&size);
    m_fCentreX = static_cast<float>(size.m_nWidth / 2.0);
    m_fCentreY = static_cast<float>(size.m_nHeight / 2.0);

    m_nVertexCount = 0;
    m_nVertexCapacity = 0;
    BeginVertices(1);

    SString strName("Default.mtl", 11);
    if (m_DefaultMaterial.Load(strName) == 0)
        return 0;
    m_pActiveList = &m_DefaultMaterial.m_TriangleList;
    m_pCurrentMaterial = &m_DefaultMaterial;
    return 1;
}

void Renderer::Stop()
{
    FreeArrays();
    FreePool();
    // The default material's pending list is left alone, and the vertex count
    // and capacity keep their values (the arrays are gone: a capacity that
    // outlives its array would be wrong, so BeginVertices checks the pointer).
}

void Renderer::FreeArrays()
{
    if (m_pStack != nullptr)
    {
        delete[] m_pStack;
        m_pStack = nullptr;
    }
    if (m_pClipVertices != nullptr)
    {
        delete[] m_pClipVertices;
        m_pClipVertices = nullptr;
    }
    if (m_pScreenVertices != nullptr)
    {
        delete[] m_pScreenVertices;
        m_pScreenVertices = nullptr;
    }
}

void Renderer::FreePool()
{
    while (m_FreeTriangles.GetFirst() != nullptr)
    {
        TriangleNode* pNode = m_FreeTriangles.GetFirst();
        m_FreeTriangles.Unlink(pNode);
        delete pNode->m_pTriangle;
        delete pNode;
    }
}

// ---------------------------------------------------------------- matrix stack

Int32 Renderer::BeginFrame()
{
    if (m_pStack == nullptr)
        return 0;
    m_nStackTop = 0;
    m_pStack[0] = *m_Camera.GetMatrix();
    return 1;
}

Matrix4* Renderer::PushMatrix()
{
    if (m_pStack == nullptr)
        return nullptr;
    // The stack has ten entries and nothing in the system nests deeper than
    // two; a push at the last entry is refused rather than written past the end.
    if (m_nStackTop + 1 < m_nStackSize)
    {
        m_pStack[m_nStackTop + 1] = m_pStack[m_nStackTop];
        ++m_nStackTop;
    }
    return &m_pStack[m_nStackTop];
}

Matrix4* Renderer::PopMatrix()
{
    if (m_pStack == nullptr)
        return nullptr;
    // A pop at entry 0 is refused: entry 0 stays the top.
    if (m_nStackTop > 0)
        --m_nStackTop;
    return &m_pStack[m_nStackTop];
}

Matrix4* Renderer::GetTopMatrix()
{
    if (m_pStack == nullptr)
        return nullptr;
    return &m_pStack[m_nStackTop];
}

// ---------------------------------------------------------------- vertex batch

void Renderer::BeginVertices(UInt32 nCount)
{
    const bool bHaveArrays = m_pClipVertices != nullptr && m_pScreenVertices != nullptr;
    if (nCount > m_nVertexCapacity || !bHaveArrays)
    {
        // Grow to exactly nCount; the contents are not kept.
        delete[] m_pClipVertices;
        delete[] m_pScreenVertices;
        m_pClipVertices = new (std::nothrow) ClipVertex[nCount];
        m_pScreenVertices = new (std::nothrow) GrVertex[nCount];
        m_nVertexCapacity = nCount;
        if (m_pClipVertices == nullptr || m_pScreenVertices == nullptr)
        {
            // Out of memory: the batch holds nothing and this group is dropped.
            delete[] m_pClipVertices;
            delete[] m_pScreenVertices;
            m_pClipVertices = nullptr;
            m_pScreenVertices = nullptr;
            m_nVertexCapacity = 0;
        }
    }
    m_nVertexCount = 0;
}

void Renderer::AddVertex(const ClipVertex& rVertex)
{
    // Callers size the batch first; the check only guards a batch whose
    // growth failed.
    if (m_nVertexCount >= m_nVertexCapacity || m_pClipVertices == nullptr)
        return;
    m_pClipVertices[m_nVertexCount] = rVertex;
    ++m_nVertexCount;
}

UInt32 Renderer::TransformVertices()
{
    m_nOutcodeAnd = -1;
    m_nOutcodeOr = 0;
    const Matrix4* pTop = GetTopMatrix();
    if (pTop == nullptr || m_pClipVertices == nullptr)
        return m_nVertexCount; // stopped: nothing to transform, the batch is rejected
    const float* m = pTop->m_afEntry;
    for (UInt32 i = 0; i < m_nVertexCount; ++i)
    {
        ClipVertex& v = m_pClipVertices[i];
        const float x = v.m_fX, y = v.m_fY, z = v.m_fZ, w = v.m_fW;
        v.m_fX = m[0] * x + m[1] * y + m[2] * z + m[3] * w;
        v.m_fY = m[4] * x + m[5] * y + m[6] * z + m[7] * w;
        v.m_fZ = m[8] * x + m[9] * y + m[10] * z + m[11] * w;
        v.m_fW = m[12] * x + m[13] * y + m[14] * z + m[15] * w;
        const Int32 nCode = Outcode(v);
        v.m_nOutcode = nCode;
        m_nOutcodeAnd &= nCode;
        m_nOutcodeOr |= nCode;
        if (nCode == 0)
            ProjectVertex(m_pScreenVertices[i], v);
    }
    return m_nVertexCount;
}

UInt32 Renderer::SubmitVertices(UInt32 nCount, const ClipVertex* pVertices)
{
    BeginVertices(nCount);
    for (UInt32 i = 0; i < nCount && i < m_nVertexCapacity; ++i)
        m_pClipVertices[i] = pVertices[i];
    m_nVertexCount = (nCount <= m_nVertexCapacity) ? nCount : 0;
    return TransformVertices();
}

void Renderer::ProjectVertex(GrVertex& rOut, const ClipVertex& rIn) const
{
    // One division per vertex; every intermediate is a float.
    const float fOow = 1.0f / rIn.m_fW;
    float fX = rIn.m_fX * fOow;
    float fY = rIn.m_fY * fOow;
    const float fZ = rIn.m_fZ * fOow;
    // Clip-space +y runs down the screen: no flip with the upper-left origin.
    fX = fX * m_fCentreX;
    fX = fX + m_fCentreX;
    fY = fY * m_fCentreY;
    fY = fY + m_fCentreY;
    rOut.x = SnapToSixteenth(fX);
    rOut.y = SnapToSixteenth(fY);
    rOut.z = fZ;
    rOut.r = static_cast<float>(rIn.m_bRed);
    rOut.g = static_cast<float>(rIn.m_bGreen);
    rOut.b = static_cast<float>(rIn.m_bBlue);
    rOut.a = static_cast<float>(rIn.m_bAlpha);
    rOut.oow = fOow;
    // Only the first texture unit is used; ooz (no depth buffer), its oow and
    // the second unit are left as they were.
    rOut.tmuvtx[0].sow = rIn.m_fS * fOow;
    rOut.tmuvtx[0].tow = rIn.m_fT * fOow;
}

// ---------------------------------------------------------------- triangle queue

void Renderer::AddTriangle(const GrVertex& rA, const GrVertex& rB, const GrVertex& rC)
{
    if (m_pActiveList == nullptr) // not started: nowhere to queue
        return;
    if (m_FreeTriangles.GetCount() != 0)
    {
        m_FreeTriangles.MoveToTail(m_FreeTriangles.GetFirst(), *m_pActiveList);
    }
    else
    {
        Triangle* pTriangle = new (std::nothrow) Triangle;
        if (pTriangle == nullptr)
            return; // out of memory: this triangle is not drawn
        if (m_pActiveList->Append(pTriangle) == 0)
        {
            delete pTriangle;
            return;
        }
    }
    Triangle* pTriangle = m_pActiveList->GetLast()->m_pTriangle;
    pTriangle->m_aVertices[0] = rA;
    pTriangle->m_aVertices[1] = rB;
    pTriangle->m_aVertices[2] = rC;
    pTriangle->m_pMaterial = m_pCurrentMaterial;
}

void Renderer::Flush()
{
    m_pCurrentMaterial = &m_DefaultMaterial;
    m_pCurrentMaterial->Apply(); // once for the whole flush
    TriangleList& rPending = m_DefaultMaterial.m_TriangleList;
    for (TriangleNode* pNode = rPending.GetFirst(); pNode != nullptr; pNode = pNode->m_pNext)
    {
        GrVertex* pV = pNode->m_pTriangle->m_aVertices;
        grDrawTriangle(&pV[0], &pV[1], &pV[2]);
    }
    // The pool receives the nodes in drawing order; the next frame takes them
    // from its front again.
    while (rPending.GetCount() != 0)
        rPending.MoveToTail(rPending.GetFirst(), m_FreeTriangles);
}

void Renderer::SetMaterial(Material* pMaterial)
{
    m_pCurrentMaterial = (pMaterial != nullptr) ? pMaterial : &m_DefaultMaterial;
    m_pActiveList = &m_DefaultMaterial.m_TriangleList;
}

void Renderer::SetCullMode(Int32 nMode)
{
    m_nCullMode = nMode;
    grCullMode(static_cast<GrCullMode_t>(nMode));
}
