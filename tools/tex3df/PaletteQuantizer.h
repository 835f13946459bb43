// PaletteQuantizer: a 256-colour palette for the P_8 and AP_88 formats.
//
// A picture of at most 256 distinct colours gets exactly those colours (lossless). Otherwise
// median cut (split the box whose colours lie furthest from their mean in total, along its
// widest channel at the pixel-weighted median, until there are 256 boxes), then k-means (Lloyd)
// refinement of the box means, weighted by pixel counts. Colour distance is squared RGB distance;
// alpha is not part of the palette (AP_88 keeps it in the texel's high byte). Runs once per
// conversion.
#pragma once

#include <vector>

#include "ColourSet.h"

class PaletteQuantizer
{
  public:
    enum
    {
        kEntries = 256,
        kRefinementRounds = 20
    };
    // Fills aanPalette (unused entries black) and returns how many entries are in use.
    static Int32 Build(const std::vector<WeightedColour>& colours, Int32 aanPalette[kEntries][3]);
};
