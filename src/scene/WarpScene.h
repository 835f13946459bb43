// WarpScene: the Vellumtide scene, the one implementation of Application.
//
// A 25 x 25 texture-mapped grid whose heights and vertex colours glide once a
// second from one random key frame to the next, whose overall height swells,
// flattens and inverts slowly, and which turns about two axes in front of the
// camera; beyond it the Backdrop dome turns about the viewing axis.
//
// Owner: the shell (g_pApp). Lifecycle: CreateApplication (own fields only,
// before the engine opens) -> Create (once, engine open) -> Frame (per frame)
// -> Application::Destroy (normal end) or Application::Terminate (emergency
// path, does nothing). The scene owns its grid mesh, the four key-frame
// arrays and the Backdrop. Nothing is allocated per frame: the key-frame
// arrays change roles by pointer exchange, and the grid's heights and corner
// colours are rewritten in place.
#pragma once
#include "Application.h"
#include "KeyColour.h"
#include "Types.h"

class Mesh;
class Backdrop;

class WarpScene : public Application
{
  public:
    WarpScene();

    Int32 Create() override;
    void Destroy() override;
    void Terminate() override;
    Int32 Frame() override;

    // Makes the target key frame the previous one (pointer exchange) and
    // draws a new random target: four numbers per vertex, in vertex order.
    void NewKeyFrame();

    // Writes into the grid, for every vertex n: height = (target * t +
    // previous * (1 - t)) * amplitude, and corner colour likewise, truncated.
    void Blend(float fT);

    // Read access for tests and tools; the scene keeps ownership.
    Mesh* GetMesh() const { return m_pMesh; }
    Backdrop* GetBackdrop() const { return m_pBackdrop; }
    Int32 GetColumns() const { return m_nColumns; }
    Int32 GetRows() const { return m_nRows; }
    const KeyColour* GetTargetColours() const { return m_pTargetColours; }
    const float* GetTargetHeights() const { return m_pTargetHeights; }
    const KeyColour* GetPreviousColours() const { return m_pPreviousColours; }
    const float* GetPreviousHeights() const { return m_pPreviousHeights; }
    float GetKeyTime() const { return m_fKeyTime; }
    float GetAmplitude() const { return m_fAmplitude; }

  private:
    Int32 GridComplete() const;
    Int32 CreateKeyFrames();
    void CentreGrid();
    void TurnGrid();

    Mesh* m_pMesh;
    Int32 m_nColumns;
    Int32 m_nRows;
    KeyColour* m_pTargetColours;
    float* m_pTargetHeights;
    KeyColour* m_pPreviousColours;
    float* m_pPreviousHeights;
    Backdrop* m_pBackdrop;
    float m_fKeyTime;
    float m_fAmplitude;
};
