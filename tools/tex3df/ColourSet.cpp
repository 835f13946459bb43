// ColourSet: distinct colours and nearest-candidate search.
#include "ColourSet.h"

#include <algorithm>

std::vector<WeightedColour> ColourSet::Distinct(const std::vector<UInt32>& anArgb)
{
    std::vector<UInt32> anRgb(anArgb.size());
    for (size_t i = 0; i < anArgb.size(); ++i)
    {
        anRgb[i] = anArgb[i] & 0xFFFFFFu;
    }
    std::sort(anRgb.begin(), anRgb.end());
    std::vector<WeightedColour> colours;
    for (size_t i = 0; i < anRgb.size(); ++i)
    {
        if (i > 0 && anRgb[i] == anRgb[i - 1])
        {
            colours.back().fWeight += 1.0;
            continue;
        }
        WeightedColour colour;
        colour.anRgb[0] = Int32((anRgb[i] >> 16) & 0xFF);
        colour.anRgb[1] = Int32((anRgb[i] >> 8) & 0xFF);
        colour.anRgb[2] = Int32(anRgb[i] & 0xFF);
        colour.fWeight = 1.0;
        colours.push_back(colour);
    }
    return colours;
}

Int32 ColourSet::Distance(const Int32* pnA, const Int32* pnB)
{
    const Int32 dr = pnA[0] - pnB[0], dg = pnA[1] - pnB[1], db = pnA[2] - pnB[2];
    return dr * dr + dg * dg + db * db;
}

Int32 ColourSet::Nearest(const Int32* pnRgb, const Int32 (*panCandidates)[3], Int32 nCount)
{
    Int32 nBest = 0;
    Int32 nBestDistance = Distance(pnRgb, panCandidates[0]);
    for (Int32 i = 1; i < nCount && nBestDistance > 0; ++i)
    {
        const Int32 nDistance = Distance(pnRgb, panCandidates[i]);
        if (nDistance < nBestDistance)
        {
            nBest = i;
            nBestDistance = nDistance;
        }
    }
    return nBest;
}
