// Camera: projection, rotation and translation, rebuilt only when dirty.
#include "Camera.h"

#include <cmath>

Camera::Camera()
    // Position and angles start as the setters would store a zero vector:
    // negated, so as negative zeros (the default matrix's row 2 ends in -0.0).
    : m_vPosition(-0.0f, -0.0f, -0.0f), m_vAngles(-0.0f, -0.0f, -0.0f), m_fNear(0.0f), m_fFar(1.0f),
      m_fFieldOfView(1.5707964f), m_nDirty(1), m_mMatrix()
{
}

void Camera::SetPosition(const Vector3& vPosition)
{
    m_vPosition = Vector3(-vPosition.m_fX, -vPosition.m_fY, -vPosition.m_fZ);
    m_nDirty = 1;
}

void Camera::SetOrientation(const Vector3& vAngles)
{
    m_vAngles = Vector3(-vAngles.m_fX, -vAngles.m_fY, -vAngles.m_fZ);
    m_nDirty = 1;
}

void Camera::SetNearPlane(float fNear)
{
    m_fNear = fNear;
    m_nDirty = 1;
}

void Camera::SetFarPlane(float fFar)
{
    m_fFar = fFar;
    m_nDirty = 1;
}

void Camera::SetFieldOfView(float fFieldOfView)
{
    m_fFieldOfView = fFieldOfView;
    m_nDirty = 1;
}

Matrix4* Camera::GetMatrix()
{
    if (m_nDirty != 0)
        Rebuild();
    return &m_mMatrix;
}

// M = P*R*T(t), all in single precision. Entry 15 of P is 1, not 0: w = s*e.z + 1
// is at least 1 for every point at or in front of the eye, and with near 0 the
// far distance drops out of the matrix altogether.
void Camera::Rebuild()
{
    const float fHalf = m_fFieldOfView / 2.0f;
    const float c = std::cos(fHalf);
    const float s = std::sin(fHalf);
    const float q = s / (1.0f - m_fNear / m_fFar);

    float* m = m_mMatrix.m_afEntry;
    const float afProjection[16] = {c,    0.0f, 0.0f, 0.0f,         //
                                    0.0f, c,    0.0f, 0.0f,         //
                                    0.0f, 0.0f, q,    -m_fNear * q, //
                                    0.0f, 0.0f, s,    1.0f};
    for (Int32 i = 0; i < 16; ++i)
        m[i] = afProjection[i];

    const float sa = std::sin(m_vAngles.m_fX), ca = std::cos(m_vAngles.m_fX);
    const float sb = std::sin(m_vAngles.m_fY), cb = std::cos(m_vAngles.m_fY);
    const float sg = std::sin(m_vAngles.m_fZ), cg = std::cos(m_vAngles.m_fZ);
    const float r[3][3] = {
        {ca * cg - sa * sb * sg, ca * sg + sa * sb * cg, -sa * cb},
        {-cb * sg, cb * cg, sb},
        {sa * cg + ca * sb * sg, sa * sg - ca * sb * cg, ca * cb},
    };
    for (Int32 i = 0; i < 4; ++i)
    {
        float* row = m + 4 * i;
        const float m0 = row[0], m1 = row[1], m2 = row[2];
        for (Int32 k = 0; k < 3; ++k)
            row[k] = m0 * r[0][k] + m1 * r[1][k] + m2 * r[2][k];
    }

    const Vector3& t = m_vPosition;
    for (Int32 i = 0; i < 4; ++i)
    {
        float* row = m + 4 * i;
        row[3] += row[0] * t.m_fX + row[1] * t.m_fY + row[2] * t.m_fZ;
    }
    m_nDirty = 0;
}
