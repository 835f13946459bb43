// Dither: the ordered-dither matrices and 565 packing.
#include "Dither.h"
#include "LanesScalar.h"
#include "PixelMath.h"

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

Int32 Dither::RedBlue5(Int32 nValue, Int32 nDither)
{
    using namespace Scalar;
    return PixelMath::DitherRedBlue(Splat<I16>(nValue), Splat<I16>(nDither)).a[0];
}

Int32 Dither::Green6(Int32 nValue, Int32 nDither)
{
    using namespace Scalar;
    return PixelMath::DitherGreen(Splat<I16>(nValue), Splat<I16>(nDither)).a[0];
}

std::uint16_t Dither::Pack(Int32 nRed, Int32 nGreen, Int32 nBlue, Int32 x, Int32 y,
                           DitherMode eMode)
{
    using namespace Scalar;
    const Byte(*pMatrix)[4] = Matrix(eMode);
    const I16 r = Splat<I16>(nRed), g = Splat<I16>(nGreen), b = Splat<I16>(nBlue);
    const I16 pixel = pMatrix ? PixelMath::PackDithered(r, g, b, Splat<I16>(pMatrix[y & 3][x & 3]))
                              : PixelMath::PackTruncated(r, g, b);
    return std::uint16_t(pixel.a[0]);
}
