// FrameRateOverlay: the -fps text.
#include "FrameRateOverlay.h"

#include <cstdio>

namespace
{
const Int32 kGlyphWidth = 3;
const Int32 kGlyphHeight = 5;

// One glyph: five rows of three cells, the leftmost cell in bit 2.
struct Glyph
{
    char ch;
    unsigned char anRows[kGlyphHeight];
};

const Glyph kGlyphs[] = {
    {'0', {7, 5, 5, 5, 7}}, {'1', {2, 6, 2, 2, 7}}, {'2', {7, 1, 7, 4, 7}}, {'3', {7, 1, 7, 1, 7}},
    {'4', {5, 5, 7, 1, 1}}, {'5', {7, 4, 7, 1, 7}}, {'6', {7, 4, 7, 5, 7}}, {'7', {7, 1, 1, 1, 1}},
    {'8', {7, 5, 7, 5, 7}}, {'9', {7, 5, 7, 1, 7}}, {'.', {0, 0, 0, 0, 2}}, {'F', {7, 4, 7, 4, 4}},
    {'P', {7, 5, 7, 4, 4}}, {'S', {7, 4, 7, 1, 7}},
};

const unsigned char* RowsOf(char ch)
{
    for (const Glyph& glyph : kGlyphs)
    {
        if (glyph.ch == ch)
            return glyph.anRows;
    }
    return nullptr; // a space
}
} // namespace

void FrameRateOverlay::Start()
{
    QueryPerformanceFrequency(&m_llFrequency);
    QueryPerformanceCounter(&m_llWindowStart);
    m_nFrames = 0;
    m_fRate = 0.0f;
}

void FrameRateOverlay::OnFrame(HWND hWnd)
{
    ++m_nFrames;
    LARGE_INTEGER llNow;
    QueryPerformanceCounter(&llNow);
    const LONGLONG llElapsed = llNow.QuadPart - m_llWindowStart.QuadPart;
    if (m_llFrequency.QuadPart > 0 && llElapsed >= m_llFrequency.QuadPart)
    {
        m_fRate = float(double(m_nFrames) * double(m_llFrequency.QuadPart) / double(llElapsed));
        m_nFrames = 0;
        m_llWindowStart = llNow;
    }
    RECT client;
    if (hWnd == nullptr || !GetClientRect(hWnd, &client))
        return;
    HDC hDC = GetDC(hWnd);
    if (hDC == nullptr)
        return;
    char szText[16];
    FormatRate(m_fRate, szText, sizeof(szText));
    const Int32 nCell = CellSize(Int32(client.bottom - client.top));
    DrawText(hDC, szText, nCell, nCell, nCell);
    ReleaseDC(hWnd, hDC);
}

void FrameRateOverlay::FormatRate(float fRate, char* pszText, size_t nSize)
{
    if (!(fRate >= 0.0f)) // NaN and negative rates read as none
        fRate = 0.0f;
    if (fRate > 999.9f)
        fRate = 999.9f;
    std::snprintf(pszText, nSize, "%.1f FPS", double(fRate));
}

Int32 FrameRateOverlay::CellSize(Int32 nClientHeight)
{
    const Int32 nCell = nClientHeight / 160;
    return nCell < 1 ? 1 : nCell;
}

void FrameRateOverlay::DrawText(HDC hDC, const char* pszText, Int32 x, Int32 y, Int32 nCell)
{
    Int32 nLength = 0;
    while (pszText[nLength] != '\0')
        ++nLength;
    if (nLength == 0 || nCell < 1)
        return;
    const Int32 nBoxWidth = (nLength * (kGlyphWidth + 1) + 1) * nCell;
    const Int32 nBoxHeight = (kGlyphHeight + 2) * nCell;
    PatBlt(hDC, x, y, nBoxWidth, nBoxHeight, BLACKNESS);
    for (Int32 i = 0; i < nLength; ++i)
    {
        const unsigned char* pRows = RowsOf(pszText[i]);
        if (pRows == nullptr)
            continue;
        const Int32 nLeft = x + (1 + i * (kGlyphWidth + 1)) * nCell;
        for (Int32 nRow = 0; nRow < kGlyphHeight; ++nRow)
        {
            for (Int32 nColumn = 0; nColumn < kGlyphWidth; ++nColumn)
            {
                if (pRows[nRow] & (4 >> nColumn))
                    PatBlt(hDC, nLeft + nColumn * nCell, y + (1 + nRow) * nCell, nCell, nCell,
                           WHITENESS);
            }
        }
    }
}
