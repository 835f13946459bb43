// Dither: the ordered-dither matrices and 565 packing.
#include "Dither.h"

// 4x4 matrix of the chip model (rows y = 0..3).
const Byte Dither::s_abMatrix4x4[4][4] = {
    {0, 8, 2, 10},
    {12, 4, 14, 6},
    {3, 11, 1, 9},
    {15, 7, 13, 5},
};

// 2x2 matrix of the Voodoo Graphics model (rows 2 10 / 14 6), tiled. A later chip model uses
// 8 10 / 11 9; the emulated boards are of the first kind (docs/fidelity.md).
const Byte Dither::s_abMatrix2x2[4][4] = {
    {2, 10, 2, 10},
    {14, 6, 14, 6},
    {2, 10, 2, 10},
    {14, 6, 14, 6},
};

const Byte (*Dither::Matrix(DitherMode eMode))[4]
{
    switch (eMode)
    {
    case DitherMode::Disabled:
        return nullptr;
    case DitherMode::Dither2x2:
        return s_abMatrix2x2;
    case DitherMode::Dither4x4:
        return s_abMatrix4x4;
    }
    return nullptr;
}

std::uint16_t Dither::Pack(Int32 nRed, Int32 nGreen, Int32 nBlue, Int32 x, Int32 y,
                           DitherMode eMode)
{
    const Byte(*pMatrix)[4] = Matrix(eMode);
    Int32 nR, nG, nB;
    if (pMatrix)
    {
        const Int32 d = pMatrix[y & 3][x & 3];
        nR = RedBlue5(nRed, d);
        nG = Green6(nGreen, d);
        nB = RedBlue5(nBlue, d);
    }
    else
    {
        nR = nRed >> 3;
        nG = nGreen >> 2;
        nB = nBlue >> 3;
    }
    return std::uint16_t((nR << 11) | (nG << 5) | nB);
}
