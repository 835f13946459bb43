// NccQuantizer: PCA start, then alternating least squares (see the header).
#include "NccQuantizer.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "Gu3dfTable.h"
#include "TexelDecoder.h"

namespace
{
struct NccModel
{
    double afY[16];
    double aafI[4][3];
    double aafQ[4][3];
};

typedef std::vector<std::pair<double, double>> WeightedValues; // (value, weight)

// Weighted 1-D k-means, started at the weighted quantiles (j + 0.5) / k.
void KMeans1D(WeightedValues values, Int32 k, double* pfCentres)
{
    std::sort(values.begin(), values.end());
    double fTotal = 0;
    for (const auto& value : values)
    {
        fTotal += value.second;
    }
    double fSum = 0;
    Int32 j = 0;
    for (const auto& value : values)
    {
        fSum += value.second;
        while (j < k && fSum >= (j + 0.5) * fTotal / k)
        {
            pfCentres[j++] = value.first;
        }
    }
    for (; j < k; ++j)
    {
        pfCentres[j] = values.empty() ? 0.0 : values.back().first;
    }
    for (Int32 nRound = 0; nRound < 30; ++nRound)
    {
        std::vector<double> afSum(size_t(k), 0.0), afWeight(size_t(k), 0.0);
        for (const auto& value : values)
        {
            Int32 nBest = 0;
            for (Int32 c = 1; c < k; ++c)
            {
                nBest = std::fabs(value.first - pfCentres[c]) <
                                std::fabs(value.first - pfCentres[nBest])
                            ? c
                            : nBest;
            }
            afSum[size_t(nBest)] += value.first * value.second;
            afWeight[size_t(nBest)] += value.second;
        }
        for (Int32 c = 0; c < k; ++c)
        {
            pfCentres[c] =
                afWeight[size_t(c)] > 0 ? afSum[size_t(c)] / afWeight[size_t(c)] : pfCentres[c];
        }
    }
}

double ChannelMean(const WeightedColour& colour)
{
    return (colour.anRgb[0] + colour.anRgb[1] + colour.anRgb[2]) / 3.0;
}

// The principal axis of the colours' chroma (colour minus its channel mean), by power iteration
// on the weighted covariance; a fixed axis of the chroma plane when there is no chroma at all.
void PrincipalAxis(const std::vector<WeightedColour>& colours, double* pfAxis)
{
    double aafCov[3][3] = {};
    for (const WeightedColour& colour : colours)
    {
        double afD[3];
        for (Int32 c = 0; c < 3; ++c)
        {
            afD[c] = colour.anRgb[c] - ChannelMean(colour);
        }
        for (Int32 r = 0; r < 3; ++r)
        {
            for (Int32 c = 0; c < 3; ++c)
            {
                aafCov[r][c] += colour.fWeight * afD[r] * afD[c];
            }
        }
    }
    double afV[3] = {1.0 / std::sqrt(2.0), -1.0 / std::sqrt(2.0), 0.0};
    for (Int32 nRound = 0; nRound < 100; ++nRound)
    {
        double afNext[3] = {0, 0, 0};
        for (Int32 r = 0; r < 3; ++r)
        {
            for (Int32 c = 0; c < 3; ++c)
            {
                afNext[r] += aafCov[r][c] * (afV[c] + (c == 2 ? 1e-3 : 0.0));
            }
        }
        const double fNorm =
            std::sqrt(afNext[0] * afNext[0] + afNext[1] * afNext[1] + afNext[2] * afNext[2]);
        if (fNorm < 1e-9)
        {
            break;
        }
        for (Int32 c = 0; c < 3; ++c)
        {
            afV[c] = afNext[c] / fNorm;
        }
    }
    std::copy(afV, afV + 3, pfAxis);
}

// The axis of the chroma plane perpendicular to the first: (1,1,1) x axis, normalised.
void SecondAxis(const double* pfFirst, double* pfSecond)
{
    const double afCross[3] = {pfFirst[2] - pfFirst[1], pfFirst[0] - pfFirst[2],
                               pfFirst[1] - pfFirst[0]};
    const double fNorm =
        std::sqrt(afCross[0] * afCross[0] + afCross[1] * afCross[1] + afCross[2] * afCross[2]);
    for (Int32 c = 0; c < 3; ++c)
    {
        pfSecond[c] = fNorm > 1e-9 ? afCross[c] / fNorm : 0.0;
    }
}

void StartLevels(const std::vector<WeightedColour>& colours, const double* pfAxis,
                 double aafEntries[4][3])
{
    WeightedValues projections;
    for (const WeightedColour& colour : colours)
    {
        double fProjection = 0;
        for (Int32 c = 0; c < 3; ++c)
        {
            fProjection += (colour.anRgb[c] - ChannelMean(colour)) * pfAxis[c];
        }
        projections.push_back(std::make_pair(fProjection, colour.fWeight));
    }
    double afLevels[4];
    KMeans1D(projections, 4, afLevels);
    for (Int32 i = 0; i < 4; ++i)
    {
        for (Int32 c = 0; c < 3; ++c)
        {
            aafEntries[i][c] = afLevels[i] * pfAxis[c];
        }
    }
}

NccModel StartModel(const std::vector<WeightedColour>& colours)
{
    NccModel model;
    WeightedValues greys;
    for (const WeightedColour& colour : colours)
    {
        greys.push_back(std::make_pair(ChannelMean(colour), colour.fWeight));
    }
    KMeans1D(greys, 16, model.afY);
    std::sort(model.afY, model.afY + 16);
    double afFirst[3], afSecond[3];
    PrincipalAxis(colours, afFirst);
    SecondAxis(afFirst, afSecond);
    StartLevels(colours, afFirst, model.aafI);
    StartLevels(colours, afSecond, model.aafQ);
    return model;
}

Int32 RoundClamped(double f, Int32 nMin, Int32 nMax)
{
    return std::max(nMin, std::min(nMax, Int32(std::lround(f))));
}

void ToTable(const NccModel& model, GuNccTable* pTable)
{
    for (Int32 y = 0; y < 16; ++y)
    {
        pTable->yRGB[y] = FxU8(RoundClamped(model.afY[y], 0, 255));
    }
    for (Int32 i = 0; i < 4; ++i)
    {
        for (Int32 c = 0; c < 3; ++c)
        {
            pTable->iRGB[i][c] = FxI16(RoundClamped(model.aafI[i][c], -256, 255));
            pTable->qRGB[i][c] = FxI16(RoundClamped(model.aafQ[i][c], -256, 255));
        }
    }
    Gu3dfTable::PackNcc(pTable);
}

NccModel FromTable(const GuNccTable& table)
{
    NccModel model;
    for (Int32 y = 0; y < 16; ++y)
    {
        model.afY[y] = table.yRGB[y];
    }
    for (Int32 i = 0; i < 4; ++i)
    {
        for (Int32 c = 0; c < 3; ++c)
        {
            model.aafI[i][c] = table.iRGB[i][c];
            model.aafQ[i][c] = table.qRGB[i][c];
        }
    }
    return model;
}

// Each colour's nearest table colour (texel byte); returns the total weighted squared error.
double Assign(const std::vector<WeightedColour>& colours, const GuNccTable& table,
              std::vector<Int32>* pnBytes)
{
    Int32 aanColours[256][3];
    NccQuantizer::Colours(table, aanColours);
    double fError = 0;
    for (size_t n = 0; n < colours.size(); ++n)
    {
        const Int32 nByte = ColourSet::Nearest(colours[n].anRgb, aanColours, 256);
        (*pnBytes)[n] = nByte;
        fError += colours[n].fWeight * ColourSet::Distance(colours[n].anRgb, aanColours[nByte]);
    }
    return fError;
}

// Least squares for fixed choices: Y (one value for all channels), then I, then Q.
void Solve(const std::vector<WeightedColour>& colours, const std::vector<Int32>& nBytes,
           NccModel* pModel)
{
    double afSum[16] = {}, afWeight[16] = {};
    for (size_t n = 0; n < colours.size(); ++n)
    {
        const Int32 y = nBytes[n] >> 4, i = (nBytes[n] >> 2) & 3, q = nBytes[n] & 3;
        for (Int32 c = 0; c < 3; ++c)
        {
            afSum[y] += colours[n].fWeight *
                        (colours[n].anRgb[c] - pModel->aafI[i][c] - pModel->aafQ[q][c]) / 3.0;
        }
        afWeight[y] += colours[n].fWeight;
    }
    for (Int32 y = 0; y < 16; ++y)
    {
        pModel->afY[y] = afWeight[y] > 0 ? afSum[y] / afWeight[y] : pModel->afY[y];
    }
    for (Int32 nPass = 0; nPass < 2; ++nPass)
    {
        double aafSum[4][3] = {}, afEntryWeight[4] = {};
        for (size_t n = 0; n < colours.size(); ++n)
        {
            const Int32 y = nBytes[n] >> 4, i = (nBytes[n] >> 2) & 3, q = nBytes[n] & 3;
            const Int32 nEntry = nPass == 0 ? i : q;
            const double* pfOther = nPass == 0 ? pModel->aafQ[q] : pModel->aafI[i];
            for (Int32 c = 0; c < 3; ++c)
            {
                aafSum[nEntry][c] +=
                    colours[n].fWeight * (colours[n].anRgb[c] - pModel->afY[y] - pfOther[c]);
            }
            afEntryWeight[nEntry] += colours[n].fWeight;
        }
        double(*aafEntries)[3] = nPass == 0 ? pModel->aafI : pModel->aafQ;
        for (Int32 e = 0; e < 4; ++e)
        {
            for (Int32 c = 0; c < 3 && afEntryWeight[e] > 0; ++c)
            {
                aafEntries[e][c] = aafSum[e][c] / afEntryWeight[e];
            }
        }
    }
}
} // namespace

