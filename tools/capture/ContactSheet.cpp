#include "ContactSheet.h"

#include <algorithm>
#include <cstring>

namespace
{
const Int32 COLUMNS = 3;
const Int32 GAP = 8;           // pixels between thumbnails and around them
const Int32 LABEL_HEIGHT = 16; // room under each thumbnail for its time
const Int32 GLYPH_SCALE = 2;   // the 3 x 5 glyphs are drawn at 6 x 10
const Byte GROUND = 40;
const Byte INK = 230;

// 3 x 5 glyphs, one row per entry, bit 2 the leftmost pixel.
struct Glyph
{
    char m_ch;
    Byte m_abyRows[5];
};
const Glyph GLYPHS[] = {
    {'0', {7, 5, 5, 5, 7}}, {'1', {2, 6, 2, 2, 7}}, {'2', {7, 1, 7, 4, 7}}, {'3', {7, 1, 7, 1, 7}},
    {'4', {5, 5, 7, 1, 1}}, {'5', {7, 4, 7, 1, 7}}, {'6', {7, 4, 7, 5, 7}}, {'7', {7, 1, 1, 1, 1}},
    {'8', {7, 5, 7, 5, 7}}, {'9', {7, 5, 7, 1, 7}}, {'.', {0, 0, 0, 0, 2}}, {'s', {0, 3, 6, 1, 6}},
};

const Glyph* FindGlyph(char ch)
{
    for (const Glyph& rGlyph : GLYPHS)
        if (rGlyph.m_ch == ch)
            return &rGlyph;
    return nullptr;
}

void SetPixel(RgbImage& rImage, Int32 x, Int32 y, Byte byValue)
{
    if (x < 0 || y < 0 || x >= rImage.m_nWidth || y >= rImage.m_nHeight)
        return;
    Byte* pby = rImage.Pixel(x, y);
    pby[0] = pby[1] = pby[2] = byValue;
}

void DrawLabel(RgbImage& rImage, Int32 x0, Int32 y0, const std::string& rText)
{
    Int32 x = x0;
    for (char ch : rText)
    {
        const Glyph* pGlyph = FindGlyph(ch);
        if (pGlyph != nullptr)
        {
            for (Int32 row = 0; row < 5; row++)
                for (Int32 col = 0; col < 3; col++)
                    if (pGlyph->m_abyRows[row] & (4 >> col))
                        for (Int32 dy = 0; dy < GLYPH_SCALE; dy++)
                            for (Int32 dx = 0; dx < GLYPH_SCALE; dx++)
                                SetPixel(rImage, x + col * GLYPH_SCALE + dx,
                                         y0 + row * GLYPH_SCALE + dy, INK);
        }
        x += 4 * GLYPH_SCALE;
    }
}

// Each thumbnail pixel is the rounded mean of a 2 x 2 block of the frame.
void DrawThumbnail(RgbImage& rSheet, Int32 x0, Int32 y0, const RgbImage& rFrame)
{
    for (Int32 y = 0; y < rFrame.m_nHeight / 2; y++)
    {
        for (Int32 x = 0; x < rFrame.m_nWidth / 2; x++)
        {
            Byte* pbyOut = rSheet.Pixel(x0 + x, y0 + y);
            for (Int32 c = 0; c < 3; c++)
            {
                const Int32 nSum =
                    rFrame.Pixel(2 * x, 2 * y)[c] + rFrame.Pixel(2 * x + 1, 2 * y)[c] +
                    rFrame.Pixel(2 * x, 2 * y + 1)[c] + rFrame.Pixel(2 * x + 1, 2 * y + 1)[c];
                pbyOut[c] = (Byte)((nSum + 2) / 4);
            }
        }
    }
}
} // namespace

void BuildContactSheet(const std::vector<RgbImage>& rFrames,
                       const std::vector<std::string>& rLabels, RgbImage& rSheet)
{
    Int32 nThumbWidth = 0;
    Int32 nThumbHeight = 0;
    for (const RgbImage& rFrame : rFrames)
    {
        nThumbWidth = std::max(nThumbWidth, rFrame.m_nWidth / 2);
        nThumbHeight = std::max(nThumbHeight, rFrame.m_nHeight / 2);
    }
    const Int32 nCount = (Int32)rFrames.size();
    const Int32 nColumns = std::max(1, std::min(COLUMNS, nCount));
    const Int32 nRows = std::max(1, (nCount + nColumns - 1) / nColumns);
    const Int32 nCellWidth = nThumbWidth + GAP;
    const Int32 nCellHeight = nThumbHeight + LABEL_HEIGHT + GAP;

    rSheet.Resize(GAP + nColumns * nCellWidth, GAP + nRows * nCellHeight);
    memset(rSheet.m_abyPixels.data(), GROUND, rSheet.m_abyPixels.size());

    for (Int32 i = 0; i < nCount; i++)
    {
        const Int32 x0 = GAP + (i % nColumns) * nCellWidth;
        const Int32 y0 = GAP + (i / nColumns) * nCellHeight;
        DrawThumbnail(rSheet, x0, y0, rFrames[(size_t)i]);
        if ((size_t)i < rLabels.size())
            DrawLabel(rSheet, x0, y0 + nThumbHeight + 3, rLabels[(size_t)i]);
    }
}
