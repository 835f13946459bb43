// Dither: 8-bit colour to RGB565 with the chip's ordered dither (glide-reference.md §6.2).
//
// Stateless. The matrices are those of the chip model that is known to match the hardware; the
// rounding is PixelMath's (red and blue 5-bit = (2v - (v >> 4) + (v >> 7) + d) >> 4, green 6-bit
// = (4v - (v >> 4) + (v >> 6) + d) >> 4, with d the matrix value at (x & 3, y & 3); without
// dithering the channels are truncated). The pixel pipeline reads the matrices; buffer clears
// pack their colour here.
#pragma once
#include "DeviceState.h"
#include "Types.h"
#include <cstdint>

class Dither
{
  public:
    // Matrix values (0..15) indexed [y & 3][x & 3]; the 2x2 matrix is tiled to 4x4.
    static const Byte s_abMatrix4x4[4][4];
    static const Byte s_abMatrix2x2[4][4];

    // The matrix of a mode, or null for no dithering.
    static const Byte (*Matrix(DitherMode eMode))[4];

    // One channel rounded with the matrix value nDither (PixelMath's formulas).
    static Int32 RedBlue5(Int32 nValue, Int32 nDither);
    static Int32 Green6(Int32 nValue, Int32 nDither);

    // One pixel packed to 565 at screen position (x, y).
    static std::uint16_t Pack(Int32 nRed, Int32 nGreen, Int32 nBlue, Int32 x, Int32 y,
                              DitherMode eMode);
};
