// PaletteQuantizer: median cut, then weighted k-means refinement.
#include "PaletteQuantizer.h"

#include <algorithm>
#include <cmath>

namespace
{
struct Box
{
    size_t nBegin; // range of the working colour array
    size_t nEnd;
};

Int32 WidestChannel(const std::vector<WeightedColour>& colours, const Box& box, Int32* pnRange)
{
    Int32 anMin[3] = {255, 255, 255};
    Int32 anMax[3] = {0, 0, 0};
    for (size_t i = box.nBegin; i < box.nEnd; ++i)
    {
        for (Int32 c = 0; c < 3; ++c)
        {
            anMin[c] = std::min(anMin[c], colours[i].anRgb[c]);
            anMax[c] = std::max(anMax[c], colours[i].anRgb[c]);
        }
    }
    Int32 nWidest = 0;
    for (Int32 c = 1; c < 3; ++c)
    {
        nWidest = anMax[c] - anMin[c] > anMax[nWidest] - anMin[nWidest] ? c : nWidest;
    }
    *pnRange = anMax[nWidest] - anMin[nWidest];
    return nWidest;
}

// Splits the box at the pixel-weighted median of its widest channel; both halves non-empty.
void SplitBox(std::vector<WeightedColour>& colours, Box* pBox, Box* pNew)
{
    Int32 nRange = 0;
    const Int32 nChannel = WidestChannel(colours, *pBox, &nRange);
    std::sort(colours.begin() + long(pBox->nBegin), colours.begin() + long(pBox->nEnd),
              [nChannel](const WeightedColour& a, const WeightedColour& b)
              { return a.anRgb[nChannel] < b.anRgb[nChannel]; });
    double fTotal = 0;
    for (size_t i = pBox->nBegin; i < pBox->nEnd; ++i)
    {
        fTotal += colours[i].fWeight;
    }
    double fSum = 0;
    size_t nSplit = pBox->nBegin + 1;
    for (size_t i = pBox->nBegin; i + 1 < pBox->nEnd; ++i)
    {
        fSum += colours[i].fWeight;
        nSplit = i + 1;
        if (fSum >= fTotal / 2)
        {
            break;
        }
    }
    pNew->nBegin = nSplit;
    pNew->nEnd = pBox->nEnd;
    pBox->nEnd = nSplit;
}

// The total weighted squared distance of a box's colours from their mean.
double SquaredError(const std::vector<WeightedColour>& colours, const Box& box)
{
    double afSum[3] = {0, 0, 0}, afSquares[3] = {0, 0, 0}, fWeight = 0;
    for (size_t i = box.nBegin; i < box.nEnd; ++i)
    {
        for (Int32 c = 0; c < 3; ++c)
        {
            afSum[c] += colours[i].fWeight * colours[i].anRgb[c];
            afSquares[c] += colours[i].fWeight * colours[i].anRgb[c] * colours[i].anRgb[c];
        }
        fWeight += colours[i].fWeight;
    }
    double fError = 0;
    for (Int32 c = 0; c < 3; ++c)
    {
        fError += afSquares[c] - afSum[c] * afSum[c] / fWeight;
    }
    return fError;
}

// The box to split next: the one of two or more colours whose colours lie furthest from their
// mean in total (most pixels times most spread), so splitting it gains most.
int PickBox(const std::vector<WeightedColour>& colours, const std::vector<Box>& boxes,
            size_t* pnPick)
{
    double fBestError = 0;
    for (size_t i = 0; i < boxes.size(); ++i)
    {
        if (boxes[i].nEnd - boxes[i].nBegin >= 2)
        {
            const double fError = SquaredError(colours, boxes[i]);
            if (fError > fBestError)
            {
                fBestError = fError;
                *pnPick = i;
            }
        }
    }
    return fBestError > 0;
}

void MeanOf(const std::vector<WeightedColour>& colours, const Box& box, Int32* pnRgb)
{
    double afSum[3] = {0, 0, 0};
    double fWeight = 0;
    for (size_t i = box.nBegin; i < box.nEnd; ++i)
    {
        for (Int32 c = 0; c < 3; ++c)
        {
            afSum[c] += colours[i].anRgb[c] * colours[i].fWeight;
        }
        fWeight += colours[i].fWeight;
    }
    for (Int32 c = 0; c < 3; ++c)
    {
        pnRgb[c] = Int32(std::lround(afSum[c] / fWeight));
    }
}

// One Lloyd round: every colour to its nearest entry, every used entry to its members' mean.
// Returns 0 when no entry moved.
int Refine(const std::vector<WeightedColour>& colours, Int32 aanPalette[][3], Int32 nUsed)
{
    std::vector<double> afSums(size_t(nUsed) * 4, 0.0);
    for (const WeightedColour& colour : colours)
    {
        const Int32 n = ColourSet::Nearest(colour.anRgb, aanPalette, nUsed);
        for (Int32 c = 0; c < 3; ++c)
        {
            afSums[size_t(n) * 4 + size_t(c)] += colour.anRgb[c] * colour.fWeight;
        }
        afSums[size_t(n) * 4 + 3] += colour.fWeight;
    }
    int bMoved = 0;
    for (Int32 n = 0; n < nUsed; ++n)
    {
        const double fWeight = afSums[size_t(n) * 4 + 3];
        for (Int32 c = 0; c < 3 && fWeight > 0; ++c)
        {
            const Int32 nMean = Int32(std::lround(afSums[size_t(n) * 4 + size_t(c)] / fWeight));
            bMoved |= nMean != aanPalette[n][c];
            aanPalette[n][c] = nMean;
        }
    }
    return bMoved;
}
} // namespace

Int32 PaletteQuantizer::Build(const std::vector<WeightedColour>& colours,
                              Int32 aanPalette[kEntries][3])
{
    for (Int32 n = 0; n < kEntries; ++n)
    {
        aanPalette[n][0] = aanPalette[n][1] = aanPalette[n][2] = 0;
    }
    if (colours.empty())
    {
        return 0;
    }
    std::vector<WeightedColour> working = colours;
    std::vector<Box> boxes(1, Box{0, working.size()});
    size_t nPick = 0;
    while (boxes.size() < size_t(kEntries) && PickBox(working, boxes, &nPick))
    {
        Box added = {0, 0};
        SplitBox(working, &boxes[nPick], &added);
        boxes.push_back(added);
    }
    const Int32 nUsed = Int32(boxes.size());
    for (Int32 n = 0; n < nUsed; ++n)
    {
        MeanOf(working, boxes[size_t(n)], aanPalette[n]);
    }
    // With no more distinct colours than entries every box holds one colour: already exact.
    for (Int32 nRound = 0; colours.size() > size_t(kEntries) && nRound < kRefinementRounds;
         ++nRound)
    {
        if (!Refine(colours, aanPalette, nUsed))
        {
            break;
        }
    }
    return nUsed;
}
