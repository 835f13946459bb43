// Tex3dfEncoder: a mip chain to the bytes of a .3df file in any of the 13 Glide 2.x formats
// (layout of glide-reference.md §8.1, as the reader behind gu3dfGetInfo/gu3dfLoad expects it).
//
// Header "3df v1.1", the lower-case format token, the lod range and aspect ratio; then the NCC
// table (YIQ_422, AYIQ_8422: 16 Y, 4 I, 4 Q as big-endian 16-bit words, I and Q signed) or the
// palette (P_8, AP_88: 256 big-endian 0x00RRGGBB words) fitted to the largest level's colours,
// every level's texels mapped to the nearest table colour; then every
// level, largest first, 16-bit texels big-endian. Runs once per conversion.
#pragma once

#include <glide.h>
#include <vector>

#include "MipChain.h"

class Tex3dfEncoder
{
  public:
    static std::vector<Byte> Encode(const MipChain& chain, GrTextureFormat_t format);
};
