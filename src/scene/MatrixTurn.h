// Turns written straight into a matrix of the renderer's stack.
//
// Both multiply M on the right, so the turn acts in object space, before
// everything M already holds. Per frame: three times (twice for the grid,
// once for the dome). Single-precision angles and sines.
#pragma once

class Matrix4;

// M = M * Z(theta): for every row r, (M[r][0], M[r][1]) becomes
// (c*M[r][0] - s*M[r][1], s*M[r][0] + c*M[r][1]). Columns 2 and 3 stay.
void TurnAboutZ(Matrix4* pMatrix, float fTheta);

// M = M * X(phi): for every row r, (M[r][1], M[r][2]) becomes
// (c*M[r][1] - s*M[r][2], s*M[r][1] + c*M[r][2]). Columns 0 and 3 stay.
void TurnAboutX(Matrix4* pMatrix, float fPhi);
