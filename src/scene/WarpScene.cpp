#include "WarpScene.h"

#include <cmath>
#include <new>

#include "Backdrop.h"
#include "FrameTimer.h"
#include "KeyFrameRandom.h"
#include "MatrixTurn.h"
#include "Mesh.h"
#include "MeshBuilder.h"
#include "Renderer.h"
#include "SceneAngles.h"
#include "SceneAccess.h"

float g_fSceneAngle = 0.0f;

namespace
{
const Int32 GRID_COLUMNS = 25;
const Int32 GRID_ROWS = 25;

// The camera stands back from the grid in proportion to its width:
// 25 columns put it at z = -7.142857.
const float CAMERA_DISTANCE_PER_COLUMN = -0.2857143f;
const float FAR_PLANE = 50.0f;

// A key frame lasts one second (plus part of a frame: the change happens on
// the first frame that is strictly later).
const float KEY_FRAME_SECONDS = 1.0f;

// The overall height swells, flattens and inverts with a period of 2*pi*10 s.
const float AMPLITUDE_RATE = 0.1f;
const float AMPLITUDE_SCALE = 10.0f;

// The grid turns 2/3 as fast about its x axis as about its z axis.
const float SECOND_TURN_RATIO = 0.6666667f;

// The single-precision value nearest 1/32767: a drawn 32767 gives exactly 1.0.
const float HEIGHT_PER_DRAW = 3.0518509e-05f;

// The dome: 16 slices, 20 rings, rim at z = 0, pole 30 units further on.
const Int32 DOME_SLICES = 16;
const Int32 DOME_RINGS = 20;
const float DOME_Z0 = 30.0f;
const float DOME_Z1 = 0.0f;
const float DOME_SCALE_X = 30.0f;
const float DOME_SCALE_Y = 30.0f;
} // namespace

// Every member starts null or zero, not only the mesh and the key-frame
// arrays, so Destroy on a scene whose Create never ran (or stopped part way)
// releases nothing it does not own.
WarpScene::WarpScene()
    : m_pMesh(nullptr), m_nColumns(0), m_nRows(0), m_pTargetColours(nullptr),
      m_pTargetHeights(nullptr), m_pPreviousColours(nullptr), m_pPreviousHeights(nullptr),
      m_pBackdrop(nullptr), m_fKeyTime(0.0f), m_fAmplitude(0.0f)
{
}

Int32 WarpScene::Create()
{
    Renderer* pRenderer = SceneRenderer();

    m_nRows = GRID_ROWS;
    m_nColumns = GRID_COLUMNS;
    m_pMesh = MeshBuilder::BuildGrid((UInt32)m_nColumns, (UInt32)m_nRows);
    // A failed allocation is reported to the shell (which shows its
    // assertion box) instead of being written to or drawn from later.
    if (!GridComplete())
        return 0;
    CentreGrid();

    if (!CreateKeyFrames())
        return 0;
    NewKeyFrame();

    Camera* pCamera = pRenderer->GetCamera();
    pCamera->SetPosition(Vector3(0.0f, 0.0f, (float)m_nColumns * CAMERA_DISTANCE_PER_COLUMN));
    pCamera->SetFarPlane(FAR_PLANE);

    m_pBackdrop = new (std::nothrow) Backdrop();
    if (m_pBackdrop == nullptr)
        return 0;
    if (!m_pBackdrop->Init(DOME_SLICES, DOME_RINGS, DOME_Z0, DOME_Z1, DOME_SCALE_X, DOME_SCALE_Y))
        return 0;

    m_fKeyTime = 0.0f;
    g_FrameTimer.Start(1.0f, 0.0f);
    return 1;
}

// The scene writes every vertex and corner of the grid by index, so it takes
// only a grid that has them all (the builder gives null when it cannot).
Int32 WarpScene::GridComplete() const
{
    const Int32 nCount = m_nColumns * m_nRows;
    return m_pMesh != nullptr && m_pMesh->GetVertexCount() == nCount &&
           m_pMesh->GetGroupCount() >= 1 && m_pMesh->GetGroup(0).GetCornerCount() == nCount;
}

// Moves the grid so that it is centred on the origin: x and y then run from
// -12.5 to 11.5 in steps of 1.0.
void WarpScene::CentreGrid()
{
    const float fOffsetX = (float)m_nColumns * 0.5f;
    const float fOffsetY = (float)m_nRows * 0.5f;
    Int32 n = 0;
    for (Int32 i = 0; i < m_nRows; i++)
    {
        for (Int32 j = 0; j < m_nColumns; j++, n++)
        {
            MeshVertex& rVertex = m_pMesh->GetVertex(n);
            rVertex.m_fX -= fOffsetX;
            rVertex.m_fY -= fOffsetY;
        }
    }
}

// Allocates the four key-frame arrays and zeroes the target, which the first
// NewKeyFrame turns into the previous key frame: the grid rises out of a flat
// black sheet during the first second.
Int32 WarpScene::CreateKeyFrames()
{
    const Int32 nCount = m_nColumns * m_nRows;
    m_pTargetColours = new (std::nothrow) KeyColour[nCount];
    m_pTargetHeights = new (std::nothrow) float[nCount];
    m_pPreviousColours = new (std::nothrow) KeyColour[nCount];
    m_pPreviousHeights = new (std::nothrow) float[nCount];
    if (m_pTargetColours == nullptr || m_pTargetHeights == nullptr ||
        m_pPreviousColours == nullptr || m_pPreviousHeights == nullptr)
        return 0;

    for (Int32 n = 0; n < nCount; n++)
    {
        m_pTargetColours[n].m_byRed = 0;
        m_pTargetColours[n].m_byGreen = 0;
        m_pTargetColours[n].m_byBlue = 0;
        m_pTargetColours[n].m_byUnused = 0;
        m_pTargetHeights[n] = 0.0f;
    }
    return 1;
}

