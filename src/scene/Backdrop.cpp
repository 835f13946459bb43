#include "Backdrop.h"

#include "FrameTimer.h"
#include "MatrixTurn.h"
#include "Mesh.h"
#include "MeshBuilder.h"
#include "Renderer.h"
#include "SceneAccess.h"
#include "SceneAngles.h"

float g_fBackdropAngle = 0.0f;

namespace
{
const float DOME_RADIUS = 1.0f;
}

Backdrop::Backdrop()
    : m_nSlices(0), m_nRings(0), m_fZ0(0.0f), m_fZ1(0.0f), m_fScaleX(0.0f), m_fScaleY(0.0f),
      m_pMesh(nullptr)
{
}

Backdrop::~Backdrop()
{
    if (m_pMesh != nullptr)
    {
        delete m_pMesh;
        m_pMesh = nullptr;
    }
}

Int32 Backdrop::Init(Int32 nSlices, Int32 nRings, float fZ0, float fZ1, float fScaleX,
                     float fScaleY)
{
    m_nSlices = nSlices;
    m_nRings = nRings;
    m_fZ0 = fZ0;
    m_fZ1 = fZ1;
    m_fScaleX = fScaleX;
    m_fScaleY = fScaleY;
    m_pMesh = MeshBuilder::BuildDome((UInt32)nSlices, (UInt32)nRings, DOME_RADIUS);
    return DomeComplete();
}

// Drawing walks the corners into the vertex array, so the dome is taken only
// with every vertex, corner and triangle (the builder gives null when it
// cannot make them).
Int32 Backdrop::DomeComplete() const
{
    if (m_pMesh == nullptr || m_pMesh->GetGroupCount() < 1)
        return 0;
    MeshGroup& rGroup = m_pMesh->GetGroup(0);
    return m_pMesh->GetVertexCount() == m_nSlices * m_nRings + 1 &&
           rGroup.GetCornerCount() == (m_nSlices + 1) * (m_nRings + 1) &&
           rGroup.GetTriangleCount() == m_nSlices * m_nRings * 2;
}

Int32 Backdrop::Draw()
{
    Renderer* pRenderer = SceneRenderer();
    Matrix4* pTop = pRenderer->PushMatrix();

    // M = M * diag(30, 30, -30, 1): the unit dome becomes a bowl of radius
    // 30 whose rim lies at z = 0 and whose pole lies 30 units along +z.
    const float fScaleZ = m_fZ1 - m_fZ0;
    for (int r = 0; r < 4; r++)
    {
        float* pfRow = pTop->m_afEntry + 4 * r;
        pfRow[0] *= m_fScaleX;
        pfRow[1] *= m_fScaleY;
        pfRow[2] *= fScaleZ;
    }

    g_fBackdropAngle += g_FrameTimer.m_fDelta;
    TurnAboutZ(pTop, g_fBackdropAngle);

    m_pMesh->Draw();
    pRenderer->PopMatrix();
    return 1;
}
