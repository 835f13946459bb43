// Dither: 8-bit colour to RGB565 with the chip's ordered dither (glide-reference.md §6.2).
//
// Stateless. The matrices and the rounding formulas are those of the chip model that is known to
// match the hardware: red and blue 5-bit = (2v - (v >> 4) + (v >> 7) + d) >> 4, green 6-bit =
// (4v - (v >> 4) + (v >> 6) + d) >> 4, with d the matrix value at (x & 3, y & 3); without
// dithering the channels are truncated (v >> 3, v >> 2). Used per pixel by the span renderer
// (through its own vectorised copy of these formulas) and by buffer clears.
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

    static Int32 RedBlue5(Int32 nValue, Int32 nDither)
    {
        return (2 * nValue - (nValue >> 4) + (nValue >> 7) + nDither) >> 4;
    }
    static Int32 Green6(Int32 nValue, Int32 nDither)
    {
        return (4 * nValue - (nValue >> 4) + (nValue >> 6) + nDither) >> 4;
    }

    // One pixel packed to 565 at screen position (x, y).
    static std::uint16_t Pack(Int32 nRed, Int32 nGreen, Int32 nBlue, Int32 x, Int32 y,
                              DitherMode eMode);

    // Destination expansion for blending: bit replication (5 bits: (v << 3) | (v >> 2),
    // 6 bits: (v << 2) | (v >> 4)).
    static Int32 ExpandRed(std::uint16_t nPixel) { return Widen5(nPixel >> 11); }
    static Int32 ExpandGreen(std::uint16_t nPixel) { return Widen6((nPixel >> 5) & 0x3F); }
    static Int32 ExpandBlue(std::uint16_t nPixel) { return Widen5(nPixel & 0x1F); }

  private:
    static Int32 Widen5(Int32 n) { return (n << 3) | (n >> 2); }
    static Int32 Widen6(Int32 n) { return (n << 2) | (n >> 4); }
};