Int32 WarpScene::Frame()
{
    Renderer* pRenderer = SceneRenderer();

    g_FrameTimer.Update();
    const float fTime = g_FrameTimer.m_fTime;
    g_fSceneAngle += g_FrameTimer.m_fDelta;

    if (!pRenderer->BeginFrame())
        return 0;

    float fElapsed = fTime - m_fKeyTime;
    if (fElapsed > KEY_FRAME_SECONDS)
    {
        m_fKeyTime = fTime;
        fElapsed = fTime - m_fKeyTime;
        NewKeyFrame();
    }

    m_fAmplitude = sinf(fTime * AMPLITUDE_RATE) * AMPLITUDE_SCALE;
    Blend(fElapsed);

    pRenderer->PushMatrix();
    TurnGrid();
    m_pMesh->Draw();
    pRenderer->PopMatrix();

    m_pBackdrop->Draw();

    pRenderer->Flush();

    DisplayDevice* pDisplay = SceneDisplay();
    pDisplay->EndFrame();
    pDisplay->Clear(0, 0, 0);
    return 1;
}

// The grid turns at 1 radian per second about its own z axis and at 2/3
// radian per second about its own x axis: M becomes M * Z(theta) * X(phi),
// so a vertex is turned in its y-z plane first, then in its x-y plane.
void WarpScene::TurnGrid()
{
    Matrix4* pTop = SceneRenderer()->GetTopMatrix();
    TurnAboutZ(pTop, g_fSceneAngle);
    TurnAboutX(pTop, g_fSceneAngle * SECOND_TURN_RATIO);
}

void WarpScene::NewKeyFrame()
{
    KeyColour* pColours = m_pTargetColours;
    m_pTargetColours = m_pPreviousColours;
    m_pPreviousColours = pColours;
    float* pHeights = m_pTargetHeights;
    m_pTargetHeights = m_pPreviousHeights;
    m_pPreviousHeights = pHeights;

    const Int32 nCount = m_nColumns * m_nRows;
    for (Int32 n = 0; n < nCount; n++)
    {
        const Int32 r1 = g_KeyFrameRandom.Next();
        const Int32 r2 = g_KeyFrameRandom.Next();
        const Int32 r3 = g_KeyFrameRandom.Next();
        const Int32 r4 = g_KeyFrameRandom.Next();
        m_pTargetColours[n].m_byRed = (Byte)(r1 % 256);
        m_pTargetColours[n].m_byGreen = (Byte)(r2 % 256);
        m_pTargetColours[n].m_byBlue = (Byte)(r3 % 256);
        m_pTargetHeights[n] = (float)r4 * HEIGHT_PER_DRAW;
    }
}

namespace
{
// One colour channel between two key frames, truncated toward zero.
Byte BlendChannel(Byte byTarget, Byte byPrevious, float fT, float fU)
{
    return (Byte)(Int32)((float)byTarget * fT + (float)byPrevious * fU);
}
} // namespace

void WarpScene::Blend(float fT)
{
    const float fU = 1.0f - fT;

    Int32 n = 0;
    for (Int32 i = 0; i < m_nRows; i++)
    {
        for (Int32 j = 0; j < m_nColumns; j++, n++)
        {
            const float fHeight = m_pTargetHeights[n] * fT + m_pPreviousHeights[n] * fU;
            m_pMesh->GetVertex(n).m_fZ = fHeight * m_fAmplitude;
        }
    }

    MeshGroup& rGroup = m_pMesh->GetGroup(0);
    n = 0;
    for (Int32 i = 0; i < m_nRows; i++)
    {
        for (Int32 j = 0; j < m_nColumns; j++, n++)
        {
            const KeyColour& rTarget = m_pTargetColours[n];
            const KeyColour& rPrevious = m_pPreviousColours[n];
            MeshCorner& rCorner = rGroup.GetCorner(n);
            rCorner.m_bRed = BlendChannel(rTarget.m_byRed, rPrevious.m_byRed, fT, fU);
            rCorner.m_bGreen = BlendChannel(rTarget.m_byGreen, rPrevious.m_byGreen, fT, fU);
            rCorner.m_bBlue = BlendChannel(rTarget.m_byBlue, rPrevious.m_byBlue, fT, fU);
        }
    }
}

void WarpScene::Destroy()
{
    if (m_pBackdrop != nullptr)
    {
        delete m_pBackdrop;
        m_pBackdrop = nullptr;
    }
    if (m_pMesh != nullptr)
    {
        delete m_pMesh;
        m_pMesh = nullptr;
    }
    if (m_pTargetColours != nullptr)
    {
        delete[] m_pTargetColours;
        m_pTargetColours = nullptr;
    }
    if (m_pTargetHeights != nullptr)
    {
        delete[] m_pTargetHeights;
        m_pTargetHeights = nullptr;
    }
    if (m_pPreviousColours != nullptr)
    {
        delete[] m_pPreviousColours;
        m_pPreviousColours = nullptr;
    }
    if (m_pPreviousHeights != nullptr)
    {
        delete[] m_pPreviousHeights;
        m_pPreviousHeights = nullptr;
    }
}

// The emergency path: the shell frees the object right after this call and
// the process ends, so nothing is released here.
void WarpScene::Terminate() {}
