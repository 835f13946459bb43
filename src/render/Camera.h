// Camera: the view and projection that start every frame's matrix stack.
//
// Owner: the Renderer (its first member, constructed before everything else
// in it); reached through Renderer::GetCamera.
// Lifecycle: defaults at construction (position and angles 0, near 0.0,
// far 1.0, field of view pi/2). The scene sets the position and the far
// distance once after building its meshes.
// Per frame: Renderer::BeginFrame calls GetMatrix, which rebuilds the cached
// matrix only when a setter has run since the last rebuild.
//
// Units: distances in world units, angles in radians, single precision.
#pragma once

#include "Matrix4.h"
#include "Types.h"
#include "Vector3.h"

class Camera
{
  public:
    Camera();

    // Stores (-p.x, -p.y, -p.z): the translation applied to the world.
    void SetPosition(const Vector3& vPosition);
    // Stores (-a.x, -a.y, -a.z); the rotation is then Ry(a.x)*Rx(a.y)*Rz(a.z).
    void SetOrientation(const Vector3& vAngles);
    void SetNearPlane(float fNear);
    void SetFarPlane(float fFar);
    void SetFieldOfView(float fFieldOfView); // full angle, radians

    // The cached camera matrix P*R*T, rebuilt first when a setter has run.
    // The pointer stays valid for the camera's lifetime.
    Matrix4* GetMatrix();

  private:
    void Rebuild();

    Vector3 m_vPosition;  // stored negated
    Vector3 m_vAngles;    // stored negated
    float m_fNear;        // near distance n
    float m_fFar;         // far distance f
    float m_fFieldOfView; // full field of view
    Int32 m_nDirty;       // non-zero: rebuild before use
    Matrix4 m_mMatrix;    // the cached matrix; not set until the first rebuild
};
