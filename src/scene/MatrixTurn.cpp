#include "MatrixTurn.h"

#include <cmath>

#include "Matrix4.h"

namespace
{
// Mixes columns a and b of every row by the angle's cosine and sine.
void TurnColumns(float* pfEntries, int a, int b, float fAngle)
{
    const float c = cosf(fAngle);
    const float s = sinf(fAngle);
    for (int r = 0; r < 4; r++)
    {
        float* pfRow = pfEntries + 4 * r;
        const float fA = pfRow[a];
        const float fB = pfRow[b];
        pfRow[a] = c * fA - s * fB;
        pfRow[b] = s * fA + c * fB;
    }
}
} // namespace

void TurnAboutZ(Matrix4* pMatrix, float fTheta)
{
    TurnColumns(pMatrix->m_afEntry, 0, 1, fTheta);
}

void TurnAboutX(Matrix4* pMatrix, float fPhi)
{
    TurnColumns(pMatrix->m_afEntry, 1, 2, fPhi);
}
