// Tex3dfEncoder: header, table and texels of a .3df file.
#include "Tex3dfEncoder.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "ColourSet.h"
#include "Gu3dfFormat.h"
#include "NccQuantizer.h"
#include "PaletteQuantizer.h"
#include "TexelEncoder.h"

namespace
{
void PutBigEndian16(std::vector<Byte>* pOut, UInt32 nWord)
{
    pOut->push_back(Byte((nWord >> 8) & 0xFF));
    pOut->push_back(Byte(nWord & 0xFF));
}

void PutHeader(const MipChain& chain, GrTextureFormat_t format, std::vector<Byte>* pOut)
{
    FxU32 nAspectWidth = 0, nAspectHeight = 0;
    Gu3dfFormat::PairOfAspect(chain.aspect, &nAspectWidth, &nAspectHeight);
    const std::string header =
        std::string("3df v1.1\n") + Gu3dfFormat::TokenOf(format) +
        "\nlod range: " + std::to_string(Gu3dfFormat::SideOfLod(chain.smallLod)) + " " +
        std::to_string(Gu3dfFormat::SideOfLod(chain.largeLod)) +
        "\naspect ratio: " + std::to_string(nAspectWidth) + " " + std::to_string(nAspectHeight) +
        "\n";
    pOut->insert(pOut->end(), header.begin(), header.end());
}

std::vector<UInt32> AllPixels(const MipChain& chain)
{
    std::vector<UInt32> anPixels;
    for (const ArgbImage& level : chain.levels)
    {
        anPixels.insert(anPixels.end(), level.Pixels().begin(), level.Pixels().end());
    }
    return anPixels;
}

// Four I or Q entries (R, G, B each): signed 16-bit words, two's complement.
void PutColourEntries(const FxI16 aanEntries[4][3], std::vector<Byte>* pOut)
{
    for (Int32 e = 0; e < 12; ++e)
    {
        PutBigEndian16(pOut, UInt32(uint16_t(aanEntries[e / 3][e % 3])));
    }
}

// The table's 256 colours (NCC or palette) and its bytes on disk.
void PutTable(GrTextureFormat_t format, const std::vector<WeightedColour>& colours,
              Int32 aanColours[256][3], std::vector<Byte>* pOut)
{
    if (Gu3dfFormat::IsNccFormat(format))
    {
        GuNccTable table;
        NccQuantizer::Build(colours, &table);
        NccQuantizer::Colours(table, aanColours);
        for (Int32 y = 0; y < 16; ++y)
        {
            PutBigEndian16(pOut, table.yRGB[y]);
        }
        PutColourEntries(table.iRGB, pOut);
        PutColourEntries(table.qRGB, pOut);
        return;
    }
    PaletteQuantizer::Build(colours, aanColours);
    for (Int32 n = 0; n < 256; ++n)
    {
        PutBigEndian16(pOut, UInt32(aanColours[n][0]));
        PutBigEndian16(pOut, (UInt32(aanColours[n][1]) << 8) | UInt32(aanColours[n][2]));
    }
}

// Index of the nearest table colour for every distinct colour, looked up per pixel.
Byte TableIndex(const std::vector<WeightedColour>& colours, const std::vector<Byte>& abIndex,
                UInt32 nArgb)
{
    const Int32 anRgb[3] = {Int32((nArgb >> 16) & 0xFF), Int32((nArgb >> 8) & 0xFF),
                            Int32(nArgb & 0xFF)};
    const auto it = std::lower_bound(
        colours.begin(), colours.end(), anRgb,
        [](const WeightedColour& colour, const Int32* pnRgb)
        { return std::lexicographical_compare(colour.anRgb, colour.anRgb + 3, pnRgb, pnRgb + 3); });
    return abIndex[size_t(it - colours.begin())];
}
} // namespace

std::vector<Byte> Tex3dfEncoder::Encode(const MipChain& chain, GrTextureFormat_t format)
{
    std::vector<Byte> out;
    PutHeader(chain, format, &out);
    const TexelEncoder encoder(format);
    std::vector<WeightedColour> colours;
    std::vector<Byte> abIndex;
    if (!TexelEncoder::IsDirect(format))
    {
        // The table is fitted to the largest level: it holds at least three quarters of the
        // texels, the smaller levels are blends of its colours, and a picture of at most 256
        // colours keeps exactly those in a palette.
        Int32 aanColours[256][3];
        PutTable(format, ColourSet::Distinct(chain.levels[0].Pixels()), aanColours, &out);
        colours = ColourSet::Distinct(AllPixels(chain));
        for (const WeightedColour& colour : colours)
        {
            abIndex.push_back(Byte(ColourSet::Nearest(colour.anRgb, aanColours, 256)));
        }
    }
    for (const ArgbImage& level : chain.levels)
    {
        for (UInt32 nArgb : level.Pixels())
        {
            UInt32 nTexel = encoder.Encode(nArgb);
            nTexel |= abIndex.empty() ? 0u : TableIndex(colours, abIndex, nArgb);
            if (Gu3dfFormat::BytesPerTexel(format) == 2)
            {
                PutBigEndian16(&out, nTexel);
            }
            else
            {
                out.push_back(Byte(nTexel));
            }
        }
    }
    return out;
}
