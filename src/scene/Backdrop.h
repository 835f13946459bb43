// Backdrop: the large textured dome beyond the grid, turning about the
// viewing axis.
//
// Owned by the WarpScene, which creates it in Create (construction, then
// Backdrop::Init) and destroys it in Application::Destroy. The Backdrop owns
// its dome mesh. Backdrop::Draw runs once per frame, after the grid and
// before the renderer's flush.
#pragma once
#include "Types.h"

class Mesh;

class Backdrop
{
  public:
    Backdrop();
    ~Backdrop();

    // Stores the dome's size and scale and builds a dome of radius 1.0 with
    // the given slices and rings. The dome is drawn scaled by fScaleX along
    // x, fScaleY along y and fZ1 - fZ0 along z. Returns 1, or 0 when the
    // mesh could not be built whole.
    Int32 Init(Int32 nSlices, Int32 nRings, float fZ0, float fZ1, float fScaleX, float fScaleY);

    // Per frame: advances g_fBackdropAngle by the frame step and queues the
    // dome under the renderer's top matrix, scaled and turned. Returns 1.
    Int32 Draw();

    Mesh* GetMesh() const { return m_pMesh; }

  private:
    Int32 DomeComplete() const;

    Int32 m_nSlices;
    Int32 m_nRings;
    float m_fZ0;
    float m_fZ1;
    float m_fScaleX;
    float m_fScaleY;
    Mesh* m_pMesh;
};
