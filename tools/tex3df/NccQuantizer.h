// NccQuantizer: an NCC ("YIQ") table for the YIQ_422 and AYIQ_8422 formats.
//
// The device decodes a texel (Y index 4 bits, I 2 bits, Q 2 bits) as
// clamp(Y[y] + I[i].rgb + Q[q].rgb) per channel (glide-reference.md §4.3). The table is fitted
// to the picture's colours in two steps:
//   1. start: the 16 Y values by weighted 1-D k-means of each colour's channel mean; the colour
//      left after removing that grey is projected on its principal axis (PCA of the weighted
//      covariance) and on the perpendicular axis in the chroma plane, and each projection is
//      quantised to 4 levels by 1-D k-means; I and Q are those levels along the two axes;
//   2. refinement by alternating least squares: every colour takes its nearest of the 256 colours
//      the table decodes to; then the Y values, the I entries and the Q entries in turn become
//      the weighted means that minimise the squared error for those choices.
// The table with the least total squared error is kept. Y values lie in 0..255, I and Q in
// -256..255 (9-bit signed). Runs once per conversion.
#pragma once

#include <glide.h>
#include <vector>

#include "ColourSet.h"

class NccQuantizer
{
  public:
    enum
    {
        kRounds = 16
    };
    // Fills yRGB, iRGB and qRGB (signed values) and packed_data.
    static void Build(const std::vector<WeightedColour>& colours, GuNccTable* pTable);
    // The 256 colours the table decodes to, indexed by texel byte, through the device's decoder.
    static void Colours(const GuNccTable& table, Int32 aanColours[256][3]);
};