void NccQuantizer::Build(const std::vector<WeightedColour>& colours, GuNccTable* pTable)
{
    NccModel model = StartModel(colours);
    ToTable(model, pTable);
    std::vector<Int32> nBytes(colours.size(), 0);
    double fBestError = Assign(colours, *pTable, &nBytes);
    GuNccTable candidate = *pTable;
    for (Int32 nRound = 0; nRound < kRounds && fBestError > 0; ++nRound)
    {
        model = FromTable(candidate);
        Solve(colours, nBytes, &model);
        ToTable(model, &candidate);
        const double fError = Assign(colours, candidate, &nBytes);
        if (fError < fBestError)
        {
            fBestError = fError;
            *pTable = candidate;
        }
    }
}

void NccQuantizer::Colours(const GuNccTable& table, Int32 aanColours[256][3])
{
    UInt32 anPacked[12];
    for (Int32 n = 0; n < 12; ++n)
    {
        anPacked[n] = UInt32(table.packed_data[n]);
    }
    const NccTable decoded = TexelDecoder::UnpackNcc(anPacked);
    for (UInt32 n = 0; n < 256; ++n)
    {
        const UInt32 nArgb = TexelDecoder::Decode(TexelFormat::Yiq422, n, &decoded, nullptr);
        aanColours[n][0] = Int32((nArgb >> 16) & 0xFF);
        aanColours[n][1] = Int32((nArgb >> 8) & 0xFF);
        aanColours[n][2] = Int32(nArgb & 0xFF);
    }
}
