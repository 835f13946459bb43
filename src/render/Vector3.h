// Vector3: three single-precision floats (a position, or three angles in
// radians). A plain value; copied freely.
#pragma once

class Vector3
{
  public:
    Vector3() : m_fX(0.0f), m_fY(0.0f), m_fZ(0.0f) {}
    Vector3(float fX, float fY, float fZ) : m_fX(fX), m_fY(fY), m_fZ(fZ) {}

    float m_fX;
    float m_fY;
    float m_fZ;
};
