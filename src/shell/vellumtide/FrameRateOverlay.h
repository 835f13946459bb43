// FrameRateOverlay: vellumtide's -fps. It counts the frames the main loop
// draws, works out the rate once a second, and after every frame writes it
// ("59.8 FPS") in the window's top-left corner: white blocks of a 3 x 5 cell
// font on a black box, drawn with PatBlt, the cells scaled with the window
// so that the text reads in a preview pane and full screen alike.
//
// Owner: vellumtide's entry point (one, static). Start once before the loop;
// OnFrame runs after each frame, on the loop's thread.
#pragma once
#include <windows.h>

#include "Types.h"

#include <cstddef>

class FrameRateOverlay
{
  public:
    void Start();
    // Counts the frame and draws the current rate into the window.
    void OnFrame(HWND hWnd);
    // Frames per second over the last whole second (0 until one has passed).
    float GetRate() const { return m_fRate; }

    // "59.8 FPS": one decimal, at most 999.9.
    static void FormatRate(float fRate, char* pszText, size_t nSize);
    // Pixels per font cell for a client area this many pixels high (at least 1).
    static Int32 CellSize(Int32 nClientHeight);
    // The text at (x, y): a black box one cell wider than the glyphs on every
    // side, white cells for the glyphs (digits, '.', 'F', 'P', 'S', space;
    // anything else is a space), each glyph 3 cells wide with 1 cell between.
    static void DrawText(HDC hDC, const char* pszText, Int32 x, Int32 y, Int32 nCell);

  private:
    LARGE_INTEGER m_llFrequency = {};
    LARGE_INTEGER m_llWindowStart = {};
    Int32 m_nFrames = 0;
    float m_fRate = 0.0f;
};
