// Presenter: shows a finished frame in the output window through GDI.
//
// Owner: the Device. The output window is the one given to grSstWinOpen or, when none was given,
// the process's active top-level window at the moment of each swap (where a board with its own
// video output would have taken over the monitor). The 16-bit frame is stretched with
// StretchDIBits to fill the window's client area with the frame's aspect kept; the bars left
// over are painted black. Present runs once per shown swap.
#pragma once
#include "Types.h"
#include <cstdint>
#include <windows.h>

struct PresentRect
{
    Int32 x = 0, y = 0, nWidth = 0, nHeight = 0;
};

class Presenter
{
  public:
    Presenter() = default;
    ~Presenter();
    Presenter(const Presenter&) = delete;
    Presenter& operator=(const Presenter&) = delete;

    void SetWindow(HWND hWnd) { m_hWnd = hWnd; }
    HWND GetWindow() const { return m_hWnd; }
    // Output gamma: each channel is shown as 255 * (v / 255)^(1 / gamma). Values outside
    // 0.1..10 (and non-numbers) are ignored.
    void SetGamma(float fGamma);

    // Shows nWidth x nHeight RGB565 pixels (top row first, rows of nWidth pixels; nWidth even).
    void Present(const std::uint16_t* pPixels, Int32 nWidth, Int32 nHeight);

    // The largest rectangle of the frame's aspect centred in a client area.
    static PresentRect Fit(Int32 nClientWidth, Int32 nClientHeight, Int32 nFrameWidth,
                           Int32 nFrameHeight);

  private:
    const std::uint16_t* ApplyGamma(const std::uint16_t* pPixels, Int32 nCount);

    HWND m_hWnd = nullptr;
    bool m_bGamma = false;
    std::uint16_t m_anRed[32] = {}, m_anGreen[64] = {}, m_anBlue[32] = {};
    std::uint16_t* m_pGammaFrame = nullptr;
    Int32 m_nGammaCapacity = 0;
};
