#include "PixelCopy.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace StandIn
{

namespace
{

// Source column (or row) for each destination column; -1 where it falls outside the source.
void MapAxis(std::vector<int>& map, int nFrom, int nFromSize, int nLimit, int nToSize, bool bMirror)
{
    map.resize(static_cast<size_t>(nToSize));
    for (int i = 0; i < nToSize; ++i)
    {
        int s = static_cast<int>((static_cast<int64_t>(2 * i + 1) * nFromSize) /
                                 (2 * static_cast<int64_t>(nToSize)));
        if (bMirror)
            s = nFromSize - 1 - s;
        int nSource = nFrom + s;
        map[static_cast<size_t>(i)] = (nSource >= 0 && nSource < nLimit) ? nSource : -1;
    }
}

void CopyRow(const PixelLayout& source, int nSourceY, const PixelLayout& target, int nTargetY,
             int nTargetX, const std::vector<int>& columns, int iStart, int iEnd)
{
    if (source.eKind == kPixelRgb565 && target.eKind == kPixelXrgb8888)
    {
        const uint16_t* pSource = reinterpret_cast<const uint16_t*>(source.Row(nSourceY));
        uint32_t* pTarget = reinterpret_cast<uint32_t*>(target.Row(nTargetY));
        const uint32_t* puTable = Rgb565Table();
        for (int i = iStart; i < iEnd; ++i)
        {
            int nColumn = columns[static_cast<size_t>(i)];
            if (nColumn >= 0)
                pTarget[nTargetX + i] = puTable[pSource[nColumn]];
        }
        return;
    }
    if (source.eKind == kPixelXrgb8888 && target.eKind == kPixelXrgb8888)
    {
        const uint32_t* pSource = reinterpret_cast<const uint32_t*>(source.Row(nSourceY));
        uint32_t* pTarget = reinterpret_cast<uint32_t*>(target.Row(nTargetY));
        for (int i = iStart; i < iEnd; ++i)
        {
            int nColumn = columns[static_cast<size_t>(i)];
            if (nColumn >= 0)
                pTarget[nTargetX + i] = pSource[nColumn] & 0x00FFFFFF;
        }
        return;
    }
    for (int i = iStart; i < iEnd; ++i)
    {
        int nColumn = columns[static_cast<size_t>(i)];
        if (nColumn >= 0)
            WritePixel(target, nTargetX + i, nTargetY, ReadPixel(source, nColumn, nSourceY));
    }
}

} // namespace

void StretchCopy(const PixelLayout& sourceIn, const PixelRect& from, const PixelLayout& target,
                 const PixelRect& to, bool bMirrorX, bool bMirrorY)
{
    if (from.nWidth <= 0 || from.nHeight <= 0 || to.nWidth <= 0 || to.nHeight <= 0)
        return;
    // Copying within one surface reads from a snapshot, so overlapping areas come out whole.
    thread_local std::vector<uint8_t> t_snapshot;
    PixelLayout source = sourceIn;
    if (source.pBits == target.pBits)
    {
        t_snapshot.assign(source.pBits, source.pBits + source.ImageSize());
        source.pBits = t_snapshot.data();
    }
    thread_local std::vector<int> t_columns;
    thread_local std::vector<int> t_rows;
    MapAxis(t_columns, from.x, from.nWidth, source.nWidth, to.nWidth, bMirrorX);
    MapAxis(t_rows, from.y, from.nHeight, source.nHeight, to.nHeight, bMirrorY);
    int iStart = std::max(0, -to.x);
    int iEnd = std::min(to.nWidth, target.nWidth - to.x);
    for (int j = std::max(0, -to.y); j < to.nHeight && to.y + j < target.nHeight; ++j)
    {
        int nSourceY = t_rows[static_cast<size_t>(j)];
        if (nSourceY >= 0 && iStart < iEnd)
            CopyRow(source, nSourceY, target, to.y + j, to.x, t_columns, iStart, iEnd);
    }
}

void FillRectangle(const PixelLayout& target, const PixelRect& rect, uint32_t uRgb)
{
    int x0 = std::max(rect.x, 0), x1 = std::min(rect.x + rect.nWidth, target.nWidth);
    int y0 = std::max(rect.y, 0), y1 = std::min(rect.y + rect.nHeight, target.nHeight);
    for (int y = y0; y < y1; ++y)
    {
        if (target.eKind == kPixelXrgb8888)
        {
            uint32_t* pRow = reinterpret_cast<uint32_t*>(target.Row(y));
            std::fill(pRow + x0, pRow + std::max(x0, x1), uRgb);
            continue;
        }
        for (int x = x0; x < x1; ++x)
            WritePixel(target, x, y, uRgb);
    }
}

} // namespace StandIn
