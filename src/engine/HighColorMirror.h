// HighColorMirror: the window mirror for 16-bit 5-6-5 frames.
//
// Its DIB section is top-down, 16 bits per pixel with BI_BITFIELDS masks
// (red 0xF800, green 0x07E0, blue 0x001F): exactly the layout in which
// grLfbReadRegion delivers Glide's back buffer, so the display reads each
// frame straight into GetPixels() with a stride of GetRowBytes().
// The DIB is as wide as the rectangle rounded up to a multiple of 4 pixels, so
// every row is a whole number of 32-bit words; the blit uses the unrounded
// size.
//
// Owner: the DisplayDevice (created on entering the mirrored state, deleted on
// leaving it or closing). Present() runs once per frame. Construction builds
// the surface and realises a grey-ramp palette on the screen.
#pragma once
#include "WindowMirror.h"

class HighColorMirror final : public WindowMirror
{
  public:
    // A null rectangle means the window's whole client area.
    explicit HighColorMirror(HWND hWnd, const RECT* pRect = nullptr);
    ~HighColorMirror();

    void Create(HWND hWnd, const RECT* pRect) override;
    void Destroy() override;
    void RealizeInto(HDC hDC) override;
    // Slot 4, declared by this variant: a 256-step grey ramp.
    virtual void BuildPalette();

    HPALETTE GetPalette() const { return m_hPalette; }

    // Width of the rectangle rounded up to a multiple of 4 pixels: the DIB's width.
    static Int32 RoundedWidth(Int32 nWidth) { return (nWidth + 3) & ~3; }
    // Bytes per DIB row for a rectangle nWidth pixels wide.
    static Int32 RowBytes(Int32 nWidth) { return 2 * RoundedWidth(nWidth); }

  private:
    // The steps every palette takes: replace the old one, select and realise
    // it on the screen so a palette-based desktop takes its colours at once.
    void InstallPalette(const LOGPALETTE* pLogPalette);

    HPALETTE m_hPalette;
};
