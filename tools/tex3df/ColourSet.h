// ColourSet: the distinct RGB colours of a set of pixels with how often each occurs, and the
// nearest of up to 256 candidate colours for any RGB value.
//
// The palette and NCC quantisers work on distinct colours (a texture repeats most of its colours
// many times) and finish by mapping every pixel to the nearest colour of their table. Built once
// per conversion.
#pragma once

#include <vector>

#include "Types.h"

struct WeightedColour
{
    Int32 anRgb[3];
    double fWeight;
};

class ColourSet
{
  public:
    // The distinct colours of the pixels (alpha ignored), sorted, each with its count.
    static std::vector<WeightedColour> Distinct(const std::vector<UInt32>& anArgb);
    // Squared RGB distance.
    static Int32 Distance(const Int32* pnA, const Int32* pnB);
    // Index of the candidate (0xRRGGBB values; nCount of them) nearest to the colour; the lowest
    // index on a tie.
    static Int32 Nearest(const Int32* pnRgb, const Int32 (*panCandidates)[3], Int32 nCount);
};
