// GdiObjects: bitmaps (DIB sections whose pixels are ordinary memory the program writes),
// brushes, pens, fonts and palettes, by handle. Stock objects exist once for the process and
// are never deleted; DeleteObject refuses an object still selected into a device context.
// Owner: process-wide; window thread only.
#pragma once

#include <windows.h>

#include "PixelLayout.h"

#include <memory>
#include <vector>

namespace StandIn
{

enum GdiKind
{
    kGdiBitmap = 1,
    kGdiBrush,
    kGdiPen,
    kGdiFont,
    kGdiPalette
};

struct GdiObject
{
    GdiKind eKind = kGdiBitmap;
    bool bStock = false;
    int nSelections = 0; // device contexts it is selected into
    // Bitmap: the layout points into pMemory.
    PixelLayout layout;
    std::unique_ptr<uint8_t[]> pMemory;
    // Brush and pen: the colour (COLORREF, 0x00BBGGRR); hollow draws nothing.
    COLORREF crColor = 0;
    bool bHollow = false;
    // Palette.
    std::vector<PALETTEENTRY> entries;
};

class GdiObjects
{
  public:
    static GdiObject* Find(HGDIOBJ hObject);
    static GdiObject* Find(HGDIOBJ hObject, GdiKind eKind);
    // The 1 x 1 bitmap every new memory device context starts with.
    static HGDIOBJ DefaultBitmap();
    // Frees every object that is not a stock object.
    static void ResetNonStock();
};

// 0x00RRGGBB of a COLORREF.
inline uint32_t XrgbFromColorRef(COLORREF cr)
{
    return ((cr & 0xFF) << 16) | (cr & 0xFF00) | ((cr >> 16) & 0xFF);
}

} // namespace StandIn
