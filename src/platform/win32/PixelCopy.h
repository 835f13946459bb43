// PixelCopy: the pixel work behind BitBlt, StretchDIBits, PatBlt and FillRect.
//
// Stretching takes, for destination column i of a w-wide rectangle filled from an s-wide
// source, the source column floor((2i + 1) * s / (2w)): the source pixel under the centre of
// the destination pixel (COLORONCOLOR). Pixels that fall outside either surface are skipped.
// 5-6-5 to 32-bit and 32-bit to 32-bit copies run on fast paths; any other pair goes pixel by
// pixel through PixelLayout's ReadPixel/WritePixel.
#pragma once

#include "PixelLayout.h"

namespace StandIn
{

struct PixelRect
{
    int x, y, nWidth, nHeight; // top-row coordinates; sizes > 0
};

void StretchCopy(const PixelLayout& source, const PixelRect& from, const PixelLayout& target,
                 const PixelRect& to, bool bMirrorX, bool bMirrorY);

void FillRectangle(const PixelLayout& target, const PixelRect& rect, uint32_t uRgb);

} // namespace StandIn
